#include "testsupport.h"

#include "history/handhistory.h"
#include "history/handlistmodel.h"
#include "screens/trainerpanel.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QScrollArea>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <sys/stat.h>

namespace {

// Answers the next message box with the given button once it is up, and
// keeps its text and icon for the test to check.
struct Question
{
    QString text;
    QMessageBox::Icon icon = QMessageBox::Information;
};

std::shared_ptr<Question> answerNextQuestion(QMessageBox::StandardButton answer)
{
    auto asked = std::make_shared<Question>();
    QTimer::singleShot(0, [answer, asked] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            asked->text = box->text();
            asked->icon = box->icon();
            box->button(answer)->click();
        }
    });
    return asked;
}

} // namespace

class tst_Table : public QObject
{
    Q_OBJECT

private slots:
    void controlsStandWhereTheTableLaysThemOut_data();
    void controlsStandWhereTheTableLaysThemOut();
    void tableOpensBetweenRounds();
    void windowIsFixedAndCentred_data();
    void windowIsFixedAndCentred();
    void optionsInAnythingButAFileAreLeftAlone_data();
    void optionsInAnythingButAFileAreLeftAlone();
    void valueBoxesAreReadOnly();
    void betScrollBarRunsFromOneToFiveHundred();
    void noOnTheExitQuestionKeepsEverything();
    void yesOnTheExitQuestionClosesTheTable();
    void settledHandsGoToTheHistory_data();
    void settledHandsGoToTheHistory();
    void panelOpenedLateShowsWhatItWasTold();
    void optionsAreWrittenBackOnceTheTableHasPainted();
    void tablePlaysWithoutTheChartLibraries();
};

void tst_Table::controlsStandWhereTheTableLaysThemOut_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<bool>("visible");

    auto row = [](const char *name, QRect rect, const QString &caption, bool visible) {
        QTest::newRow(name) << QString::fromLatin1(name) << rect << caption << visible;
    };
    const int cardLefts[HandSize] = {0, 160, 319, 479, 638};
    for (int i = 0; i < HandSize; ++i) {
        const QByteArray card = "Picturecard(" + QByteArray::number(i) + ")";
        row(card.constData(), {cardLefts[i], 0, 145, 249}, {}, true);
        const QByteArray hold = "Commandhold(" + QByteArray::number(i) + ")";
        row(hold.constData(), {cardLefts[i] + 24, 304, 97, 41}, QStringLiteral("HOLD"), false);
    }
    row("Command1", {16, 368, 121, 153}, QStringLiteral("DEAL"), true);
    row("Commandshuffle", {168, 368, 153, 41}, QStringLiteral("SHUFFLE"), false);
    row("Label1", {168, 416, 257, 33}, QStringLiteral("TOTAL CREDITS"), true);
    row("Text1", {168, 448, 257, 41}, QStringLiteral("500"), true);
    row("Label2", {456, 424, 129, 33}, QStringLiteral("BET"), true);
    row("Text2", {456, 448, 129, 41}, QStringLiteral("1"), true);
    row("VScroll1", {584, 448, 25, 41}, {}, true);
    row("Label3", {640, 416, 145, 33}, QStringLiteral("WINNINGS"), true);
    row("Text3", {640, 448, 145, 41}, QStringLiteral("0"), true);
    row("Picture1", {480, 0, 145, 249}, {}, false);
    row("Picturesuit(1)", {360, 128, 120, 120}, {}, false);
    row("Picturenum(12)", {176, 0, 41, 41}, {}, false);
    row("Pictureface(11)", {224, 128, 120, 200}, {}, false);
}

