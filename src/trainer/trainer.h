#pragma once

#include "analysis/holdadvisor.h"
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
    int mistakes = 0;
    double mistakeCost = 0; // credits the mistakes cost in expectation

    // Credits won per credit bet; 0 before the first hand.
    double actualReturn() const { return creditsBet ? double(creditsWon) / double(creditsBet) : 0.0; }
};

// A hold the player drew with that is worth less than the best one.
struct Mistake
{
    unsigned bestHold = 0;
    double expectedLoss = 0; // credits at the bet of the hand
};

// How much less than the best the player's holds must be worth before the
// trainer warns, ahead of the draw.
enum class WarnThreshold { AnyLoss, OverOnePercentOfBet };

// One line of the advice: a hold, where it ranks, and whether it is worth
// exactly as much as the hold ranked above it.
struct AdviceRow
{
    int place = 0; // 1 for the best; holds worth the same share a place
    unsigned mask = 0;
    double credits = 0;
    bool tiedWithAbove = false;
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

    // The five cards as dealt, before the draw replaced any.
    const std::array<CardCode, HandSize> &dealtHand() const { return m_dealtHand; }
    // The 32 holds of the current deal, from the deal until the next one.
    const std::optional<std::array<HoldResult, HoldCount>> &holds() const { return m_holds; }
    // The holds of the current deal, best first.
    std::array<unsigned, HoldCount> rankedHolds() const;
    // What a hold of the current deal is expected to return, in credits at
    // the bet of the deal.
    double expectedCredits(unsigned mask) const;

    // The player pressed DEAL to draw with `heldMask`. True when the draw may
    // go ahead: the holds are worth enough, or the player was warned about
    // these very holds and pressed again. Otherwise a warning stands until
    // the draw, a change of holds that makes them good, or the next deal.
    bool confirmDraw(unsigned heldMask);
    // The holds the standing warning is about, if any.
    std::optional<unsigned> warnedHolds() const { return m_warned; }
    void setWarnThreshold(WarnThreshold threshold) { m_threshold = threshold; }
    WarnThreshold warnThreshold() const { return m_threshold; }

    // Judges a deal that is not the round's, as the history keeps it: the
    // five cards dealt on the deck without the cards gone, at the bet, drawn
    // with the holds `held`. Until the round deals again the trainer's words
    // speak of that deal, as they would have after its draw.
    void judge(const HandRecord &hand);

    // The hold that is best on a fresh deck (the 47 cards that are not in
    // the hand), when it differs from the best on the deck as it is and is
    // worth less here.
    std::optional<unsigned> freshDeckHold() const { return m_freshBest; }

    // The best holds, `count` of them, and the hold `mask` in its place
    // below them when it ranks lower.
    QList<AdviceRow> advice(int count, unsigned mask) const;

    // The trainer's words, plain text with cards as "Q♣". Each is empty when
    // it has nothing to say.
    // "Holding Q♣ Q♠ is worth 1.39 credits; your hold, ..."
    QString warningText() const;
    // After the draw: the player's hold against the best.
    QString verdictText() const;
    // Why the cards already gone changed the best hold.
    QString deckEffectText() const;
    // The best hold and the player's, in two lines.
    QString hintText(unsigned mask) const;
    // The session so far, a line a figure; one line before the first hand.
    QStringList sessionLines() const;

    // Credits with two decimals, or as many more as tell `value` from a
    // different `neighbour`.
    static QString creditsText(double value, double neighbour);

    // After a draw and until the next deal: the final hand's outcome, with
    // one pair told apart from no pair, and whether it was a mistake.
    std::optional<Outcome> drawnOutcome() const { return m_drawnOutcome; }
    const std::optional<Mistake> &mistake() const { return m_mistake; }
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
    void analyse(const std::array<CardCode, HandSize> &hand, CardSet left, qint32 bet);
    // Prices the holds drawn with against the best; returns whether they
    // were a mistake.
    bool judgeHolds(unsigned held);
    void checkDraw(Outcome outcome, qint32 winnings);
    void recheckHolds();
    HandRecord settledRecord(qint32 winnings) const;
    bool worthWarning(unsigned mask) const;
    QString heldWithCredits(unsigned mask, unsigned other) const;

    const Round &m_round;
    std::array<CardCode, HandSize> m_dealtHand{};
    std::optional<std::array<HoldResult, HoldCount>> m_holds;
    std::optional<Outcome> m_drawnOutcome;
    std::optional<Mistake> m_mistake;
    std::optional<unsigned> m_warned;
    std::optional<unsigned> m_freshBest;
    CardSet m_goneAtDeal = 0; // dealt since the shuffle, less the hand
    unsigned m_drawnHolds = 0;
    bool m_holdsJudged = false; // from the draw, or a judged deal, until the next deal
    WarnThreshold m_threshold = WarnThreshold::AnyLoss;
    qint32 m_bet = 0; // the bet of the current deal
    bool m_refilled = false;
    bool m_warnedThisDeal = false;
    SessionStats m_session;
    qint64 m_sessionStart = 0;
};
