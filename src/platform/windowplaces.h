#pragma once

#include <QObject>
#include <QSize>

class QSettings;
class QWidget;

// Where the player left each of the game's windows, kept in the options for
// each size of screen: a window opens where it was left on a screen of that
// size, and otherwise at the size it asks for as far as the screen has
// room, in the middle of the screen. Always wholly on the screen.
class WindowPlaces : public QObject
{
    Q_OBJECT

public:
    explicit WindowPlaces(QObject *owner);

    // Keeps the places in `settings` from now on; without them, none is kept.
    void useSettings(QSettings *settings);
    // Sizes and places the window `name`, which asks for the client size
    // `wanted`, and keeps its place whenever the player moves or resizes it.
    void place(QWidget *window, const QString &name, QSize wanted);

    // The same for a window of the game: the places of the nearest of its
    // owners that keeps them, or fitted to the screen and not kept.
    static void placeOwned(QWidget *window, const QString &name, QSize wanted);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QString keyOf(QWidget *window) const;

    QSettings *m_settings = nullptr;
};
