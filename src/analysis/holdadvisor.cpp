#include "holdadvisor.h"

#include <algorithm>
#include <bit>
#include <type_traits>
#include <utility>

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

// What the ranks of some cards come to, as far as a pay can tell without
// suits; four of a kind is counted apart.
namespace shape {
enum : int { Singles, LowPair, HighPair, Trips, TwoPairs, FullHouse, Count };
}

// ways[n][s]: in how many ways the ranks counted so far give n cards, kept
// and drawn together, of shape s. A count of five-card hands, so it fits.
// A row has room for eight shapes, the last two always naught, as have
// those that n cards cannot make: so that a rank's cards are added to a
// row as to two vector registers, whatever the row.
using ShapeRow = std::array<std::uint32_t, 8>;
using ShapeTable = std::array<ShapeRow, HandSize + 1>;

// Adds `Cards` cards of one more rank, which come in `weight` ways, to the
// hands of `Row` cards in `from`; `high` says whether a pair of that rank
// pays. Two pairs and a pair, or trips and trips, would be over five cards.
template <int Cards, int Row>
void addCardsToRow(const ShapeRow &from, ShapeRow &to, std::uint32_t weight, bool high)
{
    if constexpr (Cards < 2) {
        for (std::size_t s = 0; s < to.size(); ++s)
            to[s] += from[s] * weight;
    } else if constexpr (Cards == 2) {
        to[high ? shape::HighPair : shape::LowPair] += from[shape::Singles] * weight;
        to[shape::TwoPairs] += (from[shape::LowPair] + from[shape::HighPair]) * weight;
        to[shape::FullHouse] += from[shape::Trips] * weight;
    } else {
        to[shape::Trips] += from[shape::Singles] * weight;
        to[shape::FullHouse] += (from[shape::LowPair] + from[shape::HighPair]) * weight;
    }
}

// The same for every row that stays within five cards.
template <int Cards>
void addCards(const ShapeTable &ways, ShapeTable &next, std::uint32_t weight, bool high)
{
    [&]<int... Rows>(std::integer_sequence<int, Rows...>) {
        (addCardsToRow<Cards, Rows>(ways[Rows], next[Rows + Cards], weight, high), ...);
    }(std::make_integer_sequence<int, HandSize - Cards + 1>{});
}

// Calls add(cards, weight) for every number of cards a rank can end with,
// `Kept` of them kept and the rest drawn from the `InDeck` in the deck, in
// `weight` ways. Four of the rank are counted apart. Both counts are
// constants here, so that the additions come out as straight code.
template <int Kept, int InDeck, typename Add>
void forEachCardCount(Add add)
{
    [&]<int... Drawn>(std::integer_sequence<int, Drawn...>) {
        (
            [&] {
                if constexpr (Kept + Drawn < SuitCount)
                    add(std::integral_constant<int, Kept + Drawn>(), std::uint32_t(Choose[InDeck][Drawn]));
            }(),
            ...);
    }(std::make_integer_sequence<int, InDeck + 1>{});
}

// Adds one rank of which the hold keeps `Kept` cards and the deck has
// `InDeck`, to every row, or only to the five-card hands for the last
// rank of a hold.
struct AddRank
{
    template <int Kept, int InDeck>
    static ShapeTable add(const ShapeTable &ways, bool high)
    {
        ShapeTable next{};
        forEachCardCount<Kept, InDeck>([&](auto cards, std::uint32_t weight) {
            addCards<decltype(cards)::value>(ways, next, weight, high);
        });
        return next;
    }
};

struct AddLastRank
{
    template <int Kept, int InDeck>
    static ShapeRow add(const ShapeTable &ways, bool high)
    {
        ShapeRow hands{};
        forEachCardCount<Kept, InDeck>([&](auto cards, std::uint32_t weight) {
            constexpr int row = HandSize - decltype(cards)::value;
            addCardsToRow<decltype(cards)::value, row>(ways[row], hands, weight, high);
        });
        return hands;
    }
};

// An adder's version for each number of cards kept and in the deck, 0 to
// 4 each, at kept * 5 + inDeck.
constexpr int CardsOfARank = SuitCount + 1;

