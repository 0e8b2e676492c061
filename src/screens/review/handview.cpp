#include "screens/review/handview.h"

#include "screens/deckmap.h"

#include "model/names.h"
#include "platform/picturebox.h"
#include "render/cardfaces.h"
#include "screens/trainerpanel.h"
#include "trainer/judgement.h"

#include <QGridLayout>
#include <QLabel>
#include <QTextBrowser>

#include <bit>

HandView::HandView(const CardFaces &faces, QWidget *parent)
    : QWidget(parent)
    , m_faces(faces)
{
    auto *layout = new QGridLayout(this);
    for (int slot = 0; slot < HandSize; ++slot) {
        PictureBox *box = faces.makeCardBox(this);
        box->setAccessibleName(QStringLiteral("Card %1").arg(slot + 1));
        connect(box, &PictureBox::clicked, this, [this, slot] { emit cardClicked(slot); });
        layout->addWidget(box, 0, slot, Qt::AlignCenter);
        auto *mark = new QLabel;
        mark->setAlignment(Qt::AlignCenter);
        layout->addWidget(mark, 1, slot);
        m_cards[slot] = box;
        m_holdMarks[slot] = mark;
    }
    // A text browser lays its words out once for its width, where a label
    // that wraps its words lays them out many times to find its size.
    m_words = new QTextBrowser;
    m_words->setReadOnly(true);
    m_words->setOpenLinks(false);
    m_words->document()->setDocumentMargin(0);
    m_words->viewport()->setAutoFillBackground(false);
    m_words->setAccessibleName(QStringLiteral("Analysis"));
    // The deck of the deal beside its words, where the words can point.
    m_deckMap = new DeckMap;
    m_deckMap->hide();
    layout->addWidget(m_deckMap, 2, 0, 1, HandSize, Qt::AlignLeft);
    layout->addWidget(m_words, 3, 0, 1, HandSize);
    layout->setRowStretch(3, 1);
}

void HandView::showDeck(CardSet goneAtDeal, const std::array<CardCode, HandSize> &dealt)
{
    CardSet hand = 0;
    for (const CardCode &card : dealt)
        hand |= cardBit(card);
    m_deckMap->showDeck(hand, goneAtDeal);
    m_deckMap->show();
}

void HandView::showDeal(const std::array<CardCode, HandSize> &dealt)
{
    for (int slot = 0; slot < HandSize; ++slot) {
        const CardCode &card = dealt[slot];
        m_faces.paintFace(m_cards[slot], card.rank, card.suit);
        m_cards[slot]->setAccessibleDescription(symbolCardName(card));
        m_cards[slot]->show();
        m_holdMarks[slot]->show();
    }
    setHeld(0);
    showText(QString());
}

void HandView::setHeld(unsigned held)
{
    m_held = held;
    for (int slot = 0; slot < HandSize; ++slot) {
        QLabel *mark = m_holdMarks[slot];
        const bool on = held & (1u << slot);
        mark->setText(on ? QStringLiteral("<b>HELD</b>") : QString());
        mark->setStyleSheet(on ? QStringLiteral("background: #ffff00; color: black") : QString());
    }
}

void HandView::hideCards()
{
    m_deckMap->hide();
    for (int slot = 0; slot < HandSize; ++slot) {
        m_cards[slot]->hide();
        m_holdMarks[slot]->hide();
    }
}

void HandView::showJudgement(const Judgement &judgement, unsigned held, const QString &firstPress)
{
    showDeck(judgement.goneAtDeal(), judgement.dealt());
    QString text = richCards(judgement.verdictText(held));
    if (judgement.isMistake(held))
        text = QStringLiteral("<font color=#c00000>%1</font>").arg(text);
    const QString lines = judgement.strategyText(held);
    if (!lines.isEmpty())
        text += QStringLiteral("<p>%1</p>").arg(richCards(lines));
    if (!firstPress.isEmpty())
        text += QStringLiteral("<p>%1</p>").arg(firstPress);
    const QString effect = judgement.deckEffectText();
    if (!effect.isEmpty())
        text += QStringLiteral("<p>%1</p>").arg(richCards(effect));
    const int gone = std::popcount(judgement.goneAtDeal());
    text += QStringLiteral("<p>All 32 holds at a bet of %1, on the deck as it was: %2 cards gone since the "
                           "shuffle, %3 left to draw from.</p>%4")
                .arg(judgement.bet())
                .arg(gone)
                .arg(DeckSize - HandSize - gone)
                .arg(adviceTable(judgement, HoldCount, held));
    m_words->setHtml(text);
}

void HandView::showText(const QString &text)
{
    m_words->setHtml(text);
}
