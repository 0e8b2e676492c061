#include "trainer.h"

#include "model/names.h"
#include "play/round.h"

#include <QDateTime>

#include <algorithm>
#include <bit>
#include <numeric>

namespace {

CardSet cardsOf(const std::array<CardCode, HandSize> &hand, unsigned mask = HoldCount - 1)
{
    CardSet cards = 0;
    for (int slot = 0; slot < HandSize; ++slot) {
        if (mask & (1u << slot))
            cards |= cardBit(hand[slot]);
    }
    return cards;
}

CardSet rankCards(int rank)
{
    return CardSet(0xF) << (rank * SuitCount);
}

CardSet suitCards(int suit)
{
    CardSet cards = 0;
    for (int rank = 0; rank < RankCount; ++rank)
        cards |= CardSet(1) << (rank * SuitCount + suit);
    return cards;
}

QString credits(double value)
{
    return QString::number(value, 'f', 2);
}

// "a", "a and b", "a, b and c".
QString listed(const QStringList &items)
{
    if (items.size() < 2)
        return items.join(QString());
    return items.mid(0, items.size() - 1).join(QStringLiteral(", ")) + QStringLiteral(" and ") + items.last();
}

// The cards gone that the fresh deck's hold would have drawn to: of each
// rank it keeps, and of a suit it keeps two or more of. What a player can
// count on the table.
QStringList goneOuts(const std::array<CardCode, HandSize> &hand, unsigned mask, CardSet gone)
{
    const CardSet kept = cardsOf(hand, mask);
    QStringList reasons;
    for (int rank = RankCount - 1; rank >= 0; --rank) {
        const int count = std::popcount(gone & rankCards(rank));
        if ((kept & rankCards(rank)) && count > 0)
            reasons << rankCountText(count, rank);
    }
    for (int suit = 0; suit < SuitCount; ++suit) {
        const int count = std::popcount(gone & suitCards(suit));
        if (std::popcount(kept & suitCards(suit)) >= 2 && count > 0)
            reasons << suitCountText(count, suit);
    }
    return reasons;
}

} // namespace

Trainer::Trainer(const Round &round, QObject *parent)
    : QObject(parent)
    , m_round(round)
    , m_sessionStart(QDateTime::currentMSecsSinceEpoch())
{
    connect(&round, &Round::dealt, this, &Trainer::analyseDeal);
    connect(&round, &Round::drawn, this, &Trainer::checkDraw);
    connect(&round, &Round::creditsRefilled, this, [this] { m_refilled = true; });
    // The bet and shuffles change what the panel shows, not the analysis of
    // the deal.
    connect(&round, &Round::holdChanged, this, [this] {
        recheckHolds();
        emit changed();
    });
    connect(&round, &Round::betChanged, this, &Trainer::changed);
    connect(&round, &Round::shuffled, this, &Trainer::changed);
    connect(&round, &Round::turnedDown, this, &Trainer::changed);
}

std::array<unsigned, HoldCount> Trainer::rankedHolds() const
{
    std::array<unsigned, HoldCount> order;
    std::iota(order.begin(), order.end(), 0u);
    if (m_holds) {
        std::sort(order.begin(), order.end(),
                  [this](unsigned a, unsigned b) { return isBetterHold((*m_holds)[a], (*m_holds)[b]); });
    }
    return order;
}

double Trainer::expectedCredits(unsigned mask) const
{
    return m_holds ? (*m_holds)[mask].expectedReturn() * m_bet : 0.0;
}

void Trainer::resetSession()
{
    m_session = {};
    m_sessionStart = QDateTime::currentMSecsSinceEpoch();
    emit changed();
}

QString Trainer::outcomeName(Outcome outcome)
{
    return ::outcomeName(outcome);
}

QList<AdviceRow> Trainer::advice(int count, unsigned mask) const
{
    QList<AdviceRow> rows;
    if (!m_holds)
        return rows;
    const auto ranked = rankedHolds();
    int place = 0;
    for (int i = 0; i < HoldCount; ++i) {
        const unsigned hold = ranked[i];
        const bool tied = i > 0 && compareReturns((*m_holds)[hold], (*m_holds)[ranked[i - 1]]) == 0;
        if (!tied)
            place = i + 1;
        if (i < count || hold == mask)
            rows.append({place, hold, expectedCredits(hold), tied});
    }
    return rows;
}

