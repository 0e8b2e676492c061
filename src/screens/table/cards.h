#pragma once

#include "play/round.h"
#include "history/handhistory.h"
#include "platform/clockrandom.h"
#include "platform/commandbutton.h"
#include "platform/controlarray.h"
#include "platform/mediaplayer.h"
#include "platform/picturebox.h"
#include "render/cardfaces.h"
#include "screens/table/holdhint.h"
#include "trainer/trainer.h"
#include "trainer/trainersettings.h"

#include <QPointer>
#include <QWidget>

#include <memory>

class QLabel;
class QLineEdit;
class QScrollBar;
class QSettings;
class ReviewWindow;
class StrategyWindow;
class TrainerPanel;
class WindowPlaces;

// The table: the one window where the game is played. Its controls carry
// the names the game's procedures use. The game itself is the `round`; the
// table forwards what the player does to it and shows what it reports.
// Beside this header: the layout, load and close (cards.cpp), the round's
// handlers (roundhandlers.cpp), the keys (keys.cpp), the trainer's options
// (options.cpp), the hidden glyph sources (glyphs.cpp) and the composition
// of a card face (makecard.cpp).
class cards : public QWidget, public CardFaces
{
    Q_OBJECT

public:
    explicit cards(std::unique_ptr<RandomSource> random = std::make_unique<ClockRandom>(),
                   QWidget *parent = nullptr);
    ~cards() override;

    // The table's own client area at full size; the trainer's panel widens
    // the window beyond it. Where the screen has too little room, the whole
    // table is drawn smaller, at `scale()`.
    static constexpr QSize ClientSize{798, 533};
    qreal scale() const { return m_scale; }

    QColor BackColor() const;

    // Card art.
    void makecard(int rank, int suit, int card);
    // Faces for any box, from the table's glyphs and pictures.
    void paintFace(PictureBox *box, int rank, int suit) const override;
    PictureBox *makeCardBox(QWidget *parent) const override;

    // Event handlers.
    void Form_Unload(int &Cancel);
    void Command1_Click();
    void Commandhold_Click(int Index);
    void Picturecard_Click(int Index);
    void Commandshuffle_Click();
    void VScroll1_Scroll();
    void VScroll1_Change();
    // Keys of the table itself: H shows or hides the hold advice, V all 32
    // holds, 1 to 5 hold cards as their HOLD buttons do, T, W, A and M
    // switch the trainer, its training, its advice and the sound, and
    // between rounds Up, Down, Page Up, Page Down, Home and End move the bet
    // bar; R opens the review of the hands and D its drill. Returns
    // whether the key was used.
    bool Form_KeyDown(int KeyCode);

    // The trainer's options. The panel widens or lengthens the window where
    // the screen has room and leaves the table as it is; where it has none,
    // the table is drawn smaller to make room. Training has the trainer check
    // the holds before a draw while the panel is shown.
    void setTrainerShown(bool shown);
    void setTraining(bool on);
    void setWarnThreshold(WarnThreshold threshold);
    void setAdviceAlways(bool always);
    void setSoundOn(bool on);
    // Takes the options from `settings` and keeps them there from now on,
    // and records every hand in the player's hand history.
    // Without settings, the defaults, kept nowhere.
    void useSettings(std::unique_ptr<QSettings> settings);
    // The same with the options file at `path`, or with the defaults and a
    // word in the panel where something other than a file is in its place.
    void useSettingsFile(const QString &path);
    // Records every hand settled from now on in the history at `path`; the
    // panel says when it cannot.
    void openHistory(const QString &path);
    // The hand history, or nothing when the table keeps none.
    HandHistory *history() const { return m_history.get(); }
    // Opens the review of the player's hands, when there is a history to
    // review; the window stays until the table closes.
    ReviewWindow *openReview();
    // Opens the strategy chart of the game, with the player's misses marked
    // where there is a history to read them from.
    StrategyWindow *openStrategy();

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
    MediaPlayer MediaPlayer1;

    // The hidden sources every face is copied from: the suit symbols, the
    // printed rank indices and the framed court panels. The first frame
    // shows only card backs, so they are made once it has painted, or by
    // the first of these calls that comes before then.
    PictureBox *Picturesuit(int suit) const;
    PictureBox *Picturenum(int rank) const;
    PictureBox *Pictureface(int panel) const;
    static constexpr int CourtPanelCount = 12;

    qint32 finalcredits = 0;

    // The game being played on this table, and the trainer that follows it.
    Round round;
    Trainer trainer;
    TrainerPanel *panel = nullptr;
    // The trainer's best hold over the table, on request.
    HoldHint hint;

protected:
    void changeEvent(QEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void Form_Load();
    void buildControls();
    void layOut(qreal scale);
    void connectHandlers();
    void setUpCardsAndHolds();
    void buildFaceSources(const QColor &windowColour);
    void prepareFaceSources() const;
    void prepareRankGlyphs() const;
    void prepareCourtPanels() const;

    // Showing what the round reports.
    void showDeal();
    void showHold(int index, bool held);
    void showDraw();
    void showTurnDown();
    void showBet(qint32 bet);
    void showMoney();
    void showHand();
    void playCue(Round::Cue cue);
    void showAdvice(bool shown);
    // While a warning stands, the best hold's cards are marked on the table
    // itself, where the player looks.
    void markBestHold();
    bool moveBetBar(int KeyCode);
    void saveOptions();
    // Tells the panel, while it shows, how many mistakes are due for a drill.
    void showDrillDue();
    void placeWindow();
    void redrawFaces();

    // The table alone until settings are used.
    TrainerSettings m_options{.panelShown = false, .firstStart = false};
    std::unique_ptr<QSettings> m_settings;
    std::unique_ptr<HandHistory> m_history;
    QPointer<ReviewWindow> m_review;
    QPointer<StrategyWindow> m_strategy;
    std::array<QLabel *, HandSize> m_bestMarks{};
    WindowPlaces *m_places;
    qreal m_scale = 0;
    // The panel's height only grows while it shows, so that it does not
    // jump with every change of its words.
    int m_panelHeight = 0;

    // The face sources: the first box of each row is laid out with the
    // table, the rest are made and everything drawn when first needed.
    std::array<PictureBox *, SuitCount> m_suits{};
    mutable ControlArray<PictureBox, RankCount> m_glyphs;
    mutable ControlArray<PictureBox, CourtPanelCount> m_courts;
    mutable bool m_faceSourcesReady = false;
};
