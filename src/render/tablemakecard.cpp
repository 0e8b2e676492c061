// Composing a card face from scaled copies of the prepared glyphs, court
// panels and suit symbols. Every position follows from the sizes of the
// boxes, read afresh on each call, so a card box of another size gets a
// face laid out in proportion.
#include "screens/cards.h"

namespace {

enum Column { Left, Centre, Right };
enum Turn { Upright, Turned };

struct Pip
{
    Column column;
    Turn turn;
    // Edge position: the top edge of an upright pip, the bottom edge of a
    // turned one, as a function of the card height H and the pip height ph.
    float (*edge)(float H, float ph);
};

float top16(float H, float) { return H / 16; }
float bottom16(float H, float) { return 15 * H / 16; }
float middle(float H, float ph) { return H / 2 - ph / 2; }
float seventh(float H, float ph) { return 9 * H / 32 - ph / 4; }
float eighth(float H, float ph) { return 23 * H / 32 + ph / 4; }
float nineUpper(float H, float) { return 19 * H / 64; }
float nineLower(float H, float) { return 45 * H / 64; }
float tenTop(float H, float) { return 25 * H / 128; }
float tenBottom(float H, float) { return 103 * H / 128; }
float tenUpper(float H, float) { return 21 * H / 64; }
float tenLower(float H, float) { return 43 * H / 64; }

const std::vector<Pip> Corners = {
    {Left, Upright, top16}, {Right, Upright, top16}, {Left, Turned, bottom16}, {Right, Turned, bottom16}};

std::vector<Pip> operator+(std::vector<Pip> a, const std::vector<Pip> &b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

const std::vector<Pip> Six = Corners + std::vector<Pip>{{Left, Upright, middle}, {Right, Upright, middle}};

// The pips of ranks 0..8 (the two to the ten), in painting order.
const std::vector<Pip> PipLayouts[9] = {
    {{Centre, Upright, top16}, {Centre, Turned, bottom16}},
    {{Centre, Upright, top16}, {Centre, Upright, middle}, {Centre, Turned, bottom16}},
    Corners,
    Corners + std::vector<Pip>{{Centre, Upright, middle}},
    Six,
    Six + std::vector<Pip>{{Centre, Upright, seventh}},
    Six + std::vector<Pip>{{Centre, Upright, seventh}, {Centre, Turned, eighth}},
    Corners + std::vector<Pip>{{Left, Upright, nineUpper}, {Right, Upright, nineUpper},
                               {Left, Turned, nineLower}, {Right, Turned, nineLower},
                               {Centre, Upright, middle}},
    std::vector<Pip>{{Centre, Upright, tenTop}, {Centre, Turned, tenBottom}} + Corners
        + std::vector<Pip>{{Left, Upright, tenUpper}, {Right, Upright, tenUpper},
                           {Left, Turned, tenLower}, {Right, Turned, tenLower}},
};

constexpr int Offset = 5;
constexpr int AceSize = 120;

} // namespace

void cards::makecard(int rank, int suit, int card)
{
    PictureBox *box = Picturecard[card];
    box->Cls();

    const float W = box->ScaleWidth();
    const float H = box->ScaleHeight();
    const float gw = Picturenum[0]->ScaleWidth();
    const float gh = Picturenum[0]->ScaleHeight();
    const float pw = Picturesuit[0]->width() / 4.0f;
    const float ph = Picturesuit[0]->height() / 4.0f;
    const QImage &suitImage = Picturesuit[suit]->Image();
    const QRectF wholeSuit(0, 0, 4 * pw, 4 * ph);

    // Corner indices; the two-character "10" is squeezed to half width.
    const QImage &glyph = Picturenum[rank]->Image();
    const QRectF wholeGlyph(0, 0, gw, gh);
    const float d = rank == Ten ? gw / 2 : gw;
    box->PaintPicture(glyph, 0, 0, d, gh, wholeGlyph);
    box->PaintPicture(glyph, W, H, -d, -gh, wholeGlyph);

    if (rank < Jack) {
        const float columns[3] = {W / 4, W / 2, 3 * W / 4};
        for (const Pip &pip : PipLayouts[rank]) {
            const float c = columns[pip.column];
            const float edge = pip.edge(H, ph);
            if (pip.turn == Upright)
                box->PaintPicture(suitImage, c - pw / 2, edge, pw, ph, wholeSuit);
            else
                box->PaintPicture(suitImage, c + pw / 2, edge, -pw, -ph, wholeSuit);
        }
    } else if (rank < Ace) {
        const QImage &panel = Pictureface[4 * (rank - Jack) + suit]->Image();
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
