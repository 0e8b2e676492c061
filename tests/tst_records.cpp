#include "records/cp1252.h"
#include "records/scorefile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

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
    void unwritableFileKeepsTheOldOneAndSaysSo();
    void directoryInThePlaceOfTheFileIsNoTable();
    void fileInAMissingDirectoryFailsCleanly();

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

void tst_Records::unwritableFileKeepsTheOldOneAndSaysSo()
{
    if (geteuid() == 0)
        QSKIP("root may write into a read-only directory");
    const QByteArray old = ScoreFile::encode(ScoreFile::defaultTable());
    writeAll(path(), old);
    QFile::setPermissions(m_dir->path(), QFile::ReadOwner | QFile::ExeOwner);
    QString error;
    QVERIFY(!ScoreFile(path()).write(scoretable{}, &error));
    QVERIFY(!error.isEmpty());
    QFile::setPermissions(m_dir->path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QCOMPARE(readAll(path()), old);
}

void tst_Records::directoryInThePlaceOfTheFileIsNoTable()
{
    QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("name2.dat")));
    const ScoreFile::Reading reading = ScoreFile(path()).read();
    QVERIFY(!reading.fromFile);
    QVERIFY(!reading.error.isEmpty());
    QVERIFY(reading.table == ScoreFile::defaultTable());
    QString error;
    QVERIFY(!ScoreFile(path()).write(ScoreFile::defaultTable(), &error));
    QVERIFY(!error.isEmpty());
    QVERIFY(QFileInfo(path()).isDir());
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

QTEST_MAIN(tst_Records)
#include "tst_records.moc"
