#include "commandbutton.h"

#include <QKeyEvent>
#include <QStyleOptionToolButton>
#include <QStylePainter>
#include <qdrawutil.h>

namespace {

// The raised edge of the button, two lines deep, and the gap between it and
// the focus frame.
constexpr int EdgeWidth = 2;
constexpr int FocusGap = 1;

} // namespace

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
    update();
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

// The face is painted flat in the button's own colour. The style would shade
// it, and would keep a cached picture for every palette it is handed, so a
// colour set through the palette costs memory at every toggle.
void CommandButton::paintEvent(QPaintEvent *)
{
    QStylePainter painter(this);
    QStyleOptionToolButton option;
    initStyleOption(&option);
    const QBrush face(m_backColor);
    qDrawWinButton(&painter, rect(), palette(), isDown(), &face);

    option.rect = rect().adjusted(EdgeWidth, EdgeWidth, -EdgeWidth, -EdgeWidth);
    painter.drawControl(QStyle::CE_ToolButtonLabel, option);
    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = option.rect.adjusted(FocusGap, FocusGap, -FocusGap, -FocusGap);
        focus.backgroundColor = m_backColor;
        painter.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
    }
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
