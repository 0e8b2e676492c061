// The hand history at the size a keen player reaches: the time the table
// spends recording a hand (median and 95th percentile, on an empty file
// and on one of a million hands), opening the history at the game's start,
// opening the review's model of every hand with the lifetime statistics,
// and the file's bytes per hand.
#include "history/handhistory.h"
#include "history/handlistmodel.h"
#include "historysample.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <algorithm>

namespace {

constexpr qint64 Million = 1000000;

QTemporaryDir &folder()
{
    static QTemporaryDir dir;
    return dir;
}

// A history of `hands` hands, made once and kept for every benchmark; the
// filling runs in one transaction, as no player's game ever would.
QString historyOf(qint64 hands)
{
    const QString path = folder().filePath(QStringLiteral("history-%1.sqlite").arg(hands));
    if (QFileInfo::exists(path))
        return path;
    HandHistory history;
    history.open(path);
    QSqlQuery(history.database()).exec(QStringLiteral("BEGIN"));
    QRandomGenerator random(1);
    for (qint64 i = 0; i < hands; ++i)
        history.record(sampleHand(random, 1 + i / 500, i * 1000));
    QSqlQuery sql(history.database());
    sql.exec(QStringLiteral("COMMIT"));
    sql.exec(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
    return path;
}

double percentile(std::vector<double> times, double share)
{
    std::sort(times.begin(), times.end());
    return times[std::size_t(share * double(times.size() - 1))];
}

void recordHand(benchmark::State &state)
{
    HandHistory history;
    if (!history.open(state.range(0) ? historyOf(state.range(0)) : folder().filePath(QStringLiteral("empty.sqlite")))) {
        state.SkipWithError(qPrintable(history.message()));
        return;
    }
    QRandomGenerator random(2);
    std::vector<double> micros;
    QElapsedTimer timer;
    for (auto _ : state) {
        const HandRecord hand = sampleHand(random, 0, 0);
        timer.start();
        history.record(hand);
        micros.push_back(double(timer.nsecsElapsed()) / 1000.0);
    }
    state.counters["median_us"] = percentile(micros, 0.5);
    state.counters["p95_us"] = percentile(micros, 0.95);
    state.counters["max_us"] = percentile(micros, 1.0);
}
BENCHMARK(recordHand)->Arg(0)->Arg(Million)->Iterations(5000)->Unit(benchmark::kMicrosecond);

// What the review window does when it opens: a model of every hand, newest
// first, and the lifetime figures.
void openReviewWithLifetimeStatistics(benchmark::State &state)
{
    HandHistory history;
    history.open(historyOf(Million));
    for (auto _ : state) {
        HandListModel model(history);
        model.setQuery({});
        const HistoryStats stats = history.stats().value;
        benchmark::DoNotOptimize(model.rowCount() + stats.hands);
    }
}
BENCHMARK(openReviewWithLifetimeStatistics)->Unit(benchmark::kMillisecond);

// The list of every hand as the review shows it: the hand in its first
// row, or with "End" its last, once the list is asked for.
QModelIndex shownRow(HandListModel &model, bool atEnd)
{
    return model.index(atEnd ? model.rowCount() - 1 : 0, 0);
}

// Each thing a player does in the review of a million hands, timed alone
// from the click to the row the list shows first: opening it, changing
// its order or filter, going to its end, choosing a hand on the screen.
// The median and the worst of the repetitions.
void reviewAction(benchmark::State &state)
{
    HandHistory history;
    history.open(historyOf(Million));
    const auto order = HandQuery::Order(state.range(0));
    const bool mistakesOnly = state.range(1) & 1;
    const bool atEnd = state.range(1) & 2;
    const qint64 session = state.range(1) & 4 ? Million / 500 : 0;
    HandListModel model(history);
    std::vector<double> millis;
    QElapsedTimer timer;
    for (auto _ : state) {
        timer.start();
        model.setQuery({.session = session, .mistakesOnly = mistakesOnly, .order = order});
        benchmark::DoNotOptimize(model.data(shownRow(model, atEnd)));
        millis.push_back(double(timer.nsecsElapsed()) / 1e6);
        model.setQuery({.session = 1});
    }
    state.counters["median_ms"] = percentile(millis, 0.5);
    state.counters["max_ms"] = percentile(millis, 1.0);
}
// Orders: newest, costliest, best final hand; then 1 mistakes only, 2 the
// list's end, 4 the last session alone.
BENCHMARK(reviewAction)
    ->ArgsProduct({{0, 1, 2}, {0, 1, 2, 3, 4, 5}})
    ->ArgNames({"order", "how"})
    ->Iterations(5)
    ->Unit(benchmark::kMillisecond);

// Choosing a hand on the screen: its row read back whole.
void reviewChooseHand(benchmark::State &state)
{
    HandHistory history;
    history.open(historyOf(Million));
    HandListModel model(history);
    model.setQuery({});
    int row = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(model.hand(row++ % 40).record.bet);
}
BENCHMARK(reviewChooseHand)->Unit(benchmark::kMicrosecond);

// Opening at the game's start, with the check that SQLite finds every page
// of the file sound before anything is written to it.
void openHistory(benchmark::State &state)
{
    const QString path = historyOf(Million);
    for (auto _ : state) {
        HandHistory history;
        if (!history.open(path))
            state.SkipWithError(qPrintable(history.message()));
    }
}
BENCHMARK(openHistory)->Unit(benchmark::kMillisecond);

void bytesPerHand(benchmark::State &state)
{
    const QString path = historyOf(Million);
    for (auto _ : state)
        benchmark::DoNotOptimize(QFileInfo(path).size());
    state.counters["bytes_per_hand"] = double(QFileInfo(path).size()) / double(Million);
}
BENCHMARK(bytesPerHand)->Iterations(1);

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
