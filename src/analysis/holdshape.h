#pragma once

#include "model/cardset.h"
#include "model/paytable.h"

#include <array>
#include <cstdint>

// What a hold keeps, sorted as a player sorts holds: a made hand or part
// of one, cards towards a flush or a straight, or single cards.
enum class HoldKind : std::uint8_t {
    DrawFive,
    LoneCard,
    Unrelated,       // cards of mixed suits that no straight holds together
    ToStraight,      // cards of mixed suits, or all five, within one straight
    ToFlush,         // cards of one suit that no straight holds together
    ToStraightFlush,
    ToRoyalFlush,
    Pair,            // with any other cards kept beside it
    TwoPair,
    ThreeOfAKind,
    FullHouse,
    FourOfAKind,
};
inline constexpr int HoldKindCount = int(HoldKind::FourOfAKind) + 1;

// The straights a pay table counts, as masks of ranks.
struct Straights
{
    explicit Straights(const PayTable &table);

    int count = 0;
    std::array<unsigned, RankCount> ranks{};
};

// A hold as a player sees it: its kind and the few facts that change what
// it is worth. Fields that do not apply to a kind are 0.
struct HoldShape
{
    // The values a field can take, the upper ones counted together.
    static constexpr int HighCardsLimit = HandSize;
    static constexpr int GoneLimit = 2;

    HoldKind kind = HoldKind::DrawFive;
    int cards = 0;
    // The lone card's rank; the lowest rank of the pair's, three's or
    // four's rank group (see rankGroups), which pay alike. For two pair
    // and a full house, 0.
    int rank = 0;
    // Kept cards of ranks whose pair pays, other than the pair or more.
    int highCards = 0;
    // Ranks missing between the kept cards of a draw to a straight, and
    // how many straights they can still make.
    int gaps = 0;
    int straights = 0;
    // Cards discarded that a draw needs: of the kept suit, and of the
    // ranks the kept cards' straights lack; at most GoneLimit.
    int suitDiscarded = 0;
    int straightDiscarded = 0;

    // The shape packed into one number, and back.
    std::uint32_t key() const;
    static HoldShape fromKey(std::uint32_t key);
};

// The groups of ranks whose pairs (for kind Pair), or threes and fours (for
// the other kinds), a table pays alike: bit r of groups[r] is set for
// every rank in r's group.
std::array<unsigned, RankCount> rankGroups(const PayTable &table, HoldKind kind);

// Reads holds of hands on one pay table.
class HoldShaper
{
public:
    explicit HoldShaper(const PayTable &table);

    // The shape of the hold `mask` of `hand`, bit i keeping hand[i].
    // `exceptions` false leaves the discarded cards out of it.
    HoldShape shape(const std::array<CardCode, HandSize> &hand, unsigned mask, bool exceptions) const;

private:
    Straights m_straights;
    std::array<unsigned, RankCount> m_pairGroups;
    std::array<unsigned, RankCount> m_setGroups;
    int m_highFrom;
};
