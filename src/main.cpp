#include "render/cardart.h"
#include "screens/table/cards.h"

#include <QApplication>
#include <QMessageBox>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

const char *Help = R"(Usage: drawpoker [--help | --version | --show-error TEXT]

Five-card draw video poker on one table. The high scores (name2.dat) and any
sounds of your own are kept in the folder the game is started in; see
drawpoker(6).

  --help             this text
  --version          the game's version
  --show-error TEXT  show TEXT in a message box and end with status 1 (the
                     menu's launcher says so why the game cannot start)
)";

bool isSet(const char *name)
{
    const char *value = std::getenv(name);
    return value && *value;
}

// Qt aborts when it finds no display, with a message about reinstalling;
// the player learns more from a line that says what is missing.
bool hasDisplay()
{
    const char *platform = std::getenv("QT_QPA_PLATFORM");
    const bool onScreen = !platform || !*platform || std::strncmp(platform, "xcb", 3) == 0
                          || std::strncmp(platform, "wayland", 7) == 0;
    return !onScreen || isSet("DISPLAY") || isSet("WAYLAND_DISPLAY");
}

} // namespace

int main(int argc, char *argv[])
{
    const bool showError = argc == 3 && std::strcmp(argv[1], "--show-error") == 0;
    if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
        std::fputs(Help, stdout);
        return 0;
    }
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::puts("drawpoker " DRAWPOKER_VERSION);
        return 0;
    }
    if (!hasDisplay()) {
        // The launcher has written its error to the terminal already.
        if (!showError)
            std::fputs("drawpoker: no display to open the window on (DISPLAY is not set)\n", stderr);
        return 1;
    }
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("drawpoker"));
    QApplication::setApplicationName(QStringLiteral("drawpoker"));
    // Lets the desktop match the window to its menu entry and icon.
    QApplication::setDesktopFileName(QStringLiteral("io.github.drawpoker.DrawPoker"));
    QApplication::setWindowIcon(CardArt::applicationIcon());
    if (showError) {
        QMessageBox::critical(nullptr, QStringLiteral("Draw Poker"), QString::fromLocal8Bit(argv[2]));
        return 1;
    }
    auto *table = new cards;
    table->useSettingsFile(TrainerSettings::playerFile());
    table->setAttribute(Qt::WA_DeleteOnClose);
    table->show();
    return QApplication::exec();
}
