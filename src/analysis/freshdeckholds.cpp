#include "freshdeckholds.h"

#include "dealholds.h"
#include "gamesolver.h"

#include <algorithm>
#include <bit>

namespace {

// A card's number and the slot it came from packed in one number, the slot
// in the low bits, so that sorting the packed numbers sorts the cards and
// carries their slots along: a power of two above every slot.
constexpr int SlotRoom = 8;
static_assert(SlotRoom >= HandSize && std::has_single_bit(unsigned(SlotRoom)));

} // namespace

struct FreshDeckHolds::Pays
{
    std::vector<std::int64_t> byShape;
};

FreshDeckHolds::FreshDeckHolds(const PayTable &table)
{
    SolvedDeals solved = solveEveryDeal(table);
    m_classes = std::move(solved.classes);
    m_pays = std::make_unique<const Pays>(Pays{std::move(solved.payByShape)});
}

FreshDeckHolds::~FreshDeckHolds() = default;

std::array<HoldValue, HoldCount> FreshDeckHolds::values(const std::array<CardCode, HandSize> &hand) const
{
    // The cards in increasing order, each with the slot it came from.
    std::array<int, HandSize> sorted{};
    for (int slot = 0; slot < HandSize; ++slot)
        sorted[slot] = CardIndex(hand[slot]) * SlotRoom + slot;
    std::sort(sorted.begin(), sorted.end());
    std::array<int, HandSize> cards{};
    for (int i = 0; i < HandSize; ++i)
        cards[i] = sorted[i] / SlotRoom;
    const DealHolds deal(cards, m_pays->byShape);
    std::array<HoldValue, HoldCount> values;
    // The slots of the cards a mask over their order keeps, built from the
    // mask without its lowest card.
    std::array<unsigned, HoldCount> slotsOf{};
    for (unsigned mask = 1; mask < HoldCount; ++mask)
        slotsOf[mask] = slotsOf[mask & (mask - 1)] | 1u << (sorted[std::countr_zero(mask)] % SlotRoom);
    for (unsigned mask = 0; mask < HoldCount; ++mask) {
        HoldValue &value = values[slotsOf[mask]];
        value.mask = slotsOf[mask];
        value.draws = Choose[DeckSize - HandSize][HandSize - HeldCounts[mask]];
        value.totalPay = deal.total[mask];
    }
    return values;
}

unsigned FreshDeckHolds::bestHold(const std::array<CardCode, HandSize> &hand) const
{
    // Rename the suits as the class's representative has them, by the
    // ranks each holds, most first; suits that hold the same ranks can
    // trade names without changing the deal. Four suits are put in order
    // by five exchanges.
    std::array<unsigned, SuitCount> ranksOfSuit{};
    for (const CardCode &card : hand)
        ranksOfSuit[card.suit] |= 1u << card.rank;
    std::array<int, SuitCount> bySize = {0, 1, 2, 3};
    const auto order = [&](int first, int second) {
        if (ranksOfSuit[bySize[first]] < ranksOfSuit[bySize[second]])
            std::swap(bySize[first], bySize[second]);
    };
    order(0, 1);
    order(2, 3);
    order(0, 2);
    order(1, 3);
    order(1, 2);
    std::array<int, SuitCount> renamed{};
    for (int i = 0; i < SuitCount; ++i)
        renamed[bySize[i]] = i;
    std::array<int, HandSize> number{};
    for (int slot = 0; slot < HandSize; ++slot)
        number[slot] = hand[slot].rank * SuitCount + renamed[hand[slot].suit];
    // Each slot's place among the representative's cards in increasing
    // order: the number of cards below its own.
    std::array<int, HandSize> place{};
    std::array<int, HandSize> sorted{};
    for (int slot = 0; slot < HandSize; ++slot) {
        for (int other = 0; other < HandSize; ++other)
            place[slot] += number[other] < number[slot];
        sorted[place[slot]] = number[slot];
    }
    const std::int32_t index = colexIndex(sorted);
    auto inSlots = [&](unsigned hold) {
        unsigned mask = 0;
        for (int slot = 0; slot < HandSize; ++slot)
            mask |= (hold >> place[slot] & 1u) << slot;
        return mask;
    };

    const std::uint8_t hold = m_classes.hold[index];
    if (hold != Classes::Tied)
        return inSlots(hold);
    // Of equal holds the advisor takes the one that keeps the earlier slots.
    const auto tied = std::lower_bound(m_classes.tied.begin(), m_classes.tied.end(), std::make_pair(index, 0u));
    unsigned best = HoldCount;
    for (unsigned candidate = 0; candidate < HoldCount; ++candidate) {
        if (tied->second & (std::uint32_t(1) << candidate))
            best = std::min(best, inSlots(candidate));
    }
    return best;
}
