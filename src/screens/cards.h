#pragma once

#include "model/deck.h"
#include "play/holdhint.h"
#include "platform/commandbutton.h"
#include "platform/controlarray.h"
#include "platform/mediaplayer.h"
#include "platform/picturebox.h"
#include "platform/randomsource.h"

#include <QWidget>

#include <memory>

class QLabel;
class QLineEdit;
class QScrollBar;

// The table: the one window where the game is played. Its controls carry
// the names the game's procedures use; the game state lives in its fields.
// The load and close sequences are defined with the layout, the procedures
// and handlers with the part of the game they belong to: shuffle and deal
// with the deck, makecard and the glyphs with the card art, the round and
// the payout with play.
class cards : public QWidget
{
    Q_OBJECT

public:
    explicit cards(std::unique_ptr<RandomSource> random = std::make_unique<ClockRandom>(),
                   QWidget *parent = nullptr);
    ~cards() override;

    QColor BackColor() const;

    // Deck and hand.
    void shuffle();
    void deal();
    bool isHeld(int slot) const;

    // Card art.
    void makecard(int rank, int suit, int card);

    // Money.
    void calculatepayoff();

    // Event handlers.
    void Form_Load();
    void Form_Unload(int &Cancel);
    void Command1_Click();
    void Commandhold_Click(int Index);
    void Picturecard_Click(int Index);
    void Commandshuffle_Click();
    void VScroll1_Scroll();
    void VScroll1_Change();
    // Keys of the table itself: H shows or hides the hold advice, 1 to 5
    // hold cards as their HOLD buttons do. Returns whether the key was used.
    bool Form_KeyDown(int KeyCode);

    // What a screen reader says of a card box showing the back.
    inline static const QString FaceDownDescription = QStringLiteral("face down");

    // Controls.
    ControlArray<PictureBox, HandSize> Picturecard;
    ControlArray<CommandButton, HandSize> Commandhold;
    CommandButton *Command1 = nullptr;
    CommandButton *Commandshuffle = nullptr;
    QLabel *Label1 = nullptr;
    QLabel *Label2 = nullptr;
    QLabel *Label3 = nullptr;
    QLineEdit *Text1 = nullptr;
    QLineEdit *Text2 = nullptr;
    QLineEdit *Text3 = nullptr;
    QScrollBar *VScroll1 = nullptr;
    PictureBox *Picture1 = nullptr;
    std::array<PictureBox *, SuitCount> Picturesuit{};
    ControlArray<PictureBox, RankCount> Picturenum;
    ControlArray<PictureBox, 12> Pictureface;
    MediaPlayer MediaPlayer1;
    HoldHint hint;

    // Game state.
    Deck deck;
    quint64 presscount = 0;
    qint32 finalcredits = 0;

protected:
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void buildControls();
    void connectHandlers();
    void setUpCardsAndHolds();
    void prepareRankGlyphs();
    void prepareCourtPanels();
    void dealNewHand();
    void drawAndPay();
    void turnDown();
    void showHand();
    unsigned heldMask() const;
    void playCue(const QString &fileName, int times);

    std::unique_ptr<RandomSource> m_random;
};
