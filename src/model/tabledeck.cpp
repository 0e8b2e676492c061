// The table's own deck procedures: the deck itself knows nothing of buttons,
// so the table tells it which slots are held.
#include "screens/cards.h"

void cards::shuffle()
{
    deck.shuffle();
}

void cards::deal()
{
    deck.deal([this](int slot) { return isHeld(slot); });
}

// A slot is held exactly when its HOLD button is not in the window's colour.
bool cards::isHeld(int slot) const
{
    return Commandhold[slot - 1]->BackColor() != BackColor();
}
