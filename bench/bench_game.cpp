// Speed of the table: opening it, drawing faces, playing rounds, scoring,
// the high-score file, the exact analysis and the simulated game. Runs on
// the offscreen platform.
#include "analysis/freshdeckholds.h"
#include "analysis/gamereturn.h"
#include "analysis/holdadvisor.h"
#include "analysis/simulation.h"
#include "model/deck.h"
#include "play/round.h"
#include "platform/soundoutput.h"
#include "records/scorefile.h"
#include "referenceholds.h"
#include "screens/table/cards.h"
#include "screens/trainerpanel.h"
#include "trainer/trainer.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <numeric>
#include <random>

#include <benchmark/benchmark.h>

namespace {

class SilentOutput final : public SoundOutput
{
public:
    void play(const QUrl &, int) override {}
};

std::unique_ptr<cards> quietTable()
{
    auto table = std::make_unique<cards>();
    table->MediaPlayer1.setOutput(std::make_unique<SilentOutput>());
    return table;
}

// Construction of the window with its load sequence: the layout and the
// controls. The face sources and the card backs are made when first needed,
// and are not counted.
void BM_OpenTable(benchmark::State &state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(quietTable());
}
BENCHMARK(BM_OpenTable)->Unit(benchmark::kMillisecond);

// One face, cycling through all 52 codes.
void BM_MakeCard(benchmark::State &state)
{
    auto table = quietTable();
    table->Picturecard[0]->setPicture(nullptr);
    int code = 0;
    for (auto _ : state) {
        table->makecard(code % RankCount, code / RankCount % SuitCount, 0);
        ++code;
    }
}
BENCHMARK(BM_MakeCard)->Unit(benchmark::kMicrosecond);

void BM_DealFiveCards(benchmark::State &state)
{
    ClockRandom random;
    random.Randomize();
    Deck deck(random);
    for (auto _ : state) {
        if (deck.markedCount() > 41)
            deck.shuffle();
        deck.deal([](int) { return false; });
    }
}
BENCHMARK(BM_DealFiveCards)->Unit(benchmark::kNanosecond);

// Three presses of DEAL on the round alone: deal, draw and pay, turn down.
void BM_WholeRoundModel(benchmark::State &state)
{
    auto random = std::make_unique<ClockRandom>();
    random->Randomize();
    Round round(std::move(random));
    for (auto _ : state) {
        round.pressDeal();
        round.pressDeal();
        round.pressDeal();
    }
}
BENCHMARK(BM_WholeRoundModel)->Unit(benchmark::kMicrosecond);

// The trainer's work on a deal (every hold valued on the deck as it is,
// the best hold on a fresh deck beside it, and the words on the deck's
// effect) and on a draw (the result named, the mistake check, the
// session), with the round's own presses timed apart. The deck runs down
// over the rounds as the table's does.
void BM_TrainerPerDeal(benchmark::State &state)
{
    auto random = std::make_unique<ClockRandom>();
    random->Randomize();
    Round round(std::move(random));
    Trainer trainer(round);
    for (auto _ : state) {
        round.pressDeal();
        benchmark::DoNotOptimize(trainer.judgement()->deckEffectText());
        state.PauseTiming();
        round.pressDeal();
        round.pressDeal();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_TrainerPerDeal)->Unit(benchmark::kMicrosecond);

void BM_TrainerPerDraw(benchmark::State &state)
{
    auto random = std::make_unique<ClockRandom>();
    random->Randomize();
    Round round(std::move(random));
    Trainer trainer(round);
    for (auto _ : state) {
        state.PauseTiming();
        round.pressDeal();
        round.toggleHold(0);
        state.ResumeTiming();
        round.pressDeal();
        state.PauseTiming();
        round.pressDeal();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_TrainerPerDraw)->Unit(benchmark::kMicrosecond);

// The trainer's panel brought up to date after a deal and painted whole
// (into an image, which paints every section), over 1,000 deals: the
// median and the worst, in microseconds.
void BM_PanelAfterDeal(benchmark::State &state)
{
    auto table = quietTable();
    table->setTraining(false);
    table->setTrainerShown(true);
    std::vector<double> times;
    for (auto _ : state) {
        table->Command1_Click();
        QElapsedTimer clock;
        clock.start();
        table->panel->refresh();
        benchmark::DoNotOptimize(table->panel->grab());
        times.push_back(double(clock.nsecsElapsed()) / 1000.0);
        table->Command1_Click();
        table->Command1_Click();
    }
    std::sort(times.begin(), times.end());
    state.counters["median_us"] = times[times.size() / 2];
    state.counters["worst_us"] = times.back();
}
BENCHMARK(BM_PanelAfterDeal)->Iterations(1000)->Unit(benchmark::kMillisecond);

// Three presses of DEAL on the table, with every card drawn.
void BM_WholeRound(benchmark::State &state)
{
    auto table = quietTable();
    for (auto _ : state) {
        table->Command1_Click();
        table->Command1_Click();
        table->Command1_Click();
    }
}
BENCHMARK(BM_WholeRound)->Unit(benchmark::kMillisecond);

// Random deals with a fixed seed: the hand itself and the cards besides it
// that are gone from the deck.
std::vector<std::pair<std::array<CardCode, HandSize>, CardSet>> randomDeals(int count, int gone)
{
    std::mt19937 random(7);
    std::vector<std::pair<std::array<CardCode, HandSize>, CardSet>> deals;
    for (int i = 0; i < count; ++i) {
        std::vector<int> cards(52);
        std::iota(cards.begin(), cards.end(), 0);
        std::shuffle(cards.begin(), cards.end(), random);
        std::array<CardCode, HandSize> hand;
        CardSet deck = FullDeck;
        for (int j = 0; j < HandSize + gone; ++j) {
            const CardCode card{qint16(cards[j] / 4), qint16(cards[j] % 4)};
            if (j < HandSize)
                hand[j] = card;
            deck &= ~cardBit(card);
        }
        deals.emplace_back(hand, deck);
    }
    return deals;
}

// The table's scoring of a final hand, over random hands.
void BM_ScoreHand(benchmark::State &state)
{
    const auto deals = randomDeals(4096, 0);
    std::size_t i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(evaluateHand(deals[i++ % deals.size()].first, Round::payTable()));
}
BENCHMARK(BM_ScoreHand);

void BM_ReadScoreFile(benchmark::State &state)
{
    QTemporaryDir dir;
    const ScoreFile file(dir.filePath(QStringLiteral("name2.dat")));
    QString error;
    file.write(ScoreFile::defaultTable(), &error);
    for (auto _ : state)
        benchmark::DoNotOptimize(file.read());
}
BENCHMARK(BM_ReadScoreFile)->Unit(benchmark::kMicrosecond);

void BM_WriteScoreFile(benchmark::State &state)
{
    QTemporaryDir dir;
    const ScoreFile file(dir.filePath(QStringLiteral("name2.dat")));
    const scoretable table = ScoreFile::defaultTable();
    QString error;
    for (auto _ : state)
        benchmark::DoNotOptimize(file.write(table, &error));
}
BENCHMARK(BM_WriteScoreFile)->Unit(benchmark::kMicrosecond);

// Advice for one hand: all 32 holds, exactly, with state.range(0) cards
// gone from the deck besides the hand.
template <auto analyse>
void adviseHands(benchmark::State &state)
{
    const PayTable table = PayTable::game();
    const auto deals = randomDeals(4096, int(state.range(0)));
    std::size_t i = 0;
    for (auto _ : state) {
        const auto &[hand, deck] = deals[i++ % deals.size()];
        benchmark::DoNotOptimize(bestHold(analyse(hand, deck, table)));
    }
}

void BM_AdviseHand(benchmark::State &state)
{
    adviseHands<valueHolds>(state);
}

// Advice on a fresh deck from the pay totals that solving the game leaves.
void BM_AdviseHandFreshDeck(benchmark::State &state)
{
    const FreshDeckHolds fresh(PayTable::game());
    const auto deals = randomDeals(4096, 0);
    std::size_t i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(bestHold(fresh.values(deals[i++ % deals.size()].first)));
}
BENCHMARK(BM_AdviseHandFreshDeck)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_AdviseHand)->Arg(0)->Arg(20)->Arg(41)->Unit(benchmark::kMicrosecond);

// The same with every outcome counted, as the trainer's list of holds shows them.
void BM_AnalyseHolds(benchmark::State &state)
{
    adviseHands<analyseHolds>(state);
}
BENCHMARK(BM_AnalyseHolds)->Arg(0)->Arg(20)->Arg(41)->Unit(benchmark::kMicrosecond);

// The same with the first engine, which the tests keep as their check.
void BM_AdviseHandReference(benchmark::State &state)
{
    adviseHands<referenceHolds>(state);
}
BENCHMARK(BM_AdviseHandReference)->Arg(0)->Arg(20)->Arg(41)->Unit(benchmark::kMicrosecond);

// The exact return on state.range(0) threads, in wall time.
void BM_ExactGameReturn(benchmark::State &state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(exactGameReturn(PayTable::game(), int(state.range(0))));
}
BENCHMARK(BM_ExactGameReturn)->ArgName("threads")->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

// The simulated game, state.range(0) threads: hands per second, each hand
// played once with each strategy. With state.range(1) every hand gets a
// fresh deck, so no hand needs the advisor: what the game costs around it.
void BM_SimulateGame(benchmark::State &state)
{
    const GameSimulation game(PayTable::game());
    SimulationSettings settings;
    settings.threads = int(state.range(0));
    settings.reshuffleEveryHand = state.range(1) != 0;
    settings.hands = settings.reshuffleEveryHand ? 200000 : 20000;
    for (auto _ : state) {
        benchmark::DoNotOptimize(game.run(settings));
        ++settings.seed;
    }
    state.counters["hands/s"] = benchmark::Counter(double(settings.hands), benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_SimulateGame)
    ->ArgsProduct({{1, 2}, {0, 1}})
    ->ArgNames({"threads", "fresh"})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