void tst_Table::controlsStandWhereTheTableLaysThemOut()
{
    QFETCH(QString, name);
    TestTable t;
    t.table->show();
    const cards &c = *t.table;
    const QHash<QString, QWidget *> controls = [&] {
        QHash<QString, QWidget *> all{
            {QStringLiteral("Command1"), c.Command1}, {QStringLiteral("Commandshuffle"), c.Commandshuffle},
            {QStringLiteral("Label1"), c.Label1},     {QStringLiteral("Label2"), c.Label2},
            {QStringLiteral("Label3"), c.Label3},     {QStringLiteral("Text1"), c.Text1},
            {QStringLiteral("Text2"), c.Text2},       {QStringLiteral("Text3"), c.Text3},
            {QStringLiteral("VScroll1"), c.VScroll1}, {QStringLiteral("Picture1"), c.Picture1},
            {QStringLiteral("Picturesuit(1)"), c.Picturesuit(1)},
            {QStringLiteral("Picturenum(12)"), c.Picturenum(12)},
            {QStringLiteral("Pictureface(11)"), c.Pictureface(11)},
        };
        for (int i = 0; i < HandSize; ++i) {
            all.insert(QStringLiteral("Picturecard(%1)").arg(i), c.Picturecard[i]);
            all.insert(QStringLiteral("Commandhold(%1)").arg(i), c.Commandhold[i]);
        }
        return all;
    }();
    QWidget *control = controls.value(name);
    QVERIFY(control);
    QTEST(control->geometry(), "geometry");
    QTEST(control->isVisible(), "visible");
    QFETCH(QString, caption);
    if (auto *button = qobject_cast<QAbstractButton *>(control))
        QCOMPARE(button->text(), caption);
    else if (auto *label = qobject_cast<QLabel *>(control))
        QCOMPARE(label->text(), caption);
    else if (auto *box = qobject_cast<QLineEdit *>(control))
        QCOMPARE(box->text(), caption);
    if (control != c.Picturecard[0] && qobject_cast<PictureBox *>(control) == nullptr) {
        QCOMPARE(control->font().family(), QStringLiteral("Courier New"));
        QCOMPARE(control->font().pixelSize(), 29);
        QVERIFY(control->font().bold());
    }
}

