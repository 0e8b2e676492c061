#include "testsupport.h"

#include "history/handhistory.h"
#include "history/handlistmodel.h"
#include "history/historyjob.h"
#include "platform/modulesoundoutput.h"
#include "screens/review/drillwindow.h"
#include "screens/review/handview.h"
#include "screens/review/reviewwindow.h"
#include "screens/review/statscharts.h"
#include "screens/review/statsview.h"
#include "screens/review/strategywindow.h"
#include "screens/trainerpanel.h"
#include "trainer/gamestrategy.h"

#include <QApplication>
#include <QChartView>
#include <QLabel>
#include <QLineSeries>
#include <QLineEdit>
#include <QListWidget>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSignalSpy>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>

namespace {

using Cue = QPair<QString, int>;

QList<Cue> cuesOf(const QSignalSpy &spy)
{
    QList<Cue> cues;
    for (const QList<QVariant> &call : spy)
        cues.append({call[0].toString(), call[1].toInt()});
    return cues;
}

} // namespace

class tst_TablePlay : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void threePressesMakeOneRound();
    void holdsToggleByButtonAndByCard();
    void clicksOutsideTheHoldPhaseDoNothing();
    void heldCardsSurviveTheDraw();
    void aNewThemeChangesNoHold();
    void allFiveHeldDrawsNothing();
    void shuffleKeepsTheCountAndGivesFocusBack();
    void winningsStayUntilTheNextDraw();
    void keyboardPlaysTheRound();
    void numberKeysHoldOnlyWhileHoldsAreOpen();
    void adviceKeyChangesNothingOfTheRound();
    void screenReadersHearTheCards();
    void trainerKeysLeaveTheTableAndTheRoundAlone();
    void nothingCoversTheTableOnItsScreen();
    void trainerWordsLastForTheirDeal();
    void dealWarnsBeforeTheDrawOnlyInTraining_data();
    void dealWarnsBeforeTheDrawOnlyInTraining();
    void betKeysMoveTheBarBetweenRoundsOnly_data();
    void betKeysMoveTheBarBetweenRoundsOnly();
    void reviewShowsAHandAsItWasAndTheDrillLeavesTheRoundAlone();
    void reviewNeitherDrawsNorDrillsARowThatCannotBeRead();
    void reviewDeletesAsAJobItWaitsFor();
    void statisticsLoadTheirChartsWhenFirstShown_data();
    void statisticsLoadTheirChartsWhenFirstShown();

private:
    void queueHand(const QList<CardCode> &hand);
    void playMistakeInto(const QString &historyFile);
    void press(QWidget *widget) { QTest::mouseClick(widget, Qt::LeftButton); }

    std::unique_ptr<TestTable> m_t;
    cards *c = nullptr;
    std::unique_ptr<QSignalSpy> m_cues;
};

void tst_TablePlay::init()
{
    m_t = std::make_unique<TestTable>();
    c = m_t->table.get();
    c->show();
    QVERIFY(QTest::qWaitForWindowExposed(c));
    m_cues = std::make_unique<QSignalSpy>(&c->MediaPlayer1, &MediaPlayer::cueStarted);
}

void tst_TablePlay::queueHand(const QList<CardCode> &hand)
{
    for (const CardCode &card : hand)
        m_t->random->queueCard(card.rank, card.suit);
}

// Opens the history and plays one hand up to its draw: three queens dealt,
// all thrown away.
void tst_TablePlay::playMistakeInto(const QString &historyFile)
{
    c->openHistory(historyFile);
    queueHand({{10, 0}, {10, 1}, {10, 2}, {1, 3}, {3, 0}});
    press(c->Command1);
    queueHand({{4, 0}, {5, 1}, {6, 2}, {8, 3}, {0, 0}});
    press(c->Command1);
}

