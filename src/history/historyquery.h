#pragma once

#include "model/handrecord.h"

#include <QList>
#include <QString>
#include <QtGlobal>

#include <array>
#include <optional>

// A stored hand: its row id and its record, and whether the row held a
// hand the game can show: one that fails the checks made as it is read
// (cards out of range or repeated, holds or outcomes that do not exist,
// values that are not finite) is never drawn, judged or exported.
struct StoredHand
{
    qint64 id = 0;
    HandRecord record;
    bool readable = true;
};

// The records of stored hands, in their order.
inline QList<HandRecord> recordsOf(const QList<StoredHand> &hands)
{
    QList<HandRecord> records;
    records.reserve(hands.size());
    for (const StoredHand &hand : hands)
        records.append(hand.record);
    return records;
}

// What a read of the history gave: the value read, or why the history
// could not be read, so that a file that fails is never taken for one
// without hands.
template <class T>
struct HistoryRead
{
    T value{};
    // Why the history could not be read, as a sentence for the player;
    // empty when it was read.
    QString error;

    bool ok() const { return error.isEmpty(); }
};

// Which hands a list of hands shows, and in what order.
struct HandQuery
{
    enum class Order { NewestFirst, CostliestFirst, BestOutcomeFirst };

    qint64 session = 0; // 0: every session
    bool mistakesOnly = false;
    Order order = Order::NewestFirst;
};

// The figures of a set of hands: a session or the whole history.
struct HistoryStats
{
    qint64 hands = 0;
    qint64 mistakes = 0;
    qint64 warned = 0;
    qint64 heeded = 0; // warned, and drawn with holds worth the best
    qint64 creditsBet = 0;
    qint64 creditsWon = 0;
    double heldCredits = 0; // what the player's holds were expected to return
    double bestCredits = 0; // what the best holds were expected to return
    // Final hands by outcome, one pair told apart from no pair.
    std::array<qint64, OutcomeCount> outcomes{};

    // The share of hands drawn with the best holds, after any warning.
    double accuracy() const { return hands ? double(hands - mistakes) / double(hands) : 0.0; }
    // The share right at the first press of DEAL: a warning heeded was a
    // mistake put right.
    double firstPressAccuracy() const { return hands ? double(hands - mistakes - heeded) / double(hands) : 0.0; }
    double expectedLoss() const { return bestCredits - heldCredits; }
    // Per credit bet, so that sessions at different bets compare.
    double lossPerCreditBet() const { return creditsBet ? expectedLoss() / double(creditsBet) : 0.0; }
    // The share of the best play's expected return that the player's
    // holds kept.
    double returnAgainstBest() const { return bestCredits > 0 ? heldCredits / bestCredits : 0.0; }
    // Credits won per credit bet.
    double actualReturn() const { return creditsBet ? double(creditsWon) / double(creditsBet) : 0.0; }
};

// One point of the progress chart: a session, when it began, and its play.
struct SessionPoint
{
    qint64 session = 0;
    qint64 hands = 0;
    double accuracy = 0;           // 0..1, after warnings
    double firstPressAccuracy = 0; // 0..1
    double lossPer100HandsAtBet1 = 0; // the expected loss per credit bet, times 100
};

// One point of a session's credits chart: the credits after a hand.
struct CreditsPoint
{
    int hand = 0; // 1 for the session's first hand
    qint32 credits = 0;
};

// What the drill has waiting: the mistakes due now, and when the first of
// the others comes due, in milliseconds since 1970 (UTC).
struct DrillOutlook
{
    qint64 dueNow = 0;
    std::optional<qint64> nextDue;
};
