#pragma once

#include "analysis/strategy.h"
#include "model/handrecord.h"

#include <QList>
#include <QString>

// A kind of mistake: the hold kept and the best hold by the strategy
// chart's lines, with how often the player made it and what it cost.
struct MistakeKind
{
    static constexpr int NoLine = -1; // a best hold on no line of the chart

    QString kept; // "a pair with a kicker (on no line)"
    QString best; // "a pair (line 5)"
    int bestLine = NoLine;
    int count = 0;
    double credits = 0; // expected credits lost, at the bets of the hands

    // "Kept a pair with a kicker (on no line) over a pair (line 5): 9
    // times, 3.40 credits".
    QString text() const;
};

// How many of the latest mistakes the review and the chart sort by kind: a
// long history's kinds are those of its recent play, read in a moment.
inline constexpr int MistakesSortedByKind = 5000;

// The mistakes among `hands` by kind, costliest first.
QList<MistakeKind> mistakesByKind(const QList<HandRecord> &hands, const StrategyChart &chart);
