#pragma once

#include <QMargins>
#include <QPoint>
#include <QRect>
#include <QSize>

#include <functional>
#include <optional>

class QScreen;
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

// What the trainer's panel asks of the table's window: its width beside the
// table, the least width beside and height below it can do with, and the
// height it takes at a given width to show everything without scrolling.
struct PanelWants
{
    int width;
    QSize least;
    std::function<int(int width)> heightForWidth;
};

// The table's window on a screen: the scale the table is drawn at, the
// table's client size at that scale, the window's and the panel's place.
struct TablePlace
{
    qreal scale;
    QSize table;
    PanelPlace place;
};

// Places the table, `design` large at full size, and the panel if there is
// one, in the client room a screen leaves. The table is drawn at full size
// where it fits, else at the largest scale that does. The panel goes where
// placePanel puts it, as tall as its words ask up to the room's height;
// where that would be over the table, the table is drawn smaller still, so
// that the panel fits at its least beside or below it.
TablePlace placeTable(QSize design, QSize room, const std::optional<PanelWants> &panel);

// Where a window that asks for the client size `wanted` opens in a screen's
// free `area`, given the frame the window manager puts around it: where the
// player left it (`left`, its client rectangle) if known, else in the
// middle; no larger than the area, and wholly inside it.
QRect openingPlace(QSize wanted, const QRect &area, const QMargins &frame, const std::optional<QRect> &left);

// The top-left of a window of outer size `outer` centred in `area`; one
// larger than the area starts at the area's top or left edge.
QPoint centredIn(QSize outer, const QRect &area);
// The nearest top-left to `outer`'s that keeps it inside `area`; one larger
// than the area starts at the area's top or left edge.
QPoint keptInside(const QRect &outer, const QRect &area);

// The screen a window is on: its own once shown, else its parent's, else
// the primary screen.
QScreen *screenFor(QWidget *window);
// The frame the window manager puts around the window: known for a window
// on the screen, asked for before then; none where it cannot tell.
QMargins frameOf(QWidget *window);

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
