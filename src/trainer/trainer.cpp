#include "trainer.h"

#include "model/names.h"
#include "play/round.h"

#include <algorithm>
#include <numeric>

namespace {

// The game's own pays, but with every pair told apart, so that a result
// can be named "One pair" although it pays nothing.
const PayTable &namingTable()
{
    static const PayTable table = [] {
        PayTable naming = Round::payTable();
        naming.pairFromRank = Two;
        return naming;
    }();
    return table;
}

} // namespace

Trainer::Trainer(const Round &round, QObject *parent)
    : QObject(parent)
    , m_round(round)
{
    connect(&round, &Round::dealt, this, &Trainer::analyseDeal);
    connect(&round, &Round::drawn, this, &Trainer::checkDraw);
    connect(&round, &Round::creditsRefilled, this, [this] { m_refilled = true; });
    // Holds, the bet and shuffles change what the panel shows, not the
    // analysis of the deal.
    connect(&round, &Round::holdChanged, this, &Trainer::changed);
    connect(&round, &Round::betChanged, this, &Trainer::changed);
    connect(&round, &Round::shuffled, this, &Trainer::changed);
    connect(&round, &Round::turnedDown, this, &Trainer::changed);
}

std::array<unsigned, HoldCount> Trainer::rankedHolds() const
{
    std::array<unsigned, HoldCount> order;
    std::iota(order.begin(), order.end(), 0u);
    if (m_holds) {
        std::sort(order.begin(), order.end(),
                  [this](unsigned a, unsigned b) { return isBetterHold((*m_holds)[a], (*m_holds)[b]); });
    }
    return order;
}

double Trainer::expectedCredits(unsigned mask) const
{
    return m_holds ? (*m_holds)[mask].expectedReturn() * m_bet : 0.0;
}

void Trainer::resetSession()
{
    m_session = {};
    emit changed();
}

QString Trainer::outcomeName(Outcome outcome)
{
    return capitalised(categoryName(categoryOf(outcome), namingTable()));
}

void Trainer::analyseDeal()
{
    m_dealtHand = m_round.hand();
    m_holds = analyseHolds(m_dealtHand, m_round.deck().undealtCards(), Round::payTable());
    m_bet = m_round.bet();
    m_drawnOutcome.reset();
    m_mistake.reset();
    m_refilled = false;
    emit changed();
}

void Trainer::checkDraw(Outcome, qint32 winnings)
{
    m_drawnOutcome = evaluateHand(m_round.hand(), namingTable());
    const qint32 bet = m_bet;
    ++m_session.hands;
    m_session.creditsBet += bet;
    m_session.creditsWon += winnings;
    if (m_holds) {
        const HoldResult &yours = (*m_holds)[m_round.heldMask()];
        const unsigned best = bestHold(*m_holds);
        m_session.expectedYours += yours.expectedReturn() * bet;
        m_session.expectedBest += (*m_holds)[best].expectedReturn() * bet;
        if (compareReturns(yours, (*m_holds)[best]) < 0) {
            m_mistake = Mistake{best, ((*m_holds)[best].expectedReturn() - yours.expectedReturn()) * bet};
            ++m_session.mistakes;
            m_session.mistakeCost += m_mistake->cost;
        }
    }
    emit changed();
}