template <typename Adder, int... Counts>
constexpr auto addersFor(std::integer_sequence<int, Counts...>)
{
    return std::array{&Adder::template add<Counts / CardsOfARank, Counts % CardsOfARank>...};
}

template <typename Adder>
constexpr auto Adders = addersFor<Adder>(std::make_integer_sequence<int, CardsOfARank * CardsOfARank>{});

ShapeTable addRank(const ShapeTable &ways, int kept, int inDeck, bool high)
{
    return Adders<AddRank>[std::size_t(kept * CardsOfARank + inDeck)](ways, high);
}

ShapeRow addLastRank(const ShapeTable &ways, int kept, int inDeck, bool high)
{
    return Adders<AddLastRank>[std::size_t(kept * CardsOfARank + inDeck)](ways, high);
}

// The deck as the count needs it.
struct RankDeck
{
    std::array<int, RankCount> perRank{};
    std::array<unsigned, SuitCount> suitRanks{}; // bit r: the card of rank r is left
    std::array<int, SuitCount> perSuit{};
    int size = 0;

    explicit RankDeck(CardSet deck)
    {
        for (CardSet left = deck; left; left &= left - 1) {
            const int index = std::countr_zero(left);
            ++perRank[index / SuitCount];
            ++perSuit[index % SuitCount];
            suitRanks[index % SuitCount] |= 1u << (index / SuitCount);
            ++size;
        }
    }
};

// The kept cards that lead to one leaf of the tree.
struct Kept
{
    unsigned leaf = 0;
    int cards = 0;
    unsigned places = 0;     // hand ranks with a card kept, by their place in the walk
    unsigned wholeRanks = 0; // hand ranks with every card kept
    bool pair = false;       // two cards of a rank kept: no straight or flush
};

// The cards a hold keeps: its leaf, ranks and suits.
struct Held
{
    unsigned leaf = 0;
    unsigned ranks = 0;
    unsigned suits = 0;
};

// Counts the 32 holds of one hand on one deck, each into a HoldResult with
// its outcomes or, when those are not needed, only into a HoldValue.
template <typename Result>
class HoldCounter
{
    static constexpr bool CountsOutcomes = std::is_same_v<Result, HoldResult>;


public:
    HoldCounter(const Hand &hand, CardSet deck, const PayTable &table)
        : m_hand(hand)
        , m_deck(deck)
        , m_table(table)
        , m_pays(table.pays())
    {
        for (const CardCode &card : hand)
            ++m_inHand[card.rank];
        unsigned radix = 1;
        for (int rank = 0; rank < RankCount; ++rank) {
            const int inHand = m_inHand[rank];
            if (inHand + m_deck.perRank[rank] == SuitCount)
                m_completeRanks |= 1u << rank;
            if (inHand) {
                m_radix[rank] = radix;
                m_handRanks[m_handRankCount++] = rank;
                m_handRankSet |= 1u << rank;
                radix *= unsigned(inHand + 1);
            } else if (m_completeRanks & (1u << rank)) {
                for (int kept = 0; kept < int(m_otherFoursPay.size()); ++kept)
                    m_otherFoursPay[kept] += foursDrawn(rank, kept) * m_pays[FourOfAKindFirst + rank];
            }
        }
    }

    void countInto(std::array<Result, HoldCount> &holds)
    {
        // The ranks the hand has none of, the same for every hold.
        ShapeTable ways{};
        ways[0][shape::Singles] = 1;
        for (int rank = 0; rank < RankCount; ++rank) {
            if (!m_inHand[rank] && m_deck.perRank[rank])
                ways = addRank(ways, 0, m_deck.perRank[rank], paysPair(rank));
        }
        countStraights();
        walk(0, ways, Kept{});
        // What each hold keeps, from the same hold without its first card.
        std::array<Held, HoldCount> held{};
        for (unsigned mask = 1; mask < HoldCount; ++mask) {
            const Held &rest = held[mask & (mask - 1)];
            const CardCode &card = m_hand[std::size_t(std::countr_zero(mask))];
            held[mask] = {rest.leaf + m_radix[card.rank], rest.ranks | 1u << card.rank, rest.suits | 1u << card.suit};
        }
        for (unsigned mask = 0; mask < HoldCount; ++mask)
            countHold(mask, held[mask], holds[mask]);
    }

private:
    bool paysPair(int rank) const { return rank >= m_table.pairFromRank; }

