#include "model/names.h"
#include "play/round.h"
#include "scriptedrandom.h"
#include "trainer/gamestrategy.h"
#include "trainer/trainer.h"
#include "trainer/trainersettings.h"

#include <QDateTime>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <bit>

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
    void warnsBeforeTheDrawPastTheThreshold_data();
    void warnsBeforeTheDrawPastTheThreshold();
    void warningFollowsTheHoldsUntilConfirmed();
    void explainsTheDrawAndTheDeckInPlainWords_data();
    void explainsTheDrawAndTheDeckInPlainWords();
    void blamesTheDeckOnlyForWhatTheDeckDid_data();
    void blamesTheDeckOnlyForWhatTheDeckDid();
    void adviceSharesPlacesOfEqualHolds();
    void sessionAddsUpTheHands();
    void settledRecordIsTheDealItCameFrom_data();
    void settledRecordIsTheDealItCameFrom();
    void settingsFallBackToTheDefaults_data();
    void settingsFallBackToTheDefaults();
    void gameChartsAreTheOnesItsTableGives_data();
    void gameChartsAreTheOnesItsTableGives();
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
    QCOMPARE(s.trainer->judgement()->holds().at(0b10001).draws, binomial(42, 3)); // 42 cards left, not 47
    QCOMPARE(bool(s.trainer->mistake()), mistake);
    if (mistake) {
        QCOMPARE(s.trainer->mistake()->bestHold, 0b10001u);
        QTEST(s.trainer->mistake()->expectedLoss, "cost");
        QCOMPARE(holdText(s.trainer->judgement()->dealt(), 0b10001u), QStringLiteral("Hold 2\u2665 2\u2663"));
    }
    QCOMPARE(s.trainer->session().mistakes, int(mistake));
}

void tst_Trainer::warnsBeforeTheDrawPastTheThreshold_data()
{
    // Jh Qd 7c 4s 2c on a fresh deck (odds tool): 7c alone is best at
    // 61198/178365; Jh alone is 0.0086 less per credit, Qd alone 0.0198.
    // A pat four of a kind and the four alone both return exactly 50.
    QTest::addColumn<QString>("dealt");
    QTest::addColumn<unsigned>("holds");
    QTest::addColumn<WarnThreshold>("threshold");
    QTest::addColumn<bool>("warned");
    const auto any = WarnThreshold::AnyLoss;
    const auto onePercent = WarnThreshold::OverOnePercentOfBet;
    QTest::newRow("best") << "Jh Qd 7c 4s 2c" << 0b00100u << any << false;
    QTest::newRow("a little less, any loss") << "Jh Qd 7c 4s 2c" << 0b00001u << any << true;
    QTest::newRow("a little less, over 1 %") << "Jh Qd 7c 4s 2c" << 0b00001u << onePercent << false;
    QTest::newRow("more than 1 % less") << "Jh Qd 7c 4s 2c" << 0b00010u << onePercent << true;
    // Drawing five is 5.2 % of the bet less, 7c 4s 6.2 %, Jh 7c 10.1 %.
    const auto fivePercent = WarnThreshold::OverFivePercentOfBet;
    const auto tenPercent = WarnThreshold::OverTenPercentOfBet;
    QTest::newRow("under 5 % less") << "Jh Qd 7c 4s 2c" << 0b00010u << fivePercent << false;
    QTest::newRow("more than 5 % less") << "Jh Qd 7c 4s 2c" << 0b00000u << fivePercent << true;
    QTest::newRow("under 10 % less") << "Jh Qd 7c 4s 2c" << 0b01100u << tenPercent << false;
    QTest::newRow("more than 10 % less") << "Jh Qd 7c 4s 2c" << 0b00101u << tenPercent << true;
    QTest::newRow("a tie with the best") << "7h 7c 7d 7s 2c" << 0b01111u << any << false;
}

void tst_Trainer::warnsBeforeTheDrawPastTheThreshold()
{
    QFETCH(QString, dealt);
    QFETCH(unsigned, holds);
    QFETCH(WarnThreshold, threshold);
    QFETCH(bool, warned);
    Session s;
    s.trainer->setWarnThreshold(threshold);
    s.random->queueHand(handOf(dealt));
    s.round->pressDeal();
    QCOMPARE(s.trainer->confirmDraw(holds), !warned);
    QCOMPARE(s.trainer->warnedHolds().has_value(), warned);
    QCOMPARE(s.trainer->warningText().isEmpty(), !warned);
}

