#pragma once

#include <QObject>
#include <QString>
#include <QUrl>
#include <QVariant>

#include <memory>

class QWidget;
class SoundOutput;

// The sound player the table talks to by property numbers: 19 is the start
// position, 1030 how many times the file plays, and setting 1026 to a file
// name starts that file at once. Playback never holds up the caller.
class MediaPlayer : public QObject
{
    Q_OBJECT

public:
    static constexpr int StartPosition = 19;
    static constexpr int PlayCount = 1030;
    static constexpr int FileName = 1026;

    explicit MediaPlayer(QObject *parent = nullptr);
    ~MediaPlayer() override;

    void setDispatchProperty(int dispatchId, const QVariant &value);
    // Without an output of its own the player plays through the game's
    // sound module.
    void setOutput(std::unique_ptr<SoundOutput> output);
    // Has the output get ready once `window` has painted for the first
    // time, so that what it loads does not hold up the window.
    void prepareAfterFirstPaint(QWidget *window);
    // A muted player still takes every cue but plays nothing.
    void setMuted(bool muted) { m_muted = muted; }
    bool isMuted() const { return m_muted; }

    // A bare name is looked up in the working directory first, so a player
    // can bring their own sounds, then among the game's built-in sounds.
    // Returns an empty URL when neither has it.
    static QUrl locate(const QString &fileName);

signals:
    // A file was asked to play: its name as given and how many times.
    void cueStarted(const QString &fileName, int playCount);

private:
    SoundOutput &output();

    qint32 m_playCount = 1;
    bool m_muted = false;
    std::unique_ptr<SoundOutput> m_output;
};