void tst_TablePlay::threePressesMakeOneRound()
{
    auto holdsVisible = [&] {
        int visible = 0;
        for (CommandButton *hold : c->Commandhold)
            visible += hold->isVisible();
        return visible;
    };
    // A: between rounds, just opened.
    QCOMPARE(holdsVisible(), 0);
    QVERIFY(c->VScroll1->isVisible());
    QVERIFY(!c->Commandshuffle->isVisible());

    queueHand({{0, 0}, {1, 1}, {2, 2}, {3, 3}, {9, 0}});
    press(c->Command1);
    // B: dealt, holds open.
    QCOMPARE(holdsVisible(), 5);
    QVERIFY(!c->VScroll1->isVisible());
    QVERIFY(!c->Commandshuffle->isVisible());
    for (PictureBox *card : c->Picturecard)
        QVERIFY(card->Picture() == nullptr);
    QCOMPARE(c->round.deck().hand()[5], (CardCode{9, 0}));

    queueHand({{4, 0}, {5, 1}, {6, 2}, {7, 3}, {8, 0}});
    press(c->Command1);
    // C: scored.
    QCOMPARE(holdsVisible(), 0);
    QVERIFY(!c->VScroll1->isVisible());
    QVERIFY(!c->Commandshuffle->isVisible());
    QCOMPARE(c->round.deck().hand()[1], (CardCode{4, 0}));
    QCOMPARE(c->Text1->text(), QStringLiteral("509")); // six to ten: a straight

    press(c->Command1);
    // A again, after the turn-down.
    for (PictureBox *card : c->Picturecard)
        QCOMPARE(card->Picture(), c->Picture1->Picture());
    QVERIFY(c->VScroll1->isVisible());
    QVERIFY(c->Commandshuffle->isVisible());
    QCOMPARE(c->round.presscount(), quint64(3));

    // The fourth press deals the next hand.
    queueHand({{10, 0}, {10, 1}, {10, 2}, {11, 3}, {12, 0}});
    press(c->Command1);
    QCOMPARE(holdsVisible(), 5);
    QCOMPARE(c->round.deck().hand()[5], (CardCode{12, 0}));

    const QList<Cue> expected = {{QStringLiteral("chimes.wav"), 1}, {QStringLiteral("clunk.wav"), 1},
                                 {QStringLiteral("clink.wav"), 2}, {QStringLiteral("chimes.wav"), 1}};
    QCOMPARE(cuesOf(*m_cues), expected);
}

void tst_TablePlay::holdsToggleByButtonAndByCard()
{
    queueHand({{0, 0}, {1, 1}, {2, 2}, {3, 3}, {9, 0}});
    press(c->Command1);
    m_cues->clear();

    press(c->Commandhold[1]);
    QCOMPARE(c->Commandhold[1]->BackColor(), QColor(255, 255, 0));
    QVERIFY(c->round.isHeld(2));
    QVERIFY(c->Command1->hasFocus());

    press(c->Picturecard[3]);
    QVERIFY(c->round.isHeld(4));
    press(c->Picturecard[1]);
    QVERIFY(!c->round.isHeld(2));
    QCOMPARE(c->Commandhold[1]->BackColor(), c->BackColor());
    press(c->Commandhold[3]);
    QVERIFY(!c->round.isHeld(4));

    QCOMPARE(m_cues->count(), 4);
    for (const Cue &cue : cuesOf(*m_cues))
        QCOMPARE(cue, Cue(QStringLiteral("tada.wav"), 1));
}

void tst_TablePlay::clicksOutsideTheHoldPhaseDoNothing()
{
    // Before the first deal, after the draw and after the turn-down.
    press(c->Picturecard[0]);
    QCOMPARE(m_cues->count(), 0);

    queueHand({{0, 0}, {1, 1}, {2, 2}, {3, 3}, {9, 0}});
    press(c->Command1);
    queueHand({{4, 0}, {5, 1}, {6, 2}, {7, 3}, {8, 0}});
    press(c->Command1);
    const int cues = m_cues->count();
    press(c->Picturecard[2]);
    QVERIFY(!c->round.isHeld(3));
    press(c->Command1);
    press(c->Picturecard[4]);
    QVERIFY(!c->round.isHeld(5));
    QCOMPARE(m_cues->count(), cues + 1); // only the turn-down's clink
}

void tst_TablePlay::heldCardsSurviveTheDraw()
{
    queueHand({{12, 0}, {12, 1}, {2, 2}, {3, 3}, {9, 0}});
    press(c->Command1);
    press(c->Commandhold[0]);
    press(c->Picturecard[1]);
    queueHand({{12, 2}, {5, 1}, {7, 3}});
    press(c->Command1);
    QCOMPARE(c->round.deck().hand()[1], (CardCode{12, 0}));
    QCOMPARE(c->round.deck().hand()[2], (CardCode{12, 1}));
    QCOMPARE(c->round.deck().hand()[3], (CardCode{12, 2}));
    QCOMPARE(c->Text3->text(), QStringLiteral("5"));
    QCOMPARE(c->Text1->text(), QStringLiteral("504"));
    QCOMPARE(c->round.deck().dealtcount(), qint16(8));
    QCOMPARE(c->round.deck().markedCount(), 8);
    QVERIFY(m_t->random->numbers.empty());
}

