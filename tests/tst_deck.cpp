#include "scriptedrandom.h"

#include "model/deck.h"

#include <QTest>

#include <optional>
#include <set>
#include <vector>

namespace {

auto heldSlots(std::set<int> held)
{
    return [held](int slot) { return held.count(slot) > 0; };
}

std::set<std::pair<int, int>> handCards(const Deck &deck)
{
    std::set<std::pair<int, int>> cards;
    for (int slot = 1; slot <= HandSize; ++slot)
        cards.insert({deck.hand()[slot].rank, deck.hand()[slot].suit});
    return cards;
}

// Deals every card of a fresh deck but `free`, lowest first, five at a time;
// the last deal fills only as many slots, from slot 1, as cards are left.
void dealEveryCardBut(Deck &deck, ScriptedRandom &random, std::optional<CardCode> free)
{
    std::vector<CardCode> cards;
    for (int index = 0; index < DeckSize; ++index) {
        const CardCode card{qint16(index / SuitCount), qint16(index % SuitCount)};
        if (card != free)
            cards.push_back(card);
    }
    for (std::size_t first = 0; first < cards.size(); first += HandSize) {
        const int count = int(std::min<std::size_t>(HandSize, cards.size() - first));
        for (int i = 0; i < count; ++i)
            random.queueCard(cards[first + i].rank, cards[first + i].suit);
        deck.deal([count](int slot) { return slot > count; });
    }
}

} // namespace

class tst_Deck : public QObject
{
    Q_OBJECT

private slots:
    void dealDrawsRankThenSuitAndRedrawsBothOnARepeat();
    void dealFillsOnlyTheSlotsThatAreNotHeld_data();
    void dealFillsOnlyTheSlotsThatAreNotHeld();
    void dealGivesFiveDistinctUnmarkedCards();
    void dealFindsTheLastFreeCard();
    void dealWithEveryCardMarkedStillEnds();
    void shuffleForgetsMarksOnly();
    void numbersAtTheTopOfTheRangeStayOnTheDeck();
};

void tst_Deck::dealDrawsRankThenSuitAndRedrawsBothOnARepeat()
{
    ScriptedRandom random;
    Deck deck(random);
    random.queueCard(3, 1);
    random.queueCard(3, 1); // already dealt: both numbers are drawn again
    random.queueCard(3, 2);
    random.queueCard(12, 0);
    random.queueCard(0, 3);
    random.queueCard(8, 2);
    deck.deal(heldSlots({}));

    const CardCode expected[HandSize] = {{3, 1}, {3, 2}, {12, 0}, {0, 3}, {8, 2}};
    for (int slot = 1; slot <= HandSize; ++slot)
        QCOMPARE(deck.hand()[slot], expected[slot - 1]);
    QVERIFY(random.numbers.empty());
    QCOMPARE(deck.dealtcount(), qint16(5)); // once per card, not per attempt
}

void tst_Deck::dealFillsOnlyTheSlotsThatAreNotHeld_data()
{
    QTest::addColumn<QList<int>>("held");
    QTest::newRow("none") << QList<int>{};
    QTest::newRow("first and last") << QList<int>{1, 5};
    QTest::newRow("middle three") << QList<int>{2, 3, 4};
    QTest::newRow("all five") << QList<int>{1, 2, 3, 4, 5};
}

void tst_Deck::dealFillsOnlyTheSlotsThatAreNotHeld()
{
    QFETCH(QList<int>, held);
    ScriptedRandom random;
    Deck deck(random);
    for (int slot = 1; slot <= HandSize; ++slot)
        random.queueCard(slot, 0);
    deck.deal(heldSlots({}));
    const auto dealtBefore = deck.dealt();
    for (int slot = 1; slot <= HandSize; ++slot) {
        if (!held.contains(slot))
            random.queueCard(slot, 3);
    }

    deck.deal(heldSlots({held.begin(), held.end()}));

    for (int slot = 1; slot <= HandSize; ++slot)
        QCOMPARE(deck.hand()[slot], (CardCode{qint16(slot), qint16(held.contains(slot) ? 0 : 3)}));
    QCOMPARE(deck.dealtcount(), qint16(2 * HandSize - held.size()));
    QCOMPARE(deck.markedCount(), HandSize * 2 - int(held.size()));
    if (held.size() == HandSize)
        QCOMPARE(deck.dealt(), dealtBefore);
}

void tst_Deck::dealGivesFiveDistinctUnmarkedCards()
{
    SeededRandom random;
    Deck deck(random);
    for (int round = 0; round < 200; ++round) {
        if (deck.markedCount() > 41)
            deck.shuffle();
        const auto before = deck.dealt();
        const int markedBefore = deck.markedCount();
        deck.deal(heldSlots({}));
        const auto hand = handCards(deck);
        QCOMPARE(int(hand.size()), HandSize);
        for (const auto &[rank, suit] : hand) {
            QVERIFY(!before[rank][suit]);
            QVERIFY(deck.dealt()[rank][suit]);
        }
        QCOMPARE(deck.markedCount(), markedBefore + HandSize);
    }
}

void tst_Deck::dealFindsTheLastFreeCard()
{
    ScriptedRandom random;
    Deck deck(random);
    dealEveryCardBut(deck, random, CardCode{7, 2});
    random.queueCard(0, 0);
    random.queueCard(12, 3);
    random.queueCard(7, 1);
    random.queueCard(7, 2);
    deck.deal(heldSlots({2, 3, 4, 5}));
    QCOMPARE(deck.hand()[1], (CardCode{7, 2}));
    QCOMPARE(deck.markedCount(), 52);
    QVERIFY(random.numbers.empty());
}

void tst_Deck::dealWithEveryCardMarkedStillEnds()
{
    // Should the whole deck be marked, the cards outside the hand come back
    // rather than the draw looping for ever; the hand keeps its cards.
    ScriptedRandom random;
    Deck deck(random);
    dealEveryCardBut(deck, random, std::nullopt);
    const auto before = handCards(deck);
    const auto heldBefore = deck.hand();
    for (int card = 0; card < 3; ++card)
        random.queueCard(card / SuitCount, card % SuitCount);

    deck.deal(heldSlots({1, 2}));

    QCOMPARE(int(handCards(deck).size()), HandSize);
    QCOMPARE(deck.hand()[1], heldBefore[1]);
    QCOMPARE(deck.hand()[2], heldBefore[2]);
    for (int slot = 3; slot <= HandSize; ++slot)
        QVERIFY(!before.count({deck.hand()[slot].rank, deck.hand()[slot].suit}));
    QCOMPARE(deck.markedCount(), HandSize + 3);
}

void tst_Deck::shuffleForgetsMarksOnly()
{
    SeededRandom random;
    Deck deck(random);
    deck.deal(heldSlots({}));
    const auto hand = deck.hand();
    deck.shuffle();
    QCOMPARE(deck.markedCount(), 0);
    QCOMPARE(deck.dealtcount(), qint16(5));
    QCOMPARE(deck.hand(), hand);
}

void tst_Deck::numbersAtTheTopOfTheRangeStayOnTheDeck()
{
    ScriptedRandom random;
    Deck deck(random);
    random.numbers = {1.0f, 1.0f, std::nextafter(1.0f, 0.0f), 0.0f};
    deck.deal(heldSlots({3, 4, 5}));
    QCOMPARE(deck.hand()[1], (CardCode{12, 3}));
    QCOMPARE(deck.hand()[2], (CardCode{12, 0}));
}

QTEST_MAIN(tst_Deck)
#include "tst_deck.moc"
