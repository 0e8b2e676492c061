// The return of the whole game without playing 2.6 million deals one by one.
//
// For a set T of cards, P(T) is the total pay of all five-card hands that
// contain T. For a deal H and a hold S, the final hands are those that
// contain S and none of the discarded cards H \ S; by inclusion and
// exclusion their pay is the sum over S <= T <= H of (-1)^|T \ S| P(T),
// worked out for all 32 holds at once. Every hand adds its pay to its five
// four-card subsets; smaller sets follow from the identity
//     sum over cards c not in T of P(T + c) = (5 - |T|) P(T),
// since each hand that contains T is counted once for each of its other
// cards. Deals that differ only by a renaming of suits play alike, so each
// such class is solved once and weighed by its size.
//
// How often each final hand comes up uses the same sums with a count per
// outcome in place of the pay. Rather than keeping such counts for every
// set, each class leaves its inclusion-exclusion terms as coefficients on
// the sets T; the identity carries every coefficient up to the four-card
// sets, and one more pass over all hands adds them into the hand's outcome.
#include "gamereturn.h"

#include <algorithm>
#include <bit>
#include <numeric>
#include <thread>
#include <vector>

namespace {

constexpr int HandCount = 2598960;

constexpr int bitCount(unsigned mask)
{
    int count = 0;
    for (; mask; mask &= mask - 1)
        ++count;
    return count;
}

// Facts about each of the 32 holds, without relying on a POPCNT
// instruction the target may lack: how many cards it keeps, its highest
// slot, and all holds in the order the advisor prefers them on equal
// returns (more cards first, then the earlier slots).
struct HoldTables
{
    constexpr HoldTables()
    {
        for (unsigned mask = 0; mask < HoldCount; ++mask) {
            count[mask] = bitCount(mask);
            for (int slot = 0; slot < HandSize; ++slot)
                highest[mask] = mask & (1u << slot) ? slot : highest[mask];
        }
        int at = 0;
        for (int size = HandSize; size >= 0; --size) {
            for (unsigned mask = 0; mask < HoldCount; ++mask) {
                if (count[mask] == size)
                    preferred[at++] = mask;
            }
        }
    }

    int count[HoldCount]{};
    int highest[HoldCount]{};
    unsigned preferred[HoldCount]{};
};
constexpr HoldTables holds;

// Visits every set of Size cards, as increasing card numbers, in colex
// order: that is, in the order of its index
//     sum over i of choose(cards[i], i + 1),
// which runs 0, 1, 2, ... . The sets come in runs that share all cards but
// the lowest: visitRun(cards, lacking, count) stands for the sets with
// cards[1..] and a lowest card from 0 to count - 1. For the lowest card 0,
// lacking[j] is the index of the subset without cards[j]; for j > 0 it
// grows by one with the lowest card. Only the cards from `first` on are
// tried at this level.
template <int Size, int Level = Size - 1, typename VisitRun>
void forEachRunBelow(int first, int limit, const std::array<std::int32_t, Size> &lacking,
                     std::array<int, Size> &cards, VisitRun &visitRun)
{
    if constexpr (Level == 0) {
        cards[0] = 0;
        visitRun(cards, lacking, limit);
    } else {
        for (int card = std::max(Level, first); card < limit; ++card) {
            std::array<std::int32_t, Size> next = lacking;
            for (int j = 0; j < Size; ++j) {
                if (j < Level)
                    next[j] += Choose[card][Level];
                else if (j > Level)
                    next[j] += Choose[card][Level + 1];
            }
            cards[Level] = card;
            forEachRunBelow<Size, Level - 1>(0, card, next, cards, visitRun);
        }
    }
}

// The runs of the sets whose highest card is from `first` to `last` - 1;
// the first of them has the index choose(first, Size).
template <int Size, typename VisitRun>
void forEachRun(VisitRun visitRun, int first = 0, int last = DeckSize)
{
    std::array<int, Size> cards{};
    forEachRunBelow<Size>(first, last, std::array<std::int32_t, Size>{}, cards, visitRun);
}

// Part `part` of `parts` about equal shares of the sets of Size cards, as
// the range of their highest cards: it starts at the returned card and
// ends where part + 1 starts.
template <int Size>
int shareStart(int part, int parts)
{
    const std::int64_t before = std::int64_t(Choose[DeckSize][Size]) * part / parts;
    int card = 0;
    while (card < DeckSize && Choose[card][Size] < before)
        ++card;
    return card;
}

// Runs work(part) for each part from 0 to parts - 1 at the same time, the
// first on the calling thread.
template <typename Work>
void inParallel(int parts, const Work &work)
{
    std::vector<std::jthread> others;
    for (int part = 1; part < parts; ++part)
        others.emplace_back(work, part);
    work(0);
}

// The same sets one by one: visit(cards, lacking).
template <int Size, typename Visit>
void forEachSet(Visit visit)
{
    forEachRun<Size>([&](std::array<int, Size> cards, std::array<std::int32_t, Size> lacking, int count) {
        for (int lowest = 0; lowest < count; ++lowest) {
            cards[0] = lowest;
            visit(cards, lacking);
            for (int j = 1; j < Size; ++j)
                ++lacking[j];
        }
    });
}

// Outcomes by the ranks of a hand in increasing order, r0 <= ... <= r4,
// indexed like a set of cards by the distinct numbers r_i + i; separately
// for hands of one suit.
class HandScores
{
public:
    explicit HandScores(const PayTable &table)
    {
        std::array<int, HandSize> ranks{};
        forEachRankSet(table, ranks, 0, 0);
    }

