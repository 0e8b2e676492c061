#include "testsupport.h"

#include "records/scorefile.h"
#include "screens/creditsdeck.h"
#include "screens/logo.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

QByteArray fileBytes()
{
    QFile file(QStringLiteral("name2.dat"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const scoretable &table)
{
    QString error;
    QVERIFY(ScoreFile().write(table, &error));
}

QString shown(const char *name, int score)
{
    return ScoreFile::fitName(QString::fromLatin1(name)) + QStringLiteral("  ") + QString::number(score);
}

logo *openLogo()
{
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (auto *screen = qobject_cast<logo *>(widget); screen && screen->isVisible())
            return screen;
    }
    return nullptr;
}

} // namespace

class tst_Board : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void creditsTakeTheFirstPlaceTheyBeat_data();
    void creditsTakeTheFirstPlaceTheyBeat();
    void enterStoresTheNameEachTime();
    void leavingWithoutEnterWritesNothing();
    void boardLeavesByItselfWhenNoPlaceIsTaken();
    void keysInARowNeverLeaveTheBoard();
    void tabGoesRoundTheRowsOnly_data();
    void tabGoesRoundTheRowsOnly();
    void enterInAnotherRowThanTheTakenOneWritesNothing_data();
    void enterInAnotherRowThanTheTakenOneWritesNothing();
    void failedSaveSaysSoAndKeepsTheBoard();
    void logoEndsOnKeyMouseOrTimer_data();
    void logoEndsOnKeyMouseOrTimer();
    void wholeWayOutFromTheTable();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_home;
};

void tst_Board::init()
{
    m_home = QDir::currentPath();
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(QDir::setCurrent(m_dir->path()));
}

void tst_Board::cleanup()
{
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (qobject_cast<logo *>(widget) || qobject_cast<creditsdeck *>(widget))
            delete widget;
    }
    QDir::setCurrent(m_home);
}

void tst_Board::creditsTakeTheFirstPlaceTheyBeat_data()
{
    QTest::addColumn<bool>("withFile");
    QTest::addColumn<int>("finalcredits");
    QTest::addColumn<int>("takenPlace");
    QTest::addColumn<QString>("takenText");
    QTest::newRow("no file, 1500") << false << 1500 << 9 << QString();
    QTest::newRow("no file, 500") << false << 500 << -1 << QString();
    QTest::newRow("no file, equal to a place") << false << 3000 << 8 << QString();
    QTest::newRow("no file, equal to the last place") << false << 1000 << -1 << QString();
    QTest::newRow("no file, above 10000") << false << 10001 << 0 << QString();
    QTest::newRow("file, 20000") << true << 20000 << 0 << QString(22, QLatin1Char(' ')) + QStringLiteral("20000");
    QTest::newRow("file, 4500") << true << 4500 << 6 << QString(22, QLatin1Char(' ')) + QStringLiteral("4500");
}

void tst_Board::creditsTakeTheFirstPlaceTheyBeat()
{
    QFETCH(bool, withFile);
    QFETCH(int, finalcredits);
    QFETCH(int, takenPlace);
    QFETCH(QString, takenText);
    if (withFile)
        writeFile(ScoreFile::defaultTable());

    creditsdeck board(finalcredits);
    board.show();
    QVERIFY(QTest::qWaitForWindowActive(&board));
    QCOMPARE(board.noentry, takenPlace < 0);
    QCOMPARE(board.Timer1.isActive(), takenPlace < 0);
    const int shownRows = takenPlace < 0 ? ScorePlaces : takenPlace;
    for (int i = 0; i < shownRows; ++i) {
        QCOMPARE(board.Textdata[i]->text(), shown("ANONYMOUS", 10000 - 1000 * i));
        QVERIFY(board.Textdata[i]->isReadOnly());
    }
    if (takenPlace >= 0) {
        BoardRow *row = board.Textdata[takenPlace];
        QCOMPARE(row->text(), takenText);
        QVERIFY(!row->isReadOnly());
        QVERIFY(row->hasFocus());
        QCOMPARE(row->cursorPosition(), 0);
        QCOMPARE(board.table[takenPlace].score, finalcredits);
        for (int i = takenPlace + 1; i < ScorePlaces; ++i)
            QVERIFY(board.Textdata[i]->text().isEmpty());
    }
    QCOMPARE(QFile(QStringLiteral("name2.dat")).size(), withFile ? 240 : 0);
}