bool Trainer::confirmDraw(unsigned heldMask)
{
    if (!m_holds || m_round.phase() != Round::Phase::HoldsOpen || m_warned == heldMask)
        return true;
    if (!worthWarning(heldMask))
        return true;
    m_warned = heldMask;
    m_warnedThisDeal = true;
    emit changed();
    return false;
}

// A warning follows the holds: it goes when they become good enough, and
// speaks of the new holds when they do not.
void Trainer::recheckHolds()
{
    if (!m_warned)
        return;
    if (worthWarning(m_round.heldMask()))
        m_warned = m_round.heldMask();
    else
        m_warned.reset();
}

bool Trainer::worthWarning(unsigned mask) const
{
    const HoldResult &yours = (*m_holds)[mask];
    const HoldResult &best = (*m_holds)[bestHold(*m_holds)];
    if (m_threshold == WarnThreshold::AnyLoss)
        return compareReturns(yours, best) < 0;
    // Worth less by more than a hundredth of the bet, exactly: the gap over
    // the common denominator against a hundredth of it, both whole numbers.
    const std::int64_t gap = best.totalPay * yours.draws - yours.totalPay * best.draws;
    return gap > best.draws * yours.draws / 100;
}

QString Trainer::creditsText(double value, double neighbour)
{
    constexpr int MostDecimals = 6;
    int decimals = 2;
    while (decimals < MostDecimals && value != neighbour
           && QString::number(value, 'f', decimals) == QString::number(neighbour, 'f', decimals))
        ++decimals;
    return QString::number(value, 'f', decimals);
}

// "5♥ Q♣ Q♠ (1.12)", with as many decimals as tell it from `other`.
QString Trainer::heldWithCredits(unsigned mask, unsigned other) const
{
    return QStringLiteral("%1 (%2)").arg(keptCardsText(m_dealtHand, mask),
                                         creditsText(expectedCredits(mask), expectedCredits(other)));
}

QString Trainer::warningText() const
{
    if (!m_warned || !m_holds)
        return {};
    const unsigned best = bestHold(*m_holds);
    return QStringLiteral("Holding %1 is worth %2 credits; your hold, %3, %4. "
                          "Change your holds, or press DEAL again to draw.")
        .arg(keptCardsText(m_dealtHand, best), creditsText(expectedCredits(best), expectedCredits(*m_warned)),
             keptCardsText(m_dealtHand, *m_warned), creditsText(expectedCredits(*m_warned), expectedCredits(best)));
}

QString Trainer::verdictText() const
{
    if (!m_holdsJudged || !m_holds)
        return {};
    const unsigned best = bestHold(*m_holds);
    const QString yours = heldWithCredits(m_drawnHolds, best);
    if (m_mistake) {
        return QStringLiteral("You held %1. Best: %2. Expected loss %3 credits.")
            .arg(yours, heldWithCredits(best, m_drawnHolds), credits(m_mistake->expectedLoss));
    }
    if (m_drawnHolds == best)
        return QStringLiteral("You held %1: the best hold.").arg(yours);
    return QStringLiteral("You held %1 = best: %2 is worth the same.").arg(yours, keptCardsText(m_dealtHand, best));
}

QString Trainer::deckEffectText() const
{
    if (!m_freshBest || !m_holds)
        return {};
    const unsigned best = bestHold(*m_holds);
    QStringList reasons = goneOuts(m_dealtHand, *m_freshBest, m_goneAtDeal);
    constexpr int MostReasons = 3;
    reasons = reasons.mid(0, MostReasons);
    QString gone;
    if (reasons.isEmpty())
        gone = QStringLiteral("%1 cards are gone since the shuffle").arg(std::popcount(m_goneAtDeal));
    else
        gone = listed(reasons) + (reasons.size() == 1 && reasons[0].startsWith(QLatin1String("1 "))
                                      ? QStringLiteral(" is gone") : QStringLiteral(" are gone"));
    return QStringLiteral("On a fresh deck you would keep %1, worth %2 credits here; %3, so %4 is worth more here.")
        .arg(keptCardsText(m_dealtHand, *m_freshBest), creditsText(expectedCredits(*m_freshBest), expectedCredits(best)),
             gone, heldWithCredits(best, *m_freshBest));
}

QString Trainer::hintText(unsigned mask) const
{
    if (!m_holds)
        return {};
    const unsigned best = bestHold(*m_holds);
    return QStringLiteral("Best: %1, %2 credits\nYour hold: %3, %4 credits")
        .arg(keptCardsText(m_dealtHand, best), creditsText(expectedCredits(best), expectedCredits(mask)),
             keptCardsText(m_dealtHand, mask), creditsText(expectedCredits(mask), expectedCredits(best)));
}

