#include "screens/table/cards.h"

#include "platform/firstpaint.h"
#include "platform/windowplaces.h"
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

// The table's layout at full size, in client pixels. At a smaller scale
// every place and every font of the table is scaled alike.
constexpr QRect CardPlace{0, 0, 145, 249};
constexpr double CardPitch = 1.1; // card widths from one card's left to the next
constexpr QRect FirstHoldPlace{24, 304, 97, 41};
constexpr QRect DealPlace{16, 368, 121, 153};
constexpr int DealPictureSide = 32;
constexpr QRect ShufflePlace{168, 368, 153, 41};
constexpr QRect CreditsLabelPlace{168, 416, 257, 33};
constexpr QRect CreditsPlace{168, 448, 257, 41};
constexpr QRect BetLabelPlace{456, 424, 129, 33};
constexpr QRect BetPlace{456, 448, 129, 41};
constexpr QRect WinningsLabelPlace{640, 416, 145, 33};
constexpr QRect WinningsPlace{640, 448, 145, 41};
constexpr QRect BetBarPlace{584, 448, 25, 41};
constexpr QRect HintPlace{0, 252, 798, 48};
constexpr int HintFontPixels = 15;
// The mark of a best hold's card: a strip along the card's foot.
constexpr int BestMarkHeight = 22;

QFont fontOf(const char *family, qreal points, bool bold, qreal scale = 1)
{
    QFont font(QString::fromLatin1(family));
    font.setPixelSize(qRound(pixelsForPoints(points) * scale));
    font.setBold(bold);
    return font;
}

int atScale(int length, qreal scale)
{
    return qRound(length * scale);
}

// Both edges scaled, so that controls side by side stay side by side.
QRect atScale(const QRect &design, qreal scale)
{
    return QRect(QPoint(atScale(design.left(), scale), atScale(design.top(), scale)),
                 QPoint(atScale(design.left() + design.width(), scale), atScale(design.top() + design.height(), scale)))
        .adjusted(0, 0, -1, -1);
}

QLabel *makeLabel(QWidget *parent, const QString &caption, Qt::Alignment alignment)
{
    auto *label = new QLabel(caption, parent);
    label->setAlignment(alignment | Qt::AlignTop);
    return label;
}

