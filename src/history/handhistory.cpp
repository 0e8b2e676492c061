#include "handhistory.h"

#include "schema.h"

#include <QAtomicInteger>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStandardPaths>
#include <QThread>
#include <QVariant>

namespace {

// Two copies of the game write a hand in well under a millisecond each, so
// a short wait covers any meeting of theirs; a lock held longer is someone
// else's, and the table must not wait on it.
constexpr int BusyWaitMs = 250;
const QString ConnectOptions = QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(BusyWaitMs);
// Files tried beside one that is not a history before giving up.
constexpr int MostFilesBeside = 9;

const QString Columns = QStringLiteral(
    "id, played, session, bet, dealt, gone, held, best, held_credits, best_credits,"
    " final, outcome, winnings, credits, warned, best_credits - held_credits AS loss");
const QString IsMistake = QStringLiteral("best_credits > held_credits");

// SQLite's primary result codes, as the driver reports them.
enum SqliteCode { Perm = 3, Busy = 5, Locked = 6, ReadOnly = 8, IoErr = 10, Corrupt = 11, Full = 13, CantOpen = 14, NotADb = 26 };

int sqliteCode(const QSqlError &error)
{
    return error.nativeErrorCode().toInt() & 0xFF;
}

bool isNotAHistory(const QSqlError &error)
{
    const int code = sqliteCode(error);
    return code == NotADb || code == Corrupt;
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

qint64 packCards(const std::array<CardCode, HandSize> &cards)
{
    qint64 packed = 0;
    for (int slot = 0; slot < HandSize; ++slot)
        packed |= qint64(CardIndex(cards[slot])) << (6 * slot);
    return packed;
}

std::array<CardCode, HandSize> unpackCards(qint64 packed)
{
    std::array<CardCode, HandSize> cards{};
    for (int slot = 0; slot < HandSize; ++slot) {
        const int index = int(packed >> (6 * slot)) & 0x3F;
        cards[slot] = CardCode{qint16(index / SuitCount), qint16(index % SuitCount)};
    }
    return cards;
}

QString whereClause(const HandQuery &query)
{
    QStringList terms;
    if (query.session)
        terms << QStringLiteral("session = :session");
    if (query.mistakesOnly)
        terms << IsMistake;
    return terms.isEmpty() ? QString() : QStringLiteral(" WHERE ") + terms.join(QStringLiteral(" AND "));
}

QString orderClause(HandQuery::Order order)
{
    switch (order) {
    case HandQuery::Order::CostliestFirst:
        return QStringLiteral(" ORDER BY best_credits - held_credits DESC, id DESC");
    case HandQuery::Order::BestOutcomeFirst:
        return QStringLiteral(" ORDER BY outcome, id DESC");
    case HandQuery::Order::NewestFirst:
        break;
    }
    return QStringLiteral(" ORDER BY id DESC");
}

QList<StoredHand> storedHands(QSqlQuery &query)
{
    QList<StoredHand> hands;
    while (query.next())
        hands.append(HandHistory::handFromRow(query));
    return hands;
}

} // namespace

HandHistory::HandHistory(QObject *parent)
    : QObject(parent)
{
    static QAtomicInteger<int> count;
    m_connection = QStringLiteral("drawpoker-history-%1").arg(count.fetchAndAddRelaxed(1));
}

HandHistory::~HandHistory()
{
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

bool HandHistory::open(const QString &path)
{
    closeFile();
    m_state = State::Closed;
    m_message.clear();
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QSQLITE")))
        return fail(notKept(QStringLiteral("Qt's SQLite driver is not installed")));
    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder))
        return fail(notKept(QStringLiteral("its folder %1 cannot be made").arg(QDir::toNativeSeparators(folder))));
    for (int number = 1; number <= MostFilesBeside; ++number) {
        const QString fileName = number == 1 ? path : besideName(path, number);
        const Opening opening = openFile(fileName);
        if (opening == Opening::NotAHistory)
            continue;
        if (opening == Opening::Opened && number > 1 && m_message.isEmpty()) {
            m_message = QStringLiteral("%1 is not a hand history of this game; it is left as it is, and the "
                                       "history is kept in %2 beside it.")
                            .arg(QFileInfo(path).fileName(), QFileInfo(fileName).fileName());
        }
        return m_state == State::Keeping;
    }
    return fail(notKept(QStringLiteral("%1 and the files beside it are not hand histories")
                            .arg(QDir::toNativeSeparators(path))));
}

