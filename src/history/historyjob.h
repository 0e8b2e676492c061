#pragma once

#include <QAtomicInteger>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class QSqlDatabase;
class QThread;

// Work on the whole history that takes seconds at a million hands, run on
// a thread of its own with a connection of its own to the file, so that
// the windows answer and the table records hands meanwhile. It tells how
// far it has got, stops when cancelled, and tells once that it has ended,
// with what it did. A job destroyed while it runs is cancelled and waited
// for.
class HistoryJob : public QObject
{
    Q_OBJECT

public:
    enum class Outcome { Done, Cancelled, Failed };
    struct Result
    {
        Outcome outcome = Outcome::Failed;
        qint64 rows = 0;       // hands written or deleted
        qint64 unreadable = 0; // rows left out as not readable as hands
        QString error;         // why it failed, as a sentence for the player
    };
    // What a cancelled job did: nothing.
    static Result cancelled() { return {.outcome = Outcome::Cancelled, .error = {}}; }
    // The work tells of `done` rows of `total` through it, and learns
    // whether to go on.
    using Step = std::function<bool(qint64 done, qint64 total)>;
    // The work, on the job's thread, with the job's connection open.
    using Work = std::function<Result(QSqlDatabase &db, const Step &step)>;
    enum class Access { Reads, Writes };

    // A job on the history in `fileName`, not started.
    HistoryJob(const QString &fileName, Access access, Work work, QObject *parent = nullptr);
    // A job that cannot be done: it fails with `error` when started, and
    // never opens a file.
    static HistoryJob *failing(const QString &error, QObject *parent);
    ~HistoryJob() override;

    void start();
    // The work stops at its next step; a cancel after its last step
    // changes nothing.
    void cancel();

signals:
    void progressed(qint64 done, qint64 total);
    void finished(const HistoryJob::Result &result);

private:
    Result run();
    bool step(qint64 done, qint64 total);

    const QString m_fileName;
    const Access m_access;
    const Work m_work;
    QString m_cannot;
    std::unique_ptr<QThread> m_thread;
    QAtomicInteger<bool> m_cancelled = false;
    qint64 m_reportedPermille = -1;
    Result m_result;
};
