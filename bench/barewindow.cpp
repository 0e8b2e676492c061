// A bare Qt window of the table's size, the yardstick of the start-up
// benchmark: it links Qt Widgets alone and quits once it has painted. With
// --text it shows one line of text as well, which is what starting the
// font machinery costs any window that writes a word.
#include "firstpaint.h"

#include <QLabel>
#include <QWidget>

#include <cstring>

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QWidget window;
    window.resize(798, 533);
    if (argc > 1 && std::strcmp(argv[1], "--text") == 0)
        new QLabel(QStringLiteral("TOTAL CREDITS"), &window);
    FirstPaint watcher;
    window.installEventFilter(&watcher);
    window.show();
    return QApplication::exec();
}
