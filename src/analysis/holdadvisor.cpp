#include "holdadvisor.h"

#include <algorithm>
#include <bit>

// Without a flush, what a final hand pays depends only on how many of its
// ranks have two, three or four cards, and on the rank of a pair or of four
// of a kind. So the deck is seen as the number of cards left of each rank,
// plus one mask of ranks per suit for the flushes. The draws are counted by
// shape, rank by rank: first the ranks the hand has none of, which every
// hold draws from alike, then the hand's own ranks along a tree that tries
// every number of cards kept of each. Each leaf of the tree is one pattern
// of kept ranks, shared by the holds that keep either card of a pair.
// Straights, flushes and four of a kind are counted apart, from the deck,
// by formula.

namespace {

using Hand = std::array<CardCode, HandSize>;
using Tally = std::array<std::int64_t, OutcomeCount>;

// n choose k for k up to a hand: every count of cards this needs.
constexpr auto Choose = [] {
    std::array<std::array<std::uint32_t, HandSize + 1>, RankCount * SuitCount + 1> choose{};
    choose[0][0] = 1;
    for (std::size_t n = 1; n < choose.size(); ++n) {
        choose[n][0] = 1;
        for (std::size_t k = 1; k <= HandSize; ++k)
            choose[n][k] = choose[n - 1][k - 1] + choose[n - 1][k];
    }
    return choose;
}();

// What the ranks of some cards come to, as far as a pay can tell without
// suits; four of a kind is counted apart. In this order the shapes that n
// cards can have are the first ShapesOf[n].
namespace shape {
enum : int { Singles, LowPair, HighPair, Trips, TwoPairs, FullHouse, Count };
}
constexpr std::array<int, HandSize + 1> ShapesOf = {1, 1, 3, 4, 5, 6};

// The shape once `cards` cards of one more rank are added; `high` says
// whether a pair of that rank pays. Two pairs and a pair, or trips and
// trips, would be more than five cards and never occur.
constexpr int grow(int from, int cards, bool high)
{
    if (cards < 2)
        return from;
    if (cards == 3)
        return from == shape::Singles ? shape::Trips : shape::FullHouse;
    if (from == shape::Singles)
        return high ? shape::HighPair : shape::LowPair;
    return from == shape::Trips ? shape::FullHouse : shape::TwoPairs;
}

// ways[n][s]: in how many ways the ranks counted so far give n cards, kept
// and drawn together, of shape s. A count of five-card hands, so it fits.
using ShapeTable = std::array<std::array<std::uint32_t, shape::Count>, HandSize + 1>;

// Adds one rank of which the hold keeps `kept` cards and the deck has
// `inDeck`; hands with four of the rank are left out.
ShapeTable addRank(const ShapeTable &ways, int kept, int inDeck, bool high)
{
    ShapeTable next{};
    for (int n = 0; n + kept <= HandSize; ++n) {
        const int most = std::min(inDeck, HandSize - kept - n);
        for (int from = 0; from < ShapesOf[std::size_t(n)]; ++from) {
            const std::uint32_t before = ways[std::size_t(n)][std::size_t(from)];
            if (!before)
                continue;
            for (int drawn = 0; drawn <= most; ++drawn) {
                const int cards = kept + drawn;
                if (cards == SuitCount)
                    continue;
                next[std::size_t(n + cards)][std::size_t(grow(from, cards, high))] +=
                    before * Choose[std::size_t(inDeck)][std::size_t(drawn)];
            }
        }
    }
    return next;
}

constexpr unsigned TenToAce = 0x1F00;
constexpr unsigned AceToFive = 0x100F;

// The deck as the count needs it.
struct RankDeck
{
    std::array<int, RankCount> perRank{};
    std::array<unsigned, SuitCount> suitRanks{}; // bit r: the card of rank r is left
    int size = 0;