    // Tries every number of cards kept of the hand's rank at `level`.
    void walk(int level, const ShapeTable &ways, const Kept &kept)
    {
        const int rank = m_handRanks[level];
        const int inHand = m_inHand[rank];
        const int inDeck = m_deck.perRank[rank];
        const bool last = level + 1 == m_handRankCount;
        for (int keep = 0; keep <= inHand; ++keep) {
            Kept next = kept;
            next.leaf += unsigned(keep) * m_radix[rank];
            next.cards += keep;
            next.places |= keep ? 1u << level : 0u;
            next.wholeRanks |= keep == inHand ? 1u << rank : 0u;
            next.pair = next.pair || keep > 1;
            if (last)
                countLeaf(addLastRank(ways, keep, inDeck, paysPair(rank)), next);
            else
                walk(level + 1, addRank(ways, keep, inDeck, paysPair(rank)), next);
        }
    }

    // The outcomes of the holds that reach a leaf, flushes not yet told
    // apart: every hand of five distinct ranks that is no straight counts
    // as nothing.
    void countLeaf(const ShapeRow &hands, const Kept &kept)
    {
        const std::int64_t straights = kept.pair ? 0 : m_straights[kept.places];
        std::int64_t pay = straights * m_pays[Straight]
                           + (std::int64_t(hands[shape::Singles]) - straights + hands[shape::LowPair]) * m_pays[Nothing]
                           + std::int64_t(hands[shape::HighPair]) * m_pays[PayingPair]
                           + std::int64_t(hands[shape::TwoPairs]) * m_pays[TwoPair]
                           + std::int64_t(hands[shape::Trips]) * m_pays[ThreeOfAKind]
                           + std::int64_t(hands[shape::FullHouse]) * m_pays[FullHouse];
        if constexpr (CountsOutcomes) {
            Tally &outcomes = m_leaves[kept.leaf];
            outcomes.fill(0);
            outcomes[Straight] = straights;
            outcomes[Nothing] = std::int64_t(hands[shape::Singles]) - straights + hands[shape::LowPair];
            outcomes[PayingPair] = hands[shape::HighPair];
            outcomes[TwoPair] = hands[shape::TwoPairs];
            outcomes[ThreeOfAKind] = hands[shape::Trips];
            outcomes[FullHouse] = hands[shape::FullHouse];
        }
        // Four of a rank: all four are kept or in the deck, and at most one
        // other card is kept. The ranks the hand has none of come to the same
        // for every leaf that keeps as many cards, so their pay is added up
        // once, unless each outcome is counted.
        unsigned ranks = m_completeRanks & kept.wholeRanks;
        if (kept.cards <= 1) {
            if constexpr (CountsOutcomes)
                ranks |= m_completeRanks & ~m_handRankSet;
            else
                pay += m_otherFoursPay[std::size_t(kept.cards)];
        }
        for (; ranks; ranks &= ranks - 1) {
            const int rank = std::countr_zero(ranks);
            const std::int64_t hands = foursDrawn(rank, kept.cards - m_inHand[rank]);
            const std::size_t four = std::size_t(FourOfAKindFirst + rank);
            pay += hands * m_pays[four];
            if constexpr (CountsOutcomes)
                m_leaves[kept.leaf][four] = hands;
        }
        m_leafPays[kept.leaf] = pay;
    }

    // The draws that make four of `rank`, whose cards are all kept or in
    // the deck, when `others` cards of other ranks are kept: with none, the
    // fifth card is any other.
    std::int64_t foursDrawn(int rank, int others) const
    {
        return others == 0 ? m_deck.size - m_deck.perRank[rank] : others == 1 ? 1 : 0;
    }

