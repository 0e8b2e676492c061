#pragma once

#include "history/drillqueue.h"
#include "history/historyquery.h"
#include "trainer/mistakekinds.h"

#include <QList>
#include <QWidget>

#include <optional>

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
// back a few hands later in the same drill. The costliest come first. The
// end lists the hands missed with their best holds, and says when the
// next hands are due. Where no hand is due, and for a drill of one kind of
// mistake, hands made to order of the kinds the player misses most stand
// in: dealt from a fresh deck, and kept out of the schedule.
class DrillWindow : public QWidget
{
    Q_OBJECT

public:
    // Hands taken into one drill; the hands missed come back besides.
    static constexpr int DrillLength = 10;

    // A drill of the mistakes due, or where none is due, of hands made to
    // order of the kinds the player misses most.
    DrillWindow(const CardFaces &faces, HandHistory &history, QWidget *parent);
    // A drill of one kind of mistake: the player's latest hands of the
    // kind, and hands made to order where there are too few.
    DrillWindow(const CardFaces &faces, HandHistory &history, const MistakeKind &kind, QWidget *parent);

    void toggleHold(int slot);
    // Judges the holds of the hand shown, or goes on to the next hand once
    // it has been judged.
    void answerOrGoOn();

    int answered() const { return m_queue.answered(); }
    int rightAnswers() const { return m_queue.rightAnswers(); }
    bool finished() const { return m_finished; }
    // The hand being asked, if the drill is not over.
    const StoredHand *current() const { return m_asked ? &*m_asked : nullptr; }
    HandView *view() const { return m_view; }
    QLabel *status() const { return m_status; }

signals:
    // An answer went into the history's schedule.
    void answerRecorded();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void build(const CardFaces &faces);
    void start(const QList<StoredHand> &hands);
    // Hands made to order, spread over the kinds in turn, up to a drill's length.
    QList<StoredHand> madeToOrder(const QList<MistakeKind> &kinds, int count) const;
    void ask();
    void judge();
    void finish();
    QString missedList() const;
    QString whenNextDue() const;

    HandHistory &m_history;
    DrillQueue m_queue;
    // The hand on show, kept while the queue goes on to the next.
    std::optional<StoredHand> m_asked;
    HandView *m_view;
    QLabel *m_status;
    QPushButton *m_button;
    bool m_judged = false;
    bool m_finished = false;
};
