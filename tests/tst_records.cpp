#include "records/cp1252.h"
#include "records/scorefile.h"

#include "ordinaryuser.h"
#include "smalldisk.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeAll(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// A table unlike the default one, so that old and new files differ.
scoretable otherTable()
{
    scoretable table;
    for (int i = 0; i < ScorePlaces; ++i)
        table[std::size_t(i)] = {ScoreFile::fitName(QStringLiteral("NEW%1").arg(i)), 90 - i};
    return table;
}

// Lowers this process's file-size limit (ulimit -f) while it lives.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_old);
        rlimit lowered = m_old;
        lowered.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &lowered);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &m_old); }

private:
    rlimit m_old{};
};

qint64 peakMemoryKiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

} // namespace

class tst_Records : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void recordsAreStoredByteForByte_data();
    void recordsAreStoredByteForByte();
    void writtenTableReadsBackTheSame();
    void missingFileGivesTheDefaultTableAndAnEmptyFile();
    void shortFileReadsOnlyWholeRecords_data();
    void shortFileReadsOnlyWholeRecords();
    void longerFileKeepsItsTail();
    void namesUseWindows1252();
    void readOnlyFolderSavesIntoAWritableFile_data();
    void readOnlyFolderSavesIntoAWritableFile();
    void onlyARegularFileIsReadOrReplaced_data();
    void onlyARegularFileIsReadOrReplaced();
    void fileInAMissingDirectoryFailsCleanly();
    void fullDiskKeepsTheOldFile_data();
    void fullDiskKeepsTheOldFile();
    void saveCutShortAtAnyByteLeavesTheOldFile();
    void longTailIsCopiedInBoundedMemory();
    void filesBesideTheScoresSurviveASave();

private:
    QString path(const char *name = "name2.dat") const { return m_dir->filePath(QString::fromLatin1(name)); }
    std::unique_ptr<QTemporaryDir> m_dir;
};

void tst_Records::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void tst_Records::recordsAreStoredByteForByte_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("score");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("10000") << QStringLiteral("ANONYMOUS") << 10000
                           << QByteArray("ANONYMOUS           \x10\x27\x00\x00", 24);
    QTest::newRow("-1") << QStringLiteral("BOB") << -1 << QByteArray("BOB                 \xff\xff\xff\xff", 24);
    QTest::newRow("9 characters get 11 spaces") << QStringLiteral("ABCDEFGHI") << 1500
                                                << QByteArray("ABCDEFGHI           \xdc\x05\x00\x00", 24);
    QTest::newRow("25 characters are cut to 20") << QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXY") << 0x01020304
                                                 << QByteArray("ABCDEFGHIJKLMNOPQRST\x04\x03\x02\x01", 24);
    QTest::newRow("empty name is 20 spaces") << QString() << 0 << QByteArray("                    \0\0\0\0", 24);
    QTest::newRow("lowest score") << QStringLiteral("Z") << int(0x80000000)
                                  << QByteArray("Z                   \x00\x00\x00\x80", 24);
}

void tst_Records::recordsAreStoredByteForByte()
{
    QFETCH(QString, name);
    QFETCH(int, score);
    QFETCH(QByteArray, bytes);
    scoretable table = ScoreFile::defaultTable();
    table[3] = {name, score};
    QString error;
    QVERIFY(ScoreFile(path()).write(table, &error));
    const QByteArray file = readAll(path());
    QCOMPARE(file.size(), 240);
    QCOMPARE(file.mid(3 * 24, 24), bytes);
    QCOMPARE(file.left(24), QByteArray("ANONYMOUS           \x10\x27\x00\x00", 24));
    QCOMPARE(file.mid(9 * 24 + 20, 4), QByteArray("\xe8\x03\x00\x00", 4));
}

void tst_Records::writtenTableReadsBackTheSame()
{
    scoretable table;
    for (int i = 0; i < ScorePlaces; ++i)
        table[std::size_t(i)] = {ScoreFile::fitName(QStringLiteral("P%1 ").arg(i)), 7 - 3 * i};
    QString error;
    QVERIFY(ScoreFile(path()).write(table, &error));
    const ScoreFile::Reading reading = ScoreFile(path()).read();
    QVERIFY(reading.fromFile);
    QVERIFY(reading.table == table);
    QCOMPARE(reading.table[0].playername, QStringLiteral("P0                  "));
}

