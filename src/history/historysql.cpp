#include "historysql.h"

#include <QSqlDriver>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStringList>
#include <QVariant>

#include <algorithm>

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

// Prepares `statement` over the hands `query` selects, then `tail`, binds
// the query's values and runs it.
bool runOver(QSqlQuery &sql, const QString &statement, const HandQuery &query, const QString &tail = {})
{
    if (!sql.driver()->isOpen() || !sql.prepare(statement + whereClause(query) + tail))
        return false;
    if (query.session)
        sql.bindValue(QStringLiteral(":session"), query.session);
    return sql.exec();
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

} // namespace

QString HistorySql::selectAll()
{
    return QStringLiteral("SELECT id, played, session, bet, dealt, gone, held, best, held_credits, best_credits,"
                          " final, outcome, winnings, credits, warned FROM hands");
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
{
    // A name here that selectAll() does not select is this program's
    // own slip, not the file's.
    Q_ASSERT(std::min({m_id, m_played, m_session, m_bet, m_dealt, m_gone, m_held, m_best, m_heldCredits,
                       m_bestCredits, m_final, m_outcome, m_winnings, m_credits, m_warned}) >= 0);
}

StoredHand HandReader::read(const QSqlQuery &row) const
{
    StoredHand stored;
    stored.id = row.value(m_id).toLongLong();
    HandRecord &hand = stored.record;
    hand.playedAt = row.value(m_played).toLongLong();
    hand.session = row.value(m_session).toLongLong();
    hand.bet = row.value(m_bet).toInt();
    hand.dealt = unpackCards(row.value(m_dealt).toLongLong());
    hand.goneAtDeal = CardSet(row.value(m_gone).toLongLong()) & FullDeck;
    hand.held = row.value(m_held).toUInt() & (HoldCount - 1);
    hand.bestHold = row.value(m_best).toUInt() & (HoldCount - 1);
    hand.heldCredits = row.value(m_heldCredits).toDouble();
    hand.bestCredits = row.value(m_bestCredits).toDouble();
    hand.final = unpackCards(row.value(m_final).toLongLong());
    hand.outcome = Outcome(std::clamp(row.value(m_outcome).toInt(), 0, int(Nothing)));
    hand.winnings = row.value(m_winnings).toInt();
    hand.credits = row.value(m_credits).toInt();
    hand.warned = row.value(m_warned).toBool();
    return stored;
}
