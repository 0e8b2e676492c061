#pragma once

#include "platform/vectorpicture.h"

#include <QImage>

// The card back: a field of yellow and black triangles in an 8 x 8 pattern,
// laid in screen pixels from the box's top-left corner, framed by a blue
// border that scales with the box.
class CardBackPicture final : public VectorPicture
{
public:
    void render(QPainter &painter, const QRectF &area) const override;

    // The pattern tile, one screen pixel per pattern cell.
    static QImage patternTile();
};
