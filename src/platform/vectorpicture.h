#pragma once

#include <QRectF>

class QPainter;

// A picture that a picture box shows under whatever is drawn on it. It is
// rendered afresh into the box's inner area whenever the box is cleared, so
// it always fits the box it is shown in.
class VectorPicture
{
public:
    virtual ~VectorPicture() = default;
    virtual void render(QPainter &painter, const QRectF &area) const = 0;
};