void tst_Records::missingFileGivesTheDefaultTableAndAnEmptyFile()
{
    const ScoreFile::Reading reading = ScoreFile(path()).read();
    QVERIFY(!reading.fromFile);
    QVERIFY(reading.error.isEmpty());
    QCOMPARE(reading.table[0], (scorerecord{QStringLiteral("ANONYMOUS           "), 10000}));
    QCOMPARE(reading.table[9].score, 1000);
    QVERIFY(QFile::exists(path()));
    QCOMPARE(QFile(path()).size(), 0);
    QVERIFY(!ScoreFile(path()).read().fromFile);
}

void tst_Records::shortFileReadsOnlyWholeRecords_data()
{
    QTest::addColumn<int>("length");
    QTest::addColumn<int>("wholeRecords");
    QTest::newRow("1 byte") << 1 << 0;
    QTest::newRow("24 bytes") << 24 << 1;
    QTest::newRow("239 bytes") << 239 << 9;
}

void tst_Records::shortFileReadsOnlyWholeRecords()
{
    QFETCH(int, length);
    QFETCH(int, wholeRecords);
    scoretable table;
    for (int i = 0; i < ScorePlaces; ++i)
        table[std::size_t(i)] = {ScoreFile::fitName(QStringLiteral("N%1").arg(i)), 100 + i};
    writeAll(path(), ScoreFile::encode(table).left(length));

    const ScoreFile::Reading reading = ScoreFile(path()).read();
    QVERIFY(reading.fromFile);
    for (int i = 0; i < ScorePlaces; ++i) {
        const scorerecord expected = i < wholeRecords ? table[std::size_t(i)]
                                                      : scorerecord{QString(20, QLatin1Char(' ')), 0};
        QCOMPARE(reading.table[std::size_t(i)], expected);
    }
}

void tst_Records::longerFileKeepsItsTail()
{
    const QByteArray tail("tail bytes that are not ours\x00\x01", 30);
    writeAll(path(), ScoreFile::encode(ScoreFile::defaultTable()) + tail);
    scoretable table = ScoreFile(path()).read().table;
    table[0] = {ScoreFile::fitName(QStringLiteral("AMY")), 20000};
    QString error;
    QVERIFY(ScoreFile(path()).write(table, &error));
    const QByteArray file = readAll(path());
    QCOMPARE(file.size(), 240 + tail.size());
    QCOMPARE(file.mid(240), tail);
    QCOMPARE(file.left(24), QByteArray("AMY                 \x20\x4e\x00\x00", 24));
}

void tst_Records::namesUseWindows1252()
{
    // Every byte reads as a character and writes back as the same byte.
    QByteArray all(256, '\0');
    for (int b = 0; b < 256; ++b)
        all[b] = char(b);
    QCOMPARE(Cp1252::encode(Cp1252::decode(all)), all);
    QCOMPARE(Cp1252::decode(QByteArray("\x80\x9f\xe9", 3)), QStringLiteral(u"\u20ac\u0178\u00e9"));
    QCOMPARE(Cp1252::encode(QStringLiteral(u"Zo\u00eb \u20ac \u4e2d")), QByteArray("Zo\xeb \x80 ?"));
}

void tst_Records::readOnlyFolderSavesIntoAWritableFile_data()
{
    QTest::addColumn<bool>("fileWritable");
    QTest::newRow("writable file") << true;
    QTest::newRow("read-only file") << false;
}

