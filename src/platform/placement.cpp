#include "placement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#if QT_CONFIG(xcb)
#include <QElapsedTimer>
#include <QThread>

#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>
#endif

#include <algorithm>
#include <optional>

namespace {

#if QT_CONFIG(xcb)

// The window manager answers within a few milliseconds; a slower answer is
// not waited for.
constexpr int FrameAnswerTimeoutMs = 250;

template<typename Reply>
using XcbReply = std::unique_ptr<Reply, decltype(&std::free)>;

template<typename Reply>
XcbReply<Reply> adopt(Reply *reply)
{
    return XcbReply<Reply>(reply, &std::free);
}

xcb_atom_t atomNamed(xcb_connection_t *connection, const char *name)
{
    const auto reply = adopt(xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, false, uint16_t(std::strlen(name)), name), nullptr));
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

// A property made of 32-bit values; empty when the window does not have it.
std::vector<quint32> property32(xcb_connection_t *connection, xcb_window_t window, xcb_atom_t name,
                                xcb_atom_t type, uint32_t maxValues)
{
    const auto reply = adopt(xcb_get_property_reply(
        connection, xcb_get_property(connection, false, window, name, type, 0, maxValues), nullptr));
    if (!reply || reply->format != 32 || reply->type != type)
        return {};
    const auto *values = static_cast<const quint32 *>(xcb_get_property_value(reply.get()));
    return {values, values + xcb_get_property_value_length(reply.get()) / 4};
}

xcb_window_t rootOf(xcb_connection_t *connection, xcb_window_t window)
{
    const auto reply = adopt(xcb_query_tree_reply(connection, xcb_query_tree(connection, window), nullptr));
    return reply ? reply->root : xcb_window_t(XCB_WINDOW_NONE);
}

bool windowManagerSupports(xcb_connection_t *connection, xcb_window_t root, xcb_atom_t feature)
{
    const std::vector<quint32> supported =
        property32(connection, root, atomNamed(connection, "_NET_SUPPORTED"), XCB_ATOM_ATOM, 4096);
    return std::find(supported.begin(), supported.end(), feature) != supported.end();
}

// Asks the window manager which frame it will put around the window once it
// is shown (the frame extents request of the window-manager hints), so that
// it can open in its place straight away. Nothing where no window manager
// runs or it cannot tell.
std::optional<QMargins> frameToCome(QWidget *window)
{
    const auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t *connection = x11 ? x11->connection() : nullptr;
    if (!connection)
        return std::nullopt;
    const auto id = xcb_window_t(window->winId());
    const xcb_window_t root = rootOf(connection, id);
    const xcb_atom_t request = atomNamed(connection, "_NET_REQUEST_FRAME_EXTENTS");
    if (root == XCB_WINDOW_NONE || !windowManagerSupports(connection, root, request))
        return std::nullopt;

    // An answer to an earlier request may speak of the window as it was
    // then (resizable, say, with a handle along the frame's bottom): it
    // goes, so that the one read below is the answer to this request.
    const xcb_atom_t extents = atomNamed(connection, "_NET_FRAME_EXTENTS");
    xcb_delete_property(connection, id, extents);
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = id;
    message.type = request;
    xcb_send_event(connection, false, root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
                   reinterpret_cast<const char *>(&message));
    xcb_flush(connection);

    QElapsedTimer waited;
    waited.start();
    do {
        const std::vector<quint32> sides = property32(connection, id, extents, XCB_ATOM_CARDINAL, 4);
        if (sides.size() == 4) {
            // Left, right, top, bottom, in the screen's own pixels.
            const QMarginsF device(sides[0], sides[2], sides[1], sides[3]);
            return (device / window->devicePixelRatio()).toMargins();
        }
        // Each look is a round trip to the X server; between looks a short
        // pause, so that the window opens within a tenth of a millisecond
        // of the answer rather than a whole one.
        QThread::usleep(100);
    } while (waited.elapsed() < FrameAnswerTimeoutMs);
    return std::nullopt;
}

#else

std::optional<QMargins> frameToCome(QWidget *)
{
    return std::nullopt;
}

#endif

} // namespace

// The frame of a window on screen is known; of one not yet shown it is asked for.
QMargins frameOf(QWidget *window)
{
    if (!window->isVisible())
        return frameToCome(window).value_or(QMargins());
    const QRect outer = window->frameGeometry();
    const QRect client = window->geometry();
    return {client.left() - outer.left(), client.top() - outer.top(), outer.right() - client.right(),
            outer.bottom() - client.bottom()};
}

PanelPlace placePanel(QSize table, QSize room, int panelWidth, QSize least)
{
    if (table.width() + panelWidth <= room.width())
        return {{table.width() + panelWidth, table.height()}, {table.width(), 0, panelWidth, table.height()}};
    const int below = std::min(room.height() - table.height(), table.height());
    if (below >= least.height())
        return {{table.width(), table.height() + below}, {0, table.height(), table.width(), below}};
    const int beside = room.width() - table.width();
    if (beside >= least.width())
        return {{table.width() + beside, table.height()}, {table.width(), 0, beside, table.height()}};
    // Over the right of the part of the table the screen shows.
    const QSize shown = table.boundedTo(room);
    const int over = std::min(panelWidth, shown.width());
    return {table, {shown.width() - over, 0, over, shown.height()}};
}

