#include "trainerpanel.h"

#include "deckmap.h"
#include "model/names.h"
#include "platform/firstpaint.h"
#include "play/round.h"
#include "trainer/trainer.h"

#include <QBoxLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QStyle>
#include <QVBoxLayout>

namespace {

constexpr int AdvisedHolds = 5;
// The hands that pay, best first.
constexpr Outcome PayingHands[] = {RoyalFlush, StraightFlush, FourOfAKindFirst, FullHouse,
                                   Flush,      Straight,      ThreeOfAKind,     TwoPair};
// The held colour of the table's HOLD buttons marks what the trainer points at.
const QString Marked = QStringLiteral("#ffff00");
const QString Red = QStringLiteral("#c00000");

QLabel *addText(QVBoxLayout *layout, const QString &accessibleName)
{
    auto *body = new QLabel;
    body->setWordWrap(true);
    body->setTextFormat(Qt::RichText);
    body->setAccessibleName(accessibleName);
    layout->addWidget(body);
    return body;
}

QLabel *addSection(QVBoxLayout *layout, const QString &heading, const QString &accessibleName)
{
    auto *title = new QLabel(heading);
    QFont bold = title->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.2);
    title->setFont(bold);
    layout->addSpacing(title->fontMetrics().height() / 3);
    layout->addWidget(title);
    return addText(layout, accessibleName);
}

// The five cards of the deal, those of `mask` marked.
QString markedHand(const std::array<CardCode, HandSize> &hand, unsigned mask)
{
    QStringList cells;
    for (int slot = 0; slot < HandSize; ++slot) {
        const QString card = richCards(symbolCardName(hand[slot]));
        cells << ((mask & (1u << slot)) ? QStringLiteral("<td align=center bgcolor=%1><b>%2</b></td>").arg(Marked, card)
                                        : QStringLiteral("<td align=center>%1</td>").arg(card));
    }
    return QStringLiteral("<table cellspacing=4 cellpadding=3><tr>%1</tr></table>").arg(cells.join(QString()));
}

QString onOff(bool on)
{
    return on ? QStringLiteral("<b>on</b>") : QStringLiteral("off");
}

} // namespace

QString richCards(const QString &plain)
{
    QString rich = plain.toHtmlEscaped();
    for (const QChar suit : {QChar(0x2665), QChar(0x2666)})
        rich.replace(suit, QStringLiteral("<font color=%1>%2</font>").arg(Red, suit));
    return rich.replace(QLatin1Char('\n'), QStringLiteral("<br>"));
}

TrainerPanel::TrainerPanel(const Round &round, Trainer &trainer, QWidget *table)
    : QWidget(table)
    , m_round(round)
    , m_trainer(trainer)
{
    // The desktop's own font and size, whatever the table uses: every
    // property of it set here, so that none comes from the table.
    QFont desktop = QGuiApplication::font();
    desktop.setResolveMask(QFont::AllPropertiesResolved);
    setFont(desktop);
    setAccessibleName(QStringLiteral("Trainer"));
    setAutoFillBackground(true);
    connect(&trainer, &Trainer::changed, this, &TrainerPanel::refresh);
}

void TrainerPanel::setVisible(bool visible)
{
    if (visible && !m_warning && !window()->isVisible()) {
        // Shown with a table that has not painted yet, as on a start with
        // the panel on: the table comes first, and the panel's words a frame
        // later, rather than the table waiting for them.
        if (!m_buildScheduled)
            afterFirstPaint(window(), [this] {
                build();
                refresh();
            });
        m_buildScheduled = true;
    } else if (visible) {
        build();
    }
    QWidget::setVisible(visible);
}

