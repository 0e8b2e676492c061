#include "windowplaces.h"

#include "placement.h"

#include <QEvent>
#include <QScreen>
#include <QSettings>
#include <QWidget>

namespace {

const char *const PlaceName = "drawpokerPlaceName";

// A screen's size names the places kept for it: a window left on one
// screen opens where it was on another of the same size.
QString screenSizeName(const QScreen *screen)
{
    return QStringLiteral("%1x%2").arg(screen->size().width()).arg(screen->size().height());
}

} // namespace

WindowPlaces::WindowPlaces(QObject *owner)
    : QObject(owner)
{
}

void WindowPlaces::useSettings(QSettings *settings)
{
    m_settings = settings;
}

void WindowPlaces::place(QWidget *window, const QString &name, QSize wanted)
{
    window->setProperty(PlaceName, name);
    std::optional<QRect> left;
    if (const QRect kept = m_settings ? m_settings->value(keyOf(window)).toRect() : QRect(); kept.isValid())
        left = kept;
    const QScreen *screen = screenFor(window);
    window->setGeometry(openingPlace(wanted, screen->availableGeometry(), frameOf(window), left));
    window->installEventFilter(this);
}

void WindowPlaces::placeOwned(QWidget *window, const QString &name, QSize wanted)
{
    for (QObject *owner = window->parent(); owner; owner = owner->parent()) {
        if (auto *places = owner->findChild<WindowPlaces *>(QString(), Qt::FindDirectChildrenOnly)) {
            places->place(window, name, wanted);
            return;
        }
    }
    window->setGeometry(openingPlace(wanted, screenFor(window)->availableGeometry(), frameOf(window), std::nullopt));
}

// Only what the player did is kept: a window not on the screen is being
// placed by the game.
bool WindowPlaces::eventFilter(QObject *watched, QEvent *event)
{
    auto *window = qobject_cast<QWidget *>(watched);
    if (m_settings && window && window->isVisible()
        && (event->type() == QEvent::Move || event->type() == QEvent::Resize))
        m_settings->setValue(keyOf(window), window->geometry());
    return false;
}

QString WindowPlaces::keyOf(QWidget *window) const
{
    return QStringLiteral("places/%1/%2").arg(window->property(PlaceName).toString(), screenSizeName(screenFor(window)));
}