    // The hands of one run of forEachRun: cards[1..] fixed, the lowest
    // card running.
    struct Run
    {
        int rankIndex = 0;
        int suit = 0;
        bool oneSuit = true;
    };
    Run run(const std::array<int, HandSize> &cards) const
    {
        Run run;
        run.suit = cards[1] % SuitCount;
        for (int i = 1; i < HandSize; ++i) {
            run.rankIndex += Choose[cards[i] / SuitCount + i][i + 1];
            run.oneSuit = run.oneSuit && cards[i] % SuitCount == run.suit;
        }
        return run;
    }
    Outcome outcome(const Run &run, int lowest) const
    {
        const std::size_t index = std::size_t(run.rankIndex + lowest / SuitCount);
        return Outcome(run.oneSuit && lowest % SuitCount == run.suit ? m_suited[index] : m_mixed[index]);
    }

private:
    static constexpr int RankSets = 6188; // choose(RankCount + HandSize - 1, HandSize)

    void forEachRankSet(const PayTable &table, std::array<int, HandSize> &ranks, int slot, int lowest)
    {
        if (slot == HandSize) {
            std::array<int, RankCount> counts{};
            int index = 0;
            for (int i = 0; i < HandSize; ++i) {
                ++counts[ranks[i]];
                index += Choose[ranks[i] + i][i + 1];
            }
            if (*std::max_element(counts.begin(), counts.end()) > SuitCount)
                return;
            m_mixed[index] = std::uint8_t(evaluateHand(counts, false, table));
            m_suited[index] = std::uint8_t(evaluateHand(counts, true, table));
            return;
        }
        for (int rank = lowest; rank < RankCount; ++rank) {
            ranks[slot] = rank;
            forEachRankSet(table, ranks, slot + 1, rank);
        }
    }

