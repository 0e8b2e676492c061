#include "mistakekinds.h"

#include <QHash>

#include <algorithm>
#include <tuple>

QString lineText(const StrategyChart &chart, int line, const QString &holdWords)
{
    if (line == MistakeKind::NoLine)
        return QStringLiteral("%1 (on no line)").arg(holdWords);
    QString words = chart.words(line);
    words[0] = words[0].toLower();
    return QStringLiteral("%1 (line %2)").arg(words).arg(line + 1);
}

QString MistakeKind::text(const StrategyChart &chart) const
{
    return QStringLiteral("Kept %1 over %2: %3 %4, %5 credits")
        .arg(lineText(chart, keptLine, keptWords), lineText(chart, bestLine, bestWords))
        .arg(count)
        .arg(count == 1 ? QStringLiteral("time") : QStringLiteral("times"))
        .arg(credits, 0, 'f', 2);
}

QList<MistakeKind> mistakesByKind(const QList<HandRecord> &hands, const StrategyChart &chart)
{
    // Holds on a line are told apart by it, holds on none by what they keep.
    const auto wordsOff = [&](const HandRecord &hand, unsigned hold, int line) {
        return line == MistakeKind::NoLine ? chart.holdWords(hand.dealt, hold) : QString();
    };
    QHash<QString, MistakeKind> kinds;
    for (const HandRecord &hand : hands) {
        if (!hand.isMistake())
            continue;
        const int kept = chart.lineOf(hand.dealt, hand.held).value_or(MistakeKind::NoLine);
        const int best = chart.lineOf(hand.dealt, hand.bestHold).value_or(MistakeKind::NoLine);
        const QString keptWords = wordsOff(hand, hand.held, kept);
        const QString bestWords = wordsOff(hand, hand.bestHold, best);
        MistakeKind &kind = kinds[QStringLiteral("%1|%2|%3|%4").arg(kept).arg(keptWords).arg(best).arg(bestWords)];
        kind.keptLine = kept;
        kind.bestLine = best;
        kind.keptWords = keptWords;
        kind.bestWords = bestWords;
        ++kind.count;
        kind.credits += hand.expectedLoss();
    }
    QList<MistakeKind> sorted = kinds.values();
    std::sort(sorted.begin(), sorted.end(), [](const MistakeKind &a, const MistakeKind &b) {
        return a.credits != b.credits ? a.credits > b.credits
                                      : std::tie(a.keptLine, a.keptWords, a.bestLine, a.bestWords)
                                            < std::tie(b.keptLine, b.keptWords, b.bestLine, b.bestWords);
    });
    return sorted;
}
