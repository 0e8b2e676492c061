#pragma once

#include "screens/review/statscharts.h"

class QChartView;

// The statistics' two charts, one above the other, in Qt Charts' views.
class StatsChartViews final : public StatsCharts
{
public:
    explicit StatsChartViews(QWidget *parent);

    void draw(const QList<SessionPoint> &progress, const QList<CreditsPoint> &credits) override;

private:
    void drawProgress(const QList<SessionPoint> &points);
    void drawCredits(const QList<CreditsPoint> &series);

    QChartView *m_progress;
    QChartView *m_credits;
};