namespace {

// No scale makes the table smaller than this, however small the room.
constexpr qreal SmallestScale = 0.25;

qreal scaleToFit(QSizeF design, QSizeF room)
{
    return std::clamp(std::min(room.width() / design.width(), room.height() / design.height()), SmallestScale, 1.0);
}

// Rounded down, so that a table scaled to fit the room fits it.
QSize scaledDown(QSize design, qreal scale)
{
    return {int(design.width() * scale + 1e-9), int(design.height() * scale + 1e-9)};
}

bool coversTable(const PanelPlace &place, QSize table)
{
    return place.panel.x() < table.width() && place.panel.y() < table.height();
}

// The panel as tall as its words ask: beside the table no shorter than the
// table, below it no shorter than the least; never taller than the room.
PanelPlace grownToItsWords(PanelPlace place, QSize table, QSize room, const PanelWants &panel)
{
    const bool beside = place.panel.x() >= table.width();
    const int least = beside ? table.height() : panel.least.height();
    const int most = std::max(least, beside ? room.height() : room.height() - table.height());
    const int height = std::clamp(panel.heightForWidth(place.panel.width()), least, most);
    place.panel.setHeight(height);
    place.window.setHeight(beside ? height : table.height() + height);
    return place;
}

} // namespace

TablePlace placeTable(QSize design, QSize room, const std::optional<PanelWants> &panel)
{
    qreal scale = scaleToFit(design, room);
    QSize table = scaledDown(design, scale);
    if (!panel)
        return {scale, table, {table, {}}};
    PanelPlace place = placePanel(table, room, panel->width, panel->least);
    if (coversTable(place, table)) {
        const qreal beside = scaleToFit(design, room - QSize(panel->least.width(), 0));
        const qreal below = scaleToFit(design, room - QSize(0, panel->least.height()));
        scale = std::min(scale, std::max(beside, below));
        table = scaledDown(design, scale);
        place = placePanel(table, room, panel->width, panel->least);
    }
    return {scale, table, grownToItsWords(place, table, room, *panel)};
}

QRect openingPlace(QSize wanted, const QRect &area, const QMargins &frame, const std::optional<QRect> &left)
{
    const QSize size = (left ? left->size() : wanted).boundedTo(area.size().shrunkBy(frame));
    const QSize outer = size.grownBy(frame);
    const QPoint corner = left ? keptInside(QRect(left->topLeft() - QPoint(frame.left(), frame.top()), outer), area)
                               : centredIn(outer, area);
    return {corner + QPoint(frame.left(), frame.top()), size};
}

QPoint centredIn(QSize outer, const QRect &area)
{
    return {area.x() + std::max(0, (area.width() - outer.width()) / 2),
            area.y() + std::max(0, (area.height() - outer.height()) / 2)};
}

QPoint keptInside(const QRect &outer, const QRect &area)
{
    const auto inside = [](int start, int length, int areaStart, int areaLength) {
        return length >= areaLength ? areaStart : std::clamp(start, areaStart, areaStart + areaLength - length);
    };
    return {inside(outer.x(), outer.width(), area.x(), area.width()),
            inside(outer.y(), outer.height(), area.y(), area.height())};
}

namespace {

// Moves the window's outer top-left to `topLeft`; the client area's place
// holds whether or not the frame exists yet.
void moveOuter(QWidget *window, const QMargins &frame, QPoint topLeft)
{
    window->setGeometry(QRect(topLeft + QPoint(frame.left(), frame.top()), window->size()));
}

} // namespace

QScreen *screenFor(QWidget *window)
{
    if (window->isVisible() && window->screen())
        return window->screen();
    const QWidget *parent = window->parentWidget();
    if (parent && parent->window()->isVisible() && parent->window()->screen())
        return parent->window()->screen();
    return QGuiApplication::primaryScreen();
}

QSize clientRoom(QWidget *window)
{
    const QScreen *screen = screenFor(window);
    if (!screen)
        return window->size();
    return screen->availableGeometry().size().shrunkBy(frameOf(window));
}

void centreOnScreen(QWidget *window)
{
    const QScreen *screen = screenFor(window);
    if (!screen)
        return;
    const QMargins frame = frameOf(window);
    moveOuter(window, frame, centredIn(window->size().grownBy(frame), screen->availableGeometry()));
}

void keepOnScreen(QWidget *window)
{
    const QScreen *screen = screenFor(window);
    if (!screen)
        return;
    const QMargins frame = frameOf(window);
    const QRect outer(window->geometry().topLeft() - QPoint(frame.left(), frame.top()), window->size().grownBy(frame));
    moveOuter(window, frame, keptInside(outer, screen->availableGeometry()));
}
