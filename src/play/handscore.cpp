#include "handscore.h"

#include <algorithm>
#include <limits>

namespace {

constexpr int AceRank = 12;

} // namespace

HandScore scoreHand(const std::array<CardCode, HandSize> &hand)
{
    std::array<int, RankCount> rankcount{};
    std::array<int, SuitCount> suitcount{};
    for (const CardCode &card : hand) {
        ++rankcount[std::size_t(card.rank)];
        ++suitcount[std::size_t(card.suit)];
    }

    const bool flush = std::find(suitcount.begin(), suitcount.end(), HandSize) != suitcount.end();
    bool straight = false;
    for (int low = 0; low + HandSize <= RankCount; ++low) {
        straight = straight
                   || std::all_of(rankcount.begin() + low, rankcount.begin() + low + HandSize,
                                  [](int count) { return count == 1; });
    }
    int pairs = 0;
    bool three = false;
    bool four = false;
    for (int count : rankcount) {
        pairs += count == 2;
        three = three || count == 3;
        four = four || count == 4;
    }

    if (straight && flush) {
        return rankcount[AceRank] == 1 ? HandScore{HandCategory::RoyalFlush, 200}
                                       : HandScore{HandCategory::StraightFlush, 100};
    }
    if (straight)
        return {HandCategory::Straight, 10};
    if (flush)
        return {HandCategory::Flush, 10};
    if (three && pairs == 1)
        return {HandCategory::FullHouse, 20};
    if (three)
        return {HandCategory::ThreeOfAKind, 5};
    if (four)
        return {HandCategory::FourOfAKind, 50};
    if (pairs == 2)
        return {HandCategory::TwoPair, 2};
    return {};
}

Settlement settle(qint32 credits, qint32 bet, int multiplier)
{
    const qint64 winnings = qint64(bet) * multiplier;
    qint64 total = qint64(credits) - bet + winnings;
    if (total <= 0)
        total = FreshStake;
    constexpr qint64 Largest = std::numeric_limits<qint32>::max();
    return {qint32(std::min(total, Largest)), qint32(std::min(winnings, Largest))};
}