    explicit RankDeck(CardSet deck)
        : size(std::popcount(deck))
    {
        for (CardSet left = deck; left; left &= left - 1) {
            const int index = std::countr_zero(left);
            ++perRank[std::size_t(index / SuitCount)];
            suitRanks[std::size_t(index % SuitCount)] |= 1u << (index / SuitCount);
        }
    }
};

// The kept cards that lead to one leaf of the tree.
struct Kept
{
    unsigned leaf = 0;
    int cards = 0;
    unsigned ranks = 0;      // ranks with a card kept
    unsigned wholeRanks = 0; // hand ranks with every card kept
};

class HoldCounter
{
public:
    HoldCounter(const Hand &hand, CardSet deck, const PayTable &table)
        : m_hand(hand)
        , m_deck(deck)
        , m_table(table)
        , m_pays(table.pays())
    {
        for (int slot = 0; slot < HandSize; ++slot)
            ++m_inHand[std::size_t(hand[std::size_t(slot)].rank)];
        unsigned radix = 1;
        for (int rank = 0; rank < RankCount; ++rank) {
            const int inHand = m_inHand[std::size_t(rank)];
            if (inHand + m_deck.perRank[std::size_t(rank)] == SuitCount)
                m_completeRanks |= 1u << rank;
            if (inHand) {
                m_radix[std::size_t(rank)] = radix;
                m_handRanks[std::size_t(m_handRankCount++)] = rank;
                m_handRankSet |= 1u << rank;
                radix *= unsigned(inHand + 1);
            }
        }
        for (unsigned window = 0x1F; window <= TenToAce; window <<= 1)
            m_windows[std::size_t(m_windowCount++)] = window;
        if (table.aceLow)
            m_windows[std::size_t(m_windowCount++)] = AceToFive;
    }

    std::array<HoldResult, HoldCount> holds()
    {
        ShapeTable ways{};
        ways[0][shape::Singles] = 1;
        for (int rank = 0; rank < RankCount; ++rank) {
            if (!m_inHand[std::size_t(rank)])
                ways = addRank(ways, 0, m_deck.perRank[std::size_t(rank)], paysPair(rank));
        }
        walk(0, ways, Kept{});

        std::array<HoldResult, HoldCount> holds;
        for (unsigned mask = 0; mask < HoldCount; ++mask)
            holds[mask] = hold(mask);
        return holds;
    }

private:
    bool paysPair(int rank) const { return rank >= m_table.pairFromRank; }

    // Tries every number of cards kept of the hand's rank at `level`.
    void walk(int level, const ShapeTable &ways, const Kept &kept)
    {
        if (level == m_handRankCount) {
            m_leaves[kept.leaf] = leafOutcomes(ways[HandSize], kept);
            return;
        }
        const int rank = m_handRanks[std::size_t(level)];
        const int inHand = m_inHand[std::size_t(rank)];
        for (int keep = 0; keep <= inHand; ++keep) {
            Kept next = kept;
            next.leaf += unsigned(keep) * m_radix[std::size_t(rank)];
            next.cards += keep;
            next.ranks |= keep ? 1u << rank : 0u;
            next.wholeRanks |= keep == inHand ? 1u << rank : 0u;
            walk(level + 1, addRank(ways, keep, m_deck.perRank[std::size_t(rank)], paysPair(rank)), next);
        }
    }

    // The outcomes of the holds that reach a leaf, flushes not yet told
    // apart: every hand of five distinct ranks that is no straight counts
    // as nothing.
    Tally leafOutcomes(const std::array<std::uint32_t, shape::Count> &hands, const Kept &kept) const
    {
        Tally outcomes{};
        const std::int64_t straights = std::popcount(kept.ranks) == kept.cards ? countStraights(kept.ranks) : 0;
        outcomes[Straight] = straights;
        outcomes[Nothing] = std::int64_t(hands[shape::Singles]) - straights + hands[shape::LowPair];
        outcomes[PayingPair] = hands[shape::HighPair];
        outcomes[TwoPair] = hands[shape::TwoPairs];
        outcomes[ThreeOfAKind] = hands[shape::Trips];
        outcomes[FullHouse] = hands[shape::FullHouse];
        // Four of a rank: all four are kept or in the deck, and at most one
        // other card is kept; when none is, the fifth card is any other.
        for (unsigned ranks = m_completeRanks & (kept.wholeRanks | ~m_handRankSet); ranks; ranks &= ranks - 1) {
            const int rank = std::countr_zero(ranks);
            const int others = kept.cards - m_inHand[std::size_t(rank)];
            if (others == 0)
                outcomes[std::size_t(FourOfAKindFirst + rank)] = m_deck.size - m_deck.perRank[std::size_t(rank)];
            else if (others == 1)
                outcomes[std::size_t(FourOfAKindFirst + rank)] = 1;
        }
        return outcomes;
    }

    // Draws that complete a straight around the kept ranks, all distinct:
    // one card of each missing rank of a window.
    std::int64_t countStraights(unsigned keptRanks) const
    {
        std::int64_t straights = 0;
        for (int w = 0; w < m_windowCount; ++w) {
            const unsigned window = m_windows[std::size_t(w)];
            if ((window & keptRanks) != keptRanks)
                continue;
            std::int64_t ways = 1;
            for (unsigned missing = window & ~keptRanks; missing; missing &= missing - 1)
                ways *= m_deck.perRank[std::size_t(std::countr_zero(missing))];
            straights += ways;
        }
        return straights;
    }

