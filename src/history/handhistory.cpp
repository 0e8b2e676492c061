#include "handhistory.h"

#include "handcsv.h"
#include "historyjob.h"
#include "historysql.h"
#include "schema.h"

#include <QAtomicInteger>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStandardPaths>
#include <QThread>
#include <QVariant>

#include <algorithm>
#include <utility>

#include <functional>

namespace {

// Two copies of the game write a hand in well under a millisecond each, so
// a short wait covers any meeting of theirs; a lock held longer is someone
// else's, and the table must not wait on it.
constexpr int BusyWaitMs = 250;
// The bytes a journal is cut back to once written into the file: SQLite
// writes it back at about 4 MB.
constexpr qint64 JournalLimit = 4 << 20;
// Files tried beside one that is not a history before giving up.
constexpr int MostFilesBeside = 9;

// SQLite's primary result codes, as the driver reports them.
enum SqliteCode { Perm = 3, Busy = 5, Locked = 6, ReadOnly = 8, IoErr = 10, Corrupt = 11, Full = 13, CantOpen = 14, NotADb = 26 };

int sqliteCode(const QSqlError &error)
{
    return error.nativeErrorCode().toInt() & 0xFF;
}

// Why a file cannot take hands, in the player's words.
QString reasonFor(const QSqlError &error, const QString &fileName)
{
    const QString file = QDir::toNativeSeparators(fileName);
    switch (sqliteCode(error)) {
    case Full:
        return QStringLiteral("the disk is full");
    case Busy:
    case Locked:
        return QStringLiteral("another program, perhaps a second copy of the game, keeps %1 locked").arg(file);
    case Perm:
    case ReadOnly:
    case CantOpen:
        return QStringLiteral("%1 or its folder cannot be written").arg(file);
    case IoErr:
        return QStringLiteral("%1 could not be written (%2)").arg(file, error.databaseText());
    default:
        return QStringLiteral("%1: %2").arg(file, error.text());
    }
}

// Turning a new file to WAL takes its write lock from inside the pragma's
// own read, where SQLite does not wait on a busy file (two waiting readers
// could deadlock). Two copies of the game creating the history at once
// meet here, so the switch is tried again for as long as a busy wait lasts.
bool switchToWal(QSqlQuery &query)
{
    const QDeadlineTimer deadline(BusyWaitMs);
    for (;;) {
        if (query.exec(QStringLiteral("PRAGMA journal_mode = WAL")) && query.next())
            return query.value(0).toString() == QLatin1String("wal");
        if (sqliteCode(query.lastError()) != Busy || deadline.hasExpired())
            return false;
        QThread::msleep(1);
    }
}

QString notKept(const QString &reason)
{
    return QStringLiteral("The hand history is not being kept: %1.").arg(reason);
}

// "history-2.sqlite" beside "history.sqlite".
QString besideName(const QString &path, int number)
{
    const QFileInfo info(path);
    const QString suffix = info.suffix().isEmpty() ? QString() : QLatin1Char('.') + info.suffix();
    return info.dir().filePath(QStringLiteral("%1-%2%3").arg(info.completeBaseName()).arg(number).arg(suffix));
}

// Prepares `statement` on `sql`, binds `values` in order, and runs it.
// A history never opened has nothing to run on.
bool run(QSqlQuery &sql, const QString &statement, const QVariantList &values = {})
{
    if (!sql.driver()->isOpen() || !sql.prepare(statement))
        return false;
    for (const QVariant &value : values)
        sql.addBindValue(value);
    return sql.exec();
}

// Gives every row of a query that ran to `take`. Returns whether the rows
// ended rather than failed part-way.
template <class Take>
bool readRows(QSqlQuery &sql, Take take)
{
    while (sql.next())
        take(sql);
    return !sql.lastError().isValid();
}

// The rows of totals the figures are made of. The triggers keep every row
// a sum of hands; a row that another program made of no hands, or of
// credits that are not finite, is left out whole rather than let it turn
// every figure it adds to into nonsense.
QString soundTotals()
{
    return QStringLiteral("hands > 0 AND abs(held_credits) <= 1.7976931348623157e308"
                          " AND abs(best_credits) <= 1.7976931348623157e308");
}

// One drill answer, inside the caller's transaction: the step the hand
// has reached is read, and the next written with its due time.
bool writeDrillAnswer(QSqlQuery &sql, qint64 handId, bool right, const QDateTime &now)
{
    if (!run(sql, QStringLiteral("SELECT step FROM drill WHERE hand = ?"), {handId}))
        return false;
    const int rightInARow = sql.next() ? sql.value(0).toInt() : 0;
    if (sql.lastError().isValid())
        return false;
    sql.finish();
    const int step = right ? rightInARow + 1 : 0;
    const int days = step ? HandHistory::DrillIntervals[std::min<int>(step, HandHistory::DrillIntervals.size()) - 1] : 0;
    return run(sql, QStringLiteral("INSERT OR REPLACE INTO drill (hand, due, step) SELECT id, ?, ? FROM hands WHERE id = ?"),
               {now.addDays(days).toMSecsSinceEpoch(), step, handId})
           && sql.numRowsAffected() == 1;
}

// Hands deleted between two looks at a cancel: some tens of milliseconds'
// work.
constexpr int DeleteBatch = 4096;
// Tries at the work after a deletion that another copy of the game may
// hold back for a moment, each with its busy wait.
constexpr int AttemptsAfterDeleting = 8;

HistoryJob::Result notDeleted(const QSqlQuery &failed, const QString &fileName)
{
    return {.outcome = HistoryJob::Outcome::Failed,
            .error = QStringLiteral("No hand was deleted: %1.").arg(reasonFor(failed.lastError(), fileName))};
}

bool tryAgainWhileHeld(const std::function<bool()> &attempt)
{
    for (int tries = 0; tries < AttemptsAfterDeleting; ++tries) {
        if (attempt())
            return true;
    }
    return false;
}

// What a deletion leaves behind is cleared off the disk: the journal's
// frames, old ones among them, are copied into the file and the journal
// emptied; after every hand, the file is rebuilt to its size. A reader
// that holds them back beyond the tries leaves them to SQLite's own later
// checkpoints.
void clearAfterDeleting(QSqlQuery &sql, bool everything)
{
    if (everything)
        tryAgainWhileHeld([&] { return sql.exec(QStringLiteral("VACUUM")); });
    tryAgainWhileHeld([&] {
        return sql.exec(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)")) && sql.next() && sql.value(0).toInt() == 0;
    });
    sql.finish();
}

// Deletes one session's hands, or every hand for 0, in one transaction
// taken in batches: a cancel between two rolls all of it back. Deleted
// rows are overwritten with zeros where they lay, and the drill schedule
// goes with its hands. The write lock is taken for the deleting and the
// clearing after it alone: the other copy of the game records again as
// soon as they are done.
HistoryJob::Result forgetHands(QSqlDatabase &db, qint64 session, const HistoryJob::Step &step)
{
    const QString fileName = db.databaseName();
    const QString which = session ? QStringLiteral(" WHERE session = ?") : QString();
    const QVariantList values = session ? QVariantList{session} : QVariantList();
    QSqlQuery sql(db);
    if (!sql.exec(QStringLiteral("PRAGMA secure_delete = ON")) || !sql.exec(QStringLiteral("PRAGMA foreign_keys = ON"))
        || !sql.exec(QStringLiteral("BEGIN IMMEDIATE")))
        return notDeleted(sql, fileName);
    const auto rollBack = [&](HistoryJob::Result result) {
        sql.exec(QStringLiteral("ROLLBACK"));
        return result;
    };
    if (!run(sql, QStringLiteral("SELECT count(*) FROM hands") + which, values) || !sql.next())
        return rollBack(notDeleted(sql, fileName));
    const qint64 total = sql.value(0).toLongLong();
    sql.finish();
    HistoryJob::Result result;
    step(0, total);
    const QString batch =
        QStringLiteral("DELETE FROM hands WHERE id IN (SELECT id FROM hands%1 LIMIT %2)").arg(which).arg(DeleteBatch);
    while (run(sql, batch, values) && sql.numRowsAffected() > 0) {
        result.rows += sql.numRowsAffected();
        if (!step(result.rows, total))
            return rollBack(HistoryJob::cancelled());
    }
    if (sql.lastError().isValid() || !sql.exec(QStringLiteral("COMMIT")))
        return rollBack(notDeleted(sql, fileName));
    clearAfterDeleting(sql, !session);
    result.outcome = HistoryJob::Outcome::Done;
    return result;
}

} // namespace

