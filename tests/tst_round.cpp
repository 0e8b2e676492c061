#include "play/round.h"
#include "scriptedrandom.h"

#include <QSignalSpy>
#include <QTest>

#include <limits>

namespace {

using Hand = std::array<CardCode, HandSize>;
using Phase = Round::Phase;

// A round with a scripted deck, and every signal it sends written down as
// one word each, in order.
struct ScriptedRound
{
    ScriptedRound()
    {
        auto source = std::make_unique<ScriptedRandom>();
        random = source.get();
        round = std::make_unique<Round>(std::move(source));
        const auto note = [this](const char *word) { return [this, word] { events << QString::fromLatin1(word); }; };
        QObject::connect(round.get(), &Round::cue, [this](Round::Cue cue) { events << Round::soundOf(cue).fileName; });
        QObject::connect(round.get(), &Round::shuffled, note("shuffled"));
        QObject::connect(round.get(), &Round::dealt, note("dealt"));
        QObject::connect(round.get(), &Round::holdChanged, note("hold"));
        QObject::connect(round.get(), &Round::drawn, note("drawn"));
        QObject::connect(round.get(), &Round::creditsRefilled, note("refilled"));
        QObject::connect(round.get(), &Round::turnedDown, note("turned down"));
        QObject::connect(round.get(), &Round::betChanged, note("bet"));
    }

    // One whole round at `bet` on `dealt`, holding the slots in `holds`
    // and drawing `drawn` into the others.
    void play(int bet, const Hand &dealt, unsigned holds = 0b11111, const QList<CardCode> &drawn = {})
    {
        round->setBet(bet);
        random->queueHand(dealt);
        round->pressDeal();
        for (int i = 0; i < HandSize; ++i) {
            if (holds & (1u << i))
                round->toggleHold(i);
        }
        for (const CardCode &card : drawn)
            random->queueCard(card.rank, card.suit);
        round->pressDeal();
        round->pressDeal();
    }

    ScriptedRandom *random = nullptr;
    std::unique_ptr<Round> round;
    QStringList events;
};

Hand losing()
{
    return handOf(QStringLiteral("2h 5c 9d Js Kh"));
}

} // namespace

class tst_Round : public QObject
{
    Q_OBJECT

private slots:
    void threePressesMakeOneRound();
    void holdsOpenOnlyBetweenDealAndDraw();
    void heldCardsSurviveTheDraw();
    void handsPayByThePayTable_data();
    void handsPayByThePayTable();
    void moneyFollowsTheRounds_data();
    void moneyFollowsTheRounds();
    void creditsStopAtTheLargestValue();
    void betStaysWithinItsRange_data();
    void betStaysWithinItsRange();
    void reshufflesOnlyPastFortyOneCards_data();
    void reshufflesOnlyPastFortyOneCards();
    void shuffleOnlyBetweenRoundsAndKeepsTheCount();
};

void tst_Round::threePressesMakeOneRound()
{
    // Each press reports what it did, in order, and moves to the next phase.
    ScriptedRound r;
    QCOMPARE(r.round->phase(), Phase::BetweenRounds);
    r.random->queueHand(handOf(QStringLiteral("2h 3c 4d 5s Jh")));
    r.round->pressDeal();
    QCOMPARE(r.round->phase(), Phase::HoldsOpen);
    QCOMPARE(r.round->hand()[4], (CardCode{Jack, 0}));
    r.random->queueHand(handOf(QStringLiteral("6h 7c 8d 9s Th")));
    r.round->pressDeal();
    QCOMPARE(r.round->phase(), Phase::Scored);
    QCOMPARE(r.round->credits(), 509); // six to ten: a straight
    r.round->pressDeal();
    QCOMPARE(r.round->phase(), Phase::BetweenRounds);
    r.random->queueHand(handOf(QStringLiteral("Qh Kc Ad 2c 3d")));
    r.round->pressDeal();
    QCOMPARE(r.round->presscount(), quint64(4));

    const QStringList expected = {"shuffled", "chimes.wav", "dealt", "clunk.wav", "drawn",
                                  "turned down", "clink.wav", "chimes.wav", "dealt"};
    QCOMPARE(r.events, expected);
    QCOMPARE(Round::soundOf(Round::Cue::TurnDown).times, 2);
}

void tst_Round::holdsOpenOnlyBetweenDealAndDraw()
{
    ScriptedRound r;
    QVERIFY(!r.round->toggleHold(0));
    r.random->queueHand(losing());
    r.round->pressDeal();
    QVERIFY(r.round->toggleHold(1));
    QVERIFY(r.round->toggleHold(3));
    QVERIFY(r.round->toggleHold(1));
    QCOMPARE(r.round->heldMask(), 0b01000u);
    QVERIFY(!r.round->toggleHold(5));
    QVERIFY(!r.round->setBet(9)); // the hand is paid at the bet it was dealt at
    QCOMPARE(r.round->bet(), 1);
    for (const int rank : {Two, Three, Four, Six})
        r.random->queueCard(rank, 2);
    r.round->pressDeal();
    QVERIFY(!r.round->toggleHold(2));
    QCOMPARE(r.events.count(QStringLiteral("tada.wav")), 3);
    QCOMPARE(r.events.count(QStringLiteral("hold")), 3);
    // The next deal frees every slot.
    r.round->pressDeal();
    r.random->queueHand(handOf(QStringLiteral("Ah Ac Ad As Qh")));
    r.round->pressDeal();
    QCOMPARE(r.round->heldMask(), 0u);
}

