#pragma once

#include "history/historyquery.h"

#include <QDateTime>
#include <QList>
#include <QObject>
#include <QString>

#include <array>
#include <memory>
#include <optional>

class HistoryJob;
class QSqlDatabase;
class QSqlError;
class QSqlQuery;

// The hand history: every settled hand, one row each, in an SQLite file in
// the player's data folder, and the drill schedule of the player's
// mistakes beside them. It never deletes a row unless asked to.
//
// The table must never wait for the disk and the game must play on
// whatever the file does: a file that cannot be opened, written, or is
// not a history, leaves the history not kept, with a reason in the
// player's words, and nothing existing is deleted or overwritten. A file
// that is not a database, whose tables are not a history's, or that SQLite
// finds damaged, is left as it is and the history goes on in a new file
// beside it. A file from a newer version of the game is opened
// read-only and never migrated down.
class HandHistory : public QObject
{
    Q_OBJECT

public:
    // Days until a drilled hand answered right comes back, step by step;
    // past the last step it stays at the last.
    static constexpr std::array<int, 6> DrillIntervals{1, 3, 7, 21, 60, 180};

    enum class State {
        Closed,   // not opened yet
        Checking, // the file is being checked; hands wait until it is done
        Keeping,  // hands are recorded
        ReadOnly, // a newer game's file: shown, never written
        NotKept,  // the file cannot be used; message() says why
    };

    explicit HandHistory(QObject *parent = nullptr);
    ~HandHistory() override;

    // history.sqlite in the player's data folder.
    static QString defaultPath();

    // When SQLite's check of a file's pages runs: before open returns, or
    // on a thread of its own (a second or so at a million hands), with the
    // hands settled meanwhile waiting for it and opened telling its end.
    enum class Check { Now, InBackground };

    // Opens the history at `path`, creating it and its folder when missing,
    // or the first file beside it that is a sound history or is missing
    // when `path` is not one ("history-2.sqlite", ...). Returns whether
    // hands will be recorded.
    bool open(const QString &path, Check check = Check::Now);
    State state() const { return m_state; }
    // What the player should be told about the history, once: why hands
    // are not recorded, that the file is a newer game's, or that the
    // history went on in a file beside one that is not a history or is
    // damaged. Empty when all is well.
    QString message() const { return m_message; }
    // The file in use, which may be one beside the path asked for.
    QString fileName() const { return m_fileName; }
    // The connection, for tools that work on the file as a whole, as the
    // benchmark fills a long history in one transaction; invalid until
    // opened. The game reads through the reads below and HandListModel.
    QSqlDatabase database() const;

    // Stores a settled hand, with any hands still waiting before it.
    // Where another program holds the file locked for longer than the table
    // may wait, the hands wait to be written with the next one, and
    // delayed says so while they do. Any other failure stops the recording
    // for good and says why once through failed. Returns whether every
    // hand settled so far is in the file.
    bool record(const HandRecord &hand);
    // Hands settled but not written yet, waiting for a locked file.
    qsizetype waiting() const { return m_waiting.size(); }

    // Every read says when the history could not be read, rather than
    // giving nothing as if there were no hands; the list of hands is a
    // HandListModel.

    // The sessions, oldest first.
    HistoryRead<QList<qint64>> sessions() const;
    // The figures of one session, or of every hand for session 0.
    HistoryRead<HistoryStats> stats(qint64 session = 0) const;
    // Accuracy and expected loss per 100 hands, a point a session, oldest
    // first.
    HistoryRead<QList<SessionPoint>> progress() const;
    // The credits after each hand of a session, in order.
    HistoryRead<QList<CreditsPoint>> creditsSeries(qint64 session) const;

    // The latest mistakes of one session, or of every hand for session 0,
    // `limit` at most, newest first.
    HistoryRead<QList<StoredHand>> mistakes(qint64 session, int limit) const;
    // The mistakes due for the drill at `now`, costliest first: those never
    // drilled and those whose interval has passed.
    HistoryRead<QList<StoredHand>> dueMistakes(const QDateTime &now, int limit) const;
    // A drill answer: a right one puts the hand off for the next interval,
    // a wrong one makes it due again at once and starts its intervals over.
    bool recordDrillAnswer(qint64 handId, bool right, const QDateTime &now);
    // How many mistakes are due at `now`, and when the next comes due.
    HistoryRead<DrillOutlook> drillOutlook(const QDateTime &now) const;
    // When a hand is next due in the drill; nothing for a hand never drilled.
    HistoryRead<std::optional<QDateTime>> drillDue(qint64 handId) const;

    // Work on the whole history, each a job not yet started that runs on
    // a thread and a connection of its own, with progress and a cancel.

    // Writes the hands a query selects, in its order, to `path` as
    // comma-separated values with a header line, read by one query and
    // written as they are read, rows not readable as hands left out and
    // counted; the file is replaced only once every row is written.
    HistoryJob *exportCsv(const HandQuery &query, const QString &path, QObject *parent = nullptr) const;
    // Forgetting on the player's request: one session's hands (every hand
    // for session 0), or every hand, with their drill schedule, all or none
    // of them, and no byte of them left in the file.
    HistoryJob *deleteSession(qint64 session, QObject *parent = nullptr);
    HistoryJob *deleteAll(QObject *parent = nullptr);

signals:
    // Hands stopped being recorded; `message` says why. Sent once.
    void failed(const QString &message);
    // Hands are waiting to be written, and `message` says why; empty once
    // they are all in the file.
    void delayed(const QString &message);
    // A file checked in the background is in use, or was passed over for
    // one beside it: state() and message() tell which.
    void opened();

private:
    enum class Opening { Opened, Checking, NotAHistory, Damaged, Failed };
    bool openFrom(int number, Opening passedOver);
    Opening openFile(const QString &fileName);
    Opening checkFile(QSqlDatabase &db, int version);
    Opening checkInBackground(const QString &fileName);
    void checked(bool sound);
    Opening startKeeping(QSqlDatabase &db);
    bool writeHands();
    Opening failedRead(const QSqlError &error);
    Opening openReadOnly(const QString &fileName);
    void closeFile();
    bool fail(const QString &message);
    // Why a read failed, in the player's words.
    QString unreadable(const QSqlQuery &failed) const;

    QString m_connection;
    QString m_fileName;
    QString m_message;
    State m_state = State::Closed;
    // Each returns the database's error, invalid when all went well.
    QSqlError insert(const HandRecord &hand);
    QSqlError writeWaiting();

    std::unique_ptr<QSqlQuery> m_insert;
    QList<HandRecord> m_waiting;
    bool m_toldDelayed = false;

    // The opening under way: the path asked for, how its files are
    // checked, the file being checked and why the one asked for was
    // passed over, when it was.
    QString m_path;
    Check m_check = Check::Now;
    int m_number = 1;
    Opening m_passedOver = Opening::Opened;
    std::unique_ptr<HistoryJob> m_checkJob;
};
