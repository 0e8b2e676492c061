#pragma once

#include "cardset.h"

#include <array>
#include <functional>

class RandomSource;

// The deck and the hand. The deck is not a list: it is a flag per card that
// says whether the card has been dealt since the last shuffle, and a card is
// drawn by picking a random rank and suit until an unmarked one turns up.
// Discarded cards stay marked, so one deck lasts over several rounds.
class Deck
{
public:
    explicit Deck(RandomSource &random);

    // Ten cards at most are drawn in a round, so past this many a deck
    // might run dry.
    static constexpr int ReshuffleAfter = 41;

    // Forgets every mark. Leaves the hand and dealtcount alone.
    void shuffle();
    // The automatic reshuffle: forgets every mark and starts counting the
    // cards drawn again.
    void reshuffle();
    // Before a new hand: reshuffles once more than ReshuffleAfter cards
    // were drawn since the last automatic reshuffle. Returns whether it did.
    bool reshuffleIfRunningLow();
    // Fills every slot 1..5 for which isHeld is false with a newly drawn card.
    void deal(const std::function<bool(int slot)> &isHeld);

    int markedCount() const;
    // The cards not dealt since the last shuffle: those a draw can bring.
    CardSet undealtCards() const;
    // The hand's five cards, slot 1 first.
    std::array<CardCode, HandSize> handCards() const;

    // Flags indexed [rank][suit]: true for a card dealt since the last shuffle.
    const std::array<std::array<bool, SuitCount>, RankCount> &dealt() const { return m_dealt; }
    // The hand, slots 1..5; slot 0 is never used.
    const std::array<CardCode, HandSize + 1> &hand() const { return m_hand; }
    // Cards drawn since the last automatic reshuffle, which resets it.
    qint16 dealtcount() const { return m_dealtcount; }

private:
    void drawInto(int slot);
    void returnDiscardsToDeck();

    RandomSource &m_random;
    std::array<std::array<bool, SuitCount>, RankCount> m_dealt{};
    std::array<CardCode, HandSize + 1> m_hand{};
    qint16 m_dealtcount = 0;
};
