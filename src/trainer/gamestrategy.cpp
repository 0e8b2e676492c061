#include "gamestrategy.h"

#include <QFile>
#include <QtDebug>

namespace {

StrategyChart readChart(ChartLevel level)
{
    const QString path = level == ChartLevel::Full ? QStringLiteral(":/strategy/full.chart") : QStringLiteral(":/strategy/short.chart");
    QFile file(path);
    QString error = file.errorString();
    if (file.open(QIODevice::ReadOnly)) {
        if (std::optional<StrategyChart> chart = StrategyChart::fromText(QString::fromUtf8(file.readAll()), PayTable::game(), &error))
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
