#pragma once

#include "model/cardcode.h"
#include "model/cardtext.h"
#include "model/randomsource.h"

#include <QStringList>
#include <QTest>

#include <array>
#include <deque>
#include <stdexcept>

inline char *toString(const CardCode &card)
{
    return QTest::toString(QStringLiteral("(rank %1, suit %2)").arg(card.rank).arg(card.suit));
}

// A random source that returns the numbers a test puts into it, in order.
class ScriptedRandom final : public RandomSource
{
public:
    void Randomize() override {}
    float next() override
    {
        if (numbers.empty())
            throw std::runtime_error("the scripted random numbers ran out");
        const float u = numbers.front();
        numbers.pop_front();
        return u;
    }

    // Queues the two numbers that draw exactly this card.
    void queueCard(int rank, int suit)
    {
        numbers.push_back((rank + 0.5f) / RankCount);
        numbers.push_back((suit + 0.5f) / SuitCount);
    }
    void queueHand(const std::array<CardCode, HandSize> &hand)
    {
        for (const CardCode &card : hand)
            queueCard(card.rank, card.suit);
    }

    std::deque<float> numbers;
};


// Five cards as people write them, "Ah Kh 7c 7d 2s".
inline std::array<CardCode, HandSize> handOf(const QString &text)
{
    std::array<CardCode, HandSize> hand{};
    const QStringList cards = text.split(QLatin1Char(' '));
    for (int i = 0; i < HandSize; ++i)
        hand[std::size_t(i)] = parseCard(cards[i]).value();
    return hand;
}
