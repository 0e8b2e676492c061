#include "screens/review/reviewwindow.h"

#include "history/handhistory.h"
#include "history/handlistmodel.h"
#include "model/names.h"
#include "screens/review/drillwindow.h"
#include "screens/review/handview.h"
#include "screens/review/statsview.h"
#include "screens/trainerpanel.h"
#include "trainer/judgement.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QScrollArea>
#include <QShortcut>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

namespace {

// The rows whose widths the list's columns take.
constexpr int RowsMeasured = 64;
constexpr int ProgressSteps = 1000;
// Work done sooner than this is not worth a dialog.
constexpr int ProgressShownAfterMs = 250;

QPushButton *addButton(QHBoxLayout *layout, const QString &text)
{
    auto *button = new QPushButton(text);
    layout->addWidget(button);
    return button;
}

// Told, not asked: the box is opened, and the review goes on beneath it.
void tell(QWidget *parent, QMessageBox::Icon icon, const QString &text)
{
    auto *box = new QMessageBox(icon, parent->windowTitle(), text, QMessageBox::Ok, parent);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

QLabel *labelFor(const QString &text, QWidget *buddy)
{
    auto *label = new QLabel(text);
    label->setBuddy(buddy);
    return label;
}

// A page that scrolls where the window is smaller than the page can be.
QScrollArea *scrolling(QWidget *page)
{
    auto *scroll = new QScrollArea;
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidget(page);
    return scroll;
}

// What the first press of DEAL held, where it tells more than the verdict:
// a warning came, or the hand is from before the history kept it.
QString firstPressText(const HandRecord &hand)
{
    if (!hand.firstHeld)
        return QStringLiteral("The holds of the first press were not recorded for this hand (unknown).");
    if (!hand.warned)
        return {};
    const QString first = richCards(keptCardsText(hand.dealt, *hand.firstHeld));
    if (hand.heededWarning())
        return QStringLiteral("At the first press you held %1; after the warning you changed to the best.").arg(first);
    return QStringLiteral("At the first press you held %1, and drew after the warning.").arg(first);
}

} // namespace

ReviewWindow::ReviewWindow(const CardFaces &faces, HandHistory &history, std::function<qint64()> currentSession,
                           QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_faces(faces)
    , m_history(history)
    , m_currentSession(std::move(currentSession))
    , m_hands(new HandListModel(history, this))
    , m_tabs(new QTabWidget)
{
    setWindowTitle(QStringLiteral("Review of your hands"));
    m_tabs->addTab(scrolling(makeHandsPage()), QStringLiteral("&Hands"));
    m_stats = new StatsView(history, this);
    m_tabs->addTab(scrolling(m_stats), QStringLiteral("&Statistics"));
    new QShortcut(QKeySequence(Qt::Key_D), this, this, &ReviewWindow::openDrill);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs);
    resize(1240, 980);
    refresh();
}

QWidget *ReviewWindow::makeHandsPage()
{
    auto *page = new QWidget;
    // What the list shows on one row, what can be done with it on the next.
    auto *controls = new QHBoxLayout;
    auto *actions = new QHBoxLayout;
    m_scope = new QComboBox;
    m_scope->addItems({QStringLiteral("This session"), QStringLiteral("All time")});
    // A new session has no hands yet: the list opens on all of them.
    m_scope->setCurrentIndex(1);
    m_mistakesOnly = new QCheckBox(QStringLiteral("&Mistakes only"));
    m_order = new QComboBox;
    m_order->addItems({QStringLiteral("Newest first"), QStringLiteral("Costliest first"), QStringLiteral("Best final hand first")});
    controls->addWidget(labelFor(QStringLiteral("Hands &of"), m_scope));
    controls->addWidget(m_scope);
    controls->addWidget(m_mistakesOnly);
    controls->addWidget(labelFor(QStringLiteral("&Order"), m_order));
    controls->addWidget(m_order);
    controls->addStretch();
    connect(addButton(actions, QStringLiteral("Export to CSV...")), &QPushButton::clicked, this, &ReviewWindow::askExport);
    connect(addButton(actions, QStringLiteral("Drill (D)")), &QPushButton::clicked, this, &ReviewWindow::openDrill);
    m_forgetSession = addButton(actions, QStringLiteral("Delete this hand's session..."));
    connect(m_forgetSession, &QPushButton::clicked, this, [this] {
        if (const qint64 chosen = chosenSession())
            askToForget(chosen, QStringLiteral("Delete every hand of the session of the chosen hand?"));
    });
    connect(addButton(actions, QStringLiteral("Delete all...")), &QPushButton::clicked, this, [this] {
        askToForget(0, QStringLiteral("Delete your whole hand history? It cannot be brought back."));
    });
    actions->addStretch();
    for (QComboBox *box : {m_scope, m_order})
        connect(box, &QComboBox::currentIndexChanged, this, &ReviewWindow::refreshList);
    connect(m_mistakesOnly, &QCheckBox::toggled, this, &ReviewWindow::refreshList);

    m_list = new QTableView;
    m_list->setModel(m_hands);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->verticalHeader()->hide();
    // The columns take the width of the rows a screen shows, not of a
    // thousand rows read for it.
    m_list->horizontalHeader()->setResizeContentsPrecision(RowsMeasured);
    m_list->setMinimumHeight(120);
    connect(m_list->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &current) { showHand(current.row()); });
    m_view = new HandView(m_faces, this);

