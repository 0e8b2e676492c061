#include "screens/review/statsview.h"

#include "history/handhistory.h"
#include "platform/gamemodule.h"
#include "screens/review/statscharts.h"
#include "trainer/gamestrategy.h"
#include "trainer/mistakekinds.h"
#include "trainer/trainer.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include <utility>

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

} // namespace

QString statsTable(const HistoryStats &lifetime, const HistoryStats &session)
{
    QString rows = QStringLiteral("<tr><th></th><th align=right>All time</th><th align=right>Session</th></tr>");
    const auto figures = [&](const QString &name, auto of) { rows += row(name, of(lifetime), of(session)); };
    figures(QStringLiteral("Hands"), [](const HistoryStats &s) { return QString::number(s.hands); });
    figures(QStringLiteral("Right at the first press"), [](const HistoryStats &s) { return percent(s.firstPressAccuracy()); });
    figures(QStringLiteral("Right after warnings"), [](const HistoryStats &s) { return percent(s.accuracy()); });
    figures(QStringLiteral("Warned before the draw"), [](const HistoryStats &s) { return QString::number(s.warned); });
    figures(QStringLiteral("Warnings heeded"), [](const HistoryStats &s) { return QString::number(s.heeded); });
    figures(QStringLiteral("Expected loss per credit bet"),
            [](const HistoryStats &s) { return QString::number(s.lossPerCreditBet(), 'f', 4); });
    figures(QStringLiteral("Loss per 100 hands at bet 1"),
            [](const HistoryStats &s) { return QString::number(100 * s.lossPerCreditBet(), 'f', 2); });
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

StatsView::StatsView(const HandHistory &history, QWidget *parent, QString chartsModule)
    : QWidget(parent)
    , m_history(history)
    , m_chartsModule(std::move(chartsModule))
{
    m_layout = new QHBoxLayout(this);
    m_figures = new QLabel;
    m_figures->setTextFormat(Qt::RichText);
    m_figures->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    m_figures->setAccessibleName(QStringLiteral("Statistics"));
    // The kinds of mistake below the figures, wrapped to the column's width.
    m_kinds = new QLabel;
    m_kinds->setTextFormat(Qt::RichText);
    m_kinds->setWordWrap(true);
    m_kinds->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    m_kinds->setAccessibleName(QStringLiteral("Mistakes by kind"));
    auto *column = new QVBoxLayout;
    column->addWidget(m_figures);
    column->addWidget(m_kinds, 1);
    m_layout->addLayout(column);
}

QString StatsView::chartsModulePath()
{
    return gameModulePath(DRAWPOKER_CHARTS_MODULE);
}

// The figures are read when they show: the review opens on its list of
// hands, and a million hands' figures would slow it for nothing.
void StatsView::refresh(qint64 session)
{
    m_session = session;
    m_stale = true;
    if (isVisible())
        write();
}

void StatsView::write()
{
    m_stale = false;
    const HistoryRead<HistoryStats> lifetime = m_history.stats();
    const HistoryRead<HistoryStats> ofSession = m_history.stats(m_session);
    if (lifetime.ok() && ofSession.ok())
        m_figures->setText(statsTable(lifetime.value, ofSession.value));
    else
        m_figures->setText((lifetime.ok() ? ofSession : lifetime).error.toHtmlEscaped());
    m_kinds->setText(mistakeKindsText());
    m_kinds->setFixedWidth(m_figures->sizeHint().width() * 3 / 2);
    drawCharts();
}

// The costliest kinds of mistake, all time and in the session, by the
// game's strategy chart.
QString StatsView::mistakeKindsText() const
{
    constexpr int KindsShown = 5;
    const StrategyChart &chart = gameStrategy(ChartLevel::Full);
    QString html;
    for (const qint64 session : {qint64(0), m_session}) {
        const HistoryRead<QList<StoredHand>> read = m_history.mistakes(session, MistakesSortedByKind);
        if (!read.ok())
            return QStringLiteral("<p>%1</p>").arg(read.error.toHtmlEscaped());
        const QList<MistakeKind> kinds = mistakesByKind(recordsOf(read.value), chart);
        html += QStringLiteral("<p><b>Mistakes by kind, %1</b>").arg(session == 0 ? QStringLiteral("all time")
                                                                                 : QStringLiteral("this session"));
        if (kinds.isEmpty())
            html += QStringLiteral("<br>None.");
        for (qsizetype i = 0; i < std::min<qsizetype>(KindsShown, kinds.size()); ++i)
            html += QStringLiteral("<br>") + kinds[i].text().toHtmlEscaped();
        html += QStringLiteral("</p>");
    }
    return html;
}

void StatsView::showEvent(QShowEvent *event)
{
    if (!m_chartsTried) {
        loadCharts();
        m_stale = true;
    }
    if (m_stale)
        write();
    QWidget::showEvent(event);
}

// Loading Qt Charts takes a while; a review that never shows its
// statistics does without it.
void StatsView::loadCharts()
{
    m_chartsTried = true;
    QString error;
    using Entry = StatsCharts *(*)(QWidget *);
    if (const auto entry = reinterpret_cast<Entry>(moduleEntry(m_chartsModule, StatsChartsModuleEntry, error)))
        m_charts = entry(this);
    if (!m_charts) {
        qInfo("drawpoker: statistics without charts: %s", qPrintable(error));
        m_chartsMissing = new QLabel(QStringLiteral("The charts are not installed."));
        m_chartsMissing->setAlignment(Qt::AlignCenter);
        m_layout->addWidget(m_chartsMissing, 1);
        return;
    }
    m_layout->addWidget(m_charts, 1);
}

void StatsView::drawCharts()
{
    if (m_charts)
        m_charts->draw(m_history.progress().value, m_history.creditsSeries(m_session).value);
}
