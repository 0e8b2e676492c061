#include "schema.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStringList>

#include <array>

namespace {

// What a hand adds to the totals of its session and outcome, and what
// taking it away leaves: the triggers that keep the totals with every
// insert, delete and change of a hand share them.
const QString CountNew = QStringLiteral(
    " INSERT INTO totals VALUES (new.session, new.outcome, 1, new.best_credits > new.held_credits,"
    "  new.warned, new.bet, new.winnings, new.held_credits, new.best_credits)"
    " ON CONFLICT (session, outcome) DO UPDATE SET hands = hands + 1,"
    "  mistakes = mistakes + excluded.mistakes, warned = warned + excluded.warned,"
    "  bet = bet + excluded.bet, winnings = winnings + excluded.winnings,"
    "  held_credits = held_credits + excluded.held_credits,"
    "  best_credits = best_credits + excluded.best_credits;");
const QString UncountOld = QStringLiteral(
    " UPDATE totals SET hands = hands - 1,"
    "  mistakes = mistakes - (old.best_credits > old.held_credits), warned = warned - old.warned,"
    "  bet = bet - old.bet, winnings = winnings - old.winnings,"
    "  held_credits = held_credits - old.held_credits, best_credits = best_credits - old.best_credits"
    "  WHERE session = old.session AND outcome = old.outcome;"
    " DELETE FROM totals WHERE session = old.session AND outcome = old.outcome AND hands = 0;");

// Version 3's totals count the warnings heeded too: warned hands drawn
// with holds worth the best.
const QString CountNewHeeded = QStringLiteral(
    " INSERT INTO totals VALUES (new.session, new.outcome, 1, new.best_credits > new.held_credits,"
    "  new.warned, new.bet, new.winnings, new.held_credits, new.best_credits,"
    "  new.warned AND new.best_credits <= new.held_credits)"
    " ON CONFLICT (session, outcome) DO UPDATE SET hands = hands + 1,"
    "  mistakes = mistakes + excluded.mistakes, warned = warned + excluded.warned,"
    "  bet = bet + excluded.bet, winnings = winnings + excluded.winnings,"
    "  held_credits = held_credits + excluded.held_credits,"
    "  best_credits = best_credits + excluded.best_credits, heeded = heeded + excluded.heeded;");
const QString UncountOldHeeded = QStringLiteral(
    " UPDATE totals SET hands = hands - 1,"
    "  mistakes = mistakes - (old.best_credits > old.held_credits), warned = warned - old.warned,"
    "  bet = bet - old.bet, winnings = winnings - old.winnings,"
    "  held_credits = held_credits - old.held_credits, best_credits = best_credits - old.best_credits,"
    "  heeded = heeded - (old.warned AND old.best_credits <= old.held_credits)"
    "  WHERE session = old.session AND outcome = old.outcome;"
    " DELETE FROM totals WHERE session = old.session AND outcome = old.outcome AND hands = 0;");

// Step n brings a file of version n - 1 to version n. A later version of
// the game adds a step here and never changes one already shipped.
const QStringList Steps[] = {
    // 1: the hands, their running totals and the drill schedule. Cards are
    // packed six bits a card and the cards gone are a 52-bit set, so that
    // a hand stays small; mistakes have an index of their own, costliest
    // first. The totals of each session and outcome follow every insert
    // and delete, so that the statistics of a million hands need no pass
    // over them.
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
        QStringLiteral("CREATE TABLE totals ("
                       " session INTEGER NOT NULL,"
                       " outcome INTEGER NOT NULL,"
                       " hands INTEGER NOT NULL,"
                       " mistakes INTEGER NOT NULL,"
                       " warned INTEGER NOT NULL,"
                       " bet INTEGER NOT NULL,"
                       " winnings INTEGER NOT NULL,"
                       " held_credits REAL NOT NULL,"
                       " best_credits REAL NOT NULL,"
                       " PRIMARY KEY (session, outcome)) WITHOUT ROWID"),
        QStringLiteral("CREATE TRIGGER count_hand AFTER INSERT ON hands BEGIN") + CountNew + QStringLiteral(" END"),
        QStringLiteral("CREATE TRIGGER uncount_hand AFTER DELETE ON hands BEGIN") + UncountOld + QStringLiteral(" END"),
        QStringLiteral("CREATE TABLE drill ("
                       " hand INTEGER PRIMARY KEY REFERENCES hands (id) ON DELETE CASCADE,"
                       " due INTEGER NOT NULL,"
                       " step INTEGER NOT NULL)"),
    },
    // 2: an index for each order the review lists all hands in, so that
    // its first and last rows are found without sorting a million: the
    // costliest first (the mistakes alone have one already), and the best
    // final hand first, the newest first among equals. The totals follow
    // a hand that another program changes, too.
    {
        QStringLiteral("CREATE INDEX hands_by_loss ON hands (best_credits - held_credits)"),
        QStringLiteral("CREATE INDEX hands_by_outcome ON hands (outcome, id DESC)"),
        QStringLiteral("CREATE TRIGGER recount_hand AFTER UPDATE ON hands BEGIN") + UncountOld + CountNew
            + QStringLiteral(" END"),
    },
    // 3: the holds of the first press of DEAL beside those drawn with,
    // packed as `held`; NULL where they are not known, as in every hand
    // recorded before. The totals count the warnings heeded, those of the
    // hands already kept counted once here, so that the accuracy at the
    // first press needs no pass over the hands.
    {
        QStringLiteral("ALTER TABLE hands ADD COLUMN first_held INTEGER"),
        QStringLiteral("ALTER TABLE totals ADD COLUMN heeded INTEGER NOT NULL DEFAULT 0"),
        // One grouped pass over the hands: a count for each row of the
        // totals would walk a history of a million hands for minutes.
        QStringLiteral("UPDATE totals SET heeded = counted.heeded FROM (SELECT session, outcome, count(*) AS heeded"
                       " FROM hands WHERE warned AND best_credits <= held_credits GROUP BY session, outcome) AS counted"
                       " WHERE counted.session = totals.session AND counted.outcome = totals.outcome"),
        QStringLiteral("DROP TRIGGER count_hand"),
        QStringLiteral("DROP TRIGGER uncount_hand"),
        QStringLiteral("DROP TRIGGER recount_hand"),
        QStringLiteral("CREATE TRIGGER count_hand AFTER INSERT ON hands BEGIN") + CountNewHeeded + QStringLiteral(" END"),
        QStringLiteral("CREATE TRIGGER uncount_hand AFTER DELETE ON hands BEGIN") + UncountOldHeeded
            + QStringLiteral(" END"),
        QStringLiteral("CREATE TRIGGER recount_hand AFTER UPDATE ON hands BEGIN") + UncountOldHeeded + CountNewHeeded
            + QStringLiteral(" END"),
    },
};
static_assert(std::size(Steps) == HistorySchema::Version);

