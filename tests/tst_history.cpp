#include "history/handhistory.h"

#include "history/drillqueue.h"
#include "history/handlistmodel.h"
#include "history/historyjob.h"
#include "history/historysql.h"
#include "history/schema.h"
#include "historysample.h"
#include "model/names.h"
#include "ordinaryuser.h"
#include "smalldisk.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFileInfo>
#include <QProcess>
#include <QSignalSpy>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cmath>
#include <bit>

#include <sys/stat.h>

namespace {

const qint64 Start = QDateTime(QDate(2024, 3, 1), QTime(20, 0), Qt::UTC).toMSecsSinceEpoch();
constexpr qint64 Minute = 60 * 1000;

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The first value a statement gives on a history's file, as another
// program sees it through a connection of its own; empty when it fails.
QString fileValue(const QString &fileName, const QString &statement)
{
    QString value;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("test reader"));
        db.setDatabaseName(fileName);
        if (db.open()) {
            QSqlQuery query(db);
            if (query.exec(statement) && query.next())
                value = query.value(0).toString();
        }
    }
    QSqlDatabase::removeDatabase(QStringLiteral("test reader"));
    return value;
}

QString pragma(const HandHistory &history, const QString &name)
{
    return fileValue(history.fileName(), QStringLiteral("PRAGMA ") + name);
}

// Garbage over a page in the middle of a closed file.
bool damagePageInTheMiddle(const QString &fileName)
{
    QFile damaged(fileName);
    return damaged.open(QIODevice::ReadWrite) && damaged.seek(damaged.size() / 4096 / 2 * 4096)
           && damaged.write(QByteArray(4096, '\xA5')) == 4096;
}

qint64 rowCount(const QString &fileName)
{
    return fileValue(fileName, QStringLiteral("SELECT count(*) FROM hands")).toLongLong();
}

// Runs a job to its end, cancelled at the step where it has done the
// share `cancelAt` of its work if asked, and gives what it did.
HistoryJob::Result finish(HistoryJob *job, std::optional<double> cancelAt = {})
{
    const std::unique_ptr<HistoryJob> owned(job);
    // On the job's thread, so that the cancel lands at that very step.
    QObject::connect(job, &HistoryJob::progressed, job, [job, cancelAt](qint64 done, qint64 total) {
        if (cancelAt && done > 0 && double(done) >= *cancelAt * double(total))
            job->cancel();
    }, Qt::DirectConnection);
    QSignalSpy finished(job, &HistoryJob::finished);
    job->start();
    return finished.wait(60000) ? finished.takeFirst().at(0).value<HistoryJob::Result>() : HistoryJob::Result{};
}

} // namespace

class tst_History : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void handsComeBackAsRecorded_data();
    void handsComeBackAsRecorded();
    void statisticsAddUpTheHands_data();
    void statisticsAddUpTheHands();
    void drillSpacesRightAnswersAndRepeatsWrongOnes_data();
    void drillSpacesRightAnswersAndRepeatsWrongOnes();
    void drillQueueBringsMissedHandsBack_data();
    void drillQueueBringsMissedHandsBack();
    void olderFileKeepsEveryHandWithFirstHoldsUnknown_data();
    void olderFileKeepsEveryHandWithFirstHoldsUnknown();
    void forgettingDeletesOnlyWhatWasAsked();
    void forgottenHandsLeaveNoByteBehind_data();
    void forgottenHandsLeaveNoByteBehind();
    void exportedRowsReadBackAsRecorded();
    void unfinishedExportLeavesTheChosenFileAsItWas_data();
    void unfinishedExportLeavesTheChosenFileAsItWas();
    void historyThatCannotBeReadSaysSo();
    void rowsTheGameCannotHaveWrittenAreLeftOut_data();
    void rowsTheGameCannotHaveWrittenAreLeftOut();
    void badFileLeavesTheGamePlayingAndTheFileAlone_data();
    void badFileLeavesTheGamePlayingAndTheFileAlone();
    void checkInTheBackgroundKeepsTheHandsSettledMeanwhile_data();
    void checkInTheBackgroundKeepsTheHandsSettledMeanwhile();
    void killedWriterLosesAtMostTheHandBeingWritten();
    void twoCopiesBothRecordEveryHand();
    void aCopyWithItsListOpenLosesNoHandAndKeepsItsJournalShort();
    void handsWaitForALockedFileAndGoInWithTheNext();

private:
    QString path(const char *name = "history.sqlite") const { return m_dir->filePath(QString::fromLatin1(name)); }
    // Hands over two sessions, five in eight in the first, oldest first.
    QList<HandRecord> recordSamples(HandHistory &history, int count = 40);

    std::unique_ptr<QTemporaryDir> m_dir;
};

void tst_History::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

QList<HandRecord> tst_History::recordSamples(HandHistory &history, int count)
{
    QRandomGenerator random(7);
    QList<HandRecord> hands;
    for (int i = 0; i < count; ++i) {
        hands.append(sampleHand(random, i < count * 5 / 8 ? Start : Start + 30 * Minute, Start + i * Minute));
        history.record(hands.last());
    }
    return hands;
}

void tst_History::handsComeBackAsRecorded_data()
{
    QTest::addColumn<bool>("secondSession");
    QTest::addColumn<bool>("mistakesOnly");
    QTest::addColumn<HandQuery::Order>("order");
    QTest::newRow("all, newest first") << false << false << HandQuery::Order::NewestFirst;
    QTest::newRow("all mistakes, costliest first") << false << true << HandQuery::Order::CostliestFirst;
    QTest::newRow("a session, best outcome first") << true << false << HandQuery::Order::BestOutcomeFirst;
    QTest::newRow("a session's mistakes, costliest first") << true << true << HandQuery::Order::CostliestFirst;
}