    std::array<std::uint8_t, RankSets> m_mixed{};
    std::array<std::uint8_t, RankSets> m_suited{};
};

// Spreads a mask of ranks onto card numbers: bit r to bit r * SuitCount.
std::uint64_t cardsOfSuitZero(unsigned ranks)
{
    std::uint64_t cards = 0;
    for (; ranks; ranks &= ranks - 1)
        cards |= std::uint64_t(1) << (std::countr_zero(ranks) * SuitCount);
    return cards;
}

std::array<int, HandSize> cardsOf(std::uint64_t set)
{
    std::array<int, HandSize> cards{};
    for (int &card : cards) {
        card = std::countr_zero(set);
        set &= set - 1;
    }
    return cards;
}

// Every class of deals that a renaming of suits turns into each other, as
// the ranks each suit holds. Sorting the four masks makes the key; the
// representative gives the largest mask to hearts, the next to clubs and
// so on, which makes it the class's first deal in colex order. A class
// holds 24 deals divided by the ways to reorder suits with equal masks.
template <typename Visit>
void forEachDealClass(Visit visit)
{
    std::array<std::vector<unsigned>, HandSize + 1> masksWith;
    for (unsigned mask = 0; mask < (1u << RankCount); ++mask) {
        const int count = bitCount(mask);
        if (count <= HandSize)
            masksWith[count].push_back(mask);
    }
    constexpr int factorial[SuitCount + 1] = {1, 1, 2, 6, 24};
    std::array<unsigned, SuitCount> suit{};
    std::array<std::uint64_t, SuitCount> cards{};
    // Suit `s` takes a mask no larger than the one before, out of `left` cards.
    auto place = [&](auto &self, int s, int left) -> void {
        const unsigned largest = s == 0 ? (1u << RankCount) - 1 : suit[s - 1];
        for (int count = s == SuitCount - 1 ? left : 0; count <= left; ++count) {
            for (unsigned mask : masksWith[count]) {
                if (mask > largest)
                    break;
                suit[s] = mask;
                cards[s] = (s == 0 ? 0 : cards[s - 1]) | cardsOfSuitZero(mask) << s;
                if (s < SuitCount - 1) {
                    self(self, s + 1, left - count);
                    continue;
                }
                int weight = factorial[SuitCount];
                for (int from = 0, to = 1; to <= SuitCount; ++to) {
                    if (to == SuitCount || suit[to] != suit[from]) {
                        weight /= factorial[to - from];
                        from = to;
                    }
                }
                visit(cardsOf(cards[SuitCount - 1]), weight);
            }
        }
    };
    place(place, 0, HandSize);
}

// A number for every set of up to four cards, by the set's size and its
// colex index; four-card sets, by far the most, in a narrower type.
template <typename FourCardValue>
struct SetTotals
{
    SetTotals()
    {
        for (int k = 0; k < HandSize - 1; ++k)
            small[k].assign(std::size_t(Choose[DeckSize][k]), 0);
        four.assign(std::size_t(Choose[DeckSize][HandSize - 1]), 0);
    }

    std::int64_t at(int size, std::int32_t index) const
    {
        return size == HandSize - 1 ? std::int64_t(four[index]) : small[size][index];
    }
    void add(int size, std::int32_t index, std::int64_t amount)
    {
        if (size == HandSize - 1)
            four[index] += FourCardValue(amount);
        else
            small[size][index] += amount;
    }
    void add(const SetTotals &other)
    {
        for (int size = 0; size < HandSize - 1; ++size)
            addInto(other.small[size], small[size]);
        addInto(other.four, four);
    }
    template <typename Value>
    static void addInto(const std::vector<Value> &from, std::vector<Value> &to)
    {
        std::transform(from.begin(), from.end(), to.begin(), to.begin(), std::plus<>());
    }

