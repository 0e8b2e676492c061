#include "deckcards.h"

#include <algorithm>

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

std::array<CardCode, HandSize> handCards(const Deck &deck)
{
    std::array<CardCode, HandSize> cards;
    std::copy(deck.hand.begin() + 1, deck.hand.end(), cards.begin());
    return cards;
}