void tst_TablePlay::aNewThemeChangesNoHold()
{
    // A desktop theme that changes the window's colour between the deal and
    // the draw holds nothing more: free buttons follow the new colour.
    queueHand({{0, 0}, {1, 1}, {2, 2}, {3, 3}, {9, 0}});
    press(c->Command1);
    press(c->Commandhold[1]);
    QPalette theme = c->palette();
    theme.setColor(QPalette::Window, QColor(30, 60, 90));
    c->setPalette(theme);
    QCOMPARE(c->Commandhold[0]->BackColor(), QColor(30, 60, 90));
    QCOMPARE(c->Commandhold[1]->BackColor(), QColor(255, 255, 0));
    queueHand({{4, 0}, {5, 1}, {6, 2}, {7, 3}});
    press(c->Command1);
    QCOMPARE(c->round.hand(), (std::array<CardCode, HandSize>{{{4, 0}, {1, 1}, {5, 1}, {6, 2}, {7, 3}}}));
}

void tst_TablePlay::allFiveHeldDrawsNothing()
{
    queueHand({{0, 0}, {0, 1}, {5, 2}, {5, 3}, {9, 0}});
    press(c->Command1);
    const auto dealt = c->round.deck().hand();
    for (CommandButton *hold : c->Commandhold)
        press(hold);
    m_cues->clear();
    press(c->Command1);
    QCOMPARE(c->round.deck().hand(), dealt);
    QCOMPARE(c->round.deck().dealtcount(), qint16(5));
    QCOMPARE(cuesOf(*m_cues), QList<Cue>{Cue(QStringLiteral("clunk.wav"), 1)});
    QCOMPARE(c->Text3->text(), QStringLiteral("2"));
}

void tst_TablePlay::shuffleKeepsTheCountAndGivesFocusBack()
{
    queueHand({{0, 0}, {1, 1}, {2, 2}, {3, 3}, {9, 0}});
    press(c->Command1);
    queueHand({{4, 0}, {5, 1}, {6, 2}, {7, 3}, {8, 0}});
    press(c->Command1);
    press(c->Command1);
    const QImage before = c->Picturecard[0]->Image();
    m_cues->clear();

    press(c->Commandshuffle);
    QCOMPARE(c->round.deck().markedCount(), 0);
    QCOMPARE(c->round.deck().dealtcount(), qint16(10));
    QVERIFY(c->Command1->hasFocus());
    QCOMPARE(m_cues->count(), 0);
    QCOMPARE(c->Picturecard[0]->Image(), before);
    QVERIFY(c->Commandshuffle->isVisible());
}

void tst_TablePlay::winningsStayUntilTheNextDraw()
{
    queueHand({{0, 0}, {0, 1}, {5, 2}, {5, 3}, {9, 0}});
    press(c->Command1);
    for (CommandButton *hold : c->Commandhold)
        press(hold);
    press(c->Command1);
    QCOMPARE(c->Text3->text(), QStringLiteral("2"));
    press(c->Command1);
    queueHand({{1, 0}, {3, 1}, {5, 0}, {7, 3}, {11, 0}});
    press(c->Command1);
    QCOMPARE(c->Text3->text(), QStringLiteral("2"));
    queueHand({{2, 0}, {4, 1}, {6, 0}, {8, 3}, {10, 0}});
    press(c->Command1);
    QCOMPARE(c->Text3->text(), QStringLiteral("0"));
}

void tst_TablePlay::keyboardPlaysTheRound()
{
    // DEAL has the focus from the start, and takes it back after a hold.
    queueHand({{0, 0}, {1, 1}, {2, 2}, {3, 3}, {9, 0}});
    QCOMPARE(QApplication::focusWidget(), c->Command1);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QCOMPARE(c->round.presscount(), quint64(1));
    press(c->Commandhold[0]);
    queueHand({{4, 0}, {5, 1}, {6, 2}, {7, 3}});
    QCOMPARE(QApplication::focusWidget(), c->Command1);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    QCOMPARE(c->round.presscount(), quint64(2));
    QCOMPARE(c->round.deck().hand()[1], (CardCode{0, 0}));
}

