#include "modulesoundoutput.h"

#include <QCoreApplication>
#include <QLibrary>
#include <QTimer>

#include <utility>

ModuleSoundOutput::ModuleSoundOutput(QString modulePath)
    : m_path(std::move(modulePath))
{
}

ModuleSoundOutput::~ModuleSoundOutput() = default;

QString ModuleSoundOutput::gameModulePath()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/" DRAWPOKER_SOUND_MODULE);
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
    // The module stays loaded to the end: Qt Multimedia is not made to be
    // unloaded from a running program.
    QLibrary module(m_path);
    using Entry = SoundOutput *(*)();
    const auto entry = reinterpret_cast<Entry>(module.resolve(SoundModuleEntry));
    if (entry)
        m_backEnd.reset(entry());
    if (!m_backEnd) {
        m_state = State::Missing;
        m_waiting.clear();
        qInfo("drawpoker: playing without sound: %s", qPrintable(module.errorString()));
        return;
    }
    m_state = State::Ready;
    for (const Cue &cue : std::exchange(m_waiting, {}))
        m_backEnd->play(cue.source, cue.times);
}
