#include "picturebox.h"

#include "vectorpicture.h"

#include <QFontMetricsF>
#include <QMouseEvent>
#include <QPainter>

#include <cmath>

namespace {

// The last picture rendered and what for. Boxes that show the same picture
// at the same size on the same background, as the table's five card backs
// do, share one image until one of them is drawn on, which copies it.
struct RenderedPicture
{
    std::weak_ptr<const VectorPicture> picture;
    QSize size;
    qreal ratio = 0;
    QColor background;
    QImage image;

    bool isFor(const std::shared_ptr<const VectorPicture> &other, QSize otherSize, qreal otherRatio,
               const QColor &otherBackground) const
    {
        return picture.lock() == other && size == otherSize && ratio == otherRatio
               && background == otherBackground;
    }
};

QImage renderedPicture(const std::shared_ptr<const VectorPicture> &picture, QSize logical, qreal ratio,
                       const QColor &background)
{
    static RenderedPicture last;
    if (!last.isFor(picture, logical, ratio, background)) {
        QImage image(logical * ratio, QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(ratio);
        image.fill(background);
        QPainter painter(&image);
        picture->render(painter, QRectF(QPointF(0, 0), logical));
        painter.end();
        last = {picture, logical, ratio, background, image};
    }
    return last.image;
}

} // namespace

int pixelsForPoints(qreal points)
{
    return qRound(points * 96.0 / 72.0);
}

PictureBox::PictureBox(QWidget *parent, int borderWidth)
    : QWidget(parent)
    , m_borderWidth(borderWidth)
    , m_font(font())
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    resetImage();
}

void PictureBox::setBackColor(const QColor &color)
{
    m_backColor = color;
    Cls();
}

void PictureBox::setFontSize(qreal points)
{
    m_fontPoints = points;
    m_font.setPixelSize(pixelsForPoints(points));
}

void PictureBox::setDrawingFont(const QFont &font, qreal points)
{
    m_font = font;
    setFontSize(points);
}

void PictureBox::setPicture(std::shared_ptr<const VectorPicture> picture)
{
    m_picture = std::move(picture);
    resetImage();
}

void PictureBox::Cls()
{
    resetImage();
    m_currentX = 0;
    m_currentY = 0;
}

const QImage &PictureBox::Image() const
{
    return canvas();
}

QImage &PictureBox::canvas() const
{
    const QSize logical(qMax(ScaleWidth(), 0), qMax(ScaleHeight(), 0));
    if (m_image.isNull() || m_image.deviceIndependentSize().toSize() != logical)
        makeImage(logical);
    return m_image;
}

// The image is made again on its next use rather than at once, so that a
// box given a picture and then another, or one that is never shown nor
// read, does not render for nothing.
void PictureBox::resetImage()
{
    m_image = QImage();
    update();
}

void PictureBox::makeImage(QSize logical) const
{
    const qreal ratio = devicePixelRatioF();
    if (m_picture && !logical.isEmpty()) {
        m_image = renderedPicture(m_picture, logical, ratio, m_backColor);
        return;
    }
    m_image = QImage(logical * ratio, QImage::Format_ARGB32_Premultiplied);
    m_image.setDevicePixelRatio(ratio);
    m_image.fill(m_backColor);
}

void PictureBox::Print(const QString &text)
{
    const QFontMetricsF metrics(m_font);
    {
        QPainter painter(&canvas());
        painter.setFont(m_font);
        painter.setPen(m_foreColor);
        painter.drawText(QPointF(m_currentX, m_currentY + metrics.ascent()), text);
    }
    m_currentX = 0;
    m_currentY += metrics.height();
    update();
}

void PictureBox::PaintPicture(const QImage &source, qreal x, qreal y, qreal width, qreal height)
{
    const qreal ratio = source.devicePixelRatio();
    PaintPicture(source, x, y, width, height,
                 QRectF(0, 0, source.width() / ratio, source.height() / ratio));
}

