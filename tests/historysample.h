#pragma once

#include "model/handrecord.h"

#include <QRandomGenerator>

#include <bit>

// A hand record of made-up but consistent content: ten different cards,
// those gone at the deal kept apart from them, a loss when the holds differ
// from the best.
inline HandRecord sampleHand(QRandomGenerator &random, qint64 session, qint64 playedAt)
{
    HandRecord hand;
    hand.playedAt = playedAt;
    hand.session = session;
    hand.bet = random.bounded(1, 100);
    CardSet used = 0;
    const auto drawCard = [&] {
        int index;
        do
            index = random.bounded(DeckSize);
        while (used & (CardSet(1) << index));
        used |= CardSet(1) << index;
        return CardCode{qint16(index / SuitCount), qint16(index % SuitCount)};
    };
    for (CardCode &card : hand.dealt)
        card = drawCard();
    for (CardCode &card : hand.final)
        card = drawCard();
    hand.goneAtDeal = random.generate64() & FullDeck & ~used;
    hand.bestHold = random.bounded(HoldCount);
    hand.held = random.bounded(4) ? hand.bestHold : unsigned(random.bounded(HoldCount));
    hand.bestCredits = hand.bet * random.bounded(2.0);
    hand.heldCredits = hand.held == hand.bestHold ? hand.bestCredits : hand.bestCredits * random.bounded(1.0);
    hand.outcome = Outcome(random.bounded(int(OutcomeCount)));
    hand.winnings = random.bounded(3) ? 0 : hand.bet * 2;
    hand.credits = random.bounded(1, 2000);
    // Warned at the first press, drawn with the best (heeded) or not; first
    // holds sometimes unknown, as in a hand kept before they were.
    hand.warned = random.bounded(3) == 0;
    const unsigned firstHeld = hand.warned ? (hand.bestHold + 1 + random.bounded(HoldCount - 1)) % HoldCount : hand.held;
    if (random.bounded(8))
        hand.firstHeld = firstHeld;
    return hand;
}
