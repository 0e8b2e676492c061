#include "svgpicture.h"

#include <QDebug>
#include <QPainter>

SvgPicture::SvgPicture(const QString &fileName)
    : m_renderer(fileName)
{
    if (!m_renderer.isValid())
        qWarning("Cannot read the drawing %s", qPrintable(fileName));
}

void SvgPicture::render(QPainter &painter, const QRectF &area) const
{
    if (m_renderer.isValid()) {
        m_renderer.render(&painter, area);
        return;
    }
    // Missing art stays visible instead of silently blank: a red cross.
    painter.save();
    painter.setPen(QPen(Qt::red, 2));
    painter.drawLine(area.topLeft(), area.bottomRight());
    painter.drawLine(area.topRight(), area.bottomLeft());
    painter.restore();
}