HandHistory::Opening HandHistory::openFile(const QString &fileName)
{
    closeFile();
    m_fileName = fileName;
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
    db.setDatabaseName(fileName);
    db.setConnectOptions(ConnectOptions);
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
        || !query.next()) {
        if (isNotAHistory(query.lastError()))
            return Opening::NotAHistory;
        fail(notKept(reasonFor(query.lastError(), fileName)));
        return Opening::Failed;
    }
    const int version = query.value(0).toInt();
    const int tables = query.value(1).toInt();
    query.finish();
    if (version > SchemaVersion) {
        // The connection is opened anew, and no handle to it may outlive that.
        query = QSqlQuery();
        db = QSqlDatabase();
        return openReadOnly(fileName);
    }
    if (version == 0 && tables > 0)
        return Opening::NotAHistory;
    if (!switchToWal(query)) {
        fail(notKept(reasonFor(query.lastError(), fileName)));
        return Opening::Failed;
    }
    query.finish();
    // In WAL mode a commit is safe from a crash of the game without waiting
    // for the disk; only a power cut may take the last hands.
    query.exec(QStringLiteral("PRAGMA synchronous = NORMAL"));
    query.exec(QStringLiteral("PRAGMA foreign_keys = ON"));
    if (const QSqlError error = HistorySchema::migrate(db, version); error.isValid()) {
        fail(notKept(reasonFor(error, fileName)));
        return Opening::Failed;
    }
    m_insert = std::make_unique<QSqlQuery>(db);
    if (!m_insert->prepare(QStringLiteral(
            "INSERT INTO hands (played, session, bet, dealt, gone, held, best, held_credits, best_credits,"
            " final, outcome, winnings, credits, warned) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"))) {
        fail(notKept(reasonFor(m_insert->lastError(), fileName)));
        return Opening::Failed;
    }
    m_state = State::Keeping;
    return Opening::Opened;
}

// A newer game's file: its hands can be read, but this version neither
// migrates it down nor writes hands of an older shape into it.
HandHistory::Opening HandHistory::openReadOnly(const QString &fileName)
{
    closeFile();
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
    db.setDatabaseName(fileName);
    db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY;") + ConnectOptions);
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
    if (m_state != State::Keeping)
        return false;
    QSqlQuery &insert = *m_insert;
    const QVariantList values{hand.playedAt, hand.session, hand.bet, packCards(hand.dealt),
                              qint64(hand.goneAtDeal), hand.held, hand.bestHold, hand.heldCredits,
                              hand.bestCredits, packCards(hand.final), int(hand.outcome), hand.winnings,
                              hand.credits, int(hand.warned)};
    for (int i = 0; i < values.size(); ++i)
        insert.bindValue(i, values[i]);
    if (!insert.exec())
        return fail(notKept(reasonFor(insert.lastError(), m_fileName)));
    return true;
}

QString HandHistory::handsSql(const HandQuery &query)
{
    return QStringLiteral("SELECT ") + Columns + QStringLiteral(" FROM hands") + whereClause(query)
           + orderClause(query.order);
}

void HandHistory::bindHands(QSqlQuery &sql, const HandQuery &query)
{
    if (query.session)
        sql.bindValue(QStringLiteral(":session"), query.session);
}