// The sections are made when the panel first shows, or is first read: a
// table opened with the panel hidden does not wait for them.
void TrainerPanel::build()
{
    if (m_warning)
        return;
    m_reset = new QPushButton(QStringLiteral("New session"));
    m_reset->setFocusPolicy(Qt::NoFocus);
    m_review = new QPushButton(QStringLiteral("Review your hands (R)"));
    m_review->setFocusPolicy(Qt::NoFocus);
    m_strategy = new QPushButton(QStringLiteral("Strategy chart (C)"));
    m_strategy->setFocusPolicy(Qt::NoFocus);
    m_buttons = new QBoxLayout(QBoxLayout::LeftToRight);
    m_buttons->setContentsMargins(10, 6, 10, 0);
    m_buttons->setAlignment(Qt::AlignLeft);
    m_buttons->addWidget(m_reset);
    m_buttons->addWidget(m_review);
    m_buttons->addWidget(m_strategy);
    auto *scroll = new QScrollArea(this);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setFocusPolicy(Qt::NoFocus);
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);
    outer->addLayout(m_buttons);
    outer->addWidget(scroll);

    m_content = new QWidget;
    auto *layout = new QVBoxLayout(m_content);
    layout->setContentsMargins(10, 6, 10, 6);
    layout->setSpacing(2);
    m_welcome = addText(layout, QStringLiteral("Welcome"));
    m_welcome->setText(QStringLiteral("Welcome! This is the trainer: <b>T</b> hides it, <b>W</b> turns the warning "
                                      "before the draw off and on, and the table's right-click menu has every option."));
    m_warning = addText(layout, QStringLiteral("Warning"));
    m_warning->setFrameShape(QFrame::Box);
    m_warning->setMargin(4);
    m_pays = addSection(layout, QStringLiteral("Pays"), QStringLiteral("Pays"));
    m_result = addSection(layout, QStringLiteral("Result"), QStringLiteral("Result"));
    m_deck = addSection(layout, QStringLiteral("Deck"), QStringLiteral("Deck"));
    m_deckMap = new DeckMap;
    layout->addWidget(m_deckMap);
    m_advice = addSection(layout, QStringLiteral("Advice"), QStringLiteral("Advice"));
    m_session = addSection(layout, QStringLiteral("Session"), QStringLiteral("Session"));
    m_drillDue = addText(layout, QStringLiteral("Drill"));
    m_options = addSection(layout, QStringLiteral("Options"), QStringLiteral("Options"));
    m_history = addText(layout, QStringLiteral("History"));
    m_history->setTextFormat(Qt::PlainText);
    layout->addStretch();
    auto *keys = addText(layout, QStringLiteral("Keys"));
    keys->setText(QStringLiteral("Enter or Space deal and draw, 1-5 hold, H advice, V all 32 holds, A advice always, "
                                 "W training, T this panel, M sound, R review, D drill, C strategy chart, Up/Down/Page Up/Page Down/Home/End bet"));
    scroll->setWidget(m_content);

    connect(m_reset, &QPushButton::clicked, &m_trainer, &Trainer::resetSession);
    connect(m_review, &QPushButton::clicked, this, &TrainerPanel::reviewRequested);
    connect(m_strategy, &QPushButton::clicked, this, &TrainerPanel::strategyRequested);
    showOptionsAndNotes();
}

// The buttons stand side by side where the panel is wide enough, else one
// above the other, so that neither is cut.
bool TrainerPanel::buttonsSideBySide(int width) const
{
    const QMargins margins = m_buttons->contentsMargins();
    return margins.left() + m_reset->sizeHint().width() + m_buttons->spacing() + m_review->sizeHint().width()
               + m_buttons->spacing() + m_strategy->sizeHint().width() + margins.right()
           <= width;
}

int TrainerPanel::heightForWidth(int width) const
{
    if (!m_content)
        return 0;
    const QMargins margins = m_buttons->contentsMargins();
    const int reset = m_reset->sizeHint().height();
    const int review = m_review->sizeHint().height();
    const int strategy = m_strategy->sizeHint().height();
    const int buttons = buttonsSideBySide(width) ? std::max({reset, review, strategy})
                                                 : reset + review + strategy + 2 * m_buttons->spacing();
    // Room for the words even beside a scroll bar, so that one shown while
    // the panel was shorter goes once it is not.
    const int scrollBar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    return margins.top() + buttons + margins.bottom() + m_content->heightForWidth(width - scrollBar);
}

void TrainerPanel::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (m_buttons)
        m_buttons->setDirection(buttonsSideBySide(width()) ? QBoxLayout::LeftToRight : QBoxLayout::TopToBottom);
}

void TrainerPanel::askForRoom()
{
    if (isVisible() && heightForWidth(width()) > height())
        emit needsRoom();
}

void TrainerPanel::setAdviceRequested(bool requested)
{
    m_adviceRequested = requested;
    refresh();
}

void TrainerPanel::setAdviceAlways(bool always)
{
    m_adviceAlways = always;
    refresh();
}

void TrainerPanel::setAllHoldsListed(bool listed)
{
    m_allHolds = listed;
    refresh();
}

