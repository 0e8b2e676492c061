#pragma once

#include "history/historyquery.h"

#include <QString>

class QSqlError;
class QSqlQuery;
class QSqlRecord;

// What the history's readers share: the statement that selects a list of
// hands, the reading of a row back into a hand by its columns' names, and
// a failed read in the player's words.
namespace HistorySql {

// "SELECT" and every column of a hand, its id first, "FROM hands": what
// HandReader reads.
QString selectAll();
// The condition that a hand's holds were a mistake.
QString isMistake();
// Prepares the hands `query` selects on `sql`, forward only, with the
// query's values bound, and runs it. Returns whether it ran.
bool select(QSqlQuery &sql, const HandQuery &query);
// The number of hands `query` selects, read on `sql`; -1 when it could
// not be read.
qint64 count(QSqlQuery &sql, const HandQuery &query);

// A hand's five cards as the hands table keeps them: six bits a card,
// slot 1 lowest.
qint64 packCards(const std::array<CardCode, HandSize> &cards);

// The connect options of every connection to the history.
QString connectOptions();

// A read of `fileName` that failed, as a sentence for the player.
QString unreadable(const QSqlError &error, const QString &fileName);

} // namespace HistorySql

// Reads hands from the rows of a query over HistorySql::selectAll(), each
// column found once by its name among the query's columns.
class HandReader
{
public:
    explicit HandReader(const QSqlRecord &columns);

    StoredHand read(const QSqlQuery &row) const;

private:
    int m_id, m_played, m_session, m_bet, m_dealt, m_gone, m_held, m_best, m_heldCredits, m_bestCredits,
        m_final, m_outcome, m_winnings, m_credits, m_warned;
};
