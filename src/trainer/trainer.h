#pragma once

#include "judgement.h"
#include "model/handrecord.h"

#include <QObject>
#include <QList>
#include <QString>
#include <QStringList>

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
    int mistakes = 0;      // the holds drawn with, after any warning
    double mistakeCost = 0; // credits the mistakes cost in expectation
    int firstPressMistakes = 0; // the holds at the first press of DEAL
    int warned = 0;
    int heeded = 0; // warned, and drawn with the best holds

    // Credits won per credit bet; 0 before the first hand.
    double actualReturn() const { return creditsBet ? double(creditsWon) / double(creditsBet) : 0.0; }
    // The expected loss to mistakes per credit bet, so that sessions at
    // different bets compare; 0 before the first hand.
    double lossPerCreditBet() const { return creditsBet ? mistakeCost / double(creditsBet) : 0.0; }
};

// A hold the player drew with that is worth less than the best one.
struct Mistake
{
    unsigned bestHold = 0;
    double expectedLoss = 0; // credits at the bet of the hand
};

// The trainer follows a round and works out, for every deal, the exact
// value of every hold on the deck as it really is: the cards dealt since
// the last shuffle are out of it. Before the draw it can warn about holds
// worth less than the best; after the draw it names the hand, says what it
// paid, and prices the player's holds against the best ones. Where the
// cards already gone make a hold best that would not be on a fresh deck, it
// says so and why. It changes nothing of the round: the table asks it
// before it presses DEAL.
class Trainer : public QObject
{
    Q_OBJECT

public:
    explicit Trainer(const Round &round, QObject *parent = nullptr);

    // The judgement of the current deal, from the deal until the next one.
    const std::optional<Judgement> &judgement() const { return m_judgement; }

    // The player pressed DEAL to draw with `heldMask`. True when the draw may
    // go ahead: the holds are worth enough, or the player was warned about
    // these very holds and pressed again. Otherwise a warning stands until
    // the draw, a change of holds that makes them good, or the next deal.
    bool confirmDraw(unsigned heldMask);
    // The holds the standing warning is about, if any.
    std::optional<unsigned> warnedHolds() const { return m_warned; }
    // The deck was shuffled after the last deal: what the cards gone did to
    // that deal no longer concerns the deck.
    bool shuffledSinceDeal() const { return m_shuffledSinceDeal; }
    void setWarnThreshold(WarnThreshold threshold) { m_threshold = threshold; }

    // The trainer's words on the live deal, plain text with cards as "Q♣";
    // each is empty when it has nothing to say.
    // The standing warning: "Holding Q♣ Q♠ is worth 1.39 credits; your hold, ..."
    QString warningText() const;
    // After the draw: the player's hold against the best.
    QString verdictText() const;
    // The holds of the standing warning, or after the draw the holds drawn
    // with, against the best by the strategy chart's lines.
    QString strategyText() const;
    // The session so far, a line a figure; one line before the first hand.
    QStringList sessionLines() const;

    // After a draw and until the next deal: the final hand's outcome, with
    // one pair told apart from no pair, and whether it was a mistake.
    std::optional<Outcome> drawnOutcome() const { return m_drawnOutcome; }
    std::optional<Mistake> mistake() const;
    // The credits ran out at the last draw and were refilled.
    bool refilled() const { return m_refilled; }

    const SessionStats &session() const { return m_session; }
    // When the session began, in milliseconds since 1970: the session's
    // name in the hand history.
    qint64 sessionStart() const { return m_sessionStart; }
    void resetSession();

    // "Full house", "One pair", "No pair", ...
    static QString outcomeName(Outcome outcome);

signals:
    // Anything the trainer shows has changed.
    void changed();
    // A hand was drawn and paid: its record, for the hand history.
    void settled(const HandRecord &record);

private:
    void analyseDeal();
    void checkDraw(Outcome outcome, qint32 winnings);
    void recheckHolds();
    HandRecord settledRecord(qint32 winnings) const;

    const Round &m_round;
    std::optional<Judgement> m_judgement;
    std::optional<Outcome> m_drawnOutcome;
    std::optional<unsigned> m_warned;
    // The holds of the last press of DEAL that was warned about: pressing
    // again with them draws.
    std::optional<unsigned> m_warnedAtPress;
    std::optional<unsigned> m_firstHolds;
    bool m_shuffledSinceDeal = false;
    unsigned m_drawnHolds = 0;
    WarnThreshold m_threshold = WarnThreshold::AnyLoss;
    bool m_refilled = false;
    bool m_warnedThisDeal = false;
    SessionStats m_session;
    qint64 m_sessionStart = 0;
};