void TrainerPanel::setOptionsState(bool training, bool adviceAlways, bool soundOn, const QString &warnsWhen)
{
    m_optionsText = QStringLiteral("Training %1 (W), warns %2 &middot; advice always %3 (A) &middot; sound %4 (M)")
                        .arg(onOff(training), warnsWhen.toHtmlEscaped(), onOff(adviceAlways), onOff(soundOn));
    showOptionsAndNotes();
}

void TrainerPanel::setWelcomeShown(bool shown)
{
    m_welcomeShown = shown;
    showOptionsAndNotes();
}

void TrainerPanel::setHistoryMessage(const QString &message)
{
    m_historyMessage = message;
    showOptionsAndNotes();
}

void TrainerPanel::setOptionsMessage(const QString &message)
{
    m_optionsMessage = message;
    showOptionsAndNotes();
}

void TrainerPanel::setDrillDue(qint64 due)
{
    m_dueForDrill = due;
    showOptionsAndNotes();
}

// What the table tells the panel is kept, so that the sections show it
// whenever they are made.
void TrainerPanel::showOptionsAndNotes()
{
    if (!m_warning)
        return;
    m_options->setText(m_optionsText);
    m_welcome->setVisible(m_welcomeShown);
    QStringList notes{m_optionsMessage, m_historyMessage};
    notes.removeAll(QString());
    m_history->setText(notes.join(QStringLiteral("<br>")));
    m_history->setVisible(!notes.isEmpty());
    m_drillDue->setText(m_dueForDrill == 1
                            ? QStringLiteral("1 mistake is due for a drill: press <b>D</b>.")
                            : QStringLiteral("%1 mistakes are due for a drill: press <b>D</b>.").arg(m_dueForDrill));
    m_drillDue->setVisible(m_dueForDrill > 0);
    askForRoom();
}

void TrainerPanel::refresh()
{
    // A hidden panel is written when it shows again, one not made yet when
    // it is.
    if (!isVisible() || !m_warning)
        return;
    const QString warning = warningText();
    m_warning->setText(warning);
    m_warning->setVisible(!warning.isEmpty());
    m_pays->setText(paysText());
    m_result->setText(resultText());
    m_deck->setText(deckText());
    showDeckMap();
    m_advice->setText(adviceText());
    QStringList session;
    for (const QString &line : m_trainer.sessionLines())
        session << line.toHtmlEscaped();
    m_session->setText(session.join(QStringLiteral("<br>")));
    askForRoom();
}

void TrainerPanel::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    refresh();
}

QString TrainerPanel::warningText() const
{
    const QString text = m_trainer.warningText();
    if (text.isEmpty())
        return {};
    return QStringLiteral("<font color=%1><b>Check your holds.</b></font> %2<br>%3%4")
        .arg(Red, richCards(text), richCards(m_trainer.strategyText()),
             markedHand(m_trainer.judgement()->dealt(), m_trainer.judgement()->best()));
}

// A grid: the hand, what it pays per credit and at the bet; the hand just
// paid is lit.
QString TrainerPanel::paysText() const
{
    const auto drawn = m_trainer.drawnOutcome();
    const qint32 bet = m_round.bet();
    QString rows = QStringLiteral("<tr><th align=left>Hand</th><th align=right>Pays</th>"
                                  "<th align=right>At %1</th></tr>").arg(bet);
    for (const Outcome hand : PayingHands) {
        const int pay = Round::payTable().pay(hand);
        const bool lit = drawn && categoryOf(*drawn) == categoryOf(hand);
        rows += QStringLiteral("<tr%1><td>%2</td><td align=right>%3</td><td align=right>%4</td></tr>")
                    .arg(lit ? QStringLiteral(" bgcolor=%1").arg(Marked) : QString(),
                         Trainer::outcomeName(hand).toHtmlEscaped())
                    .arg(pay)
                    .arg(qint64(pay) * bet);
    }
    return QStringLiteral("<table width=100% cellspacing=0 cellpadding=1>%1</table>").arg(rows);
}

