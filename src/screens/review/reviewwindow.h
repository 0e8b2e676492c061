#pragma once

#include "history/historyjob.h"
#include "history/historyquery.h"

#include <QPointer>
#include <QWidget>

#include <functional>

class CardFaces;
class DrillWindow;
class HandHistory;
class HandListModel;
class HandView;
class QCheckBox;
class QComboBox;
class QPushButton;
class QTabWidget;
class QTableView;
class StatsView;

// The player's hands looked back on: those of this session or of all
// time, all or the mistakes only, newest, costliest or best first. A
// chosen hand is shown as it was, with the trainer's analysis on the deck
// as it was. The shown rows can be exported, the mistakes drilled, and a
// session or the whole history forgotten on the player's say-so. Beside
// the hands, the statistics and their charts.
class ReviewWindow : public QWidget
{
    Q_OBJECT

public:
    // The hands of `history`, with cards drawn by `faces`; `currentSession`
    // tells the session being played, which "This session" shows.
    ReviewWindow(const CardFaces &faces, HandHistory &history, std::function<qint64()> currentSession,
                 QWidget *parent);

    void setMistakesOnly(bool mistakesOnly);
    void setOrder(HandQuery::Order order);
    HandQuery query() const;

    // Runs the query again and writes the statistics afresh.
    void refresh();
    // Shows the hand in `row` of the list as it was.
    void showHand(int row);
    // Writes every row the list shows to `path`, as comma-separated values.
    HistoryJob *exportShown(const QString &path);
    // Opens the drill on the player's due mistakes (key D).
    DrillWindow *openDrill();
    // Deletes one session's hands, or every hand for 0, and shows what is
    // left. Only after the player has said yes.
    HistoryJob *forget(qint64 session);

    HandListModel *hands() const { return m_hands; }
    QTableView *list() const { return m_list; }
    HandView *handView() const { return m_view; }
    StatsView *stats() const { return m_stats; }

signals:
    // A drill answer or a deletion changed which mistakes are due.
    void drillDueChanged();

private:
    // Lists the hands the controls ask for afresh, the figures as they were.
    void refreshList();
    QWidget *makeHandsPage();
    // The session the list and the figures speak of: the one being played.
    qint64 session() const;
    qint64 chosenSession() const;
    void askExport();
    void askToForget(qint64 session, const QString &question);
    // Starts `job` with a dialog that shows its progress under `doing` and
    // cancels it; the hands stay still until it has ended, when `ended`
    // is given its result.
    HistoryJob *runJob(HistoryJob *job, const QString &doing, std::function<void(const HistoryJob::Result &)> ended);

    const CardFaces &m_faces;
    HandHistory &m_history;
    const std::function<qint64()> m_currentSession;
    HandListModel *m_hands;
    QTableView *m_list = nullptr;
    HandView *m_view = nullptr;
    StatsView *m_stats;
    QTabWidget *m_tabs;
    QComboBox *m_scope = nullptr;
    QComboBox *m_order = nullptr;
    QCheckBox *m_mistakesOnly = nullptr;
    QPushButton *m_forgetSession = nullptr;
    QPointer<DrillWindow> m_drill;
};
