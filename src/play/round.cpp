#include "round.h"

#include <algorithm>
#include <limits>

Settlement settle(qint32 credits, qint32 bet, int pay)
{
    const qint64 winnings = qint64(bet) * pay;
    const qint64 total = qint64(credits) - bet + winnings;
    const bool refilled = total <= 0;
    constexpr qint64 Largest = std::numeric_limits<qint32>::max();
    return {qint32(refilled ? FreshStake : std::min(total, Largest)), qint32(std::min(winnings, Largest)),
            refilled};
}

Round::CueSound Round::soundOf(Cue cue)
{
    switch (cue) {
    case Cue::Deal: return {QStringLiteral("chimes.wav"), 1};
    case Cue::Draw: return {QStringLiteral("clunk.wav"), 1};
    case Cue::TurnDown: return {QStringLiteral("clink.wav"), 2};
    case Cue::Hold: break;
    }
    return {QStringLiteral("tada.wav"), 1};
}

Round::Round(std::unique_ptr<RandomSource> random, QObject *parent)
    : QObject(parent)
    , m_random(std::move(random))
    , m_deck(*m_random)
{
}

Round::~Round() = default;

void Round::randomize()
{
    m_random->Randomize();
}

const PayTable &Round::payTable()
{
    static const PayTable table = PayTable::game();
    return table;
}

std::array<CardCode, HandSize> Round::hand() const
{
    return m_deck.handCards();
}

void Round::pressDeal()
{
    // The very first hand comes from a fresh deck.
    if (m_presscount == 0) {
        m_deck.reshuffle();
        emit shuffled();
    }
    const Phase pressed = phase();
    // Whoever hears of this press already sees the phase it leads to.
    ++m_presscount;
    switch (pressed) {
    case Phase::BetweenRounds:
        dealNewHand();
        break;
    case Phase::HoldsOpen:
        drawAndPay();
        break;
    case Phase::Scored:
        turnDown();
        break;
    }
}

void Round::dealNewHand()
{
    if (m_deck.reshuffleIfRunningLow())
        emit shuffled();
    emit cue(Cue::Deal);
    m_heldMask = 0;
    deal();
    emit dealt();
}

void Round::drawAndPay()
{
    emit cue(Cue::Draw);
    deal();
    calculatepayoff();
}

void Round::turnDown()
{
    emit turnedDown();
    emit cue(Cue::TurnDown);
}

void Round::calculatepayoff()
{
    const Outcome outcome = evaluateHand(hand(), payTable());
    const Settlement result = settle(m_credits, m_bet, payTable().pay(outcome));
    m_credits = result.credits;
    m_winnings = result.winnings;
    if (m_bet > largestBet()) {
        m_bet = largestBet();
        emit betChanged(m_bet);
    }
    if (result.refilled)
        emit creditsRefilled(m_credits);
    emit drawn(outcome, m_winnings);
}

bool Round::toggleHold(int index)
{
    if (phase() != Phase::HoldsOpen || index < 0 || index >= HandSize)
        return false;
    emit cue(Cue::Hold);
    m_heldMask ^= 1u << index;
    emit holdChanged(index, m_heldMask & (1u << index));
    return true;
}

bool Round::pressShuffle()
{
    if (phase() != Phase::BetweenRounds)
        return false;
    shuffle();
    return true;
}

bool Round::setBet(qint32 bet)
{
    if (phase() != Phase::BetweenRounds)
        return false;
    bet = std::clamp(bet, 1, largestBet());
    if (bet != m_bet) {
        m_bet = bet;
        emit betChanged(m_bet);
    }
    return true;
}

void Round::shuffle()
{
    m_deck.shuffle();
    emit shuffled();
}

void Round::deal()
{
    m_deck.deal([this](int slot) { return isHeld(slot); });
}
