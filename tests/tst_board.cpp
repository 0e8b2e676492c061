#include "testsupport.h"

#include "records/scorefile.h"
#include "screens/creditsdeck.h"
#include "screens/logo.h"

#include "ordinaryuser.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QPointer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <optional>

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

// The warning the board has open, once it shows.
QMessageBox *openWarning()
{
    QMessageBox *box = nullptr;
    (void)QTest::qWaitFor([&box] {
        box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        return box && box->isVisible();
    });
    return box;
}

// A table unlike the default one: OLD0 1000 down to OLD9 100.
scoretable oldTable()
{
    scoretable table;
    for (int i = 0; i < ScorePlaces; ++i)
        table[std::size_t(i)] = {ScoreFile::fitName(QStringLiteral("OLD%1").arg(i)), 1000 - 100 * i};
    return table;
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
    void unreadableFileIsToldAndNeverSavedOver_data();
    void unreadableFileIsToldAndNeverSavedOver();
    void warningStaysUntilClosedThenTheBoardLeaves();
    void secondGameKeepsTheFirstGamesEntry_data();
    void secondGameKeepsTheFirstGamesEntry();
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
    // Keys go where a player's go, to the row that has the focus: none of
    // them leaves the board; a click on the strip under the rows does.
    creditsdeck board(500);
    QSignalSpy left(&board, &creditsdeck::left);
    board.show();
    QVERIFY(QTest::qWaitForWindowActive(&board));
    for (int key : {Qt::Key_A, Qt::Key_Escape, Qt::Key_F1, Qt::Key_Return, Qt::Key_X, Qt::Key_Space})
        QTest::keyClick(board.windowHandle(), Qt::Key(key));
    QCOMPARE(left.count(), 0);
    QTest::mouseClick(&board, Qt::LeftButton, {}, QPoint(200, 285));
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
    // stops: the board stays, and back in the taken row the name is typed
    // in front of the credits shown there, which stay.
    QFETCH(Qt::Key, key);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    writeFile(ScoreFile::defaultTable());
    creditsdeck board(1500);
    QSignalSpy left(&board, &creditsdeck::left);
    board.show();
    QVERIFY(QTest::qWaitForWindowActive(&board));
    for (int press = 0; press < ScorePlaces; ++press) {
        QTest::keyClick(board.windowHandle(), key, modifiers);
        QWidget *focus = QApplication::focusWidget();
        QVERIFY2(std::find(board.Textdata.begin(), board.Textdata.end(), focus) != board.Textdata.end(),
                 focus ? focus->metaObject()->className() : "no focus");
        if (focus != board.Textdata[9])
            QTest::keyClick(board.windowHandle(), Qt::Key_X);
    }
    QCOMPARE(QApplication::focusWidget(), board.Textdata[9]);
    for (char letter : {'B', 'O', 'B'})
        QTest::keyClick(board.windowHandle(), letter);
    QCOMPARE(board.Textdata[9]->text(), QStringLiteral("BOB") + QString(22, QLatin1Char(' ')) + QStringLiteral("1500"));
    QTest::keyClick(board.windowHandle(), Qt::Key_Return);
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

void tst_Board::unreadableFileIsToldAndNeverSavedOver_data()
{
    QTest::addColumn<bool>("folder");
    QTest::addColumn<QString>("reason");
    QTest::newRow("a folder") << true << QStringLiteral("not a regular file");
    QTest::newRow("no permission to read") << false << QStringLiteral("Permission denied");
}

void tst_Board::unreadableFileIsToldAndNeverSavedOver()
{
    // The board says so as it opens, shows the default table, and a name
    // stored there is refused rather than written over the file's records.
    QFETCH(bool, folder);
    QFETCH(QString, reason);
    const QString path = QFileInfo(QStringLiteral("name2.dat")).absoluteFilePath();
    if (folder) {
        QVERIFY(QDir().mkdir(path));
    } else {
        writeFile(oldTable());
        QVERIFY(QFile::setPermissions(path, QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther));
        for (const QString &owned : {m_dir->path(), path})
            QCOMPARE(chown(QFile::encodeName(owned).constData(), OrdinaryUser::uid(), gid_t(-1)), 0);
    }
    {
        std::optional<OrdinaryUser> user;
        if (!folder)
            user.emplace();
        if (user && !user->ordinary())
            QSKIP("cannot switch to the user nobody, and root reads any file");
        creditsdeck board(1500);
        board.show();
        QMessageBox *box = openWarning();
        QVERIFY(box);
        QVERIFY2(box->text().contains(path) && box->text().contains(reason), qPrintable(box->text().replace('\n', ' ')));
        QCOMPARE(board.Textdata[0]->text(), shown("ANONYMOUS", 10000));
        box->accept();
        QTest::keyClicks(board.Textdata[9], QStringLiteral("BOB"));
        QTest::keyClick(board.Textdata[9], Qt::Key_Return);
        box = openWarning();
        QVERIFY(box);
        QVERIFY2(box->text().startsWith(QStringLiteral("The high scores could not be saved.")), qPrintable(box->text()));
        box->accept();
        QVERIFY(board.isVisible());
    }
    if (folder)
        QVERIFY(QFileInfo(path).isDir());
    else
        QCOMPARE(fileBytes(), ScoreFile::encode(oldTable()));
}

void tst_Board::warningStaysUntilClosedThenTheBoardLeaves()
{
    // Enter on a board that leaves by itself, with a save that fails: the
    // board's timer passes while the warning is open, and the board goes
    // only once the player has closed it.
    QVERIFY(QDir().mkdir(QStringLiteral("name2.dat")));
    auto *board = new creditsdeck(500);
    board->setAttribute(Qt::WA_DeleteOnClose);
    const QPointer<creditsdeck> alive(board);
    QSignalSpy left(board, &creditsdeck::left);
    board->show();
    QMessageBox *box = openWarning();
    QVERIFY(box);
    box->accept();
    QTest::keyClick(board->Textdata[0], Qt::Key_Return);
    box = openWarning();
    QVERIFY(box);
    QTest::qWait(3000);
    QVERIFY(alive);
    QVERIFY(box->isVisible());
    QCOMPARE(left.count(), 0);
    box->accept();
    QTRY_COMPARE(left.count(), 1);
    QTRY_VERIFY(!alive);
    QVERIFY(openLogo());
}

void tst_Board::secondGameKeepsTheFirstGamesEntry_data()
{
    QTest::addColumn<int>("firstTotal");
    QTest::addColumn<int>("secondTotal");
    QTest::addColumn<int>("firstPlace");
    QTest::addColumn<int>("secondPlace"); // -1: no place left, and the player is told
    QTest::newRow("the first scored more") << 750 << 550 << 3 << 5;
    QTest::newRow("the second scored more") << 550 << 750 << 5 << 3;
    QTest::newRow("no place left") << 200 << 150 << 9 << -1;
}

void tst_Board::secondGameKeepsTheFirstGamesEntry()
{
    // Two boards open on the same file before either saves.
    QFETCH(int, firstTotal);
    QFETCH(int, secondTotal);
    QFETCH(int, firstPlace);
    QFETCH(int, secondPlace);
    writeFile(oldTable());
    creditsdeck first(firstTotal);
    creditsdeck second(secondTotal);
    for (const auto &[board, name] : {std::pair{&first, "PLAYERA"}, std::pair{&second, "PLAYERB"}}) {
        board->show();
        const auto taken = std::find_if(board->Textdata.begin(), board->Textdata.end(),
                                        [](BoardRow *r) { return !r->isReadOnly(); });
        QVERIFY(taken != board->Textdata.end());
        QTest::keyClicks(*taken, QString::fromLatin1(name));
        QTest::keyClick(*taken, Qt::Key_Return);
    }
    scoretable expected = oldTable();
    expected[std::size_t(firstPlace)] = {ScoreFile::fitName(QStringLiteral("PLAYERA")), firstTotal};
    if (secondPlace >= 0) {
        expected[std::size_t(secondPlace)] = {ScoreFile::fitName(QStringLiteral("PLAYERB")), secondTotal};
        QVERIFY(!second.Textdata[std::size_t(secondPlace)]->isReadOnly());
    } else {
        QMessageBox *box = openWarning();
        QVERIFY(box);
        QVERIFY2(box->text().contains(QString::number(secondTotal)), qPrintable(box->text()));
        QCOMPARE(second.Textdata[std::size_t(firstPlace)]->text(), shown("PLAYERA", firstTotal));
    }
    QCOMPARE(fileBytes(), ScoreFile::encode(expected));
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