    std::array<std::vector<std::int64_t>, HandSize - 1> small;
    std::vector<FourCardValue> four;
};

// Carries totals down a level: each set's value goes to its subsets one
// card smaller, and each hand of a subset arrives once for each card the
// subset lacks.
template <int Size, typename Value>
void addToSubsets(const std::vector<Value> &from, std::vector<std::int64_t> &to)
{
    std::int32_t index = 0;
    forEachSet<Size>([&](const std::array<int, Size> &, const std::array<std::int32_t, Size> &lacking) {
        const std::int64_t value = std::int64_t(from[index++]);
        for (std::int32_t subset : lacking)
            to[subset] += value;
    });
    const int cardsLacking = HandSize - (Size - 1);
    for (std::int64_t &value : to)
        value /= cardsLacking;
}

// Carries coefficients up a level: a coefficient on a set weighs its hands,
// which are the hands of the sets one card larger, each of them reached
// once for each card the set lacks.
template <int Size>
void addFromSubsets(const std::vector<std::int64_t> &from, std::vector<std::int64_t> &to)
{
    std::int32_t index = 0;
    const int cardsLacking = HandSize - (Size - 1);
    forEachSet<Size>([&](const std::array<int, Size> &, const std::array<std::int32_t, Size> &lacking) {
        std::int64_t sum = 0;
        for (std::int32_t subset : lacking)
            sum += from[subset];
        to[index++] += sum / cardsLacking;
    });
}

using PayTotals = SetTotals<std::uint32_t>;

// The index of five cards in increasing order among all hands.
std::int32_t colexIndex(const std::array<int, HandSize> &cards)
{
    std::int32_t index = 0;
    for (int i = 0; i < HandSize; ++i)
        index += Choose[cards[i]][i + 1];
    return index;
}

// For a deal's cards in increasing order: the index of each of its 32
// subsets, and the total pay of the final hands of each hold (the subset
// kept), by inclusion and exclusion over the pay totals of the subsets.
// Masks name the cards by their place in that order. The loops are
// unrolled, so that what each step reads from `holds` is known when
// compiling.
struct DealHolds
{
    DealHolds(const std::array<int, HandSize> &cards, const PayTotals &pays, std::int64_t dealtPay)
    {
        // The index of each subset is that of the subset without its highest
        // card plus that card's term.
        std::array<const std::int32_t *, HandSize> chooseOf{};
        for (int slot = 0; slot < HandSize; ++slot)
            chooseOf[slot] = Choose[cards[slot]].data();
        index[0] = 0;
#pragma GCC unroll 32
        for (unsigned mask = 1; mask < HoldCount; ++mask) {
            const int highest = holds.highest[mask];
            index[mask] = index[mask ^ (1u << highest)] + chooseOf[highest][holds.count[mask]];
        }
#pragma GCC unroll 32
        for (unsigned mask = 0; mask + 1 < HoldCount; ++mask)
            total[mask] = pays.at(holds.count[mask], index[mask]);
        total[HoldCount - 1] = dealtPay;
        // Keep only the hands that avoid every discarded card.
#pragma GCC unroll 5
        for (unsigned bit = 1; bit < HoldCount; bit <<= 1) {
#pragma GCC unroll 32
            for (unsigned mask = 0; mask < HoldCount; ++mask) {
                if (!(mask & bit))
                    total[mask] -= total[mask | bit];
            }
        }
    }

    std::array<std::int32_t, HoldCount> index;
    std::array<std::int64_t, HoldCount> total;
};

class GameSolver
{
public:
    GameSolver(const PayTable &table, bool keepHolds, int threads)
        : m_parts(threads > 0 ? threads : int(std::clamp(std::thread::hardware_concurrency(), 1u, MostThreads)))
        , m_scores(table)
        , m_pays(table.pays())
        , m_outcomeOf(HandCount)
    {
        if (keepHolds)
            m_classes.hold.assign(HandCount, 0);
        std::int64_t common = 1;
        for (int k = 0; k <= HandSize; ++k)
            common = std::lcm(common, binomial(DeckSize - HandSize, k));
        m_game.denominator = binomial(DeckSize, HandSize) * common;
        for (int held = 0; held <= HandSize; ++held)
            m_perDraw[held] = common / binomial(DeckSize - HandSize, HandSize - held);
    }

    GameReturn solve()
    {
        scoreEveryHand();
        playEveryClass();
        countFinalHands();
        return m_game;
    }
    PayTotals takePays() { return std::move(m_pay); }
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
    // The passes over every hand and every class share the work out among
    // this many threads at most, by default.
    static constexpr unsigned MostThreads = 4;

    // What playing some of the classes leaves, kept apart for each thread
    // until all are done.
    struct alignas(64) Terms
    {
        SetTotals<std::int64_t> coefficient;
        std::array<std::int64_t, OutcomeCount> scaledOutcomes{};
        std::vector<std::pair<std::int32_t, std::uint32_t>> tied;

        void add(const Terms &other)
        {
            coefficient.add(other.coefficient);
            for (int o = 0; o < OutcomeCount; ++o)
                scaledOutcomes[o] += other.scaledOutcomes[o];
            tied.insert(tied.end(), other.tied.begin(), other.tied.end());
        }
    };

