#include "commandbutton.h"

#include <QKeyEvent>

CommandButton::CommandButton(const QString &caption, QWidget *parent)
    : QToolButton(parent)
    , m_backColor(palette().color(QPalette::Button))
{
    setText(caption);
    setFocusPolicy(Qt::StrongFocus);
    setToolButtonStyle(Qt::ToolButtonTextOnly);
}

void CommandButton::setBackColor(const QColor &color)
{
    m_backColor = color;
    QPalette colours = palette();
    colours.setColor(QPalette::Button, color);
    setPalette(colours);
}

void CommandButton::setPicture(const QIcon &picture, const QSize &size)
{
    setIcon(picture);
    setIconSize(size);
    setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
}

CommandButton *CommandButton::cloneHidden() const
{
    auto *copy = new CommandButton(text(), parentWidget());
    copy->hide();
    copy->setFont(font());
    copy->setGeometry(geometry());
    copy->setBackColor(m_backColor);
    if (!icon().isNull())
        copy->setPicture(icon(), iconSize());
    return copy;
}

void CommandButton::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        click();
        return;
    }
    // The arrow keys belong to the window (the table sets the bet with
    // them), not to moving the focus from button to button.
    if (event->key() == Qt::Key_Up || event->key() == Qt::Key_Down || event->key() == Qt::Key_Left
        || event->key() == Qt::Key_Right) {
        event->ignore();
        return;
    }
    QToolButton::keyPressEvent(event);
}
