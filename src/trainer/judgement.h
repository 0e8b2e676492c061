#pragma once

#include "analysis/holdadvisor.h"
#include "model/handrecord.h"

#include <QList>
#include <QString>

#include <array>
#include <optional>

// How much less than the best the player's holds must be worth before the
// trainer warns, ahead of the draw: any amount, or more than a share of the
// bet.
enum class WarnThreshold { AnyLoss, OverOnePercentOfBet, OverFivePercentOfBet, OverTenPercentOfBet };
// The share of the bet, in per cent, a threshold warns above; 0 for any loss.
int percentOfBet(WarnThreshold threshold);

// One line of the advice: a hold, where it ranks, and whether it is worth
// exactly as much as the hold ranked above it.
struct AdviceRow
{
    int place = 0; // 1 for the best; holds worth the same share a place
    unsigned mask = 0;
    double credits = 0;
    bool tiedWithAbove = false;
};

// A deal judged: the exact value of every hold on the deck as it was at
// the deal (the cards gone since the shuffle are out of it), the best
// hold, where any hold ranks, and the trainer's words on the holds. It is
// a value made from the deal alone, so the table's trainer judges each
// live deal with it, the review a stored hand and the drill an answer.
class Judgement
{
public:
    // The five cards dealt, on the deck without them and without `goneAtDeal`,
    // at `bet`, paid by `table`.
    Judgement(const std::array<CardCode, HandSize> &dealt, CardSet goneAtDeal, qint32 bet, const PayTable &table);
    // A hand as the history keeps it, on the game's own table.
    explicit Judgement(const HandRecord &hand);

    const std::array<CardCode, HandSize> &dealt() const { return m_dealt; }
    CardSet goneAtDeal() const { return m_goneAtDeal; }
    qint32 bet() const { return m_bet; }
    const std::array<HoldResult, HoldCount> &holds() const { return m_holds; }
    unsigned best() const { return m_best; }
    // What a hold is expected to return, in credits at the bet.
    double expectedCredits(unsigned mask) const { return m_holds[mask].expectedReturn() * m_bet; }
    // Whether the hold is worth less than the best.
    bool isMistake(unsigned held) const;
    // What the hold costs against the best, in credits at the bet; 0 for a
    // hold worth as much.
    double expectedLoss(unsigned held) const;
    // Whether the hold is worth enough less than the best to warn about.
    bool worthWarning(unsigned held, WarnThreshold threshold) const;
    // The best holds, `count` of them, and the hold `mask` in its place
    // below them when it ranks lower: where the player's hold stands.
    QList<AdviceRow> advice(int count, unsigned mask) const;

    // The trainer's words, plain text with cards as "Q♣"; empty when there
    // is nothing to say.
    // "Holding Q♣ Q♠ is worth 1.39 credits; your hold, ...", and why: the
    // outs of each.
    QString warningText(unsigned held) const;
    // The player's hold against the best, as said after the draw.
    QString verdictText(unsigned held) const;
    // Why the cards already gone changed the best hold, by the cards left.
    QString deckEffectText() const;
    // The best hold and the player's, in two lines.
    QString hintText(unsigned mask) const;
    // The player's hold and the best in the lines of the game's strategy
    // chart, and where the best on the deck as it is was not the chart's
    // pick, whether the cards gone made the difference or the chart misses
    // the hand: "You kept three to a flush (on no line); the best, Q♣ Q♠,
    // is a pair (line 5)." Empty on another pay table.
    QString strategyText(unsigned held) const;

    // Credits with two decimals, or as many more as tell `value` from a
    // different `neighbour`.
    static QString creditsText(double value, double neighbour);

private:
    // Whether `hold` is worth as much as the best on a fresh deck (the 47
    // cards that are not in the hand).
    bool isBestOnFreshDeck(unsigned hold) const;

    // The holds, best first.
    std::array<unsigned, HoldCount> rankedHolds() const;
    QString heldWithCredits(unsigned mask, unsigned other) const;
    // "Q♠ Q♦ 10♠ makes two pair or better in 3 of 7 draws, Q♠ Q♦ in 4 of
    // 35": the outs of two holds on the deck as it is.
    QString outsText(unsigned mask, unsigned other) const;
    // The cards left that tell the best hold from `other`, as a player can
    // count them on the deck: "1 ten is among the 7 cards left".
    QString cardsLeftText(unsigned other) const;

    std::array<CardCode, HandSize> m_dealt;
    CardSet m_goneAtDeal;
    qint32 m_bet;
    std::array<HoldResult, HoldCount> m_holds;
    unsigned m_best;
    PayTable m_table;
    bool m_onGameTable;
    // What each hold is worth on a fresh deck (the 47 cards that are not
    // in the hand).
    std::array<HoldValue, HoldCount> m_freshValues;
    // The hold that is best on a fresh deck (the 47 cards that are not in
    // the hand), when it differs from the best on the deck as it is and is
    // worth less here.
    std::optional<unsigned> m_freshBest;
};
