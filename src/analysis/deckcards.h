#pragma once

#include "holdadvisor.h"
#include "model/deck.h"

// The cards still in the deck: every card not dealt since the last shuffle.
inline CardSet cardsLeft(const Deck &deck)
{
    CardSet left = 0;
    for (int rank = 0; rank < RankCount; ++rank) {
        for (int suit = 0; suit < SuitCount; ++suit) {
            if (!deck.dealt[std::size_t(rank)][std::size_t(suit)])
                left |= cardBit({qint16(rank), qint16(suit)});
        }
    }
    return left;
}