QString HistorySql::connectOptions()
{
    return QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(BusyWaitMs);
}

QString HistorySql::unreadable(const QSqlError &error, const QString &fileName)
{
    const QString file = QDir::toNativeSeparators(fileName);
    QString reason;
    if (fileName.isEmpty())
        reason = QStringLiteral("no history file is open");
    else if (const int code = sqliteCode(error); code == Busy || code == Locked)
        reason = QStringLiteral("another program, perhaps a second copy of the game, keeps %1 locked").arg(file);
    else if (code == Corrupt || code == NotADb)
        reason = QStringLiteral("%1 is damaged").arg(file);
    else if (code == Perm || code == CantOpen)
        reason = QStringLiteral("%1 cannot be opened").arg(file);
    else if (code == IoErr)
        reason = QStringLiteral("%1 could not be read (%2)").arg(file, error.databaseText());
    else
        reason = QStringLiteral("%1: %2").arg(file, error.text());
    return QStringLiteral("The hand history could not be read: %1.").arg(reason);
}

HandHistory::HandHistory(QObject *parent)
    : QObject(parent)
{
    static QAtomicInteger<int> count;
    m_connection = QStringLiteral("drawpoker-history-%1").arg(count.fetchAndAddRelaxed(1));
}

// Hands still waiting have one last chance as the game ends.
HandHistory::~HandHistory()
{
    if (m_state == State::Keeping && !m_waiting.isEmpty())
        writeWaiting();
    closeFile();
}

