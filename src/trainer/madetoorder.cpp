#include "madetoorder.h"

#include "judgement.h"

#include <random>

namespace {

// Deals tried for one kind before giving up on it: a kind the history
// shows turns up in far fewer.
constexpr int MostTries = 20000;

std::array<CardCode, HandSize> randomHand(std::mt19937_64 &random)
{
    std::array<CardCode, HandSize> hand;
    CardSet taken = 0;
    for (CardCode &card : hand) {
        CardCode drawn;
        do {
            const int index = int(random() % DeckSize);
            drawn = CardCode{qint16(index / SuitCount), qint16(index % SuitCount)};
        } while (taken & cardBit(drawn));
        taken |= cardBit(drawn);
        card = drawn;
    }
    return hand;
}

std::optional<unsigned> holdOnLine(const StrategyChart &chart, const std::array<CardCode, HandSize> &hand,
                                   const QString &lineText)
{
    for (unsigned hold = 0; hold < HoldCount; ++hold) {
        if (chart.holdLineText(hand, hold) == lineText)
            return hold;
    }
    return std::nullopt;
}

} // namespace

QList<HandRecord> handsOfKind(const MistakeKind &kind, const StrategyChart &chart, int count, quint64 seed)
{
    QList<HandRecord> hands;
    if (kind.bestLine == MistakeKind::NoLine)
        return hands;
    std::mt19937_64 random(seed);
    for (int tries = 0; tries < MostTries && hands.size() < count; ++tries) {
        const std::array<CardCode, HandSize> hand = randomHand(random);
        // The chart's pick is the cheap first test: on a fresh deck it is
        // nearly always the best.
        const StrategyChart::Pick pick = chart.pick(hand);
        if (pick.line != kind.bestLine || chart.holdLineText(hand, pick.hold) != kind.best)
            continue;
        const std::optional<unsigned> kept = holdOnLine(chart, hand, kind.kept);
        const Judgement judgement(hand, 0, 1, chart.table());
        if (!kept || !judgement.isMistake(*kept) || chart.holdLineText(hand, judgement.best()) != kind.best)
            continue;
        HandRecord record;
        record.bet = 1;
        record.dealt = hand;
        record.held = *kept;
        record.bestHold = judgement.best();
        record.heldCredits = judgement.expectedCredits(*kept);
        record.bestCredits = judgement.expectedCredits(judgement.best());
        hands.append(record);
    }
    return hands;
}
