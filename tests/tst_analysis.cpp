#include "model/cardtext.h"
#include "analysis/gamereturn.h"
#include "analysis/holdadvisor.h"
#include "referenceholds.h"

#include <QTest>

#include <random>

namespace {

using Hand = std::array<CardCode, HandSize>;

CardCode cardAt(int index)
{
    return {qint16(index / SuitCount), qint16(index % SuitCount)};
}

// Every draw for the hold, one by one.
HoldResult bruteForce(const Hand &hand, unsigned mask, CardSet deck, const PayTable &table)
{
    HoldResult result;
    result.mask = mask;
    std::vector<CardCode> pool;
    for (int i = 0; i < 52; ++i) {
        if (deck & (CardSet(1) << i))
            pool.push_back(cardAt(i));
    }
    Hand final = hand;
    std::vector<int> open;
    for (int slot = 0; slot < HandSize; ++slot) {
        if (!(mask & (1u << slot)))
            open.push_back(slot);
    }
    std::vector<int> pick(open.size());
    std::function<void(std::size_t, std::size_t)> choose = [&](std::size_t next, std::size_t from) {
        if (next == open.size()) {
            const Outcome outcome = evaluateHand(final, table);
            ++result.outcomes[outcome];
            ++result.draws;
            result.totalPay += table.pay(outcome);
            return;
        }
        for (std::size_t i = from; i < pool.size(); ++i) {
            final[std::size_t(open[next])] = pool[i];
            choose(next + 1, i + 1);
        }
    };
    choose(0, 0);
    return result;
}

struct Deal
{
    Hand hand;
    CardSet deck = FullDeck; // without the hand and the `gone` cards
};

Deal randomDeal(std::mt19937 &random, int gone)
{
    std::array<int, 52> cards;
    std::iota(cards.begin(), cards.end(), 0);
    Deal deal;
    for (int i = 0; i < HandSize + gone; ++i) {
        std::swap(cards[std::size_t(i)], cards[std::uniform_int_distribution<std::size_t>(std::size_t(i), 51)(random)]);
        if (i < HandSize)
            deal.hand[std::size_t(i)] = cardAt(cards[std::size_t(i)]);
        deal.deck &= ~(CardSet(1) << cards[std::size_t(i)]);
    }
    return deal;
}

// Any pays, any lowest paying pair, ace low or not.
PayTable randomPayTable(std::mt19937 &random)
{
    std::uniform_int_distribution<int> pay(0, 1000);
    PayTable table;
    for (int *field : {&table.royalFlush, &table.straightFlush, &table.fullHouse, &table.flush, &table.straight,
                       &table.threeOfAKind, &table.twoPair, &table.pair})
        *field = pay(random);
    for (int &quads : table.fourOfAKind)
        quads = pay(random);
    table.pairFromRank = std::uniform_int_distribution<int>(0, RankCount)(random);
    table.aceLow = random() & 1;
    return table;
}

bool sameHold(const HoldResult &a, const HoldResult &b)
{
    return a.draws == b.draws && a.totalPay == b.totalPay && a.outcomes == b.outcomes;
}

template <typename Visit>
void forEveryHand(Visit visit)
{
    Hand hand;
    for (int a = 0; a < 52; ++a)
        for (int b = a + 1; b < 52; ++b)
            for (int c = b + 1; c < 52; ++c)
                for (int d = c + 1; d < 52; ++d)
                    for (int e = d + 1; e < 52; ++e) {
                        hand = {cardAt(a), cardAt(b), cardAt(c), cardAt(d), cardAt(e)};
                        visit(hand);
                    }
}

} // namespace

class tst_Analysis : public QObject
{
    Q_OBJECT

private slots:
    void holdsMatchEveryDrawCounted_data();
    void holdsMatchEveryDrawCounted();
    void holdsMatchTheReferenceEngine();
    void categoryTotalsOverAllHands_data();
    void categoryTotalsOverAllHands();
    void gameTableKeepsTheAceHigh();
    void exactReturnOfNineSixJacks();
    void bestHoldTieBreakIsFixed();
    void payTablesAreReadOrRefused_data();
    void payTablesAreReadOrRefused();
    void cardsAreReadInEitherCase();
};

