#pragma once

class PictureBox;
class QWidget;

// Card faces for any window: the table composes them from its own glyphs,
// court panels and suit symbols, and hands this to the windows that show
// cards apart from it, such as the review and the drill.
class CardFaces
{
public:
    virtual ~CardFaces() = default;

    // Draws the face of a card on `box`; the box's background and border
    // are the caller's.
    virtual void paintFace(PictureBox *box, int rank, int suit) const = 0;
    // A box made like the table's card boxes, to paint faces on.
    virtual PictureBox *makeCardBox(QWidget *parent) const = 0;
};
