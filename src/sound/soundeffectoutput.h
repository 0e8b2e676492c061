#pragma once

#include "platform/soundoutput.h"

#include <QHash>

class QSoundEffect;

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
