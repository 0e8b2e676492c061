#include "play/round.h"
#include "scriptedrandom.h"

#include <QTest>

#include <random>

namespace {

constexpr int Rounds = 1000000;

QString handText(const std::array<CardCode, HandSize> &hand)
{
    QStringList cards;
    for (const CardCode &card : hand)
        cards << QStringLiteral("%1/%2").arg(card.rank).arg(card.suit);
    return cards.join(QLatin1Char(' '));
}

} // namespace

class tst_Soak : public QObject
{
    Q_OBJECT

private slots:
    void aMillionRoundsKeepTheDeckAndTheMoneySound();
};

void tst_Soak::aMillionRoundsKeepTheDeckAndTheMoneySound()
{
    // The real round with random holds and bets; a failure names its seed.
    const std::uint32_t seed = std::random_device{}();
    Round round(std::make_unique<SeededRandom>(seed));
    std::mt19937 player(seed + 1);
    Outcome outcome = Nothing;
    bool refilled = false;
    connect(&round, &Round::drawn, this, [&outcome](Outcome o) { outcome = o; });
    connect(&round, &Round::creditsRefilled, this, [&refilled] { refilled = true; });

    for (int n = 0; n < Rounds; ++n) {
        const auto fail = [&](const QString &what) {
            return qPrintable(QStringLiteral("seed %1, round %2: %3").arg(seed).arg(n).arg(what));
        };
        round.setBet(qint32(player() % std::uint32_t(round.largestBet())) + 1);
        const qint32 credits = round.credits();
        const qint32 bet = round.bet();
        round.pressDeal();
        const unsigned holds = player() & 31u;
        for (int i = 0; i < HandSize; ++i) {
            if (holds & (1u << i))
                round.toggleHold(i);
        }
        if (round.deck().markedCount() > 51)
            QFAIL(fail(QStringLiteral("%1 cards marked before the draw").arg(round.deck().markedCount())));
        refilled = false;
        round.pressDeal();

        const auto hand = round.hand();
        for (int i = 0; i < HandSize; ++i) {
            const CardCode &card = hand[std::size_t(i)];
            if (!round.deck().dealt()[card.rank][card.suit] || std::count(hand.begin(), hand.end(), card) != 1)
                QFAIL(fail(QStringLiteral("hand %1 is not five dealt cards").arg(handText(hand))));
        }
        const qint64 winnings = qint64(bet) * Round::payTable().pay(outcome);
        const qint64 expected = refilled ? FreshStake : qint64(credits) - bet + winnings;
        if (round.winnings() != winnings || round.credits() != expected || round.credits() < 1
            || refilled != (qint64(credits) - bet + winnings <= 0))
            QFAIL(fail(QStringLiteral("credits %1 bet %2 won %3 came to %4")
                           .arg(credits).arg(bet).arg(round.winnings()).arg(round.credits())));
        round.pressDeal();
    }
}

QTEST_GUILESS_MAIN(tst_Soak)
#include "tst_soak.moc"
