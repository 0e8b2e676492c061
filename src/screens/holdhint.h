#pragma once

#include "analysis/holdadvisor.h"

#include <QLabel>

#include <optional>

// The advice shown on request between the deal and the draw: which cards
// the best hold keeps, for the deck as it really is now, and what that hold
// and the player's own holds return per credit bet.
class HoldHint
{
public:
    explicit HoldHint(QWidget *table);

    bool isShown() const { return !m_label->isHidden(); }
    // Works out the advice for this deal, once, and shows it.
    void show(const std::array<CardCode, HandSize> &hand, CardSet deck, unsigned playerHolds);
    // The player's holds changed while the advice is up.
    void update(unsigned playerHolds);
    // Hides the advice and forgets it; the next deal needs new advice.
    void reset();

    QLabel *label() const { return m_label; }
    const std::optional<std::array<HoldResult, HoldCount>> &holds() const { return m_holds; }

private:
    QLabel *m_label;
    std::array<CardCode, HandSize> m_hand{};
    std::optional<std::array<HoldResult, HoldCount>> m_holds;
};
