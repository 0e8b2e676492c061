#include "referenceholds.h"

#include <bit>

namespace {

constexpr CardSet rankCards(int rank)
{
    return CardSet(0xF) << (rank * SuitCount);
}

constexpr CardSet suitCards(int suit)
{
    CardSet cards = 0;
    for (int rank = 0; rank < RankCount; ++rank)
        cards |= CardSet(1) << (rank * SuitCount + suit);
    return cards;
}

// The ranks of a hand by how many cards each has: withCount[c] has bit r
// set when rank r has c cards. Kept up to date while cards are added, it
// tells the outcome without scanning the ranks again.
struct RankPattern
{
    std::array<unsigned, SuitCount + 1> withCount{};

    void move(int rank, int from, int to)
    {
        withCount[std::size_t(from)] &= ~(1u << rank);
        withCount[std::size_t(to)] |= 1u << rank;
    }
};

// n choose k for the at most four cards of one rank.
constexpr std::int64_t ChooseOfRank[SuitCount + 1][SuitCount + 1] = {
    {1, 0, 0, 0, 0}, {1, 1, 0, 0, 0}, {1, 2, 1, 0, 0}, {1, 3, 3, 1, 0}, {1, 4, 6, 4, 1}};

constexpr unsigned AceToFive = 0x100F;
constexpr unsigned TenToAce = 0x1F00;

bool isStraightMask(unsigned ranks, bool aceLow)
{
    return (ranks >> std::countr_zero(ranks)) == 0x1F || (aceLow && ranks == AceToFive);
}

// Five cards of distinct ranks, in one suit or not.
Outcome distinctOutcome(unsigned ranks, bool flush, const PayTable &table)
{
    if (isStraightMask(ranks, table.aceLow))
        return flush ? (ranks == TenToAce ? RoyalFlush : StraightFlush) : Straight;
    return flush ? Flush : Nothing;
}

// Five cards of mixed suits.
Outcome mixedOutcome(const RankPattern &pattern, const PayTable &table)
{
    const auto &with = pattern.withCount;
    if (with[4])
        return Outcome(FourOfAKindFirst + std::countr_zero(with[4]));
    if (with[3])
        return with[2] ? FullHouse : ThreeOfAKind;
    if (with[2])
        return std::popcount(with[2]) == 2 ? TwoPair
               : std::countr_zero(with[2]) >= table.pairFromRank ? PayingPair
                                                                  : Nothing;
    return distinctOutcome(with[1], false, table);
}

// Counts the final hands of one hold without telling suits apart: every
// way to draw `left` more cards by rank, weighted by how many choices of
// cards give those ranks. Flushes are put right afterwards.
class RankDraws
{
public:
    RankDraws(const std::array<int, RankCount> &held, const std::array<int, RankCount> &inDeck,
              const PayTable &table, std::array<std::int64_t, OutcomeCount> &outcomes)
        : m_held(held)
        , m_inDeck(inDeck)
        , m_table(table)
        , m_outcomes(outcomes)
    {
        for (int rank = 0; rank < RankCount; ++rank)
            m_pattern.move(rank, 0, held[std::size_t(rank)]);
        for (int rank = RankCount - 1; rank >= 0; --rank)
            m_deckFrom[std::size_t(rank)] = m_deckFrom[std::size_t(rank + 1)] + inDeck[std::size_t(rank)];
    }

    void draw(int rank, int left, std::int64_t ways)
    {
        if (left == 0) {
            m_outcomes[std::size_t(mixedOutcome(m_pattern, m_table))] += ways;
            return;
        }
        if (rank == RankCount || m_deckFrom[std::size_t(rank)] < left)
            return;
        const int held = m_held[std::size_t(rank)];
        const int most = std::min(left, m_inDeck[std::size_t(rank)]);
        draw(rank + 1, left, ways);
        for (int take = 1; take <= most; ++take) {
            m_pattern.move(rank, held + take - 1, held + take);
            draw(rank + 1, left - take, ways * ChooseOfRank[m_inDeck[std::size_t(rank)]][take]);
        }
        m_pattern.move(rank, held + most, held);
    }

private:
    RankPattern m_pattern;
    const std::array<int, RankCount> &m_held;
    const std::array<int, RankCount> &m_inDeck;
    std::array<int, RankCount + 1> m_deckFrom{};
    const PayTable &m_table;
    std::array<std::int64_t, OutcomeCount> &m_outcomes;
};

// Every draw of `left` cards of one suit from the ranks in `ranks`: such a
// hand was counted above as if its suits were mixed, so it moves from that
// outcome to its flush outcome. All its ranks differ.
void correctFlushes(unsigned hand, unsigned ranks, int left, const PayTable &table,
                    std::array<std::int64_t, OutcomeCount> &outcomes)
{
    if (left == 0) {
        --outcomes[std::size_t(distinctOutcome(hand, false, table))];
        ++outcomes[std::size_t(distinctOutcome(hand, true, table))];
        return;
    }
    while (std::popcount(ranks) >= left) {
        const unsigned lowest = ranks & -ranks;
        ranks &= ~lowest;
        correctFlushes(hand | lowest, ranks, left - 1, table, outcomes);
    }
}

HoldResult analyseHold(const std::array<CardCode, HandSize> &hand, unsigned mask, CardSet deck,
                       const PayTable &table)
{
    HoldResult result;
    result.mask = mask;
    std::array<int, RankCount> held{};
    int heldSuit = -1;
    bool oneSuit = true;
    for (int slot = 0; slot < HandSize; ++slot) {
        if (!(mask & (1u << slot)))
            continue;
        const CardCode &card = hand[std::size_t(slot)];
        ++held[std::size_t(card.rank)];
        oneSuit = oneSuit && (heldSuit < 0 || heldSuit == card.suit);
        heldSuit = card.suit;
    }
    const int left = HandSize - std::popcount(mask);
    std::array<int, RankCount> inDeck{};
    for (int rank = 0; rank < RankCount; ++rank)
        inDeck[std::size_t(rank)] = std::popcount(deck & rankCards(rank));

    result.draws = binomial(std::popcount(deck), left);
    RankDraws(held, inDeck, table, result.outcomes).draw(0, left, 1);

    if (oneSuit) {
        unsigned heldRanks = 0;
        for (int rank = 0; rank < RankCount; ++rank)
            heldRanks |= held[std::size_t(rank)] ? 1u << rank : 0u;
        for (int suit = 0; suit < SuitCount; ++suit) {
            if (heldSuit >= 0 && suit != heldSuit)
                continue;
            unsigned ranks = 0;
            for (int rank = 0; rank < RankCount; ++rank)
                ranks |= deck & rankCards(rank) & suitCards(suit) ? 1u << rank : 0u;
            correctFlushes(heldRanks, ranks, left, table, result.outcomes);
        }
    }
    for (int o = 0; o < OutcomeCount; ++o)
        result.totalPay += result.outcomes[std::size_t(o)] * table.pay(Outcome(o));
    return result;
}

} // namespace

std::array<HoldResult, HoldCount> referenceHolds(const std::array<CardCode, HandSize> &hand, CardSet deck,
                                                 const PayTable &table)
{
    std::array<HoldResult, HoldCount> holds;
    for (unsigned mask = 0; mask < HoldCount; ++mask)
        holds[mask] = analyseHold(hand, mask, deck, table);
    return holds;
}