void tst_Analysis::holdsMatchEveryDrawCounted_data()
{
    QTest::addColumn<int>("gone");
    QTest::addColumn<QString>("table");
    QTest::newRow("fresh deck, game") << 0 << QStringLiteral("game");
    QTest::newRow("1 gone, jacks") << 1 << QStringLiteral("jacks-9-6");
    QTest::newRow("5 gone, double bonus") << 5 << QStringLiteral("double-bonus-10-7");
    QTest::newRow("41 gone, game") << 41 << QStringLiteral("game");
    QTest::newRow("41 gone, jacks") << 41 << QStringLiteral("jacks-9-6");
}

void tst_Analysis::holdsMatchEveryDrawCounted()
{
    QFETCH(int, gone);
    QFETCH(QString, table);
    const PayTable pays = *PayTable::named(table);
    std::mt19937 random(std::random_device{}());
    for (int trial = 0; trial < 2; ++trial) {
        const auto [hand, deck] = randomDeal(random, gone);
        const auto holds = analyseHolds(hand, deck, pays);
        for (unsigned mask = 0; mask < HoldCount; ++mask) {
            const HoldResult expected = bruteForce(hand, mask, deck, pays);
            QCOMPARE(holds[mask].draws, expected.draws);
            QCOMPARE(holds[mask].totalPay, expected.totalPay);
            QVERIFY(holds[mask].outcomes == expected.outcomes);
        }
    }
}

void tst_Analysis::holdsMatchTheReferenceEngine()
{
    // Every hold of many random deals, from a fresh deck down to an empty
    // one, on random pay tables: both engines must count each outcome alike.
    const unsigned seed = qEnvironmentVariableIsSet("DRAWPOKER_SEED") ? qEnvironmentVariable("DRAWPOKER_SEED").toUInt()
                                                                       : std::random_device{}();
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> depth(0, 52 - HandSize);
    for (int trial = 0; trial < 10000; ++trial) {
        const int gone = depth(random);
        const auto [hand, deck] = randomDeal(random, gone);
        const PayTable table = randomPayTable(random);
        const auto holds = analyseHolds(hand, deck, table);
        const auto expected = referenceHolds(hand, deck, table);
        for (unsigned mask = 0; mask < HoldCount; ++mask) {
            if (!sameHold(holds[mask], expected[mask]))
                QFAIL(qPrintable(QStringLiteral("hold %4 of deal %2 (%3 cards gone) differs; "
                                                "DRAWPOKER_SEED=%1 repeats this run")
                                     .arg(seed).arg(trial).arg(gone).arg(mask)));
        }
    }
}

void tst_Analysis::categoryTotalsOverAllHands_data()
{
    QTest::addColumn<bool>("aceLow");
    QTest::addColumn<QList<qint64>>("totals");
    // Royal, straight flush, four, full house, flush, straight, three, two
    // pair, jacks or better, nothing.
    QTest::newRow("ace high and low") << true
        << QList<qint64>{4, 36, 624, 3744, 5108, 10200, 54912, 123552, 337920, 2062860};
    QTest::newRow("ace only high") << false
        << QList<qint64>{4, 32, 624, 3744, 5112, 9180, 54912, 123552, 337920, 2063880};
}

void tst_Analysis::categoryTotalsOverAllHands()
{
    QFETCH(bool, aceLow);
    PayTable table = *PayTable::named(QStringLiteral("jacks-9-6"));
    table.aceLow = aceLow;
    QList<qint64> totals(CategoryCount, 0);
    forEveryHand([&](const Hand &hand) { ++totals[int(categoryOf(evaluateHand(hand, table)))]; });
    QTEST(totals, "totals");
}

void tst_Analysis::gameTableKeepsTheAceHigh()
{
    // The ace plays only high: ace to five in one suit is a flush.
    const PayTable game = PayTable::game();
    const Hand aceLow = {{{12, 0}, {0, 0}, {1, 0}, {2, 0}, {3, 0}}};
    QCOMPARE(evaluateHand(aceLow, game), Flush);
    const Hand kingHigh = {{{7, 3}, {8, 3}, {9, 3}, {10, 3}, {11, 3}}};
    QCOMPARE(evaluateHand(kingHigh, game), StraightFlush);
}

