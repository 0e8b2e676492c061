#include "screens/review/drillwindow.h"

#include "history/handhistory.h"
#include "platform/windowplaces.h"
#include "screens/review/handview.h"
#include "trainer/judgement.h"

#include <QDateTime>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

#include <bit>

DrillWindow::DrillWindow(const CardFaces &faces, HandHistory &history, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_history(history)
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

    const HistoryRead<QList<StoredHand>> due = m_history.dueMistakes(QDateTime::currentDateTimeUtc(), DrillLength);
    m_queue = due.value;
    ask();
    // A history that cannot be read is not one without mistakes.
    if (!due.ok())
        m_status->setText(due.error);
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
    else {
        m_queue.removeFirst();
        ask();
    }
}

void DrillWindow::ask()
{
    m_judged = false;
    if (m_queue.isEmpty() || m_answered == DrillLength) {
        finish();
        return;
    }
    const HandRecord &hand = m_queue.first().record;
    m_view->showDeal(hand.dealt);
    m_view->showText(QStringLiteral("Click the cards you would hold, or press 1 to 5, then Enter to answer. "
                                    "The deck is as it was: %1 cards were gone since the shuffle.")
                         .arg(std::popcount(hand.goneAtDeal)));
    m_status->setText(QStringLiteral("Hand %1 of %2 at a bet of %3 \u00b7 right so far: %4")
                          .arg(m_answered + 1).arg(DrillLength).arg(hand.bet).arg(m_right));
    m_button->setText(QStringLiteral("Answer"));
}

// A wrong answer puts the hand at the back of the drill, to be met again.
void DrillWindow::judge()
{
    const StoredHand asked = m_queue.first();
    const Judgement judgement(asked.record);
    const bool right = !judgement.isMistake(m_view->held());
    m_view->showJudgement(judgement, m_view->held());
    m_history.recordDrillAnswer(asked.id, right, QDateTime::currentDateTimeUtc());
    ++m_answered;
    m_right += right;
    if (!right)
        m_queue.append(asked);
    m_judged = true;
    m_status->setText(QStringLiteral("%1 \u00b7 right so far: %2 of %3")
                          .arg(right ? QStringLiteral("Right") : QStringLiteral("Not the best hold"))
                          .arg(m_right).arg(m_answered));
    m_button->setText(QStringLiteral("Next"));
}

void DrillWindow::finish()
{
    m_finished = true;
    m_view->hideCards();
    m_status->setText(m_answered == 0 ? QStringLiteral("No mistakes are due for the drill.")
                                      : QStringLiteral("Drill over: %1 of %2 right.").arg(m_right).arg(m_answered));
    m_view->showText(m_answered == 0 ? QString()
                                     : QStringLiteral("<h2>Score: %1 of %2</h2>Hands answered right come back "
                                                      "after longer and longer intervals; the others are due "
                                                      "again at once.").arg(m_right).arg(m_answered));
    m_button->setText(QStringLiteral("Close"));
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
