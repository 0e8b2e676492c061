#pragma once

#include "model/cardset.h"

#include <array>
#include <cstdint>

// The finaliser of SplitMix64: a well-mixed 64-bit value of any input.
constexpr std::uint64_t mixBits(std::uint64_t z)
{
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
    return z ^ (z >> 31);
}

// A deck for playing many hands fast: the cards in a shuffled order, dealt
// from the top. The order is made as the cards are dealt: each one is
// picked uniformly among the cards not yet dealt and swapped to the top,
// so that every card comes as at the table, and a deck costs only the
// cards it deals. What it deals depends on nothing but the key, so two
// games given the same key deal the same cards in the same order.
class ShuffledDeck
{
public:
    // A full deck, to be dealt in the order `key` gives.
    void shuffle(std::uint64_t key)
    {
        m_state = key;
        m_dealt = 0;
        m_left = FullDeck;
        for (int card = 0; card < DeckSize; ++card)
            m_cards[card] = std::uint8_t(card);
    }

    // The next card, as its index rank * SuitCount + suit. The deck must
    // not be empty.
    int deal()
    {
        const int pick = m_dealt + int(below(std::uint32_t(DeckSize - m_dealt)));
        const std::uint8_t card = m_cards[pick];
        m_cards[pick] = m_cards[m_dealt];
        m_cards[m_dealt++] = card;
        m_left &= ~(CardSet(1) << card);
        return card;
    }

    int dealtCount() const { return m_dealt; }
    // The cards not dealt yet.
    CardSet left() const { return m_left; }

private:
    // A number in 0..count-1, each equally likely: the high half of a
    // 64-bit product, with the few low halves that would favour some
    // numbers drawn again.
    std::uint32_t below(std::uint32_t count)
    {
        std::uint64_t product = std::uint64_t(nextBits()) * count;
        if (std::uint32_t(product) < count) {
            const std::uint32_t unfair = -count % count;
            while (std::uint32_t(product) < unfair)
                product = std::uint64_t(nextBits()) * count;
        }
        return std::uint32_t(product >> 32);
    }

    std::uint32_t nextBits()
    {
        m_state += 0x9E3779B97F4A7C15u;
        return std::uint32_t(mixBits(m_state) >> 32);
    }

    std::array<std::uint8_t, DeckSize> m_cards{};
    int m_dealt = 0;
    CardSet m_left = FullDeck;
    std::uint64_t m_state = 0;
};
