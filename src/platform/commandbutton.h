#pragma once

#include <QColor>
#include <QToolButton>

// A command button with a raised edge and a flat face in a background colour
// that can be set and read back, that can show a picture above its caption,
// and that is pressed by Enter or Space while it has the keyboard focus.
class CommandButton : public QToolButton
{
    Q_OBJECT

public:
    explicit CommandButton(const QString &caption, QWidget *parent = nullptr);

    QColor BackColor() const { return m_backColor; }
    void setBackColor(const QColor &color);
    void setPicture(const QIcon &picture, const QSize &size);

    // Makes a hidden copy with the same parent, geometry, caption, font,
    // colour and picture.
    CommandButton *cloneHidden() const;

protected:
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    QColor m_backColor;
};
