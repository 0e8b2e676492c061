#include "simulation.h"

#include "gamereturn.h"
#include "model/deck.h"
#include "model/randomsource.h"

#include <algorithm>
#include <atomic>
#include <bit>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace {

// The finaliser of SplitMix64: a well-mixed 64-bit value of any input.
constexpr std::uint64_t mixBits(std::uint64_t z)
{
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
    return z ^ (z >> 31);
}

// The numbers for one card, a SplitMix64 sequence of its own, made into
// floats exactly as the table's source makes them. A card's numbers depend
// only on which deck it comes from (the reshuffles so far) and how many
// cards that deck dealt before it. Since a deck's marks are exactly the
// cards it dealt, two games of a stream then deal the same cards in the
// same order from every deck, whatever they hold: they play the same
// shuffled decks.
class CardRandom final : public RandomSource
{
public:
    explicit CardRandom(std::uint64_t streamKey)
        : m_streamKey(streamKey)
    {
    }

    void start(std::int64_t deck, int dealtBefore)
    {
        m_state = mixBits(m_streamKey ^ mixBits(std::uint64_t(deck) * 64 + std::uint64_t(dealtBefore)));
    }

    void Randomize() override {}
    float next() override
    {
        m_state += 0x9E3779B97F4A7C15u;
        return unitFromBits(std::uint32_t(mixBits(m_state) >> 32));
    }

private:
    std::uint64_t m_streamKey;
    std::uint64_t m_state = 0;
};

// One player at the table, holding by one strategy: its own deck, from the
// first press of DEAL, which reshuffles.
class TableGame
{
public:
    TableGame(std::uint64_t streamKey, Strategy strategy)
        : m_random(streamKey)
        , m_deck(m_random)
        , m_strategy(strategy)
    {
        m_deck.reshuffle();
    }
    TableGame(const TableGame &) = delete;
    TableGame &operator=(const TableGame &) = delete;

    // How many decks this game has gone through, counting the current one.
    std::int64_t decks() const { return m_decks; }

    Outcome play(const PayTable &table, const FreshDeckHolds &fresh, bool reshuffleFirst)
    {
        if (reshuffleFirst)
            m_deck.reshuffle();
        else
            m_deck.reshuffleIfRunningLow();
        if (m_deck.dealtcount() == 0)
            ++m_decks;
        // The deck asks about each slot just before it draws into it.
        auto drawsInto = [this](bool held) {
            if (!held)
                m_random.start(m_decks, m_deck.dealtcount());
            return held;
        };
        m_deck.deal([&](int) { return drawsInto(false); });
        const unsigned hold = chooseHold(table, fresh);
        m_deck.deal([&](int slot) { return drawsInto(((hold >> (slot - 1)) & 1u) != 0); });
        return evaluateHand(m_deck.handCards(), table);
    }

private:
    unsigned chooseHold(const PayTable &table, const FreshDeckHolds &fresh) const
    {
        const std::array<CardCode, HandSize> hand = m_deck.handCards();
        if (m_strategy == Strategy::FreshDeck)
            return fresh.bestHold(hand);
        const CardSet left = m_deck.undealtCards();
        // Only the hand is out: the deck is fresh, and the look-up knows.
        if (std::popcount(left) == RankCount * SuitCount - HandSize)
            return fresh.bestHold(hand);
        return bestHold(analyseHolds(hand, left, table));
    }

    CardRandom m_random;
    Deck m_deck;
    Strategy m_strategy;
    std::int64_t m_decks = 0;
};

struct Stream
{
    std::int64_t hands = 0;
    std::int64_t decksPerBatch = 1;
    SimulationResult result;
};

void playStream(const PayTable &table, const FreshDeckHolds &fresh, const SimulationSettings &settings,
                std::uint64_t streamKey, Stream &stream, std::atomic<std::int64_t> &played)
{
    TableGame deckAsItIs(streamKey, Strategy::DeckAsItIs);
    TableGame freshDeck(streamKey, Strategy::FreshDeck);
    const std::array<TableGame *, StrategyCount> games = {&deckAsItIs, &freshDeck};
    SimulationResult &result = stream.result;
    constexpr std::int64_t ReportEvery = 1000;
    for (std::int64_t hand = 0; hand < stream.hands; ++hand) {
        for (int s = 0; s < StrategyCount; ++s) {
            TableGame &game = *games[std::size_t(s)];
            const Outcome outcome = game.play(table, fresh, settings.reshuffleEveryHand);
            const auto batch = std::size_t((game.decks() - 1) / stream.decksPerBatch);
            if (batch >= result.batches.size())
                result.batches.resize(batch + 1);
            ++result.batches[batch].hands[std::size_t(s)];
            result.batches[batch].pay[std::size_t(s)] += table.pay(outcome);
            ++result.outcomes[std::size_t(s)][std::size_t(outcome)];
        }
        if ((hand + 1) % ReportEvery == 0)
            played += ReportEvery;
    }
    played += stream.hands % ReportEvery;
    result.hands = stream.hands;
}

