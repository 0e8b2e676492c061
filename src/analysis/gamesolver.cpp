// The return of the whole game without playing 2.6 million deals one by one.
//
// For a set T of cards, P(T) is the total pay of all five-card hands that
// contain T. For a deal H and a hold S, the final hands are those that
// contain S and none of the discarded cards H \ S; by inclusion and
// exclusion their pay is the sum over S <= T <= H of (-1)^|T \ S| P(T),
// worked out for all 32 holds at once. Deals that differ only by a
// renaming of suits play alike, so each such class is solved once and
// weighed by its size.
//
// P(T) depends only on the shape of T: its ranks, and whether its cards are
// all of one suit, for the rest of the deck completes two sets of one shape
// alike (a flush needs the set in one suit). Some 11,000 shapes stand for
// the 2.9 million sets of up to five cards. A hand's pay gives P of the
// five-card shapes, and smaller shapes follow from the identity
//     sum over cards c not in T of P(T + c) = (5 - |T|) P(T),
// since each hand that contains T is counted once for each of its other
// cards; how many cards c turn T into each shape depends on T's shape alone.
//
// How often each final hand comes up uses the same sums with a count per
// outcome in place of the pay. Rather than keeping such counts for every
// shape, each class leaves its inclusion-exclusion terms as coefficients on
// the shapes of the sets T; the identity carries every coefficient up to
// the shapes of whole hands, each of which makes one outcome.
#include "gamereturn.h"

#include "dealclasses.h"
#include "dealholds.h"
#include "gamesolver.h"
#include "holdadvisor.h"

#include <algorithm>
#include <bit>
#include <memory>
#include <numeric>
#include <thread>
#include <vector>

namespace {

// The deals a fresh deck can give.
constexpr int HandCount = Choose[DeckSize][HandSize];
// The hold that keeps every card of a deal.
constexpr unsigned WholeHand = HoldCount - 1;
// The threads' running totals start on cache lines of their own, so that
// one thread's writes do not slow another's reads.
constexpr std::size_t CacheLine = 64;

// A set's ranks in increasing order, in as many places as it has cards.
using Ranks = std::array<int, HandSize>;

// Calls visit(ranks) for every way to take `size` ranks, none of them
// more than four times.
template <typename Visit>
void forEachRankSet(int size, Visit visit)
{
    Ranks ranks{};
    auto place = [&](auto &self, int i, int lowest) -> void {
        if (i == size) {
            visit(ranks);
            return;
        }
        for (int rank = lowest; rank < RankCount; ++rank) {
            if (i >= SuitCount && ranks[i - SuitCount] == rank)
                continue;
            ranks[i] = rank;
            self(self, i + 1, rank);
        }
    };
    place(place, 0, 0);
}

// Of the cards not in a set of shape `from`, `count` make a set of shape
// `to`.
struct Growth
{
    std::int32_t from;
    std::int32_t to;
    std::int32_t count;
};

// Every growth by one card, by the size grown from. A set of mixed suits
// stays mixed; a set of one suit stays so with the card of its suit of a
// rank it lacks, and the empty set with any card.
std::array<std::vector<Growth>, HandSize> shapeGrowths()
{
    std::array<std::vector<Growth>, HandSize> growths;
    for (int size = 0; size < HandSize; ++size) {
        // Room for two growths by each rank from every way to take the
        // ranks, about as many as there are.
        growths[size].reserve(std::size_t(2 * RankCount * Choose[RankCount + size - 1][size]));
        forEachRankSet(size, [&](const Ranks &ranks) {
            // A rank added at place p, after the ranks no higher, leaves the
            // terms of the index before it and moves those after it up a
            // place: their sums for every p.
            std::array<std::int32_t, HandSize + 1> before{};
            std::array<std::int32_t, HandSize + 1> after{};
            bool canBeOneSuit = true;
            for (int i = 0; i < size; ++i) {
                before[i + 1] = before[i] + Choose[ranks[i] + i][i + 1];
                canBeOneSuit = canBeOneSuit && (i == 0 || ranks[i] != ranks[i - 1]);
            }
            for (int i = size - 1; i >= 0; --i)
                after[i] = after[i + 1] + Choose[ranks[i] + i + 1][i + 2];
            const std::int32_t mixed = ShapeStart[size] + 2 * before[size];
            for (int rank = 0, place = 0; rank < RankCount; ++rank) {
                int free = SuitCount;
                for (; place < size && ranks[place] == rank; ++place)
                    --free;
                if (free == 0)
                    continue;
                const std::int32_t grownMixed =
                    ShapeStart[size + 1] + 2 * (before[place] + Choose[rank + place][place + 1] + after[place]);
                if (size >= 2)
                    growths[size].push_back({mixed, grownMixed, free});
                if (!canBeOneSuit)
                    continue;
                const int sameSuit = size == 0 ? SuitCount : free == SuitCount ? 1 : 0;
                if (sameSuit > 0)
                    growths[size].push_back({mixed + 1, grownMixed + 1, sameSuit});
                if (free > sameSuit)
                    growths[size].push_back({mixed + 1, grownMixed, free - sameSuit});
            }
        });
    }
    return growths;
}

class GameSolver
{
public:
    GameSolver(const PayTable &table, int threads)
        : m_parts(threads == OneThreadPerCore ? int(std::clamp(std::thread::hardware_concurrency(), 1u, MostThreads))
                                              : threads)
        , m_pays(table.pays())
        , m_growths(shapeGrowths())
        , m_outcomeOf(ShapeCount)
        , m_payOf(ShapeCount)
    {
        std::int64_t common = 1;
        for (int k = 0; k <= HandSize; ++k)
            common = std::lcm(common, binomial(DeckSize - HandSize, k));
        m_game.denominator = binomial(DeckSize, HandSize) * common;
        for (int held = 0; held <= HandSize; ++held)
            m_perDraw[held] = common / binomial(DeckSize - HandSize, HandSize - held);
        scoreEveryShape(table);
    }

