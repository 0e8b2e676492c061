#pragma once

#include "model/cardset.h"

#include <QWidget>

#include <array>

class QLabel;

// The 52 cards as a grid, a column a rank and a row a suit, for seeing the
// deck a deal came from: the cards gone since the shuffle dimmed, the five
// dealt boxed, and how many of each rank and each suit are left to draw.
// Every cell is named for screen readers.
class DeckMap : public QWidget
{
    Q_OBJECT

public:
    explicit DeckMap(QWidget *parent = nullptr);

    // The deck of a deal: `gone` out of it since the shuffle, `hand` the
    // five dealt; the rest can be drawn.
    void showDeck(CardSet gone, CardSet hand);
    // The grid with every card left, before a deal.
    void showFullDeck() { showDeck(0, 0); }

    QLabel *cell(int rank, int suit) const { return m_cells[std::size_t(suit)][std::size_t(rank)]; }
    QLabel *rankLeft(int rank) const { return m_rankLeft[std::size_t(rank)]; }
    QLabel *suitLeft(int suit) const { return m_suitLeft[std::size_t(suit)]; }

private:
    std::array<std::array<QLabel *, RankCount>, SuitCount> m_cells{};
    std::array<QLabel *, RankCount> m_rankLeft{};
    std::array<QLabel *, SuitCount> m_suitLeft{};
};
