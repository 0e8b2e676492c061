#include "testsupport.h"

#include "play/handscore.h"

#include <QLineEdit>
#include <QScrollBar>
#include <QTest>

#include <limits>

namespace {

// Cards as text: rank 2..9, T, J, Q, K, A and suit h, c, d, s.
std::array<CardCode, HandSize> handOf(const char *text)
{
    static const QString ranks = QStringLiteral("23456789TJQKA");
    static const QString suits = QStringLiteral("hcds");
    const QStringList cards = QString::fromLatin1(text).split(QLatin1Char(' '));
    std::array<CardCode, HandSize> hand{};
    for (int i = 0; i < HandSize; ++i)
        hand[std::size_t(i)] = {qint16(ranks.indexOf(cards[i][0])), qint16(suits.indexOf(cards[i][1]))};
    return hand;
}

void putInHand(cards &table, const std::array<CardCode, HandSize> &hand)
{
    for (int slot = 1; slot <= HandSize; ++slot)
        table.deck.hand[slot] = hand[std::size_t(slot - 1)];
}

} // namespace

class tst_Payout : public QObject
{
    Q_OBJECT

private slots:
    void handsPayByThePayTable_data();
    void handsPayByThePayTable();
    void moneyIsSettledInTheBoxes_data();
    void moneyIsSettledInTheBoxes();
    void creditsStopAtTheLargestValue();
};

void tst_Payout::handsPayByThePayTable_data()
{
    QTest::addColumn<QString>("hand");
    QTest::addColumn<int>("multiplier");
    QTest::addColumn<HandCategory>("category");
    const auto row = [](const char *name, const char *hand, int multiplier, HandCategory category) {
        QTest::newRow(name) << QString::fromLatin1(hand) << multiplier << category;
    };
    row("royal flush", "Ts Js Qs Ks As", 200, HandCategory::RoyalFlush);
    row("royal flush in any order", "Ah Kh Th Qh Jh", 200, HandCategory::RoyalFlush);
    row("straight flush 9 to king", "9d Kd Jd Td Qd", 100, HandCategory::StraightFlush);
    row("lowest straight flush", "2c 3c 4c 5c 6c", 100, HandCategory::StraightFlush);
    row("ace-low in one suit is a flush", "Ah 2h 3h 4h 5h", 10, HandCategory::Flush);
    row("ace-low in mixed suits is nothing", "Ah 2c 3d 4s 5h", 0, HandCategory::Nothing);
    row("no wrap round the ace", "Qc Kd As 2h 3c", 0, HandCategory::Nothing);
    row("ten to ace in mixed suits", "Tc Jd Qs Kh Ac", 10, HandCategory::Straight);
    row("lowest straight", "6d 2c 4h 3s 5c", 10, HandCategory::Straight);
    row("four aces", "Ah Ac Ad As 2c", 50, HandCategory::FourOfAKind);
    row("four twos", "2h 2c Kd 2d 2s", 50, HandCategory::FourOfAKind);
    row("full house", "9h 9c 9d 4s 4h", 20, HandCategory::FullHouse);
    row("full house, pair below", "3h 3c Ad Ah As", 20, HandCategory::FullHouse);
    row("flush", "2s 7s 9s Js Ks", 10, HandCategory::Flush);
    row("three of a kind", "7h 7c 7d Ks 2h", 5, HandCategory::ThreeOfAKind);
    row("two pair", "5h 5c Jd Js 9h", 2, HandCategory::TwoPair);
    row("pair of aces pays nothing", "Ah Ac 2d 7s 9h", 0, HandCategory::Nothing);
    row("nothing", "2h 5c 9d Js Kh", 0, HandCategory::Nothing);
}

void tst_Payout::handsPayByThePayTable()
{
    // Through the table: credits 1000 and bet 10, so the winnings box shows
    // the gross payout and the credits the net result.
    QFETCH(QString, hand);
    QFETCH(int, multiplier);
    const auto cards = handOf(hand.toLatin1().constData());
    QTEST(scoreHand(cards).category, "category");
    QCOMPARE(scoreHand(cards).multiplier, multiplier);

    TestTable t;
    putInHand(*t.table, cards);
    t.table->Text1->setText(QStringLiteral("1000"));
    t.table->VScroll1->setValue(-10);
    t.table->calculatepayoff();
    QCOMPARE(t.table->Text3->text(), QString::number(10 * multiplier));
    QCOMPARE(t.table->Text1->text(), QString::number(1000 - 10 + 10 * multiplier));
}

void tst_Payout::moneyIsSettledInTheBoxes_data()
{
    QTest::addColumn<int>("credits");
    QTest::addColumn<int>("bet");
    QTest::addColumn<QString>("hand");
    QTest::addColumn<QString>("creditsAfter");
    QTest::addColumn<QString>("winnings");
    QTest::addColumn<int>("largestBet");
    QTest::addColumn<QString>("betAfter");
    const char *lose = "2h 5c 9d Js Kh";
    const char *twoPair = "5h 5c Jd Js 9h";
    const char *royal = "Ts Js Qs Ks As";
    const auto row = [](const char *name, int credits, int bet, const char *hand, const char *after,
                        const char *winnings, int largest, const char *betAfter) {
        QTest::newRow(name) << credits << bet << QString::fromLatin1(hand) << QString::fromLatin1(after)
                            << QString::fromLatin1(winnings) << largest << QString::fromLatin1(betAfter);
    };
    row("two pair returns twice the bet", 500, 10, twoPair, "510", "20", 510, "10");
    row("a loss charges the bet", 500, 10, lose, "490", "0", 490, "10");
    row("credits at exactly 0 are refilled", 5, 5, lose, "500", "0", 500, "5");
    row("the last credit is refilled", 1, 1, lose, "500", "0", 500, "1");
    row("a bet above the credits is lowered", 300, 200, lose, "100", "0", 100, "100");
    row("the bet range stops at 32767", 40000, 500, royal, "139500", "100000", 32767, "500");
}

void tst_Payout::moneyIsSettledInTheBoxes()
{
    QFETCH(int, credits);
    QFETCH(int, bet);
    QFETCH(QString, hand);
    TestTable t;
    cards &c = *t.table;
    putInHand(c, handOf(hand.toLatin1().constData()));
    c.Text1->setText(QString::number(credits));
    c.VScroll1->setValue(-bet);
    QCOMPARE(c.Text2->text(), QString::number(bet));

    c.calculatepayoff();

    QTEST(c.Text1->text(), "creditsAfter");
    QTEST(c.Text3->text(), "winnings");
    QTEST(-c.VScroll1->minimum(), "largestBet");
    QCOMPARE(c.VScroll1->maximum(), -1);
    QTEST(c.Text2->text(), "betAfter");
}

void tst_Payout::creditsStopAtTheLargestValue()
{
    constexpr qint32 Largest = std::numeric_limits<qint32>::max();
    QCOMPARE(settle(Largest - 1000, 500, 200).credits, Largest);
    QCOMPARE(settle(Largest - 1000, 500, 200).winnings, 100000);
    QCOMPARE(settle(Largest, 1, 0).credits, Largest - 1);
    QCOMPARE(settle(Largest, 32767, 200).credits, Largest);
}

QTEST_MAIN(tst_Payout)
#include "tst_payout.moc"