// The game's own folder among the player's data, where the menu's launcher
// keeps the high scores too; not the organisation-and-application folder
// Qt would make of it (drawpoker/drawpoker).
QString HandHistory::defaultPath()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation))
        .filePath(QCoreApplication::applicationName() + QStringLiteral("/history.sqlite"));
}

QSqlDatabase HandHistory::database() const
{
    return QSqlDatabase::database(m_connection, false);
}

void HandHistory::closeFile()
{
    m_insert.reset();
    if (QSqlDatabase::contains(m_connection)) {
        database().close();
        QSqlDatabase::removeDatabase(m_connection);
    }
}

bool HandHistory::open(const QString &path, Check check)
{
    m_checkJob.reset();
    closeFile();
    m_state = State::Closed;
    m_message.clear();
    m_path = path;
    m_check = check;
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QSQLITE")))
        return fail(notKept(QStringLiteral("Qt's SQLite driver is not installed")));
    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder))
        return fail(notKept(QStringLiteral("its folder %1 cannot be made").arg(QDir::toNativeSeparators(folder))));
    return openFrom(1, Opening::Opened);
}

// Tries the files from the one numbered `number` on, the path asked for
// being the first; `passedOver` says why that one was passed over, when it
// was.
bool HandHistory::openFrom(int number, Opening passedOver)
{
    for (; number <= MostFilesBeside; ++number) {
        m_number = number;
        const QString fileName = number == 1 ? m_path : besideName(m_path, number);
        const Opening opening = openFile(fileName);
        if (opening == Opening::NotAHistory || opening == Opening::Damaged) {
            if (number == 1)
                passedOver = opening;
            continue;
        }
        m_passedOver = passedOver;
        if (opening != Opening::Failed && number > 1 && m_message.isEmpty()) {
            m_message = (passedOver == Opening::Damaged
                             ? QStringLiteral("%1 is damaged; it is left as it is, and the history is kept in %2 beside it.")
                             : QStringLiteral("%1 is not a hand history of this game; it is left as it is, and the "
                                              "history is kept in %2 beside it."))
                            .arg(QFileInfo(m_path).fileName(), QFileInfo(fileName).fileName());
        }
        return m_state == State::Keeping || m_state == State::Checking;
    }
    return fail(notKept(QStringLiteral("%1 and the files beside it are not hand histories")
                            .arg(QDir::toNativeSeparators(m_path))));
}

