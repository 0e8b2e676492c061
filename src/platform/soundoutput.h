#pragma once

#include <QHash>
#include <QUrl>

class QSoundEffect;

// Where the media player's sounds end up.
class SoundOutput
{
public:
    virtual ~SoundOutput() = default;
    // Starts the sound at once in the background; times is how often it plays.
    virtual void play(const QUrl &source, int times) = 0;
};

// Plays WAV files through Qt Multimedia, one effect per file, kept loaded
// after its first use so that later cues start without delay.
class SoundEffectOutput final : public SoundOutput
{
public:
    SoundEffectOutput();
    ~SoundEffectOutput() override;
    void play(const QUrl &source, int times) override;

private:
    QHash<QUrl, QSoundEffect *> m_effects;
};
