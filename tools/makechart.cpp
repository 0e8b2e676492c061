// Derives this game's strategy charts, full and short, and the count rules
// of the full chart, and writes them as text into a folder, for the game to
// read instead of deriving them each time it starts. The rules are found on
// a million hands of the game as the table deals it from seed 2 and
// measured on a million from seed 1, on every CPU.
#include "analysis/countrules.h"
#include "analysis/strategy.h"

#include <QFile>
#include <QTextStream>

#include <thread>

namespace {

constexpr std::int64_t RuleHands = 1000000;

bool write(const QString &path, const QString &text)
{
    QFile file(path);
    const QByteArray bytes = text.toUtf8();
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size() || !file.flush()) {
        QTextStream(stderr) << "makechart: cannot write " << path << ": " << file.errorString() << "\n";
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc != 2) {
        QTextStream(stderr) << "usage: makechart FOLDER\n";
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    const StrategyChart full(PayTable::game(), ChartLevel::Full);
    const StrategyChart brief(PayTable::game(), ChartLevel::Short);
    SimulationSettings settings;
    settings.hands = RuleHands;
    settings.threads = int(std::max(1u, std::thread::hardware_concurrency()));
    settings.seed = 2;
    CountRules rules(full, findCountRules(full, settings));
    settings.seed = 1;
    measureCountRules(rules, settings);
    const bool written = write(folder + QStringLiteral("/full.chart"), full.toText())
                         && write(folder + QStringLiteral("/short.chart"), brief.toText())
                         && write(folder + QStringLiteral("/count.rules"), rules.toText());
    return written ? 0 : 1;
}