void tst_Round::heldCardsSurviveTheDraw()
{
    ScriptedRound r;
    r.play(1, handOf(QStringLiteral("Ah Ac 4d 5s Jh")), 0b00011, {{Ace, 2}, {Seven, 1}, {Nine, 3}});
    QCOMPARE(r.round->hand(), handOf(QStringLiteral("Ah Ac Ad 7c 9s")));
    QCOMPARE(r.round->winnings(), 5);
    QCOMPARE(r.round->deck().dealtcount(), qint16(8));
    QCOMPARE(r.round->deck().markedCount(), 8);
    QVERIFY(r.random->numbers.empty());

    // Holding all five draws nothing and pays the hand as dealt.
    r.play(1, handOf(QStringLiteral("2h 2c 7d 7s Jd")));
    QCOMPARE(r.round->deck().dealtcount(), qint16(13));
    QCOMPARE(r.round->winnings(), 2);
}

void tst_Round::handsPayByThePayTable_data()
{
    QTest::addColumn<QString>("hand");
    QTest::addColumn<int>("pay");
    QTest::addColumn<int>("outcome");
    const auto row = [](const char *name, const char *hand, int pay, int outcome) {
        QTest::newRow(name) << QString::fromLatin1(hand) << pay << outcome;
    };
    row("royal flush", "Ts Js Qs Ks As", 200, RoyalFlush);
    row("royal flush in any order", "Ah Kh Th Qh Jh", 200, RoyalFlush);
    row("straight flush 9 to king", "9d Kd Jd Td Qd", 100, StraightFlush);
    row("lowest straight flush", "2c 3c 4c 5c 6c", 100, StraightFlush);
    row("ace-low in one suit is a flush", "Ah 2h 3h 4h 5h", 10, Flush);
    row("ace-low in mixed suits is nothing", "Ah 2c 3d 4s 5h", 0, Nothing);
    row("no wrap round the ace", "Qc Kd As 2h 3c", 0, Nothing);
    row("ten to ace in mixed suits", "Tc Jd Qs Kh Ac", 10, Straight);
    row("lowest straight", "6d 2c 4h 3s 5c", 10, Straight);
    row("four aces", "Ah Ac Ad As 2c", 50, FourOfAKindFirst + int(Ace));
    row("four twos", "2h 2c Kd 2d 2s", 50, FourOfAKindFirst + int(Two));
    row("full house", "9h 9c 9d 4s 4h", 20, FullHouse);
    row("full house, pair below", "3h 3c Ad Ah As", 20, FullHouse);
    row("flush", "2s 7s 9s Js Ks", 10, Flush);
    row("three of a kind", "7h 7c 7d Ks 2h", 5, ThreeOfAKind);
    row("two pair", "5h 5c Jd Js 9h", 2, TwoPair);
    row("pair of aces pays nothing", "Ah Ac 2d 7s 9h", 0, Nothing);
    row("nothing", "2h 5c 9d Js Kh", 0, Nothing);
}

void tst_Round::handsPayByThePayTable()
{
    // At a bet of 10 the winnings are the gross payout, the credits the net.
    QFETCH(QString, hand);
    QFETCH(int, pay);
    ScriptedRound r;
    QSignalSpy drawn(r.round.get(), &Round::drawn);
    r.play(10, handOf(hand));
    QCOMPARE(r.round->winnings(), 10 * pay);
    QCOMPARE(r.round->credits(), 500 - 10 + 10 * pay);
    QCOMPARE(drawn.count(), 1);
    QTEST(int(drawn[0][0].value<Outcome>()), "outcome");
    QCOMPARE(drawn[0][1].toInt(), 10 * pay);
}

void tst_Round::moneyFollowsTheRounds_data()
{
    // Rounds played one after another, each "bet hand", and the money after
    // the last: credits, winnings, the largest bet allowed and the bet.
    QTest::addColumn<QStringList>("rounds");
    QTest::addColumn<QList<int>>("after");
    QTest::addColumn<bool>("refilled");
    const QString lose = QStringLiteral("2h 5c 9d Js Kh");
    const QString loseAgain = QStringLiteral("3d 6s 8c Th Qc");
    const QString royal = QStringLiteral("Ts Js Qs Ks As");
    QTest::newRow("two pair returns twice the bet")
        << QStringList{QStringLiteral("10 5h 5c Jd Js 9h")} << QList<int>{510, 20, 510, 10} << false;
    QTest::newRow("a loss charges the bet") << QStringList{QStringLiteral("10 ") + lose}
                                            << QList<int>{490, 0, 490, 10} << false;
    QTest::newRow("credits at exactly 0 are refilled")
        << QStringList{QStringLiteral("495 ") + lose, QStringLiteral("5 ") + loseAgain} << QList<int>{500, 0, 500, 5}
        << true;
    QTest::newRow("a bet above the credits is lowered")
        << QStringList{QStringLiteral("200 ") + lose, QStringLiteral("200 ") + loseAgain}
        << QList<int>{100, 0, 100, 100} << false;
    QTest::newRow("the bet range stops at 32767")
        << QStringList{QStringLiteral("500 ") + royal} << QList<int>{100000, 100000, 32767, 500} << false;
}

