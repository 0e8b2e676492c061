#include "render/cardart.h"
#include "screens/table/cards.h"

#include <QApplication>
#include <QSettings>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("drawpoker"));
    QApplication::setApplicationName(QStringLiteral("drawpoker"));
    // Lets the desktop match the window to its menu entry and icon.
    QApplication::setDesktopFileName(QStringLiteral("io.github.drawpoker.DrawPoker"));
    QApplication::setWindowIcon(CardArt::applicationIcon());
    auto *table = new cards;
    table->useSettings(std::make_unique<QSettings>());
    table->setAttribute(Qt::WA_DeleteOnClose);
    table->show();
    return QApplication::exec();
}
