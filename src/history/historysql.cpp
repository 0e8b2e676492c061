#include "historysql.h"

#include <QSqlDriver>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStringList>
#include <QVariant>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

QString whereClause(const HandQuery &query)
{
    QStringList terms;
    if (query.session)
        terms << QStringLiteral("session = :session");
    if (query.mistakesOnly)
        terms << HistorySql::isMistake();
    return terms.isEmpty() ? QString() : QStringLiteral(" WHERE ") + terms.join(QStringLiteral(" AND "));
}

// The order of a list, or the same backwards from its end; each has an
// index that walks it either way.
QString orderClause(HandQuery::Order order, bool backwards = false)
{
    const QString ahead = backwards ? QStringLiteral("ASC") : QStringLiteral("DESC");
    const QString behind = backwards ? QStringLiteral("DESC") : QStringLiteral("ASC");
    switch (order) {
    case HandQuery::Order::CostliestFirst:
        return QStringLiteral(" ORDER BY best_credits - held_credits %1, id %1").arg(ahead);
    case HandQuery::Order::BestOutcomeFirst:
        return QStringLiteral(" ORDER BY outcome %1, id %2").arg(behind, ahead);
    case HandQuery::Order::NewestFirst:
        break;
    }
    return QStringLiteral(" ORDER BY id %1").arg(ahead);
}

void bindSession(QSqlQuery &sql, const HandQuery &query)
{
    if (query.session)
        sql.bindValue(QStringLiteral(":session"), query.session);
}

// Prepares `statement` over the hands `query` selects, then `tail`, binds
// the query's values and runs it.
bool runOver(QSqlQuery &sql, const QString &statement, const HandQuery &query, const QString &tail = {})
{
    if (!sql.driver()->isOpen() || !sql.prepare(statement + whereClause(query) + tail))
        return false;
    bindSession(sql, query);
    return sql.exec();
}

constexpr qint64 Largest32 = std::numeric_limits<qint32>::max();

// The five cards packed six bits a card, when each is a card of the deck
// and no two are the same.
std::optional<std::array<CardCode, HandSize>> unpackCards(std::optional<qint64> packed)
{
    if (!packed || *packed < 0 || *packed >= qint64(1) << (6 * HandSize))
        return std::nullopt;
    std::array<CardCode, HandSize> cards{};
    CardSet seen = 0;
    for (int slot = 0; slot < HandSize; ++slot) {
        const int index = int(*packed >> (6 * slot)) & 0x3F;
        if (index >= DeckSize || (seen & (CardSet(1) << index)))
            return std::nullopt;
        seen |= CardSet(1) << index;
        cards[slot] = CardCode{qint16(index / SuitCount), qint16(index % SuitCount)};
    }
    return cards;
}

bool within(std::optional<qint64> value, qint64 lowest, qint64 highest)
{
    return value && *value >= lowest && *value <= highest;
}

// What a hold is expected to return: a finite number of credits, never
// below naught.
bool isExpectedCredits(std::optional<double> value)
{
    return value && std::isfinite(*value) && *value >= 0;
}

// The game deals the five cards from the cards not gone, and reshuffles
// long before fewer than five are left to draw.
bool isGoneAtDeal(std::optional<qint64> gone, const std::array<CardCode, HandSize> &dealt)
{
    if (!within(gone, 0, qint64(FullDeck)))
        return false;
    CardSet hand = 0;
    for (const CardCode &card : dealt)
        hand |= cardBit(card);
    const CardSet goneCards = CardSet(*gone);
    return !(goneCards & hand) && bitCount(FullDeck & ~goneCards & ~hand) >= HandSize;
}

std::optional<HandRecord> handOf(const HandRow &row)
{
    const auto dealt = unpackCards(row.dealt);
    const auto final = unpackCards(row.final);
    if (!dealt || !final || !isGoneAtDeal(row.gone, *dealt) || !row.played || !row.session
        || !within(row.bet, 1, Largest32) || !within(row.held, 0, HoldCount - 1)
        || !within(row.best, 0, HoldCount - 1) || !isExpectedCredits(row.heldCredits)
        || !isExpectedCredits(row.bestCredits) || !within(row.outcome, 0, OutcomeCount - 1)
        || !within(row.winnings, 0, Largest32) || !within(row.credits, 0, Largest32) || !within(row.warned, 0, 1)
        || !(row.firstHeldNull || within(row.firstHeld, 0, HoldCount - 1)))
        return std::nullopt;
    return HandRecord{.playedAt = *row.played,
                      .session = *row.session,
                      .bet = qint32(*row.bet),
                      .dealt = *dealt,
                      .goneAtDeal = CardSet(*row.gone),
                      .held = unsigned(*row.held),
                      .bestHold = unsigned(*row.best),
                      .heldCredits = *row.heldCredits,
                      .bestCredits = *row.bestCredits,
                      .final = *final,
                      .outcome = Outcome(*row.outcome),
                      .winnings = qint32(*row.winnings),
                      .credits = qint32(*row.credits),
                      .warned = *row.warned == 1,
                      .firstHeld = row.firstHeldNull ? std::nullopt : std::optional<unsigned>(unsigned(*row.firstHeld))};
}

// A whole number, as SQLite gives an INTEGER; nothing for any other value.
std::optional<qint64> wholeNumber(const QVariant &value)
{
    const int type = value.typeId();
    if (type == QMetaType::LongLong || type == QMetaType::Int)
        return value.toLongLong();
    return std::nullopt;
}

