// A sound module for the tests: it plays nothing and notes each cue, as
// "file xTIMES", in the application's "playedCues" property.
#include "platform/soundoutput.h"

#include <QCoreApplication>
#include <QVariant>

namespace {

class RecordingOutput final : public SoundOutput
{
public:
    void play(const QUrl &source, int times) override
    {
        QStringList played = qApp->property("playedCues").toStringList();
        played << QStringLiteral("%1 x%2").arg(source.fileName()).arg(times);
        qApp->setProperty("playedCues", played);
    }
};

} // namespace

extern "C" Q_DECL_EXPORT SoundOutput *drawpokerSoundOutput()
{
    return new RecordingOutput;
}
