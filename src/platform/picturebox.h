#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QWidget>

#include <memory>

class VectorPicture;

// A drawing surface with a persistent image: what is drawn on it stays while
// the box is hidden, and the image can be read back as the source of scaled
// copies. The image is made of the background colour, the assigned picture
// (if any) and everything drawn since the last clear, in that order.
class PictureBox : public QWidget
{
    Q_OBJECT

public:
    explicit PictureBox(QWidget *parent = nullptr, int borderWidth = 0);

    int borderWidth() const { return m_borderWidth; }
    int ScaleWidth() const { return width() - 2 * m_borderWidth; }
    int ScaleHeight() const { return height() - 2 * m_borderWidth; }

    QColor BackColor() const { return m_backColor; }
    void setBackColor(const QColor &color); // clears the box, like Cls
    QColor ForeColor() const { return m_foreColor; }
    void setForeColor(const QColor &color) { m_foreColor = color; }
    int DrawWidth() const { return m_drawWidth; }
    void setDrawWidth(int width) { m_drawWidth = width; }
    qreal FontSize() const { return m_fontPoints; }
    void setFontSize(qreal points);
    void setDrawingFont(const QFont &font, qreal points);

    qreal CurrentX() const { return m_currentX; }
    void setCurrentX(qreal x) { m_currentX = x; }
    qreal CurrentY() const { return m_currentY; }
    void setCurrentY(qreal y) { m_currentY = y; }

    const std::shared_ptr<const VectorPicture> &Picture() const { return m_picture; }
    void setPicture(std::shared_ptr<const VectorPicture> picture); // clears drawn content
    const QImage &Image() const;

    // Erases everything drawn; the background and the assigned picture remain.
    void Cls();
    // Draws the text with its top-left corner at (CurrentX, CurrentY), then
    // moves to the start of the next line.
    void Print(const QString &text);
    // Copies the whole source image scaled into the rectangle from (x, y)
    // extending width across and height down. A negative size extends the
    // other way from (x, y) and mirrors the copy along that axis.
    void PaintPicture(const QImage &source, qreal x, qreal y, qreal width, qreal height);
    // As above, copying only sourceRect, given in the source's logical pixels.
    void PaintPicture(const QImage &source, qreal x, qreal y, qreal width, qreal height,
                      const QRectF &sourceRect);
    // Outlines the box with corners p1 and p2 in DrawWidth, centred on its edges.
    void Line(QPointF p1, QPointF p2, const QColor &color);

    // Makes a hidden copy of this box: same parent, geometry, border, colours,
    // font, pen and picture, with a fresh image.
    PictureBox *cloneHidden() const;

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    void resetImage();
    void makeImage(QSize logical) const;
    // A hidden box learns of a resize only when it is shown, so every use of
    // the image first makes it, or fits it to the box's current size.
    QImage &canvas() const;

    int m_borderWidth;
    QColor m_backColor = Qt::white;
    QColor m_foreColor = Qt::black;
    int m_drawWidth = 1;
    QFont m_font;
    qreal m_fontPoints = 0;
    qreal m_currentX = 0;
    qreal m_currentY = 0;
    std::shared_ptr<const VectorPicture> m_picture;
    mutable QImage m_image;
    bool m_pressed = false;
};

// Point sizes are laid out at 96 dots per inch, so that the layout does not
// move with the screen's resolution.
int pixelsForPoints(qreal points);
