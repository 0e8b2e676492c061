#include "model/deck.h"
#include "play/handscore.h"
#include "platform/randomsource.h"

#include <QElapsedTimer>
#include <QTest>

#include <random>

namespace {

constexpr int Rounds = 1000000;
constexpr int Multipliers[] = {0, 2, 5, 10, 20, 50, 100, 200};
constexpr qint32 LargestBet = 32767;

} // namespace

class tst_Soak : public QObject
{
    Q_OBJECT

private slots:
    void aMillionRoundsKeepTheDeckAndTheMoneySound();
};

void tst_Soak::aMillionRoundsKeepTheDeckAndTheMoneySound()
{
    // The game model as the round drives it, with random holds and bets.
    ClockRandom random;
    random.Randomize();
    Deck deck(random);
    std::mt19937 player(std::random_device{}());
    qint32 credits = FreshStake;
    QElapsedTimer clock;
    clock.start();

    for (int round = 0; round < Rounds; ++round) {
        if (round == 0)
            deck.reshuffle();
        else
            deck.reshuffleIfRunningLow();
        deck.deal([](int) { return false; });
        const unsigned holds = player() & 31u;
        const qint32 bet = qint32(player() % std::uint32_t(std::min(credits, LargestBet))) + 1;

        if (deck.markedCount() > 51)
            QFAIL(qPrintable(QStringLiteral("round %1: %2 cards marked before the draw").arg(round).arg(deck.markedCount())));
        deck.deal([holds](int slot) { return (holds >> (slot - 1)) & 1u; });

        std::array<CardCode, HandSize> hand;
        std::copy(deck.hand.begin() + 1, deck.hand.end(), hand.begin());
        for (int i = 0; i < HandSize; ++i) {
            if (!deck.dealt[hand[std::size_t(i)].rank][hand[std::size_t(i)].suit])
                QFAIL(qPrintable(QStringLiteral("round %1: a card in the hand is still in the deck").arg(round)));
            for (int j = 0; j < i; ++j) {
                if (hand[std::size_t(i)] == hand[std::size_t(j)])
                    QFAIL(qPrintable(QStringLiteral("round %1: the same card twice").arg(round)));
            }
        }

        const int multiplier = scoreHand(hand).multiplier;
        const Settlement result = settle(credits, bet, multiplier);
        if (result.credits < 1)
            QFAIL(qPrintable(QStringLiteral("round %1: credits %2").arg(round).arg(result.credits)));
        if (result.winnings != bet * multiplier
            || std::find(std::begin(Multipliers), std::end(Multipliers), multiplier) == std::end(Multipliers))
            QFAIL(qPrintable(QStringLiteral("round %1: winnings %2 for bet %3").arg(round).arg(result.winnings).arg(bet)));
        credits = result.credits;
    }
    qInfo("%d rounds in %lld ms, ending with %d credits", Rounds, clock.elapsed(), credits);
    QVERIFY(clock.elapsed() < 60000);
}

QTEST_GUILESS_MAIN(tst_Soak)
#include "tst_soak.moc"
