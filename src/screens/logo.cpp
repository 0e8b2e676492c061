#include "logo.h"

#include "platform/placement.h"
#include "render/logoart.h"

#include <QApplication>
#include <QPainter>

namespace {

// 6585 x 5445 twips at 15 twips a pixel.
constexpr int ClientWidth = 439;
constexpr int ClientHeight = 363;
constexpr int EndAfterMs = 2500;

} // namespace

logo::logo(QWidget *parent)
    : QWidget(parent)
{
    setWindowTitle(QStringLiteral("LOGO"));
    setAccessibleName(QStringLiteral("Five Card Draw Video Poker Classic"));
    setFixedSize(ClientWidth, ClientHeight);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_picture = LogoArt::render(size(), devicePixelRatioF());
    // Centred from the start, so that centring it at activation moves nothing.
    centreOnScreen(this);
    Timer1.setSingleShot(true);
    connect(&Timer1, &QTimer::timeout, this, &logo::Timer1_Timer);
    Timer1.start(EndAfterMs);
}

void logo::Form_Activate()
{
    centreOnScreen(this);
}

void logo::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        Form_Activate();
    QWidget::changeEvent(event);
}

void logo::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.drawImage(rect(), m_picture);
}

void logo::keyPressEvent(QKeyEvent *)
{
    Form_KeyDown();
}

void logo::mousePressEvent(QMouseEvent *)
{
    Form_MouseDown();
}

void logo::Form_KeyDown()
{
    endProgram();
}

void logo::Form_MouseDown()
{
    endProgram();
}

void logo::Timer1_Timer()
{
    endProgram();
}

void logo::endProgram()
{
    Timer1.stop();
    emit programEnded();
    QApplication::closeAllWindows();
    QCoreApplication::quit();
}
