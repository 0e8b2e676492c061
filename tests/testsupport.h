#pragma once

#include "platform/soundoutput.h"
#include "screens/table/cards.h"
#include "scriptedrandom.h"

#include <QImage>
#include <QScrollBar>
#include <QTest>

#include <memory>

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

// Plays one whole round at `bet` on `hand`, holding all five cards, so that
// the credits come to a chosen total.
inline void playHeldHand(cards &table, ScriptedRandom &random, int bet,
                         const std::array<CardCode, HandSize> &hand)
{
    table.VScroll1->setValue(-bet);
    random.queueHand(hand);
    table.Command1_Click();
    for (int i = 0; i < HandSize; ++i)
        table.Commandhold_Click(i);
    table.Command1_Click();
    table.Command1_Click();
}

// The image of a box in logical pixels, whatever the screen's pixel ratio.
inline QColor pixelAt(const QImage &image, qreal x, qreal y)
{
    const qreal ratio = image.devicePixelRatio();
    return image.pixelColor(int(x * ratio), int(y * ratio));
}