void tst_Table::tableOpensBetweenRounds()
{
    TestTable t;
    cards &c = *t.table;
    QCOMPARE(c.windowTitle(), QStringLiteral("Form1"));
    QCOMPARE(c.round.presscount(), quint64(0));
    QCOMPARE(c.round.deck().dealtcount(), qint16(0));
    QCOMPARE(c.round.deck().markedCount(), 0);
    for (PictureBox *card : c.Picturecard)
        QCOMPARE(card->Picture(), c.Picture1->Picture());
    QVERIFY(c.Picture1->Picture() != nullptr);
    QCOMPARE(c.Label1->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    QCOMPARE(c.Label3->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
    QCOMPARE(c.Picturecard[3]->font().family(), QStringLiteral("MS Sans Serif"));
    QVERIFY(!c.windowIcon().isNull());
    QCOMPARE(c.windowIcon().pixmap(32, 32).toImage().pixelColor(0, 0), QColor(Qt::black));
    QVERIFY(!c.Command1->icon().isNull());
}

void tst_Table::windowIsFixedAndCentred_data()
{
    QTest::addColumn<bool>("trainerShown");
    QTest::newRow("as first opened") << false;
    QTest::newRow("trainer remembered as shown") << true;
}

void tst_Table::windowIsFixedAndCentred()
{
    // Whatever width the remembered options give it, the table opens centred.
    QFETCH(bool, trainerShown);
    QTemporaryDir dir;
    auto settings = std::make_unique<QSettings>(dir.filePath(QStringLiteral("options.ini")), QSettings::IniFormat);
    settings->setValue(QStringLiteral("trainer/panelShown"), trainerShown);
    TestTable t;
    cards &c = *t.table;
    c.useSettings(std::move(settings));
    QCOMPARE(c.size(), QSize(798 + (trainerShown ? TrainerPanel::PanelWidth : 0), 533));
    QCOMPARE(c.minimumSize(), c.maximumSize());
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    QVERIFY(qAbs(c.frameGeometry().center().x() - screen.center().x()) <= 1);
    QVERIFY(qAbs(c.frameGeometry().center().y() - screen.center().y()) <= 1);
}

void tst_Table::valueBoxesAreReadOnly()
{
    TestTable t;
    t.table->show();
    for (QLineEdit *box : {t.table->Text1, t.table->Text2, t.table->Text3}) {
        const QString before = box->text();
        QTest::keyClicks(box, QStringLiteral("99x"));
        QCOMPARE(box->text(), before);
        QVERIFY(box->isReadOnly());
    }
}

void tst_Table::betScrollBarRunsFromOneToFiveHundred()
{
    TestTable t;
    cards &c = *t.table;
    QCOMPARE(c.VScroll1->singleStep(), 1);
    QCOMPARE(c.VScroll1->pageStep(), 5);
    c.VScroll1->setValue(c.VScroll1->minimum());
    QCOMPARE(c.Text2->text(), QStringLiteral("500"));
    c.VScroll1->triggerAction(QAbstractSlider::SliderPageStepAdd);
    QCOMPARE(c.Text2->text(), QStringLiteral("495"));
    c.VScroll1->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    QCOMPARE(c.Text2->text(), QStringLiteral("494"));
    c.VScroll1->setValue(c.VScroll1->maximum());
    QCOMPARE(c.Text2->text(), QStringLiteral("1"));
}

void tst_Table::noOnTheExitQuestionKeepsEverything()
{
    TestTable t;
    cards &c = *t.table;
    c.show();
    for (int i = 0; i < 4; ++i)
        t.random->queueCard(i, i % 4);
    t.random->queueCard(9, 2);
    c.VScroll1->setValue(-7);
    QTest::mouseClick(c.Command1, Qt::LeftButton);
    QTest::mouseClick(c.Commandhold[2], Qt::LeftButton);
    const QImage face = c.Picturecard[2]->Image();
    const auto hand = c.round.deck().hand();

    const auto asked = answerNextQuestion(QMessageBox::No);
    QVERIFY(!c.close());

    QCOMPARE(asked->text, QStringLiteral("Do you want to exit?"));
    QCOMPARE(asked->icon, QMessageBox::NoIcon);
    QVERIFY(c.isVisible());
    QCOMPARE(c.round.deck().hand(), hand);
    QCOMPARE(c.Picturecard[2]->Image(), face);
    QVERIFY(c.round.isHeld(3));
    QVERIFY(!c.Commandhold[2]->isHidden());
    QCOMPARE(c.round.presscount(), quint64(1));
    QCOMPARE(c.Text2->text(), QStringLiteral("7"));
    QCOMPARE(c.Text1->text(), QStringLiteral("500"));

    // The question comes again on the next request.
    const auto again = answerNextQuestion(QMessageBox::No);
    QVERIFY(!c.close());
    QCOMPARE(again->text, QStringLiteral("Do you want to exit?"));
}

void tst_Table::yesOnTheExitQuestionClosesTheTable()
{
    TestTable t;
    cards &c = *t.table;
    c.show();
    playHeldHand(c, *t.random, 10, {{{Three, 0}, {Three, 1}, {Three, 2}, {Nine, 3}, {Two, 0}}});
    QCOMPARE(c.Text1->text(), QStringLiteral("540"));
    const auto asked = answerNextQuestion(QMessageBox::Yes);
    QVERIFY(c.close());
    QCOMPARE(asked->text, QStringLiteral("Do you want to exit?"));
    QVERIFY(!c.isVisible());
    QCOMPARE(c.finalcredits, 540);
}

void tst_Table::optionsInAnythingButAFileAreLeftAlone_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("a file") << "file";
    QTest::newRow("a pipe") << "pipe";
    QTest::newRow("a folder") << "folder";
}

void tst_Table::optionsInAnythingButAFileAreLeftAlone()
{
    // A pipe or a folder in the options file's place is neither read (a
    // pipe would keep the game from starting) nor written over: the game
    // starts with its defaults and says so.
    QFETCH(QString, kind);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("drawpoker.conf"));
    if (kind == QLatin1String("pipe"))
        QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    else if (kind == QLatin1String("folder"))
        QVERIFY(QDir().mkdir(path));
    else
        QSettings(path, QSettings::IniFormat).setValue(QStringLiteral("trainer/panelShown"), false);
    const bool aFile = kind == QLatin1String("file");
    TestTable t;
    t.table->useSettingsFile(path);
    t.table->setSoundOn(false);
    QCOMPARE(t.table->panel->isVisibleTo(t.table.get()), !aFile);
    QCOMPARE(t.table->panel->history()->text().contains(QStringLiteral("not a file")), !aFile);
    QCOMPARE(QFileInfo(path).isFile(), aFile);
    if (kind == QLatin1String("pipe")) {
        struct stat node{};
        QCOMPARE(stat(QFile::encodeName(path).constData(), &node), 0);
        QVERIFY(S_ISFIFO(node.st_mode));
    }
}

void tst_Table::settledHandsGoToTheHistory_data()
{
    QTest::addColumn<bool>("panelShown");
    QTest::addColumn<bool>("usable");
    QTest::newRow("panel hidden") << false << true;
    QTest::newRow("panel shown") << true << true;
    QTest::newRow("history that cannot be made") << true << false;
}

