#pragma once

#include "model/cardset.h"

#include <QWidget>

#include <array>

class QLabel;

// The 52 cards of the deck the trainer reasons about, as a grid of ranks
// by suits, the ace first. The cards left to draw from stand as on a card,
// those gone since the shuffle are dimmed and the hand's own are shaded;
// at the end of each line, how many of that suit or rank are left. Every
// cell is a label of its own, named for screen readers. The grid takes the
// width it is given, its letters as large as the cells allow, up to its
// own font's size: where a row a suit would make them too small to read,
// as beside a table drawn smaller, it stands as a row a rank instead.
class DeckMap : public QWidget
{
    Q_OBJECT

public:
    explicit DeckMap(QWidget *parent = nullptr);

    // The deck at a deal: the cards in the hand and those gone besides.
    void showDeck(CardSet hand, CardSet gone);

    QLabel *cell(const CardCode &card) const { return m_cards[std::size_t(CardIndex(card))]; }
    QLabel *rankCount(int rank) const { return m_rankCounts[std::size_t(rank)]; }
    QLabel *suitCount(int suit) const { return m_suitCounts[std::size_t(suit)]; }
    QLabel *totalCount() const { return m_total; }

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    struct Cells
    {
        bool tall = false; // a row a rank
        int columns = 0;
        int rows = 0;
        int headWidth = 0; // the first column, wide enough for its word
        int width = 0;
        int height = 0;
        int fontPixels = 0;
    };
    Cells cellsFor(int width) const;
    void layOut();
    // Puts a label at `rankLine` (0 the heads, 1 the ace to 13 the two, 14
    // the counts) and `suitLine` (0 to 3 the suits, 4 the counts; -1 the
    // heads of a tall map).
    void place(QLabel *label, int rankLine, int suitLine, const Cells &cells);

    std::array<QLabel *, DeckSize> m_cards{};
    std::array<QLabel *, SuitCount> m_suitHeads{};
    std::array<QLabel *, RankCount> m_rankHeads{};
    std::array<QLabel *, SuitCount> m_suitCounts{};
    std::array<QLabel *, RankCount> m_rankCounts{};
    QLabel *m_leftHead = nullptr;
    QLabel *m_total = nullptr;
};
