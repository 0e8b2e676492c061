// Feeds arbitrary column values to the decoding of a stored hand's row, as
// another program or a damaged disk may leave them, and checks that a row
// is either refused with nothing of it kept, or gives a hand the game can
// show that stores back as the very row it came from.
//
// The bytes: the row id, eight bytes; then each column in the order of
// HandRow, a byte whose lowest bit says whether the column holds a value,
// and eight bytes of it, little-endian, a REAL's as its bits. A column
// short of its nine bytes is empty.
#include "history/historysql.h"
#include "model/names.h"

#include <QtEndian>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdlib>

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

// Reads the columns one after another.
class Columns
{
public:
    Columns(const std::uint8_t *data, std::size_t size) : m_data(data), m_size(size) {}

    qint64 id()
    {
        if (m_at + 8 > m_size)
            return 0;
        m_at += 8;
        return qFromLittleEndian<qint64>(m_data);
    }
    // A column's eight bytes are read whether or not it holds them, so
    // that every column keeps its place.
    std::optional<qint64> whole()
    {
        if (m_at + 9 > m_size)
            return std::nullopt;
        const bool present = m_data[m_at] & 1;
        const qint64 value = qFromLittleEndian<qint64>(m_data + m_at + 1);
        m_at += 9;
        return present ? std::optional<qint64>(value) : std::nullopt;
    }
    std::optional<double> real()
    {
        const std::optional<qint64> bits = whole();
        return bits ? std::optional<double>(std::bit_cast<double>(*bits)) : std::nullopt;
    }

private:
    const std::uint8_t *m_data;
    std::size_t m_size;
    std::size_t m_at = 0;
};

HandRow rowOf(const std::uint8_t *data, std::size_t size)
{
    Columns columns(data, size);
    HandRow row;
    row.id = columns.id();
    for (std::optional<qint64> *column : {&row.played, &row.session, &row.bet, &row.dealt, &row.gone, &row.held, &row.best})
        *column = columns.whole();
    row.heldCredits = columns.real();
    row.bestCredits = columns.real();
    for (std::optional<qint64> *column : {&row.final, &row.outcome, &row.winnings, &row.credits, &row.warned})
        *column = columns.whole();
    row.firstHeld = columns.whole();
    row.firstHeldNull = !row.firstHeld;
    return row;
}

CardSet cardsOf(const std::array<CardCode, HandSize> &cards)
{
    CardSet set = 0;
    for (const CardCode &card : cards) {
        check(card.rank >= 0 && card.rank < RankCount && card.suit >= 0 && card.suit < SuitCount);
        set |= cardBit(card);
        // The name the list and the export show is a card's, never a NUL.
        const QString name = shortCardName(card);
        check(name.size() == 2 && !name.contains(QChar(0)));
    }
    return set;
}

void checkReadable(const HandRow &row, const HandRecord &hand)
{
    const CardSet dealt = cardsOf(hand.dealt);
    check(std::popcount(dealt) == HandSize && std::popcount(cardsOf(hand.final)) == HandSize);
    check(!(dealt & hand.goneAtDeal) && std::popcount(hand.deckAtDeal()) >= HandSize);
    check(hand.held < HoldCount && hand.bestHold < HoldCount && hand.outcome >= 0 && hand.outcome < OutcomeCount);
    check(std::isfinite(hand.heldCredits) && std::isfinite(hand.bestCredits) && hand.bet >= 1);

    // Stored again, the hand gives back every column it was read from.
    check(HistorySql::packCards(hand.dealt) == *row.dealt && HistorySql::packCards(hand.final) == *row.final);
    check(qint64(hand.goneAtDeal) == *row.gone && hand.held == *row.held && hand.bestHold == *row.best);
    check(hand.playedAt == *row.played && hand.session == *row.session && hand.bet == *row.bet);
    check(hand.heldCredits == *row.heldCredits && hand.bestCredits == *row.bestCredits);
    check(hand.outcome == *row.outcome && hand.winnings == *row.winnings && hand.credits == *row.credits);
    check(int(hand.warned) == *row.warned);
    check(hand.firstHeld == row.firstHeld);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const HandRow row = rowOf(data, size);
    const StoredHand stored = HistorySql::decodeHand(row);
    check(stored.id == row.id);
    if (stored.readable)
        checkReadable(row, stored.record);
    else
        check(stored.record == HandRecord{});
    return 0;
}
