#include "handcsv.h"

#include "historysql.h"
#include "model/names.h"

#include <QDateTime>
#include <QDir>
#include <QSaveFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStringList>
#include <QTextStream>

#include <algorithm>

namespace {

const QStringList Header{
    QStringLiteral("id"), QStringLiteral("played"), QStringLiteral("session"), QStringLiteral("bet"),
    QStringLiteral("dealt"), QStringLiteral("gone at the deal"), QStringLiteral("held"),
    QStringLiteral("best hold"), QStringLiteral("held credits"), QStringLiteral("best credits"),
    QStringLiteral("expected loss"), QStringLiteral("final"), QStringLiteral("outcome"),
    QStringLiteral("winnings"), QStringLiteral("credits"), QStringLiteral("warned"), QStringLiteral("first held")};

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

bool beginsFormula(QChar c)
{
    return c == u'=' || c == u'+' || c == u'-' || c == u'@' || c == u'\t' || c == u'\r';
}

bool needsQuotes(QChar c)
{
    return c == u',' || c == u'"' || c == u'\n' || c == u'\r';
}

// A field as a spreadsheet takes it as it stands: quoted when it holds a
// comma, a quote or a line break, and after an apostrophe when it begins
// as a formula does, so that a crafted row can run nothing when opened.
QString field(const QString &text)
{
    QString written = !text.isEmpty() && beginsFormula(text.front()) ? QLatin1Char('\'') + text : text;
    if (std::none_of(written.cbegin(), written.cend(), needsQuotes))
        return written;
    return QLatin1Char('"') + written.replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
}

QStringList csvFields(const StoredHand &stored)
{
    const HandRecord &hand = stored.record;
    return {QString::number(stored.id), timeText(hand.playedAt), timeText(hand.session),
            QString::number(hand.bet), cardsText(hand.dealt), cardSetText(hand.goneAtDeal),
            keptShortNames(hand.dealt, hand.held), keptShortNames(hand.dealt, hand.bestHold),
            QString::number(hand.heldCredits, 'f', 6), QString::number(hand.bestCredits, 'f', 6),
            QString::number(hand.expectedLoss(), 'f', 6), cardsText(hand.final),
            categoryName(categoryOf(hand.outcome), PayTable::gameNaming()), QString::number(hand.winnings),
            QString::number(hand.credits), hand.warned ? QStringLiteral("yes") : QStringLiteral("no"),
            hand.firstHeld ? keptShortNames(hand.dealt, *hand.firstHeld) : QStringLiteral("unknown")};
}

QString csvLine(const QStringList &texts)
{
    QString line;
    line.reserve(256);
    for (const QString &text : texts) {
        if (!line.isEmpty())
            line += QLatin1Char(',');
        line += field(text);
    }
    return line += QLatin1Char('\n');
}

HistoryJob::Result failed(const QString &error)
{
    return {.outcome = HistoryJob::Outcome::Failed, .error = error};
}

// A failed write through the file is not always given a reason.
QString notWritten(const QString &path, const QSaveFile &file)
{
    const QString shown = QDir::toNativeSeparators(path);
    if (file.error() == QFileDevice::NoError)
        return QStringLiteral("The hands could not be written to %1; is the disk full?").arg(shown);
    return QStringLiteral("The hands could not be written to %1: %2.").arg(shown, file.errorString());
}

} // namespace

HistoryJob::Result HandCsv::save(QSqlDatabase &db, const HandQuery &query, const QString &path,
                                 const HistoryJob::Step &step)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return failed(notWritten(path, file));
    QSqlQuery sql(db);
    // The count and the rows are read in one snapshot, so that the
    // progress ends where the rows do, whatever the table records meanwhile.
    const bool begun = db.transaction();
    const qint64 total = begun ? HistorySql::count(sql, query) : -1;
    if (total < 0 || !HistorySql::select(sql, query))
        return failed(HistorySql::unreadable(begun ? sql.lastError() : db.lastError(), db.databaseName()));
    const HandReader reader(sql.record());
    QTextStream stream(&file);
    stream.setEncoding(QStringConverter::Utf8);
    stream << csvLine(Header);
    HistoryJob::Result result;
    qint64 done = 0;
    step(done, total);
    while (sql.next()) {
        const StoredHand hand = reader.read(sql);
        if (hand.readable) {
            stream << csvLine(csvFields(hand));
            ++result.rows;
        } else {
            ++result.unreadable;
        }
        if (!step(++done, total))
            return HistoryJob::cancelled();
    }
    if (sql.lastError().isValid())
        return failed(HistorySql::unreadable(sql.lastError(), db.databaseName()));
    sql.finish();
    db.commit();
    stream.flush();
    if (stream.status() != QTextStream::Ok || !file.commit())
        return failed(notWritten(path, file));
    result.outcome = HistoryJob::Outcome::Done;
    return result;
}