    HoldResult hold(unsigned mask) const
    {
        HoldResult result;
        result.mask = mask;
        unsigned leaf = 0;
        unsigned ranks = 0;
        unsigned suits = 0;
        for (int slot = 0; slot < HandSize; ++slot) {
            if (mask & (1u << slot)) {
                const CardCode &card = m_hand[std::size_t(slot)];
                leaf += m_radix[std::size_t(card.rank)];
                ranks |= 1u << card.rank;
                suits |= 1u << card.suit;
            }
        }
        const int draw = HandSize - std::popcount(mask);
        result.draws = Choose[std::size_t(m_deck.size)][std::size_t(draw)];
        result.outcomes = m_leaves[leaf];
        if (std::popcount(suits) <= 1)
            moveFlushes(result.outcomes, ranks, suits ? suits : (1u << SuitCount) - 1, draw);
        for (int o = 0; o < OutcomeCount; ++o)
            result.totalPay += result.outcomes[std::size_t(o)] * m_pays[std::size_t(o)];
        return result;
    }

    // The draws that make the kept cards a flush in one of `suits` were
    // counted as straights or nothing; they move to their flush outcomes.
    void moveFlushes(Tally &outcomes, unsigned keptRanks, unsigned suits, int draw) const
    {
        std::int64_t flushes = 0;
        std::int64_t straightFlushes = 0;
        std::int64_t royalFlushes = 0;
        for (; suits; suits &= suits - 1) {
            const unsigned inSuit = m_deck.suitRanks[std::size_t(std::countr_zero(suits))];
            flushes += Choose[std::size_t(std::popcount(inSuit))][std::size_t(draw)];
            for (int w = 0; w < m_windowCount; ++w) {
                const unsigned window = m_windows[std::size_t(w)];
                const unsigned missing = window & ~keptRanks;
                if ((window & keptRanks) == keptRanks && (inSuit & missing) == missing)
                    ++(window == TenToAce ? royalFlushes : straightFlushes);
            }
        }
        const std::int64_t straightOnes = straightFlushes + royalFlushes;
        outcomes[Nothing] -= flushes - straightOnes;
        outcomes[Flush] += flushes - straightOnes;
        outcomes[Straight] -= straightOnes;
        outcomes[StraightFlush] += straightFlushes;
        outcomes[RoyalFlush] += royalFlushes;
    }

    const Hand &m_hand;
    const RankDeck m_deck;
    const PayTable &m_table;
    const std::array<int, OutcomeCount> m_pays;
    std::array<int, RankCount> m_inHand{};
    // A leaf is numbered by the cards kept of each hand rank, in mixed radix.
    std::array<unsigned, RankCount> m_radix{};
    std::array<int, HandSize> m_handRanks{};
    int m_handRankCount = 0;
    unsigned m_handRankSet = 0;
    unsigned m_completeRanks = 0; // ranks whose four cards are all in the hand or the deck
    std::array<unsigned, 10> m_windows{}; // the rank sets of the straights
    int m_windowCount = 0;
    std::array<Tally, HoldCount> m_leaves{};
};

} // namespace

std::int64_t binomial(int n, int k)
{
    if (k < 0 || n < k)
        return 0;
    std::int64_t value = 1;
    for (int i = 1; i <= k; ++i)
        value = value * (n - k + i) / i;
    return value;
}

int HoldResult::heldCount() const
{
    return std::popcount(mask);
}

bool isBetterHold(const HoldResult &a, const HoldResult &b)
{
    if ((a.draws == 0) != (b.draws == 0))
        return b.draws == 0;
    // Pays stay within PayTable::LargestPay, so these products fit.
    const std::int64_t left = a.totalPay * b.draws;
    const std::int64_t right = b.totalPay * a.draws;
    if (left != right)
        return left > right;
    if (a.heldCount() != b.heldCount())
        return a.heldCount() > b.heldCount();
    return a.mask < b.mask;
}

std::array<HoldResult, HoldCount> analyseHolds(const std::array<CardCode, HandSize> &hand, CardSet deck,
                                               const PayTable &table)
{
    return HoldCounter(hand, deck, table).holds();
}

unsigned bestHold(const std::array<HoldResult, HoldCount> &holds)
{
    unsigned best = 0;
    for (unsigned mask = 1; mask < HoldCount; ++mask) {
        if (isBetterHold(holds[mask], holds[best]))
            best = mask;
    }
    return best;
}
