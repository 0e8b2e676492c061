#pragma once

#include <QSqlError>

class QSqlDatabase;

// The history's tables, built up one version at a time: a file of any
// older version is brought to the newest by the steps it has not had yet,
// each with the version number it leaves in PRAGMA user_version, all in
// one transaction, so that a file is never left half-way.
namespace HistorySchema {

// Brings the file from `version` up to HandHistory::SchemaVersion. Returns
// the database's error, invalid when all went well.
QSqlError migrate(QSqlDatabase &db, int version);

} // namespace HistorySchema
