#include "model/names.h"
#include "play/round.h"
#include "scriptedrandom.h"
#include "trainer/trainer.h"
#include "trainer/trainersettings.h"

#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

namespace {

using Hand = std::array<CardCode, HandSize>;

// A round with a scripted deck and the trainer that follows it.
struct Session
{
    Session()
    {
        auto source = std::make_unique<ScriptedRandom>();
        random = source.get();
        round = std::make_unique<Round>(std::move(source));
        trainer = std::make_unique<Trainer>(*round);
    }

    // Deals `dealt` at `bet`, holds `holds` and draws `drawn` into the rest.
    void play(int bet, const QString &dealt, unsigned holds, const QString &drawn = {})
    {
        round->setBet(bet);
        random->queueHand(handOf(dealt));
        round->pressDeal();
        for (int i = 0; i < HandSize; ++i) {
            if (holds & (1u << i))
                round->toggleHold(i);
        }
        for (const QString &card : drawn.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            const CardCode code = *parseCard(card);
            random->queueCard(code.rank, code.suit);
        }
        round->pressDeal();
    }

    ScriptedRandom *random = nullptr;
    std::unique_ptr<Round> round;
    std::unique_ptr<Trainer> trainer;
};

} // namespace

class tst_Trainer : public QObject
{
    Q_OBJECT

private slots:
    void everyResultHasItsName_data();
    void everyResultHasItsName();
    void mistakesAreJudgedOnTheDeckAsItIs_data();
    void mistakesAreJudgedOnTheDeckAsItIs();
    void sessionAddsUpTheHands();
    void settingsFallBackToTheDefaults_data();
    void settingsFallBackToTheDefaults();
};

void tst_Trainer::everyResultHasItsName_data()
{
    QTest::addColumn<QString>("hand");
    QTest::addColumn<QString>("name");
    QTest::newRow("royal") << "Ts Js Qs Ks As" << "Royal flush";
    QTest::newRow("straight flush") << "9d Kd Jd Td Qd" << "Straight flush";
    QTest::newRow("four") << "2h 2c Kd 2d 2s" << "Four of a kind";
    QTest::newRow("full house") << "9h 9c 9d 4s 4h" << "Full house";
    QTest::newRow("flush") << "Ah 2h 3h 4h 5h" << "Flush";
    QTest::newRow("straight") << "Tc Jd Qs Kh Ac" << "Straight";
    QTest::newRow("three") << "7h 7c 7d Ks 2h" << "Three of a kind";
    QTest::newRow("two pair") << "5h 5c Jd Js 9h" << "Two pair";
    QTest::newRow("one pair") << "Ah Ac 2d 7s 9h" << "One pair";
    QTest::newRow("no pair") << "Ah 2c 3d 4s 5h" << "No pair";
}

void tst_Trainer::everyResultHasItsName()
{
    QFETCH(QString, hand);
    Session s;
    QVERIFY(!s.trainer->drawnOutcome());
    s.play(1, hand, 0b11111);
    QVERIFY(s.trainer->drawnOutcome());
    QTEST(Trainer::outcomeName(*s.trainer->drawnOutcome()), "name");
}

void tst_Trainer::mistakesAreJudgedOnTheDeckAsItIs_data()
{
    // On a fresh deck four hearts are the best hold of 2h 5h 9h Jh 2c; with
    // five more hearts already dealt the pair of twos is (odds tool:
    // 1903/1435 against 40/42 per credit).
    QTest::addColumn<unsigned>("holds");
    QTest::addColumn<QString>("drawn");
    QTest::addColumn<bool>("mistake");
    QTest::addColumn<double>("cost");
    QTest::newRow("four hearts") << 0b01111u << "Kc" << true << 3 * (1903.0 / 1435 - 40.0 / 42);
    QTest::newRow("the pair") << 0b10001u << "Kc Kd Ks" << false << 0.0;
}

