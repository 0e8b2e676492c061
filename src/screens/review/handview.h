#pragma once

#include "model/cardset.h"

#include <QWidget>

#include <array>

class CardFaces;
class DeckMap;
class Judgement;
class PictureBox;
class QLabel;
class QTextBrowser;

// A deal shown as it was: the five cards with the table's own faces, the
// holds under them, and the trainer's words on a judgement of the holds on
// the deck as it was at the deal. The review shows a stored hand in it; the
// drill asks for holds in it.
class HandView : public QWidget
{
    Q_OBJECT

public:
    HandView(const CardFaces &faces, QWidget *parent);

    // Shows the five cards dealt, hidden or not before, with nothing held
    // and no words.
    void showDeal(const std::array<CardCode, HandSize> &dealt);
    void setHeld(unsigned held);
    // The deck the deal came from: the cards gone at the deal and the five
    // dealt, on a map of the 52.
    void showDeck(CardSet goneAtDeal, const std::array<CardCode, HandSize> &dealt);
    // Hides the cards, their marks and the deck, once there is no hand to show.
    void hideCards();
    unsigned held() const { return m_held; }
    // The trainer's words on the holds `held` of a judged deal: its verdict,
    // `firstPress` (rich text on the holds of the first press, if any), the
    // deck's effect and all 32 holds.
    void showJudgement(const Judgement &judgement, unsigned held, const QString &firstPress = {});
    // Plain words in place of the trainer's.
    void showText(const QString &text);

    PictureBox *card(int slot) const { return m_cards[slot]; }
    QTextBrowser *words() const { return m_words; }
    DeckMap *deckMap() const { return m_deckMap; }

signals:
    void cardClicked(int slot);

private:
    const CardFaces &m_faces;
    std::array<PictureBox *, HandSize> m_cards{};
    std::array<QLabel *, HandSize> m_holdMarks{};
    DeckMap *m_deckMap;
    QTextBrowser *m_words;
    unsigned m_held = 0;
};