void tst_History::handsComeBackAsRecorded()
{
    // Every field of a record comes back, the deck at the deal with it, and
    // the list selects and orders the hands as asked, its pages read from
    // either end, and still as counted when a hand is recorded meanwhile.
    QFETCH(bool, secondSession);
    QFETCH(bool, mistakesOnly);
    QFETCH(HandQuery::Order, order);
    HandHistory history;
    QVERIFY(history.open(path()));
    const QList<HandRecord> recorded = recordSamples(history, 800);
    QCOMPARE(pragma(history, QStringLiteral("user_version")).toInt(), HistorySchema::Version);
    QCOMPARE(pragma(history, QStringLiteral("journal_mode")), QStringLiteral("wal"));

    const HandQuery query{secondSession ? Start + 30 * Minute : 0, mistakesOnly, order};
    QList<qint64> expected;
    for (int i = 0; i < recorded.size(); ++i) {
        const HandRecord &hand = recorded[i];
        if ((!query.session || hand.session == query.session) && (!mistakesOnly || hand.isMistake()))
            expected.prepend(i + 1);
    }
    const auto before = [&](qint64 a, qint64 b) {
        const HandRecord &x = recorded[a - 1], &y = recorded[b - 1];
        if (order == HandQuery::Order::CostliestFirst)
            return x.expectedLoss() > y.expectedLoss();
        return order == HandQuery::Order::BestOutcomeFirst && x.outcome < y.outcome;
    };
    std::stable_sort(expected.begin(), expected.end(), before);
    QVERIFY(expected.size() > 1);

    HandListModel list(history);
    QVERIFY(list.setQuery(query));
    QCOMPARE(list.rowCount(), expected.size());
    QVERIFY(history.record(recorded.last()));
    QList<qint64> ids;
    for (int row = list.rowCount() - 1; row >= 0; --row) {
        const StoredHand stored = list.hand(row);
        ids.prepend(stored.id);
        QCOMPARE(stored.record, recorded[stored.id - 1]);
        QCOMPARE(stored.record.deckAtDeal() & stored.record.goneAtDeal, CardSet(0));
    }
    QVERIFY2(list.readable(), qPrintable(list.error()));
    QCOMPARE(ids, expected);
}

void tst_History::statisticsAddUpTheHands_data()
{
    QTest::addColumn<qint64>("session"); // 0: every hand
    // The first session or every third hand deleted, every third hand
    // changed by another program, or nothing.
    QTest::addColumn<QString>("deleted");
    for (const QString &deleted : {QString(), QStringLiteral("session"), QStringLiteral("every third hand"),
                                   QStringLiteral("changed")}) {
        for (const qint64 session : {qint64(0), Start, Start + 30 * Minute}) {
            const QString scope = session ? QStringLiteral("session %1").arg(session == Start ? 1 : 2) : QStringLiteral("all");
            QTest::addRow("%s, %s", qPrintable(scope), deleted.isEmpty() ? "nothing deleted" : qPrintable(deleted))
                << session << deleted;
        }
    }
}

void tst_History::statisticsAddUpTheHands()
{
    // Every figure of a session and of the lifetime, each session's point
    // of progress and its credits, are those of the hands kept, before and
    // after hands are deleted: by the player, a session, or one by one by
    // another program.
    QFETCH(qint64, session);
    QFETCH(QString, deleted);
    HandHistory history;
    QVERIFY(history.open(path()));
    const QList<HandRecord> recorded = recordSamples(history);
    const bool sessionDeleted = deleted == QLatin1String("session");
    const bool changed = deleted == QLatin1String("changed");
    if (sessionDeleted)
        QCOMPARE(finish(history.deleteSession(Start)).outcome, HistoryJob::Outcome::Done);
    else if (changed)
        fileValue(path(), QStringLiteral("UPDATE hands SET bet = bet + 1, winnings = winnings + 1, warned = 1 - warned,"
                                         " outcome = (outcome + 1) % %1 WHERE id % 3 = 0").arg(OutcomeCount));
    else if (!deleted.isEmpty())
        fileValue(path(), QStringLiteral("DELETE FROM hands WHERE id % 3 = 0"));
    QList<HandRecord> kept;
    for (qsizetype id = 1; id <= recorded.size(); ++id) {
        HandRecord hand = recorded[id - 1];
        if (changed && id % 3 == 0) {
            ++hand.bet;
            ++hand.winnings;
            hand.warned = !hand.warned;
            hand.outcome = Outcome((hand.outcome + 1) % OutcomeCount);
        }
        if (deleted.isEmpty() || changed || (sessionDeleted ? hand.session != Start : id % 3 != 0))
            kept.append(hand);
    }
    QCOMPARE(rowCount(path()), kept.size());

    HistoryStats expected;
    QList<SessionPoint> progress;
    QMap<qint64, qint64> betOf;
    QMap<qint64, QList<CreditsPoint>> credits{{Start, {}}, {Start + 30 * Minute, {}}};
    for (const HandRecord &hand : kept) {
        QList<CreditsPoint> &series = credits[hand.session];
        series.append({int(series.size()) + 1, hand.credits});
        if (progress.isEmpty() || progress.last().session != hand.session)
            progress.append(SessionPoint{hand.session});
        SessionPoint &point = progress.last();
        // Summed here, divided by the session's hands below.
        ++point.hands;
        point.accuracy += !hand.isMistake();
        point.firstPressAccuracy += !hand.firstPressMistake();
        point.lossPer100HandsAtBet1 += 100 * hand.expectedLoss();
        betOf[hand.session] += hand.bet;
        if (session && hand.session != session)
            continue;
        ++expected.hands;
        expected.mistakes += hand.isMistake();
        expected.warned += hand.warned;
        expected.heeded += hand.heededWarning();
        expected.creditsBet += hand.bet;
        expected.creditsWon += hand.winnings;
        expected.heldCredits += hand.heldCredits;
        expected.bestCredits += hand.bestCredits;
        ++expected.outcomes[hand.outcome];
    }
    const HistoryStats stats = history.stats(session).value;
    QCOMPARE(stats.hands, expected.hands);
    QCOMPARE(stats.mistakes, expected.mistakes);
    QCOMPARE(stats.warned, expected.warned);
    QCOMPARE(stats.heeded, expected.heeded);
    // The samples warn, and heed some of the warnings.
    QVERIFY(session || !deleted.isEmpty() || (expected.heeded > 0 && expected.heeded < expected.warned));
    QCOMPARE(stats.creditsBet, expected.creditsBet);
    QCOMPARE(stats.creditsWon, expected.creditsWon);
    QVERIFY(qAbs(stats.heldCredits - expected.heldCredits) < 1e-9);
    QVERIFY(qAbs(stats.bestCredits - expected.bestCredits) < 1e-9);
    QVERIFY(stats.outcomes == expected.outcomes);

    const QList<SessionPoint> drawn = history.progress().value;
    QCOMPARE(drawn.size(), progress.size());
    for (qsizetype i = 0; i < drawn.size(); ++i) {
        const SessionPoint &point = progress[i];
        QCOMPARE(drawn[i].session, point.session);
        QCOMPARE(drawn[i].hands, point.hands);
        QVERIFY(qAbs(drawn[i].accuracy - point.accuracy / double(point.hands)) < 1e-9);
        QVERIFY(qAbs(drawn[i].firstPressAccuracy - point.firstPressAccuracy / double(point.hands)) < 1e-9);
        QVERIFY(qAbs(drawn[i].lossPer100HandsAtBet1 - point.lossPer100HandsAtBet1 / double(betOf[point.session])) < 1e-9);
    }
    for (auto [of, series] : credits.asKeyValueRange()) {
        const QList<CreditsPoint> read = history.creditsSeries(of).value;
        QVERIFY(std::equal(read.begin(), read.end(), series.begin(), series.end(),
                           [](CreditsPoint a, CreditsPoint b) { return a.hand == b.hand && a.credits == b.credits; }));
    }
}