void tst_Trainer::warningFollowsTheHoldsUntilConfirmed()
{
    // Warned about Qd, the player keeps it, then changes to Jh (still
    // worth less: the warning follows), then to the best 7c (it goes).
    Session s;
    s.random->queueHand(handOf(QStringLiteral("Jh Qd 7c 4s 2c")));
    s.round->pressDeal();
    s.round->toggleHold(1);
    QVERIFY(!s.trainer->confirmDraw(0b00010));
    QCOMPARE(s.trainer->warningText(),
             QStringLiteral("Holding 7\u2663 is worth 0.34 credits; your hold, Q\u2666, 0.32. 7\u2663 makes two pair or "
                            "better in 14,729 of 178,365 draws, Q\u2666 in 14,384 of 178,365. "
                            "Change your holds, or press DEAL again to draw."));
    QVERIFY(s.trainer->confirmDraw(0b00010)); // pressed again with the same holds
    s.round->toggleHold(1);
    s.round->toggleHold(0);
    QCOMPARE(s.trainer->warnedHolds(), std::optional<unsigned>(0b00001));
    // Holds changed since the press are not the ones confirmed: DEAL stops
    // once more before it draws them.
    QVERIFY(!s.trainer->confirmDraw(0b00001));
    QVERIFY(s.trainer->confirmDraw(0b00001));
    s.round->toggleHold(0);
    s.round->toggleHold(2);
    QVERIFY(!s.trainer->warnedHolds());
    QVERIFY(s.trainer->confirmDraw(0b00100));
}

void tst_Trainer::explainsTheDrawAndTheDeckInPlainWords_data()
{
    // As above: on a fresh deck the four hearts are best, but five hearts
    // are gone and the twos are worth 1903/1435 against 40/42 per credit.
    QTest::addColumn<QString>("dealt");
    QTest::addColumn<unsigned>("holds");
    QTest::addColumn<QString>("verdict");
    QTest::addColumn<QString>("deckEffect");
    // Of the hearts' draws only the 4 hearts left pay; two twos are left.
    const QString effect = QStringLiteral("On a fresh deck you would keep 2\u2665 5\u2665 9\u2665 J\u2665, worth 2.86 "
                                          "credits here. 2 twos are among the 42 cards left: 2\u2665 2\u2663 makes two "
                                          "pair or better in 3,376 of 11,480 draws, 2\u2665 5\u2665 9\u2665 J\u2665 in 4 of 42.");
    QTest::newRow("the fresh deck's hold")
        << "2h 5h 9h Jh 2c" << 0b01111u
        << QStringLiteral("You held 2\u2665 5\u2665 9\u2665 J\u2665 (2.86). Best: 2\u2665 2\u2663 (3.98). "
                          "Expected loss 1.12 credits.")
        << effect;
    QTest::newRow("the best") << "2h 5h 9h Jh 2c" << 0b10001u
                              << QStringLiteral("You held 2\u2665 2\u2663 (3.98): the best hold.") << effect;
    QTest::newRow("a tie") << "9h 9c 9d 9s 2c" << 0b01111u
                           << QStringLiteral("You held 9\u2665 9\u2663 9\u2666 9\u2660 (150.00) = best: "
                                             "9\u2665 9\u2663 9\u2666 9\u2660 2\u2663 is worth the same.")
                           << QString();
}