// Return per hand of one strategy over all batches, and how far a batch's
// pay strays from it: the batch's part in the spread of the mean.
struct BatchRatio
{
    BatchRatio(const std::vector<SimulationResult::Batch> &batches, Strategy strategy)
        : s(std::size_t(strategy))
    {
        std::int64_t pay = 0;
        for (const SimulationResult::Batch &batch : batches) {
            hands += batch.hands[s];
            pay += batch.pay[s];
        }
        value = hands ? double(pay) / double(hands) : 0.0;
        handsPerBatch = batches.empty() ? 0.0 : double(hands) / double(batches.size());
    }
    double deviation(const SimulationResult::Batch &batch) const
    {
        return (double(batch.pay[s]) - value * double(batch.hands[s])) / handsPerBatch;
    }

    std::size_t s;
    std::int64_t hands = 0;
    double value = 0;
    double handsPerBatch = 0;
};

// A mean over batches, with the interval from the batches' deviations.
template <typename Deviation>
Estimate estimate(double value, const std::vector<SimulationResult::Batch> &batches, Deviation deviation)
{
    Estimate result{value, std::nan("")};
    const auto count = double(batches.size());
    if (batches.size() < 2)
        return result;
    double squares = 0;
    for (const SimulationResult::Batch &batch : batches)
        squares += deviation(batch) * deviation(batch);
    result.halfWidth = 1.96 * std::sqrt(squares / (count * (count - 1)));
    return result;
}

} // namespace

Estimate SimulationResult::returnOf(Strategy strategy) const
{
    const BatchRatio ratio(batches, strategy);
    return estimate(ratio.value, batches, [&](const Batch &batch) { return ratio.deviation(batch); });
}

Estimate SimulationResult::advantage() const
{
    const BatchRatio asItIs(batches, Strategy::DeckAsItIs);
    const BatchRatio fresh(batches, Strategy::FreshDeck);
    return estimate(asItIs.value - fresh.value, batches,
                    [&](const Batch &batch) { return asItIs.deviation(batch) - fresh.deviation(batch); });
}

GameSimulation::GameSimulation(const PayTable &table)
    : m_table(table)
    , m_fresh(std::make_unique<const FreshDeckHolds>(table))
{
}

GameSimulation::~GameSimulation() = default;

SimulationResult GameSimulation::run(const SimulationSettings &settings,
                                     const std::function<void(std::int64_t handsPlayed)> &progress) const
{
    const int threads = std::max(1, settings.threads);
    std::vector<Stream> streams(static_cast<std::size_t>(threads));
    for (int t = 0; t < threads; ++t) {
        Stream &stream = streams[std::size_t(t)];
        stream.hands = settings.hands * (t + 1) / threads - settings.hands * t / threads;
        // A deck lasts about five hands: batches of up to 200 decks, a
        // hundred or more of them per stream.
        stream.decksPerBatch = std::clamp<std::int64_t>(stream.hands / 500, 1, 200);
    }

    std::atomic<std::int64_t> played = 0;
    std::mutex mutex;
    std::condition_variable done;
    int finished = 0;
    {
        std::vector<std::jthread> workers;
        for (int t = 0; t < threads; ++t) {
            workers.emplace_back([&, t] {
                const std::uint64_t streamKey = mixBits(settings.seed ^ mixBits(std::uint64_t(t) + 1));
                playStream(m_table, *m_fresh, settings, streamKey, streams[std::size_t(t)], played);
                const std::lock_guard lock(mutex);
                ++finished;
                done.notify_one();
            });
        }
        std::unique_lock lock(mutex);
        while (finished < threads) {
            done.wait_for(lock, std::chrono::milliseconds(250));
            if (progress) {
                lock.unlock();
                progress(played);
                lock.lock();
            }
        }
    }

    SimulationResult merged;
    for (const Stream &stream : streams) {
        merged.hands += stream.result.hands;
        for (int s = 0; s < StrategyCount; ++s) {
            for (int o = 0; o < OutcomeCount; ++o)
                merged.outcomes[std::size_t(s)][std::size_t(o)] += stream.result.outcomes[std::size_t(s)][std::size_t(o)];
        }
        merged.batches.insert(merged.batches.end(), stream.result.batches.begin(), stream.result.batches.end());
    }
    return merged;
}
