#include "testsupport.h"

#include "render/cardback.h"
#include "render/pipplaces.h"

#include <QPainter>
#include <QTest>

#include <functional>

namespace {

using PixelTest = std::function<bool(const QColor &)>;

bool isSuitRed(const QColor &c)
{
    return c.red() > 150 && c.green() < 110 && c.blue() < 110;
}

bool isDark(const QColor &c)
{
    return c.lightness() < 100;
}

// Counts the separate patches (4-connected) of pixels that pass the test
// inside the area, in logical pixels.
int countRegions(const QImage &image, const QRect &area, const PixelTest &test)
{
    const QRect bounds = area.intersected(QRect(QPoint(0, 0), image.deviceIndependentSize().toSize()));
    std::vector<char> seen(std::size_t(bounds.width() * bounds.height()), 0);
    auto index = [&](int x, int y) { return std::size_t((y - bounds.top()) * bounds.width() + x - bounds.left()); };
    int regions = 0;
    for (int y = bounds.top(); y <= bounds.bottom(); ++y) {
        for (int x = bounds.left(); x <= bounds.right(); ++x) {
            if (seen[index(x, y)] || !test(pixelAt(image, x, y)))
                continue;
            ++regions;
            std::vector<QPoint> stack{{x, y}};
            seen[index(x, y)] = 1;
            while (!stack.empty()) {
                const QPoint p = stack.back();
                stack.pop_back();
                for (const QPoint step : {QPoint(1, 0), QPoint(-1, 0), QPoint(0, 1), QPoint(0, -1)}) {
                    const QPoint q = p + step;
                    if (bounds.contains(q) && !seen[index(q.x(), q.y())] && test(pixelAt(image, q.x(), q.y()))) {
                        seen[index(q.x(), q.y())] = 1;
                        stack.push_back(q);
                    }
                }
            }
        }
    }
    return regions;
}

QRect boundingBox(const QImage &image, const QRect &area, const PixelTest &test)
{
    QRect box;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if (test(pixelAt(image, x, y)))
                box |= QRect(x, y, 1, 1);
        }
    }
    return box;
}

// How many pixels of the area differ clearly from the pixel that a half
// turn brings onto them from `turned`. Compared on the image's own pixels,
// since a half turn maps device pixels, not logical ones, onto each other.
int halfTurnMismatches(const QImage &image, const QRect &area, const QRect &turned)
{
    const int r = int(image.devicePixelRatio());
    const QRect a(area.topLeft() * r, area.size() * r);
    const QRect t(turned.topLeft() * r, turned.size() * r);
    int mismatches = 0;
    for (int y = a.top(); y <= a.bottom(); ++y) {
        for (int x = a.left(); x <= a.right(); ++x) {
            const QColor p = image.pixelColor(x, y);
            const QColor q = image.pixelColor(t.right() - (x - a.left()), t.bottom() - (y - a.top()));
            if (std::abs(p.lightness() - q.lightness()) > 60)
                ++mismatches;
        }
    }
    return mismatches;
}

// The face with both corner suit symbols painted over, so that only the
// body keeps the suit's colour.
QImage withoutCornerSymbols(const cards &c, int card)
{
    const PictureBox *box = c.Picturecard[card];
    const int W = box->ScaleWidth();
    const int H = box->ScaleHeight();
    const int cornerBottom = c.Picturenum(0)->ScaleHeight() - 5 + 16;
    QImage body = box->Image().copy();
    QPainter painter(&body);
    painter.fillRect(QRectF(0, 0, 16, cornerBottom), Qt::white);
    painter.fillRect(QRectF(W - 16, H - cornerBottom, 16, cornerBottom), Qt::white);
    return body;
}

} // namespace

