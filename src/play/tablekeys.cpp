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
    const bool holdsOpen = round.phase() == Round::Phase::HoldsOpen;
    if (KeyCode >= Qt::Key_1 && KeyCode <= Qt::Key_5) {
        Commandhold_Click(KeyCode - Qt::Key_1);
        return true;
    }
    if (KeyCode == Qt::Key_H) {
        if (hint.isShown())
            hint.label()->hide();
        else if (holdsOpen)
            hint.show(round.hand(), cardsLeft(round.deck()), round.heldMask());
        return true;
    }
    return false;
}
