#include "gamestrategy.h"

#include <QFile>
#include <QtDebug>

namespace {

// The text of one of the game's resources, or nothing with the reason.
std::optional<QString> readResource(const QString &path, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = file.errorString();
        return std::nullopt;
    }
    return QString::fromUtf8(file.readAll());
}

StrategyChart readChart(ChartLevel level)
{
    const QString path = level == ChartLevel::Full ? QStringLiteral(":/strategy/full.chart") : QStringLiteral(":/strategy/short.chart");
    QString error;
    if (const std::optional<QString> text = readResource(path, &error)) {
        if (std::optional<StrategyChart> chart = StrategyChart::fromText(*text, PayTable::game(), &error))
            return std::move(*chart);
    }
    // The charts come with the game; without them it derives them, which
    // takes a few seconds.
    qWarning("drawpoker: the strategy chart %s cannot be read (%s); deriving it again", qPrintable(path), qPrintable(error));
    return StrategyChart(PayTable::game(), level);
}

} // namespace

const StrategyChart &gameStrategy(ChartLevel level)
{
    static const StrategyChart full = readChart(ChartLevel::Full);
    static const StrategyChart brief = readChart(ChartLevel::Short);
    return level == ChartLevel::Full ? full : brief;
}

const CountRules *gameCountRules()
{
    static const std::optional<CountRules> rules = [] {
        QString error;
        std::optional<CountRules> read;
        if (const std::optional<QString> text = readResource(QStringLiteral(":/strategy/count.rules"), &error))
            read = CountRules::fromText(gameStrategy(ChartLevel::Full), *text, &error);
        if (!read)
            qWarning("drawpoker: the count rules cannot be read (%s)", qPrintable(error));
        return read;
    }();
    return rules ? &*rules : nullptr;
}