class tst_Render : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void everyRankPaintsItsPips_data();
    void everyRankPaintsItsPips();
    void pipsLieApartOnTheFaceAndTurnBelowItsMiddle_data();
    void pipsLieApartOnTheFaceAndTurnBelowItsMiddle();
    void bottomRightIndexIsTheTopLeftTurnedHalfATurn_data();
    void bottomRightIndexIsTheTopLeftTurnedHalfATurn();
    void tenIndexIsSqueezedToHalfTheCell();
    void courtCardsShowTheirOwnPanel_data();
    void courtCardsShowTheirOwnPanel();
    void aceSymbolKeepsItsSizeInEveryBox_data();
    void aceSymbolKeepsItsSizeInEveryBox();
    void suitSymbolsFillTheirSquare();
    void courtPanelsAreFramedLetteredAndTurnedBelow_data();
    void courtPanelsAreFramedLetteredAndTurnedBelow();
    void cardBackKeepsItsPatternInEveryBoxSize_data();
    void cardBackKeepsItsPatternInEveryBoxSize();
    void faceLeavesNoTraceOfTheBack();
    void drawingTheSameCardTwiceGivesTheSameFace();
    void facesBeforeTheFirstPaintAreWhole();

private:
    std::unique_ptr<TestTable> m_table;
};

void tst_Render::init()
{
    m_table = std::make_unique<TestTable>();
}

void tst_Render::everyRankPaintsItsPips_data()
{
    QTest::addColumn<int>("rank");
    QTest::addColumn<int>("pips");
    const char *names[] = {"2", "3", "4", "5", "6", "7", "8", "9", "10"};
    for (int rank = 0; rank <= 8; ++rank)
        QTest::newRow(names[rank]) << rank << rank + 2;
    QTest::newRow("A") << 12 << 1;
}

void tst_Render::everyRankPaintsItsPips()
{
    // Hearts: the pips are the only red on the face once the two corner
    // suit symbols are blanked out.
    QFETCH(int, rank);
    cards &c = *m_table->table;
    m_table->showFace(rank, 0, 0);
    const QRect face(0, 0, c.Picturecard[0]->ScaleWidth(), c.Picturecard[0]->ScaleHeight());
    QTEST(countRegions(withoutCornerSymbols(c, 0), face, isSuitRed), "pips");
}

void tst_Render::pipsLieApartOnTheFaceAndTurnBelowItsMiddle_data()
{
    QTest::addColumn<int>("rank");
    QTest::addColumn<QSizeF>("card"); // empty: the table's own card
    for (int rank = 0; rank <= 8; ++rank) {
        QTest::addRow("%d on the table's card", rank + 2) << rank << QSizeF();
        QTest::addRow("%d on a wide card", rank + 2) << rank << QSizeF(300, 200);
    }
}

void tst_Render::pipsLieApartOnTheFaceAndTurnBelowItsMiddle()
{
    // The pips stay on the face without touching each other; those below
    // the middle are turned half a turn, and turning the face half a turn
    // gives the same pips, but for the seven's one extra pip.
    QFETCH(int, rank);
    QFETCH(QSizeF, card);
    const PictureBox &box = *m_table->table->Picturecard[0];
    if (card.isEmpty())
        card = QSizeF(box.ScaleWidth(), box.ScaleHeight());
    const QSizeF pip(30, 30);
    const QRectF face(QPointF(0, 0), card);
    const std::vector<QRectF> places = pipPlaces(rank, card, pip);
    QCOMPARE(int(places.size()), rank + 2);
    int unmatched = 0;
    for (std::size_t i = 0; i < places.size(); ++i) {
        const QRectF area = places[i].normalized();
        QVERIFY(face.contains(area));
        QCOMPARE(places[i].width() < 0, area.center().y() > face.center().y());
        for (std::size_t j = 0; j < i; ++j)
            QVERIFY(!area.intersects(places[j].normalized()));
        const QPointF turned = face.center() * 2 - area.center();
        unmatched += std::none_of(places.begin(), places.end(), [&](const QRectF &other) {
            return QLineF(other.normalized().center(), turned).length() < 0.01;
        });
    }
    QCOMPARE(unmatched, rank == Seven ? 1 : 0);
}

