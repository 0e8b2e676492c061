#pragma once

#include "analysis/strategy.h"
#include "model/handrecord.h"

#include <QList>
#include <QString>

// A kind of mistake: the line of the strategy chart the hold kept falls
// on, and the line of the best hold; with how often the player made it and
// what it cost.
struct MistakeKind
{
    static constexpr int NoLine = -1; // a hold that falls on no line of the chart

    int keptLine = NoLine;
    int bestLine = NoLine;
    // What the holds keep, for a hold on no line: "three to a flush".
    QString keptWords;
    QString bestWords;
    int count = 0;
    double credits = 0; // expected credits lost, at the bets of the hands

    // "Kept a pair (line 5) over four to a flush (line 2): 9 times, 3.40
    // credits"; a hold on no line by what it keeps: "three to a flush (on
    // no line)".
    QString text(const StrategyChart &chart) const;
};

// The mistakes among `hands` by kind, costliest first.
QList<MistakeKind> mistakesByKind(const QList<HandRecord> &hands, const StrategyChart &chart);

// A line in the chart's words, lower case, with its number: "a pair (line
// 5)"; for no line, what the hold keeps: "three to a flush (on no line)".
QString lineText(const StrategyChart &chart, int line, const QString &holdWords);
