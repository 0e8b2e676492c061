#include "screens/review/handview.h"

#include "model/names.h"
#include "platform/clockrandom.h"
#include "screens/table/cards.h"
#include "screens/trainerpanel.h"

#include <QGridLayout>
#include <QLabel>
#include <QScrollArea>

#include <bit>

HandView::HandView(const cards &table, QWidget *parent)
    : QWidget(parent)
    , m_table(table)
    , m_round(std::make_unique<ClockRandom>())
    , m_trainer(m_round)
{
    auto *layout = new QGridLayout(this);
    for (int slot = 0; slot < HandSize; ++slot) {
        PictureBox *box = table.makeCardBox(this);
        box->setAccessibleName(QStringLiteral("Card %1").arg(slot + 1));
        connect(box, &PictureBox::clicked, this, [this, slot] { emit cardClicked(slot); });
        layout->addWidget(box, 0, slot, Qt::AlignCenter);
        auto *mark = new QLabel;
        mark->setAlignment(Qt::AlignCenter);
        layout->addWidget(mark, 1, slot);
        m_cards[slot] = box;
        m_holdMarks[slot] = mark;
    }
    m_words = new QLabel;
    m_words->setWordWrap(true);
    m_words->setTextFormat(Qt::RichText);
    m_words->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    m_words->setAccessibleName(QStringLiteral("Analysis"));
    auto *scroll = new QScrollArea;
    scroll->setWidgetResizable(true);
    scroll->setWidget(m_words);
    layout->addWidget(scroll, 2, 0, 1, HandSize);
    layout->setRowStretch(2, 1);
}

void HandView::showDeal(const std::array<CardCode, HandSize> &dealt)
{
    for (int slot = 0; slot < HandSize; ++slot) {
        const CardCode &card = dealt[slot];
        m_table.paintFace(m_cards[slot], card.rank, card.suit);
        m_cards[slot]->setAccessibleDescription(symbolCardName(card));
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
    for (int slot = 0; slot < HandSize; ++slot) {
        m_cards[slot]->hide();
        m_holdMarks[slot]->hide();
    }
}

bool HandView::showJudgement(const HandRecord &hand)
{
    m_trainer.judge(hand);
    QString text = richCards(m_trainer.verdictText());
    if (m_trainer.mistake())
        text = QStringLiteral("<font color=#c00000>%1</font>").arg(text);
    const QString effect = m_trainer.deckEffectText();
    if (!effect.isEmpty())
        text += QStringLiteral("<p>%1</p>").arg(richCards(effect));
    const int gone = std::popcount(hand.goneAtDeal);
    text += QStringLiteral("<p>All 32 holds at a bet of %1, on the deck as it was: %2 cards gone since the "
                           "shuffle, %3 left to draw from.</p>%4")
                .arg(hand.bet)
                .arg(gone)
                .arg(std::popcount(hand.deckAtDeal()))
                .arg(adviceTable(m_trainer, HoldCount, hand.held));
    m_words->setText(text);
    return m_trainer.mistake().has_value();
}

void HandView::showText(const QString &text)
{
    m_words->setText(text);
}