    // Has solve() keep each class's best hold, for takeClasses().
    void keepBestHolds() { m_classes.hold.assign(HandCount, 0); }

    GameReturn solve()
    {
        playEveryClass();
        countFinalHands();
        return m_game;
    }
    std::vector<std::int64_t> takePays() { return std::move(m_payOf); }
    FreshDeckHolds::Classes takeClasses()
    {
        m_classes.tied = std::move(m_played.tied);
        std::sort(m_classes.tied.begin(), m_classes.tied.end());
        return std::move(m_classes);
    }

private:
    // Coefficients are kept 5! times too large, so that carrying them up
    // divides exactly.
    static constexpr std::int64_t Scale = 120;
    // The pass over every class shares the work out among this many
    // threads at most, by default.
    static constexpr unsigned MostThreads = 4;

    // What playing some of the classes leaves, kept apart for each thread
    // until all are done.
    struct alignas(CacheLine) Terms
    {
        std::vector<std::int64_t> coefficient = std::vector<std::int64_t>(ShapeCount); // by shape
        std::vector<std::pair<std::int32_t, std::uint32_t>> tied;

        void add(const Terms &other)
        {
            std::transform(other.coefficient.begin(), other.coefficient.end(), coefficient.begin(),
                           coefficient.begin(), std::plus<>());
            tied.insert(tied.end(), other.tied.begin(), other.tied.end());
        }
    };

    // The outcome of every shape of hand, and the pay totals of all shapes:
    // a hand's own pay for five cards, the identity for fewer.
    void scoreEveryShape(const PayTable &table)
    {
        forEachRankSet(HandSize, [&](const Ranks &ranks) {
            std::array<int, RankCount> counts{};
            std::int32_t index = 0;
            for (int i = 0; i < HandSize; ++i) {
                ++counts[ranks[i]];
                index += Choose[ranks[i] + i][i + 1];
            }
            const std::int32_t mixed = ShapeStart[HandSize] + 2 * index;
            scoreHand(mixed, evaluateHand(counts, false, table));
            if (*std::max_element(counts.begin(), counts.end()) == 1)
                scoreHand(mixed + 1, evaluateHand(counts, true, table));
        });
        for (int size = HandSize - 1; size >= 0; --size) {
            for (const Growth &growth : m_growths[size])
                m_payOf[std::size_t(growth.from)] += growth.count * m_payOf[std::size_t(growth.to)];
            for (std::int32_t shape = ShapeStart[size]; shape < ShapeStart[size + 1]; ++shape)
                m_payOf[std::size_t(shape)] /= HandSize - size;
        }
    }

    void scoreHand(std::int32_t shape, Outcome outcome)
    {
        m_outcomeOf[std::size_t(shape)] = std::uint8_t(outcome);
        m_payOf[std::size_t(shape)] = m_pays[outcome];
    }

