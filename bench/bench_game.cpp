// Speed of the table: opening it, drawing faces, playing rounds, scoring,
// and the high-score file. Runs on the offscreen platform.
#include "model/deck.h"
#include "play/handscore.h"
#include "platform/soundoutput.h"
#include "records/scorefile.h"
#include "screens/cards.h"

#include <QApplication>
#include <QTemporaryDir>

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

// Construction of the window with its whole load sequence: layout, glyphs,
// court panels, card backs.
void BM_OpenTable(benchmark::State &state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(quietTable());
}
BENCHMARK(BM_OpenTable)->Unit(benchmark::kMillisecond);

// The load sequence alone, on a window that exists already.
void BM_FormLoad(benchmark::State &state)
{
    auto table = quietTable();
    for (auto _ : state)
        table->Form_Load();
}
BENCHMARK(BM_FormLoad)->Unit(benchmark::kMillisecond);

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

// Three presses of DEAL: deal, draw and pay, turn down.
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

void BM_ScoreHand(benchmark::State &state)
{
    const std::array<CardCode, HandSize> hands[] = {
        {{{8, 3}, {9, 3}, {10, 3}, {11, 3}, {12, 3}}},
        {{{0, 0}, {0, 1}, {5, 2}, {5, 3}, {9, 0}}},
        {{{1, 0}, {3, 1}, {5, 0}, {7, 3}, {11, 0}}},
    };
    std::size_t i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(scoreHand(hands[i++ % 3]));
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