HandHistory::Opening HandHistory::openFile(const QString &fileName)
{
    closeFile();
    m_fileName = fileName;
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
    db.setDatabaseName(fileName);
    db.setConnectOptions(HistorySql::connectOptions());
    if (!db.open()) {
        fail(notKept(reasonFor(db.lastError(), fileName)));
        return Opening::Failed;
    }
    QSqlQuery query(db);
    // Reading the version is the first read of the file: it tells a file
    // that is not a database before anything is written to it. The version
    // and the count of tables come from one statement, so one snapshot: a
    // second copy of the game that creates the history at this moment is
    // seen before or after, never with its tables made and its version not.
    if (!query.exec(QStringLiteral("SELECT (SELECT user_version FROM pragma_user_version), count(*) FROM sqlite_master"))
        || !query.next())
        return failedRead(query.lastError());
    const int version = query.value(0).toInt();
    const int tables = query.value(1).toInt();
    query.finish();
    if (version > HistorySchema::Version) {
        // The connection is opened anew, and no handle to it may outlive that.
        query = QSqlQuery();
        db = QSqlDatabase();
        return openReadOnly(fileName);
    }
    if (version == 0 && tables > 0)
        return Opening::NotAHistory;
    if (version > 0) {
        if (const Opening checked = checkFile(db, version); checked != Opening::Opened)
            return checked;
    }
    return startKeeping(db);
}

// Once the file is known to be a sound history of this version or an
// older one, or a new file: it is made ready to take hands.
HandHistory::Opening HandHistory::startKeeping(QSqlDatabase &db)
{
    const QString fileName = db.databaseName();
    QSqlQuery query(db);
    if (!switchToWal(query)) {
        fail(notKept(reasonFor(query.lastError(), fileName)));
        return Opening::Failed;
    }
    query.finish();
    // In WAL mode a commit is safe from a crash of the game without waiting
    // for the disk; only a power cut may take the last hands. The drill's
    // schedule goes with its hands by a foreign key. A journal that grew
    // while two copies wrote at once is cut back once it is written into
    // the file.
    if (!query.exec(QStringLiteral("PRAGMA synchronous = NORMAL"))
        || !query.exec(QStringLiteral("PRAGMA foreign_keys = ON"))
        || !query.exec(QStringLiteral("PRAGMA journal_size_limit = %1").arg(JournalLimit))) {
        fail(notKept(reasonFor(query.lastError(), fileName)));
        return Opening::Failed;
    }
    if (const QSqlError error = HistorySchema::migrate(db); error.isValid()) {
        fail(notKept(reasonFor(error, fileName)));
        return Opening::Failed;
    }
    m_insert = std::make_unique<QSqlQuery>(db);
    if (!m_insert->prepare(QStringLiteral(
            "INSERT INTO hands (played, session, bet, dealt, gone, held, best, held_credits, best_credits,"
            " final, outcome, winnings, credits, warned, first_held)"
            " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"))) {
        fail(notKept(reasonFor(m_insert->lastError(), fileName)));
        return Opening::Failed;
    }
    m_state = State::Keeping;
    return Opening::Opened;
}

