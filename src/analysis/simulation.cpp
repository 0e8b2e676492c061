#include "simulation.h"

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

// One player at the table, holding by one strategy, from the first press
// of DEAL of a block on. Its n-th deck of a block is shuffled by a key of
// the block and n alone, so both strategies play through the same decks.
class TableGame
{
public:
    TableGame(const PayTable &table, const FreshDeckHolds &fresh, Strategy strategy)
        : m_table(table)
        , m_fresh(fresh)
        , m_strategy(strategy)
    {
    }

    void startBlock(std::uint64_t blockKey)
    {
        m_blockKey = blockKey;
        m_decks = 0;
    }

    Outcome play(bool reshuffleFirst)
    {
        if (m_decks == 0 || reshuffleFirst || m_deck.dealtCount() > Deck::ReshuffleAfter)
            m_deck.shuffle(mixBits(m_blockKey ^ mixBits(std::uint64_t(++m_decks))));
        for (CardCode &card : m_hand)
            card = cardAt(m_deck.deal());
        const unsigned hold = chooseHold();
        for (int slot = 0; slot < HandSize; ++slot) {
            if (!(hold & (1u << slot)))
                m_hand[slot] = cardAt(m_deck.deal());
        }
        return evaluateHand(m_hand, m_table);
    }

private:
    static CardCode cardAt(int index) { return {qint16(index / SuitCount), qint16(index % SuitCount)}; }

    unsigned chooseHold() const
    {
        // With only the hand dealt the deck is fresh, and the look-up knows.
        if (m_strategy == Strategy::FreshDeck || m_deck.dealtCount() == HandSize)
            return m_fresh.bestHold(m_hand);
        return bestHold(valueHolds(m_hand, m_deck.left(), m_table));
    }

    const PayTable &m_table;
    const FreshDeckHolds &m_fresh;
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
void playBlocks(const PayTable &table, const FreshDeckHolds &fresh, const SimulationSettings &settings,
                std::int64_t blockHands, std::vector<Block> &blocks, std::atomic<std::int64_t> &nextBlock,
                std::atomic<std::int64_t> &played)
{
    std::array<TableGame, StrategyCount> games = {TableGame(table, fresh, Strategy::DeckAsItIs),
                                                  TableGame(table, fresh, Strategy::FreshDeck)};
    const std::array<int, OutcomeCount> pays = table.pays();
    const auto blockCount = std::int64_t(blocks.size());
    for (std::int64_t b = nextBlock++; b < blockCount; b = nextBlock++) {
        const std::int64_t hands = std::min(blockHands, settings.hands - b * blockHands);
        Block &block = blocks[b];
        for (int s = 0; s < StrategyCount; ++s) {
            TableGame &game = games[s];
            game.startBlock(mixBits(settings.seed ^ mixBits(std::uint64_t(b) + 1)));
            for (std::int64_t hand = 0; hand < hands; ++hand) {
                const Outcome outcome = game.play(settings.reshuffleEveryHand);
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
            workers.emplace_back([&] {
                playBlocks(m_table, *m_fresh, settings, blockHands, blocks, nextBlock, played);
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
    return merged;
}
