#include "schema.h"

#include "handhistory.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>

namespace {

// Step n brings a file of version n - 1 to version n. A later version of
// the game adds a step here and never changes one already shipped.
const QStringList Steps[] = {
    // 1: the hands and the drill schedule. Cards are packed six bits a
    // card and the cards gone are a 52-bit set, so that a hand stays
    // small; mistakes have an index of their own, costliest first.
    {
        QStringLiteral("CREATE TABLE hands ("
                       " id INTEGER PRIMARY KEY,"
                       " played INTEGER NOT NULL,"
                       " session INTEGER NOT NULL,"
                       " bet INTEGER NOT NULL,"
                       " dealt INTEGER NOT NULL,"
                       " gone INTEGER NOT NULL,"
                       " held INTEGER NOT NULL,"
                       " best INTEGER NOT NULL,"
                       " held_credits REAL NOT NULL,"
                       " best_credits REAL NOT NULL,"
                       " final INTEGER NOT NULL,"
                       " outcome INTEGER NOT NULL,"
                       " winnings INTEGER NOT NULL,"
                       " credits INTEGER NOT NULL,"
                       " warned INTEGER NOT NULL)"),
        QStringLiteral("CREATE INDEX hands_by_session ON hands (session)"),
        QStringLiteral("CREATE INDEX mistakes_by_loss ON hands (best_credits - held_credits)"
                       " WHERE best_credits > held_credits"),
        QStringLiteral("CREATE TABLE drill ("
                       " hand INTEGER PRIMARY KEY REFERENCES hands (id) ON DELETE CASCADE,"
                       " due INTEGER NOT NULL,"
                       " step INTEGER NOT NULL)"),
    },
};
static_assert(std::size(Steps) == HandHistory::SchemaVersion);

QSqlError run(QSqlDatabase &db, const QString &statement)
{
    QSqlQuery query(db);
    return query.exec(statement) ? QSqlError() : query.lastError();
}

} // namespace

QSqlError HistorySchema::migrate(QSqlDatabase &db, int version)
{
    // BEGIN IMMEDIATE takes the write lock first, so that of two copies of
    // the game opening a new file at once, the second sees the first's
    // tables rather than building them again.
    if (QSqlError error = run(db, QStringLiteral("BEGIN IMMEDIATE")); error.isValid())
        return error;
    QSqlQuery current(db);
    if (current.exec(QStringLiteral("PRAGMA user_version")) && current.next())
        version = current.value(0).toInt();
    current.finish();
    for (int step = version; step < HandHistory::SchemaVersion; ++step) {
        for (const QString &statement : Steps[step]) {
            if (QSqlError error = run(db, statement); error.isValid()) {
                run(db, QStringLiteral("ROLLBACK"));
                return error;
            }
        }
    }
    if (version < HandHistory::SchemaVersion)
        run(db, QStringLiteral("PRAGMA user_version = %1").arg(HandHistory::SchemaVersion));
    return run(db, QStringLiteral("COMMIT"));
}