void PictureBox::PaintPicture(const QImage &source, qreal x, qreal y, qreal width, qreal height,
                              const QRectF &sourceRect)
{
    const qreal sourceRatio = source.devicePixelRatio();
    QRectF sourcePixels(sourceRect.topLeft() * sourceRatio, sourceRect.size() * sourceRatio);
    // Shrinking by drawing alone samples a few source pixels and drops the
    // rest, unevenly for mirrored copies; an averaged scale first keeps small
    // copies faithful and mirrored ones true mirror images.
    QImage &image = canvas();
    const QSize target(qRound(std::abs(width) * image.devicePixelRatio()),
                       qRound(std::abs(height) * image.devicePixelRatio()));
    QImage shrunk;
    if (target.width() > 0 && target.height() > 0
        && (target.width() < sourcePixels.width() || target.height() < sourcePixels.height())) {
        shrunk = source.copy(sourcePixels.toAlignedRect())
                     .scaled(target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        sourcePixels = QRectF(QPointF(0, 0), target);
    }
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        // A negative size mirrors along that axis, with (x, y) as the far edge.
        painter.translate(x, y);
        painter.scale(width < 0 ? -1 : 1, height < 0 ? -1 : 1);
        painter.drawImage(QRectF(0, 0, std::abs(width), std::abs(height)),
                          shrunk.isNull() ? source : shrunk, sourcePixels);
    }
    update();
}

void PictureBox::Line(QPointF p1, QPointF p2, const QColor &color)
{
    const qreal half = (m_drawWidth - 1) / 2.0;
    const QRectF outer(QPointF(std::min(p1.x(), p2.x()) - half, std::min(p1.y(), p2.y()) - half),
                       QPointF(std::max(p1.x(), p2.x()) + half + 1,
                               std::max(p1.y(), p2.y()) + half + 1));
    const qreal w = m_drawWidth;
    {
        QPainter painter(&canvas());
        painter.fillRect(QRectF(outer.left(), outer.top(), outer.width(), w), color);
        painter.fillRect(QRectF(outer.left(), outer.bottom() - w, outer.width(), w), color);
        painter.fillRect(QRectF(outer.left(), outer.top(), w, outer.height()), color);
        painter.fillRect(QRectF(outer.right() - w, outer.top(), w, outer.height()), color);
    }
    update();
}

PictureBox *PictureBox::cloneHidden() const
{
    auto *copy = new PictureBox(parentWidget(), m_borderWidth);
    copy->hide();
    copy->setFont(font());
    copy->setGeometry(geometry());
    copy->m_foreColor = m_foreColor;
    copy->m_drawWidth = m_drawWidth;
    copy->m_font = m_font;
    copy->m_fontPoints = m_fontPoints;
    copy->m_backColor = m_backColor;
    copy->m_picture = m_picture;
    copy->resetImage();
    return copy;
}

void PictureBox::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    if (m_borderWidth > 0) {
        // A sunken edge: dark above and left, light below and right.
        const QRect r = rect();
        painter.fillRect(r, palette().color(QPalette::Light));
        painter.fillRect(QRect(r.left(), r.top(), r.width() - 1, 1), palette().color(QPalette::Mid));
        painter.fillRect(QRect(r.left(), r.top(), 1, r.height() - 1), palette().color(QPalette::Mid));
        painter.fillRect(r.adjusted(1, 1, -1, -1), palette().color(QPalette::Midlight));
        painter.fillRect(QRect(r.left() + 1, r.top() + 1, r.width() - 2, m_borderWidth - 1),
                         palette().color(QPalette::Shadow));
        painter.fillRect(QRect(r.left() + 1, r.top() + 1, m_borderWidth - 1, r.height() - 2),
                         palette().color(QPalette::Shadow));
    }
    painter.drawImage(QPointF(m_borderWidth, m_borderWidth), canvas());
}

void PictureBox::mousePressEvent(QMouseEvent *event)
{
    m_pressed = event->button() == Qt::LeftButton;
}

void PictureBox::mouseReleaseEvent(QMouseEvent *event)
{
    const bool click = m_pressed && event->button() == Qt::LeftButton
                       && rect().contains(event->position().toPoint());
    m_pressed = false;
    if (click)
        emit clicked();
}
