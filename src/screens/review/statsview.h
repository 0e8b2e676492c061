#pragma once

#include <QWidget>

class HandHistory;
class QHBoxLayout;
class QLabel;
class StatsCharts;
struct HistoryStats;

// The figures of the history: the whole of it beside one session, with
// every final hand counted; beside them the charts of accuracy and
// expected loss per credit bet session by session, and of the session's
// credits hand by hand. The charts come from their module when the view is
// first shown; where it cannot be loaded the view says that they are not
// installed, and the figures stand alone.
class StatsView : public QWidget
{
    Q_OBJECT

public:
    StatsView(const HandHistory &history, QWidget *parent, QString chartsModule = chartsModulePath());

    // Writes everything afresh, the session's figures and credits for
    // `session`, now or when the view next shows.
    void refresh(qint64 session);

    QLabel *figures() const { return m_figures; }
    // The costliest kinds of mistake, all time and in the session.
    QLabel *mistakeKinds() const { return m_kinds; }
    // The charts, once shown; nullptr before, or where their module is missing.
    StatsCharts *charts() const { return m_charts; }
    // Says that the charts are not installed, where their module is missing.
    QLabel *chartsMissing() const { return m_chartsMissing; }

    // The game's own charts module, found by the same path from the
    // program's folder in the build tree and in an installed tree.
    static QString chartsModulePath();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void loadCharts();
    void write();
    QString mistakeKindsText() const;
    void drawCharts();

    const HandHistory &m_history;
    const QString m_chartsModule;
    qint64 m_session = 0;
    QHBoxLayout *m_layout;
    QLabel *m_figures;
    QLabel *m_kinds;
    StatsCharts *m_charts = nullptr;
    QLabel *m_chartsMissing = nullptr;
    bool m_chartsTried = false;
    bool m_stale = false; // refreshed while hidden
};

// The figures of a lifetime and a session side by side, as an HTML table.
QString statsTable(const HistoryStats &lifetime, const HistoryStats &session);