void tst_Records::readOnlyFolderSavesIntoAWritableFile()
{
    // The folder takes no temporary file; a file we may write still takes
    // the table in place, with its tail kept.
    QFETCH(bool, fileWritable);
    const QByteArray tail("tail");
    const QByteArray old = ScoreFile::encode(ScoreFile::defaultTable()) + tail;
    writeAll(path(), old);
    const QByteArray folder = QFile::encodeName(m_dir->path());
    const QByteArray file = QFile::encodeName(path());
    QCOMPARE(chown(folder.constData(), OrdinaryUser::uid(), gid_t(-1)), 0);
    QCOMPARE(chown(file.constData(), OrdinaryUser::uid(), gid_t(-1)), 0);
    QCOMPARE(chmod(file.constData(), fileWritable ? 0644 : 0444), 0);
    QCOMPARE(chmod(folder.constData(), 0555), 0);
    QString error;
    bool saved = false;
    {
        OrdinaryUser user;
        if (!user.ordinary())
            QSKIP("cannot switch to the user nobody, and root writes into any folder");
        saved = ScoreFile(path()).write(otherTable(), &error);
    }
    QCOMPARE(chmod(folder.constData(), 0755), 0);
    QCOMPARE(saved, fileWritable);
    QCOMPARE(readAll(path()), fileWritable ? ScoreFile::encode(otherTable()) + tail : old);
    if (!fileWritable) {
        QVERIFY2(error.contains(path()), qPrintable(error));
        QVERIFY2(error.contains(QStringLiteral("Permission denied")), qPrintable(error));
    }
}

void tst_Records::onlyARegularFileIsReadOrReplaced_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("folder") << QStringLiteral("folder");
    QTest::newRow("pipe") << QStringLiteral("pipe");
    QTest::newRow("link to /dev/full") << QStringLiteral("link");
}

void tst_Records::onlyARegularFileIsReadOrReplaced()
{
    // Nothing waits on a pipe, and nothing takes the place of what is there.
    QFETCH(QString, kind);
    const QByteArray name = QFile::encodeName(path());
    if (kind == QLatin1String("folder"))
        QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("name2.dat")));
    else if (kind == QLatin1String("pipe"))
        QCOMPARE(mkfifo(name.constData(), 0644), 0);
    else
        QVERIFY(QFile::link(QStringLiteral("/dev/full"), path()));
    const auto sameThingIsThere = [&] {
        struct stat status = {};
        return lstat(name.constData(), &status) == 0
               && (kind == QLatin1String("folder") ? S_ISDIR(status.st_mode)
                   : kind == QLatin1String("pipe") ? S_ISFIFO(status.st_mode)
                                                   : S_ISLNK(status.st_mode));
    };

    const ScoreFile::Reading reading = ScoreFile(path()).read();
    QVERIFY(!reading.fromFile);
    QVERIFY(reading.table == ScoreFile::defaultTable());
    QVERIFY2(reading.error.contains(path()) && reading.error.contains(QStringLiteral("not a regular file")),
             qPrintable(reading.error));
    QString error;
    QVERIFY(!ScoreFile(path()).write(ScoreFile::defaultTable(), &error));
    QVERIFY2(error.contains(path()) && error.contains(QStringLiteral("not a regular file")), qPrintable(error));
    QVERIFY(sameThingIsThere());
    QVERIFY(QFileInfo(QStringLiteral("/dev/full")).exists() && !QFileInfo(QStringLiteral("/dev/full")).isFile());
}

void tst_Records::fileInAMissingDirectoryFailsCleanly()
{
    const QString nowhere = m_dir->filePath(QStringLiteral("missing/name2.dat"));
    const ScoreFile::Reading reading = ScoreFile(nowhere).read();
    QVERIFY(!reading.fromFile);
    QVERIFY(!reading.error.isEmpty());
    QString error;
    QVERIFY(!ScoreFile(nowhere).write(ScoreFile::defaultTable(), &error));
    QVERIFY(!error.isEmpty());
}

void tst_Records::fullDiskKeepsTheOldFile_data()
{
    QTest::addColumn<int>("freePages");
    QTest::addColumn<bool>("saved");
    QTest::newRow("nothing free") << 0 << false;
    QTest::newRow("room for part of the file") << 1 << false;
    QTest::newRow("room for all of it") << 2 << true;
}