    // The straights that include all of `ranks`, each by its lowest rank:
    // bit i for the straight from rank i up. The one in which the ace
    // plays low is wheelAround's.
    static unsigned straightsAround(unsigned ranks)
    {
        constexpr int LastStart = RankCount - HandSize;
        if (!ranks)
            return (2u << LastStart) - 1;
        const int first = std::max(0, int(std::bit_width(ranks)) - HandSize);
        const int last = std::min(std::countr_zero(ranks), LastStart);
        return first > last ? 0 : ((2u << last) - 1) & ~((1u << first) - 1);
    }
    bool wheelAround(unsigned ranks) const { return m_table.aceLow && (ranks & ~AceToFiveRanks) == 0; }

    // The draws that complete a straight, for every set of the hand's ranks
    // kept one card each, by their places in the walk: each straight adds
    // the ways to draw its missing ranks to every set of its hand ranks,
    // so that a leaf only looks its count up.
    void countStraights()
    {
        // A hand rank in a straight is a place in the walk, kept or drawn;
        // any other rank is drawn, in as many ways as the deck has cards of
        // it.
        std::array<unsigned, RankCount> placeBit{};
        std::array<std::int64_t, RankCount> drawnElsewhere{};
        std::copy(m_deck.perRank.begin(), m_deck.perRank.end(), drawnElsewhere.begin());
        for (int level = 0; level < m_handRankCount; ++level) {
            placeBit[m_handRanks[level]] = 1u << level;
            drawnElsewhere[m_handRanks[level]] = 1;
        }
        // The ways to draw one card of each hand rank of a set of places.
        std::array<std::int64_t, HoldCount> drawnAt{};
        drawnAt[0] = 1;
        for (unsigned places = 1; places < (1u << m_handRankCount); ++places)
            drawnAt[places] = drawnAt[places & (places - 1)] * m_deck.perRank[m_handRanks[std::countr_zero(places)]];
        const auto addStraight = [&](unsigned window) {
            std::int64_t elsewhere = 1;
            unsigned places = 0;
            for (unsigned ranks = window; ranks; ranks &= ranks - 1) {
                const int rank = std::countr_zero(ranks);
                elsewhere *= drawnElsewhere[rank];
                places |= placeBit[rank];
            }
            if (elsewhere == 0)
                return;
            for (unsigned drawn = places;; drawn = (drawn - 1) & places) {
                m_straights[places ^ drawn] += elsewhere * drawnAt[drawn];
                if (drawn == 0)
                    break;
            }
        };
        for (unsigned starts = straightsAround(0); starts; starts &= starts - 1)
            addStraight(0x1Fu << std::countr_zero(starts));
        if (m_table.aceLow)
            addStraight(AceToFiveRanks);
    }

    // A hold takes its leaf's counts; keeping at most one suit, it can
    // also end as a flush.
    void countHold(unsigned mask, const Held &held, Result &result) const
    {
        const int draw = HandSize - HeldCounts[mask];
        result.mask = mask;
        result.draws = Choose[m_deck.size][draw];
        if constexpr (CountsOutcomes)
            result.outcomes = m_leaves[held.leaf];
        result.totalPay = m_leafPays[held.leaf];
        if ((held.suits & (held.suits - 1)) == 0)
            moveFlushes(result, held.ranks, held.suits ? held.suits : (1u << SuitCount) - 1, draw);
    }

