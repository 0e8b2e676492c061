// The export of hands as comma-separated values: one line a hand, cards by
// their short names and times in ISO 8601, for a spreadsheet.
#include "handhistory.h"

#include "historysql.h"
#include "model/names.h"

#include <QIODevice>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStringList>
#include <QTextStream>

namespace {

const QStringList Header{
    QStringLiteral("id"), QStringLiteral("played"), QStringLiteral("session"), QStringLiteral("bet"),
    QStringLiteral("dealt"), QStringLiteral("gone at the deal"), QStringLiteral("held"),
    QStringLiteral("best hold"), QStringLiteral("held credits"), QStringLiteral("best credits"),
    QStringLiteral("expected loss"), QStringLiteral("final"), QStringLiteral("outcome"),
    QStringLiteral("winnings"), QStringLiteral("credits"), QStringLiteral("warned")};

QString cardsText(const std::array<CardCode, HandSize> &cards)
{
    QStringList names;
    for (const CardCode &card : cards)
        names << shortCardName(card);
    return names.join(QLatin1Char(' '));
}

QString cardSetText(CardSet set)
{
    QStringList names;
    for (int index = 0; index < DeckSize; ++index) {
        if (set & (CardSet(1) << index))
            names << shortCardName(CardCode{qint16(index / SuitCount), qint16(index % SuitCount)});
    }
    return names.join(QLatin1Char(' '));
}

QString timeText(qint64 msecs)
{
    return QDateTime::fromMSecsSinceEpoch(msecs, Qt::UTC).toString(Qt::ISODateWithMs);
}

// Quotes a field that holds a comma, a quote or a line break.
QString field(const QString &text)
{
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')) && !text.contains(QLatin1Char('\n')))
        return text;
    return QLatin1Char('"') + QString(text).replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
}

QStringList csvFields(const StoredHand &stored)
{
    const HandRecord &hand = stored.record;
    return {QString::number(stored.id), timeText(hand.playedAt), timeText(hand.session),
            QString::number(hand.bet), cardsText(hand.dealt), cardSetText(hand.goneAtDeal),
            holdColumnsText(hand.dealt, hand.held), holdColumnsText(hand.dealt, hand.bestHold),
            QString::number(hand.heldCredits, 'f', 6), QString::number(hand.bestCredits, 'f', 6),
            QString::number(hand.expectedLoss(), 'f', 6), cardsText(hand.final),
            categoryName(categoryOf(hand.outcome), PayTable::gameNaming()), QString::number(hand.winnings),
            QString::number(hand.credits), hand.warned ? QStringLiteral("yes") : QStringLiteral("no")};
}

} // namespace

bool HandHistory::exportCsv(const HandQuery &query, QIODevice &out) const
{
    QSqlQuery sql(database());
    if (!HistorySql::select(sql, query))
        return false;
    const HandReader reader(sql.record());
    QTextStream stream(&out);
    stream.setEncoding(QStringConverter::Utf8);
    stream << Header.join(QLatin1Char(',')) << '\n';
    while (sql.next()) {
        QStringList fields = csvFields(reader.read(sql));
        for (QString &text : fields)
            text = field(text);
        stream << fields.join(QLatin1Char(',')) << '\n';
    }
    stream.flush();
    return !sql.lastError().isValid() && stream.status() == QTextStream::Ok;
}
