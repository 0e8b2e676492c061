#include "screens/deckmap.h"

#include "model/names.h"

#include <QGridLayout>
#include <QLabel>

#include <bit>

namespace {

// Hearts and diamonds red, as on the faces.
bool isRed(int suit)
{
    return suit == 0 || suit == 2;
}

QString suitSymbol(int suit)
{
    return symbolCardName(CardCode{Two, qint16(suit)}).mid(1);
}

} // namespace

DeckMap::DeckMap(QWidget *parent)
    : QWidget(parent)
{
    setAccessibleName(QStringLiteral("The deck"));
    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(2);
    grid->setVerticalSpacing(1);
    // Every cell as wide as two digits, so that the columns line up.
    const int cellWidth = fontMetrics().horizontalAdvance(QStringLiteral("00")) + 4;
    const auto centred = [&](const QString &text, int row, int column) {
        auto *label = new QLabel(text);
        label->setAlignment(Qt::AlignCenter);
        label->setMinimumWidth(cellWidth);
        grid->addWidget(label, row, column);
        return label;
    };
    for (int rank = Two; rank <= Ace; ++rank) {
        centred(QString(rankLetter(rank)), 0, rank + 1)->setAccessibleName(QString());
        m_rankLeft[std::size_t(rank)] = centred(QString(), SuitCount + 1, rank + 1);
    }
    for (int suit = 0; suit < SuitCount; ++suit) {
        QLabel *symbol = centred(suitSymbol(suit), suit + 1, 0);
        symbol->setStyleSheet(isRed(suit) ? QStringLiteral("color: #c00000") : QString());
        m_suitLeft[std::size_t(suit)] = centred(QString(), suit + 1, RankCount + 1);
        for (int rank = Two; rank <= Ace; ++rank)
            m_cells[std::size_t(suit)][std::size_t(rank)] = centred(QString(), suit + 1, rank + 1);
    }
    QLabel *left = centred(QStringLiteral("left"), SuitCount + 1, 0);
    left->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    grid->setColumnStretch(RankCount + 2, 1);
    showFullDeck();
}

void DeckMap::showDeck(CardSet gone, CardSet hand)
{
    const CardSet left = FullDeck & ~gone & ~hand;
    for (int suit = 0; suit < SuitCount; ++suit) {
        for (int rank = Two; rank <= Ace; ++rank) {
            const CardCode card{qint16(rank), qint16(suit)};
            QLabel *cell = m_cells[std::size_t(suit)][std::size_t(rank)];
            const bool inHand = hand & cardBit(card);
            const bool isLeft = left & cardBit(card);
            cell->setText(isLeft || inHand ? QString(rankLetter(rank)) : QStringLiteral("\u00b7"));
            const QString colour = !isLeft && !inHand ? QStringLiteral("#b0b0b0")
                                   : isRed(suit)      ? QStringLiteral("#c00000")
                                                      : QStringLiteral("black");
            cell->setStyleSheet(QStringLiteral("color: %1; %2").arg(colour, inHand ? QStringLiteral("border: 1px solid black; font-weight: bold")
                                                                                    : QString()));
            cell->setAccessibleName(QStringLiteral("%1, %2").arg(longCardName(card),
                                                               inHand   ? QStringLiteral("in the hand")
                                                               : isLeft ? QStringLiteral("left")
                                                                        : QStringLiteral("gone")));
        }
    }
    for (int rank = Two; rank <= Ace; ++rank) {
        const CardSet ofRank = CardSet(0xF) << (rank * SuitCount);
        const int count = std::popcount(left & ofRank);
        m_rankLeft[std::size_t(rank)]->setText(QString::number(count));
        m_rankLeft[std::size_t(rank)]->setAccessibleName(rankCountText(count, rank) + QStringLiteral(" left"));
    }
    for (int suit = 0; suit < SuitCount; ++suit) {
        int count = 0;
        for (int rank = Two; rank <= Ace; ++rank)
            count += (left & cardBit(CardCode{qint16(rank), qint16(suit)})) != 0;
        m_suitLeft[std::size_t(suit)]->setText(QString::number(count));
        m_suitLeft[std::size_t(suit)]->setAccessibleName(suitCountText(count, suit) + QStringLiteral(" left"));
    }
}