void tst_History::drillSpacesRightAnswersAndRepeatsWrongOnes_data()
{
    QTest::addColumn<QString>("answers"); // R right, W wrong, in order
    QTest::addColumn<int>("daysUntilDue");
    QTest::newRow("never drilled") << "" << 0;
    QTest::newRow("right once") << "R" << 1;
    QTest::newRow("right twice") << "RR" << 3;
    QTest::newRow("right four times") << "RRRR" << 21;
    QTest::newRow("right then wrong") << "RRRW" << 0;
    QTest::newRow("wrong then right") << "WR" << 1;
    QTest::newRow("right past the last interval") << "RRRRRRRRR" << 180;
}

void tst_History::drillSpacesRightAnswersAndRepeatsWrongOnes()
{
    // The costliest mistake is drilled first; each right answer puts it off
    // for longer, a wrong one makes it due again at once.
    QFETCH(QString, answers);
    QFETCH(int, daysUntilDue);
    HandHistory history;
    QVERIFY(history.open(path()));
    recordSamples(history);
    const QDateTime now = QDateTime::fromMSecsSinceEpoch(Start, Qt::UTC).addDays(2);
    const QList<StoredHand> due = history.dueMistakes(now, 100).value;
    QVERIFY(due.size() > 2);
    QVERIFY(std::is_sorted(due.begin(), due.end(), [](const StoredHand &a, const StoredHand &b) {
        return a.record.expectedLoss() > b.record.expectedLoss();
    }));
    const qint64 drilled = due.first().id;
    QDateTime when = now;
    for (const QChar answer : answers) {
        QVERIFY(history.recordDrillAnswer(drilled, answer == QLatin1Char('R'), when));
        when = when.addSecs(1);
    }
    const QDateTime last = when.addSecs(-1);
    const auto isDue = [&](const QDateTime &at) {
        const QList<StoredHand> hands = history.dueMistakes(at, 100).value;
        return std::any_of(hands.begin(), hands.end(), [&](const StoredHand &h) { return h.id == drilled; });
    };
    QVERIFY(isDue(last.addDays(daysUntilDue)));
    if (daysUntilDue > 0)
        QVERIFY(!isDue(last.addDays(daysUntilDue).addSecs(-1)));
    // The outlook counts the hands due and tells when the one put off is.
    const DrillOutlook outlook = history.drillOutlook(last).value;
    QCOMPARE(outlook.dueNow, due.size() - (daysUntilDue > 0));
    QCOMPARE(outlook.nextDue.value_or(0), daysUntilDue ? last.addDays(daysUntilDue).toMSecsSinceEpoch() : 0);
}

void tst_History::drillQueueBringsMissedHandsBack_data()
{
    QTest::addColumn<int>("due");
    QTest::addColumn<QString>("answers"); // R right, W wrong, in order
    QTest::addColumn<QString>("asked");   // the hands asked, by id, in order
    QTest::addColumn<QString>("lengths"); // N of "hand k of N" at each ask
    QTest::addColumn<QString>("missed");  // id, + right in the end, - not
    QTest::newRow("one hand, missed then right") << 1 << "WR" << "1 1" << "1 2" << "1+";
    QTest::newRow("missed every time, asked three times") << 1 << "WWW" << "1 1 1" << "1 2 3" << "1-";
    QTest::newRow("back after two others") << 4 << "WRRRR" << "1 2 3 1 4" << "4 5 5 5 5" << "1+";
    QTest::newRow("missed near the end comes last") << 3 << "RRWR" << "1 2 3 3" << "3 3 3 4" << "3+";
    QTest::newRow("two missed, one twice") << 3 << "WWRWRR" << "1 2 3 1 2 1" << "3 4 5 5 6 6" << "1+ 2+";
}