// SQLite's check of every page reads the whole file, about a second at a
// million hands: in the background it runs on a connection of its own,
// read-only, and nothing is written to the file until it has passed.
HandHistory::Opening HandHistory::checkInBackground(const QString &fileName)
{
    // The job's one row is the file, counted when it is sound.
    const auto check = [](QSqlDatabase &db, const HistoryJob::Step &) {
        QSqlQuery pages(db);
        const bool sound = pages.exec(QStringLiteral("PRAGMA quick_check(1)")) && pages.next()
                           && pages.value(0).toString() == QLatin1String("ok");
        HistoryJob::Result result;
        result.outcome = HistoryJob::Outcome::Done;
        result.rows = sound;
        return result;
    };
    m_checkJob = std::make_unique<HistoryJob>(fileName, HistoryJob::Access::Reads, check);
    connect(m_checkJob.get(), &HistoryJob::finished, this, [this](const HistoryJob::Result &result) {
        checked(result.outcome == HistoryJob::Outcome::Done && result.rows == 1);
    });
    m_checkJob->start();
    m_state = State::Checking;
    return Opening::Checking;
}

// The end of a check in the background: the file takes hands, or is left
// as it is for the next one beside it. The hands that waited go in.
void HandHistory::checked(bool sound)
{
    m_checkJob.release()->deleteLater();
    if (sound) {
        QSqlDatabase db = database();
        startKeeping(db);
    } else {
        m_message.clear();
        openFrom(m_number + 1, m_number == 1 ? Opening::Damaged : m_passedOver);
    }
    if (m_state == State::Keeping && !m_waiting.isEmpty())
        writeHands();
    emit opened();
}

// Before anything is written to a file that holds a history's version:
// its tables and columns must be those of that version, or it is another
// program's, and SQLite must find every page of it sound, or it is
// damaged. Either is left as it is. The check reads the whole file, each
// time the history is opened.
HandHistory::Opening HandHistory::checkFile(QSqlDatabase &db, int version)
{
    QStringList shape;
    if (const QSqlError error = HistorySchema::readShape(db, shape); error.isValid())
        return failedRead(error);
    if (shape != HistorySchema::shapeOf(version))
        return Opening::NotAHistory;
    if (m_check == Check::InBackground)
        return checkInBackground(db.databaseName());
    QSqlQuery check(db);
    check.setForwardOnly(true);
    if (!check.exec(QStringLiteral("PRAGMA quick_check(1)")) || !check.next())
        return failedRead(check.lastError());
    return check.value(0).toString() == QLatin1String("ok") ? Opening::Opened : Opening::Damaged;
}

// A read of a file that is not yet in use failed: a file SQLite does not
// take for a database, or finds damaged, is passed over; otherwise the
// history is not kept, and why is told.
HandHistory::Opening HandHistory::failedRead(const QSqlError &error)
{
    switch (sqliteCode(error)) {
    case NotADb:
        return Opening::NotAHistory;
    case Corrupt:
        return Opening::Damaged;
    default:
        fail(notKept(reasonFor(error, m_fileName)));
        return Opening::Failed;
    }
}

// A newer game's file: its hands can be read, but this version neither
// migrates it down nor writes hands of an older shape into it.
HandHistory::Opening HandHistory::openReadOnly(const QString &fileName)
{
    closeFile();
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
    db.setDatabaseName(fileName);
    db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY;") + HistorySql::connectOptions());
    m_fileName = fileName;
    if (!db.open()) {
        fail(notKept(reasonFor(db.lastError(), fileName)));
        return Opening::Failed;
    }
    m_state = State::ReadOnly;
    m_message = QStringLiteral("%1 was written by a newer version of the game: its hands are shown, "
                               "but no hand is added to it.")
                    .arg(QDir::toNativeSeparators(fileName));
    return Opening::Opened;
}

bool HandHistory::fail(const QString &message)
{
    m_insert.reset();
    m_state = State::NotKept;
    m_message = message;
    emit failed(message);
    return false;
}

bool HandHistory::record(const HandRecord &hand)
{
    if (m_state != State::Keeping && m_state != State::Checking)
        return false;
    m_waiting.append(hand);
    return m_state == State::Keeping && writeHands();
}

