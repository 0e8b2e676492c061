#pragma once

#include "holdadvisor.h"
#include "model/deck.h"

// A deck as the hold advice sees it.

// The cards not dealt since the last shuffle: those a draw can bring.
CardSet undealtCards(const Deck &deck);
// The hand's five cards, slot 1 first.
std::array<CardCode, HandSize> handCards(const Deck &deck);