void tst_History::drillQueueBringsMissedHandsBack()
{
    // A hand answered wrong comes back a few hands later in the same drill,
    // up to three asks, and "hand k of N" counts every ask to come.
    QFETCH(int, due);
    QFETCH(QString, answers);
    QFETCH(QString, asked);
    QFETCH(QString, lengths);
    QFETCH(QString, missed);
    QList<StoredHand> hands;
    for (int id = 1; id <= due; ++id)
        hands.append(StoredHand{id, HandRecord{}, true});
    DrillQueue queue(hands);
    QStringList askedIds, counted, missedIds;
    for (const QChar answer : answers) {
        QVERIFY(queue.current());
        askedIds << QString::number(queue.current()->id);
        counted << QString::number(queue.total());
        QCOMPARE(queue.position(), askedIds.size());
        queue.answer(answer == QLatin1Char('R'));
    }
    QVERIFY(!queue.current() && queue.total() == answers.size());
    QCOMPARE(askedIds.join(QLatin1Char(' ')), asked);
    QCOMPARE(counted.join(QLatin1Char(' ')), lengths);
    for (const DrillQueue::Missed &miss : queue.missed())
        missedIds << QString::number(miss.hand.id) + (miss.rightInTheEnd ? QLatin1Char('+') : QLatin1Char('-'));
    QCOMPARE(missedIds.join(QLatin1Char(' ')), missed);
}

void tst_History::olderFileKeepsEveryHandWithFirstHoldsUnknown_data()
{
    QTest::addColumn<int>("version");
    QTest::addColumn<int>("hands");
    QTest::newRow("version 2, 60 hands") << 2 << 60;
    QTest::newRow("version 1, 60 hands") << 1 << 60;
}

void tst_History::olderFileKeepsEveryHandWithFirstHoldsUnknown()
{
    // A file an older version wrote opens as this version's: every hand
    // kept, its first holds unknown, the warnings heeded counted.
    QFETCH(int, version);
    QFETCH(int, hands);
    QRandomGenerator random(11);
    QList<HandRecord> recorded;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("older"));
        db.setDatabaseName(path());
        QVERIFY(db.open() && !HistorySchema::migrate(db, version).isValid());
        QSqlQuery insert(db);
        QVERIFY(insert.prepare(QStringLiteral("INSERT INTO hands (played, session, bet, dealt, gone, held, best,"
                                              " held_credits, best_credits, final, outcome, winnings, credits, warned)"
                                              " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)")));
        for (int i = 0; i < hands; ++i) {
            HandRecord hand = sampleHand(random, i < hands / 2 ? Start : Start + 30 * Minute, Start + i * Minute);
            hand.firstHeld.reset();
            for (const QVariant &value : QVariantList{hand.playedAt, hand.session, hand.bet, HistorySql::packCards(hand.dealt),
                                                      qint64(hand.goneAtDeal), hand.held, hand.bestHold, hand.heldCredits,
                                                      hand.bestCredits, HistorySql::packCards(hand.final),
                                                      int(hand.outcome), hand.winnings, hand.credits, int(hand.warned)})
                insert.addBindValue(value);
            QVERIFY(insert.exec());
            recorded.append(hand);
        }
    }
    QSqlDatabase::removeDatabase(QStringLiteral("older"));

    HandHistory history;
    QVERIFY(history.open(path()));
    QCOMPARE(history.fileName(), path());
    QCOMPARE(pragma(history, QStringLiteral("user_version")).toInt(), HistorySchema::Version);
    QSqlDatabase db = history.database();
    QStringList shape;
    QVERIFY(!HistorySchema::readShape(db, shape).isValid());
    QCOMPARE(shape, HistorySchema::shapeOf(HistorySchema::Version));
    HandListModel list(history);
    QVERIFY(list.setQuery(HandQuery{}));
    QCOMPARE(list.rowCount(), recorded.size());
    for (int row = 0; row < list.rowCount(); ++row)
        QCOMPARE(list.hand(row).record, recorded[list.hand(row).id - 1]);
    const HistoryStats stats = history.stats().value;
    QCOMPARE(stats.heeded, std::count_if(recorded.begin(), recorded.end(), [](const HandRecord &h) { return h.heededWarning(); }));
}

void tst_History::forgettingDeletesOnlyWhatWasAsked()
{
    // Deleting a session takes its hands and their drill schedule and
    // leaves the other session; deleting everything leaves an empty history.
    HandHistory history;
    QVERIFY(history.open(path()));
    recordSamples(history);
    const qint64 kept = history.stats(Start).value.hands;
    HandListModel mistakes(history);
    QVERIFY(mistakes.setQuery({Start + 30 * Minute, true, HandQuery::Order::NewestFirst}));
    const qint64 drilled = mistakes.hand(0).id;
    QVERIFY(history.recordDrillAnswer(drilled, true, QDateTime::currentDateTimeUtc()));
    QVERIFY(history.drillDue(drilled).value);
    QCOMPARE(finish(history.deleteSession(Start + 30 * Minute)).outcome, HistoryJob::Outcome::Done);
    QCOMPARE(history.sessions().value, QList<qint64>{Start});
    QCOMPARE(history.stats().value.hands, kept);
    QVERIFY(history.drillDue(drilled).ok() && !history.drillDue(drilled).value);
    QCOMPARE(finish(history.deleteAll()).outcome, HistoryJob::Outcome::Done);
    QCOMPARE(rowCount(path()), 0);
    QCOMPARE(pragma(history, QStringLiteral("integrity_check")), QStringLiteral("ok"));
}

void tst_History::forgottenHandsLeaveNoByteBehind_data()
{
    QTest::addColumn<bool>("everything");
    QTest::addColumn<bool>("cancelled");
    QTest::newRow("a session") << false << false;
    QTest::newRow("every hand") << true << false;
    QTest::newRow("every hand, cancelled") << true << true;
}

