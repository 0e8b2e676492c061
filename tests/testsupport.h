#pragma once

#include "model/cardcode.h"
#include "platform/randomsource.h"
#include "platform/soundoutput.h"
#include "screens/cards.h"

#include <QImage>
#include <QTest>

#include <deque>
#include <memory>
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

    std::deque<float> numbers;
};

// Sounds go nowhere; the tests watch the cues at the player instead.
class SilentOutput final : public SoundOutput
{
public:
    void play(const QUrl &, int) override {}
};

// A table with a scripted deck and no sound, as the tests drive it.
struct TestTable
{
    TestTable()
    {
        auto source = std::make_unique<ScriptedRandom>();
        random = source.get();
        table = std::make_unique<cards>(std::move(source));
        table->MediaPlayer1.setOutput(std::make_unique<SilentOutput>());
    }

    // Turns box `card` face up and draws the card on it, as a deal does.
    void showFace(int rank, int suit, int card)
    {
        table->Picturecard[card]->setPicture(nullptr);
        table->makecard(rank, suit, card);
    }

    ScriptedRandom *random = nullptr;
    std::unique_ptr<cards> table;
};

// The image of a box in logical pixels, whatever the screen's pixel ratio.
inline QColor pixelAt(const QImage &image, qreal x, qreal y)
{
    const qreal ratio = image.devicePixelRatio();
    return image.pixelColor(int(x * ratio), int(y * ratio));
}
