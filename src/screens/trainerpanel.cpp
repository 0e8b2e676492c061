#include "trainerpanel.h"

#include "model/names.h"
#include "play/round.h"
#include "screens/table/cards.h"
#include "trainer/trainer.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr int AdvisedHolds = 3;
// The hands that pay, best first.
constexpr Outcome PayingHands[] = {RoyalFlush, StraightFlush, FourOfAKindFirst, FullHouse,
                                   Flush,      Straight,      ThreeOfAKind,     TwoPair};

QString credits(double value)
{
    return QString::number(value, 'f', 2);
}

QLabel *addSection(QVBoxLayout *layout, const QString &heading, const QString &accessibleName)
{
    auto *title = new QLabel(heading);
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    layout->addWidget(title);
    auto *body = new QLabel;
    body->setWordWrap(true);
    body->setTextFormat(Qt::RichText);
    body->setAccessibleName(accessibleName);
    layout->addWidget(body);
    return body;
}

} // namespace

TrainerPanel::TrainerPanel(const Round &round, Trainer &trainer, QWidget *table)
    : QWidget(table)
    , m_round(round)
    , m_trainer(trainer)
{
    QFont font(QStringLiteral("Courier New"));
    font.setPixelSize(12);
    setFont(font);
    setAccessibleName(QStringLiteral("Trainer"));
    setGeometry(cards::ClientSize.width(), 0, PanelWidth, cards::ClientSize.height());

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(10, 6, 10, 6);
    layout->setSpacing(2);
    m_pays = addSection(layout, QStringLiteral("PAYS"), QStringLiteral("Pays"));
    m_result = addSection(layout, QStringLiteral("RESULT"), QStringLiteral("Result"));
    m_deck = addSection(layout, QStringLiteral("DECK"), QStringLiteral("Deck"));
    m_advice = addSection(layout, QStringLiteral("ADVICE"), QStringLiteral("Advice"));
    m_session = addSection(layout, QStringLiteral("SESSION"), QStringLiteral("Session"));
    auto *reset = new QPushButton(QStringLiteral("New session"));
    reset->setFocusPolicy(Qt::NoFocus);
    layout->addWidget(reset, 0, Qt::AlignLeft);
    layout->addStretch();
    auto *keys = new QLabel(QStringLiteral("H advice, A advice always on, T panel, 1-5 hold, Up/Down bet, M sound"));
    keys->setWordWrap(true);
    layout->addWidget(keys);

    connect(reset, &QPushButton::clicked, &trainer, &Trainer::resetSession);
    connect(&trainer, &Trainer::changed, this, &TrainerPanel::refresh);
    refresh();
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

void TrainerPanel::refresh()
{
    // A hidden panel is written when it shows again.
    if (!isVisible())
        return;
    m_pays->setText(paysText());
    m_result->setText(resultText());
    m_deck->setText(deckText());
    m_advice->setText(adviceText());
    m_session->setText(sessionText());
}

void TrainerPanel::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    refresh();
}

// One line a hand, "Full house 20 x 3 = 60"; the hand just paid is lit.
QString TrainerPanel::paysText() const
{
    const auto drawn = m_trainer.drawnOutcome();
    const qint32 bet = m_round.bet();
    QString rows;
    for (const Outcome hand : PayingHands) {
        const int pay = Round::payTable().pay(hand);
        const bool lit = drawn && categoryOf(*drawn) == categoryOf(hand);
        rows += QStringLiteral("<tr%1><td>%2</td><td align=right>%3 x %4 = %5</td></tr>")
                    .arg(lit ? QStringLiteral(" style='background-color:#ffff00'") : QString(),
                         Trainer::outcomeName(hand).toHtmlEscaped())
                    .arg(pay)
                    .arg(bet)
                    .arg(qint64(pay) * bet);
    }
    return QStringLiteral("<table width=100% cellspacing=0>%1</table>").arg(rows);
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
    if (const auto &mistake = m_trainer.mistake()) {
        text += QStringLiteral("<br><font color=#c00000>Mistake: %1 was best; your holds cost %2 credits.</font>")
                    .arg(holdText(m_trainer.dealtHand(), mistake->bestHold).toHtmlEscaped(), credits(mistake->cost));
    } else if (m_trainer.holds()) {
        text += QStringLiteral("<br>Your holds were the best.");
    }
    return text;
}

QString TrainerPanel::deckText() const
{
    const int gone = m_round.deck().markedCount();
    QString text = QStringLiteral("%1 cards left, %2 gone since the shuffle.").arg(RankCount * SuitCount - gone).arg(gone);
    if (m_round.phase() != Round::Phase::HoldsOpen && m_round.deck().dealtcount() > Deck::ReshuffleAfter)
        text += QStringLiteral("<br>The next deal reshuffles the deck.");
    return text;
}

QString TrainerPanel::adviceText() const
{
    if (m_round.phase() != Round::Phase::HoldsOpen || !m_trainer.holds())
        return QStringLiteral("Advice comes with the next deal.");
    if (!m_adviceRequested && !m_adviceAlways)
        return QStringLiteral("Press H for the best hold.");
    const auto &hand = m_trainer.dealtHand();
    const auto ranked = m_trainer.rankedHolds();
    QString rows;
    for (int i = 0; i < AdvisedHolds; ++i) {
        rows += QStringLiteral("<tr><td>%1</td><td align=right>%2</td></tr>")
                    .arg(holdText(hand, ranked[i]).toHtmlEscaped(),
                         credits(m_trainer.expectedCredits(ranked[i])));
    }
    const unsigned yours = m_round.heldMask();
    rows += QStringLiteral("<tr><td>Yours: %1</td><td align=right>%2</td></tr>")
                .arg(holdText(hand, yours).toHtmlEscaped(), credits(m_trainer.expectedCredits(yours)));
    return QStringLiteral("Expected credits at a bet of %1; the cards dealt since the shuffle are out of "
                          "the deck.<table width=100% cellspacing=0>%2</table>")
        .arg(m_round.bet())
        .arg(rows);
}

QString TrainerPanel::sessionText() const
{
    const SessionStats &s = m_trainer.session();
    return QStringLiteral("Hands %1, bet %2, won %3<br>Return %4 per credit bet<br>"
                          "Expected: your holds %5, best play %6<br>Mistakes %7, costing %8 credits")
        .arg(s.hands)
        .arg(s.creditsBet)
        .arg(s.creditsWon)
        .arg(QString::number(s.actualReturn(), 'f', 3), credits(s.expectedYours), credits(s.expectedBest))
        .arg(s.mistakes)
        .arg(credits(s.mistakeCost));
}
