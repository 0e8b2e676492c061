#include "cardback.h"

#include <QPainter>

namespace {

// The drawing's own coordinates: its frame and the patterned field in it.
constexpr qreal FrameLeft = 323;
constexpr qreal FrameWidth = 377;
constexpr qreal FrameHeight = 767;
constexpr qreal BorderWidth = 6;
const QRectF Field(QPointF(326, 3), QPointF(698, 765));

const QColor BackBlue(0, 0, 255);
const QColor BackYellow(255, 255, 0);
const QColor BackBlack(0, 0, 0);

// Y is yellow, a point black: rows of yellow triangles pointing down and
// black triangles pointing up.
constexpr const char *PatternRows[8] = {
    "YYYYYYYY",
    "..YYYYY.",
    "...YYY..",
    "....Y...",
    "YYYYYYYY",
    "YYY...YY",
    "YY.....Y",
    "Y.......",
};

QRectF toArea(const QRectF &drawing, const QRectF &area)
{
    const qreal sx = area.width() / FrameWidth;
    const qreal sy = area.height() / FrameHeight;
    return QRectF(area.left() + (drawing.left() - FrameLeft) * sx, area.top() + drawing.top() * sy,
                  drawing.width() * sx, drawing.height() * sy);
}

} // namespace

QImage CardBackPicture::patternTile()
{
    QImage tile(8, 8, QImage::Format_RGB32);
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x)
            tile.setPixelColor(x, y, PatternRows[y][x] == 'Y' ? BackYellow : BackBlack);
    }
    return tile;
}

void CardBackPicture::render(QPainter &painter, const QRectF &area) const
{
    // The tile is marked with the target's pixel ratio, so one pattern cell
    // stays one device pixel however the box is scaled.
    QImage tile = patternTile();
    tile.setDevicePixelRatio(painter.device()->devicePixelRatioF());
    QBrush pattern(tile);
    painter.save();
    painter.setBrushOrigin(area.topLeft());
    painter.fillRect(toArea(Field, area), pattern);

    const QRectF frame(FrameLeft, 0, FrameWidth, FrameHeight);
    const QRectF bands[] = {
        {frame.left(), frame.top(), frame.width(), BorderWidth},
        {frame.left(), frame.bottom() - BorderWidth, frame.width(), BorderWidth},
        {frame.left(), frame.top(), BorderWidth, frame.height()},
        {frame.right() - BorderWidth, frame.top(), BorderWidth, frame.height()},
    };
    for (const QRectF &band : bands)
        painter.fillRect(toArea(band, area), BackBlue);
    painter.restore();
}