void tst_History::forgottenHandsLeaveNoByteBehind()
{
    // Deleted hands are gone, bytes and all, from the file and from its
    // journal while the game still has them open, and deleting every hand
    // leaves a smaller file; a cancelled deletion deletes no hand.
    QFETCH(bool, everything);
    QFETCH(bool, cancelled);
    // Hands of a session whose eight bytes no other hand holds.
    constexpr qint64 Marked = 0x0DE1E7ED0DE1E7ED;
    const QByteArray mark = QByteArray::fromHex("0DE1E7ED0DE1E7ED");
    HandHistory history;
    QVERIFY(history.open(path()));
    QRandomGenerator random(5);
    const auto recordHands = [&](qint64 session, int count) {
        QSqlQuery(history.database()).exec(QStringLiteral("BEGIN"));
        for (int i = 0; i < count; ++i)
            history.record(sampleHand(random, session, session + i));
        QSqlQuery(history.database()).exec(QStringLiteral("COMMIT"));
    };
    recordHands(Start, 3000);
    recordHands(Marked, 1500);
    fileValue(path(), QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
    recordHands(Marked, 1500);
    const QString journal = path() + QStringLiteral("-wal");
    QVERIFY(readAll(path()).contains(mark) && readAll(journal).contains(mark));
    const qint64 before = QFileInfo(path()).size() + QFileInfo(journal).size();

    const HistoryJob::Result result = finish(everything ? history.deleteAll() : history.deleteSession(Marked),
                                             cancelled ? std::optional(0.0) : std::nullopt);
    const qint64 deleted = cancelled ? 0 : everything ? 6000 : 3000;
    QCOMPARE(result.outcome, cancelled ? HistoryJob::Outcome::Cancelled : HistoryJob::Outcome::Done);
    QCOMPARE(rowCount(path()), 6000 - deleted);
    if (cancelled)
        return;
    QCOMPARE(result.rows, deleted);
    QVERIFY(!readAll(path()).contains(mark) && !readAll(journal).contains(mark));
    const qint64 after = QFileInfo(path()).size() + QFileInfo(journal).size();
    QVERIFY2(!everything || after < before / 2, qPrintable(QStringLiteral("%1 bytes, then %2").arg(before).arg(after)));
}

void tst_History::exportedRowsReadBackAsRecorded()
{
    // Every row has the header's columns, newest first, and the cards,
    // holds, bet, winnings and credits written are the hand's own; no cell
    // begins as a spreadsheet's formula does. A crafted row the game cannot
    // have written is left out, and counted.
    HandHistory history;
    QVERIFY(history.open(path()));
    QList<HandRecord> recorded = recordSamples(history);
    HandRecord drawsFive = recorded.last();
    drawsFive.held = 0;
    QVERIFY(history.record(drawsFive));
    recorded.append(drawsFive);
    HandRecord crafted = drawsFive;
    crafted.credits = -5;
    QVERIFY(history.record(crafted));
    const HistoryJob::Result exported = finish(history.exportCsv(HandQuery{}, path("hands.csv")));
    QCOMPARE(exported.rows, recorded.size());
    QCOMPARE(exported.unreadable, 1);
    const QStringList lines = QString::fromUtf8(readAll(path("hands.csv"))).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), recorded.size() + 1);
    const QStringList header = lines[0].split(QLatin1Char(','));
    const auto number = [&](const QStringList &fields, const char *column) {
        const QString cell = fields[header.indexOf(QLatin1String(column))];
        return cell.mid(cell.startsWith(QLatin1Char('\'')) ? 1 : 0).toLongLong();
    };
    for (int row = 0; row < recorded.size(); ++row) {
        const QStringList fields = lines[row + 1].split(QLatin1Char(','));
        QCOMPARE(fields.size(), header.size());
        for (const QString &cell : fields)
            QVERIFY2(cell.isEmpty() || !QStringLiteral("=+-@").contains(cell.front()), qPrintable(lines[row + 1]));
        QCOMPARE(number(fields, "id"), recorded.size() - row);
        const HandRecord &hand = recorded[recorded.size() - row - 1];
        const QStringList dealt = fields[header.indexOf(QStringLiteral("dealt"))].split(QLatin1Char(' '));
        QCOMPARE(dealt.size(), HandSize);
        for (int slot = 0; slot < HandSize; ++slot)
            QCOMPARE(parseCard(dealt[slot]), std::optional<CardCode>(hand.dealt[slot]));
        const QString first = fields[header.indexOf(QStringLiteral("first held"))];
        QCOMPARE(first, hand.firstHeld ? keptShortNames(hand.dealt, *hand.firstHeld) : QStringLiteral("unknown"));
        for (const auto &[column, hold] : {std::pair{"held", hand.held}, std::pair{"best hold", hand.bestHold}}) {
            const QStringList kept = fields[header.indexOf(QLatin1String(column))].split(QLatin1Char(' '));
            QCOMPARE(kept.size(), std::max(std::popcount(hold), 1));
            QCOMPARE(kept == QStringList{QStringLiteral("none")}, hold == 0);
            for (int slot = 0; slot < HandSize; ++slot)
                QCOMPARE(kept.contains(shortCardName(hand.dealt[slot])), bool(hold & (1u << slot)));
        }
        QCOMPARE(number(fields, "bet"), hand.bet);
        QCOMPARE(number(fields, "winnings"), hand.winnings);
        QCOMPARE(number(fields, "credits"), hand.credits);
    }
}

void tst_History::unfinishedExportLeavesTheChosenFileAsItWas_data()
{
    QTest::addColumn<bool>("cancelled"); // or failed on a full disk
    QTest::newRow("cancelled half-way") << true;
    QTest::newRow("a full disk") << false;
}

void tst_History::unfinishedExportLeavesTheChosenFileAsItWas()
{
    // A cancelled or failed export leaves the file chosen as it was, with
    // no part-written file beside it.
    QFETCH(bool, cancelled);
    HandHistory history;
    QVERIFY(history.open(path()));
    recordSamples(history, 800);
    const QString folder = m_dir->filePath(QStringLiteral("out"));
    QVERIFY(QDir().mkpath(folder));
    std::optional<SmallDisk> disk;
    if (!cancelled && !disk.emplace(folder, 8).mounted())
        QSKIP("mounting a small disk needs root");
    const QString chosen = folder + QStringLiteral("/hands.csv");
    QFile earlier(chosen);
    QVERIFY(earlier.open(QIODevice::WriteOnly) && earlier.write("earlier\n") && earlier.flush());

    const HistoryJob::Result result =
        finish(history.exportCsv(HandQuery{}, chosen), cancelled ? std::optional(0.5) : std::nullopt);
    QCOMPARE(result.outcome, cancelled ? HistoryJob::Outcome::Cancelled : HistoryJob::Outcome::Failed);
    QCOMPARE(readAll(chosen), QByteArray("earlier\n"));
    QCOMPARE(QDir(folder).entryList(QDir::Files), QStringList{QStringLiteral("hands.csv")});
    QVERIFY2(cancelled || result.error.contains(QStringLiteral("could not be written")), qPrintable(result.error));
}