// The hands waiting, the newest last, into the file.
bool HandHistory::writeHands()
{
    const QSqlError error = writeWaiting();
    if (!error.isValid()) {
        m_waiting.clear();
        if (std::exchange(m_toldDelayed, false))
            emit delayed(QString());
        return true;
    }
    if (sqliteCode(error) != Busy && sqliteCode(error) != Locked)
        return fail(notKept(reasonFor(error, m_fileName)));
    m_toldDelayed = true;
    emit delayed(QStringLiteral("%1 waiting to be recorded: %2. They are written with the next hand.")
                     .arg(m_waiting.size() == 1 ? QStringLiteral("1 hand is")
                                                : QStringLiteral("%1 hands are").arg(m_waiting.size()),
                          reasonFor(error, m_fileName)));
    return false;
}

// A read of the connection's that began before another copy's last write
// cannot become a write (SQLite's busy snapshot); a fresh one can, so an
// insert refused as busy is tried once more from a new snapshot.
QSqlError HandHistory::insert(const HandRecord &hand)
{
    QSqlQuery &insert = *m_insert;
    const QVariantList values{hand.playedAt, hand.session, hand.bet, HistorySql::packCards(hand.dealt),
                              qint64(hand.goneAtDeal), hand.held, hand.bestHold, hand.heldCredits,
                              hand.bestCredits, HistorySql::packCards(hand.final), int(hand.outcome), hand.winnings,
                              hand.credits, int(hand.warned),
                              hand.firstHeld ? QVariant(*hand.firstHeld) : QVariant(QMetaType::fromType<qint64>())};
    for (int attempt = 0; attempt < 2; ++attempt) {
        for (int i = 0; i < values.size(); ++i)
            insert.bindValue(i, values[i]);
        if (insert.exec())
            return {};
        if (sqliteCode(insert.lastError()) != Busy)
            break;
        insert.finish();
    }
    return insert.lastError();
}

// The hands waiting and the new one in one transaction: all in the file,
// or none, to be tried again with the next.
QSqlError HandHistory::writeWaiting()
{
    if (m_waiting.size() == 1)
        return insert(m_waiting.first());
    QSqlQuery transaction(database());
    if (!transaction.exec(QStringLiteral("BEGIN IMMEDIATE")))
        return transaction.lastError();
    QSqlError error;
    for (const HandRecord &hand : std::as_const(m_waiting)) {
        if (error = insert(hand); error.isValid())
            break;
    }
    if (!error.isValid() && transaction.exec(QStringLiteral("COMMIT")))
        return {};
    if (!error.isValid())
        error = transaction.lastError();
    transaction.exec(QStringLiteral("ROLLBACK"));
    return error;
}

QString HandHistory::unreadable(const QSqlQuery &failed) const
{
    return HistorySql::unreadable(failed.lastError(), database().isOpen() ? m_fileName : QString());
}

HistoryRead<QList<qint64>> HandHistory::sessions() const
{
    QSqlQuery sql(database());
    sql.setForwardOnly(true);
    HistoryRead<QList<qint64>> read;
    if (!run(sql, QStringLiteral("SELECT DISTINCT session FROM totals ORDER BY session"))
        || !readRows(sql, [&](const QSqlQuery &row) { read.value.append(row.value(0).toLongLong()); }))
        return {.error = unreadable(sql)};
    return read;
}

// From the running totals, a row a session and outcome.
HistoryRead<HistoryStats> HandHistory::stats(qint64 session) const
{
    QSqlQuery sql(database());
    sql.setForwardOnly(true);
    const QString statement = QStringLiteral("SELECT outcome, hands, mistakes, warned, bet, winnings, held_credits,"
                                             " best_credits, heeded FROM totals WHERE ") + soundTotals()
                              + (session ? QStringLiteral(" AND session = ?") : QString());
    HistoryRead<HistoryStats> read;
    HistoryStats &stats = read.value;
    const auto add = [&](const QSqlQuery &row) {
        const int outcome = row.value(0).toInt();
        const qint64 hands = row.value(1).toLongLong();
        if (outcome >= 0 && outcome < OutcomeCount)
            stats.outcomes[outcome] += hands;
        stats.hands += hands;
        stats.mistakes += row.value(2).toLongLong();
        stats.warned += row.value(3).toLongLong();
        stats.creditsBet += row.value(4).toLongLong();
        stats.creditsWon += row.value(5).toLongLong();
        stats.heldCredits += row.value(6).toDouble();
        stats.bestCredits += row.value(7).toDouble();
        stats.heeded += row.value(8).toLongLong();
    };
    if (!run(sql, statement, session ? QVariantList{session} : QVariantList()) || !readRows(sql, add))
        return {.error = unreadable(sql)};
    return read;
}

