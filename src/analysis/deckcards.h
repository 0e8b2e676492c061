#pragma once

#include "holdadvisor.h"
#include "model/deck.h"

// The cards not dealt since the last shuffle: those a draw can bring.
CardSet undealtCards(const Deck &deck);