void tst_TablePlay::numberKeysHoldOnlyWhileHoldsAreOpen()
{
    // Before the first deal nothing happens.
    QTest::keyClick(c->Command1, Qt::Key_2);
    QVERIFY(!c->round.isHeld(2));
    QCOMPARE(m_cues->count(), 0);

    queueHand({{0, 0}, {1, 1}, {2, 2}, {3, 3}, {9, 0}});
    press(c->Command1);
    m_cues->clear();
    QTest::keyClick(c->Command1, Qt::Key_2);
    QTest::keyClick(c->Command1, Qt::Key_5);
    QTest::keyClick(c->Command1, Qt::Key_2);
    QVERIFY(!c->round.isHeld(2));
    QVERIFY(c->round.isHeld(5));
    QCOMPARE(c->Commandhold[4]->BackColor(), QColor(255, 255, 0));
    QCOMPARE(m_cues->count(), 3);
    QVERIFY(c->Command1->hasFocus());

    queueHand({{4, 0}, {5, 1}, {6, 2}, {7, 3}});
    press(c->Command1);
    m_cues->clear();
    QTest::keyClick(c->Command1, Qt::Key_1);
    QVERIFY(!c->round.isHeld(1));
    QCOMPARE(m_cues->count(), 0);
}

void tst_TablePlay::adviceKeyChangesNothingOfTheRound()
{
    // H outside the hold phase shows nothing.
    QTest::keyClick(c->Command1, Qt::Key_H);
    QVERIFY(!c->hint.isShown());

    // Two pair in the deal: the advice keeps both pairs.
    queueHand({{5, 0}, {5, 1}, {11, 2}, {11, 3}, {2, 0}});
    press(c->Command1);
    press(c->Commandhold[4]);
    m_cues->clear();
    const auto hand = c->round.deck().hand();
    const auto dealt = c->round.deck().dealt();
    const QImage face = c->Picturecard[0]->Image();

    QTest::keyClick(c->Command1, Qt::Key_H);
    QVERIFY(c->hint.isShown());
    QVERIFY(c->hint.label()->isVisible());
    // The hint names the cards and their credits, as the panel does.
    QVERIFY2(c->hint.label()->text().startsWith(QStringLiteral("Best: 7")), qPrintable(c->hint.label()->text()));
    QVERIFY2(c->hint.label()->text().contains(QStringLiteral("K\u2660, 3.53 credits")), qPrintable(c->hint.label()->text()));
    QCOMPARE(c->trainer.judgement()->best(), 15u);
    const QString before = c->hint.label()->text();
    QTest::keyClick(c->Command1, Qt::Key_5);
    QVERIFY(c->hint.label()->text() != before); // the player's own return follows the holds
    QCOMPARE(m_cues->count(), 1);               // only the hold's own cue

    QTest::keyClick(c->Command1, Qt::Key_H);
    QVERIFY(!c->hint.isShown());
    QCOMPARE(c->round.deck().hand(), hand);
    QCOMPARE(c->round.deck().dealt(), dealt);
    QCOMPARE(c->Picturecard[0]->Image(), face);
    QCOMPARE(c->round.presscount(), quint64(1));
    QCOMPARE(c->Text1->text(), QStringLiteral("500"));

    // The draw takes the advice away.
    QTest::keyClick(c->Command1, Qt::Key_H);
    queueHand({{7, 1}, {8, 1}, {9, 1}, {10, 1}, {12, 1}});
    press(c->Command1);
    QVERIFY(!c->hint.isShown());
}

void tst_TablePlay::screenReadersHearTheCards()
{
    QCOMPARE(c->Picturecard[2]->accessibleName(), QStringLiteral("Card 3"));
    QCOMPARE(c->Picturecard[2]->accessibleDescription(), QStringLiteral("face down"));
    QCOMPARE(c->Commandhold[4]->accessibleName(), QStringLiteral("Hold card 5"));
    queueHand({{0, 0}, {1, 1}, {12, 3}, {3, 3}, {9, 0}});
    press(c->Command1);
    QCOMPARE(c->Picturecard[2]->accessibleDescription(), QStringLiteral("ace of spades"));
    press(c->Commandhold[2]);
    QCOMPARE(c->Commandhold[2]->accessibleDescription(), QStringLiteral("held"));
    for (QWidget *control : c->findChildren<QWidget *>()) {
        if (control->isVisible() && !qobject_cast<QLabel *>(control) && control->focusPolicy() != Qt::NoFocus)
            QVERIFY2(!control->accessibleName().isEmpty(), control->metaObject()->className());
    }
}