HistoryRead<QList<SessionPoint>> HandHistory::progress() const
{
    QSqlQuery sql(database());
    sql.setForwardOnly(true);
    HistoryRead<QList<SessionPoint>> read;
    const auto add = [&](const QSqlQuery &row) {
        const qint64 hands = row.value(1).toLongLong();
        const qint64 mistakes = row.value(2).toLongLong();
        const qint64 bet = row.value(5).toLongLong();
        read.value.append({.session = row.value(0).toLongLong(),
                           .hands = hands,
                           .accuracy = double(hands - mistakes) / double(hands),
                           .firstPressAccuracy = double(hands - mistakes - row.value(4).toLongLong()) / double(hands),
                           .lossPer100HandsAtBet1 = bet > 0 ? 100.0 * row.value(3).toDouble() / double(bet) : 0.0});
    };
    if (!run(sql, QStringLiteral("SELECT session, sum(hands), sum(mistakes), total(best_credits) - total(held_credits),"
                                 " sum(heeded), sum(bet) FROM totals WHERE ")
                      + soundTotals() + QStringLiteral(" GROUP BY session ORDER BY session"))
        || !readRows(sql, add))
        return {.error = unreadable(sql)};
    return read;
}

// Read whole and checked, so that a row that cannot be read puts no
// point on the chart.
HistoryRead<QList<CreditsPoint>> HandHistory::creditsSeries(qint64 session) const
{
    QSqlQuery sql(database());
    sql.setForwardOnly(true);
    if (!run(sql, HistorySql::selectAll() + QStringLiteral(" WHERE session = ? ORDER BY id"), {session}))
        return {.error = unreadable(sql)};
    HistoryRead<QList<CreditsPoint>> read;
    const HandReader reader(sql.record());
    const auto add = [&](const QSqlQuery &row) {
        if (const StoredHand stored = reader.read(row); stored.readable)
            read.value.append({int(read.value.size()) + 1, stored.record.credits});
    };
    if (!readRows(sql, add))
        return {.error = unreadable(sql)};
    return read;
}

// The newest first, by the key, so that the latest few of a million hands
// are found without a sort; rows that cannot be read passed over.
HistoryRead<QList<StoredHand>> HandHistory::mistakes(qint64 session, int limit) const
{
    QSqlQuery sql(database());
    sql.setForwardOnly(true);
    const QString ofSession = session == 0 ? QString() : QStringLiteral(" AND session = ?");
    QVariantList values;
    if (session != 0)
        values << session;
    values << limit;
    if (!run(sql, HistorySql::selectAll() + QStringLiteral(" WHERE ") + HistorySql::isMistake() + ofSession
                      + QStringLiteral(" ORDER BY id DESC LIMIT ?"),
             values))
        return {.error = unreadable(sql)};
    HistoryRead<QList<StoredHand>> read;
    const HandReader reader(sql.record());
    while (sql.next()) {
        if (const StoredHand stored = reader.read(sql); stored.readable)
            read.value.append(stored);
    }
    if (sql.lastError().isValid())
        return {.error = unreadable(sql)};
    return read;
}

// The rows come costliest first and are read only until the drill has
// its hands, rows that cannot be read passed over.
HistoryRead<QList<StoredHand>> HandHistory::dueMistakes(const QDateTime &now, int limit) const
{
    QSqlQuery sql(database());
    sql.setForwardOnly(true);
    if (!run(sql, HistorySql::selectAll() + QStringLiteral(" LEFT JOIN drill ON drill.hand = hands.id WHERE ")
                      + HistorySql::isMistake()
                      + QStringLiteral(" AND (drill.due IS NULL OR drill.due <= ?)"
                                       " ORDER BY best_credits - held_credits DESC, id DESC"),
             {now.toMSecsSinceEpoch()}))
        return {.error = unreadable(sql)};
    HistoryRead<QList<StoredHand>> read;
    const HandReader reader(sql.record());
    while (read.value.size() < limit && sql.next()) {
        if (const StoredHand stored = reader.read(sql); stored.readable)
            read.value.append(stored);
    }
    if (sql.lastError().isValid())
        return {.error = unreadable(sql)};
    return read;
}

