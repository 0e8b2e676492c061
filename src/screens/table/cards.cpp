#include "screens/table/cards.h"

#include "platform/firstpaint.h"
#include "platform/placement.h"
#include "render/cardart.h"
#include "screens/creditsdeck.h"
#include "screens/review/reviewwindow.h"
#include "screens/trainerpanel.h"

#include <QCloseEvent>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QScrollBar>
#include <QSettings>

namespace {

constexpr qreal WindowFontPoints = 21.75;
constexpr qreal CardFontPoints = 8.25;
constexpr int CardBorder = 2;
constexpr int GlyphBorder = 2;
const QString ApplicationTitle = QStringLiteral("Draw Poker");

QFont fontOf(const char *family, qreal points, bool bold)
{
    QFont font(QString::fromLatin1(family));
    font.setPixelSize(pixelsForPoints(points));
    font.setBold(bold);
    return font;
}

QLabel *makeLabel(QWidget *parent, const QString &caption, const QRect &geometry,
                  Qt::Alignment alignment)
{
    auto *label = new QLabel(caption, parent);
    label->setGeometry(geometry);
    label->setAlignment(alignment | Qt::AlignTop);
    return label;
}

// The value boxes show numbers the payout reads back; the player cannot type
// into them.
QLineEdit *makeValueBox(QWidget *parent, const QRect &geometry)
{
    auto *box = new QLineEdit(parent);
    box->setGeometry(geometry);
    box->setReadOnly(true);
    box->setFocusPolicy(Qt::NoFocus);
    return box;
}

PictureBox *makeSourceBox(QWidget *parent, const QRect &geometry, int border)
{
    auto *box = new PictureBox(parent, border);
    box->setGeometry(geometry);
    box->hide();
    return box;
}

} // namespace

cards::cards(std::unique_ptr<RandomSource> random, QWidget *parent)
    : QWidget(parent)
    , round(std::move(random))
    , trainer(round)
    , hint(this, trainer)
{
    setWindowTitle(QStringLiteral("Form1"));
    setFixedSize(ClientSize);
    setFont(fontOf("Courier New", WindowFontPoints, true));
    setWindowIcon(CardArt::applicationIcon());
    buildControls();
    connectHandlers();
    Form_Load();
    MediaPlayer1.prepareAfterFirstPaint(this);
}

// The review's queries go before the history they read.
cards::~cards()
{
    delete m_review;
}

QColor cards::BackColor() const
{
    return palette().color(QPalette::Window);
}

void cards::buildControls()
{
    const QColor windowColour = palette().color(QPalette::Base);

    // The source of the card back: never shown, only copied from.
    Picture1 = makeSourceBox(this, {480, 0, 145, 249}, CardBorder);
    Picture1->setBackColor(windowColour);
    Picture1->setPicture(CardArt::cardBack());
    buildFaceSources(windowColour);

    auto *card = new PictureBox(this, CardBorder);
    card->setGeometry(0, -8, 145, 249);
    card->setFont(fontOf("MS Sans Serif", CardFontPoints, false));
    card->setBackColor(windowColour);
    card->setForeColor(palette().color(QPalette::Text));
    Picturecard.setElement0(card);

    auto *hold = new CommandButton(QStringLiteral("HOLD"), this);
    hold->setGeometry(24, 304, 97, 41);
    hold->setBackColor(BackColor());
    hold->hide();
    Commandhold.setElement0(hold);

    Command1 = new CommandButton(QStringLiteral("DEAL"), this);
    Command1->setAccessibleName(QStringLiteral("Deal"));
    Command1->setToolTip(QStringLiteral("Deal, draw, turn down (Enter or Space)"));
    Command1->setGeometry(16, 368, 121, 153);
    Command1->setPicture(CardArt::applicationIcon(), QSize(32, 32));

    Commandshuffle = new CommandButton(QStringLiteral("SHUFFLE"), this);
    Commandshuffle->setAccessibleName(QStringLiteral("Shuffle"));
    Commandshuffle->setToolTip(QStringLiteral("A fresh deck between rounds"));
    Commandshuffle->setGeometry(168, 368, 153, 41);
    Commandshuffle->hide();

    Label1 = makeLabel(this, QStringLiteral("TOTAL CREDITS"), {168, 416, 257, 33}, Qt::AlignHCenter);
    Text1 = makeValueBox(this, {168, 448, 257, 41});
    Label2 = makeLabel(this, QStringLiteral("BET"), {456, 424, 129, 33}, Qt::AlignHCenter);
    Text2 = makeValueBox(this, {456, 448, 129, 41});
    Label3 = makeLabel(this, QStringLiteral("WINNINGS"), {640, 416, 145, 33}, Qt::AlignLeft);
    Text3 = makeValueBox(this, {640, 448, 145, 41});
    Text1->setAccessibleName(QStringLiteral("Total credits"));
    Text2->setAccessibleName(QStringLiteral("Bet"));
    Text3->setAccessibleName(QStringLiteral("Winnings"));

    VScroll1 = new QScrollBar(Qt::Vertical, this);
    VScroll1->setGeometry(584, 448, 25, 41);
    VScroll1->setRange(-500, -1);
    VScroll1->setValue(-1);
    VScroll1->setSingleStep(1);
    VScroll1->setPageStep(5);
    VScroll1->setAccessibleName(QStringLiteral("Bet amount"));
    VScroll1->setToolTip(QStringLiteral("Bet: Up and Down by 1, Page Up and Page Down by 5, Home the least, End the most"));

    panel = new TrainerPanel(round, trainer, this);
    connect(panel, &TrainerPanel::reviewRequested, this, &cards::openReview);
    panel->hide();
}

