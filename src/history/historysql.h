#pragma once

#include "history/historyquery.h"

#include <QString>

#include <optional>

class QSqlError;
class QSqlQuery;
class QSqlRecord;

// A part of a list of hands: `limit` hands after the first `offset`,
// counted from the list's end and read in its order backwards when
// `fromEnd`, among the hands up to id `lastId`, so that hands recorded
// since the list was counted do not move its rows.
struct HandSlice
{
    qint64 lastId = 0;
    int offset = 0;
    int limit = 0;
    bool fromEnd = false;
};

// The columns of a hand's row as the file holds them. A column is empty
// where the file holds no value of its kind: text, a blob or NULL, or a
// fraction where a whole number belongs.
struct HandRow
{
    qint64 id = 0;
    std::optional<qint64> played, session, bet, dealt, gone, held, best;
    std::optional<double> heldCredits, bestCredits;
    std::optional<qint64> final, outcome, winnings, credits, warned;
    // The holds of the first press, where the column holds a whole number;
    // a NULL there is a hand whose first holds are not known.
    std::optional<qint64> firstHeld;
    bool firstHeldNull = true;
};

// What the history's readers share: the statement that selects a list of
// hands, the reading of a row back into a hand, checked, and
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
// What a list of the hands `query` selects needs before its first page,
// from the running totals: one row, the number of hands and the highest id
// of every hand. Returns whether it was read.
bool listed(QSqlQuery &sql, const HandQuery &query);
// The same as select() for a part of the list alone.
bool select(QSqlQuery &sql, const HandQuery &query, const HandSlice &slice);

// A hand's five cards as the hands table keeps them: six bits a card,
// slot 1 lowest.
qint64 packCards(const std::array<CardCode, HandSize> &cards);

// The hand a row holds. A row the game cannot have written, that another
// program changed or a damaged disk garbled, is not readable and comes
// with an empty record, so that no card outside the deck, no hold or
// outcome that does not exist and no credits that are not a number ever
// leave the history: a column left empty (the first holds may be NULL), cards out of the deck or twice
// in a hand, cards gone at the deal among those dealt or leaving fewer than
// a draw needs, holds beyond the five slots, a bet below one, winnings or
// credits below naught or beyond 32 bits, expected credits that are
// negative or not finite.
StoredHand decodeHand(const HandRow &row);

// The connect options of every connection to the history.
QString connectOptions();

// A read of `fileName` that failed, as a sentence for the player.
QString unreadable(const QSqlError &error, const QString &fileName);

} // namespace HistorySql

// Reads hands from the rows of a query over HistorySql::selectAll(), each
// column found once by its name among the query's columns, and each row
// checked by HistorySql::decodeHand.
class HandReader
{
public:
    explicit HandReader(const QSqlRecord &columns);

    StoredHand read(const QSqlQuery &row) const;

private:
    int m_id, m_played, m_session, m_bet, m_dealt, m_gone, m_held, m_best, m_heldCredits, m_bestCredits,
        m_final, m_outcome, m_winnings, m_credits, m_warned, m_firstHeld;
};