QString TrainerPanel::resultText() const
{
    const auto drawn = m_trainer.drawnOutcome();
    if (!drawn)
        return QStringLiteral("The result shows after the draw.");
    const qint32 won = m_round.winnings();
    QString text = Trainer::outcomeName(*drawn) + QStringLiteral(": ")
                   + (won > 0 ? QStringLiteral("won %1").arg(won) : QStringLiteral("no win"));
    if (m_trainer.refilled())
        text += QStringLiteral("<br>Credits ran out: refilled to %1.").arg(FreshStake);
    const QString verdict = richCards(m_trainer.verdictText());
    if (!verdict.isEmpty())
        text += QStringLiteral("<br>") + (m_trainer.mistake() ? QStringLiteral("<font color=%1>%2</font>").arg(Red, verdict) : verdict);
    const QString lines = m_trainer.strategyText();
    if (!lines.isEmpty())
        text += QStringLiteral("<br>") + richCards(lines);
    return text;
}

// The deck the current deal came from, until a shuffle makes a new one.
void TrainerPanel::showDeckMap()
{
    const std::optional<Judgement> &judgement = m_trainer.judgement();
    if (!judgement || m_trainer.shuffledSinceDeal()) {
        m_deckMap->showDeck(0, 0);
        return;
    }
    CardSet hand = 0;
    for (const CardCode &card : judgement->dealt())
        hand |= cardBit(card);
    m_deckMap->showDeck(hand, judgement->goneAtDeal());
}

QString TrainerPanel::deckText() const
{
    const int gone = m_round.deck().markedCount();
    QString text = QStringLiteral("%1 cards left, %2 gone since the shuffle.").arg(RankCount * SuitCount - gone).arg(gone);
    if (m_round.phase() != Round::Phase::HoldsOpen && m_round.deck().dealtcount() > Deck::ReshuffleAfter)
        text += QStringLiteral("<br>The next deal reshuffles the deck.");
    const QString effect = m_trainer.judgement() ? m_trainer.judgement()->deckEffectText() : QString();
    if (!effect.isEmpty() && !m_trainer.shuffledSinceDeal()
        && (m_round.phase() != Round::Phase::HoldsOpen || m_adviceRequested || m_adviceAlways))
        text += QStringLiteral("<br>") + richCards(effect);
    return text;
}

// The best holds with their expected credits and the player's own hold in
// its place; holds worth the same share a place and are marked "=".
QString TrainerPanel::adviceText() const
{
    if (m_round.phase() != Round::Phase::HoldsOpen || !m_trainer.judgement())
        return QStringLiteral("Advice comes with the next deal.");
    if (!m_adviceRequested && !m_adviceAlways && !m_allHolds)
        return QStringLiteral("Press H for the best holds, V for all 32.");
    return QStringLiteral("Expected credits at a bet of %1, with the cards gone since the shuffle out of the deck.%2")
        .arg(m_round.bet())
        .arg(adviceTable(*m_trainer.judgement(), m_allHolds ? HoldCount : AdvisedHolds, m_round.heldMask()));
}

QString adviceTable(const Judgement &judgement, int count, unsigned yours)
{
    const auto &hand = judgement.dealt();
    const auto rows = judgement.advice(count, yours);
    // Holds worth the same share a place and print alike: with as many
    // decimals as tell their value from the rows above and below the place.
    QStringList values(rows.size());
    for (qsizetype first = 0, last = 0; first < rows.size(); first = last + 1) {
        for (last = first; last + 1 < rows.size() && rows[last + 1].tiedWithAbove;)
            ++last;
        const double value = rows[first].credits;
        const QString byAbove = Judgement::creditsText(value, rows[std::max<qsizetype>(first - 1, 0)].credits);
        const QString byBelow = Judgement::creditsText(value, rows[std::min(last + 1, rows.size() - 1)].credits);
        for (qsizetype i = first; i <= last; ++i)
            values[i] = byAbove.size() > byBelow.size() ? byAbove : byBelow;
    }
    QString cells;
    for (qsizetype i = 0; i < rows.size(); ++i) {
        const AdviceRow &row = rows[i];
        const QString &value = values[i];
        const QString cardsText = richCards(keptCardsText(hand, row.mask))
                                  + (row.mask == yours ? QStringLiteral(" <i>(yours)</i>") : QString());
        cells += QStringLiteral("<tr%1><td align=right>%2&nbsp;&nbsp;</td><td>%3</td><td align=right>%4</td></tr>")
                     .arg(row.mask == yours ? QStringLiteral(" bgcolor=%1").arg(Marked) : QString(),
                          row.tiedWithAbove ? QStringLiteral("=") : QStringLiteral("%1.").arg(row.place), cardsText, value);
    }
    return QStringLiteral("<table width=100% cellspacing=0 cellpadding=1>%1</table>").arg(cells);
}