void tst_Render::bottomRightIndexIsTheTopLeftTurnedHalfATurn_data()
{
    QTest::addColumn<int>("rank");
    QTest::addColumn<int>("suit");
    QTest::newRow("ace of hearts") << 12 << 0;
    QTest::newRow("ace of clubs") << 12 << 1;
    QTest::newRow("ace of diamonds") << 12 << 2;
    QTest::newRow("ace of spades") << 12 << 3;
    QTest::newRow("ten of spades") << 8 << 3;
    QTest::newRow("two of clubs") << 0 << 1;
}

void tst_Render::bottomRightIndexIsTheTopLeftTurnedHalfATurn()
{
    // Index cell and corner suit symbol, top left, against the bottom-right
    // corner turned about the card's centre, which puts its corner at (W, H).
    QFETCH(int, rank);
    QFETCH(int, suit);
    cards &c = *m_table->table;
    m_table->showFace(rank, suit, 1);
    const QImage &face = c.Picturecard[1]->Image();
    const int W = c.Picturecard[1]->ScaleWidth();
    const int H = c.Picturecard[1]->ScaleHeight();
    const int gw = c.Picturenum(0)->ScaleWidth();
    const int gh = c.Picturenum(0)->ScaleHeight();
    const QRect corner(0, 0, 15, gh + 10);
    const QRect turned(W - 15, H - gh - 10, 15, gh + 10);
    QVERIFY(countRegions(face, corner, isDark) + countRegions(face, corner, isSuitRed) > 0);
    QCOMPARE(halfTurnMismatches(face, corner, turned), 0);
    const QRect glyph(0, 0, gw, 12);
    QCOMPARE(halfTurnMismatches(face, glyph, QRect(W - gw, H - 12, gw, 12)), 0);
}

void tst_Render::tenIndexIsSqueezedToHalfTheCell()
{
    cards &c = *m_table->table;
    const int gw = c.Picturenum(0)->ScaleWidth();
    const QRect rightHalf(gw / 2 + 1, 0, gw - gw / 2 - 1, 14);
    // The printed "10" reaches into the right half of its own cell...
    QVERIFY(countRegions(c.Picturenum(8)->Image(), rightHalf, isDark) > 0);
    m_table->showFace(8, 2, 0);
    const QImage &face = c.Picturecard[0]->Image();
    // ...but on the card it is squeezed into the left half.
    QCOMPARE(countRegions(face, rightHalf, isDark), 0);
    QVERIFY(countRegions(face, QRect(0, 0, gw / 2, 14), isDark) > 0);
}

void tst_Render::courtCardsShowTheirOwnPanel_data()
{
    QTest::addColumn<int>("rank");
    QTest::addColumn<int>("suit");
    QTest::addColumn<int>("panel");
    QTest::newRow("jack of hearts") << 9 << 0 << 0;
    QTest::newRow("jack of spades") << 9 << 3 << 3;
    QTest::newRow("queen of diamonds") << 10 << 2 << 6;
    QTest::newRow("king of hearts") << 11 << 0 << 8;
    QTest::newRow("king of spades") << 11 << 3 << 11;
}

void tst_Render::courtCardsShowTheirOwnPanel()
{
    // Each panel is painted a colour of its own, so the card shows which one
    // it was copied from.
    QFETCH(int, rank);
    QFETCH(int, suit);
    QFETCH(int, panel);
    cards &c = *m_table->table;
    for (int i = 0; i < 12; ++i)
        c.Pictureface(i)->setBackColor(QColor(10 + 20 * i, 100, 200));
    m_table->showFace(rank, suit, 2);
    const PictureBox *box = c.Picturecard[2];
    const QColor centre = pixelAt(box->Image(), box->ScaleWidth() / 2.0, box->ScaleHeight() / 2.0);
    QCOMPARE(centre, QColor(10 + 20 * panel, 100, 200));
    // The panel stands inside margins of ph + 2.5 above and below.
    QCOMPARE(pixelAt(box->Image(), box->ScaleWidth() / 2.0, 30), QColor(Qt::white));
    QCOMPARE(pixelAt(box->Image(), box->ScaleWidth() / 2.0, 37), centre);
}

