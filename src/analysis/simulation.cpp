#include "simulation.h"

#include "countrules.h"
#include "freshdeckholds.h"
#include "model/deck.h"
#include "shuffleddeck.h"

#include <algorithm>
#include <atomic>
#include <bit>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace {

// Hands are played in blocks of a fixed size, each from a new game with a
// seed of its own, so that the figures depend on the seed and the number
// of hands but not on how many threads share the blocks. Blocks of at
// least this many hands keep the cut-off last deck of each block rare.
constexpr std::int64_t SmallestBlock = 1000;
// Each block keeps its own figures until all are added; this many at most.
constexpr std::int64_t MostBlocks = 10000;

// What one thread's games show of the hands the first strategy is dealt.
using ThreadWatch = std::function<void(const std::array<CardCode, HandSize> &hand, CardSet left)>;
const ThreadWatch NoWatch;

// What the strategies hold by.
struct Guides
{
    const PayTable &table;
    const FreshDeckHolds &fresh;
    const StrategyChart *chart;
    const CountRules *countRules;
};

// One player at the table, holding by one strategy, from the first press
// of DEAL of a block on. Its n-th deck of a block is shuffled by a key of
// the block and n alone, so every strategy plays through the same decks.
class TableGame
{
public:
    TableGame(const Guides &guides, Strategy strategy)
        : m_guides(guides)
        , m_strategy(strategy)
    {
    }

    void startBlock(std::uint64_t blockKey)
    {
        m_blockKey = blockKey;
        m_decks = 0;
    }

    Outcome play(bool reshuffleFirst, const ThreadWatch &watch)
    {
        if (m_decks == 0 || reshuffleFirst || m_deck.dealtCount() > Deck::ReshuffleAfter)
            m_deck.shuffle(mixBits(m_blockKey ^ mixBits(std::uint64_t(++m_decks))));
        for (CardCode &card : m_hand)
            card = cardAt(m_deck.deal());
        if (watch)
            watch(m_hand, m_deck.left());
        const unsigned hold = chooseHold();
        for (int slot = 0; slot < HandSize; ++slot) {
            if (!(hold & (1u << slot)))
                m_hand[slot] = cardAt(m_deck.deal());
        }
        return evaluateHand(m_hand, m_guides.table);
    }

private:
    static CardCode cardAt(int index) { return {qint16(index / SuitCount), qint16(index % SuitCount)}; }

    unsigned chooseHold() const
    {
        switch (m_strategy) {
        case Strategy::Chart: return m_guides.chart->pick(m_hand).hold;
        case Strategy::ChartWithCount: return m_guides.countRules->pick(m_hand, m_deck.left()).pick.hold;
        case Strategy::FreshDeck: return m_guides.fresh.bestHold(m_hand);
        case Strategy::DeckAsItIs: break;
        }
        // With only the hand dealt the deck is fresh, and the look-up knows.
        if (m_deck.dealtCount() == HandSize)
            return m_guides.fresh.bestHold(m_hand);
        return bestHold(valueHolds(m_hand, m_deck.left(), m_guides.table));
    }

    const Guides &m_guides;
    const Strategy m_strategy;
    ShuffledDeck m_deck;
    std::array<CardCode, HandSize> m_hand{};
    std::uint64_t m_blockKey = 0;
    std::int64_t m_decks = 0;
};

// What one block of hands came to.
struct Block
{
    SimulationResult::Batch batch;
    std::array<std::array<std::int64_t, OutcomeCount>, StrategyCount> outcomes{};
};

// Plays the blocks a shared counter hands out until none is left.
void playBlocks(const Guides &guides, const SimulationSettings &settings, unsigned strategies, std::int64_t blockHands,
                std::vector<Block> &blocks, std::atomic<std::int64_t> &nextBlock, std::atomic<std::int64_t> &played,
                const ThreadWatch &watch)
{
    std::vector<std::pair<int, TableGame>> games;
    for (int s = 0; s < StrategyCount; ++s) {
        if (strategies & strategyBit(Strategy(s)))
            games.emplace_back(s, TableGame(guides, Strategy(s)));
    }
    const std::array<int, OutcomeCount> pays = guides.table.pays();
    const auto blockCount = std::int64_t(blocks.size());
    for (std::int64_t b = nextBlock++; b < blockCount; b = nextBlock++) {
        const std::int64_t hands = std::min(blockHands, settings.hands - b * blockHands);
        Block &block = blocks[b];
        for (auto &[s, game] : games) {
            game.startBlock(mixBits(settings.seed ^ mixBits(std::uint64_t(b) + 1)));
            const bool watched = &game == &games.front().second;
            for (std::int64_t hand = 0; hand < hands; ++hand) {
                const Outcome outcome = game.play(settings.reshuffleEveryHand, watched ? watch : NoWatch);
                block.batch.pay[s] += pays[outcome];
                ++block.outcomes[s][outcome];
            }
            block.batch.hands[s] = hands;
        }
        played += hands;
    }
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

Estimate SimulationResult::difference(Strategy better, Strategy worse) const
{
    const BatchRatio one(batches, better);
    const BatchRatio other(batches, worse);
    return estimate(one.value - other.value, batches,
                    [&](const Batch &batch) { return one.deviation(batch) - other.deviation(batch); });
}

GameSimulation::GameSimulation(const PayTable &table, const StrategyChart *chart, const CountRules *countRules)
    : m_table(table)
    , m_fresh(std::make_unique<const FreshDeckHolds>(table))
    , m_chart(chart)
    , m_countRules(countRules)
{
}

GameSimulation::~GameSimulation() = default;

SimulationResult GameSimulation::run(const SimulationSettings &settings,
                                     const std::function<void(std::int64_t handsPlayed)> &progress,
                                     const HandWatch &watch) const
{
    unsigned strategies = settings.strategies;
    if (!m_chart)
        strategies &= ~strategyBit(Strategy::Chart);
    if (!m_countRules)
        strategies &= ~strategyBit(Strategy::ChartWithCount);
    const Guides guides{m_table, *m_fresh, m_chart, m_countRules};
    const std::int64_t blockHands = std::max(SmallestBlock, (settings.hands + MostBlocks - 1) / MostBlocks);
    std::vector<Block> blocks(std::size_t((settings.hands + blockHands - 1) / blockHands));
    const int threads = int(std::clamp<std::int64_t>(settings.threads, 1, std::int64_t(blocks.size())));

    std::atomic<std::int64_t> nextBlock = 0;
    std::atomic<std::int64_t> played = 0;
    std::mutex mutex;
    std::condition_variable done;
    int finished = 0;
    {
        std::vector<std::jthread> workers;
        for (int t = 0; t < threads; ++t) {
            workers.emplace_back([&, t] {
                ThreadWatch watchHere;
                if (watch)
                    watchHere = [&](const std::array<CardCode, HandSize> &hand, CardSet left) { watch(t, hand, left); };
                playBlocks(guides, settings, strategies, blockHands, blocks, nextBlock, played, watchHere);
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

    // Each block is a batch of its own: blocks start from a new game, so
    // they are independent, and both strategies play the same decks in it.
    SimulationResult merged;
    for (const Block &block : blocks) {
        merged.batches.push_back(block.batch);
        for (int s = 0; s < StrategyCount; ++s) {
            for (int o = 0; o < OutcomeCount; ++o)
                merged.outcomes[s][o] += block.outcomes[s][o];
        }
    }
    merged.hands = settings.hands;
    merged.strategies = strategies;
    return merged;
}