void tst_History::historyThatCannotBeReadSaysSo()
{
    // A history whose file could not be opened is not one without hands:
    // the list, every figure, the drill and the export say that it could
    // not be read, rather than showing nothing or writing a file that looks
    // whole.
    QFile notAFolder(path("data"));
    QVERIFY(notAFolder.open(QIODevice::WriteOnly));
    HandHistory history;
    QVERIFY(!history.open(path("data") + QStringLiteral("/history.sqlite")));
    HandListModel list(history);
    QVERIFY(!list.setQuery(HandQuery{}));
    QCOMPARE(list.rowCount(), 0);
    const QDateTime now = QDateTime::currentDateTimeUtc();
    for (const QString &error : {list.error(), history.sessions().error, history.stats().error, history.progress().error,
                                 history.creditsSeries(Start).error, history.dueMistakes(now, 10).error,
                                 history.drillDue(1).error})
        QVERIFY2(error.contains(QStringLiteral("could not be read")), qPrintable(error));
    const QString exported = finish(history.exportCsv(HandQuery{}, path("hands.csv"))).error;
    QVERIFY2(exported.contains(QStringLiteral("could not be read")), qPrintable(exported));
}

void tst_History::rowsTheGameCannotHaveWrittenAreLeftOut_data()
{
    // Another program's change to the costliest mistake, or to the totals,
    // and whether it leaves totals that are not numbers.
    QTest::addColumn<QString>("change");
    QTest::addColumn<bool>("totalsLeftOut");
    QTest::newRow("a card past the deck") << "UPDATE hands SET dealt = (dealt & ~63) | 52 WHERE id = %1" << false;
    QTest::newRow("a card twice") << "UPDATE hands SET final = (final & ~4032) | ((final & 63) << 6) WHERE id = %1" << false;
    QTest::newRow("a hold past the five cards") << "UPDATE hands SET best = 32 WHERE id = %1" << false;
    QTest::newRow("first holds as text") << "UPDATE hands SET first_held = 'all' WHERE id = %1" << false;
    QTest::newRow("an outcome past the last") << QStringLiteral("UPDATE hands SET outcome = outcome + %1").arg(OutcomeCount) + " WHERE id = %1" << false;
    QTest::newRow("infinite credits") << "UPDATE hands SET held_credits = -9e999 WHERE id = %1" << true;
    QTest::newRow("credits as text") << "UPDATE hands SET best_credits = 'NaN' WHERE id = %1" << false;
    QTest::newRow("infinite totals") << "UPDATE totals SET best_credits = 9e999 WHERE session = (SELECT session FROM hands WHERE id = %1)" << true;
}

void tst_History::rowsTheGameCannotHaveWrittenAreLeftOut()
{
    // A changed row is listed by its id alone, and is neither drilled nor
    // charted; the other rows read as before and the figures stay numbers.
    QFETCH(QString, change);
    QFETCH(bool, totalsLeftOut);
    HandHistory history;
    QVERIFY(history.open(path()));
    const qsizetype recorded = recordSamples(history).size();
    const QDateTime now = QDateTime::fromMSecsSinceEpoch(Start, Qt::UTC).addDays(2);
    const QList<StoredHand> due = history.dueMistakes(now, 100).value;
    const qint64 changed = due.first().id, session = due.first().record.session;
    const qsizetype charted = history.creditsSeries(session).value.size();
    fileValue(path(), change.arg(changed));
    const bool handChanged = change.contains(QStringLiteral("UPDATE hands"));

    HandListModel list(history);
    QVERIFY(list.setQuery(HandQuery{}));
    for (int row = 0; row < list.rowCount(); ++row) {
        const bool unreadable = handChanged && list.hand(row).id == changed;
        QCOMPARE(list.hand(row).readable, !unreadable);
        QStringList texts;
        for (int column = 0; column < list.columnCount(); ++column)
            texts << list.data(list.index(row, column)).toString();
        QCOMPARE(texts[0].contains(QStringLiteral("Row %1 ").arg(changed)), unreadable);
        QCOMPARE(texts.mid(1).join(QString()).isEmpty(), unreadable);
    }
    const QList<StoredHand> drilled = history.dueMistakes(now, 100).value;
    QCOMPARE(drilled.size(), due.size() - handChanged);
    QCOMPARE(history.creditsSeries(session).value.size(), charted - handChanged);
    const HistoryStats stats = history.stats().value;
    // Totals that are not numbers are left out whole, with their hands.
    QCOMPARE(stats.hands < recorded, totalsLeftOut);
    QVERIFY(stats.hands > 0 && std::isfinite(stats.heldCredits) && std::isfinite(stats.bestCredits));
    for (const SessionPoint &point : history.progress().value)
        QVERIFY(std::isfinite(point.lossPer100HandsAtBet1) && std::isfinite(point.accuracy));
}

void tst_History::badFileLeavesTheGamePlayingAndTheFileAlone_data()
{
    QTest::addColumn<QString>("condition");
    QTest::addColumn<HandHistory::State>("state");
    QTest::addColumn<QString>("told");
    QTest::newRow("not a database") << "garbage" << HandHistory::State::Keeping << "history-2.sqlite beside it";
    QTest::newRow("a damaged page") << "damaged" << HandHistory::State::Keeping << "is damaged";
    QTest::newRow("hands but no totals") << "hands alone" << HandHistory::State::Keeping << "history-2.sqlite beside it";
    QTest::newRow("another program's tables") << "other tables" << HandHistory::State::Keeping << "history-2.sqlite beside it";
    QTest::newRow("a newer game's file") << "newer" << HandHistory::State::ReadOnly << "newer version";
    QTest::newRow("a read-only folder") << "read-only" << HandHistory::State::NotKept << "cannot be written";
    QTest::newRow("locked by a second copy") << "locked" << HandHistory::State::NotKept << "perhaps a second copy of the game";
    QTest::newRow("a full disk") << "full" << HandHistory::State::NotKept << "the disk is full";
}

