#include "model/paytable.h"

#include "model/cardset.h"

#include <bit>
#include <cstdint>

namespace {

bool isStraight(const std::array<int, RankCount> &counts, bool aceLow)
{
    int run = 0;
    for (int rank = 0; rank < RankCount; ++rank) {
        run = counts[rank] == 1 ? run + 1 : 0;
        if (run == HandSize)
            return true;
    }
    // Ace, two, three, four, five.
    return aceLow && counts[Ace] == 1 && counts[Two] == 1 && counts[Three] == 1 && counts[Four] == 1
           && counts[Five] == 1;
}

// What a hand that is neither a straight nor a flush comes to, from the
// ranks it has and the count of each.
template <typename CountOf>
Outcome byRankCounts(unsigned ranks, CountOf countOf, const PayTable &table)
{
    int pairs = 0;
    int pairRank = -1;
    bool three = false;
    for (; ranks; ranks &= ranks - 1) {
        const int rank = std::countr_zero(ranks);
        const int count = countOf(rank);
        if (count == 4)
            return Outcome(FourOfAKindFirst + rank);
        three = three || count == 3;
        if (count == 2) {
            ++pairs;
            pairRank = rank;
        }
    }
    if (three)
        return pairs == 1 ? FullHouse : ThreeOfAKind;
    if (pairs == 2)
        return TwoPair;
    return pairs == 1 && pairRank >= table.pairFromRank ? PayingPair : Nothing;
}

} // namespace

Category categoryOf(Outcome outcome)
{
    switch (outcome) {
    case RoyalFlush: return Category::RoyalFlush;
    case StraightFlush: return Category::StraightFlush;
    case FullHouse: return Category::FullHouse;
    case Flush: return Category::Flush;
    case Straight: return Category::Straight;
    case ThreeOfAKind: return Category::ThreeOfAKind;
    case TwoPair: return Category::TwoPair;
    case PayingPair: return Category::PayingPair;
    case Nothing: return Category::Nothing;
    default: return Category::FourOfAKind;
    }
}

int PayTable::pay(Outcome outcome) const
{
    switch (outcome) {
    case RoyalFlush: return royalFlush;
    case StraightFlush: return straightFlush;
    case FullHouse: return fullHouse;
    case Flush: return flush;
    case Straight: return straight;
    case ThreeOfAKind: return threeOfAKind;
    case TwoPair: return twoPair;
    case PayingPair: return pair;
    case Nothing: return 0;
    default: return fourOfAKind[outcome - FourOfAKindFirst];
    }
}

std::array<int, OutcomeCount> PayTable::pays() const
{
    std::array<int, OutcomeCount> all{};
    for (int o = 0; o < OutcomeCount; ++o)
        all[o] = pay(Outcome(o));
    return all;
}

Outcome evaluateHand(const std::array<int, RankCount> &counts, bool flush, const PayTable &table)
{
    if (isStraight(counts, table.aceLow)) {
        if (!flush)
            return Straight;
        const bool tenToAce = counts[Ten] == 1 && counts[Ace] == 1 && counts[Jack] == 1;
        return tenToAce ? RoyalFlush : StraightFlush;
    }
    if (flush)
        return Flush;
    unsigned ranks = 0;
    for (int rank = 0; rank < RankCount; ++rank)
        ranks |= counts[rank] ? 1u << rank : 0u;
    return byRankCounts(ranks, [&](int rank) { return counts[rank]; }, table);
}

Outcome evaluateHand(const std::array<CardCode, HandSize> &hand, const PayTable &table)
{
    // Each rank's count in four bits of one word and the ranks present as a
    // mask, so that a hand is told from the few ranks it has rather than
    // from all thirteen; it comes to the same as counting by rank.
    std::uint64_t counts = 0;
    unsigned ranks = 0;
    int distinct = 0;
    bool flush = true;
    for (const CardCode &card : hand) {
        const unsigned bit = 1u << card.rank;
        distinct += (ranks & bit) == 0;
        ranks |= bit;
        counts += std::uint64_t(1) << (4 * card.rank);
        flush = flush && card.suit == hand[0].suit;
    }
    if (distinct == HandSize) {
        const bool straight = ranks >> std::countr_zero(ranks) == 0x1Fu || (table.aceLow && ranks == AceToFiveRanks);
        if (straight && flush)
            return ranks == TenToAceRanks ? RoyalFlush : StraightFlush;
        return straight ? Straight : flush ? Flush : Nothing;
    }
    if (flush)
        return Flush;
    return byRankCounts(ranks, [&](int rank) { return int(counts >> (4 * rank) & 0xF); }, table);
}

PayTable PayTable::game()
{
    PayTable table;
    table.royalFlush = 200;
    table.straightFlush = 100;
    table.fourOfAKind.fill(50);
    table.fullHouse = 20;
    table.flush = 10;
    table.straight = 10;
    table.threeOfAKind = 5;
    table.twoPair = 2;
    return table;
}

const PayTable &PayTable::gameNaming()
{
    static const PayTable table = game().withEveryPairNamed();
    return table;
}

std::optional<PayTable> PayTable::named(const QString &name)
{
    // Standard tables, paid per credit at the largest bet, ace low and high.
    auto standard = [](int royal, int straightFlush, int quads, int fullHouse, int flush, int straight,
                       int three, int twoPair) {
        PayTable table;
        table.royalFlush = royal;
        table.straightFlush = straightFlush;
        table.fourOfAKind.fill(quads);
        table.fullHouse = fullHouse;
        table.flush = flush;
        table.straight = straight;
        table.threeOfAKind = three;
        table.twoPair = twoPair;
        table.pair = 1;
        table.pairFromRank = 9; // jacks or better
        table.aceLow = true;
        return table;
    };
    if (name == QLatin1String("game"))
        return game();
    if (name == QLatin1String("jacks-9-6"))
        return standard(800, 50, 25, 9, 6, 4, 3, 2);
    if (name == QLatin1String("jacks-8-5"))
        return standard(800, 50, 25, 8, 5, 4, 3, 2);
    if (name == QLatin1String("bonus-8-5")) {
        PayTable table = standard(800, 50, 25, 8, 5, 4, 3, 2);
        table.fourOfAKind = {40, 40, 40, 25, 25, 25, 25, 25, 25, 25, 25, 25, 80};
        return table;
    }
    if (name == QLatin1String("double-bonus-10-7")) {
        PayTable table = standard(800, 50, 50, 10, 7, 5, 3, 1);
        table.fourOfAKind = {80, 80, 80, 50, 50, 50, 50, 50, 50, 50, 50, 50, 160};
        return table;
    }
    return std::nullopt;
}

QStringList PayTable::names()
{
    return {QStringLiteral("game"), QStringLiteral("jacks-9-6"), QStringLiteral("jacks-8-5"), QStringLiteral("bonus-8-5"),
            QStringLiteral("double-bonus-10-7")};
}
