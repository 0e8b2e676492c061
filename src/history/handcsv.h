#pragma once

#include "history/historyjob.h"
#include "history/historyquery.h"

class QSqlDatabase;

// The export of hands as comma-separated values: one line a hand, cards by
// their short names and times in ISO 8601, for a spreadsheet.
namespace HandCsv {

// Writes the hands `query` selects on `db`, in its order and with a header
// line, to the file at `path`: read by one query in one snapshot, each
// written as it is read, those not readable as hands left out and counted.
// The file at `path` is replaced only once every row is written: a cancel
// through `step`, or a failure, leaves it as it was.
HistoryJob::Result save(QSqlDatabase &db, const HandQuery &query, const QString &path, const HistoryJob::Step &step);

} // namespace HandCsv
