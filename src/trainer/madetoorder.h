#pragma once

#include "analysis/strategy.h"
#include "mistakekinds.h"
#include "model/handrecord.h"

#include <QList>

// Deals made to order for drilling a kind of mistake: hands on a fresh deck
// whose best hold is the kind's best and which hold the kind's kept hold
// too, so that a player can practise the kinds missed most without waiting
// to be dealt them. Each is a hand at a bet of 1 with its best hold and the
// kept hold as a record has them; fewer than `count` where the kind is
// rare, none where its best hold is on no line of the chart.
QList<HandRecord> handsOfKind(const MistakeKind &kind, const StrategyChart &chart, int count, quint64 seed);
