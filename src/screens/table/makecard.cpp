// Composing a card face from scaled copies of the prepared glyphs, court
// panels and suit symbols. Every position follows from the sizes of the
// boxes, read afresh on each call, so a card box of another size gets a
// face laid out in proportion. On a table drawn smaller the indices, the
// symbols and the court panels are drawn as much smaller. The review and the drill draw their cards
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
    const auto scale = float(m_scale);
    const float sourceGw = Picturenum(0)->ScaleWidth();
    const float sourceGh = Picturenum(0)->ScaleHeight();
    const float sourcePw = Picturesuit(0)->width() / 4.0f;
    const float sourcePh = Picturesuit(0)->height() / 4.0f;
    const float gw = sourceGw * scale;
    const float gh = sourceGh * scale;
    const float pw = sourcePw * scale;
    const float ph = sourcePh * scale;
    const float offset = Offset * scale;
    const QImage &suitImage = Picturesuit(suit)->Image();
    const QRectF wholeSuit(0, 0, 4 * sourcePw, 4 * sourcePh);

    // Corner indices; the two-character "10" is squeezed to half width.
    const QImage &glyph = Picturenum(rank)->Image();
    const QRectF wholeGlyph(0, 0, sourceGw, sourceGh);
    const float d = rank == Ten ? gw / 2 : gw;
    box->PaintPicture(glyph, 0, 0, d, gh, wholeGlyph);
    box->PaintPicture(glyph, W, H, -d, -gh, wholeGlyph);

    if (rank < Jack) {
        for (const QRectF &place : pipPlaces(rank, QSizeF(W, H), QSizeF(pw, ph)))
            box->PaintPicture(suitImage, place.x(), place.y(), place.width(), place.height(), wholeSuit);
    } else if (rank < Ace) {
        const QImage &panel = Pictureface(4 * (rank - Jack) + suit)->Image();
        box->PaintPicture(panel, (pw + offset) / 2, (2 * ph + offset) / 2, W - pw - offset,
                          H - 2 * ph - offset);
    } else {
        const float ace = AceSize * scale;
        box->PaintPicture(suitImage, (W - ace) / 2, (H - ace) / 2, ace, ace,
                          QRectF(0, 0, AceSize, AceSize));
    }

    // Corner suit symbols, over everything else.
    box->PaintPicture(suitImage, 0, gh - offset, pw / 2, ph / 2, wholeSuit);
    box->PaintPicture(suitImage, W, H - gh + offset, -pw / 2, -ph / 2, wholeSuit);
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