void tst_Round::moneyFollowsTheRounds()
{
    QFETCH(QStringList, rounds);
    QFETCH(QList<int>, after);
    ScriptedRound r;
    QSignalSpy refills(r.round.get(), &Round::creditsRefilled);
    for (const QString &round : rounds)
        r.play(round.section(QLatin1Char(' '), 0, 0).toInt(), handOf(round.section(QLatin1Char(' '), 1)));
    const Round &round = *r.round;
    QCOMPARE((QList<int>{round.credits(), round.winnings(), round.largestBet(), round.bet()}), after);
    QTEST(!refills.isEmpty(), "refilled");
}

void tst_Round::creditsStopAtTheLargestValue()
{
    constexpr qint32 Largest = std::numeric_limits<qint32>::max();
    QCOMPARE(settle(Largest - 1000, 500, 200).credits, Largest);
    QCOMPARE(settle(Largest - 1000, 500, 200).winnings, 100000);
    QCOMPARE(settle(Largest, 1, 0).credits, Largest - 1);
    QCOMPARE(settle(Largest, 32767, 200).credits, Largest);
    QVERIFY(settle(1, 1, 0).refilled);
    QVERIFY(!settle(2, 1, 0).refilled);
}

void tst_Round::betStaysWithinItsRange_data()
{
    QTest::addColumn<int>("asked");
    QTest::addColumn<int>("bet");
    QTest::newRow("below one") << 0 << 1;
    QTest::newRow("negative") << -40 << 1;
    QTest::newRow("within") << 25 << 25;
    QTest::newRow("the credits") << 500 << 500;
    QTest::newRow("above the credits") << 501 << 500;
}

void tst_Round::betStaysWithinItsRange()
{
    QFETCH(int, asked);
    ScriptedRound r;
    r.round->setBet(7);
    r.round->setBet(asked);
    QTEST(r.round->bet(), "bet");
}

void tst_Round::reshufflesOnlyPastFortyOneCards_data()
{
    // Rounds of ten cards (nothing held) and of five (all held) bring the
    // count since the last reshuffle to 41 or 42 before the next deal.
    QTest::addColumn<QList<unsigned>>("holds");
    QTest::addColumn<bool>("reshuffles");
    QTest::newRow("41 keeps the deck") << QList<unsigned>{0, 0, 0, 0b01111, 0b11111} << false;
    QTest::newRow("42 reshuffles") << QList<unsigned>{0, 0, 0, 0b00111, 0b11111} << true;
}

void tst_Round::reshufflesOnlyPastFortyOneCards()
{
    QFETCH(QList<unsigned>, holds);
    QFETCH(bool, reshuffles);
    ScriptedRound r;
    int dealtSoFar = 0; // cards come in order, each once
    const auto nextCard = [&dealtSoFar] {
        const int index = dealtSoFar++;
        return CardCode{qint16(index / SuitCount), qint16(index % SuitCount)};
    };
    for (unsigned held : holds) {
        Hand dealt;
        for (CardCode &card : dealt)
            card = nextCard();
        QList<CardCode> drawn;
        for (int i = std::popcount(held); i < HandSize; ++i)
            drawn << nextCard();
        r.play(1, dealt, held, drawn);
    }
    const int before = r.round->deck().dealtcount();
    QCOMPARE(before, reshuffles ? 42 : 41);
    r.events.clear();
    r.random->queueHand(handOf(QStringLiteral("Ah Ac Ad As Kh")));
    r.round->pressDeal();
    QCOMPARE(r.events.contains(QStringLiteral("shuffled")), reshuffles);
    QCOMPARE(r.round->deck().markedCount(), reshuffles ? 5 : before + 5);
    QCOMPARE(r.round->deck().dealtcount(), qint16(reshuffles ? 5 : before + 5));
}

void tst_Round::shuffleOnlyBetweenRoundsAndKeepsTheCount()
{
    ScriptedRound r;
    r.play(1, losing(), 0, {{Three, 0}, {Four, 1}, {Six, 2}, {Seven, 3}, {Eight, 0}});
    r.events.clear();
    QVERIFY(r.round->pressShuffle());
    QCOMPARE(r.events, QStringList{QStringLiteral("shuffled")});
    QCOMPARE(r.round->deck().markedCount(), 0);
    QCOMPARE(r.round->deck().dealtcount(), qint16(10));

    r.random->queueHand(losing());
    r.round->pressDeal();
    QVERIFY(!r.round->pressShuffle());
    QCOMPARE(r.round->deck().markedCount(), 5);
}

QTEST_GUILESS_MAIN(tst_Round)
#include "tst_round.moc"
