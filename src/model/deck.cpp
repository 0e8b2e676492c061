#include "model/deck.h"

#include "model/randomsource.h"

#include <algorithm>
#include <cmath>

namespace {

// Scales a number in [0, 1) to 0..count-1. The clamp keeps a source that
// strays onto 1.0 from naming a card that does not exist.
qint16 scaled(float unit, int count)
{
    return qint16(std::clamp(int(std::floor(double(unit) * count)), 0, count - 1));
}

} // namespace

Deck::Deck(RandomSource &random)
    : m_random(random)
{
}

void Deck::shuffle()
{
    for (auto &ranks : m_dealt)
        ranks.fill(false);
}

void Deck::reshuffle()
{
    shuffle();
    m_dealtcount = 0;
}

bool Deck::reshuffleIfRunningLow()
{
    if (m_dealtcount <= ReshuffleAfter)
        return false;
    reshuffle();
    return true;
}

void Deck::deal(const std::function<bool(int slot)> &isHeld)
{
    for (int slot = 1; slot <= HandSize; ++slot) {
        if (!isHeld(slot))
            drawInto(slot);
    }
}

std::array<CardCode, HandSize> Deck::handCards() const
{
    std::array<CardCode, HandSize> cards;
    std::copy(m_hand.begin() + 1, m_hand.end(), cards.begin());
    return cards;
}

int Deck::markedCount() const
{
    int count = 0;
    for (const auto &ranks : m_dealt)
        count += int(std::count(ranks.begin(), ranks.end(), true));
    return count;
}

CardSet Deck::undealtCards() const
{
    CardSet cards = 0;
    for (int rank = 0; rank < RankCount; ++rank) {
        for (int suit = 0; suit < SuitCount; ++suit) {
            if (!m_dealt[rank][suit])
                cards |= cardBit({qint16(rank), qint16(suit)});
        }
    }
    return cards;
}

void Deck::drawInto(int slot)
{
    ++m_dealtcount;
    // The round reshuffles early enough that a card is always free; should
    // every card be marked anyway, drawing by rejection would never end.
    if (markedCount() == RankCount * SuitCount)
        returnDiscardsToDeck();
    CardCode card;
    do {
        card.rank = scaled(m_random.next(), RankCount);
        card.suit = scaled(m_random.next(), SuitCount);
    } while (m_dealt[card.rank][card.suit]);
    m_dealt[card.rank][card.suit] = true;
    m_hand[slot] = card;
}

void Deck::returnDiscardsToDeck()
{
    shuffle();
    for (int slot = 1; slot <= HandSize; ++slot)
        m_dealt[m_hand[slot].rank][m_hand[slot].suit] = true;
}