void tst_History::badFileLeavesTheGamePlayingAndTheFileAlone()
{
    // Recording goes on or stops with one message that says why, and the
    // file that was there keeps every byte.
    QFETCH(QString, condition);
    QFETCH(HandHistory::State, state);
    QFETCH(QString, told);
    const QString folder = m_dir->filePath(QStringLiteral("data"));
    QVERIFY(QDir().mkpath(folder));
    const QString file = folder + QStringLiteral("/history.sqlite");
    QRandomGenerator random(3);
    if (condition == QLatin1String("garbage")) {
        QFile garbage(file);
        QVERIFY(garbage.open(QIODevice::WriteOnly));
        garbage.write(QByteArray(5000, 'x'));
    } else if (condition == QLatin1String("other tables")) {
        fileValue(file, QStringLiteral("CREATE TABLE notes (line TEXT)"));
        fileValue(file, QStringLiteral("PRAGMA user_version = 1"));
    } else if (condition != QLatin1String("full")) {
        {
            HandHistory earlier;
            QVERIFY(earlier.open(file));
            for (int hand = 0; hand < (condition == QLatin1String("damaged") ? 400 : 1); ++hand)
                QVERIFY(earlier.record(sampleHand(random, Start, Start + hand)));
        }
        if (condition == QLatin1String("newer"))
            fileValue(file, QStringLiteral("PRAGMA user_version = 99"));
        if (condition == QLatin1String("hands alone")) {
            for (const char *drop : {"TRIGGER count_hand", "TRIGGER uncount_hand", "TABLE totals", "TABLE drill"})
                fileValue(file, QStringLiteral("DROP ") + QLatin1String(drop));
        }
        if (condition == QLatin1String("damaged"))
            QVERIFY(damagePageInTheMiddle(file));
    }
    const QByteArray before = readAll(file);

    std::optional<SmallDisk> disk;
    if (condition == QLatin1String("full")) {
        disk.emplace(folder, 24);
        if (!disk->mounted())
            QSKIP("mounting a small disk needs root");
    }
    QSqlDatabase other;
    if (condition == QLatin1String("locked")) {
        other = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("other copy"));
        other.setDatabaseName(file);
        QVERIFY(other.open());
        QVERIFY(QSqlQuery(other).exec(QStringLiteral("BEGIN EXCLUSIVE")));
    }
    std::optional<OrdinaryUser> user;
    if (condition == QLatin1String("read-only")) {
        QCOMPARE(chmod(QFile::encodeName(m_dir->path()).constData(), 0755), 0);
        user.emplace();
        if (!user->ordinary())
            QSKIP("a folder is read-only only to an ordinary user");
    }

    HandHistory history;
    QSignalSpy failures(&history, &HandHistory::failed);
    history.open(file);
    for (int i = 0; i < 2000 && history.state() == HandHistory::State::Keeping; ++i)
        history.record(sampleHand(random, Start, Start + i));
    QCOMPARE(history.state(), state);
    QVERIFY2(history.message().contains(told), qPrintable(history.message()));
    if (state == HandHistory::State::Keeping)
        QVERIFY(history.fileName().endsWith(QStringLiteral("history-2.sqlite")));
    qInfo().noquote() << history.message();
    QCOMPARE(failures.size(), state == HandHistory::State::NotKept ? 1 : 0);
    QVERIFY(!history.record(sampleHand(random, Start, Start)) || state == HandHistory::State::Keeping);
    if (condition == QLatin1String("full"))
        QCOMPARE(pragma(history, QStringLiteral("integrity_check")), QStringLiteral("ok"));
    else
        QCOMPARE(readAll(file), before);
    if (condition == QLatin1String("newer"))
        QCOMPARE(history.stats().value.hands, 1);
    if (other.isValid())
        other.close();
    other = {};
    QSqlDatabase::removeDatabase(QStringLiteral("other copy"));
}

void tst_History::checkInTheBackgroundKeepsTheHandsSettledMeanwhile_data()
{
    QTest::addColumn<bool>("damaged");
    QTest::newRow("a sound history") << false;
    QTest::newRow("a damaged history") << true;
}

void tst_History::checkInTheBackgroundKeepsTheHandsSettledMeanwhile()
{
    // Checked in the background, a history takes the hand settled meanwhile
    // once the check is over: into the file, or into a new one beside a
    // damaged file, which keeps every byte.
    QFETCH(bool, damaged);
    QRandomGenerator random(9);
    constexpr int Earlier = 400;
    {
        HandHistory earlier;
        QVERIFY(earlier.open(path()));
        for (int hand = 0; hand < Earlier; ++hand)
            QVERIFY(earlier.record(sampleHand(random, Start, Start + hand)));
    }
    if (damaged)
        QVERIFY(damagePageInTheMiddle(path()));
    const QByteArray before = readAll(path());
    HandHistory history;
    QSignalSpy opened(&history, &HandHistory::opened);
    QVERIFY(history.open(path(), HandHistory::Check::InBackground));
    QCOMPARE(history.state(), HandHistory::State::Checking);
    QVERIFY(!history.record(sampleHand(random, Start, Start + Earlier)));
    QVERIFY(opened.wait(60000));
    QCOMPARE(history.state(), HandHistory::State::Keeping);
    QCOMPARE(history.fileName().endsWith(QStringLiteral("history-2.sqlite")), damaged);
    QCOMPARE(history.message().contains(QStringLiteral("is damaged")), damaged);
    QCOMPARE(history.waiting(), 0);
    QCOMPARE(rowCount(history.fileName()), damaged ? 1 : Earlier + 1);
    if (damaged)
        QCOMPARE(readAll(path()), before);
}

