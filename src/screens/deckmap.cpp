#include "screens/deckmap.h"

#include "model/names.h"

#include <QEvent>
#include <QLabel>

#include <bit>

namespace {

// Wide, a row a suit and one of counts, under a column of heads, thirteen
// of ranks and one of counts; tall, the same turned a quarter.
constexpr int WideColumns = RankCount + 2;
constexpr int TallColumns = SuitCount + 2;
// Cells no wider than this many times the font's height, however wide the
// map, so that the grid stays compact in a wide window; and no narrower
// than the least, or the map stands tall.
constexpr double WidestCell = 1.8;
constexpr double LeastWideCell = 1.15;
constexpr int Gap = 1;

const QString Red = QStringLiteral("#c00000");
const QString Black = QStringLiteral("#000000");
const QString LeftStyle = QStringLiteral("QLabel { background: #ffffff; color: %1; border: 1px solid #a0a0a0; }");
const QString GoneStyle = QStringLiteral("QLabel { background: transparent; color: #b4b4b4; border: 1px solid transparent; }");
const QString HandStyle = QStringLiteral("QLabel { background: #c8dcff; color: %1; border: 1px solid #4060a0; }");

const QChar SuitSymbols[SuitCount] = {QChar(0x2665), QChar(0x2663), QChar(0x2666), QChar(0x2660)};

QString suitColour(int suit)
{
    return suit % 2 == 0 ? Red : Black;
}

CardSet rankCards(int rank)
{
    return CardSet(0xF) << (rank * SuitCount);
}

CardSet suitCards(int suit)
{
    CardSet cards = 0;
    for (int rank = 0; rank < RankCount; ++rank)
        cards |= CardSet(1) << (rank * SuitCount + suit);
    return cards;
}

QLabel *makeCell(QWidget *parent, const QString &text)
{
    auto *label = new QLabel(text, parent);
    label->setAlignment(Qt::AlignCenter);
    return label;
}

} // namespace

DeckMap::DeckMap(QWidget *parent)
    : QWidget(parent)
{
    setAccessibleName(QStringLiteral("Deck map"));
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
    for (int suit = 0; suit < SuitCount; ++suit) {
        m_suitHeads[suit] = makeCell(this, SuitSymbols[suit]);
        m_suitHeads[suit]->setStyleSheet(QStringLiteral("QLabel { color: %1; }").arg(suitColour(suit)));
        // "two of hearts": the suit's name is its last word.
        m_suitHeads[suit]->setAccessibleName(capitalised(longCardName({Two, qint16(suit)}).section(QLatin1Char(' '), -1)));
        m_suitCounts[suit] = makeCell(this, QString());
        for (int rank = 0; rank < RankCount; ++rank)
            m_cards[std::size_t(rank * SuitCount + suit)] = makeCell(this, QString());
    }
    for (int rank = 0; rank < RankCount; ++rank) {
        m_rankCounts[rank] = makeCell(this, QString());
        m_rankHeads[rank] = makeCell(this, rankIndex(rank));
        m_rankHeads[rank]->setAccessibleName(capitalised(rankCountText(2, rank).section(QLatin1Char(' '), 1)));
    }
    m_leftHead = makeCell(this, QStringLiteral("left"));
    m_leftHead->setAccessibleName(QStringLiteral("Cards left of each rank"));
    m_total = makeCell(this, QString());
    showDeck(0, 0);
}

void DeckMap::showDeck(CardSet hand, CardSet gone)
{
    const CardSet left = FullDeck & ~hand & ~gone;
    for (int index = 0; index < DeckSize; ++index) {
        const CardCode card{qint16(index / SuitCount), qint16(index % SuitCount)};
        const CardSet bit = cardBit(card);
        QLabel *label = m_cards[std::size_t(index)];
        const QString colour = suitColour(card.suit);
        label->setStyleSheet((hand & bit) ? HandStyle.arg(colour) : (gone & bit) ? GoneStyle : LeftStyle.arg(colour));
        label->setAccessibleName(QStringLiteral("%1, %2").arg(longCardName(card), (hand & bit)   ? QStringLiteral("in the hand")
                                                                                 : (gone & bit) ? QStringLiteral("gone")
                                                                                                : QStringLiteral("left")));
    }
    for (int rank = 0; rank < RankCount; ++rank) {
        const int count = std::popcount(left & rankCards(rank));
        m_rankCounts[rank]->setText(QString::number(count));
        m_rankCounts[rank]->setAccessibleName(rankCountText(count, rank) + QStringLiteral(" left"));
    }
    for (int suit = 0; suit < SuitCount; ++suit) {
        const int count = std::popcount(left & suitCards(suit));
        m_suitCounts[suit]->setText(QString::number(count));
        m_suitCounts[suit]->setAccessibleName(suitCountText(count, suit) + QStringLiteral(" left"));
    }
    m_total->setText(QString::number(std::popcount(left)));
    m_total->setAccessibleName(QStringLiteral("%1 cards left").arg(std::popcount(left)));
}