void tst_Trainer::explainsTheDrawAndTheDeckInPlainWords()
{
    QFETCH(QString, dealt);
    QFETCH(unsigned, holds);
    Session s;
    s.play(1, QStringLiteral("3h 4h 6h 7h 8h"), 0b11111);
    s.round->pressDeal();
    s.play(3, dealt, holds, QStringLiteral("Kc Kd Ks Ac Ad").left(3 * (HandSize - std::popcount(holds)) - 1));
    QTEST(s.trainer->verdictText(), "verdict");
    QTEST(s.trainer->judgement()->deckEffectText(), "deckEffect");

    // The hold and the best by the chart's lines, and the chart's own pick
    // where the cards gone made it worth less.
    const Judgement &judgement = *s.trainer->judgement();
    const StrategyChart &chart = gameStrategy(ChartLevel::Full);
    const QString lines = judgement.strategyText(holds);
    const unsigned pick = chart.pick(judgement.dealt()).hold;
    const unsigned named = chart.lineOf(judgement.dealt(), holds) || judgement.isMistake(holds) ? holds : pick;
    for (unsigned hold : {named, judgement.isMistake(holds) ? judgement.best() : named}) {
        const std::optional<int> line = chart.lineOf(judgement.dealt(), hold);
        QVERIFY2(lines.contains(line ? QStringLiteral("(line %1)").arg(*line + 1) : QStringLiteral("(on no line)")),
                 qPrintable(lines));
    }
    QCOMPARE(lines.contains(QStringLiteral("The chart keeps")), judgement.isMistake(pick));
}

void tst_Trainer::blamesTheDeckOnlyForWhatTheDeckDid_data()
{
    QTest::addColumn<QString>("dealt");
    QTest::addColumn<QString>("gone");
    QTest::addColumn<bool>("deckToBlame"); // or the chart's own miss
    QTest::newRow("hearts gone from a flush draw") << "2h 5h 9h Jh 2c" << "3h 4h 6h 7h 8h Kh Ah Qh" << true;
    QTest::newRow("a fresh deck the chart misses") << "2c Qs Kh 3s 6c" << QString() << false;
}

void tst_Trainer::blamesTheDeckOnlyForWhatTheDeckDid()
{
    // Where the chart's pick is not the best, the words put it down to the
    // cards gone only where the pick is the best on a fresh deck.
    QFETCH(QString, dealt);
    QFETCH(QString, gone);
    QFETCH(bool, deckToBlame);
    CardSet goneAtDeal = 0;
    for (const QString &name : gone.split(QLatin1Char(' '), Qt::SkipEmptyParts))
        goneAtDeal |= cardBit(*parseCard(name));
    const Judgement judgement(handOf(dealt), goneAtDeal, 1, Round::payTable());
    QVERIFY(judgement.isMistake(gameStrategy(ChartLevel::Full).pick(judgement.dealt()).hold));
    const QString words = judgement.strategyText(judgement.best());
    QCOMPARE(words.contains(QStringLiteral("the cards gone make")), deckToBlame);
    QCOMPARE(words.contains(QStringLiteral("not the best hold even on a fresh deck")), !deckToBlame);
}

void tst_Trainer::adviceSharesPlacesOfEqualHolds()
{
    // The pat four of a kind and the four alone share the first place; the
    // player's own hold joins the list where it ranks.
    Session s;
    s.random->queueHand(handOf(QStringLiteral("7h 7c 7d 7s 2c")));
    s.round->pressDeal();
    const QList<AdviceRow> rows = s.trainer->judgement()->advice(2, 0);
    QCOMPARE(rows.size(), 3);
    QCOMPARE((QList<int>{rows[0].place, rows[1].place}), (QList<int>{1, 1}));
    QVERIFY(rows[1].tiedWithAbove);
    QCOMPARE(rows[2].mask, 0u);
    QVERIFY(rows[2].place > 2);
    QCOMPARE(Judgement::creditsText(0.3452, 0.3451), QStringLiteral("0.3452"));
}

void tst_Trainer::sessionAddsUpTheHands()
{
    // A royal flush held at a bet of 2, then two pair thrown away at a bet
    // of 5: the best hold of a pat hand is worth exactly its pay.
    Session s;
    QCOMPARE(s.trainer->sessionLines(), QStringList{QStringLiteral("No hands yet.")});
    s.play(2, QStringLiteral("Ts Js Qs Ks As"), 0b11111);
    s.round->pressDeal();
    s.play(5, QStringLiteral("5h 5c Jd Jh 9h"), 0, QStringLiteral("2c 3d 4s 7h 8d"));
    const SessionStats &stats = s.trainer->session();
    QCOMPARE(stats.hands, 2);
    QCOMPARE(stats.creditsBet, 7);
    QCOMPARE(stats.creditsWon, 400);
    QCOMPARE(stats.actualReturn(), 400.0 / 7);
    const Judgement &twoPair = *s.trainer->judgement();
    const HoldResult &drawFive = twoPair.holds().at(0);
    const HoldResult &bestOfTwoPair = twoPair.holds().at(twoPair.best());
    QCOMPARE(stats.expectedYours, 400 + 5 * drawFive.expectedReturn());
    QCOMPARE(stats.expectedBest, 400 + 5 * bestOfTwoPair.expectedReturn());
    QCOMPARE(stats.mistakes, 1);
    QCOMPARE(stats.mistakeCost, stats.expectedBest - stats.expectedYours);
    QCOMPARE(s.trainer->sessionLines().first(), QStringLiteral("Hands 2, right at the first press 1 (50 %), after warnings 1 (50 %)"));
    s.trainer->resetSession();
    QCOMPARE(s.trainer->session().hands, 0);
}

