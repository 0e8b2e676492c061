#include "render/cardart.h"
#include "screens/cards.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("drawpoker"));
    QApplication::setWindowIcon(CardArt::applicationIcon());
    auto *table = new cards;
    table->setAttribute(Qt::WA_DeleteOnClose);
    table->show();
    return QApplication::exec();
}
