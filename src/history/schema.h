#pragma once

#include <QSqlError>
#include <QStringList>

class QSqlDatabase;

// The history's tables, built up one version at a time: a file of any
// older version is brought to the newest by the steps it has not had yet,
// each with the version number it leaves in PRAGMA user_version, all in
// one transaction, so that a file is never left half-way.
namespace HistorySchema {

// The schema this version writes, kept in PRAGMA user_version.
inline constexpr int Version = 3;

// Brings the file from the version it is at up to `target`, Version
// unless an older version's file is wanted. Returns the database's error,
// invalid when all went well; a file that fails is left as it was.
QSqlError migrate(QSqlDatabase &db, int target = Version);

// The shape of a file: its tables with their columns in order, and its
// triggers, a line each. Indexes and SQLite's own tables are left out, as
// a version may add indexes and SQLite keeps statistics of its own.
// Returns the database's error, invalid when the shape was read.
QSqlError readShape(QSqlDatabase &db, QStringList &shape);
// The shape the steps up to `version` make, 1..Version.
QStringList shapeOf(int version);

} // namespace HistorySchema