void tst_History::killedWriterLosesAtMostTheHandBeingWritten()
{
    // A writer killed at any moment, hundreds of times: the file stays
    // sound and holds every hand the writer had recorded, and at most the
    // one it was writing. Each is killed once it has told of a number of
    // hands chosen at random, wherever it has got to by then.
    QRandomGenerator random(11);
    qint64 reported = 0;
    int cutShort = 0;
    constexpr int Kills = 300;
    for (int kill = 0; kill < Kills; ++kill) {
        QProcess writer;
        writer.start(QStringLiteral(HISTORY_WRITER), {path(), QStringLiteral("0")});
        QVERIFY(writer.waitForStarted());
        const qint64 killAt = random.bounded(1, 20);
        QByteArray told;
        while (told.trimmed().toLongLong() < killAt) {
            if (writer.canReadLine())
                told = writer.readLine();
            else
                QVERIFY2(writer.waitForReadyRead(60000), writer.readAllStandardError().constData());
        }
        writer.kill();
        QVERIFY(writer.waitForFinished());
        // The last whole line, the one read before the kill or a later one.
        const QList<QByteArray> lines = (told + writer.readAllStandardOutput()).split('\n');
        const qint64 done = lines[lines.size() - 2].toLongLong();
        reported += done;
        HandHistory check;
        QVERIFY(check.open(path()));
        const qint64 rows = rowCount(path());
        QVERIFY2(rows == reported || rows == reported + 1, qPrintable(QStringLiteral("%1 rows, %2 reported").arg(rows).arg(reported)));
        cutShort += rows > reported;
        reported = rows;
    }
    HandHistory check;
    QVERIFY(check.open(path()));
    QCOMPARE(pragma(check, QStringLiteral("integrity_check")), QStringLiteral("ok"));
    qInfo("%d kills, %lld hands kept, %d kills between a commit and its report", Kills, reported, cutShort);
}

void tst_History::twoCopiesBothRecordEveryHand()
{
    // Two games writing into one history at once lose no hand.
    constexpr int Hands = 400;
    QProcess first, second;
    for (QProcess *writer : {&first, &second})
        writer->start(QStringLiteral(HISTORY_WRITER), {path(), QString::number(Hands)});
    for (QProcess *writer : {&first, &second}) {
        QVERIFY(writer->waitForFinished(60000));
        QVERIFY2(writer->exitCode() == 0, writer->readAllStandardError().constData());
    }
    HandHistory history;
    QVERIFY(history.open(path()));
    QCOMPARE(rowCount(path()), 2 * Hands);
    QCOMPARE(history.sessions().value.size(), 2);
}

void tst_History::aCopyWithItsListOpenLosesNoHandAndKeepsItsJournalShort()
{
    // A copy records ten thousand hands with its review's list of more than
    // a page open and looked at: in the first half another copy records
    // beside it, and no hand is lost; in the second the journal goes back
    // into the file as it grows, and stays short.
    constexpr int Listed = 300, Own = 10000, Others = 2000;
    constexpr qint64 JournalBound = 8 << 20;
    HandHistory history;
    QVERIFY(history.open(path()));
    recordSamples(history, Listed);
    HandListModel list(history);
    QProcess other;
    other.start(QStringLiteral(HISTORY_WRITER), {path(), QString::number(Others)});
    QRandomGenerator random(3);
    for (int i = 0; i < Own; ++i) {
        if (i % 1000 == 0) {
            QVERIFY(list.setQuery({}));
            QCOMPARE(list.hand(list.rowCount() - 1).id, 1);
            QVERIFY(list.hand(0).id > 0);
        }
        if (i == Own / 2) {
            QVERIFY(other.waitForFinished(60000));
            QVERIFY2(other.exitCode() == 0, other.readAllStandardError().constData());
        }
        history.record(sampleHand(random, Start, Start + i));
        if (i > Own / 2)
            QVERIFY2(QFileInfo(path() + QStringLiteral("-wal")).size() < JournalBound, "the journal keeps growing");
    }
    QVERIFY(history.record(sampleHand(random, Start, Start + Own)));
    QCOMPARE(history.state(), HandHistory::State::Keeping);
    QCOMPARE(rowCount(path()), Listed + Own + 1 + Others);
}

void tst_History::handsWaitForALockedFileAndGoInWithTheNext()
{
    // Another program holding the file locked past the table's short wait:
    // the hands wait and the panel is told, the next hand after the lock
    // goes takes them in with it, and the word goes.
    HandHistory history;
    QVERIFY(history.open(path()));
    QSignalSpy delayed(&history, &HandHistory::delayed);
    QRandomGenerator random(5);
    const QList<HandRecord> hands{sampleHand(random, Start, 1), sampleHand(random, Start, 2), sampleHand(random, Start, 3)};
    {
        QSqlDatabase locker = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("locker"));
        locker.setDatabaseName(path());
        QVERIFY(locker.open());
        QSqlQuery lock(locker);
        QVERIFY(lock.exec(QStringLiteral("BEGIN IMMEDIATE")));
        QVERIFY(!history.record(hands[0]));
        QVERIFY(!history.record(hands[1]));
        QVERIFY(lock.exec(QStringLiteral("ROLLBACK")));
    }
    QSqlDatabase::removeDatabase(QStringLiteral("locker"));
    QCOMPARE(history.waiting(), 2);
    QCOMPARE(history.state(), HandHistory::State::Keeping);
    QCOMPARE(delayed.size(), 2);
    QVERIFY(delayed.last().first().toString().startsWith(QStringLiteral("2 hands are waiting")));
    QVERIFY(history.record(hands[2]));
    QCOMPARE(history.waiting(), 0);
    QCOMPARE(delayed.last().first().toString(), QString());
    HandListModel list(history);
    QVERIFY(list.setQuery({.order = HandQuery::Order::NewestFirst}));
    QCOMPARE(list.rowCount(), hands.size());
    for (int row = 0; row < list.rowCount(); ++row)
        QCOMPARE(list.hand(row).record, hands[hands.size() - 1 - row]);
}

QTEST_GUILESS_MAIN(tst_History)
#include "tst_history.moc"