// The first box of each row of face sources, as the table lays them out;
// what they show is drawn when first needed.
void cards::buildFaceSources(const QColor &windowColour)
{
    const QPoint suitPlaces[SuitCount] = {{0, 0}, {360, 128}, {240, 0}, {360, 0}};
    for (int suit = 0; suit < SuitCount; ++suit) {
        m_suits[suit] = makeSourceBox(this, {suitPlaces[suit], QSize(120, 120)}, 0);
        m_suits[suit]->setBackColor(windowColour);
    }
    m_glyphs.setElement0(makeSourceBox(this, {176, 0, 41, 41}, GlyphBorder));
    m_glyphs[0]->setDrawingFont(font(), WindowFontPoints);
    m_glyphs[0]->setForeColor(palette().color(QPalette::ButtonText));
    m_courts.setElement0(makeSourceBox(this, {224, 128, 124, 198}, 0));
    m_courts[0]->setDrawingFont(font(), WindowFontPoints);
}

void cards::connectHandlers()
{
    connect(Command1, &CommandButton::clicked, this, &cards::Command1_Click);
    connect(Commandshuffle, &CommandButton::clicked, this, &cards::Commandshuffle_Click);
    connect(VScroll1, &QScrollBar::sliderMoved, this, &cards::VScroll1_Scroll);
    connect(VScroll1, &QScrollBar::valueChanged, this, &cards::VScroll1_Change);
    connect(&round, &Round::cue, this, &cards::playCue);
    connect(&round, &Round::dealt, this, &cards::showDeal);
    connect(&round, &Round::holdChanged, this, &cards::showHold);
    connect(&round, &Round::drawn, this, &cards::showDraw);
    connect(&round, &Round::turnedDown, this, &cards::showTurnDown);
    connect(&round, &Round::betChanged, this, &cards::showBet);
}

void cards::Form_Load()
{
    centreOnScreen(this);
    round.randomize();
    setUpCardsAndHolds();
    afterFirstPaint(this, [this] { prepareFaceSources(); });
    Text1->setText(QString::number(round.credits()));
    Text2->setText(QString::number(round.bet()));
    Text3->setText(QString::number(round.winnings()));
    Command1->setFocus();
}

void cards::setUpCardsAndHolds()
{
    for (int i = 0; i < HandSize; ++i) {
        if (i > 0) {
            Picturecard.Load(i);
            Commandhold.Load(i);
        }
        PictureBox *card = Picturecard[i];
        card->show();
        card->resize(Picturecard[0]->size());
        card->move(qRound(i * card->width() * 1.1), 0);
        card->setPicture(Picture1->Picture());
        card->setAccessibleName(QStringLiteral("Card %1").arg(i + 1));
        card->setAccessibleDescription(FaceDownDescription);
        connect(card, &PictureBox::clicked, this, [this, i] { Picturecard_Click(i); });

        CommandButton *hold = Commandhold[i];
        hold->hide();
        hold->setText(QStringLiteral("HOLD"));
        hold->setAccessibleName(QStringLiteral("Hold card %1").arg(i + 1));
        hold->setToolTip(QStringLiteral("Hold this card (key %1)").arg(i + 1));
        hold->move(Commandhold[0]->x() + card->x(), hold->y());
        connect(hold, &CommandButton::clicked, this, [this, i] { Commandhold_Click(i); });
    }
}

void cards::closeEvent(QCloseEvent *event)
{
    int cancel = 0;
    Form_Unload(cancel);
    if (cancel)
        event->ignore();
    else
        event->accept();
}

void cards::Form_Unload(int &Cancel)
{
    QMessageBox question(QMessageBox::NoIcon, ApplicationTitle,
                         QStringLiteral("Do you want to exit?"),
                         QMessageBox::Yes | QMessageBox::No, this);
    if (question.exec() != QMessageBox::Yes) {
        Cancel = 2;
        return;
    }
    finalcredits = round.credits();
    // The board opens before the table is gone, so that the program always
    // has a window and does not end on the way out.
    auto *board = new creditsdeck(finalcredits);
    board->setAttribute(Qt::WA_DeleteOnClose);
    board->show();
}
