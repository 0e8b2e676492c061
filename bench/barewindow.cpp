// A bare Qt window of the table's size, the yardstick of the start-up
// benchmark: it links Qt Widgets alone and quits once it has painted.
#include "firstpaint.h"

#include <QWidget>

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QWidget window;
    window.resize(798, 533);
    FirstPaint watcher;
    window.installEventFilter(&watcher);
    window.show();
    return QApplication::exec();
}
