#include "render/pipplaces.h"

#include <array>

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

} // namespace

std::vector<QRectF> pipPlaces(int rank, QSizeF card, QSizeF pip)
{
    // Worked out in float, as the faces always were, so that every pip
    // lands on the same pixels.
    const float W = float(card.width());
    const float H = float(card.height());
    const float pw = float(pip.width());
    const float ph = float(pip.height());
    const std::array<float, 3> columns = {W / 4, W / 2, 3 * W / 4};

    std::vector<QRectF> places;
    for (const Pip &layout : PipLayouts[rank]) {
        const float c = columns[layout.column];
        const float edge = layout.edge(H, ph);
        if (layout.turn == Upright)
            places.emplace_back(c - pw / 2, edge, pw, ph);
        else
            places.emplace_back(c + pw / 2, edge, -pw, -ph);
    }
    return places;
}