void tst_Board::enterStoresTheNameEachTime()
{
    creditsdeck board(1500);
    board.show();
    QVERIFY(QTest::qWaitForWindowActive(&board));
    QTest::keyClicks(board.Textdata[9], QStringLiteral("BOB"));
    QTest::keyClick(board.Textdata[9], Qt::Key_Return);
    const QByteArray first = fileBytes();
    QCOMPARE(first.size(), 240);
    QCOMPARE(first.mid(9 * 24), QByteArray("BOB                 \xdc\x05\x00\x00", 24));
    QCOMPARE(first.left(24), QByteArray("ANONYMOUS           \x10\x27\x00\x00", 24));
    QCOMPARE(board.Textdata[9]->text(), QStringLiteral("BOB"));

    QFile::remove(QStringLiteral("name2.dat"));
    QTest::keyClick(board.Textdata[9], Qt::Key_Enter);
    QCOMPARE(fileBytes(), first);
    QVERIFY(board.isVisible());
    QVERIFY(!board.Timer1.isActive());
}

void tst_Board::leavingWithoutEnterWritesNothing()
{
    creditsdeck board(1500);
    QSignalSpy left(&board, &creditsdeck::left);
    board.show();
    QVERIFY(QTest::qWaitForWindowActive(&board));
    QTest::keyClicks(board.Textdata[9], QStringLiteral("EVE"));
    QTest::mouseClick(&board, Qt::LeftButton, {}, QPoint(200, 285));
    QCOMPARE(left.count(), 1);
    QVERIFY(!board.isVisible());
    QVERIFY(openLogo());
    QCOMPARE(QFile(QStringLiteral("name2.dat")).size(), 0);
}

void tst_Board::boardLeavesByItselfWhenNoPlaceIsTaken()
{
    auto *board = new creditsdeck(500);
    board->setAttribute(Qt::WA_DeleteOnClose);
    QSignalSpy left(board, &creditsdeck::left);
    board->show();
    QCOMPARE(board->Timer1.interval(), 2500);
    QVERIFY(left.wait(4000));
    QVERIFY(openLogo());
}

void tst_Board::keysInARowNeverLeaveTheBoard()
{
    creditsdeck board(500);
    QSignalSpy left(&board, &creditsdeck::left);
    board.show();
    QVERIFY(QTest::qWaitForWindowActive(&board));
    for (int key : {Qt::Key_A, Qt::Key_Escape, Qt::Key_F1, Qt::Key_Return})
        QTest::keyClick(board.Textdata[4], Qt::Key(key));
    QCOMPARE(left.count(), 0);
    // A key on the board window itself does leave it.
    QTest::keyClick(&board, Qt::Key_X);
    QCOMPARE(left.count(), 1);
}

void tst_Board::tabGoesRoundTheRowsOnly_data()
{
    QTest::addColumn<Qt::Key>("key");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::newRow("Tab") << Qt::Key_Tab << Qt::KeyboardModifiers();
    QTest::newRow("Shift+Tab") << Qt::Key_Backtab << Qt::KeyboardModifiers(Qt::ShiftModifier);
}

void tst_Board::tabGoesRoundTheRowsOnly()
{
    // Once round the rows and back, with a letter typed wherever the focus
    // stops: the board stays, and the name typed first is stored at Enter.
    QFETCH(Qt::Key, key);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    creditsdeck board(1500);
    QSignalSpy left(&board, &creditsdeck::left);
    board.show();
    QVERIFY(QTest::qWaitForWindowActive(&board));
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("BOB"));
    for (int press = 0; press < ScorePlaces; ++press) {
        QTest::keyClick(QApplication::focusWidget(), key, modifiers);
        QWidget *focus = QApplication::focusWidget();
        QVERIFY2(std::find(board.Textdata.begin(), board.Textdata.end(), focus) != board.Textdata.end(),
                 focus ? focus->metaObject()->className() : "no focus");
        if (focus != board.Textdata[9])
            QTest::keyClick(focus, Qt::Key_X);
    }
    QCOMPARE(QApplication::focusWidget(), board.Textdata[9]);
    QTest::keyClick(board.Textdata[9], Qt::Key_Return);
    QCOMPARE(left.count(), 0);
    QCOMPARE(fileBytes().mid(9 * 24, 20), QByteArray("BOB                 "));
}

void tst_Board::enterInAnotherRowThanTheTakenOneWritesNothing_data()
{
    QTest::addColumn<bool>("withFile");
    QTest::addColumn<int>("finalcredits");
    QTest::addColumn<int>("takenPlace");
    QTest::addColumn<int>("enterRow");
    QTest::newRow("a shown row above") << true << 4500 << 6 << 2;
    QTest::newRow("an empty row below") << true << 4500 << 6 << 8;
    QTest::newRow("no file, a shown row") << false << 1500 << 9 << 3;
}

void tst_Board::enterInAnotherRowThanTheTakenOneWritesNothing()
{
    // The file stays as it was, and the name stored later from the taken
    // row is the only change to it.
    QFETCH(bool, withFile);
    QFETCH(int, finalcredits);
    QFETCH(int, takenPlace);
    QFETCH(int, enterRow);
    if (withFile)
        writeFile(ScoreFile::defaultTable());
    const QByteArray before = fileBytes();
    creditsdeck board(finalcredits);
    board.show();
    QVERIFY(QTest::qWaitForWindowActive(&board));
    QTest::keyClick(board.Textdata[enterRow], Qt::Key_Return);
    QCOMPARE(fileBytes(), before);

    QTest::keyClicks(board.Textdata[takenPlace], QStringLiteral("AMY"));
    QTest::keyClick(board.Textdata[takenPlace], Qt::Key_Return);
    scoretable expected = ScoreFile::defaultTable();
    expected[std::size_t(takenPlace)] = {ScoreFile::fitName(QStringLiteral("AMY")), finalcredits};
    QCOMPARE(fileBytes(), ScoreFile::encode(expected));
}

