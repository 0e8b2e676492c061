#include "mistakekinds.h"

#include <QHash>

#include <algorithm>
#include <tuple>

QString MistakeKind::text() const
{
    return QStringLiteral("Kept %1 over %2: %3 %4, %5 credits")
        .arg(kept, best)
        .arg(count)
        .arg(count == 1 ? QStringLiteral("time") : QStringLiteral("times"))
        .arg(credits, 0, 'f', 2);
}

QList<MistakeKind> mistakesByKind(const QList<HandRecord> &hands, const StrategyChart &chart)
{
    QHash<QPair<QString, QString>, MistakeKind> kinds;
    for (const HandRecord &hand : hands) {
        if (!hand.isMistake())
            continue;
        const QString kept = chart.holdLineText(hand.dealt, hand.held);
        const QString best = chart.holdLineText(hand.dealt, hand.bestHold);
        MistakeKind &kind = kinds[{kept, best}];
        kind.kept = kept;
        kind.best = best;
        kind.bestLine = chart.lineOf(hand.dealt, hand.bestHold).value_or(MistakeKind::NoLine);
        ++kind.count;
        kind.credits += hand.expectedLoss();
    }
    QList<MistakeKind> sorted = kinds.values();
    std::sort(sorted.begin(), sorted.end(), [](const MistakeKind &a, const MistakeKind &b) {
        return a.credits != b.credits ? a.credits > b.credits : std::tie(a.kept, a.best) < std::tie(b.kept, b.best);
    });
    return sorted;
}