    // The draws that make the kept cards a flush in one of `suits` were
    // counted as straights or nothing; they move to their flush outcomes.
    // A straight is one in a suit when its missing ranks are all left in
    // that suit: when the suit's cards and the kept ones have five ranks in
    // a row from its lowest rank up.
    void moveFlushes(Result &result, unsigned keptRanks, unsigned suits, int draw) const
    {
        constexpr unsigned TenToAceStart = 1u << (RankCount - HandSize);
        const unsigned around = straightsAround(keptRanks);
        const bool wheel = wheelAround(keptRanks);
        std::int64_t flushes = 0;
        std::int64_t straightFlushes = 0;
        std::int64_t royalFlushes = 0;
        for (; suits; suits &= suits - 1) {
            const int suit = std::countr_zero(suits);
            flushes += Choose[m_deck.perSuit[suit]][draw];
            const unsigned live = m_deck.suitRanks[suit] | keptRanks;
            const unsigned starts = around & live & live >> 1 & live >> 2 & live >> 3 & live >> 4;
            royalFlushes += (starts & TenToAceStart) != 0;
            straightFlushes += bitCount(starts & ~TenToAceStart);
            straightFlushes += wheel && (live & AceToFiveRanks) == AceToFiveRanks;
        }
        const std::int64_t onlyFlushes = flushes - straightFlushes - royalFlushes;
        const std::int64_t wereStraights = straightFlushes + royalFlushes;
        if constexpr (CountsOutcomes) {
            Tally &outcomes = result.outcomes;
            outcomes[Nothing] -= onlyFlushes;
            outcomes[Flush] += onlyFlushes;
            outcomes[Straight] -= wereStraights;
            outcomes[StraightFlush] += straightFlushes;
            outcomes[RoyalFlush] += royalFlushes;
        }
        const auto pay = [&](Outcome o) { return std::int64_t(m_pays[o]); };
        result.totalPay += onlyFlushes * (pay(Flush) - pay(Nothing)) - wereStraights * pay(Straight)
                           + straightFlushes * pay(StraightFlush) + royalFlushes * pay(RoyalFlush);
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
    // The pay of fours of the ranks the hand has none of, with no card or
    // one card kept.
    std::array<std::int64_t, 2> m_otherFoursPay{};
    // Written by the walk before any hold reads them; outcomes only when
    // they are counted.
    std::array<Tally, CountsOutcomes ? HoldCount : 0> m_leaves;
    std::array<std::int64_t, HoldCount> m_leafPays;
    std::array<std::int64_t, HoldCount> m_straights{};
};

} // namespace

int compareReturns(const HoldValue &a, const HoldValue &b)
{
    // Pays stay within PayTable::LargestPay, so these products fit.
    const std::int64_t left = a.totalPay * b.draws;
    const std::int64_t right = b.totalPay * a.draws;
    return left < right ? -1 : left > right ? 1 : 0;
}

bool isBetterHold(const HoldValue &a, const HoldValue &b)
{
    if ((a.draws == 0) != (b.draws == 0))
        return b.draws == 0;
    if (const int order = compareReturns(a, b))
        return order > 0;
    if (a.heldCount() != b.heldCount())
        return a.heldCount() > b.heldCount();
    return a.mask < b.mask;
}

std::array<HoldResult, HoldCount> analyseHolds(const std::array<CardCode, HandSize> &hand, CardSet deck,
                                               const PayTable &table)
{
    std::array<HoldResult, HoldCount> holds;
    HoldCounter<HoldResult>(hand, deck, table).countInto(holds);
    return holds;
}

std::array<HoldValue, HoldCount> valueHolds(const std::array<CardCode, HandSize> &hand, CardSet deck,
                                            const PayTable &table)
{
    std::array<HoldValue, HoldCount> holds;
    HoldCounter<HoldValue>(hand, deck, table).countInto(holds);
    return holds;
}

namespace {

template <typename Hold>
unsigned bestOf(const std::array<Hold, HoldCount> &holds)
{
    // Holds that keep as many cards have as many draws, so their pay
    // totals alone tell them apart, and of equal ones the first keeps the
    // earlier slots. The best of each size then meet as any holds do.
    unsigned best = HoldsBySize[0];
    for (std::size_t first = 0, size = HandSize + 1; size-- > 0;) {
        const std::size_t end = first + std::size_t(Choose[HandSize][size]);
        unsigned bestOfSize = HoldsBySize[first];
        for (std::size_t i = first + 1; i < end; ++i) {
            const unsigned mask = HoldsBySize[i];
            bestOfSize = holds[mask].totalPay > holds[bestOfSize].totalPay ? mask : bestOfSize;
        }
        if (isBetterHold(holds[bestOfSize], holds[best]))
            best = bestOfSize;
        first = end;
    }
    return best;
}

} // namespace

unsigned bestHold(const std::array<HoldResult, HoldCount> &holds)
{
    return bestOf(holds);
}

unsigned bestHold(const std::array<HoldValue, HoldCount> &holds)
{
    return bestOf(holds);
}
