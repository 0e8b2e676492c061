#include "screens/review/drillwindow.h"

#include "history/handhistory.h"
#include "model/names.h"
#include "platform/windowplaces.h"
#include "screens/review/handview.h"
#include "screens/trainerpanel.h"
#include "trainer/gamestrategy.h"
#include "trainer/judgement.h"
#include "trainer/madetoorder.h"

#include <QDateTime>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

#include <bit>

namespace {

// Hands made to order are numbered -1, -2, ...: ids no row of the history
// has, apart for the drill's queue.
bool isMadeToOrder(const StoredHand &hand)
{
    return hand.id < 0;
}

} // namespace

DrillWindow::DrillWindow(const CardFaces &faces, HandHistory &history, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_history(history)
    , m_queue({})
{
    build(faces);
    const HistoryRead<QList<StoredHand>> due = m_history.dueMistakes(QDateTime::currentDateTimeUtc(), DrillLength);
    QList<StoredHand> hands = due.value;
    if (due.ok() && hands.isEmpty()) {
        const HistoryRead<QList<StoredHand>> latest = m_history.mistakes(0, MistakesSortedByKind);
        hands = madeToOrder(mistakesByKind(recordsOf(latest.value), gameStrategy(ChartLevel::Full)), DrillLength);
    }
    start(hands);
    // A history that cannot be read is not one without mistakes.
    if (!due.ok())
        m_status->setText(due.error);
}

DrillWindow::DrillWindow(const CardFaces &faces, HandHistory &history, const MistakeKind &kind, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_history(history)
    , m_queue({})
{
    build(faces);
    setWindowTitle(QStringLiteral("Drill: kept %1 over %2").arg(kind.kept, kind.best));
    const StrategyChart &chart = gameStrategy(ChartLevel::Full);
    const HistoryRead<QList<StoredHand>> latest = m_history.mistakes(0, MistakesSortedByKind);
    QList<StoredHand> hands;
    for (const StoredHand &hand : latest.value) {
        const HandRecord &record = hand.record;
        if (hands.size() < DrillLength && chart.holdLineText(record.dealt, record.held) == kind.kept
            && chart.holdLineText(record.dealt, record.bestHold) == kind.best)
            hands.append(hand);
    }
    hands += madeToOrder({kind}, DrillLength - int(hands.size()));
    start(hands);
}

void DrillWindow::build(const CardFaces &faces)
{
    setWindowTitle(QStringLiteral("Mistake drill"));
    setAttribute(Qt::WA_DeleteOnClose);
    // The hand scrolls where the screen is small; the button stays in view.
    auto *hand = new QWidget;
    auto *handLayout = new QVBoxLayout(hand);
    handLayout->setContentsMargins(0, 0, 0, 0);
    m_status = new QLabel;
    m_status->setAccessibleName(QStringLiteral("Drill"));
    handLayout->addWidget(m_status);
    m_view = new HandView(faces, this);
    handLayout->addWidget(m_view, 1);
    auto *scroll = new QScrollArea;
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidget(hand);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(scroll, 1);
    m_button = new QPushButton;
    layout->addWidget(m_button, 0, Qt::AlignLeft);
    m_button->setFocusPolicy(Qt::NoFocus);
    connect(m_view, &HandView::cardClicked, this, &DrillWindow::toggleHold);
    connect(m_button, &QPushButton::clicked, this, &DrillWindow::answerOrGoOn);
    WindowPlaces::placeOwned(this, QStringLiteral("drill"), {820, 760});
}

void DrillWindow::start(const QList<StoredHand> &hands)
{
    m_queue = DrillQueue(hands);
    ask();
}

// Made-to-order hands are dealt afresh for each drill, from the clock.
QList<StoredHand> DrillWindow::madeToOrder(const QList<MistakeKind> &kinds, int count) const
{
    constexpr int KindsTaken = 3;
    QList<QList<HandRecord>> byKind;
    const quint64 seed = quint64(QDateTime::currentMSecsSinceEpoch());
    for (const MistakeKind &kind : kinds) {
        if (byKind.size() == KindsTaken)
            break;
        QList<HandRecord> hands = handsOfKind(kind, gameStrategy(ChartLevel::Full), count, seed + quint64(byKind.size()));
        if (!hands.isEmpty())
            byKind.append(hands);
    }
    QList<StoredHand> hands;
    for (int round = 0; hands.size() < count && !byKind.isEmpty(); ++round) {
        bool any = false;
        for (const QList<HandRecord> &ofKind : byKind) {
            if (round < ofKind.size() && hands.size() < count) {
                hands.append(StoredHand{-1 - qint64(hands.size()), ofKind[round], true});
                any = true;
            }
        }
        if (!any)
            break;
    }
    return hands;
}

void DrillWindow::toggleHold(int slot)
{
    if (current() && !m_judged)
        m_view->setHeld(m_view->held() ^ (1u << slot));
}

void DrillWindow::answerOrGoOn()
{
    if (m_finished)
        close();
    else if (!m_judged)
        judge();
    else
        ask();
}

void DrillWindow::ask()
{
    m_judged = false;
    const StoredHand *next = m_queue.current();
    if (!next) {
        finish();
        return;
    }
    m_asked = *next;
    const HandRecord &hand = m_asked->record;
    m_view->showDeal(hand.dealt);
    m_view->showDeck(hand.goneAtDeal, hand.dealt);
    const QString deck = isMadeToOrder(*m_asked)
                             ? QStringLiteral("A hand made to order, of a kind of mistake you make, dealt from a fresh deck.")
                             : QStringLiteral("The deck is as it was, as the map shows: %1 cards were gone "
                                              "since the shuffle.").arg(std::popcount(hand.goneAtDeal));
    m_view->showText(QStringLiteral("Click the cards you would hold, or press 1 to 5, then Enter to answer. ") + deck);
    m_status->setText(QStringLiteral("Hand %1 of %2 at a bet of %3 \u00b7 right so far: %4")
                          .arg(m_queue.position()).arg(m_queue.total()).arg(hand.bet).arg(m_queue.rightAnswers()));
    m_button->setText(QStringLiteral("Answer"));
}

void DrillWindow::judge()
{
    const Judgement judgement(m_asked->record);
    const bool right = !judgement.isMistake(m_view->held());
    m_view->showJudgement(judgement, m_view->held());
    if (!isMadeToOrder(*m_asked))
        m_history.recordDrillAnswer(m_asked->id, right, QDateTime::currentDateTimeUtc());
    const int waitingBefore = m_queue.total() - m_queue.answered();
    m_queue.answer(right);
    const bool comesBack = m_queue.total() - m_queue.answered() == waitingBefore;
    m_judged = true;
    emit answerRecorded();
    QString verdict = right ? QStringLiteral("Right") : QStringLiteral("Not the best hold");
    if (comesBack)
        verdict += QStringLiteral(": this hand comes back later in the drill");
    m_status->setText(QStringLiteral("%1 \u00b7 right so far: %2 of %3")
                          .arg(verdict).arg(m_queue.rightAnswers()).arg(m_queue.answered()));
    m_button->setText(QStringLiteral("Next"));
}

void DrillWindow::finish()
{
    m_finished = true;
    m_asked.reset();
    m_view->hideCards();
    const int answers = m_queue.answered();
    m_status->setText(answers == 0 ? QStringLiteral("No mistakes are due for the drill.")
                                   : QStringLiteral("Drill over: %1 of %2 right.").arg(m_queue.rightAnswers()).arg(answers));
    QString text;
    if (answers > 0) {
        text = QStringLiteral("<h2>Score: %1 of %2</h2>").arg(m_queue.rightAnswers()).arg(answers) + missedList()
               + QStringLiteral("<p>Hands answered right come back after longer and longer intervals; those "
                                "answered wrong are due again at once.</p>");
    }
    m_view->showText(text + whenNextDue());
    m_button->setText(QStringLiteral("Close"));
}

// Each hand missed, with its best hold and what that hold is worth.
QString DrillWindow::missedList() const
{
    const QList<DrillQueue::Missed> &missed = m_queue.missed();
    if (missed.isEmpty())
        return QStringLiteral("<p>No hand missed.</p>");
    QString rows;
    for (const DrillQueue::Missed &miss : missed) {
        const HandRecord &hand = miss.hand.record;
        rows += QStringLiteral("<tr><td>%1</td><td>&nbsp;%2 (%3)</td><td>&nbsp;%4</td></tr>")
                    .arg(richCards(keptCardsText(hand.dealt, HoldCount - 1)),
                         richCards(keptCardsText(hand.dealt, hand.bestHold)), QString::number(hand.bestCredits, 'f', 2),
                         miss.rightInTheEnd ? QStringLiteral("right when it came back") : QStringLiteral("still missed"));
    }
    return QStringLiteral("<p>The hands missed:</p><table cellspacing=0 cellpadding=2><tr><th align=left>Dealt</th>"
                          "<th align=left>&nbsp;Best hold (expected credits)</th><th align=left>&nbsp;In this drill</th>"
                          "</tr>%1</table>")
        .arg(rows);
}

QString DrillWindow::whenNextDue() const
{
    const HistoryRead<DrillOutlook> outlook = m_history.drillOutlook(QDateTime::currentDateTimeUtc());
    if (!outlook.ok())
        return QStringLiteral("<p>%1</p>").arg(outlook.error.toHtmlEscaped());
    QStringList words;
    if (outlook.value.dueNow > 0)
        words << (outlook.value.dueNow == 1 ? QStringLiteral("1 mistake is due now.")
                                            : QStringLiteral("%1 mistakes are due now.").arg(outlook.value.dueNow));
    if (outlook.value.nextDue) {
        const QDateTime next = QDateTime::fromMSecsSinceEpoch(*outlook.value.nextDue).toLocalTime();
        words << QStringLiteral("%1 next hand is due on %2.")
                     .arg(outlook.value.dueNow > 0 ? QStringLiteral("After those, the") : QStringLiteral("The"),
                          QLocale().toString(next, QStringLiteral("dddd d MMMM 'at' HH:mm")));
    }
    if (words.isEmpty())
        words << QStringLiteral("No other hand is waiting for a drill.");
    return QStringLiteral("<p>%1</p>").arg(words.join(QLatin1Char(' ')));
}

void DrillWindow::keyPressEvent(QKeyEvent *event)
{
    const int key = event->key();
    if (key >= Qt::Key_1 && key <= Qt::Key_5)
        toggleHold(key - Qt::Key_1);
    else if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space)
        answerOrGoOn();
    else
        QWidget::keyPressEvent(event);
}