QSqlError run(QSqlDatabase &db, const QString &statement)
{
    QSqlQuery query(db);
    return query.exec(statement) ? QSqlError() : query.lastError();
}

// Runs the steps the file has not had up to `target`, inside the
// caller's transaction.
QSqlError upgrade(QSqlDatabase &db, int target = HistorySchema::Version)
{
    QSqlQuery current(db);
    if (!current.exec(QStringLiteral("PRAGMA user_version")) || !current.next())
        return current.lastError();
    const int version = current.value(0).toInt();
    current.finish();
    if (version >= target)
        return {};
    for (int step = version; step < target; ++step) {
        for (const QString &statement : Steps[step]) {
            if (QSqlError error = run(db, statement); error.isValid())
                return error;
        }
    }
    return run(db, QStringLiteral("PRAGMA user_version = %1").arg(target));
}

// The shape of a history of `version`, read from one the steps make in
// memory, so that the steps are the one description of every version.
QStringList madeShape(int version)
{
    const QString connection = QStringLiteral("drawpoker-history-shape-%1").arg(version);
    QStringList shape;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        db.setDatabaseName(QStringLiteral(":memory:"));
        const bool made = db.open() && !upgrade(db, version).isValid() && !HistorySchema::readShape(db, shape).isValid();
        // The steps are this program's own: one that fails is its slip.
        Q_ASSERT(made);
    }
    QSqlDatabase::removeDatabase(connection);
    return shape;
}

} // namespace

QSqlError HistorySchema::migrate(QSqlDatabase &db, int target)
{
    // BEGIN IMMEDIATE takes the write lock first, so that of two copies of
    // the game opening a new file at once, the second sees the first's
    // tables rather than building them again.
    if (QSqlError error = run(db, QStringLiteral("BEGIN IMMEDIATE")); error.isValid())
        return error;
    QSqlError error = upgrade(db, target);
    if (!error.isValid())
        error = run(db, QStringLiteral("COMMIT"));
    // A commit that failed may leave the transaction open: nothing of it
    // is kept.
    if (error.isValid())
        run(db, QStringLiteral("ROLLBACK"));
    return error;
}

QSqlError HistorySchema::readShape(QSqlDatabase &db, QStringList &shape)
{
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral(
            "SELECT m.type, m.name, m.tbl_name, c.cid, c.name, c.type, c.\"notnull\", c.pk"
            " FROM sqlite_master AS m LEFT JOIN pragma_table_info(m.name) AS c"
            " WHERE m.type IN ('table', 'trigger') AND m.name NOT LIKE 'sqlite\\_%' ESCAPE '\\'"
            " ORDER BY m.type, m.name, c.cid")))
        return query.lastError();
    shape.clear();
    while (query.next()) {
        QStringList fields;
        for (int field = 0; field < query.record().count(); ++field)
            fields << query.value(field).toString();
        shape << fields.join(QLatin1Char(' '));
    }
    return query.lastError();
}

QStringList HistorySchema::shapeOf(int version)
{
    Q_ASSERT(version >= 1 && version <= Version);
    static const auto shapes = [] {
        std::array<QStringList, Version + 1> made;
        for (int version = 1; version <= Version; ++version)
            made[version] = madeShape(version);
        return made;
    }();
    return shapes[version];
}
