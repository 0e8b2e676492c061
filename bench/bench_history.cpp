// The hand history at the size a keen player reaches: the time the table
// spends recording a hand (median and 95th percentile, on an empty file
// and on one of a million hands), opening the history at the game's start,
// opening the review's model of every hand with the lifetime statistics,
// the file's bytes per hand, and the review's long work on a million
// hands: exporting them all (time and the memory it takes) and deleting
// them all (time, and the file's size before and after).
#include "history/handhistory.h"
#include "history/handlistmodel.h"
#include "history/historyjob.h"
#include "historysample.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
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

// A figure of /proc/self/status, in MB.
double statusMb(const char *name)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (QByteArray line; !(line = status.readLine()).isEmpty();) {
        if (line.startsWith(name))
            return line.mid(qstrlen(name) + 1).trimmed().split(' ').first().toDouble() / 1024.0;
    }
    return 0;
}

// The most memory the process takes from now on is measured from here.
void resetPeakMemory()
{
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5");
}

// Runs a job to its end; `lastStep` is given the time to its last step.
HistoryJob::Result runToEnd(HistoryJob *job, double *lastStep = nullptr)
{
    const std::unique_ptr<HistoryJob> owned(job);
    HistoryJob::Result result;
    QEventLoop loop;
    QElapsedTimer timer;
    QObject::connect(job, &HistoryJob::progressed, job, [&](qint64 done, qint64 total) {
        if (lastStep && done == total)
            *lastStep = double(timer.elapsed()) / 1000.0;
    });
    QObject::connect(job, &HistoryJob::finished, job, [&](const HistoryJob::Result &ended) {
        result = ended;
        loop.quit();
    });
    timer.start();
    job->start();
    loop.exec();
    return result;
}

// Every hand to CSV, in each order the review offers.
void exportMillionHands(benchmark::State &state)
{
    HandHistory history;
    history.open(historyOf(Million));
    const QString csv = folder().filePath(QStringLiteral("hands.csv"));
    for (auto _ : state) {
        resetPeakMemory();
        const double before = statusMb("VmRSS:");
        const HistoryJob::Result result = runToEnd(history.exportCsv({.order = HandQuery::Order(state.range(0))}, csv));
        state.counters["memory_growth_MB"] = statusMb("VmHWM:") - before;
        if (result.outcome != HistoryJob::Outcome::Done)
            state.SkipWithError(qPrintable(result.error));
        state.counters["rows"] = double(result.rows);
    }
    state.counters["file_MB"] = double(QFileInfo(csv).size()) / 1e6;
}
BENCHMARK(exportMillionHands)->DenseRange(0, 2)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

// "Delete all..." on a copy of the million hands: the time to the last
// batch deleted, when the other copy of the game may write again, and to
// the end, the file vacuumed and its journal emptied.
void deleteMillionHands(benchmark::State &state)
{
    const QString copy = folder().filePath(QStringLiteral("deleted.sqlite"));
    for (auto _ : state) {
        state.PauseTiming();
        for (const QString &file : {copy, copy + QStringLiteral("-wal"), copy + QStringLiteral("-shm")})
            QFile::remove(file);
        QFile::copy(historyOf(Million), copy);
        HandHistory history;
        history.open(copy);
        state.counters["before_MB"] = double(QFileInfo(copy).size()) / 1e6;
        state.ResumeTiming();
        double deleted = 0;
        const HistoryJob::Result result = runToEnd(history.deleteAll(), &deleted);
        if (result.outcome != HistoryJob::Outcome::Done)
            state.SkipWithError(qPrintable(result.error));
        state.counters["deleted_s"] = deleted;
        state.counters["after_KB"] = double(QFileInfo(copy).size() + QFileInfo(copy + QStringLiteral("-wal")).size()) / 1e3;
    }
}
BENCHMARK(deleteMillionHands)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