// The value boxes show numbers the payout reads back; the player cannot type
// into them.
QLineEdit *makeValueBox(QWidget *parent)
{
    auto *box = new QLineEdit(parent);
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
    , m_places(new WindowPlaces(this))
{
    setWindowTitle(QStringLiteral("Form1"));
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
    card->setFont(fontOf("MS Sans Serif", CardFontPoints, false));
    card->setBackColor(windowColour);
    card->setForeColor(palette().color(QPalette::Text));
    Picturecard.setElement0(card);

    auto *hold = new CommandButton(QStringLiteral("HOLD"), this);
    hold->setBackColor(BackColor());
    hold->hide();
    Commandhold.setElement0(hold);

    Command1 = new CommandButton(QStringLiteral("DEAL"), this);
    Command1->setAccessibleName(QStringLiteral("Deal"));
    Command1->setToolTip(QStringLiteral("Deal, draw, turn down (Enter or Space)"));
    Command1->setPicture(CardArt::applicationIcon(), QSize(DealPictureSide, DealPictureSide));

    Commandshuffle = new CommandButton(QStringLiteral("SHUFFLE"), this);
    Commandshuffle->setAccessibleName(QStringLiteral("Shuffle"));
    Commandshuffle->setToolTip(QStringLiteral("A fresh deck between rounds"));
    Commandshuffle->hide();

    Label1 = makeLabel(this, QStringLiteral("TOTAL CREDITS"), Qt::AlignHCenter);
    Text1 = makeValueBox(this);
    Label2 = makeLabel(this, QStringLiteral("BET"), Qt::AlignHCenter);
    Text2 = makeValueBox(this);
    Label3 = makeLabel(this, QStringLiteral("WINNINGS"), Qt::AlignLeft);
    Text3 = makeValueBox(this);
    Text1->setAccessibleName(QStringLiteral("Total credits"));
    Text2->setAccessibleName(QStringLiteral("Bet"));
    Text3->setAccessibleName(QStringLiteral("Winnings"));

    VScroll1 = new QScrollBar(Qt::Vertical, this);
    VScroll1->setRange(-500, -1);
    VScroll1->setValue(-1);
    VScroll1->setSingleStep(1);
    VScroll1->setPageStep(5);
    VScroll1->setAccessibleName(QStringLiteral("Bet amount"));
    VScroll1->setToolTip(QStringLiteral("Bet: Up and Down by 1, Page Up and Page Down by 5, Home the least, End the most"));

    for (QLabel *&mark : m_bestMarks) {
        mark = new QLabel(QStringLiteral("BEST"), this);
        mark->setAlignment(Qt::AlignCenter);
        mark->setStyleSheet(QStringLiteral("background: #008000; color: white; font-weight: bold"));
        mark->setAccessibleName(QStringLiteral("Kept by the best hold"));
        mark->hide();
    }
    connect(&trainer, &Trainer::changed, this, &cards::markBestHold);

    panel = new TrainerPanel(round, trainer, this);
    connect(panel, &TrainerPanel::reviewRequested, this, &cards::openReview);
    connect(panel, &TrainerPanel::strategyRequested, this, &cards::openStrategy);
    connect(panel, &TrainerPanel::needsRoom, this, &cards::placeWindow);
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

// Every control in its place at `scale`. The hidden face sources stay at
// full size: a face is made of scaled copies of them at any size.
void cards::layOut(qreal scale)
{
    m_scale = scale;
    setFont(fontOf("Courier New", WindowFontPoints, true, scale));
    const QRect card = atScale(CardPlace, scale);
    const QRect firstHold = atScale(FirstHoldPlace, scale);
    for (int i = 0; i < HandSize; ++i) {
        Picturecard[i]->setGeometry(qRound(i * card.width() * CardPitch), card.y(), card.width(), card.height());
        Commandhold[i]->setGeometry(firstHold.translated(Picturecard[i]->x(), 0));
        // The copies of the first button were given its font when made.
        Commandhold[i]->setFont(font());
    }
    Command1->setGeometry(atScale(DealPlace, scale));
    Command1->setIconSize(QSize(atScale(DealPictureSide, scale), atScale(DealPictureSide, scale)));
    Commandshuffle->setGeometry(atScale(ShufflePlace, scale));
    Label1->setGeometry(atScale(CreditsLabelPlace, scale));
    Text1->setGeometry(atScale(CreditsPlace, scale));
    Label2->setGeometry(atScale(BetLabelPlace, scale));
    Text2->setGeometry(atScale(BetPlace, scale));
    Label3->setGeometry(atScale(WinningsLabelPlace, scale));
    Text3->setGeometry(atScale(WinningsPlace, scale));
    VScroll1->setGeometry(atScale(BetBarPlace, scale));
    QLabel *advice = hint.label();
    QFont adviceFont = advice->font();
    adviceFont.setPixelSize(atScale(HintFontPixels, scale));
    advice->setFont(adviceFont);
    advice->setGeometry(atScale(HintPlace, scale));
    const int markHeight = atScale(BestMarkHeight, scale);
    for (int i = 0; i < HandSize; ++i) {
        const QRect face = Picturecard[i]->geometry();
        m_bestMarks[i]->setGeometry(face.x(), face.bottom() + 1 - markHeight, face.width(), markHeight);
        m_bestMarks[i]->setFont(adviceFont);
    }
}

void cards::markBestHold()
{
    const std::optional<Judgement> &judgement = trainer.judgement();
    const bool warned = trainer.warnedHolds() && judgement && round.phase() == Round::Phase::HoldsOpen;
    for (int i = 0; i < HandSize; ++i) {
        const bool kept = warned && (judgement->best() & (1u << i));
        m_bestMarks[i]->setVisible(kept);
        if (kept)
            m_bestMarks[i]->raise();
    }
}

void cards::Form_Load()
{
    setUpCardsAndHolds();
    placeWindow();
    round.randomize();
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
        card->setPicture(Picture1->Picture());
        card->setAccessibleName(QStringLiteral("Card %1").arg(i + 1));
        card->setAccessibleDescription(FaceDownDescription);
        connect(card, &PictureBox::clicked, this, [this, i] { Picturecard_Click(i); });

        CommandButton *hold = Commandhold[i];
        hold->hide();
        hold->setText(QStringLiteral("HOLD"));
        hold->setAccessibleName(QStringLiteral("Hold card %1").arg(i + 1));
        hold->setToolTip(QStringLiteral("Hold this card (key %1)").arg(i + 1));
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
