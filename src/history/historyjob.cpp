#include "historyjob.h"

#include "historysql.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QThread>

HistoryJob::HistoryJob(const QString &fileName, Access access, Work work, QObject *parent)
    : QObject(parent)
    , m_fileName(fileName)
    , m_access(access)
    , m_work(std::move(work))
{
}

HistoryJob *HistoryJob::failing(const QString &error, QObject *parent)
{
    auto *job = new HistoryJob(QString(), Access::Reads, {}, parent);
    job->m_cannot = error;
    return job;
}

HistoryJob::~HistoryJob()
{
    if (m_thread) {
        cancel();
        m_thread->wait();
    }
}

// The end is told from the job's own thread, once the work's thread has
// ended and its result is whole.
void HistoryJob::start()
{
    m_thread.reset(QThread::create([this] { m_result = run(); }));
    connect(m_thread.get(), &QThread::finished, this, [this] { emit finished(m_result); });
    m_thread->start();
}

void HistoryJob::cancel()
{
    m_cancelled.storeRelaxed(true);
}

// Progress is told a thousand times at most, however long the work.
bool HistoryJob::step(qint64 done, qint64 total)
{
    const qint64 permille = total > 0 ? done * 1000 / total : 0;
    if (permille != m_reportedPermille) {
        m_reportedPermille = permille;
        emit progressed(done, total);
    }
    return !m_cancelled.loadRelaxed();
}

// A connection belongs to the thread that opened it: this one is opened,
// used and removed here.
HistoryJob::Result HistoryJob::run()
{
    if (!m_cannot.isEmpty())
        return {.error = m_cannot};
    static QAtomicInteger<int> count;
    const QString connection = QStringLiteral("drawpoker-history-job-%1").arg(count.fetchAndAddRelaxed(1));
    Result result;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        db.setDatabaseName(m_fileName);
        db.setConnectOptions((m_access == Access::Reads ? QStringLiteral("QSQLITE_OPEN_READONLY;") : QString())
                             + HistorySql::connectOptions());
        if (db.open())
            result = m_work(db, [this](qint64 done, qint64 total) { return step(done, total); });
        else
            result.error = HistorySql::unreadable(db.lastError(), m_fileName);
        db.close();
    }
    QSqlDatabase::removeDatabase(connection);
    return result;
}
