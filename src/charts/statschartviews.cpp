#include "charts/statschartviews.h"

#include <QChart>
#include <QChartView>
#include <QLineSeries>
#include <QValueAxis>
#include <QVBoxLayout>

#include <algorithm>

namespace {

QChartView *makeChartView(const QString &title)
{
    auto *chart = new QChart;
    chart->setTitle(title);
    auto *view = new QChartView(chart);
    view->setRenderHint(QPainter::Antialiasing);
    view->setMinimumHeight(260);
    return view;
}

QValueAxis *addAxis(QChart *chart, const QString &title, Qt::Alignment alignment, QLineSeries *series)
{
    auto *axis = new QValueAxis;
    axis->setTitleText(title);
    chart->addAxis(axis, alignment);
    series->attachAxis(axis);
    // A lone point draws no line: the points themselves show.
    series->setPointsVisible(true);
    return axis;
}

// Empties a chart for drawing afresh. The chart deletes its series, but an
// axis it lets go of is the caller's to delete.
void clearChart(QChart *chart)
{
    chart->removeAllSeries();
    for (QAbstractAxis *axis : chart->axes()) {
        chart->removeAxis(axis);
        delete axis;
    }
}

// Fits a value axis to the series' values. One value alone (a single
// session or hand) gives the axis no span to scale, so it gets one either
// side.
void fitToValues(QValueAxis *axis, const QLineSeries *series)
{
    const QList<QPointF> points = series->points();
    if (points.isEmpty())
        return;
    const auto [lowest, highest] = std::minmax_element(
        points.begin(), points.end(), [](const QPointF &a, const QPointF &b) { return a.y() < b.y(); });
    const bool flat = lowest->y() == highest->y();
    axis->setRange(lowest->y() - (flat ? 1 : 0), highest->y() + (flat ? 1 : 0));
    axis->applyNiceNumbers();
}

} // namespace

StatsChartViews::StatsChartViews(QWidget *parent)
    : StatsCharts(parent)
{
    auto *layout = new QVBoxLayout(this);
    // The charts sit in the statistics' own layout as if laid out there.
    layout->setContentsMargins(0, 0, 0, 0);
    m_progress = makeChartView(QStringLiteral("Accuracy and expected loss per 100 hands at bet 1, session by session"));
    m_credits = makeChartView(QStringLiteral("The session's credits, hand by hand"));
    layout->addWidget(m_progress);
    layout->addWidget(m_credits);
}

void StatsChartViews::draw(const QList<SessionPoint> &progress, const QList<CreditsPoint> &credits)
{
    drawProgress(progress);
    drawCredits(credits);
}

// The loss is per credit bet, so that sessions at different bets share
// one scale.
void StatsChartViews::drawProgress(const QList<SessionPoint> &points)
{
    QChart *chart = m_progress->chart();
    clearChart(chart);
    auto *firstPress = new QLineSeries;
    firstPress->setName(QStringLiteral("Right at the first press, %"));
    auto *accuracy = new QLineSeries;
    accuracy->setName(QStringLiteral("Right after warnings, %"));
    auto *loss = new QLineSeries;
    loss->setName(QStringLiteral("Expected loss per 100 hands at bet 1, credits"));
    for (qsizetype i = 0; i < points.size(); ++i) {
        firstPress->append(double(i + 1), 100.0 * points[i].firstPressAccuracy);
        accuracy->append(double(i + 1), 100.0 * points[i].accuracy);
        loss->append(double(i + 1), points[i].lossPer100HandsAtBet1);
    }
    chart->addSeries(firstPress);
    chart->addSeries(accuracy);
    chart->addSeries(loss);
    QValueAxis *sessions = addAxis(chart, QStringLiteral("Session"), Qt::AlignBottom, accuracy);
    firstPress->attachAxis(sessions);
    loss->attachAxis(sessions);
    sessions->setLabelFormat(QStringLiteral("%d"));
    sessions->setRange(1, std::max<qsizetype>(points.size(), 2));
    sessions->setTickCount(int(std::clamp<qsizetype>(points.size(), 2, 12)));
    QValueAxis *percent = addAxis(chart, QStringLiteral("Right, %"), Qt::AlignLeft, accuracy);
    percent->setRange(0, 100);
    firstPress->attachAxis(percent);
    firstPress->setPointsVisible(true);
    fitToValues(addAxis(chart, QStringLiteral("Loss per 100 hands at bet 1"), Qt::AlignRight, loss), loss);
}

void StatsChartViews::drawCredits(const QList<CreditsPoint> &series)
{
    QChart *chart = m_credits->chart();
    clearChart(chart);
    auto *credits = new QLineSeries;
    credits->setName(QStringLiteral("Credits"));
    for (const CreditsPoint &point : series)
        credits->append(point.hand, point.credits);
    chart->addSeries(credits);
    chart->legend()->hide();
    QValueAxis *hands = addAxis(chart, QStringLiteral("Hand"), Qt::AlignBottom, credits);
    hands->setLabelFormat(QStringLiteral("%d"));
    hands->setRange(1, std::max<qsizetype>(series.size(), 2));
    hands->setTickCount(int(std::clamp<qsizetype>(series.size(), 2, 5)));
    fitToValues(addAxis(chart, QStringLiteral("Credits"), Qt::AlignLeft, credits), credits);
}

// The module's one entry, looked up by name when the statistics load it.
extern "C" Q_DECL_EXPORT StatsCharts *drawpokerStatsCharts(QWidget *parent)
{
    return new StatsChartViews(parent);
}
