#pragma once

#include "model/cardset.h"
#include "model/paytable.h"

class CountRules;
class FreshDeckHolds;
class StrategyChart;

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

struct SimulationSettings
{
    std::int64_t hands = 1000000;
    std::uint64_t seed = 1;
    int threads = 1;
    // Reshuffles before every hand instead of once more than
    // Deck::ReshuffleAfter cards were drawn.
    bool reshuffleEveryHand = false;
    // The ways of holding to play, each on the same decks.
    unsigned strategies = DeckAsItIsAndFreshDeck;
    static constexpr unsigned DeckAsItIsAndFreshDeck = 0b11;
};

// The ways of holding the simulation compares on the same deals.
enum class Strategy {
    DeckAsItIs,     // the best hold for the cards really left in the deck
    FreshDeck,      // the hold that would be best on a fresh deck
    Chart,          // the strategy chart's pick
    ChartWithCount, // the chart's pick, changed by the count rules
};
inline constexpr int StrategyCount = 4;
constexpr unsigned strategyBit(Strategy strategy)
{
    return 1u << int(strategy);
}

// A mean and the half width of its 95 % confidence interval; the width is
// not a number when too few hands were played to tell.
struct Estimate
{
    double value = 0;
    double halfWidth = 0;
};

struct SimulationResult
{
    // The hands each strategy played in one block (see GameSimulation),
    // and what they paid. Every block starts the game afresh, so batches
    // are independent, and the intervals are worked out from their spread;
    // both strategies' batches hold the same decks, so their difference
    // varies far less than each of them.
    struct Batch
    {
        std::array<std::int64_t, StrategyCount> hands{};
        std::array<std::int64_t, StrategyCount> pay{};
    };

    std::int64_t hands = 0; // by each strategy played
    unsigned strategies = 0; // those played, by strategyBit
    std::array<std::array<std::int64_t, OutcomeCount>, StrategyCount> outcomes{};
    std::vector<Batch> batches;

    bool played(Strategy strategy) const { return strategies & strategyBit(strategy); }
    // Return per credit bet.
    Estimate returnOf(Strategy strategy) const;
    // Return of `better` less that of `worse`, from the same decks.
    Estimate difference(Strategy better, Strategy worse) const;
    // Return of DeckAsItIs less that of FreshDeck.
    Estimate advantage() const { return difference(Strategy::DeckAsItIs, Strategy::FreshDeck); }
};

// Sees a hand as it is dealt, with the cards then left in the deck, on
// the thread (numbered from 0) that plays it.
using HandWatch = std::function<void(int thread, const std::array<CardCode, HandSize> &hand, CardSet left)>;

// The table's game played with a pay table: settings.hands hands, once
// with each strategy. The hands are dealt in blocks of a fixed size, each
// from the first press of DEAL on, with decks shuffled by keys made from
// the seed, the block's number and the deck's number alone; the threads
// share out the blocks and their figures are added in block order. So
// every strategy plays through the same decks, and the same seed and
// number of hands give the same figures on any number of threads.
class GameSimulation
{
public:
    // Solves the game on a fresh deck first, for the look-up of its holds.
    // The chart and the count rules, where given, are those that
    // Strategy::Chart and Strategy::ChartWithCount play; they must outlive
    // the simulation.
    explicit GameSimulation(const PayTable &table, const StrategyChart *chart = nullptr,
                            const CountRules *countRules = nullptr);
    ~GameSimulation();

    // Plays the strategies of `settings` that it has what they need for.
    // `progress`, where given, is called on the calling thread now and then
    // with the number of hands played so far; `watch`, where given, sees
    // every hand the first strategy played is dealt.
    SimulationResult run(const SimulationSettings &settings,
                         const std::function<void(std::int64_t handsPlayed)> &progress = {},
                         const HandWatch &watch = {}) const;

private:
    PayTable m_table;
    std::unique_ptr<const FreshDeckHolds> m_fresh;
    const StrategyChart *m_chart;
    const CountRules *m_countRules;
};