void tst_TablePlay::trainerKeysLeaveTheTableAndTheRoundAlone()
{
    // T widens the window by the panel and leaves every pixel of the table;
    // A and M change options only, never the round, and play nothing.
    queueHand({{0, 0}, {1, 1}, {2, 2}, {3, 3}, {9, 0}});
    press(c->Command1);
    m_cues->clear();
    const QImage table = c->grab(QRect(0, 0, 798, 533)).toImage();
    QTest::keyClick(c->Command1, Qt::Key_T);
    // The panel may take more height than the table, never less.
    QCOMPARE(c->width(), 798 + TrainerPanel::PanelWidth);
    QVERIFY(c->height() >= 533);
    QVERIFY(c->panel->isVisible());
    QCOMPARE(c->grab(QRect(0, 0, 798, 533)).toImage(), table);
    QTest::keyClick(c->Command1, Qt::Key_A);
    QVERIFY(c->panel->advice()->text().contains(QStringLiteral("Expected credits")));
    QTest::keyClick(c->Command1, Qt::Key_M);
    QVERIFY(c->MediaPlayer1.isMuted());
    QCOMPARE(m_cues->count(), 0);
    QCOMPARE(c->round.presscount(), quint64(1));
    QCOMPARE(c->round.heldMask(), 0u);
    QTest::keyClick(c->Command1, Qt::Key_T);
    QCOMPARE(c->size(), QSize(798, 533));
    QCOMPARE(c->grab().toImage(), table);
}

void tst_TablePlay::nothingCoversTheTableOnItsScreen()
{
    // On the tests' screen, and run again on one too small for the table
    // and the panel (twice the scale), where the table is drawn smaller:
    // the window on the screen, every control of the table inside it and
    // clear of the panel, and a click on each card holds it.
    c->setTrainerShown(true);
    QVERIFY(QGuiApplication::primaryScreen()->availableGeometry().contains(c->geometry()));
    QList<QWidget *> controls{c->Command1, c->Commandshuffle, c->Label1, c->Label2, c->Label3,
                              c->Text1,    c->Text2,          c->Text3,  c->VScroll1};
    for (int i = 0; i < HandSize; ++i)
        controls << c->Picturecard[i] << c->Commandhold[i];
    for (const QWidget *control : controls) {
        QVERIFY(c->rect().contains(control->geometry()));
        QVERIFY(!control->geometry().intersects(c->panel->geometry()));
    }
    queueHand({{0, 0}, {1, 1}, {2, 2}, {3, 3}, {9, 0}});
    press(c->Command1);
    for (int i = 0; i < HandSize; ++i) {
        press(c->Picturecard[i]);
        QVERIFY(c->round.isHeld(i + 1));
    }
}

// What the panel says of a deal goes with it: V lists every hold for one
// deal, and the deck's effect on a deal goes once the deck is shuffled.
void tst_TablePlay::trainerWordsLastForTheirDeal()
{
    c->setTrainerShown(true);
    c->setTraining(false);
    // Five hearts gone, then 2h 5h 9h Jh 2c: the twos are worth more than
    // the hearts here, which they are not on a fresh deck.
    queueHand({{1, 0}, {2, 0}, {4, 0}, {5, 0}, {6, 0}});
    press(c->Command1);
    QTest::keyClick(c->Command1, Qt::Key_V);
    QVERIFY(c->panel->advice()->text().count(QStringLiteral("<tr")) == HoldCount);
    for (int i = 0; i < HandSize; ++i)
        press(c->Commandhold[i]);
    press(c->Command1);
    press(c->Command1);
    queueHand({{0, 0}, {3, 0}, {7, 0}, {9, 0}, {0, 1}});
    press(c->Command1);
    QVERIFY(!c->panel->advice()->text().contains(QStringLiteral("<tr")));
    queueHand({{12, 1}, {12, 2}, {12, 3}, {11, 1}, {11, 2}});
    press(c->Command1);
    QVERIFY(c->panel->deck()->text().contains(QStringLiteral("On a fresh deck")));
    press(c->Command1);
    press(c->Commandshuffle);
    QVERIFY(!c->panel->deck()->text().contains(QStringLiteral("On a fresh deck")));
}

