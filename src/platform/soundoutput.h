#pragma once

#include <QUrl>

// Where the media player's sounds end up.
class SoundOutput
{
public:
    virtual ~SoundOutput() = default;
    // Starts the sound at once in the background; times is how often it plays.
    virtual void play(const QUrl &source, int times) = 0;
    // Gets ready to play where that takes a while; the player asks once its
    // window is on screen.
    virtual void prepare() {}
};

// The name of the function by which the sound module hands out its output:
// a `SoundOutput *()` that gives up ownership.
inline constexpr char SoundModuleEntry[] = "drawpokerSoundOutput";
