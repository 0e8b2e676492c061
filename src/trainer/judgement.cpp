#include "judgement.h"

#include "gamestrategy.h"
#include "model/names.h"
#include "play/round.h"

#include <QLocale>
#include <QStringList>

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

// What each hold is worth on a fresh deck, the 47 cards that are not in
// the hand: the values on the deck as it is where no card is gone. Only
// the order of holds is asked of them, so the pays alone are counted.
std::array<HoldValue, HoldCount> freshDeckValues(const std::array<CardCode, HandSize> &dealt, CardSet goneAtDeal,
                                                 const std::array<HoldResult, HoldCount> &holds, const PayTable &table)
{
    if (goneAtDeal)
        return valueHolds(dealt, FullDeck & ~cardsOf(dealt), table);
    std::array<HoldValue, HoldCount> values;
    std::copy(holds.begin(), holds.end(), values.begin());
    return values;
}

// The hold a player of a fresh deck would keep, when it is worth less on
// the deck as it is.
std::optional<unsigned> freshDeckBest(const std::array<HoldValue, HoldCount> &fresh,
                                      const std::array<HoldResult, HoldCount> &holds, unsigned best)
{
    const unsigned freshBest = bestHold(fresh);
    if (compareReturns(holds[freshBest], holds[best]) < 0)
        return freshBest;
    return std::nullopt;
}

} // namespace

int percentOfBet(WarnThreshold threshold)
{
    switch (threshold) {
    case WarnThreshold::AnyLoss: return 0;
    case WarnThreshold::OverOnePercentOfBet: return 1;
    case WarnThreshold::OverFivePercentOfBet: return 5;
    case WarnThreshold::OverTenPercentOfBet: return 10;
    }
    return 0;
}

Judgement::Judgement(const std::array<CardCode, HandSize> &dealt, CardSet goneAtDeal, qint32 bet,
                     const PayTable &table)
    : m_dealt(dealt)
    , m_goneAtDeal(goneAtDeal & ~cardsOf(dealt))
    , m_bet(bet)
    , m_holds(analyseHolds(dealt, FullDeck & ~cardsOf(dealt) & ~goneAtDeal, table))
    , m_best(bestHold(m_holds))
    , m_table(table)
    , m_onGameTable(table == PayTable::game())
    , m_freshValues(freshDeckValues(dealt, m_goneAtDeal, m_holds, table))
    , m_freshBest(freshDeckBest(m_freshValues, m_holds, m_best))
{
}

Judgement::Judgement(const HandRecord &hand)
    : Judgement(hand.dealt, hand.goneAtDeal, hand.bet, Round::payTable())
{
}

std::array<unsigned, HoldCount> Judgement::rankedHolds() const
{
    std::array<unsigned, HoldCount> order;
    std::iota(order.begin(), order.end(), 0u);
    std::sort(order.begin(), order.end(),
              [this](unsigned a, unsigned b) { return isBetterHold(m_holds[a], m_holds[b]); });
    return order;
}

bool Judgement::isMistake(unsigned held) const
{
    return compareReturns(m_holds[held], m_holds[m_best]) < 0;
}

double Judgement::expectedLoss(unsigned held) const
{
    return isMistake(held) ? (m_holds[m_best].expectedReturn() - m_holds[held].expectedReturn()) * m_bet : 0.0;
}

bool Judgement::worthWarning(unsigned held, WarnThreshold threshold) const
{
    const HoldResult &yours = m_holds[held];
    const HoldResult &best = m_holds[m_best];
    if (threshold == WarnThreshold::AnyLoss)
        return compareReturns(yours, best) < 0;
    // Worth less by more than the share of the bet, exactly: the gap over
    // the common denominator against the share of it, both whole numbers.
    const std::int64_t gap = best.totalPay * yours.draws - yours.totalPay * best.draws;
    return gap * 100 > best.draws * yours.draws * percentOfBet(threshold);
}

QList<AdviceRow> Judgement::advice(int count, unsigned mask) const
{
    QList<AdviceRow> rows;
    const auto ranked = rankedHolds();
    int place = 0;
    for (int i = 0; i < HoldCount; ++i) {
        const unsigned hold = ranked[i];
        const bool tied = i > 0 && compareReturns(m_holds[hold], m_holds[ranked[i - 1]]) == 0;
        if (!tied)
            place = i + 1;
        if (i < count || hold == mask)
            rows.append({place, hold, expectedCredits(hold), tied});
    }
    return rows;
}

QString Judgement::creditsText(double value, double neighbour)
{
    constexpr int MostDecimals = 6;
    int decimals = 2;
    while (decimals < MostDecimals && value != neighbour
           && QString::number(value, 'f', decimals) == QString::number(neighbour, 'f', decimals))
        ++decimals;
    return QString::number(value, 'f', decimals);
}

// "5♥ Q♣ Q♠ (1.12)", with as many decimals as tell it from `other`.
QString Judgement::heldWithCredits(unsigned mask, unsigned other) const
{
    return QStringLiteral("%1 (%2)").arg(keptCardsText(m_dealt, mask),
                                         creditsText(expectedCredits(mask), expectedCredits(other)));
}

QString Judgement::warningText(unsigned held) const
{
    return QStringLiteral("Holding %1 is worth %2 credits; your hold, %3, %4. %5. "
                          "Change your holds, or press DEAL again to draw.")
        .arg(keptCardsText(m_dealt, m_best), creditsText(expectedCredits(m_best), expectedCredits(held)),
             keptCardsText(m_dealt, held), creditsText(expectedCredits(held), expectedCredits(m_best)),
             outsText(m_best, held));
}