void tst_TablePlay::dealWarnsBeforeTheDrawOnlyInTraining_data()
{
    QTest::addColumn<bool>("panelShown");
    QTest::addColumn<bool>("training");
    QTest::addColumn<bool>("warned");
    QTest::newRow("training with the panel") << true << true << true;
    QTest::newRow("training off") << true << false << false;
    QTest::newRow("panel hidden") << false << true << false;
}

void tst_TablePlay::dealWarnsBeforeTheDrawOnlyInTraining()
{
    // Jh Qd 7c 4s 2c with Qd held: 7c alone is worth more.
    QFETCH(bool, panelShown);
    QFETCH(bool, training);
    QFETCH(bool, warned);
    c->setTrainerShown(panelShown);
    c->setTraining(training);
    queueHand({{9, 0}, {10, 2}, {5, 1}, {2, 3}, {0, 1}});
    press(c->Command1);
    press(c->Commandhold[1]);
    queueHand({{12, 0}, {12, 1}, {12, 2}, {12, 3}});
    press(c->Command1);
    QCOMPARE(c->round.presscount(), quint64(warned ? 1 : 2));
    QCOMPARE(c->panel->warning()->isVisible(), warned);
    // The best hold, 7c alone, is marked on the table's own cards.
    QList<QRect> marked;
    for (const QLabel *mark : c->findChildren<QLabel *>()) {
        if (mark->accessibleName() == QStringLiteral("Kept by the best hold") && mark->isVisible())
            marked << mark->geometry();
    }
    QCOMPARE(marked.size(), warned ? 1 : 0);
    QVERIFY(!warned || c->Picturecard[2]->geometry().contains(marked[0]));
    if (warned) {
        press(c->Command1); // the same holds again: the draw
        QCOMPARE(c->round.presscount(), quint64(2));
        QVERIFY(!c->panel->warning()->isVisible());
    }
    QCOMPARE(c->Text1->text(), QStringLiteral("549")); // four aces paid once
}

void tst_TablePlay::betKeysMoveTheBarBetweenRoundsOnly_data()
{
    QTest::addColumn<int>("royalAt"); // a royal flush played first at this bet, or 0
    QTest::addColumn<QList<int>>("keys");
    QTest::addColumn<int>("bet");
    QTest::newRow("up by one") << 0 << QList<int>{Qt::Key_Up, Qt::Key_Up} << 3;
    QTest::newRow("down stops at one") << 0 << QList<int>{Qt::Key_Up, Qt::Key_Down, Qt::Key_Down} << 1;
    QTest::newRow("page up by five") << 0 << QList<int>{Qt::Key_PageUp} << 6;
    QTest::newRow("end is the credits") << 0 << QList<int>{Qt::Key_End, Qt::Key_Up} << 500;
    QTest::newRow("home is one") << 0 << QList<int>{Qt::Key_End, Qt::Key_PageDown, Qt::Key_Home} << 1;
    QTest::newRow("end stops at the bar's largest") << 500 << QList<int>{Qt::Key_End} << 32767;
}

void tst_TablePlay::betKeysMoveTheBarBetweenRoundsOnly()
{
    QFETCH(int, royalAt);
    QFETCH(QList<int>, keys);
    if (royalAt)
        playHeldHand(*c, *m_t->random, royalAt, {{{Ten, 3}, {Jack, 3}, {Queen, 3}, {King, 3}, {Ace, 3}}});
    c->VScroll1->setValue(-1);
    for (int key : keys)
        QTest::keyClick(c->Command1, Qt::Key(key));
    QTEST(c->round.bet(), "bet");
    QCOMPARE(c->Text2->text(), QString::number(c->round.bet()));

    // Between the deal and the draw the keys change nothing.
    const qint32 bet = c->round.bet();
    queueHand({{2, 0}, {4, 1}, {6, 2}, {7, 3}, {10, 0}});
    press(c->Command1);
    QTest::keyClick(c->Command1, Qt::Key_Up);
    QTest::keyClick(c->Command1, Qt::Key_Home);
    QCOMPARE(c->round.bet(), bet);
}

void tst_TablePlay::statisticsLoadTheirChartsWhenFirstShown_data()
{
    QTest::addColumn<QString>("module");
    QTest::addColumn<bool>("charted");
    QTest::newRow("the game's") << StatsView::chartsModulePath() << true;
    QTest::newRow("missing") << QStringLiteral("nosuch-charts.so") << false;
    QTest::newRow("without the charts' entry") << ModuleSoundOutput::gameModulePath() << false;
}