    // Every class of deals, shared out among the threads; then the other
    // threads' terms added to the first's.
    void playEveryClass()
    {
        std::vector<std::unique_ptr<Terms>> others(std::size_t(m_parts - 1));
        inParallel(m_parts, [&](int part) {
            if (part > 0)
                others[part - 1] = std::make_unique<Terms>();
            Terms &terms = part == 0 ? m_played : *others[part - 1];
            forEachDealClass([&](const std::array<int, HandSize> &cards, int weight) {
                playBest(cards, weight, terms);
            }, part, m_parts);
        });
        for (const std::unique_ptr<Terms> &other : others)
            m_played.add(*other);
    }

    // One class of deals: finds its best hold and leaves the terms that
    // count the hold's final hands.
    void playBest(const std::array<int, HandSize> &cards, int weight, Terms &terms)
    {
        const DealHolds values(cards, m_payOf);
        const std::array<std::int64_t, HoldCount> &total = values.total;
        // Returns compared exactly, over the common denominator.
        unsigned best = HoldsBySize[0];
        std::int64_t bestValue = total[best] * m_perDraw[HandSize];
#pragma GCC unroll 32
        for (unsigned mask : HoldsBySize) {
            const std::int64_t value = total[mask] * m_perDraw[HeldCounts[mask]];
            if (value > bestValue) {
                best = mask;
                bestValue = value;
            }
        }
        if (!m_classes.hold.empty())
            keepHold(colexIndex(cards), total, best, terms.tied);

        // The final hands of the hold: + N(S) - N(S + d) + N(S + d + e) ...
        const std::int64_t amount = Scale * weight * m_perDraw[HeldCounts[best]];
        const unsigned discarded = WholeHand & ~best;
        for (unsigned extra = discarded;; extra = (extra - 1) & discarded) {
            const std::int64_t signedAmount = HeldCounts[extra] % 2 ? -amount : amount;
            terms.coefficient[std::size_t(values.shape[best | extra])] += signedAmount;
            if (extra == 0)
                break;
        }
    }
    void keepHold(std::int32_t deal, const std::array<std::int64_t, HoldCount> &total, unsigned best,
                  std::vector<std::pair<std::int32_t, std::uint32_t>> &tiedDeals)
    {
        std::uint32_t tied = 0;
        for (unsigned mask = 0; mask < HoldCount; ++mask) {
            if (HeldCounts[mask] == HeldCounts[best] && total[mask] == total[best])
                tied |= std::uint32_t(1) << mask;
        }
        const bool unique = tied == std::uint32_t(1) << best;
        m_classes.hold[deal] = unique ? std::uint8_t(best) : FreshDeckHolds::Classes::Tied;
        if (!unique)
            tiedDeals.emplace_back(deal, tied);
    }

    // The coefficients carried up to the shapes of whole hands, and added
    // there into the hands' outcomes.
    void countFinalHands()
    {
        std::vector<std::int64_t> &coefficient = m_played.coefficient;
        for (int size = 0; size < HandSize; ++size) {
            for (const Growth &growth : m_growths[size]) {
                coefficient[std::size_t(growth.to)] +=
                    coefficient[std::size_t(growth.from)] / (HandSize - size) * growth.count;
            }
        }
        std::array<std::int64_t, OutcomeCount> scaled{};
        for (std::int32_t shape = ShapeStart[HandSize]; shape < ShapeCount; ++shape)
            scaled[m_outcomeOf[std::size_t(shape)]] += coefficient[std::size_t(shape)];
        for (int o = 0; o < OutcomeCount; ++o) {
            m_game.outcomes[o] = scaled[o] / Scale;
            m_game.totalPay += m_game.outcomes[o] * m_pays[o];
        }
    }

    const int m_parts;
    const std::array<int, OutcomeCount> m_pays;
    const std::array<std::vector<Growth>, HandSize> m_growths;
    std::vector<std::uint8_t> m_outcomeOf; // by shape, for shapes of five cards
    std::vector<std::int64_t> m_payOf;     // by shape
    Terms m_played;
    std::array<std::int64_t, HandSize + 1> m_perDraw{}; // draws in the common denominator, by cards held
    FreshDeckHolds::Classes m_classes;
    GameReturn m_game;
};

} // namespace

GameReturn exactGameReturn(const PayTable &table, int threads)
{
    return GameSolver(table, threads).solve();
}

SolvedDeals solveEveryDeal(const PayTable &table)
{
    GameSolver solver(table, OneThreadPerCore);
    solver.keepBestHolds();
    solver.solve();
    return {solver.takeClasses(), solver.takePays()};
}
