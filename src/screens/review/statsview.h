#pragma once

#include <QWidget>

class HandHistory;
class QChartView;
class QLabel;
struct HistoryStats;

// The figures of the history: the whole of it beside one session, with
// every final hand counted; a chart of accuracy and expected loss per 100
// hands session by session, and one of the session's credits hand by hand.
class StatsView : public QWidget
{
    Q_OBJECT

public:
    StatsView(const HandHistory &history, QWidget *parent);

    // Writes everything afresh, the session's figures and credits for
    // `session`.
    void refresh(qint64 session);

    QLabel *figures() const { return m_figures; }
    QChartView *progressChart() const { return m_progress; }
    QChartView *creditsChart() const { return m_credits; }

private:
    void drawProgress();
    void drawCredits(qint64 session);

    const HandHistory &m_history;
    QLabel *m_figures;
    QChartView *m_progress;
    QChartView *m_credits;
};

// The figures of a lifetime and a session side by side, as an HTML table.
QString statsTable(const HistoryStats &lifetime, const HistoryStats &session);