void tst_Board::failedSaveSaysSoAndKeepsTheBoard()
{
    // A directory stands where the file should be: nothing can be read, the
    // board shows the default table, and a save reports its failure.
    QVERIFY(QDir().mkdir(QStringLiteral("name2.dat")));
    creditsdeck board(1500);
    board.show();
    QVERIFY(QTest::qWaitForWindowActive(&board));
    QCOMPARE(board.Textdata[0]->text(), shown("ANONYMOUS", 10000));
    QString warning;
    QTimer::singleShot(0, [&warning] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            warning = box->text();
            box->accept();
        }
    });
    QTest::keyClicks(board.Textdata[9], QStringLiteral("BOB"));
    QTest::keyClick(board.Textdata[9], Qt::Key_Return);
    QVERIFY(warning.startsWith(QStringLiteral("The high scores could not be saved.")));
    QVERIFY2(warning.contains(QFileInfo(QStringLiteral("name2.dat")).absoluteFilePath()), qPrintable(warning));
    QVERIFY(QFileInfo(QStringLiteral("name2.dat")).isDir());
    QVERIFY(board.isVisible());
    QSignalSpy left(&board, &creditsdeck::left);
    QTest::mouseClick(&board, Qt::LeftButton, {}, QPoint(200, 285));
    QCOMPARE(left.count(), 1);
}

void tst_Board::logoEndsOnKeyMouseOrTimer_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("key") << QStringLiteral("key");
    QTest::newRow("mouse") << QStringLiteral("mouse");
    QTest::newRow("timer") << QStringLiteral("timer");
}

void tst_Board::logoEndsOnKeyMouseOrTimer()
{
    QFETCH(QString, how);
    logo screen;
    QSignalSpy ended(&screen, &logo::programEnded);
    QCOMPARE(screen.windowTitle(), QStringLiteral("LOGO"));
    QCOMPARE(screen.size(), QSize(439, 363));
    QVERIFY(screen.Timer1.isActive());
    QCOMPARE(screen.Timer1.interval(), 2500);
    screen.show();
    QVERIFY(QTest::qWaitForWindowActive(&screen));
    const QRect area = QGuiApplication::primaryScreen()->geometry();
    QVERIFY(qAbs(screen.frameGeometry().center().x() - area.center().x()) <= 1);
    if (how == QLatin1String("key"))
        QTest::keyClick(&screen, Qt::Key_Shift);
    else if (how == QLatin1String("mouse"))
        QTest::mousePress(&screen, Qt::RightButton, {}, QPoint(10, 10));
    else
        QVERIFY(ended.wait(4000));
    QCOMPARE(ended.count(), 1);
}

void tst_Board::wholeWayOutFromTheTable()
{
    // Yes on the table, a name on the board, Enter, a click, then the logo.
    auto source = std::make_unique<ScriptedRandom>();
    ScriptedRandom &random = *source;
    auto *table = new cards(std::move(source));
    table->setAttribute(Qt::WA_DeleteOnClose);
    table->MediaPlayer1.setOutput(std::make_unique<SilentOutput>());
    table->show();
    // Three of a kind at a bet of 500 brings the credits to 2500.
    playHeldHand(*table, random, 500, {{{Three, 0}, {Three, 1}, {Three, 2}, {Nine, 3}, {Two, 0}}});
    QTimer::singleShot(0, [] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget()))
            box->button(QMessageBox::Yes)->click();
    });
    QVERIFY(table->close());

    creditsdeck *board = nullptr;
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (auto *found = qobject_cast<creditsdeck *>(widget); found && found->isVisible())
            board = found;
    }
    QVERIFY(board);
    QVERIFY(QTest::qWaitForWindowActive(board));
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("ANN"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QSignalSpy left(board, &creditsdeck::left);
    QTest::mouseClick(board, Qt::LeftButton, {}, QPoint(200, 285));
    QCOMPARE(left.count(), 1);
    logo *screen = openLogo();
    QVERIFY(screen);
    QSignalSpy ended(screen, &logo::programEnded);
    QTest::keyClick(screen, Qt::Key_Space);
    QCOMPARE(ended.count(), 1);
    QCOMPARE(fileBytes().mid(8 * 24, 24), QByteArray("ANN                 \xc4\x09\x00\x00", 24));
}

QTEST_MAIN(tst_Board)
#include "tst_board.moc"
