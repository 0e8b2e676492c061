// The return of the whole game without playing 2.6 million deals one by one.
//
// First every five-card hand of the deck is scored once, and each of its
// proper subsets T counts it: N(T) is how many hands of each outcome contain
// T. For a deal H and a hold S, the final hands are those that contain S and
// none of the discarded cards H \ S; by inclusion and exclusion that is the
// sum over S <= T <= H of (-1)^|T \ S| N(T), worked out for all 32 holds at
// once. Deals that differ only by a renaming of suits play alike, so each
// such class is solved once and weighed by its size.
#include "gamereturn.h"

#include "holdadvisor.h"

#include <bit>
#include <numeric>
#include <unordered_map>
#include <vector>

namespace {

constexpr int DeckSize = RankCount * SuitCount;
using Tally = std::array<std::int32_t, OutcomeCount>;

struct Binomials
{
    Binomials()
    {
        for (int n = 0; n <= DeckSize; ++n) {
            for (int k = 0; k <= HandSize; ++k)
                value[std::size_t(n)][std::size_t(k)] = std::int32_t(binomial(n, k));
        }
    }
    std::array<std::array<std::int32_t, HandSize + 1>, DeckSize + 1> value{};
};

const Binomials &binomials()
{
    static const Binomials table;
    return table;
}

// The position of a set of cards (in increasing order) among all sets of
// its size: the combinatorial number system.
std::int32_t subsetIndex(const std::array<int, HandSize> &cards, unsigned mask)
{
    std::int32_t index = 0;
    int position = 0;
    for (int i = 0; i < HandSize; ++i) {
        if (mask & (1u << i))
            index += binomials().value[std::size_t(cards[std::size_t(i)])][std::size_t(++position)];
    }
    return index;
}

Outcome outcomeOf(const std::array<int, HandSize> &cards, const PayTable &table)
{
    std::array<int, RankCount> counts{};
    bool flush = true;
    for (int card : cards) {
        ++counts[std::size_t(card / SuitCount)];
        flush = flush && card % SuitCount == cards[0] % SuitCount;
    }
    return evaluateHand(counts, flush, table);
}

// Deals that a renaming of suits turns into each other share this key: the
// four suits' rank patterns, sorted.
std::uint64_t suitPatternKey(const std::array<int, HandSize> &cards)
{
    std::array<std::uint64_t, SuitCount> ranksOfSuit{};
    for (int card : cards)
        ranksOfSuit[std::size_t(card % SuitCount)] |= 1u << (card / SuitCount);
    std::sort(ranksOfSuit.begin(), ranksOfSuit.end());
    return ranksOfSuit[0] | ranksOfSuit[1] << 13 | ranksOfSuit[2] << 26 | ranksOfSuit[3] << 39;
}

struct DealClass
{
    std::array<int, HandSize> cards;
    std::int64_t weight = 0;
};

} // namespace

GameReturn exactGameReturn(const PayTable &table)
{
    // N(T) for every set T of up to four cards, by size.
    std::array<std::vector<Tally>, HandSize> contain;
    for (int k = 0; k < HandSize; ++k)
        contain[std::size_t(k)].assign(std::size_t(binomial(DeckSize, k)), Tally{});
    std::unordered_map<std::uint64_t, DealClass> classes;
    classes.reserve(140000);

    std::array<int, HandSize> c{};
    for (c[4] = 4; c[4] < DeckSize; ++c[4])
        for (c[3] = 3; c[3] < c[4]; ++c[3])
            for (c[2] = 2; c[2] < c[3]; ++c[2])
                for (c[1] = 1; c[1] < c[2]; ++c[1])
                    for (c[0] = 0; c[0] < c[1]; ++c[0]) {
                        const Outcome outcome = outcomeOf(c, table);
                        for (unsigned mask = 0; mask + 1 < HoldCount; ++mask)
                            ++contain[std::size_t(std::popcount(mask))][std::size_t(subsetIndex(c, mask))][outcome];
                        DealClass &deal = classes[suitPatternKey(c)];
                        if (deal.weight++ == 0)
                            deal.cards = c;
                    }

    const std::array<int, OutcomeCount> pays = table.pays();
    std::int64_t common = 1;
    for (int k = 0; k <= HandSize; ++k)
        common = std::lcm(common, binomial(DeckSize - HandSize, k));

    GameReturn result;
    result.denominator = binomial(DeckSize, HandSize) * common;
    std::array<std::array<std::int64_t, OutcomeCount>, HoldCount> finals;
    for (const auto &[key, deal] : classes) {
        for (unsigned mask = 0; mask + 1 < HoldCount; ++mask) {
            const Tally &n = contain[std::size_t(std::popcount(mask))][std::size_t(subsetIndex(deal.cards, mask))];
            std::copy(n.begin(), n.end(), finals[mask].begin());
        }
        finals[HoldCount - 1].fill(0);
        finals[HoldCount - 1][std::size_t(outcomeOf(deal.cards, table))] = 1;
        // Keep only the hands that avoid every discarded card.
        for (unsigned bit = 1; bit < HoldCount; bit <<= 1) {
            for (unsigned mask = 0; mask < HoldCount; ++mask) {
                if (!(mask & bit)) {
                    for (int o = 0; o < OutcomeCount; ++o)
                        finals[mask][std::size_t(o)] -= finals[mask | bit][std::size_t(o)];
                }
            }
        }
        HoldResult best;
        for (unsigned mask = 0; mask < HoldCount; ++mask) {
            HoldResult hold;
            hold.mask = mask;
            hold.draws = binomial(DeckSize - HandSize, HandSize - std::popcount(mask));
            for (int o = 0; o < OutcomeCount; ++o)
                hold.totalPay += finals[mask][std::size_t(o)] * pays[std::size_t(o)];
            if (mask == 0 || isBetterHold(hold, best))
                best = hold;
        }
        const std::int64_t scale = deal.weight * (common / best.draws);
        for (int o = 0; o < OutcomeCount; ++o)
            result.outcomes[std::size_t(o)] += finals[best.mask][std::size_t(o)] * scale;
    }
    for (int o = 0; o < OutcomeCount; ++o)
        result.totalPay += result.outcomes[std::size_t(o)] * pays[std::size_t(o)];
    return result;
}
