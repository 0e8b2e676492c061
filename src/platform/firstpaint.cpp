#include "platform/firstpaint.h"

#include <QEvent>
#include <QTimer>
#include <QWidget>

namespace {

// Watches one window for its first paint, then goes.
class FirstPaintWatcher final : public QObject
{
public:
    FirstPaintWatcher(QWidget *window, std::function<void()> work)
        : QObject(window)
        , m_work(std::move(work))
    {
        window->installEventFilter(this);
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint) {
            watched->removeEventFilter(this);
            QTimer::singleShot(0, this, [this] {
                m_work();
                deleteLater();
            });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> m_work;
};

} // namespace

void afterFirstPaint(QWidget *window, std::function<void()> work)
{
    new FirstPaintWatcher(window, std::move(work));
}
