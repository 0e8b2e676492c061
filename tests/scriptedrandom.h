#pragma once

#include <array>
#include <cstddef>

// Declared before Qt Test, whose comparisons look their printers up where
// they are defined.
namespace QTest {
template <typename T, std::size_t N>
char *toString(const std::array<T, N> &values);
} // namespace QTest

#include "model/cardcode.h"
#include "model/names.h"
#include "model/randomsource.h"

#include <QStringList>
#include <QTest>

#include <array>
#include <deque>
#include <random>
#include <stdexcept>

inline char *toString(const CardCode &card)
{
    return QTest::toString(QStringLiteral("(rank %1, suit %2)").arg(card.rank).arg(card.suit));
}

// Arrays of cards, counts or flags print element by element when a
// comparison fails.
template <typename T, std::size_t N>
char *QTest::toString(const std::array<T, N> &values)
{
    QByteArray text = "{";
    for (std::size_t i = 0; i < N; ++i) {
        char *element = toString(values[i]);
        text += (i ? ", " : "") + QByteArray(element ? element : "?");
        delete[] element;
    }
    return qstrdup(text + "}");
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


// The seed of a randomised test: DRAWPOKER_SEED when it is set, so that a
// run can be repeated, else a fresh one. Printed either way.
inline std::uint32_t testSeed()
{
    const std::uint32_t seed = qEnvironmentVariableIsSet("DRAWPOKER_SEED")
                                   ? qEnvironmentVariable("DRAWPOKER_SEED").toUInt()
                                   : std::random_device{}();
    qInfo("DRAWPOKER_SEED=%u repeats this run", seed);
    return seed;
}

// Numbers from a seeded engine, so that a failing run can be repeated: the
// seed is printed when the test using it fails.
class SeededRandom final : public RandomSource
{
public:
    explicit SeededRandom(std::uint32_t seed = std::random_device{}())
        : m_seed(seed)
        , m_engine(seed)
    {
    }
    ~SeededRandom() override
    {
        if (QTest::currentTestFailed())
            qWarning("random numbers from seed %u", m_seed);
    }
    void Randomize() override {}
    float next() override { return unitFromBits(std::uint32_t(m_engine())); }
    std::uint32_t seed() const { return m_seed; }

private:
    std::uint32_t m_seed;
    std::mt19937 m_engine;
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