void tst_Table::settledHandsGoToTheHistory()
{
    // Each hand played is recorded whether the panel shows or not; where
    // the history cannot be kept the panel says so and the game goes on.
    QFETCH(bool, panelShown);
    QFETCH(bool, usable);
    QTemporaryDir dir;
    TestTable t;
    cards &c = *t.table;
    c.setTrainerShown(panelShown);
    c.setTraining(false);
    QFile blocker(dir.filePath(QStringLiteral("file")));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    c.openHistory(dir.filePath(usable ? QStringLiteral("history.sqlite") : QStringLiteral("file/history.sqlite")));
    const std::array<CardCode, HandSize> hand{{{Ace, 0}, {Ace, 1}, {King, 2}, {Nine, 3}, {Four, 0}}};
    playHeldHand(c, *t.random, 3, hand);
    playHeldHand(c, *t.random, 1, {{{Two, 0}, {Three, 1}, {Five, 2}, {Seven, 3}, {Jack, 0}}});
    QCOMPARE(c.history()->stats().value.hands, usable ? 2 : 0);
    QCOMPARE(c.panel->history()->text().contains(QLatin1String("not being kept")), !usable);
    QCOMPARE(c.Text1->text(), QString::number(500 - 3 - 1));
    if (usable) {
        HandListModel hands(*c.history());
        QVERIFY(hands.setQuery(HandQuery{}));
        QCOMPARE(hands.rowCount(), 2);
        const HandRecord first = hands.hand(1).record; // newest first
        QCOMPARE(first.dealt, hand);
        QCOMPARE(first.bet, 3);
        QCOMPARE(first.held, unsigned(HoldCount - 1));
        QCOMPARE(first.credits, 500 - 3);
    }
}

void tst_Table::panelOpenedLateShowsWhatItWasTold()
{
    // The panel's sections are made when it first opens or is first read;
    // what the table told it before then shows as on a panel open all along.
    TestTable early, late;
    early.table->setTrainerShown(true);
    for (cards *c : {early.table.get(), late.table.get()}) {
        c->setSoundOn(false);
        c->setAdviceAlways(true);
        c->panel->setHistoryMessage(QStringLiteral("The disk is full."));
    }
    TrainerPanel &unopened = *late.table->panel;
    QVERIFY(!unopened.options()->text().isEmpty());
    QCOMPARE(unopened.options()->text(), early.table->panel->options()->text());
    QCOMPARE(unopened.history()->text(), QStringLiteral("The disk is full."));
    QVERIFY(!unopened.history()->isHidden());
}

void tst_Table::optionsAreWrittenBackOnceTheTableHasPainted()
{
    // A first start is over once the options are written back, which waits
    // for the table to be on the screen; so does the making of the panel a
    // first start shows.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("options.ini"));
    TestTable t;
    t.table->useSettings(std::make_unique<QSettings>(path, QSettings::IniFormat));
    QCoreApplication::processEvents();
    QVERIFY(TrainerSettings::load(QSettings(path, QSettings::IniFormat)).firstStart);
    QVERIFY(!t.table->panel->findChild<QScrollArea *>());
    t.table->show();
    QVERIFY(QTest::qWaitForWindowExposed(t.table.get()));
    QTRY_VERIFY(!TrainerSettings::load(QSettings(path, QSettings::IniFormat)).firstStart);
    QTRY_VERIFY(t.table->panel->findChild<QScrollArea *>());
    QTRY_VERIFY(t.table->panel->findChild<QScrollArea *>()->isVisible());
}

// Qt Charts and the OpenGL libraries it brings wait for the statistics:
// neither the table's start nor what follows its first paint maps them.
void tst_Table::tablePlaysWithoutTheChartLibraries()
{
    TestTable t;
    t.table->show();
    QVERIFY(QTest::qWaitForWindowExposed(t.table.get()));
    QTest::qWait(200);
    QFile maps(QStringLiteral("/proc/self/maps"));
    QVERIFY(maps.open(QIODevice::ReadOnly));
    const QByteArray mapped = maps.readAll();
    QVERIFY(mapped.contains("libQt6Widgets"));
    QVERIFY(!mapped.contains("libQt6Charts"));
    QVERIFY(!mapped.contains("libQt6OpenGLWidgets"));
}

QTEST_MAIN(tst_Table)
#include "tst_table.moc"
