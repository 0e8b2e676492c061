// Fills a hand history with sessions played by the game's own round and
// trainer, for looking at the review, its statistics and the drill with a
// few hundred hands in them:
//
//   fillhistory FILE [SESSIONS] [HANDS] [SEED]
//
// The player holds the trainer's best hold, but for a share of mistakes
// that falls from session to session, as a learning player's would; warned
// about a mistake, the player heeds the warning half the time. Each session
// is played at a bet of its own.
#include "history/handhistory.h"
#include "play/round.h"
#include "trainer/trainer.h"

#include <QCoreApplication>
#include <QRandomGenerator>
#include <QThread>

#include <cstdio>
#include <iterator>

namespace {

class SeededRandom final : public RandomSource
{
public:
    explicit SeededRandom(quint32 seed) : m_generator(seed) {}
    void Randomize() override {}
    float next() override { return unitFromBits(m_generator.generate()); }

private:
    QRandomGenerator m_generator;
};

constexpr qint32 Bets[] = {5, 1, 10, 2, 5, 1};

// The held mask: the best, or with chance `slips` another one at random.
unsigned chooseHolds(const Trainer &trainer, double slips, QRandomGenerator &random)
{
    const unsigned best = trainer.judgement()->best();
    if (random.generateDouble() >= slips)
        return best;
    return (best + 1 + random.bounded(HoldCount - 1)) % HoldCount;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 2) {
        std::fprintf(stderr, "usage: fillhistory FILE [SESSIONS] [HANDS] [SEED]\n");
        return 2;
    }
    const int sessions = args.value(2, QStringLiteral("6")).toInt();
    const int hands = args.value(3, QStringLiteral("60")).toInt();
    const quint32 seed = args.value(4, QStringLiteral("20")).toUInt();

    HandHistory history;
    if (!history.open(args[1])) {
        std::fprintf(stderr, "%s\n", qPrintable(history.message()));
        return 1;
    }
    QRandomGenerator choices(seed + 1);
    Round round(std::make_unique<SeededRandom>(seed));
    Trainer trainer(round);
    QObject::connect(&trainer, &Trainer::settled, &history, &HandHistory::record);
    for (int session = 0; session < sessions; ++session) {
        // Sessions are named by when they began, to the millisecond.
        QThread::msleep(2);
        trainer.resetSession();
        const double slips = 0.4 / (session + 1);
        const qint32 bet = Bets[session % std::size(Bets)];
        for (int hand = 0; hand < hands; ++hand) {
            round.setBet(std::min(bet, round.largestBet()));
            round.pressDeal();
            const unsigned holds = chooseHolds(trainer, slips, choices);
            for (int slot = 0; slot < HandSize; ++slot) {
                if (holds & (1u << slot))
                    round.toggleHold(slot);
            }
            if (!trainer.confirmDraw(holds) && choices.bounded(2)) {
                const unsigned best = trainer.judgement()->best();
                for (int slot = 0; slot < HandSize; ++slot) {
                    if ((holds ^ best) & (1u << slot))
                        round.toggleHold(slot);
                }
            }
            round.pressDeal();
            round.pressDeal();
        }
    }
    std::printf("%lld hands in %s\n", history.stats().value.hands, qPrintable(history.fileName()));
    return 0;
}
