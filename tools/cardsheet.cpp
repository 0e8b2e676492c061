// Renders every card face, the card back, the 13 rank glyphs and the 12
// court panels onto one PNG, so that the art can be reviewed at a glance.
//
//   cardsheet OUT.png [ZOOM]
#include "screens/table/cards.h"

#include <QApplication>
#include <QPainter>

#include <cstdio>

namespace {

constexpr int Gap = 6;

void place(QPainter &painter, const QImage &image, int x, int y)
{
    painter.drawImage(QRectF(x, y, image.deviceIndependentSize().width(),
                             image.deviceIndependentSize().height()),
                      image);
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: cardsheet OUT.png [ZOOM]\n");
        return 2;
    }
    QApplication app(argc, argv);
    cards table;
    const qreal zoom = argc > 2 ? QString::fromLocal8Bit(argv[2]).toDouble() : 1.0;

    const int cardW = table.Picturecard[0]->ScaleWidth();
    const int cardH = table.Picturecard[0]->ScaleHeight();
    const int columns = RankCount + 1;
    const int sheetW = columns * (cardW + Gap) + Gap;
    const int glyphRowH = table.Picturenum(0)->ScaleHeight() + Gap;
    const int panelRowH = 200 + Gap;
    const int sheetH = SuitCount * (cardH + Gap) + Gap + glyphRowH + panelRowH;

    QImage sheet(QSize(sheetW, sheetH) * zoom, QImage::Format_RGB32);
    sheet.fill(QColor(0, 110, 50));
    QPainter painter(&sheet);
    painter.scale(zoom, zoom);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);

    for (int suit = 0; suit < SuitCount; ++suit) {
        const int y = Gap + suit * (cardH + Gap);
        for (int rank = 0; rank < RankCount; ++rank) {
            table.Picturecard[0]->setPicture(nullptr);
            table.makecard(rank, suit, 0);
            place(painter, table.Picturecard[0]->Image(), Gap + rank * (cardW + Gap), y);
        }
    }
    place(painter, table.Picturecard[1]->Image(), Gap + RankCount * (cardW + Gap), Gap);

    int y = Gap + SuitCount * (cardH + Gap);
    for (int k = 0; k < RankCount; ++k)
        place(painter, table.Picturenum(k)->Image(), Gap + k * (table.Picturenum(0)->ScaleWidth() + Gap), y);
    y += glyphRowH;
    for (int i = 0; i < cards::CourtPanelCount; ++i)
        place(painter, table.Pictureface(i)->Image(), Gap + i * (120 + Gap), y);
    painter.end();

    if (!sheet.save(QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "cardsheet: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
