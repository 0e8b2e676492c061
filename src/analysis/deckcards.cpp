#include "deckcards.h"

CardSet undealtCards(const Deck &deck)
{
    CardSet cards = 0;
    for (int rank = 0; rank < RankCount; ++rank) {
        for (int suit = 0; suit < SuitCount; ++suit) {
            if (!deck.dealt[std::size_t(rank)][std::size_t(suit)])
                cards |= cardBit({qint16(rank), qint16(suit)});
        }
    }
    return cards;
}