void tst_Trainer::settledRecordIsTheDealItCameFrom_data()
{
    // A hand dealt and held whole first puts its cards out of the deck.
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("dealt");
    QTest::addColumn<int>("bet");
    QTest::addColumn<unsigned>("holds");
    QTest::addColumn<QString>("drawn");
    QTest::addColumn<bool>("warned"); // training stopped the draw, and DEAL was pressed again
    QTest::addColumn<unsigned>("firstHolds"); // at the first press of DEAL
    QTest::newRow("fresh deck, the best hold") << "" << "Jh Qd 7c 4s 2c" << 2 << 0b00100u << "Kc 3d 5s 9h" << false
                                               << 0b00100u;
    QTest::newRow("hearts gone, warned and drawn anyway")
        << "3h 4h 6h 7h 8h" << "2h 5h 9h Jh 2c" << 3 << 0b01111u << "Kc" << true << 0b01111u;
    QTest::newRow("a pat royal flush") << "Ad Kd Qd Jd 9d" << "Ts Js Qs Ks As" << 4 << 0b11111u << "" << false << 0b11111u;
    QTest::newRow("warned, changed to other holds still worth less")
        << "" << "Jh Qd 7c 4s 2c" << 1 << 0b00001u << "Kc 3d 5s 9h" << true << 0b00010u;
}

void tst_Trainer::settledRecordIsTheDealItCameFrom()
{
    // The record the history keeps, field by field, against the deal as the
    // round dealt it and the hold values counted afresh on the deck it left.
    QFETCH(QString, before);
    QFETCH(QString, dealt);
    QFETCH(int, bet);
    QFETCH(unsigned, holds);
    QFETCH(QString, drawn);
    QFETCH(bool, warned);
    QFETCH(unsigned, firstHolds);
    Session s;
    CardSet gone = 0;
    if (!before.isEmpty()) {
        s.play(1, before, 0b11111);
        s.round->pressDeal();
        for (const CardCode &card : handOf(before))
            gone |= cardBit(card);
    }
    QList<HandRecord> settled;
    connect(s.trainer.get(), &Trainer::settled, this, [&](const HandRecord &record) { settled << record; });
    s.round->setBet(bet);
    s.random->queueHand(handOf(dealt));
    s.round->pressDeal();
    Hand final = handOf(dealt);
    const QStringList replacements = drawn.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    for (int slot = 0, next = 0; slot < HandSize; ++slot) {
        if (firstHolds & (1u << slot))
            s.round->toggleHold(slot);
        if (!(holds & (1u << slot))) {
            final[slot] = *parseCard(replacements[next++]);
            s.random->queueCard(final[slot].rank, final[slot].suit);
        }
    }
    QCOMPARE(s.trainer->confirmDraw(firstHolds), !warned);
    for (int slot = 0; slot < HandSize; ++slot) {
        if ((firstHolds ^ holds) & (1u << slot))
            s.round->toggleHold(slot);
    }
    // Holds changed after a warning may be warned about once more.
    QVERIFY(s.trainer->confirmDraw(holds) || s.trainer->confirmDraw(holds));
    const qint64 drawnFrom = QDateTime::currentMSecsSinceEpoch();
    s.round->pressDeal();
    QCOMPARE(settled.size(), 1);
    const HandRecord &record = settled.first();

    const Hand hand = handOf(dealt);
    CardSet inHand = 0;
    for (const CardCode &card : hand)
        inHand |= cardBit(card);
    const auto values = analyseHolds(hand, FullDeck & ~inHand & ~gone, Round::payTable());
    const unsigned best = bestHold(values);
    QVERIFY(record.playedAt >= drawnFrom && record.playedAt <= QDateTime::currentMSecsSinceEpoch());
    QCOMPARE(record.session, s.trainer->sessionStart());
    QCOMPARE(record.bet, bet);
    QCOMPARE(record.dealt, hand);
    QCOMPARE(record.goneAtDeal, gone);
    QCOMPARE(record.held, holds);
    QCOMPARE(record.bestHold, best);
    QCOMPARE(record.heldCredits, values[holds].expectedReturn() * bet);
    QCOMPARE(record.bestCredits, values[best].expectedReturn() * bet);
    QCOMPARE(record.final, final);
    QCOMPARE(record.outcome, evaluateHand(final, PayTable::gameNaming()));
    QCOMPARE(record.winnings, qint32(Round::payTable().pay(record.outcome) * bet));
    QCOMPARE(record.credits, s.round->credits());
    QCOMPARE(record.warned, warned);
    QCOMPARE(record.firstHeld, std::optional<unsigned>(firstHolds));
    QCOMPARE(record.isMistake(), holds != best);
}