namespace {

// A row of a query or of a query model's record, read alike.
template <class Row>
StoredHand storedFromRow(const Row &row)
{
    StoredHand stored;
    stored.id = row.value(IdColumn).toLongLong();
    HandRecord &hand = stored.record;
    hand.playedAt = row.value(PlayedColumn).toLongLong();
    hand.session = row.value(SessionColumn).toLongLong();
    hand.bet = row.value(BetColumn).toInt();
    hand.dealt = unpackCards(row.value(DealtColumn).toLongLong());
    hand.goneAtDeal = CardSet(row.value(GoneColumn).toLongLong()) & FullDeck;
    hand.held = row.value(HeldColumn).toUInt() & (HoldCount - 1);
    hand.bestHold = row.value(BestHoldColumn).toUInt() & (HoldCount - 1);
    hand.heldCredits = row.value(HeldCreditsColumn).toDouble();
    hand.bestCredits = row.value(BestCreditsColumn).toDouble();
    hand.final = unpackCards(row.value(FinalColumn).toLongLong());
    hand.outcome = Outcome(std::clamp(row.value(OutcomeColumn).toInt(), 0, int(Nothing)));
    hand.winnings = row.value(WinningsColumn).toInt();
    hand.credits = row.value(CreditsColumn).toInt();
    hand.warned = row.value(WarnedColumn).toBool();
    return stored;
}

} // namespace

StoredHand HandHistory::handFromRow(const QSqlQuery &row)
{
    return storedFromRow(row);
}

StoredHand HandHistory::handFromRecord(const QSqlRecord &row)
{
    return storedFromRow(row);
}

QList<StoredHand> HandHistory::hands(const HandQuery &query, int limit) const
{
    QSqlQuery sql(database());
    sql.setForwardOnly(true);
    sql.prepare(handsSql(query) + QStringLiteral(" LIMIT %1").arg(limit));
    bindHands(sql, query);
    sql.exec();
    return storedHands(sql);
}

std::optional<StoredHand> HandHistory::hand(qint64 id) const
{
    QSqlQuery sql(database());
    sql.prepare(QStringLiteral("SELECT ") + Columns + QStringLiteral(" FROM hands WHERE id = ?"));
    sql.addBindValue(id);
    if (sql.exec() && sql.next())
        return handFromRow(sql);
    return std::nullopt;
}

QList<qint64> HandHistory::sessions() const
{
    QSqlQuery sql(database());
    sql.setForwardOnly(true);
    sql.exec(QStringLiteral("SELECT DISTINCT session FROM totals ORDER BY session"));
    QList<qint64> sessions;
    while (sql.next())
        sessions.append(sql.value(0).toLongLong());
    return sessions;
}

// From the running totals, a row a session and outcome.
HistoryStats HandHistory::stats(qint64 session) const
{
    QSqlQuery sql(database());
    sql.setForwardOnly(true);
    sql.prepare(QStringLiteral("SELECT outcome, hands, mistakes, warned, bet, winnings, held_credits, best_credits"
                               " FROM totals%1").arg(session ? QStringLiteral(" WHERE session = :session") : QString()));
    if (session)
        sql.bindValue(QStringLiteral(":session"), session);
    sql.exec();
    HistoryStats stats;
    while (sql.next()) {
        const int outcome = sql.value(0).toInt();
        const qint64 hands = sql.value(1).toLongLong();
        if (outcome >= 0 && outcome < OutcomeCount)
            stats.outcomes[outcome] += hands;
        stats.hands += hands;
        stats.mistakes += sql.value(2).toLongLong();
        stats.warned += sql.value(3).toLongLong();
        stats.creditsBet += sql.value(4).toLongLong();
        stats.creditsWon += sql.value(5).toLongLong();
        stats.heldCredits += sql.value(6).toDouble();
        stats.bestCredits += sql.value(7).toDouble();
    }
    return stats;
}

