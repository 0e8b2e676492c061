#include "platform/mediaplayer.h"

#include "platform/firstpaint.h"
#include "platform/modulesoundoutput.h"

#include <QDir>
#include <QFileInfo>
#include <QWidget>

MediaPlayer::MediaPlayer(QObject *parent)
    : QObject(parent)
{
}

MediaPlayer::~MediaPlayer() = default;

void MediaPlayer::setOutput(std::unique_ptr<SoundOutput> output)
{
    m_output = std::move(output);
}

SoundOutput &MediaPlayer::output()
{
    if (!m_output)
        m_output = std::make_unique<ModuleSoundOutput>();
    return *m_output;
}

void MediaPlayer::prepareAfterFirstPaint(QWidget *window)
{
    // A muted player loads nothing until a cue needs it.
    afterFirstPaint(window, [this] {
        if (!m_muted)
            output().prepare();
    });
}

void MediaPlayer::setDispatchProperty(int dispatchId, const QVariant &value)
{
    switch (dispatchId) {
    case StartPosition:
        // Every cue plays its file from the start, the only position used.
        break;
    case PlayCount:
        m_playCount = value.toInt();
        break;
    case FileName: {
        const QString name = value.toString();
        emit cueStarted(name, m_playCount);
        const QUrl source = locate(name);
        if (m_muted || source.isEmpty() || m_playCount < 1)
            return;
        output().play(source, m_playCount);
        break;
    }
    default:
        break;
    }
}

QUrl MediaPlayer::locate(const QString &fileName)
{
    const QFileInfo local(QDir::current(), fileName);
    if (local.isFile())
        return QUrl::fromLocalFile(local.absoluteFilePath());
    const QString builtIn = QStringLiteral(":/sounds/") + fileName;
    if (QFileInfo::exists(builtIn))
        return QUrl(QStringLiteral("qrc") + builtIn);
    return {};
}
