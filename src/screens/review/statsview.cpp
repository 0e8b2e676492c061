#include "screens/review/statsview.h"

#include "history/handhistory.h"
#include "trainer/trainer.h"

#include <QChart>
#include <QChartView>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineSeries>
#include <QValueAxis>
#include <QVBoxLayout>

#include <algorithm>

namespace {

QString percent(double share)
{
    return QStringLiteral("%1 %").arg(100.0 * share, 0, 'f', 1);
}

// A row of the figures: a name, the lifetime's and the session's.
QString row(const QString &name, const QString &lifetime, const QString &session)
{
    return QStringLiteral("<tr><td>%1</td><td align=right>%2</td><td align=right>%3</td></tr>")
        .arg(name.toHtmlEscaped(), lifetime, session);
}

// Final hands counted by the pay table's rows, four of a kind as one.
std::array<qint64, CategoryCount> byCategory(const HistoryStats &stats)
{
    std::array<qint64, CategoryCount> counts{};
    for (int outcome = 0; outcome < OutcomeCount; ++outcome)
        counts[std::size_t(categoryOf(Outcome(outcome)))] += stats.outcomes[std::size_t(outcome)];
    return counts;
}

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

QString statsTable(const HistoryStats &lifetime, const HistoryStats &session)
{
    QString rows = QStringLiteral("<tr><th></th><th align=right>All time</th><th align=right>Session</th></tr>");
    const auto figures = [&](const QString &name, auto of) { rows += row(name, of(lifetime), of(session)); };
    figures(QStringLiteral("Hands"), [](const HistoryStats &s) { return QString::number(s.hands); });
    figures(QStringLiteral("Accuracy"), [](const HistoryStats &s) { return percent(s.accuracy()); });
    figures(QStringLiteral("Expected loss per 100 hands"),
            [](const HistoryStats &s) { return QString::number(s.lossPer100Hands(), 'f', 2); });
    figures(QStringLiteral("Return against best play"), [](const HistoryStats &s) { return percent(s.returnAgainstBest()); });
    figures(QStringLiteral("Actual return"), [](const HistoryStats &s) { return percent(s.actualReturn()); });
    const auto lifetimeCounts = byCategory(lifetime);
    const auto sessionCounts = byCategory(session);
    for (int outcome = 0; outcome < OutcomeCount; ++outcome) {
        const auto category = std::size_t(categoryOf(Outcome(outcome)));
        // Each row of the pay table once, named by its first outcome.
        if (outcome > 0 && categoryOf(Outcome(outcome - 1)) == categoryOf(Outcome(outcome)))
            continue;
        rows += row(Trainer::outcomeName(Outcome(outcome)), QString::number(lifetimeCounts[category]),
                    QString::number(sessionCounts[category]));
    }
    return QStringLiteral("<table cellspacing=0 cellpadding=2>%1</table>").arg(rows);
}

StatsView::StatsView(const HandHistory &history, QWidget *parent)
    : QWidget(parent)
    , m_history(history)
{
    auto *layout = new QHBoxLayout(this);
    m_figures = new QLabel;
    m_figures->setTextFormat(Qt::RichText);
    m_figures->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    m_figures->setAccessibleName(QStringLiteral("Statistics"));
    layout->addWidget(m_figures);
    auto *charts = new QVBoxLayout;
    m_progress = makeChartView(QStringLiteral("Accuracy and expected loss per 100 hands, session by session"));
    m_credits = makeChartView(QStringLiteral("The session's credits, hand by hand"));
    charts->addWidget(m_progress);
    charts->addWidget(m_credits);
    layout->addLayout(charts, 1);
}

void StatsView::refresh(qint64 session)
{
    m_figures->setText(statsTable(m_history.stats(), m_history.stats(session)));
    drawProgress();
    drawCredits(session);
}

void StatsView::drawProgress()
{
    QChart *chart = m_progress->chart();
    chart->removeAllSeries();
    for (QAbstractAxis *axis : chart->axes())
        chart->removeAxis(axis);
    auto *accuracy = new QLineSeries;
    accuracy->setName(QStringLiteral("Accuracy, %"));
    auto *loss = new QLineSeries;
    loss->setName(QStringLiteral("Expected loss per 100 hands, credits"));
    const QList<SessionPoint> points = m_history.progress();
    for (qsizetype i = 0; i < points.size(); ++i) {
        accuracy->append(double(i + 1), 100.0 * points[i].accuracy);
        loss->append(double(i + 1), points[i].lossPer100Hands);
    }
    chart->addSeries(accuracy);
    chart->addSeries(loss);
    QValueAxis *sessions = addAxis(chart, QStringLiteral("Session"), Qt::AlignBottom, accuracy);
    loss->attachAxis(sessions);
    sessions->setLabelFormat(QStringLiteral("%d"));
    sessions->setRange(1, std::max<qsizetype>(points.size(), 2));
    sessions->setTickCount(int(std::clamp<qsizetype>(points.size(), 2, 12)));
    addAxis(chart, QStringLiteral("Accuracy, %"), Qt::AlignLeft, accuracy)->setRange(0, 100);
    fitToValues(addAxis(chart, QStringLiteral("Loss per 100 hands"), Qt::AlignRight, loss), loss);
}

void StatsView::drawCredits(qint64 session)
{
    QChart *chart = m_credits->chart();
    chart->removeAllSeries();
    for (QAbstractAxis *axis : chart->axes())
        chart->removeAxis(axis);
    auto *credits = new QLineSeries;
    credits->setName(QStringLiteral("Credits"));
    const QList<CreditsPoint> series = m_history.creditsSeries(session);
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
