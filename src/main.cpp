#include "screens/cards.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("drawpoker"));
    auto *table = new cards;
    table->setAttribute(Qt::WA_DeleteOnClose);
    table->show();
    return QApplication::exec();
}