    // Every hand scored once, and its pay added to its four-card subsets;
    // then the pay totals of the smaller sets. Each thread adds into four-card
    // totals of its own, and they are added together at the end.
    void scoreEveryHand()
    {
        std::vector<std::vector<std::uint32_t>> fours(std::size_t(m_parts - 1));
        inParallel(m_parts, [&](int part) {
            std::vector<std::uint32_t> &four = part == 0 ? m_pay.four : fours[part - 1];
            four.resize(m_pay.four.size());
            const int first = shareStart<HandSize>(part, m_parts);
            std::int32_t hand = Choose[first][HandSize];
            forEachRun<HandSize>([&](const std::array<int, HandSize> &cards,
                                     const std::array<std::int32_t, HandSize> &lacking, int count) {
                const HandScores::Run run = m_scores.run(cards);
                std::uint32_t withoutLowest = 0;
                for (int lowest = 0; lowest < count; ++lowest) {
                    const Outcome outcome = m_scores.outcome(run, lowest);
                    const auto pay = std::uint32_t(m_pays[outcome]);
                    m_outcomeOf[hand++] = std::uint8_t(outcome);
                    withoutLowest += pay;
                    for (int j = 1; j < HandSize; ++j)
                        four[lacking[j] + lowest] += pay;
                }
                four[lacking[0]] += withoutLowest;
            }, first, shareStart<HandSize>(part + 1, m_parts));
        });
        for (const std::vector<std::uint32_t> &four : fours)
            PayTotals::addInto(four, m_pay.four);
        addToSubsets<4>(m_pay.four, m_pay.small[3]);
        addToSubsets<3>(m_pay.small[3], m_pay.small[2]);
        addToSubsets<2>(m_pay.small[2], m_pay.small[1]);
        addToSubsets<1>(m_pay.small[1], m_pay.small[0]);
    }

    // Every class of deals, the classes dealt out to the threads in turn;
    // then the other threads' terms added to the first's.
    void playEveryClass()
    {
        std::vector<std::unique_ptr<Terms>> others(std::size_t(m_parts - 1));
        inParallel(m_parts, [&](int part) {
            if (part > 0)
                others[part - 1] = std::make_unique<Terms>();
            Terms &terms = part == 0 ? m_played : *others[part - 1];
            int turn = 0;
            forEachDealClass([&](const std::array<int, HandSize> &cards, int weight) {
                if (turn++ % m_parts == part)
                    playBest(cards, weight, terms);
            });
        });
        for (const std::unique_ptr<Terms> &other : others)
            m_played.add(*other);
    }

    // One class of deals: finds its best hold and leaves the terms that
    // count the hold's final hands.
    void playBest(const std::array<int, HandSize> &cards, int weight, Terms &terms)
    {
        const Outcome dealt = Outcome(m_outcomeOf[colexIndex(cards)]);
        const DealHolds values(cards, m_pay, m_pays[dealt]);
        const std::array<std::int32_t, HoldCount> &index = values.index;
        const std::array<std::int64_t, HoldCount> &total = values.total;
        // Returns compared exactly, over the common denominator.
        unsigned best = holds.preferred[0];
        std::int64_t bestValue = total[best] * m_perDraw[HandSize];
#pragma GCC unroll 32
        for (unsigned mask : holds.preferred) {
            const std::int64_t value = total[mask] * m_perDraw[holds.count[mask]];
            if (value > bestValue) {
                best = mask;
                bestValue = value;
            }
        }
        if (!m_classes.hold.empty())
            keepHold(index[HoldCount - 1], total, best, terms.tied);

        // The final hands of the hold: + N(S) - N(S + d) + N(S + d + e) ...
        const std::int64_t amount = Scale * weight * m_perDraw[holds.count[best]];
        const unsigned discarded = (HoldCount - 1) & ~best;
        for (unsigned extra = discarded;; extra = (extra - 1) & discarded) {
            const unsigned set = best | extra;
            const std::int64_t signedAmount = holds.count[extra] % 2 ? -amount : amount;
            if (set == HoldCount - 1)
                terms.scaledOutcomes[dealt] += signedAmount;
            else
                terms.coefficient.add(holds.count[set], index[set], signedAmount);
            if (extra == 0)
                break;
        }
    }

    void keepHold(std::int32_t deal, const std::array<std::int64_t, HoldCount> &total, unsigned best,
                  std::vector<std::pair<std::int32_t, std::uint32_t>> &tiedDeals)
    {
        std::uint32_t tied = 0;
        for (unsigned mask = 0; mask < HoldCount; ++mask) {
            if (holds.count[mask] == holds.count[best] && total[mask] == total[best])
                tied |= std::uint32_t(1) << mask;
        }
        const bool unique = tied == std::uint32_t(1) << best;
        m_classes.hold[deal] = unique ? std::uint8_t(best) : FreshDeckHolds::Classes::Tied;
        if (!unique)
            tiedDeals.emplace_back(deal, tied);
    }