void tst_Trainer::mistakesAreJudgedOnTheDeckAsItIs()
{
    QFETCH(unsigned, holds);
    QFETCH(QString, drawn);
    QFETCH(bool, mistake);
    Session s;
    s.play(1, QStringLiteral("3h 4h 6h 7h 8h"), 0b11111);
    s.round->pressDeal();
    s.play(3, QStringLiteral("2h 5h 9h Jh 2c"), holds, drawn);
    QCOMPARE(s.trainer->holds()->at(0b10001).draws, binomial(42, 3)); // 42 cards left, not 47
    QCOMPARE(bool(s.trainer->mistake()), mistake);
    if (mistake) {
        QCOMPARE(s.trainer->mistake()->bestHold, 0b10001u);
        QTEST(s.trainer->mistake()->cost, "cost");
        QCOMPARE(holdText(s.trainer->dealtHand(), 0b10001u), QStringLiteral("Hold 2\u2665 2\u2663"));
    }
    QCOMPARE(s.trainer->session().mistakes, int(mistake));
}

void tst_Trainer::sessionAddsUpTheHands()
{
    // A royal flush held at a bet of 2, then two pair thrown away at a bet
    // of 5: the best hold of a pat hand is worth exactly its pay.
    Session s;
    s.play(2, QStringLiteral("Ts Js Qs Ks As"), 0b11111);
    s.round->pressDeal();
    s.play(5, QStringLiteral("5h 5c Jd Jh 9h"), 0, QStringLiteral("2c 3d 4s 7h 8d"));
    const SessionStats &stats = s.trainer->session();
    QCOMPARE(stats.hands, 2);
    QCOMPARE(stats.creditsBet, 7);
    QCOMPARE(stats.creditsWon, 400);
    QCOMPARE(stats.actualReturn(), 400.0 / 7);
    const HoldResult &drawFive = s.trainer->holds()->at(0);
    const HoldResult &bestOfTwoPair = s.trainer->holds()->at(bestHold(*s.trainer->holds()));
    QCOMPARE(stats.expectedYours, 400 + 5 * drawFive.expectedReturn());
    QCOMPARE(stats.expectedBest, 400 + 5 * bestOfTwoPair.expectedReturn());
    QCOMPARE(stats.mistakes, 1);
    QCOMPARE(stats.mistakeCost, stats.expectedBest - stats.expectedYours);
    s.trainer->resetSession();
    QCOMPARE(s.trainer->session().hands, 0);
}

void tst_Trainer::settingsFallBackToTheDefaults_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QList<bool>>("options"); // panel, advice always, sound
    QTest::newRow("missing") << QByteArray() << QList<bool>{false, false, true};
    QTest::newRow("saved") << QByteArray("[trainer]\npanelShown=true\nadviceAlways=true\n[sound]\non=false\n")
                           << QList<bool>{true, true, false};
    QTest::newRow("an older file without sound")
        << QByteArray("[trainer]\npanelShown=true\n") << QList<bool>{true, false, true};
    QTest::newRow("garbled values") << QByteArray("[trainer]\npanelShown=2\nadviceAlways=yes\n[sound]\non=\n")
                                    << QList<bool>{false, false, true};
    QTest::newRow("not a settings file") << QByteArray("\x00\xff\x01[[[=\n\x7f", 9) << QList<bool>{false, false, true};
}

void tst_Trainer::settingsFallBackToTheDefaults()
{
    QFETCH(QByteArray, file);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("drawpoker.conf"));
    if (!file.isEmpty()) {
        QFile out(path);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(file);
    }
    const QSettings settings(path, QSettings::IniFormat);
    const TrainerSettings options = TrainerSettings::load(settings);
    QTEST((QList<bool>{options.panelShown, options.adviceAlways, options.soundOn}), "options");

    // What is saved comes back.
    QSettings again(path, QSettings::IniFormat);
    TrainerSettings flipped{!options.panelShown, !options.adviceAlways, !options.soundOn};
    flipped.save(again);
    again.sync();
    const TrainerSettings read = TrainerSettings::load(QSettings(path, QSettings::IniFormat));
    QCOMPARE((QList<bool>{read.panelShown, read.adviceAlways, read.soundOn}),
             (QList<bool>{flipped.panelShown, flipped.adviceAlways, flipped.soundOn}));
}

QTEST_GUILESS_MAIN(tst_Trainer)
#include "tst_trainer.moc"
