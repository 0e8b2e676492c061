#pragma once

#include "analysis/holdadvisor.h"

#include <QObject>
#include <QString>

#include <optional>

class Round;

// Exact values are kept per credit bet; what the player sees is in credits
// at the bet of the hand.
struct SessionStats
{
    int hands = 0;
    qint64 creditsBet = 0;
    qint64 creditsWon = 0;
    double expectedYours = 0; // what the player's holds were worth, in credits
    double expectedBest = 0;  // what the best holds were worth, in credits
    int mistakes = 0;
    double mistakeCost = 0; // credits the mistakes cost in expectation

    // Credits won per credit bet; 0 before the first hand.
    double actualReturn() const { return creditsBet ? double(creditsWon) / double(creditsBet) : 0.0; }
};

// A hold the player drew with that is worth less than the best one.
struct Mistake
{
    unsigned bestHold = 0;
    double cost = 0; // credits at the bet of the hand
};

// The trainer follows a round and works out, for every deal, the exact
// value of every hold on the deck as it really is: the cards dealt since
// the last shuffle are out of it. After the draw it names the hand, says
// what it paid, and prices the player's holds against the best ones. It
// changes nothing of the round.
class Trainer : public QObject
{
    Q_OBJECT

public:
    explicit Trainer(const Round &round, QObject *parent = nullptr);

    // The five cards as dealt, before the draw replaced any.
    const std::array<CardCode, HandSize> &dealtHand() const { return m_dealtHand; }
    // The 32 holds of the current deal, from the deal until the next one.
    const std::optional<std::array<HoldResult, HoldCount>> &holds() const { return m_holds; }
    // The holds of the current deal, best first.
    std::array<unsigned, HoldCount> rankedHolds() const;
    // What a hold of the current deal is expected to return, in credits at
    // the bet of the deal.
    double expectedCredits(unsigned mask) const;

    // After a draw and until the next deal: the final hand's outcome, with
    // one pair told apart from no pair, and whether it was a mistake.
    std::optional<Outcome> drawnOutcome() const { return m_drawnOutcome; }
    const std::optional<Mistake> &mistake() const { return m_mistake; }
    // The credits ran out at the last draw and were refilled.
    bool refilled() const { return m_refilled; }

    const SessionStats &session() const { return m_session; }
    void resetSession();

    // "Full house", "One pair", "No pair", ...
    static QString outcomeName(Outcome outcome);

signals:
    // Anything the trainer shows has changed.
    void changed();

private:
    void analyseDeal();
    void checkDraw(Outcome outcome, qint32 winnings);

    const Round &m_round;
    std::array<CardCode, HandSize> m_dealtHand{};
    std::optional<std::array<HoldResult, HoldCount>> m_holds;
    std::optional<Outcome> m_drawnOutcome;
    std::optional<Mistake> m_mistake;
    qint32 m_bet = 0; // the bet of the current deal
    bool m_refilled = false;
    SessionStats m_session;
};