    auto *layout = new QVBoxLayout(page);
    layout->addLayout(controls);
    layout->addLayout(actions);
    layout->addWidget(m_list, 1);
    layout->addWidget(m_view, 2);
    return page;
}

void ReviewWindow::setMistakesOnly(bool mistakesOnly)
{
    m_mistakesOnly->setChecked(mistakesOnly);
}

void ReviewWindow::setOrder(HandQuery::Order order)
{
    m_order->setCurrentIndex(int(order));
}

HandQuery ReviewWindow::query() const
{
    return {.session = m_scope->currentIndex() == 0 ? session() : 0,
            .mistakesOnly = m_mistakesOnly->isChecked(),
            .order = HandQuery::Order(m_order->currentIndex())};
}

qint64 ReviewWindow::session() const
{
    return m_currentSession();
}

qint64 ReviewWindow::chosenSession() const
{
    const int row = m_list->currentIndex().row();
    return row < 0 ? 0 : m_hands->hand(row).record.session;
}

void ReviewWindow::refresh()
{
    refreshList();
    // Before the table's session has a hand, the figures speak of the last
    // session played.
    const QList<qint64> sessions = m_history.sessions().value;
    m_stats->refresh(sessions.contains(session()) || sessions.isEmpty() ? session() : sessions.last());
}

void ReviewWindow::refreshList()
{
    m_hands->setQuery(query());
    m_list->resizeColumnsToContents();
    m_forgetSession->setEnabled(false);
    // No hand is shown until one is chosen: not one the list no longer has.
    m_view->hideCards();
    m_view->showText(!m_hands->readable()  ? m_hands->error()
                     : m_hands->rowCount() ? QStringLiteral("Choose a hand to see it as it was.")
                                           : QStringLiteral("No hands to show."));
    if (m_hands->readable() && m_hands->rowCount())
        m_list->selectRow(0);
}

void ReviewWindow::showHand(int row)
{
    const StoredHand stored = m_hands->hand(row);
    // A row that cannot be read has no session to delete.
    m_forgetSession->setEnabled(row >= 0 && stored.readable);
    if (row < 0)
        return;
    if (!stored.readable) {
        m_view->hideCards();
        m_view->showText(QStringLiteral("Hand %1 in the history cannot be read: it is not shown, drilled or exported.")
                             .arg(stored.id));
        return;
    }
    const HandRecord &hand = stored.record;
    m_view->showDeal(hand.dealt);
    m_view->setHeld(hand.held);
    m_view->showJudgement(Judgement(hand), hand.held, firstPressText(hand));
}

