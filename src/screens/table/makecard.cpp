// Composing a card face from scaled copies of the prepared glyphs, court
// panels and suit symbols. Every position follows from the sizes of the
// boxes, read afresh on each call, so a card box of another size gets a
// face laid out in proportion. The review and the drill draw their cards
// here too, on boxes of their own.
#include "screens/table/cards.h"

#include "render/pipplaces.h"

namespace {

// The distance of the court panel and the corner suits from the indices.
constexpr int Offset = 5;
// The ace's one large symbol, at the size of the source picture.
constexpr int AceSize = 120;

} // namespace

void cards::makecard(int rank, int suit, int card)
{
    paintFace(Picturecard[card], rank, suit);
}

void cards::paintFace(PictureBox *box, int rank, int suit) const
{
    box->Cls();

    const float W = box->ScaleWidth();
    const float H = box->ScaleHeight();
    const float gw = Picturenum(0)->ScaleWidth();
    const float gh = Picturenum(0)->ScaleHeight();
    const float pw = Picturesuit(0)->width() / 4.0f;
    const float ph = Picturesuit(0)->height() / 4.0f;
    const QImage &suitImage = Picturesuit(suit)->Image();
    const QRectF wholeSuit(0, 0, 4 * pw, 4 * ph);

    // Corner indices; the two-character "10" is squeezed to half width.
    const QImage &glyph = Picturenum(rank)->Image();
    const QRectF wholeGlyph(0, 0, gw, gh);
    const float d = rank == Ten ? gw / 2 : gw;
    box->PaintPicture(glyph, 0, 0, d, gh, wholeGlyph);
    box->PaintPicture(glyph, W, H, -d, -gh, wholeGlyph);

    if (rank < Jack) {
        for (const QRectF &place : pipPlaces(rank, QSizeF(W, H), QSizeF(pw, ph)))
            box->PaintPicture(suitImage, place.x(), place.y(), place.width(), place.height(), wholeSuit);
    } else if (rank < Ace) {
        const QImage &panel = Pictureface(4 * (rank - Jack) + suit)->Image();
        box->PaintPicture(panel, (pw + Offset) / 2, (2 * ph + Offset) / 2, W - pw - Offset,
                          H - 2 * ph - Offset);
    } else {
        box->PaintPicture(suitImage, (W - AceSize) / 2, (H - AceSize) / 2, AceSize, AceSize,
                          QRectF(0, 0, AceSize, AceSize));
    }

    // Corner suit symbols, over everything else.
    box->PaintPicture(suitImage, 0, gh - Offset, pw / 2, ph / 2, wholeSuit);
    box->PaintPicture(suitImage, W, H - gh + Offset, -pw / 2, -ph / 2, wholeSuit);
}

PictureBox *cards::makeCardBox(QWidget *parent) const
{
    const PictureBox *model = Picturecard[0];
    auto *box = new PictureBox(parent, model->borderWidth());
    box->setFixedSize(model->size());
    box->setBackColor(model->BackColor());
    box->setForeColor(model->ForeColor());
    return box;
}
