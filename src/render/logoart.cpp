#include "logoart.h"

#include <QHash>
#include <QPainter>
#include <QPainterPath>

#include <array>

namespace {

using Glyph = std::array<const char *, 7>;

// A block letter on a 5 x 7 grid; each # becomes one square of the letter.
const QHash<QChar, Glyph> Letters = {
    {QLatin1Char('A'), {" ### ", "#   #", "#   #", "#####", "#   #", "#   #", "#   #"}},
    {QLatin1Char('C'), {" ####", "#    ", "#    ", "#    ", "#    ", "#    ", " ####"}},
    {QLatin1Char('D'), {"#### ", "#   #", "#   #", "#   #", "#   #", "#   #", "#### "}},
    {QLatin1Char('E'), {"#####", "#    ", "#    ", "#### ", "#    ", "#    ", "#####"}},
    {QLatin1Char('F'), {"#####", "#    ", "#    ", "#### ", "#    ", "#    ", "#    "}},
    {QLatin1Char('I'), {"#####", "  #  ", "  #  ", "  #  ", "  #  ", "  #  ", "#####"}},
    {QLatin1Char('K'), {"#   #", "#  # ", "# #  ", "##   ", "# #  ", "#  # ", "#   #"}},
    {QLatin1Char('L'), {"#    ", "#    ", "#    ", "#    ", "#    ", "#    ", "#####"}},
    {QLatin1Char('O'), {" ### ", "#   #", "#   #", "#   #", "#   #", "#   #", " ### "}},
    {QLatin1Char('P'), {"#### ", "#   #", "#   #", "#### ", "#    ", "#    ", "#    "}},
    {QLatin1Char('R'), {"#### ", "#   #", "#   #", "#### ", "# #  ", "#  # ", "#   #"}},
    {QLatin1Char('S'), {" ####", "#    ", "#    ", " ### ", "    #", "    #", "#### "}},
    {QLatin1Char('V'), {"#   #", "#   #", "#   #", "#   #", "#   #", " # # ", "  #  "}},
    {QLatin1Char('W'), {"#   #", "#   #", "#   #", "# # #", "# # #", "## ##", "#   #"}},
};

// Each group of three lines fills a band of the picture's height.
struct LineGroup
{
    std::array<const char *, 3> words;
    qreal top;        // fraction of the height
    qreal bottom;     // fraction of the height
    QColor faceGrey;  // the grey of the letters' chequered faces
};

const LineGroup Groups[2] = {
    {{"FIVE", "CARD", "DRAW"}, 0.04, 0.40, QColor(187, 187, 187)},
    {{"VIDEO", "POKER", "CLASSIC"}, 0.40, 0.83, QColor(119, 119, 119)},
};

const QColor BrickRed(178, 34, 34);
const QColor Tan(186, 147, 112);
const QColor LightBlue(153, 153, 255);
const QColor DarkBlue(0, 0, 153);
const QColor ArchBlue(0, 0, 255);

// A two-colour 8 x 8 tile; `first` where the rule holds, `second` elsewhere.
template <typename Rule>
QBrush pattern(const QColor &first, const QColor &second, qreal ratio, Rule rule)
{
    QImage tile(8, 8, QImage::Format_RGB32);
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x)
            tile.setPixelColor(x, y, rule(x, y) ? first : second);
    }
    // One cell per device pixel, whatever the screen's pixel ratio.
    tile.setDevicePixelRatio(ratio);
    return QBrush(tile);
}

QBrush bricks(qreal ratio)
{
    return pattern(Qt::white, BrickRed, ratio, [](int x, int y) {
        return y % 4 == 0 || x == (y < 4 ? 0 : 4);
    });
}

QBrush diagonals(qreal ratio)
{
    return pattern(ArchBlue, Qt::black, ratio, [](int x, int y) { return (x + y) % 8 < 3; });
}

QBrush checkerboard(const QColor &grey, qreal ratio)
{
    return pattern(LightBlue, grey, ratio, [](int x, int y) { return (x + y) % 2 == 0; });
}

QPainterPath wordPath(const char *word, const QPointF &origin, qreal cell)
{
    QPainterPath path;
    qreal left = origin.x();
    for (const char *c = word; *c; ++c, left += 6 * cell) {
        const Glyph &glyph = Letters.value(QLatin1Char(*c));
        for (int row = 0; row < 7; ++row) {
            for (int column = 0; column < 5 && glyph[row][column]; ++column) {
                if (glyph[row][column] == '#')
                    path.addRect(QRectF(left + column * cell, origin.y() + row * cell, cell, cell));
            }
        }
    }
    return path.simplified();
}

QPolygonF arch(const QSizeF &size)
{
    const qreal left = 0.28 * size.width();
    const qreal right = 0.73 * size.width();
    const qreal shoulder = 0.62 * size.height();
    const qreal crown = 0.50 * size.height();
    QPolygonF shape;
    shape << QPointF(left, size.height()) << QPointF(left, shoulder);
    constexpr int Steps = 16;
    for (int i = 1; i < Steps; ++i) {
        const qreal angle = M_PI * i / Steps;
        shape << QPointF((left + right) / 2 - std::cos(angle) * (right - left) / 2,
                         shoulder - std::sin(angle) * (shoulder - crown));
    }
    shape << QPointF(right, shoulder) << QPointF(right, size.height());
    return shape;
}

void drawGroup(QPainter &painter, const LineGroup &group, const QSizeF &size, qreal ratio)
{
    const qreal slot = (group.bottom - group.top) * size.height() / 3;
    const qreal cell = slot * 0.8 / 7;
    QList<QPainterPath> faces;
    for (std::size_t line = 0; line < 3; ++line) {
        const char *word = group.words[line];
        const qreal width = (6 * qstrlen(word) - 1) * cell;
        const QPointF origin((size.width() - width) / 2, group.top * size.height() + line * slot + slot * 0.1);
        faces.append(wordPath(word, origin, cell));
    }
    // All shadows of the group first, then all faces over them.
    const QPointF shadowOffset(cell * 0.45, cell * 0.45);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::black);
    for (const QPainterPath &face : faces)
        painter.drawPath(face.translated(shadowOffset));
    painter.setPen(QPen(DarkBlue, 1));
    painter.setBrush(checkerboard(group.faceGrey, ratio));
    for (const QPainterPath &face : faces)
        painter.drawPath(face);
}

} // namespace

namespace LogoArt {

QImage render(const QSize &size, qreal devicePixelRatio)
{
    QImage image(size * devicePixelRatio, QImage::Format_RGB32);
    image.setDevicePixelRatio(devicePixelRatio);
    QPainter painter(&image);
    const QRectF area(QPointF(0, 0), QSizeF(size));

    painter.setPen(QPen(Qt::white, 1));
    painter.setBrush(bricks(devicePixelRatio));
    painter.drawRect(area.adjusted(0.5, 0.5, -0.5, -0.5));

    painter.setPen(QPen(Tan, 2));
    painter.setBrush(diagonals(devicePixelRatio));
    painter.drawPolygon(arch(area.size()));

    for (const LineGroup &group : Groups)
        drawGroup(painter, group, area.size(), devicePixelRatio);
    return image;
}

} // namespace LogoArt
