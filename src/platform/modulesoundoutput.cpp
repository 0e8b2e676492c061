#include "modulesoundoutput.h"

#include "gamemodule.h"

#include <QTimer>

#include <utility>

ModuleSoundOutput::ModuleSoundOutput(QString modulePath)
    : m_path(std::move(modulePath))
{
}

ModuleSoundOutput::~ModuleSoundOutput() = default;

QString ModuleSoundOutput::gameModulePath()
{
    return ::gameModulePath(DRAWPOKER_SOUND_MODULE);
}

void ModuleSoundOutput::play(const QUrl &source, int times)
{
    if (m_state == State::Ready) {
        m_backEnd->play(source, times);
        return;
    }
    if (m_state == State::Missing)
        return;
    // Loading takes a while; the handler that asked for the cue goes on.
    m_waiting.append({source, times});
    prepare();
}

void ModuleSoundOutput::prepare()
{
    if (m_state != State::Unloaded)
        return;
    m_state = State::Loading;
    QTimer::singleShot(0, &m_context, [this] { load(); });
}

void ModuleSoundOutput::load()
{
    QString error;
    using Entry = SoundOutput *(*)();
    const auto entry = reinterpret_cast<Entry>(moduleEntry(m_path, SoundModuleEntry, error));
    if (entry)
        m_backEnd.reset(entry());
    if (!m_backEnd) {
        m_state = State::Missing;
        m_waiting.clear();
        qInfo("drawpoker: playing without sound: %s", qPrintable(error));
        return;
    }
    m_state = State::Ready;
    for (const Cue &cue : std::exchange(m_waiting, {}))
        m_backEnd->play(cue.source, cue.times);
}