// A number, whole or not; nothing for text, a blob or NULL.
std::optional<double> number(const QVariant &value)
{
    const int type = value.typeId();
    if (type == QMetaType::Double || type == QMetaType::LongLong || type == QMetaType::Int)
        return value.toDouble();
    return std::nullopt;
}

} // namespace

QString HistorySql::selectAll()
{
    return QStringLiteral("SELECT id, played, session, bet, dealt, gone, held, best, held_credits, best_credits,"
                          " final, outcome, winnings, credits, warned, first_held FROM hands");
}

QString HistorySql::isMistake()
{
    return QStringLiteral("best_credits > held_credits");
}

qint64 HistorySql::packCards(const std::array<CardCode, HandSize> &cards)
{
    qint64 packed = 0;
    for (int slot = 0; slot < HandSize; ++slot)
        packed |= qint64(CardIndex(cards[slot])) << (6 * slot);
    return packed;
}

bool HistorySql::select(QSqlQuery &sql, const HandQuery &query)
{
    sql.setForwardOnly(true);
    return runOver(sql, selectAll(), query, orderClause(query.order));
}

qint64 HistorySql::count(QSqlQuery &sql, const HandQuery &query)
{
    if (!runOver(sql, QStringLiteral("SELECT count(*) FROM hands"), query) || !sql.next())
        return -1;
    const qint64 hands = sql.value(0).toLongLong();
    sql.finish();
    return hands;
}

// From the running totals, which the triggers keep with every insert and
// delete in the same transaction: a few thousand rows in place of a
// million. One statement, so one snapshot for the count and the last id.
bool HistorySql::listed(QSqlQuery &sql, const HandQuery &query)
{
    sql.setForwardOnly(true);
    const QString counted = query.mistakesOnly ? QStringLiteral("mistakes") : QStringLiteral("hands");
    const QString session = query.session ? QStringLiteral(" WHERE session = :session") : QString();
    if (!sql.driver()->isOpen()
        || !sql.prepare(QStringLiteral("SELECT (SELECT total(%1) FROM totals%2), (SELECT max(id) FROM hands)")
                            .arg(counted, session)))
        return false;
    bindSession(sql, query);
    return sql.exec() && sql.next();
}

// The unary plus keeps SQLite from walking the ids for the bound on them
// in place of the index that gives the order.
bool HistorySql::select(QSqlQuery &sql, const HandQuery &query, const HandSlice &slice)
{
    sql.setForwardOnly(true);
    const QString where = whereClause(query);
    const QString bound = (where.isEmpty() ? QStringLiteral(" WHERE") : QStringLiteral(" AND"))
                          + QStringLiteral(" +id <= :last");
    if (!sql.driver()->isOpen()
        || !sql.prepare(selectAll() + where + bound + orderClause(query.order, slice.fromEnd)
                        + QStringLiteral(" LIMIT :limit OFFSET :offset")))
        return false;
    bindSession(sql, query);
    sql.bindValue(QStringLiteral(":last"), slice.lastId);
    sql.bindValue(QStringLiteral(":limit"), slice.limit);
    sql.bindValue(QStringLiteral(":offset"), slice.offset);
    return sql.exec();
}

HandReader::HandReader(const QSqlRecord &columns)
    : m_id(columns.indexOf(QStringLiteral("id")))
    , m_played(columns.indexOf(QStringLiteral("played")))
    , m_session(columns.indexOf(QStringLiteral("session")))
    , m_bet(columns.indexOf(QStringLiteral("bet")))
    , m_dealt(columns.indexOf(QStringLiteral("dealt")))
    , m_gone(columns.indexOf(QStringLiteral("gone")))
    , m_held(columns.indexOf(QStringLiteral("held")))
    , m_best(columns.indexOf(QStringLiteral("best")))
    , m_heldCredits(columns.indexOf(QStringLiteral("held_credits")))
    , m_bestCredits(columns.indexOf(QStringLiteral("best_credits")))
    , m_final(columns.indexOf(QStringLiteral("final")))
    , m_outcome(columns.indexOf(QStringLiteral("outcome")))
    , m_winnings(columns.indexOf(QStringLiteral("winnings")))
    , m_credits(columns.indexOf(QStringLiteral("credits")))
    , m_warned(columns.indexOf(QStringLiteral("warned")))
    , m_firstHeld(columns.indexOf(QStringLiteral("first_held")))
{
    // A name here that selectAll() does not select is this program's
    // own slip, not the file's.
    Q_ASSERT(std::min({m_id, m_played, m_session, m_bet, m_dealt, m_gone, m_held, m_best, m_heldCredits,
                       m_bestCredits, m_final, m_outcome, m_winnings, m_credits, m_warned, m_firstHeld}) >= 0);
}

StoredHand HistorySql::decodeHand(const HandRow &row)
{
    if (const std::optional<HandRecord> hand = handOf(row))
        return {row.id, *hand, true};
    return {row.id, HandRecord{}, false};
}

StoredHand HandReader::read(const QSqlQuery &row) const
{
    const auto whole = [&](int column) { return wholeNumber(row.value(column)); };
    const auto real = [&](int column) { return number(row.value(column)); };
    return HistorySql::decodeHand({row.value(m_id).toLongLong(), whole(m_played), whole(m_session), whole(m_bet),
                                   whole(m_dealt), whole(m_gone), whole(m_held), whole(m_best),
                                   real(m_heldCredits), real(m_bestCredits), whole(m_final), whole(m_outcome),
                                   whole(m_winnings), whole(m_credits), whole(m_warned), whole(m_firstHeld),
                                   row.isNull(m_firstHeld)});
}