void tst_Analysis::exactReturnOfNineSixJacks()
{
    const GameReturn game = exactGameReturn(*PayTable::named(QStringLiteral("jacks-9-6")));
    QCOMPARE(game.denominator, qint64(19933230517200));
    QCOMPARE(std::accumulate(game.outcomes.begin(), game.outcomes.end(), qint64(0)), game.denominator);
    // 0.99543904 = 1653526326983 / 1661102543100, the well-known figure.
    QCOMPARE(game.totalPay / (game.denominator / 1661102543100), qint64(1653526326983));
    QCOMPARE(game.denominator % 1661102543100, qint64(0));
    QCOMPARE(game.outcomes[RoyalFlush], qint64(493512264));
}

void tst_Analysis::bestHoldTieBreakIsFixed()
{
    // Nothing pays: every hold ties, so the one that keeps all five wins.
    PayTable nothing;
    const Hand hand = {{{0, 0}, {5, 1}, {7, 2}, {9, 3}, {11, 0}}};
    CardSet deck = FullDeck;
    for (const CardCode &card : hand)
        deck &= ~cardBit(card);
    QCOMPARE(bestHold(analyseHolds(hand, deck, nothing)), 31u);
    // Four twos return 50 whether the king is kept or drawn again; keeping
    // it as well keeps more cards, so that hold wins the tie.
    const Hand quads = {{{0, 0}, {0, 1}, {0, 2}, {0, 3}, {11, 0}}};
    deck = FullDeck;
    for (const CardCode &card : quads)
        deck &= ~cardBit(card);
    const auto holds = analyseHolds(quads, deck, PayTable::game());
    QCOMPARE(holds[15].expectedReturn(), 50.0);
    QCOMPARE(holds[31].expectedReturn(), 50.0);
    QCOMPARE(bestHold(holds), 31u);
}

void tst_Analysis::payTablesAreReadOrRefused_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("error");
    QTest::newRow("nine-six jacks") << QStringLiteral(
        "royal-flush 800\nstraight-flush 50 # comment\nfour-of-a-kind 25\nfull-house 9\nflush 6\n"
        "straight 4\nthree-of-a-kind 3\ntwo-pair 2\npair J 1\nace-low yes\n") << QString();
    QTest::newRow("unknown hand") << QStringLiteral("flush 6\nfive-of-a-kind 3") << QStringLiteral("line 2: unknown hand");
    QTest::newRow("pay not a number") << QStringLiteral("flush six") << QStringLiteral("line 1: the pay must");
    QTest::newRow("negative pay") << QStringLiteral("flush -1") << QStringLiteral("line 1: the pay must");
    QTest::newRow("pay too large") << QStringLiteral("royal-flush 100001") << QStringLiteral("line 1: the pay must");
    QTest::newRow("pair without rank") << QStringLiteral("pair 1") << QStringLiteral("line 1: pair takes");
    QTest::newRow("quads range backwards") << QStringLiteral("four-of-a-kind K-2 50") << QStringLiteral("line 1: four-of-a-kind takes");
    QTest::newRow("ace-low maybe") << QStringLiteral("ace-low maybe") << QStringLiteral("line 1: ace-low takes");
}

void tst_Analysis::payTablesAreReadOrRefused()
{
    QFETCH(QString, text);
    QFETCH(QString, error);
    QString said;
    const std::optional<PayTable> table = PayTable::parse(text, &said);
    if (error.isEmpty()) {
        QVERIFY(table);
        QVERIFY(table->pays() == PayTable::named(QStringLiteral("jacks-9-6"))->pays());
        QCOMPARE(table->aceLow, true);
        QCOMPARE(table->pairFromRank, 9);
    } else {
        QVERIFY(!table);
        QVERIFY2(said.startsWith(error), qPrintable(said));
    }
}

void tst_Analysis::cardsAreReadInEitherCase()
{
    QCOMPARE(parseCard(QStringLiteral("Ah")), (std::optional<CardCode>(CardCode{12, 0})));
    QCOMPARE(parseCard(QStringLiteral("10d")), (std::optional<CardCode>(CardCode{8, 2})));
    QCOMPARE(parseCard(QStringLiteral("tS")), (std::optional<CardCode>(CardCode{8, 3})));
    QCOMPARE(parseCard(QStringLiteral("2c")), (std::optional<CardCode>(CardCode{0, 1})));
    for (const char *bad : {"1h", "Ax", "A", "Ahh", "", "11c"})
        QVERIFY2(!parseCard(QString::fromLatin1(bad)), bad);
    QCOMPARE(longCardName({11, 3}), QStringLiteral("king of spades"));
}

QTEST_MAIN(tst_Analysis)
#include "tst_analysis.moc"
