#include "holdshape.h"

#include <algorithm>

namespace {

// Field widths of a packed shape.
constexpr int KindBits = 4;
constexpr int CardsBits = 3;
constexpr int RankBits = 4;
constexpr int HighBits = 3;
constexpr int GapBits = 2;
constexpr int StraightBits = 3;
constexpr int GoneBits = 2;

// A field of a packed shape: `bits` wide from bit `at`.
struct Field
{
    int at;
    int bits;
    std::uint32_t put(int value) const { return std::uint32_t(value) << at; }
    int get(std::uint32_t key) const { return int(key >> at & ((1u << bits) - 1)); }
};
constexpr Field KindField{0, KindBits};
constexpr Field CardsField{KindField.at + KindBits, CardsBits};
constexpr Field RankField{CardsField.at + CardsBits, RankBits};
constexpr Field HighField{RankField.at + RankBits, HighBits};
constexpr Field GapField{HighField.at + HighBits, GapBits};
constexpr Field StraightField{GapField.at + GapBits, StraightBits};
constexpr Field SuitGoneField{StraightField.at + StraightBits, GoneBits};
constexpr Field StraightGoneField{SuitGoneField.at + GoneBits, GoneBits};

// Where a rank stands within a straight: the ace before the two in the
// straight in which it plays low.
int placeIn(unsigned straight, int rank)
{
    if (straight == AceToFiveRanks)
        return rank == Ace ? -1 : rank;
    return rank;
}

} // namespace

Straights::Straights(const PayTable &table)
{
    for (int low = Two; low + 4 <= Ace; ++low)
        ranks[std::size_t(count++)] = 0x1Fu << low;
    if (table.aceLow)
        ranks[std::size_t(count++)] = AceToFiveRanks;
}

std::uint32_t HoldShape::key() const
{
    return KindField.put(int(kind)) | CardsField.put(cards) | RankField.put(rank) | HighField.put(highCards)
         | GapField.put(gaps) | StraightField.put(straights) | SuitGoneField.put(suitDiscarded)
         | StraightGoneField.put(straightDiscarded);
}

HoldShape HoldShape::fromKey(std::uint32_t key)
{
    HoldShape shape;
    shape.kind = HoldKind(KindField.get(key));
    shape.cards = CardsField.get(key);
    shape.rank = RankField.get(key);
    shape.highCards = HighField.get(key);
    shape.gaps = GapField.get(key);
    shape.straights = StraightField.get(key);
    shape.suitDiscarded = SuitGoneField.get(key);
    shape.straightDiscarded = StraightGoneField.get(key);
    return shape;
}

std::array<unsigned, RankCount> rankGroups(const PayTable &table, HoldKind kind)
{
    const bool byPair = kind == HoldKind::Pair;
    const auto paysPair = [&](int rank) { return byPair && table.pair > 0 && rank >= table.pairFromRank; };
    std::array<unsigned, RankCount> groups{};
    for (int rank = Two; rank <= Ace; ++rank) {
        for (int other = Two; other <= Ace; ++other) {
            if (paysPair(rank) == paysPair(other) && table.fourOfAKind[rank] == table.fourOfAKind[other])
                groups[rank] |= 1u << other;
        }
    }
    return groups;
}

HoldShaper::HoldShaper(const PayTable &table)
    : m_straights(table)
    , m_pairGroups(rankGroups(table, HoldKind::Pair))
    , m_setGroups(rankGroups(table, HoldKind::ThreeOfAKind))
    , m_highFrom(table.pair > 0 ? table.pairFromRank : RankCount)
{
}

