#include "model/commandline.h"
#include "render/cardart.h"
#include "screens/table/cards.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QMessageBox>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// The game's own options. Qt's own (-style, -platform, ...) are taken out
// of the command line by QApplication, which is made only once the game
// has a display to start on; until then they read as unknown here.
struct GameOptions
{
    GameOptions()
    {
        parser.setApplicationDescription(QStringLiteral(
            "Five-card draw video poker on one table. The high scores (name2.dat) and any\n"
            "sounds of your own are kept in the folder the game is started in; see\n"
            "drawpoker(6)."));
        parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
        parser.addOptions({help, version, showError});
    }

    QCommandLineParser parser;
    const QCommandLineOption help{{QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("this text")};
    const QCommandLineOption version{{QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("the game's version")};
    const QCommandLineOption showError{QStringLiteral("show-error"),
                                       QStringLiteral("show TEXT in a message box and end with status 1 (the menu's "
                                                      "launcher says so why the game cannot start)"),
                                       QStringLiteral("TEXT")};
};

QStringList argumentsOf(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

// The usage line names the program as it was started, which only an
// application object knows; one is made for the help alone, so that the
// game itself starts without it.
void printHelp(int argc, char *argv[], const QCommandLineParser &parser)
{
    const QCoreApplication naming(argc, argv);
    std::fputs(qPrintable(parser.helpText()), stdout);
}

int refuse(const QCommandLineParser &parser, const QStringList &arguments)
{
    std::fprintf(stderr, "drawpoker: %s\n(drawpoker --help explains the usage)\n",
                 qPrintable(commandLineFault(parser, arguments)));
    return 2;
}

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
    GameOptions options;
    const QStringList arguments = argumentsOf(argc, argv);
    const bool parsed = options.parser.parse(arguments);
    if (options.parser.isSet(options.help)) {
        printHelp(argc, argv, options.parser);
        return 0;
    }
    if (options.parser.isSet(options.version)) {
        std::puts("drawpoker " DRAWPOKER_VERSION);
        return 0;
    }
    // An unknown option may be one of Qt's, which only QApplication can
    // tell; without a display the game cannot start to ask it.
    if (!parsed && (options.parser.unknownOptionNames().isEmpty() || !hasDisplay()))
        return refuse(options.parser, arguments);
    const bool showError = options.parser.isSet(options.showError);
    if (!hasDisplay()) {
        // The launcher has written its error to the terminal already.
        if (!showError)
            std::fputs("drawpoker: no display to open the window on (DISPLAY is not set)\n", stderr);
        return 1;
    }
    QApplication app(argc, argv);
    if (!parsed && !options.parser.parse(QApplication::arguments()))
        return refuse(options.parser, QApplication::arguments());
    QApplication::setOrganizationName(QStringLiteral("drawpoker"));
    QApplication::setApplicationName(QStringLiteral("drawpoker"));
    // Lets the desktop match the window to its menu entry and icon.
    QApplication::setDesktopFileName(QStringLiteral("io.github.drawpoker.DrawPoker"));
    QApplication::setWindowIcon(CardArt::applicationIcon());
    if (options.parser.isSet(options.showError)) {
        QMessageBox::critical(nullptr, QStringLiteral("Draw Poker"), options.parser.value(options.showError));
        return 1;
    }
    auto *table = new cards;
    table->useSettingsFile(TrainerSettings::playerFile());
    table->setAttribute(Qt::WA_DeleteOnClose);
    table->show();
    return QApplication::exec();
}