void tst_Render::aceSymbolKeepsItsSizeInEveryBox_data()
{
    QTest::addColumn<QSize>("boxSize");
    QTest::newRow("table card") << QSize(145, 249);
    QTest::newRow("large") << QSize(300, 420);
    QTest::newRow("wide") << QSize(260, 200);
}

void tst_Render::aceSymbolKeepsItsSizeInEveryBox()
{
    QFETCH(QSize, boxSize);
    cards &c = *m_table->table;
    PictureBox *box = c.Picturecard[4];
    box->resize(boxSize);
    m_table->showFace(12, 2, 4);
    const int W = box->ScaleWidth();
    const int H = box->ScaleHeight();
    const QRect diamond = boundingBox(withoutCornerSymbols(c, 4), QRect(0, 0, W, H), isSuitRed);
    QVERIFY2(std::abs(diamond.width() - 120) <= 2 && std::abs(diamond.height() - 120) <= 2,
             qPrintable(QStringLiteral("%1 x %2").arg(diamond.width()).arg(diamond.height())));
    QVERIFY(std::abs(diamond.center().x() - W / 2) <= 1);
    QVERIFY(std::abs(diamond.center().y() - H / 2) <= 1);
}

void tst_Render::suitSymbolsFillTheirSquare()
{
    cards &c = *m_table->table;
    for (int suit = 0; suit < SuitCount; ++suit)
        QCOMPARE(c.Picturesuit(suit)->Image().deviceIndependentSize().toSize(), QSize(120, 120));
    // The diamond's corners touch the middles of the square's sides.
    const QImage &diamond = c.Picturesuit(2)->Image();
    for (const QPoint p : {QPoint(60, 1), QPoint(1, 60), QPoint(118, 60), QPoint(60, 118)})
        QVERIFY2(pixelAt(diamond, p.x(), p.y()) != QColor(Qt::white), qPrintable(QStringLiteral("%1,%2").arg(p.x()).arg(p.y())));
    for (const QPoint p : {QPoint(8, 8), QPoint(111, 8), QPoint(8, 111), QPoint(111, 111)})
        QCOMPARE(pixelAt(diamond, p.x(), p.y()), QColor(Qt::white));
    // Every symbol touches all four sides.
    for (int suit = 0; suit < SuitCount; ++suit) {
        const QRect extent = boundingBox(c.Picturesuit(suit)->Image(), QRect(0, 0, 120, 120),
                                         [](const QColor &colour) { return colour.lightness() < 200; });
        QCOMPARE(extent, QRect(0, 0, 120, 120));
    }
}

void tst_Render::courtPanelsAreFramedLetteredAndTurnedBelow_data()
{
    QTest::addColumn<int>("panel");
    QTest::addColumn<QColor>("lettering");
    QTest::newRow("jack of hearts") << 0 << QColor(255, 0, 0);
    QTest::newRow("queen of clubs") << 5 << QColor(0, 0, 0);
    QTest::newRow("king of hearts") << 8 << QColor(255, 0, 0);
    QTest::newRow("king of spades") << 11 << QColor(0, 0, 0);
}

void tst_Render::courtPanelsAreFramedLetteredAndTurnedBelow()
{
    QFETCH(int, panel);
    QFETCH(QColor, lettering);
    const PictureBox *box = m_table->table->Pictureface(panel);
    const QImage &image = box->Image();
    QCOMPARE(image.deviceIndependentSize().toSize(), QSize(120, 200));
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(pixelAt(image, i, 100), QColor(Qt::black));
        QCOMPARE(pixelAt(image, 119 - i, 100), QColor(Qt::black));
        QCOMPARE(pixelAt(image, 60, i), QColor(Qt::black));
        QCOMPARE(pixelAt(image, 60, 199 - i), QColor(Qt::black));
    }
    // The letters stand in the middle column, in the lettering colour.
    const QRect word(40, 3, 40, 194);
    QVERIFY(countRegions(image, word, [&](const QColor &c) { return c == lettering; }) >= 4);
    // The lower suit copies are the upper ones turned half a turn.
    QCOMPARE(halfTurnMismatches(image, QRect(6, 6, 28, 28), QRect(6, 165, 28, 28)), 0);
    QCOMPARE(halfTurnMismatches(image, QRect(85, 6, 28, 28), QRect(85, 165, 28, 28)), 0);
    QVERIFY(halfTurnMismatches(image, QRect(6, 6, 28, 28), QRect(6, 6, 28, 28)) > 0 || panel % 4 == 2);
}