HoldShape HoldShaper::shape(const std::array<CardCode, HandSize> &hand, unsigned mask, bool exceptions) const
{
    HoldShape shape;
    std::array<int, RankCount> count{};
    unsigned keptRanks = 0;
    unsigned keptSuits = 0;
    for (int slot = 0; slot < HandSize; ++slot) {
        if (mask & (1u << slot)) {
            ++count[hand[slot].rank];
            keptRanks |= 1u << hand[slot].rank;
            keptSuits |= 1u << hand[slot].suit;
            ++shape.cards;
        }
    }
    if (shape.cards == 0)
        return shape;

    // Made hands and parts of them: the largest set of a rank decides,
    // the other cards kept are counted when their pair would pay.
    int most = 0;
    int mostRank = 0;
    int pairs = 0;
    for (int rank = Two; rank <= Ace; ++rank) {
        pairs += count[rank] == 2;
        if (count[rank] >= most) {
            most = count[rank];
            mostRank = rank;
        }
    }
    for (int rank = m_highFrom; rank <= Ace; ++rank)
        shape.highCards += count[rank] == 1;
    if (most >= 2) {
        shape.rank = std::countr_zero((most == 2 ? m_pairGroups : m_setGroups)[mostRank]);
        shape.kind = most == 4                ? HoldKind::FourOfAKind
                   : most == 3 && pairs == 1  ? HoldKind::FullHouse
                   : most == 3                ? HoldKind::ThreeOfAKind
                   : pairs == 2               ? HoldKind::TwoPair
                                              : HoldKind::Pair;
        if (shape.kind == HoldKind::TwoPair || shape.kind == HoldKind::FullHouse)
            shape.rank = 0;
        // Four of a kind pays the same with any fifth card.
        if (shape.kind == HoldKind::FourOfAKind || shape.kind == HoldKind::FullHouse)
            shape.highCards = 0;
        return shape;
    }
    if (shape.cards == 1)
        shape.rank = mostRank;

    // Single cards: the straights that hold them all, and of those the one
    // with the fewest ranks missing between them.
    unsigned needed = 0;
    shape.gaps = HandSize;
    for (int s = 0; s < m_straights.count; ++s) {
        const unsigned straight = m_straights.ranks[std::size_t(s)];
        if ((keptRanks & ~straight) != 0)
            continue;
        ++shape.straights;
        needed |= straight & ~keptRanks;
        int low = RankCount;
        int high = -RankCount;
        for (unsigned ranks = keptRanks; ranks; ranks &= ranks - 1) {
            low = std::min(low, placeIn(straight, std::countr_zero(ranks)));
            high = std::max(high, placeIn(straight, std::countr_zero(ranks)));
        }
        shape.gaps = std::min(shape.gaps, high - low + 1 - shape.cards);
    }
    if (shape.straights == 0 || shape.cards == 1)
        shape.gaps = 0;
    const bool oneSuit = std::has_single_bit(keptSuits);
    if (shape.cards == 1)
        shape.kind = HoldKind::LoneCard;
    else if (oneSuit && shape.straights > 0)
        shape.kind = (keptRanks & ~TenToAceRanks) == 0 ? HoldKind::ToRoyalFlush : HoldKind::ToStraightFlush;
    else if (oneSuit)
        shape.kind = HoldKind::ToFlush;
    else
        shape.kind = shape.straights > 0 ? HoldKind::ToStraight : HoldKind::Unrelated;

    // A made hand is what it is, whatever its cards.
    if (shape.cards == HandSize) {
        shape.highCards = 0;
        shape.gaps = 0;
        shape.straights = 0;
        return shape;
    }
    if (exceptions) {
        const int suit = std::countr_zero(keptSuits);
        const bool drawsToFlush = oneSuit && shape.kind != HoldKind::ToStraight;
        for (int slot = 0; slot < HandSize; ++slot) {
            if (mask & (1u << slot))
                continue;
            shape.suitDiscarded += drawsToFlush && hand[slot].suit == suit;
            shape.straightDiscarded += (needed >> hand[slot].rank) & 1;
        }
        shape.suitDiscarded = std::min(shape.suitDiscarded, HoldShape::GoneLimit);
        shape.straightDiscarded = std::min(shape.straightDiscarded, HoldShape::GoneLimit);
    }
    return shape;
}
