#pragma once

#include <QLabel>

class Trainer;

// The advice shown over the table on request between the deal and the
// draw, while the trainer's panel is closed: the cards the best hold keeps,
// for the deck as it really is now, and what that hold and the player's
// own are expected to return in credits, in the panel's words. It shows the
// trainer's analysis of the deal and works out none of its own. The table
// gives its label a place and a font size at the scale the table is drawn.
class HoldHint
{
public:
    HoldHint(QWidget *table, const Trainer &trainer);

    bool isShown() const { return !m_label->isHidden(); }
    // Shows the advice for the current deal.
    void show(unsigned playerHolds);
    // The player's holds changed while the advice is up.
    void update(unsigned playerHolds);
    void hide() { m_label->hide(); }

    QLabel *label() const { return m_label; }

private:
    QLabel *m_label;
    const Trainer &m_trainer;
};