QStringList Trainer::sessionLines() const
{
    const SessionStats &s = m_session;
    if (s.hands == 0)
        return {QStringLiteral("No hands yet.")};
    const int correct = s.hands - s.mistakes;
    QStringList lines{
        QStringLiteral("Hands %1, correct holds %2 (%3 %)").arg(s.hands).arg(correct).arg(100.0 * correct / s.hands, 0, 'f', 0),
        QStringLiteral("Expected loss to mistakes %1 credits, %2 a hand")
            .arg(credits(s.mistakeCost), credits(s.mistakeCost / s.hands)),
        QStringLiteral("Credits bet %1, won %2").arg(s.creditsBet).arg(s.creditsWon),
    };
    if (s.expectedBest > 0) {
        lines << QStringLiteral("Your play kept %1 % of the best play's expected return")
                     .arg(100.0 * s.expectedYours / s.expectedBest, 0, 'f', 1);
    }
    return lines;
}

void Trainer::analyseDeal()
{
    analyse(m_round.hand(), m_round.deck().undealtCards(), m_round.bet());
    m_drawnOutcome.reset();
    m_warned.reset();
    m_warnedThisDeal = false;
    m_refilled = false;
    emit changed();
}

void Trainer::judge(const HandRecord &hand)
{
    analyse(hand.dealt, hand.deckAtDeal(), hand.bet);
    judgeHolds(hand.held);
}

void Trainer::analyse(const std::array<CardCode, HandSize> &hand, CardSet left, qint32 bet)
{
    m_dealtHand = hand;
    const CardSet fresh = FullDeck & ~cardsOf(m_dealtHand);
    m_holds = analyseHolds(m_dealtHand, left, Round::payTable());
    m_goneAtDeal = fresh & ~left;
    // The hold a player of a fresh deck would keep, from the same count run
    // on the 47 cards that are not in the hand; only its order matters, so
    // the pays alone are counted.
    m_freshBest.reset();
    if (m_goneAtDeal) {
        const unsigned freshBest = bestHold(valueHolds(m_dealtHand, fresh, Round::payTable()));
        if (compareReturns((*m_holds)[freshBest], (*m_holds)[bestHold(*m_holds)]) < 0)
            m_freshBest = freshBest;
    }
    m_bet = bet;
    m_mistake.reset();
    m_holdsJudged = false;
}

bool Trainer::judgeHolds(unsigned held)
{
    m_drawnHolds = held;
    m_holdsJudged = true;
    const HoldResult &yours = (*m_holds)[held];
    const unsigned best = bestHold(*m_holds);
    if (compareReturns(yours, (*m_holds)[best]) >= 0)
        return false;
    m_mistake = Mistake{best, ((*m_holds)[best].expectedReturn() - yours.expectedReturn()) * m_bet};
    return true;
}

void Trainer::checkDraw(Outcome, qint32 winnings)
{
    m_drawnOutcome = evaluateHand(m_round.hand(), PayTable::gameNaming());
    m_drawnHolds = m_round.heldMask();
    m_warned.reset();
    const qint32 bet = m_bet;
    ++m_session.hands;
    m_session.creditsBet += bet;
    m_session.creditsWon += winnings;
    if (m_holds) {
        m_session.expectedYours += expectedCredits(m_drawnHolds);
        m_session.expectedBest += expectedCredits(bestHold(*m_holds));
        if (judgeHolds(m_drawnHolds)) {
            ++m_session.mistakes;
            m_session.mistakeCost += m_mistake->expectedLoss;
        }
        emit settled(settledRecord(winnings));
    }
    emit changed();
}

HandRecord Trainer::settledRecord(qint32 winnings) const
{
    const unsigned best = bestHold(*m_holds);
    HandRecord record;
    record.playedAt = QDateTime::currentMSecsSinceEpoch();
    record.session = m_sessionStart;
    record.bet = m_bet;
    record.dealt = m_dealtHand;
    record.goneAtDeal = m_goneAtDeal;
    record.held = m_drawnHolds;
    record.bestHold = best;
    record.heldCredits = expectedCredits(m_drawnHolds);
    record.bestCredits = expectedCredits(best);
    record.final = m_round.hand();
    record.outcome = *m_drawnOutcome;
    record.winnings = winnings;
    record.credits = m_round.credits();
    record.warned = m_warnedThisDeal;
    return record;
}
