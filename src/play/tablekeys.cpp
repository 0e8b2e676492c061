// Keys of the table: the hold advice and holding cards by number.
#include "screens/cards.h"

#include <QKeyEvent>

void cards::keyPressEvent(QKeyEvent *event)
{
    if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)
        || !Form_KeyDown(event->key()))
        QWidget::keyPressEvent(event);
}

bool cards::Form_KeyDown(int KeyCode)
{
    // Only between the deal and the draw, while the HOLD buttons are up.
    const bool holdsOpen = !Commandhold[0]->isHidden();
    if (KeyCode >= Qt::Key_1 && KeyCode <= Qt::Key_5) {
        const int index = KeyCode - Qt::Key_1;
        if (holdsOpen)
            Commandhold_Click(index);
        return true;
    }
    if (KeyCode == Qt::Key_H) {
        if (hint.isShown()) {
            hint.label()->hide();
        } else if (holdsOpen) {
            CardSet inDeck = 0;
            for (int rank = 0; rank < RankCount; ++rank) {
                for (int suit = 0; suit < SuitCount; ++suit) {
                    if (!deck.dealt[std::size_t(rank)][std::size_t(suit)])
                        inDeck |= cardBit({qint16(rank), qint16(suit)});
                }
            }
            std::array<CardCode, HandSize> cardsInHand;
            std::copy(deck.hand.begin() + 1, deck.hand.end(), cardsInHand.begin());
            hint.show(cardsInHand, inDeck, heldMask());
        }
        return true;
    }
    return false;
}

unsigned cards::heldMask() const
{
    unsigned mask = 0;
    for (int slot = 1; slot <= HandSize; ++slot)
        mask |= isHeld(slot) ? 1u << (slot - 1) : 0u;
    return mask;
}
