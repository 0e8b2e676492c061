#pragma once

#include <QSqlError>

class QSqlDatabase;

// The history's tables, built up one version at a time: a file of any
// older version is brought to the newest by the steps it has not had yet,
// each with the version number it leaves in PRAGMA user_version, all in
// one transaction, so that a file is never left half-way.
namespace HistorySchema {

// The schema this version writes, kept in PRAGMA user_version.
inline constexpr int Version = 2;

// Brings the file from the version it is at up to Version. Returns the
// database's error, invalid when all went well; a file that fails is left
// as it was.
QSqlError migrate(QSqlDatabase &db);

} // namespace HistorySchema
