#pragma once

#include "analysis/strategy.h"

// This game's strategy charts, as derived for its pay table when the game
// was built: read once, on first use, from the game's own resources.
const StrategyChart &gameStrategy(ChartLevel level);
