#pragma once

#include "vectorpicture.h"

#include <QSvgRenderer>

// An SVG drawing whose view box is stretched to fill the whole area, x and y
// scaled independently.
class SvgPicture final : public VectorPicture
{
public:
    explicit SvgPicture(const QString &fileName);

    bool isValid() const { return m_renderer.isValid(); }
    void render(QPainter &painter, const QRectF &area) const override;

private:
    mutable QSvgRenderer m_renderer;
};
