#include "sound/soundeffectoutput.h"

#include <QSoundEffect>

SoundEffectOutput::SoundEffectOutput() = default;

SoundEffectOutput::~SoundEffectOutput()
{
    qDeleteAll(m_effects);
}

void SoundEffectOutput::play(const QUrl &source, int times)
{
    QSoundEffect *&effect = m_effects[source];
    if (!effect) {
        effect = new QSoundEffect;
        effect->setSource(source);
    }
    // A file that cannot be decoded just stays silent; the game goes on.
    effect->setLoopCount(times);
    effect->play();
}

// The module's one entry, looked up by name when the game loads it.
extern "C" Q_DECL_EXPORT SoundOutput *drawpokerSoundOutput()
{
    return new SoundEffectOutput;
}
