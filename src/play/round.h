#pragma once

#include "model/deck.h"
#include "model/paytable.h"
#include "model/randomsource.h"

#include <QObject>
#include <QString>

#include <array>
#include <memory>

// What the money comes to after a draw.
struct Settlement
{
    qint32 credits = 0;
    qint32 winnings = 0;
    bool refilled = false; // the credits ran out and a fresh stake was given
};

inline constexpr qint32 FreshStake = 500;

// Charges the bet, pays bet times the hand's pay and refills credits that
// reach 0 or less to a fresh stake. Credits stop at the largest 32-bit value
// rather than wrap.
Settlement settle(qint32 credits, qint32 bet, int pay);

// The game itself, with no window: the deck, the three-press cycle of DEAL,
// the holds, the bet, the credits and the winnings. Every rule of play lives
// here; the table only shows what the round reports and forwards what the
// player does. Whatever happens is told through the signals below, in the
// order it happens, so that a window, a trainer or a test can follow a
// round without looking into it.
class Round : public QObject
{
    Q_OBJECT

public:
    // The phase is the number of DEAL presses so far, modulo 3.
    enum class Phase { BetweenRounds, HoldsOpen, Scored };
    // The sound cue of each move.
    enum class Cue { Deal, Draw, TurnDown, Hold };
    struct CueSound
    {
        QString fileName;
        int times;
    };
    static CueSound soundOf(Cue cue);

    // The bet bar holds 16-bit values, so the largest bet it can offer.
    static constexpr qint32 LargestBet = 32767;

    explicit Round(std::unique_ptr<RandomSource> random, QObject *parent = nullptr);
    ~Round() override;

    // Seeds the card draws from the clock.
    void randomize();

    Phase phase() const { return Phase(m_presscount % 3); }
    quint64 presscount() const { return m_presscount; }
    const Deck &deck() const { return m_deck; }
    // The five cards, slot 1 first.
    std::array<CardCode, HandSize> hand() const;
    // Slots are numbered 1..5; bit i of the mask is slot i + 1.
    bool isHeld(int slot) const { return m_heldMask & (1u << (slot - 1)); }
    unsigned heldMask() const { return m_heldMask; }
    // The pays of this game.
    static const PayTable &payTable();

    qint32 credits() const { return m_credits; }
    qint32 bet() const { return m_bet; }
    qint32 winnings() const { return m_winnings; }
    // The bet may run from 1 up to the credits, as far as the bar reaches.
    qint32 largestBet() const { return std::min(m_credits, LargestBet); }

    // A press of DEAL: deals a new hand, draws and pays, or turns the cards
    // down, by phase.
    void pressDeal();
    // Holds or frees the card in slot index + 1; only while holds are open.
    // Returns whether the hold changed.
    bool toggleHold(int index);
    // SHUFFLE: forgets every dealt card, between rounds only, and leaves the
    // count of cards since the last automatic reshuffle as it is.
    bool pressShuffle();
    // Sets the bet, kept within 1..largestBet(); between rounds only, so
    // that a hand is paid at the bet it was dealt at. Returns whether the
    // bet may be set now.
    bool setBet(qint32 bet);

signals:
    void cue(Round::Cue cue);
    void shuffled();
    void dealt();
    void holdChanged(int index, bool held);
    // The draw is done and paid: the final hand's outcome and the winnings.
    void drawn(Outcome outcome, qint32 winnings);
    void creditsRefilled(qint32 credits);
    void turnedDown();
    void betChanged(qint32 bet);

private:
    void dealNewHand();
    void drawAndPay();
    void turnDown();
    void shuffle();
    void deal();
    void calculatepayoff();

    std::unique_ptr<RandomSource> m_random;
    Deck m_deck;
    quint64 m_presscount = 0;
    unsigned m_heldMask = 0;
    qint32 m_credits = FreshStake;
    qint32 m_bet = 1;
    qint32 m_winnings = 0;
};
