#pragma once

#include "history/historyquery.h"

#include <QList>
#include <QWidget>

class CardFaces;
class HandHistory;
class HandView;
class QLabel;
class QPushButton;

// Practice on the player's own mistakes, apart from the table: no credits,
// no bet, and the table's round untouched. Each hand is dealt again with
// the same cards gone from the deck; the player holds and answers, and the
// trainer says at once what was best. The history schedules the hands: a
// right answer puts a hand off for longer each time, a wrong one brings it
// back later in the same drill. The costliest come first.
class DrillWindow : public QWidget
{
    Q_OBJECT

public:
    // Answers in one drill, after which it ends with a score.
    static constexpr int DrillLength = 10;

    DrillWindow(const CardFaces &faces, HandHistory &history, QWidget *parent);

    void toggleHold(int slot);
    // Judges the holds of the hand shown, or goes on to the next hand once
    // it has been judged.
    void answerOrGoOn();

    int answered() const { return m_answered; }
    int rightAnswers() const { return m_right; }
    bool finished() const { return m_finished; }
    // The hand being asked, if the drill is not over.
    const StoredHand *current() const { return m_queue.isEmpty() || m_finished ? nullptr : &m_queue.first(); }
    HandView *view() const { return m_view; }
    QLabel *status() const { return m_status; }

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void ask();
    void judge();
    void finish();

    HandHistory &m_history;
    QList<StoredHand> m_queue;
    HandView *m_view;
    QLabel *m_status;
    QPushButton *m_button;
    bool m_judged = false;
    bool m_finished = false;
    int m_answered = 0;
    int m_right = 0;
};
