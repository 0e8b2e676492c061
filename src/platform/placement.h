#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

class QWidget;

// Where the trainer's panel goes and how large that makes the window, in
// client pixels.
struct PanelPlace
{
    QSize window;
    QRect panel;
};

// Places a panel `panelWidth` wide by a table, given the client room the
// screen leaves: beside the table when it fits, otherwise below it (at
// least `least.height()` high), otherwise beside it narrower (at least
// `least.width()` wide), otherwise over the right of the part of the table
// the screen shows.
PanelPlace placePanel(QSize table, QSize room, int panelWidth, QSize least);

// The top-left of a window of outer size `outer` centred in `area`; one
// larger than the area starts at the area's top or left edge.
QPoint centredIn(QSize outer, const QRect &area);
// The nearest top-left to `outer`'s that keeps it inside `area`; one larger
// than the area starts at the area's top or left edge.
QPoint keptInside(const QRect &outer, const QRect &area);

// The client size a window may take on its screen: the area free of panels
// and task bars, less the window's frame.
QSize clientRoom(QWidget *window);
// Puts the window in the middle of its screen's free area by its outer
// size, frame included; its size stays as it is. Never off the screen's
// top or left.
void centreOnScreen(QWidget *window);
// Moves the window as little as it takes to be inside its screen's free
// area.
void keepOnScreen(QWidget *window);
