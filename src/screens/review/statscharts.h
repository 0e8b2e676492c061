#pragma once

#include "history/historyquery.h"

#include <QWidget>

// The charts beside the statistics' figures: accuracy at the first press
// and after warnings, and expected loss per 100 hands at bet 1, session by
// session, and a session's credits hand by hand.
// They draw with Qt Charts in a module of their own, which the statistics
// load when they are first shown, so that the game starts without the
// charting libraries.
class StatsCharts : public QWidget
{
public:
    using QWidget::QWidget;

    // Draws both charts afresh from the history's points.
    virtual void draw(const QList<SessionPoint> &progress, const QList<CreditsPoint> &credits) = 0;
};

// The name of the function by which the charts module makes its charts: a
// `StatsCharts *(QWidget *parent)`.
inline constexpr char StatsChartsModuleEntry[] = "drawpokerStatsCharts";
