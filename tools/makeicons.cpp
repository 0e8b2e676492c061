// Renders the scalable application icon into the PNG sizes of the desktop's
// icon theme, laid out as the theme's folders.
//
//   makeicons ICON.svg OUTPUT_DIR SIZE...
// writes OUTPUT_DIR/SIZExSIZE/apps/ICON.png for every SIZE.
#include <QDir>
#include <QFileInfo>
#include <QCoreApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <QTextStream>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream err(stderr);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() < 4) {
        err << "usage: makeicons ICON.svg OUTPUT_DIR SIZE...\n";
        return 2;
    }
    QSvgRenderer renderer(arguments[1]);
    if (!renderer.isValid()) {
        err << "makeicons: cannot read " << arguments[1] << "\n";
        return 1;
    }
    const QString name = QFileInfo(arguments[1]).completeBaseName();
    for (const QString &sizeText : arguments.mid(3)) {
        const int size = sizeText.toInt();
        if (size <= 0) {
            err << "makeicons: \"" << sizeText << "\" is not a size in pixels\n";
            return 2;
        }
        QImage image(size, size, QImage::Format_ARGB32);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        renderer.render(&painter);
        painter.end();
        const QString folder = QStringLiteral("%1/%2x%2/apps").arg(arguments[2]).arg(size);
        const QString file = QStringLiteral("%1/%2.png").arg(folder, name);
        if (!QDir().mkpath(folder) || !image.save(file)) {
            err << "makeicons: cannot write " << file << "\n";
            return 1;
        }
    }
    return 0;
}