QString Judgement::verdictText(unsigned held) const
{
    const QString yours = heldWithCredits(held, m_best);
    if (isMistake(held)) {
        return QStringLiteral("You held %1. Best: %2. Expected loss %3 credits.")
            .arg(yours, heldWithCredits(m_best, held), credits(expectedLoss(held)));
    }
    if (held == m_best)
        return QStringLiteral("You held %1: the best hold.").arg(yours);
    return QStringLiteral("You held %1 = best: %2 is worth the same.").arg(yours, keptCardsText(m_dealt, m_best));
}

QString Judgement::deckEffectText() const
{
    if (!m_freshBest)
        return {};
    return QStringLiteral("On a fresh deck you would keep %1, worth %2 credits here. %3: %4.")
        .arg(keptCardsText(m_dealt, *m_freshBest), creditsText(expectedCredits(*m_freshBest), expectedCredits(m_best)),
             capitalised(cardsLeftText(*m_freshBest)), outsText(m_best, *m_freshBest));
}

QString Judgement::outsText(unsigned mask, unsigned other) const
{
    Outcome lowest = RoyalFlush;
    for (int o = 0; o < OutcomeCount; ++o) {
        if (m_table.pay(Outcome(o)) > 0 && m_table.pay(Outcome(o)) < m_table.pay(lowest))
            lowest = Outcome(o);
    }
    const QLocale english(QLocale::English);
    const auto outs = [&](unsigned hold) {
        std::int64_t paying = 0;
        for (int o = 0; o < OutcomeCount; ++o)
            paying += m_table.pay(Outcome(o)) > 0 ? m_holds[hold].outcomes[std::size_t(o)] : 0;
        return QStringLiteral("%1 of %2").arg(english.toString(paying), english.toString(m_holds[hold].draws));
    };
    const auto named = [&](unsigned hold) {
        return hold == 0 ? QStringLiteral("drawing five") : keptCardsText(m_dealt, hold);
    };
    return QStringLiteral("%1 makes %2 or better in %3 draws, %4 in %5")
        .arg(named(mask), categoryName(categoryOf(lowest), m_table), outs(mask), named(other), outs(other));
}

QString Judgement::cardsLeftText(unsigned other) const
{
    const CardSet left = FullDeck & ~m_goneAtDeal & ~cardsOf(m_dealt);
    const CardSet best = cardsOf(m_dealt, m_best);
    const CardSet theirs = cardsOf(m_dealt, other);
    // The ranks one hold keeps and the other does not, the best's first;
    // else the suits of a draw to a flush.
    QStringList counts;
    for (const CardSet kept : {best & ~theirs, theirs & ~best}) {
        for (int rank = RankCount - 1; rank >= 0 && counts.isEmpty(); --rank) {
            const int count = std::popcount(left & rankCards(rank));
            if (kept & rankCards(rank))
                counts << (count == 0 ? QStringLiteral("no %1").arg(rankCountText(1, rank).mid(2)) : rankCountText(count, rank));
        }
    }
    for (int suit = 0; suit < SuitCount && counts.isEmpty(); ++suit) {
        if (std::popcount((best | theirs) & suitCards(suit)) >= 2)
            counts << suitCountText(std::popcount(left & suitCards(suit)), suit);
    }
    const int cardsLeft = std::popcount(left);
    if (counts.isEmpty())
        return QStringLiteral("%1 cards are left").arg(cardsLeft);
    return QStringLiteral("%1 %2 among the %3 cards left")
        .arg(counts.first(), counts.first().startsWith(QLatin1String("1 ")) || counts.first().startsWith(QLatin1String("no "))
                                 ? QStringLiteral("is")
                                 : QStringLiteral("are"))
        .arg(cardsLeft);
}

QString Judgement::hintText(unsigned mask) const
{
    return QStringLiteral("Best: %1, %2 credits\nYour hold: %3, %4 credits")
        .arg(keptCardsText(m_dealt, m_best), creditsText(expectedCredits(m_best), expectedCredits(mask)),
             keptCardsText(m_dealt, mask), creditsText(expectedCredits(mask), expectedCredits(m_best)));
}

QString Judgement::strategyText(unsigned held) const
{
    if (!m_onGameTable)
        return {};
    const StrategyChart &chart = gameStrategy(ChartLevel::Full);
    const auto line = [&](unsigned hold) { return chart.holdLineText(m_dealt, hold); };
    const StrategyChart::Pick pick = chart.pick(m_dealt);
    QString text;
    if (isMistake(held))
        text = QStringLiteral("You kept %1; the best, %2, is %3.").arg(line(held), keptCardsText(m_dealt, m_best), line(m_best));
    else if (!chart.lineOf(m_dealt, held) && !isMistake(pick.hold))
        text = QStringLiteral("Your hold is worth as much as the chart's pick, %1.").arg(line(pick.hold));
    else
        text = QStringLiteral("Your hold is %1.").arg(line(held));
    if (isMistake(pick.hold)) {
        const QString chartKeeps = QStringLiteral(" The chart keeps %1, %2").arg(keptCardsText(m_dealt, pick.hold), line(pick.hold));
        if (isBestOnFreshDeck(pick.hold))
            text += chartKeeps + QStringLiteral(", best on a fresh deck; the cards gone make %1 worth more here.")
                                     .arg(keptCardsText(m_dealt, m_best));
        else
            text += chartKeeps + QStringLiteral(", not the best hold even on a fresh deck: a hand the chart's lines miss.");
    }
    return text;
}

bool Judgement::isBestOnFreshDeck(unsigned hold) const
{
    return compareReturns(m_freshValues[hold], m_freshValues[bestHold(m_freshValues)]) == 0;
}