void tst_Trainer::settingsFallBackToTheDefaults_data()
{
    QTest::addColumn<QByteArray>("file");
    // panel, advice always, sound, training, first start
    QTest::addColumn<QList<bool>>("options");
    QTest::addColumn<WarnThreshold>("threshold");
    const auto learner = WarnThreshold::OverOnePercentOfBet;
    QTest::newRow("missing: the first start") << QByteArray() << QList<bool>{true, false, true, true, true} << learner;
    QTest::newRow("saved") << QByteArray("[trainer]\npanelShown=false\nadviceAlways=true\ntraining=false\n"
                                         "warnWhen=overTenPercentOfBet\n[sound]\non=false\n")
                           << QList<bool>{false, true, false, false, false} << WarnThreshold::OverTenPercentOfBet;
    QTest::newRow("an older file without sound or training, warning at any loss")
        << QByteArray("[trainer]\npanelShown=false\nwarnWhen=anyLoss\n") << QList<bool>{false, false, true, true, false}
        << WarnThreshold::AnyLoss;
    QTest::newRow("garbled values") << QByteArray("[trainer]\npanelShown=2\nadviceAlways=yes\nwarnWhen=2\n[sound]\non=\n")
                                    << QList<bool>{true, false, true, true, false} << learner;
    QTest::newRow("not a settings file") << QByteArray("\x00\xff\x01[[[=\n\x7f", 9)
                                         << QList<bool>{true, false, true, true, false} << learner;
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
    QTEST((QList<bool>{options.panelShown, options.adviceAlways, options.soundOn, options.training, options.firstStart}),
          "options");
    QTEST(options.threshold, "threshold");

    // What is saved comes back, and the next start is not the first.
    QSettings again(path, QSettings::IniFormat);
    TrainerSettings flipped{!options.panelShown, !options.adviceAlways, !options.soundOn, !options.training,
                            WarnThreshold::OverFivePercentOfBet};
    flipped.save(again);
    again.sync();
    const TrainerSettings read = TrainerSettings::load(QSettings(path, QSettings::IniFormat));
    QCOMPARE((QList<bool>{read.panelShown, read.adviceAlways, read.soundOn, read.training, read.firstStart}),
             (QList<bool>{flipped.panelShown, flipped.adviceAlways, flipped.soundOn, flipped.training, false}));
    QCOMPARE(read.threshold, WarnThreshold::OverFivePercentOfBet);
}

void tst_Trainer::gameChartsAreTheOnesItsTableGives_data()
{
    QTest::addColumn<bool>("full");
    QTest::newRow("full") << true;
    QTest::newRow("short") << false;
}

// The charts the game comes with are those its pay table derives today:
// makechart writes them again after a change to how charts are derived.
void tst_Trainer::gameChartsAreTheOnesItsTableGives()
{
    QFETCH(bool, full);
    const ChartLevel level = full ? ChartLevel::Full : ChartLevel::Short;
    QCOMPARE(gameStrategy(level).toText(), StrategyChart(PayTable::game(), level).toText());
}

QTEST_GUILESS_MAIN(tst_Trainer)
#include "tst_trainer.moc"