QList<SessionPoint> HandHistory::progress() const
{
    QSqlQuery sql(database());
    sql.setForwardOnly(true);
    sql.exec(QStringLiteral("SELECT session, sum(hands), sum(mistakes), total(best_credits) - total(held_credits)"
                            " FROM totals GROUP BY session ORDER BY session"));
    QList<SessionPoint> points;
    while (sql.next()) {
        const qint64 hands = sql.value(1).toLongLong();
        points.append({sql.value(0).toLongLong(), hands, double(hands - sql.value(2).toLongLong()) / double(hands),
                       100.0 * sql.value(3).toDouble() / double(hands)});
    }
    return points;
}

QList<CreditsPoint> HandHistory::creditsSeries(qint64 session) const
{
    QSqlQuery sql(database());
    sql.setForwardOnly(true);
    sql.prepare(QStringLiteral("SELECT credits FROM hands WHERE session = ? ORDER BY id"));
    sql.addBindValue(session);
    sql.exec();
    QList<CreditsPoint> points;
    while (sql.next())
        points.append({int(points.size()) + 1, sql.value(0).toInt()});
    return points;
}

QList<StoredHand> HandHistory::dueMistakes(const QDateTime &now, int limit) const
{
    QSqlQuery sql(database());
    sql.setForwardOnly(true);
    sql.prepare(QStringLiteral("SELECT ") + Columns
                + QStringLiteral(" FROM hands LEFT JOIN drill ON drill.hand = hands.id WHERE ") + IsMistake
                + QStringLiteral(" AND (drill.due IS NULL OR drill.due <= ?)"
                                 " ORDER BY best_credits - held_credits DESC, id DESC LIMIT ?"));
    sql.addBindValue(now.toMSecsSinceEpoch());
    sql.addBindValue(limit);
    sql.exec();
    return storedHands(sql);
}

bool HandHistory::recordDrillAnswer(qint64 handId, bool right, const QDateTime &now)
{
    if (m_state != State::Keeping)
        return false;
    QSqlQuery sql(database());
    sql.prepare(QStringLiteral("SELECT step FROM drill WHERE hand = ?"));
    sql.addBindValue(handId);
    const int rightInARow = sql.exec() && sql.next() ? sql.value(0).toInt() : 0;
    sql.finish();
    const int step = right ? rightInARow + 1 : 0;
    const int days = step ? DrillIntervals[std::min<int>(step, DrillIntervals.size()) - 1] : 0;
    sql.prepare(QStringLiteral("INSERT OR REPLACE INTO drill (hand, due, step)"
                               " SELECT id, ?, ? FROM hands WHERE id = ?"));
    sql.addBindValue(now.addDays(days).toMSecsSinceEpoch());
    sql.addBindValue(step);
    sql.addBindValue(handId);
    return sql.exec() && sql.numRowsAffected() == 1;
}

std::optional<QDateTime> HandHistory::drillDue(qint64 handId) const
{
    QSqlQuery sql(database());
    sql.prepare(QStringLiteral("SELECT due FROM drill WHERE hand = ?"));
    sql.addBindValue(handId);
    if (sql.exec() && sql.next())
        return QDateTime::fromMSecsSinceEpoch(sql.value(0).toLongLong(), Qt::UTC);
    return std::nullopt;
}

bool HandHistory::deleteSession(qint64 session)
{
    if (m_state != State::Keeping)
        return false;
    QSqlQuery sql(database());
    sql.prepare(QStringLiteral("DELETE FROM hands WHERE session = ?"));
    sql.addBindValue(session);
    return sql.exec();
}

// Forgetting everything leaves no trace of a hand in the file: the freed
// pages are given back and the journal emptied.
bool HandHistory::deleteAll()
{
    if (m_state != State::Keeping)
        return false;
    QSqlQuery sql(database());
    return sql.exec(QStringLiteral("DELETE FROM hands")) && sql.exec(QStringLiteral("VACUUM"))
           && sql.exec(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
}