void tst_Records::fullDiskKeepsTheOldFile()
{
    QFETCH(int, freePages);
    QFETCH(bool, saved);
    SmallDisk disk(m_dir->path(), 16);
    if (!disk.mounted())
        QSKIP("cannot mount a small tmpfs here (that needs root); the full-disk cases are not run");
    // Two pages of file, so that a save needs two more pages beside them.
    const QByteArray old = ScoreFile::encode(ScoreFile::defaultTable()) + QByteArray(5000, 't');
    writeAll(path(), old);
    QFile filler(path("filler"));
    QVERIFY(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
    const QByteArray page(SmallDisk::pageSize(), 'f');
    while (filler.write(page) == page.size()) {
    }
    QVERIFY(filler.resize((filler.size() / page.size() - freePages) * page.size()));
    filler.close();

    QString error;
    QCOMPARE(ScoreFile(path()).write(otherTable(), &error), saved);
    QCOMPARE(readAll(path()), saved ? ScoreFile::encode(otherTable()) + old.mid(240) : old);
    if (!saved) {
        QVERIFY2(error.contains(path()), qPrintable(error));
        QVERIFY2(error.contains(QStringLiteral("No space left on device")), qPrintable(error));
    }
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden),
             QStringList({QStringLiteral("filler"), QStringLiteral("name2.dat")}));
}

void tst_Records::saveCutShortAtAnyByteLeavesTheOldFile()
{
    // A file-size limit stops the save after any number of bytes; the file
    // is then wholly old, and wholly new only once every byte fitted.
    const QByteArray tail("bytes that are not ours");
    const QByteArray old = ScoreFile::encode(ScoreFile::defaultTable()) + tail;
    const QByteArray fresh = ScoreFile::encode(otherTable()) + tail;
    for (int limit = 0; limit <= fresh.size(); ++limit) {
        writeAll(path(), old);
        QString error;
        bool saved = false;
        {
            FileSizeLimit cut((rlim_t(limit)));
            saved = ScoreFile(path()).write(otherTable(), &error);
        }
        QCOMPARE(saved, limit == fresh.size());
        QCOMPARE(readAll(path()), saved ? fresh : old);
        if (!saved)
            QVERIFY2(error.contains(QStringLiteral("File too large")), qPrintable(error));
    }
    // The save ignores the signal only while it writes.
    struct sigaction after = {};
    sigaction(SIGXFSZ, nullptr, &after);
    QVERIFY(after.sa_handler == SIG_DFL);
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden), QStringList(QStringLiteral("name2.dat")));
}

void tst_Records::longTailIsCopiedInBoundedMemory()
{
    // 64 MiB after the table, sparse on disk: the save copies it through a
    // small buffer instead of holding it all.
    constexpr qint64 TailSize = 64 << 20;
    writeAll(path(), ScoreFile::encode(ScoreFile::defaultTable()));
    QVERIFY(QFile::resize(path(), 240 + TailSize));
    const qint64 peakBefore = peakMemoryKiB();
    QString error;
    QVERIFY2(ScoreFile(path()).write(otherTable(), &error), qPrintable(error));
    const qint64 growthKiB = peakMemoryKiB() - peakBefore;
    QVERIFY2(growthKiB < 8 * 1024, qPrintable(QStringLiteral("peak memory grew by %1 KiB").arg(growthKiB)));
    QCOMPARE(QFile(path()).size(), 240 + TailSize);
}

void tst_Records::filesBesideTheScoresSurviveASave()
{
    // Backups and anything else named after the file are the player's, old
    // as they may be; a save over a new and over an existing file leaves them.
    const QStringList names = {QStringLiteral("name2.dat.backup"), QStringLiteral("name2.dat.before"),
                               QStringLiteral("name2.dat.old"), QStringLiteral("name2.dat.orig"),
                               QStringLiteral("name2.dat.AbcDEf")};
    for (const QString &name : names) {
        writeAll(m_dir->filePath(name), name.toLatin1());
        QFile file(m_dir->filePath(name));
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.setFileTime(QDateTime::currentDateTime().addDays(-1), QFileDevice::FileModificationTime));
    }
    QString error;
    QVERIFY(ScoreFile(path()).write(otherTable(), &error));
    QVERIFY(ScoreFile(path()).write(ScoreFile::defaultTable(), &error));
    for (const QString &name : names)
        QCOMPARE(readAll(m_dir->filePath(name)), name.toLatin1());
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden).size(), names.size() + 1);
}

QTEST_MAIN(tst_Records)
#include "tst_records.moc"
