#pragma once

#include "history/historyquery.h"

#include <QList>

// The order of one drill: the hands due, and each hand answered wrong asked
// again a few hands later, until it is answered right or has been asked
// MostAsks times, so that every drill ends. It counts the hands still to
// come, so that "hand k of N" is true at every step.
class DrillQueue
{
public:
    // Other hands asked before a missed one comes back, where that many
    // are left; otherwise it comes last.
    static constexpr int ComesBackAfter = 2;
    static constexpr int MostAsks = 3;

    // A hand missed at least once in this drill, and whether its last
    // answer was right.
    struct Missed
    {
        StoredHand hand;
        bool rightInTheEnd = false;
    };

    explicit DrillQueue(const QList<StoredHand> &due);

    // The hand being asked; nullptr once the drill is over.
    const StoredHand *current() const { return m_waiting.isEmpty() ? nullptr : &m_waiting.first().hand; }
    // The current hand's place, from 1, among all the drill asks.
    int position() const { return m_answered + 1; }
    // The answers the drill asks for in all: those given and those to come.
    int total() const { return m_answered + int(m_waiting.size()); }
    int answered() const { return m_answered; }
    int rightAnswers() const { return m_right; }
    // The hands missed, in the order they were first missed.
    const QList<Missed> &missed() const { return m_missed; }

    // Answers the current hand and goes on to the next.
    void answer(bool right);

private:
    struct Asking
    {
        StoredHand hand;
        int asked = 0;
    };
    QList<Asking> m_waiting;
    QList<Missed> m_missed;
    int m_answered = 0;
    int m_right = 0;
};