// The step read and the step written are one transaction, so that no
// other answer to the hand, from a second copy of the game, falls between.
bool HandHistory::recordDrillAnswer(qint64 handId, bool right, const QDateTime &now)
{
    if (m_state != State::Keeping)
        return false;
    QSqlQuery sql(database());
    if (!sql.exec(QStringLiteral("BEGIN IMMEDIATE")))
        return false;
    if (writeDrillAnswer(sql, handId, right, now) && sql.exec(QStringLiteral("COMMIT")))
        return true;
    sql.exec(QStringLiteral("ROLLBACK"));
    return false;
}

// Every mistake is due but those put off past `now`: the totals count the
// mistakes, and the schedule holds only the hands drilled, so that neither
// read walks the hands.
HistoryRead<DrillOutlook> HandHistory::drillOutlook(const QDateTime &now) const
{
    QSqlQuery sql(database());
    sql.setForwardOnly(true);
    const qint64 at = now.toMSecsSinceEpoch();
    if (!run(sql, QStringLiteral("SELECT (SELECT total(mistakes) FROM totals WHERE ") + soundTotals()
                      + QStringLiteral("), (SELECT count(*) FROM drill JOIN hands ON hands.id = drill.hand"
                                       " WHERE drill.due > ? AND ") + HistorySql::isMistake()
                      + QStringLiteral("), (SELECT min(due) FROM drill WHERE due > ?)"),
             {at, at})
        || !sql.next())
        return {.error = unreadable(sql)};
    HistoryRead<DrillOutlook> read;
    read.value.dueNow = std::max<qint64>(0, sql.value(0).toLongLong() - sql.value(1).toLongLong());
    if (!sql.isNull(2))
        read.value.nextDue = sql.value(2).toLongLong();
    return read;
}

HistoryRead<std::optional<QDateTime>> HandHistory::drillDue(qint64 handId) const
{
    QSqlQuery sql(database());
    sql.setForwardOnly(true);
    HistoryRead<std::optional<QDateTime>> read;
    const auto take = [&](const QSqlQuery &row) { read.value = QDateTime::fromMSecsSinceEpoch(row.value(0).toLongLong(), Qt::UTC); };
    if (!run(sql, QStringLiteral("SELECT due FROM drill WHERE hand = ?"), {handId}) || !readRows(sql, take))
        return {.error = unreadable(sql)};
    return read;
}

HistoryJob *HandHistory::exportCsv(const HandQuery &query, const QString &path, QObject *parent) const
{
    if (!database().isOpen())
        return HistoryJob::failing(HistorySql::unreadable(QSqlError(), QString()), parent);
    return new HistoryJob(
        m_fileName, HistoryJob::Access::Reads,
        [query, path](QSqlDatabase &db, const HistoryJob::Step &step) { return HandCsv::save(db, query, path, step); },
        parent);
}

HistoryJob *HandHistory::deleteSession(qint64 session, QObject *parent)
{
    if (m_state != State::Keeping) {
        const QString why = m_message.isEmpty() ? QStringLiteral("The hand history is not open.") : m_message;
        return HistoryJob::failing(QStringLiteral("No hand was deleted. %1").arg(why), parent);
    }
    return new HistoryJob(
        m_fileName, HistoryJob::Access::Writes,
        [session](QSqlDatabase &db, const HistoryJob::Step &step) { return forgetHands(db, session, step); }, parent);
}

HistoryJob *HandHistory::deleteAll(QObject *parent)
{
    return deleteSession(0, parent);
}
