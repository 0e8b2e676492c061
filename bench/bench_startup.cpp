// Process start to the table's first paint, offscreen, against a bare Qt
// window of the same size in a program of its own: the benchmark starts
// itself as a child that opens the table and quits right after painting
// it, saying how much memory and how many shared objects it had then, and
// the bare window's program does the same, once blank and once with a line
// of text. The table opens as a first start with its panel hidden, and
// once more as a new player's first start shows it, panel and welcome. The
// time runs from the spawn to that line, so the children's tear-down is
// not counted. The four take turns, so that all see the same load on the
// machine.
#include "firstpaint.h"
#include "screens/table/cards.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <optional>
#include <vector>

namespace {

const char *self = nullptr;

// With `firstStart`, the table takes a new player's settings, as the game
// does on its first start: the trainer's panel shown, with its welcome.
int openTableAndQuit(int argc, char **argv, bool firstStart)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir settingsDir;
    cards table;
    if (firstStart)
        table.useSettings(std::make_unique<QSettings>(settingsDir.filePath(QStringLiteral("options.ini")),
                                                      QSettings::IniFormat));
    FirstPaint watcher;
    table.installEventFilter(&watcher);
    table.show();
    return QApplication::exec();
}

struct Start
{
    double milliseconds = 0;
    double residentMegabytes = 0;
    double sharedObjects = 0;
};

std::optional<Start> startChild(const QString &program, const QStringList &arguments)
{
    QElapsedTimer clock;
    clock.start();
    QProcess child;
    child.start(program, arguments);
    QByteArray line;
    while (!line.contains('\n') && child.waitForReadyRead(30000))
        line += child.readAllStandardOutput();
    const double milliseconds = double(clock.nsecsElapsed()) / 1e6;
    if (!child.waitForFinished(30000) || child.exitCode() != 0)
        return std::nullopt;
    const QList<QByteArray> fields = line.simplified().split(' ');
    if (fields.size() != 2)
        return std::nullopt;
    return Start{milliseconds, fields[0].toDouble() / 1024.0, fields[1].toDouble()};
}

double median(std::vector<double> values)
{
    std::nth_element(values.begin(), values.begin() + std::ptrdiff_t(values.size() / 2), values.end());
    return values[values.size() / 2];
}

void BM_StartToFirstPaint(benchmark::State &state)
{
    std::vector<double> table, firstStart, bare, text, tableMemory, bareMemory, tableObjects, bareObjects;
    for (auto _ : state) {
        const std::optional<Start> plain = startChild(QStringLiteral(BARE_WINDOW), {});
        const std::optional<Start> game = startChild(QString::fromLocal8Bit(self), {QStringLiteral("--child")});
        const std::optional<Start> written = startChild(QStringLiteral(BARE_WINDOW), {QStringLiteral("--text")});
        const std::optional<Start> welcomed =
            startChild(QString::fromLocal8Bit(self), {QStringLiteral("--child-first-start")});
        if (!plain || !game || !written || !welcomed) {
            state.SkipWithError("a child did not open its window");
            return;
        }
        bare.push_back(plain->milliseconds);
        table.push_back(game->milliseconds);
        text.push_back(written->milliseconds);
        firstStart.push_back(welcomed->milliseconds);
        bareMemory.push_back(plain->residentMegabytes);
        tableMemory.push_back(game->residentMegabytes);
        bareObjects.push_back(plain->sharedObjects);
        tableObjects.push_back(game->sharedObjects);
        state.SetIterationTime(game->milliseconds / 1e3);
    }
    state.counters["bare_ms"] = median(bare);
    state.counters["table_ms"] = median(table);
    state.counters["ratio"] = median(table) / median(bare);
    state.counters["text_ms"] = median(text);
    state.counters["text_ratio"] = median(table) / median(text);
    state.counters["first_start_ms"] = median(firstStart);
    state.counters["first_start_ratio"] = median(firstStart) / median(bare);
    state.counters["bare_MB"] = median(bareMemory);
    state.counters["table_MB"] = median(tableMemory);
    state.counters["memory_ratio"] = median(tableMemory) / median(bareMemory);
    state.counters["bare_so"] = median(bareObjects);
    state.counters["table_so"] = median(tableObjects);
}
BENCHMARK(BM_StartToFirstPaint)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);

} // namespace

int main(int argc, char **argv)
{
    if (argc > 1 && std::strcmp(argv[1], "--child") == 0)
        return openTableAndQuit(argc, argv, false);
    if (argc > 1 && std::strcmp(argv[1], "--child-first-start") == 0)
        return openTableAndQuit(argc, argv, true);
    self = argv[0];
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