// The cells share the width; their letters take about half a cell, never
// more than the map's own font.
DeckMap::Cells DeckMap::cellsFor(int width) const
{
    const QFontMetrics metrics(font());
    const int widest = int(metrics.height() * WidestCell);
    Cells cells;
    cells.tall = width / WideColumns < int(metrics.height() * LeastWideCell);
    cells.columns = cells.tall ? TallColumns : WideColumns;
    cells.rows = cells.tall ? RankCount + 1 : SuitCount + 1;
    cells.width = std::clamp(width / cells.columns, 1, widest);
    cells.fontPixels = std::clamp(cells.width * 11 / 20, 1, QFontInfo(font()).pixelSize());
    QFont small = font();
    small.setPixelSize(cells.fontPixels);
    small.setBold(true);
    const QFontMetrics letters(small);
    cells.height = letters.height() + 2 * Gap + 2;
    cells.headWidth = std::max(cells.width, letters.horizontalAdvance(m_leftHead->text()) + 2 * Gap + 4);
    cells.width = std::clamp((width - cells.headWidth) / (cells.columns - 1), 1, widest);
    return cells;
}

int DeckMap::heightForWidth(int width) const
{
    const Cells cells = cellsFor(width);
    return cells.rows * cells.height;
}

QSize DeckMap::sizeHint() const
{
    const int width = int(QFontMetrics(font()).height() * WidestCell) * WideColumns;
    return {width, heightForWidth(width)};
}

QSize DeckMap::minimumSizeHint() const
{
    const int width = TallColumns * QFontMetrics(font()).height();
    return {width, heightForWidth(width)};
}

void DeckMap::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    layOut();
}

void DeckMap::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        updateGeometry();
        layOut();
    }
}

void DeckMap::place(QLabel *label, int rankLine, int suitLine, const Cells &cells)
{
    const bool head = rankLine == 0 || suitLine < 0;
    const bool count = rankLine == RankCount + 1 || suitLine == SuitCount;
    QFont small = font();
    small.setPixelSize(cells.fontPixels);
    small.setBold(head || count);
    label->setFont(small);
    const int column = cells.tall ? suitLine + 1 : rankLine;
    const int row = cells.tall ? rankLine - 1 : suitLine;
    const int left = column == 0 ? 0 : cells.headWidth + (column - 1) * cells.width;
    const int cellWidth = column == 0 ? cells.headWidth : cells.width;
    label->setGeometry(left + Gap, row * cells.height + Gap, cellWidth - 2 * Gap, cells.height - 2 * Gap);
}

// The ace first, as a player reads a hand from its highest card. A wide
// map's cells show their ranks beside the suits' heads, a tall one's their
// suits beside the ranks'.
void DeckMap::layOut()
{
    const Cells cells = cellsFor(width());
    const auto line = [](int rank) { return RankCount - rank; };
    for (int suit = 0; suit < SuitCount; ++suit) {
        m_suitHeads[suit]->setVisible(!cells.tall);
        place(m_suitHeads[suit], 0, suit, cells);
        for (int rank = 0; rank < RankCount; ++rank) {
            QLabel *card = m_cards[std::size_t(rank * SuitCount + suit)];
            card->setText(cells.tall ? QString(SuitSymbols[suit]) : rankIndex(rank));
            place(card, line(rank), suit, cells);
        }
        place(m_suitCounts[suit], RankCount + 1, suit, cells);
    }
    for (int rank = 0; rank < RankCount; ++rank) {
        m_rankHeads[rank]->setVisible(cells.tall);
        place(m_rankHeads[rank], line(rank), -1, cells);
        place(m_rankCounts[rank], line(rank), SuitCount, cells);
    }
    // The word for the counts stands at the start of their line.
    place(m_leftHead, cells.tall ? RankCount + 1 : 0, cells.tall ? -1 : SuitCount, cells);
    place(m_total, RankCount + 1, SuitCount, cells);
}