HistoryJob *ReviewWindow::exportShown(const QString &path)
{
    return runJob(m_history.exportCsv(m_hands->query(), path), QStringLiteral("Exporting the shown hands..."),
                  [this, path](const HistoryJob::Result &result) {
                      if (result.outcome == HistoryJob::Outcome::Failed)
                          tell(this, QMessageBox::Warning, result.error);
                      else if (result.outcome == HistoryJob::Outcome::Done && result.unreadable)
                          tell(this, QMessageBox::Information,
                               QStringLiteral("%1 hands were written to %2. %3 rows of the history could not be "
                                              "read as hands and were left out.")
                                   .arg(result.rows)
                                   .arg(QDir::toNativeSeparators(path))
                                   .arg(result.unreadable));
                  });
}

// The dialogs are opened, not run: the table may close meanwhile, and the
// answer then finds no window to act on.
void ReviewWindow::askExport()
{
    auto *dialog = new QFileDialog(this, QStringLiteral("Export the shown hands"), QString(),
                                   QStringLiteral("Comma-separated values (*.csv)"));
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setDefaultSuffix(QStringLiteral("csv"));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QFileDialog::fileSelected, this, &ReviewWindow::exportShown);
    dialog->open();
}

void ReviewWindow::askToForget(qint64 session, const QString &question)
{
    auto *box = new QMessageBox(QMessageBox::Question, windowTitle(), question, QMessageBox::Yes | QMessageBox::No, this);
    box->setDefaultButton(QMessageBox::No);
    box->setAttribute(Qt::WA_DeleteOnClose);
    connect(box, &QMessageBox::finished, this, [this, session](int answer) {
        if (answer == QMessageBox::Yes)
            forget(session);
    });
    box->open();
}

HistoryJob *ReviewWindow::forget(qint64 session)
{
    HistoryJob *job = session ? m_history.deleteSession(session) : m_history.deleteAll();
    return runJob(job, QStringLiteral("Deleting the hands..."), [this](const HistoryJob::Result &result) {
        refresh();
        emit drillDueChanged();
        if (result.outcome == HistoryJob::Outcome::Failed)
            tell(this, QMessageBox::Warning, result.error);
    });
}

// The dialog shows itself only for work that lasts; the table plays on
// meanwhile, while the review's own controls wait for the end.
HistoryJob *ReviewWindow::runJob(HistoryJob *job, const QString &doing,
                                 std::function<void(const HistoryJob::Result &)> ended)
{
    job->setParent(this);
    auto *progress = new QProgressDialog(doing, QStringLiteral("Cancel"), 0, ProgressSteps, this);
    progress->setWindowTitle(windowTitle());
    progress->setAutoReset(false);
    progress->setAutoClose(false);
    progress->setMinimumDuration(ProgressShownAfterMs);
    connect(job, &HistoryJob::progressed, progress, [progress](qint64 done, qint64 total) {
        progress->setValue(total > 0 ? int(done * ProgressSteps / total) : 0);
    });
    connect(progress, &QProgressDialog::canceled, job, &HistoryJob::cancel);
    connect(job, &HistoryJob::finished, this, [this, job, progress, ended](const HistoryJob::Result &result) {
        progress->deleteLater();
        job->deleteLater();
        m_tabs->setEnabled(true);
        ended(result);
    });
    m_tabs->setEnabled(false);
    job->start();
    return job;
}

DrillWindow *ReviewWindow::openDrill()
{
    // A drill that is over gives way to a new one.
    if (m_drill && m_drill->finished()) {
        m_drill->close();
        m_drill = nullptr;
    }
    if (!m_drill) {
        m_drill = new DrillWindow(m_faces, m_history, this);
        connect(m_drill, &DrillWindow::answerRecorded, this, &ReviewWindow::drillDueChanged);
    }
    m_drill->show();
    m_drill->raise();
    return m_drill;
}