// The charts come only once the statistics are shown; without their
// module the figures stay and the view says the charts are missing. The
// figures count the hands warned before the draw, and the progress chart
// draws the session's accuracy and loss as the history gives them.
void tst_TablePlay::statisticsLoadTheirChartsWhenFirstShown()
{
    QFETCH(QString, module);
    QFETCH(bool, charted);
    QTemporaryDir dir;
    playMistakeInto(dir.filePath(QStringLiteral("history.sqlite")));
    StatsView view(*c->history(), nullptr, module);
    view.refresh(c->trainer.sessionStart());
    QVERIFY(!view.charts() && !view.chartsMissing());
    if (!charted)
        QTest::ignoreMessage(QtInfoMsg, QRegularExpression(QStringLiteral("^drawpoker: statistics without charts: ")));
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    QVERIFY(view.figures()->isVisible() && !view.figures()->text().isEmpty());
    const QRegularExpressionMatch warned
        = QRegularExpression(QStringLiteral("Warned before the draw.*?(\\d+).*?(\\d+)")).match(view.figures()->text());
    QVERIFY(warned.hasMatch());
    QCOMPARE(warned.captured(1).toLongLong(), c->history()->stats().value.warned);
    QCOMPARE(warned.captured(2).toLongLong(), c->history()->stats(c->trainer.sessionStart()).value.warned);
    QCOMPARE(bool(view.charts()), charted);
    QCOMPARE(bool(view.chartsMissing()), !charted);
    QWidget *beside = charted ? static_cast<QWidget *>(view.charts()) : view.chartsMissing();
    QVERIFY(beside->isVisible() && beside->x() > view.figures()->geometry().right());
    if (!charted) {
        QVERIFY(view.chartsMissing()->text().contains(QStringLiteral("not installed")));
        return;
    }
    QList<QList<QPointF>> drawn;
    for (const QChartView *chart : view.charts()->findChildren<QChartView *>()) {
        for (QAbstractSeries *series : chart->chart()->series())
            drawn << static_cast<QXYSeries *>(series)->points();
    }
    const QList<SessionPoint> progress = c->history()->progress().value;
    QVERIFY(progress.size() == 1 && progress[0].lossPer100HandsAtBet1 > 0);
    QVERIFY(drawn.contains(QList<QPointF>{{1, 100 * progress[0].accuracy}}));
    QVERIFY(drawn.contains(QList<QPointF>{{1, 100 * progress[0].firstPressAccuracy}}));
    QVERIFY(drawn.contains(QList<QPointF>{{1, progress[0].lossPer100HandsAtBet1}}));
}

// A row changed to cards outside the deck, which crashed the analysis, is
// listed but neither drawn, judged nor drilled; once mended it is drawn.
void tst_TablePlay::reviewNeitherDrawsNorDrillsARowThatCannotBeRead()
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("history.sqlite"));
    playMistakeInto(file);
    // Another program's statement on the file, and its first value.
    const auto sql = [&](const QString &statement) {
        QVariant value;
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("other"));
            db.setDatabaseName(file);
            if (QSqlQuery query(db); db.open() && query.exec(statement) && query.next())
                value = query.value(0);
        }
        QSqlDatabase::removeDatabase(QStringLiteral("other"));
        return value;
    };
    const qint64 dealt = sql(QStringLiteral("SELECT dealt FROM hands")).toLongLong();
    sql(QStringLiteral("UPDATE hands SET dealt = %1").arg((1 << 30) - 1));

    ReviewWindow *review = c->openReview();
    QCOMPARE(review->hands()->rowCount(), 1);
    QVERIFY(review->handView()->words()->toPlainText().contains(QStringLiteral("cannot be read")));
    QVERIFY(review->handView()->card(0)->isHidden());
    QVERIFY(!review->openDrill()->current());

    sql(QStringLiteral("UPDATE hands SET dealt = %1").arg(dealt));
    review->refresh();
    QVERIFY(review->handView()->words()->toPlainText().contains(QStringLiteral("Expected loss")));
    QVERIFY(!review->handView()->card(0)->isHidden());
}