    // The coefficients carried up to the four-card sets, and from there
    // into the outcome of every hand.
    void countFinalHands()
    {
        addFromSubsets<1>(m_played.coefficient.small[0], m_played.coefficient.small[1]);
        addFromSubsets<2>(m_played.coefficient.small[1], m_played.coefficient.small[2]);
        addFromSubsets<3>(m_played.coefficient.small[2], m_played.coefficient.small[3]);
        addFromSubsets<4>(m_played.coefficient.small[3], m_played.coefficient.four);
        std::vector<std::array<std::int64_t, OutcomeCount>> counted(static_cast<std::size_t>(m_parts));
        inParallel(m_parts, [&](int part) {
            std::array<std::int64_t, OutcomeCount> scaled{};
            const int first = shareStart<HandSize>(part, m_parts);
            std::int32_t hand = Choose[first][HandSize];
            forEachRun<HandSize>([&](const std::array<int, HandSize> &,
                                     const std::array<std::int32_t, HandSize> &lacking, int count) {
                const std::int64_t withoutLowest = m_played.coefficient.four[lacking[0]];
                for (int lowest = 0; lowest < count; ++lowest) {
                    std::int64_t sum = withoutLowest;
                    for (int j = 1; j < HandSize; ++j)
                        sum += m_played.coefficient.four[lacking[j] + lowest];
                    scaled[m_outcomeOf[hand++]] += sum;
                }
            }, first, shareStart<HandSize>(part + 1, m_parts));
            counted[part] = scaled;
        });
        for (const std::array<std::int64_t, OutcomeCount> &scaled : counted) {
            for (int o = 0; o < OutcomeCount; ++o)
                m_played.scaledOutcomes[o] += scaled[o];
        }
        for (int o = 0; o < OutcomeCount; ++o) {
            m_game.outcomes[o] = m_played.scaledOutcomes[o] / Scale;
            m_game.totalPay += m_game.outcomes[o] * m_pays[o];
        }
    }

    const int m_parts;
    const HandScores m_scores;
    const std::array<int, OutcomeCount> m_pays;
    std::vector<std::uint8_t> m_outcomeOf; // by the hand's colex index
    PayTotals m_pay;
    Terms m_played;
    std::array<std::int64_t, HandSize + 1> m_perDraw{}; // draws in the common denominator, by cards held
    FreshDeckHolds::Classes m_classes;
    GameReturn m_game;
};

} // namespace

GameReturn exactGameReturn(const PayTable &table, int threads)
{
    return GameSolver(table, false, threads).solve();
}

struct FreshDeckHolds::Pays
{
    PayTable table;
    PayTotals totals;
};

FreshDeckHolds::FreshDeckHolds(const PayTable &table)
{
    GameSolver solver(table, true, 0);
    solver.solve();
    m_classes = solver.takeClasses();
    m_pays = std::make_unique<const Pays>(Pays{table, solver.takePays()});
}

FreshDeckHolds::~FreshDeckHolds() = default;

std::array<HoldValue, HoldCount> FreshDeckHolds::values(const std::array<CardCode, HandSize> &hand) const
{
    // The cards in increasing order, each with the slot it came from.
    std::array<int, HandSize> sorted{};
    for (int slot = 0; slot < HandSize; ++slot)
        sorted[slot] = CardIndex(hand[slot]) * 8 + slot;
    std::sort(sorted.begin(), sorted.end());
    std::array<int, HandSize> cards{};
    for (int i = 0; i < HandSize; ++i)
        cards[i] = sorted[i] / 8;
    const DealHolds deal(cards, m_pays->totals, m_pays->table.pay(evaluateHand(hand, m_pays->table)));
    std::array<HoldValue, HoldCount> values;
    // The slots of the cards a mask over their order keeps, built from the
    // mask without its lowest card.
    std::array<unsigned, HoldCount> slotsOf{};
    for (unsigned mask = 1; mask < HoldCount; ++mask)
        slotsOf[mask] = slotsOf[mask & (mask - 1)] | 1u << (sorted[std::countr_zero(mask)] % 8);
    for (unsigned mask = 0; mask < HoldCount; ++mask) {
        HoldValue &value = values[slotsOf[mask]];
        value.mask = slotsOf[mask];
        value.draws = Choose[DeckSize - HandSize][HandSize - holds.count[mask]];
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
