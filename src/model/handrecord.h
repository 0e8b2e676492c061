#pragma once

#include "model/cardset.h"
#include "model/paytable.h"

#include <QtGlobal>

#include <array>
#include <optional>

// One settled hand as the history keeps it: everything needed to show the
// hand again on the deck as it was, to judge the holds and to count the
// money. The trainer fills it in; the history stores it.
struct HandRecord
{
    qint64 playedAt = 0; // when the hand was settled, milliseconds since 1970 (UTC)
    qint64 session = 0;  // when the trainer's session began, same units
    qint32 bet = 0;
    std::array<CardCode, HandSize> dealt{};
    // The cards dealt since the shuffle and gone at the deal, not counting
    // the five dealt: the deck at the deal is what is in neither.
    CardSet goneAtDeal = 0;
    unsigned held = 0;     // the holds drawn with, bit i for slot i + 1
    unsigned bestHold = 0; // the best hold on the deck as it was
    double heldCredits = 0; // what the holds were expected to return, in credits at the bet
    double bestCredits = 0; // what the best hold was expected to return
    std::array<CardCode, HandSize> final{};
    Outcome outcome = Nothing; // with one pair told apart from no pair: see Trainer::drawnOutcome
    qint32 winnings = 0;
    qint32 credits = 0; // the credits once the hand was paid
    bool warned = false; // training mode warned about the holds before the draw
    // The holds at the first press of DEAL, before any warning could change
    // them; unknown for hands recorded before the history kept them.
    std::optional<unsigned> firstHeld;

    // The cards a draw could bring at the deal: neither gone nor in the hand.
    CardSet deckAtDeal() const
    {
        CardSet hand = 0;
        for (const CardCode &card : dealt)
            hand |= cardBit(card);
        return FullDeck & ~goneAtDeal & ~hand;
    }
    double expectedLoss() const { return bestCredits - heldCredits; }
    bool isMistake() const { return bestCredits > heldCredits; }
    // A warning comes only at the first press and only for holds worth less
    // than the best, and holds that were not warned about are drawn with:
    // so the first press was wrong exactly when it was warned or the draw
    // was a mistake, whether its holds are known or not.
    bool firstPressMistake() const { return warned || isMistake(); }
    // Warned, and drawn with holds worth the best.
    bool heededWarning() const { return warned && !isMistake(); }

    friend bool operator==(const HandRecord &, const HandRecord &) = default;
};
