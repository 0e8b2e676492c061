// Settling the money after the draw. Credits and bet live only as text in
// their boxes, so they are read back from there.
#include "play/handscore.h"
#include "screens/cards.h"

#include <QLineEdit>
#include <QScrollBar>

#include <algorithm>

namespace {

// The bet scroll bar holds 16-bit values, so the largest bet it can offer.
constexpr qint32 LargestBet = 32767;

} // namespace

void cards::calculatepayoff()
{
    const qint32 bet = Text2->text().toInt();
    const qint32 credits = Text1->text().toInt();
    std::array<CardCode, HandSize> final;
    std::copy(deck.hand.begin() + 1, deck.hand.end(), final.begin());

    const Settlement result = settle(credits, bet, scoreHand(final).multiplier);
    Text1->setText(QString::number(result.credits));
    // A bet above the new credits is lowered with the minimum; the scroll
    // bar reports the change and the bet box follows.
    VScroll1->setMinimum(-std::min(result.credits, LargestBet));
    Text3->setText(QString::number(result.winnings));
}
