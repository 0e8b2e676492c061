#pragma once

#include "soundoutput.h"

#include <QList>
#include <QObject>
#include <QString>

#include <memory>

// Plays through the sound back end, which lives in a module of its own so
// that the sound libraries load after the table is on screen rather than
// before. Cues asked for before the back end is there are kept and play in
// order once it is; where the module cannot be loaded the game goes on
// without sound and says so once.
class ModuleSoundOutput final : public SoundOutput
{
public:
    explicit ModuleSoundOutput(QString modulePath = gameModulePath());
    ~ModuleSoundOutput() override;

    void play(const QUrl &source, int times) override;
    // Loads the back end on the next turn of the event loop.
    void prepare() override;

    enum class State { Unloaded, Loading, Ready, Missing };
    State state() const { return m_state; }

    // The game's own module, found by the same path from the program's
    // folder in the build tree and in an installed tree.
    static QString gameModulePath();

private:
    struct Cue
    {
        QUrl source;
        int times = 0;
    };

    void load();

    const QString m_path;
    State m_state = State::Unloaded;
    std::unique_ptr<SoundOutput> m_backEnd;
    QList<Cue> m_waiting;
    // Ends a scheduled load with the output.
    QObject m_context;
};