// A mistake played on the table comes back in the review with the table's
// own faces and the trainer's verdict, and the drill on it changes nothing
// of the table's round.
void tst_TablePlay::reviewShowsAHandAsItWasAndTheDrillLeavesTheRoundAlone()
{
    QTemporaryDir dir;
    playMistakeInto(dir.filePath(QStringLiteral("history.sqlite")));
    press(c->Command1);
    const qint32 credits = c->round.credits();
    const quint64 presses = c->round.presscount();

    ReviewWindow *review = c->openReview();
    QVERIFY(review);
    review->setMistakesOnly(true);
    QCOMPARE(review->hands()->rowCount(), 1);
    QVERIFY(review->handView()->words()->toPlainText().contains(QStringLiteral("Expected loss")));
    m_t->showFace(10, 0, 0);
    QCOMPARE(review->handView()->card(0)->Image(), c->Picturecard[0]->Image());

    c->setTrainerShown(true);
    QVERIFY(c->panel->drillDue()->isVisibleTo(c->panel) && c->panel->drillDue()->text().startsWith("1 mistake is due"));
    DrillWindow *drill = review->openDrill();
    QVERIFY(drill->status()->text().startsWith(QStringLiteral("Hand 1 of 1 ")));
    drill->answerOrGoOn(); // nothing held again: wrong, and back in the drill
    QCOMPARE(drill->rightAnswers(), 0);
    drill->answerOrGoOn();
    QVERIFY(drill->status()->text().startsWith(QStringLiteral("Hand 2 of 2 ")));
    for (int slot = 0; slot < HandSize; ++slot) {
        if (drill->current()->record.bestHold & (1u << slot))
            drill->toggleHold(slot);
    }
    drill->answerOrGoOn();
    drill->answerOrGoOn();
    QVERIFY(drill->finished());
    const QString end = drill->view()->words()->toPlainText();
    QVERIFY2(end.contains("right when it came back") && end.contains("next hand is due on"), qPrintable(end));
    // Answered right, the mistake is put off: none is due at the table.
    QVERIFY(!c->panel->drillDue()->isVisibleTo(c->panel));
    QCOMPARE(c->round.credits(), credits);
    QCOMPARE(c->round.presscount(), presses);

    // With none due, the drill deals hands of the kind missed, made to
    // order; the chart's window drills the kind with the player's own hand
    // first. Neither is the table's round.
    const StrategyChart &chart = gameStrategy(ChartLevel::Full);
    const QList<MistakeKind> kinds = mistakesByKind(recordsOf(c->history()->mistakes(0, 10).value), chart);
    QCOMPARE(kinds.size(), 1);
    const auto isOfTheKind = [&](const HandRecord &hand) {
        return chart.holdLineText(hand.dealt, hand.held) == kinds[0].kept
               && chart.holdLineText(hand.dealt, hand.bestHold) == kinds[0].best;
    };
    drill = review->openDrill();
    QVERIFY(drill->current() && drill->current()->id < 0 && isOfTheKind(drill->current()->record));
    StrategyWindow *strategy = c->openStrategy();
    // The chart saves as a PDF file, and says so where it cannot.
    QFile saved(dir.filePath(QStringLiteral("strategy.pdf")));
    QVERIFY(strategy->saveAsPdf(saved.fileName()));
    QVERIFY(saved.open(QIODevice::ReadOnly) && saved.read(5) == "%PDF-");
    QVERIFY(!strategy->saveAsPdf(dir.path()));
    QCOMPARE(strategy->mistakeKinds()->count(), 1);
    strategy->mistakeKinds()->setCurrentRow(0);
    strategy->drillChosenKind();
    drill = strategy->findChildren<DrillWindow *>().last();
    QVERIFY(drill->current() && drill->current()->id > 0 && isOfTheKind(drill->current()->record));
    QCOMPARE(c->round.presscount(), presses);
}

// "Delete all..." runs on its own thread: the review's controls wait for
// its end and come back with it, on an empty list.
void tst_TablePlay::reviewDeletesAsAJobItWaitsFor()
{
    QTemporaryDir dir;
    playMistakeInto(dir.filePath(QStringLiteral("history.sqlite")));
    press(c->Command1);
    ReviewWindow *review = c->openReview();
    QCOMPARE(review->hands()->rowCount(), 1);
    QSignalSpy deleted(review->forget(0), &HistoryJob::finished);
    QVERIFY(!review->list()->isEnabled());
    QVERIFY(deleted.wait());
    QVERIFY(review->list()->isEnabled());
    QCOMPARE(review->hands()->rowCount(), 0);
    QVERIFY(review->handView()->card(0)->isHidden());
}

QTEST_MAIN(tst_TablePlay)
#include "tst_tableplay.moc"
