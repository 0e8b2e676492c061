#pragma once

#include "analysis/countrules.h"
#include "analysis/strategy.h"

// This game's strategy charts, as derived for its pay table when the game
// was built: read once, on first use, from the game's own resources.
const StrategyChart &gameStrategy(ChartLevel level);

// The full chart's count rules, found and measured by the simulator of the
// game as the table deals it when the game was built; nothing where they
// cannot be read.
const CountRules *gameCountRules();
