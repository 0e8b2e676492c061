// Keys of the table: the hold advice and holding cards by number.
#include "analysis/deckcards.h"
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
            hint.show(handCards(deck), undealtCards(deck), heldMask());
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