void tst_Render::cardBackKeepsItsPatternInEveryBoxSize_data()
{
    QTest::addColumn<QSize>("boxSize");
    QTest::newRow("table card") << QSize(145, 249);
    QTest::newRow("small") << QSize(60, 90);
    QTest::newRow("large") << QSize(400, 500);
}

void tst_Render::cardBackKeepsItsPatternInEveryBoxSize()
{
    // The pattern is laid in device pixels from the box's corner, so it is
    // checked on the image's own pixels.
    QFETCH(QSize, boxSize);
    PictureBox *box = m_table->table->Picturecard[3];
    box->resize(boxSize);
    const QImage &image = box->Image();
    const QImage tile = CardBackPicture::patternTile();
    const int border = int(std::ceil(image.width() * 6.0 / 377)) + 2;
    for (int y = border; y < image.height() - border; y += 3) {
        for (int x = border; x < image.width() - border; x += 5)
            QCOMPARE(image.pixelColor(x, y), tile.pixelColor(x % 8, y % 8));
    }
    const QColor blue(0, 0, 255);
    QCOMPARE(image.pixelColor(0, image.height() / 2), blue);
    QCOMPARE(image.pixelColor(image.width() - 1, image.height() / 2), blue);
    QCOMPARE(image.pixelColor(image.width() / 2, 0), blue);
    QCOMPARE(image.pixelColor(image.width() / 2, image.height() - 1), blue);
}

void tst_Render::faceLeavesNoTraceOfTheBack()
{
    cards &c = *m_table->table;
    PictureBox *box = c.Picturecard[0];
    QCOMPARE(box->Picture(), c.Picture1->Picture());
    box->setPicture(nullptr);
    m_table->showFace(5, 1, 0);
    auto isBackColour = [](const QColor &colour) {
        return colour == QColor(255, 255, 0) || colour == QColor(0, 0, 255);
    };
    QCOMPARE(countRegions(box->Image(), QRect(0, 0, box->ScaleWidth(), box->ScaleHeight()), isBackColour), 0);
}

void tst_Render::drawingTheSameCardTwiceGivesTheSameFace()
{
    cards &c = *m_table->table;
    m_table->showFace(10, 1, 0);
    const QImage first = c.Picturecard[0]->Image();
    m_table->showFace(3, 2, 0);
    QVERIFY(c.Picturecard[0]->Image() != first);
    m_table->showFace(10, 1, 0);
    QCOMPARE(c.Picturecard[0]->Image(), first);
}

void tst_Render::facesBeforeTheFirstPaintAreWhole()
{
    // The sources of the faces are made once the table has painted; a face
    // asked for before then makes them itself, and both ways give one face.
    // A court card uses every kind of source: index, suit symbol and panel.
    const int rank = 11, suit = 3;
    cards &early = *m_table->table;
    const qsizetype boxesBeforePaint = early.findChildren<PictureBox *>().size();
    m_table->showFace(rank, suit, 0);
    const qsizetype allBoxes = early.findChildren<PictureBox *>().size();
    QVERIFY(boxesBeforePaint < allBoxes);

    TestTable painted;
    painted.table->show();
    QVERIFY(QTest::qWaitForWindowExposed(painted.table.get()));
    QTRY_COMPARE(painted.table->findChildren<PictureBox *>().size(), allBoxes);
    painted.showFace(rank, suit, 0);
    QCOMPARE(painted.table->Picturecard[0]->Image(), early.Picturecard[0]->Image());
}

QTEST_MAIN(tst_Render)
#include "tst_render.moc"
