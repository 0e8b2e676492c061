#include "holdhint.h"

#include <QStringList>

namespace {

QString keptCards(unsigned mask)
{
    if (mask == 0)
        return QStringLiteral("draw five new cards");
    QStringList numbers;
    for (int slot = 0; slot < HandSize; ++slot) {
        if (mask & (1u << slot))
            numbers << QString::number(slot + 1);
    }
    return QStringLiteral("hold card%1 %2").arg(numbers.size() > 1 ? QStringLiteral("s") : QString(),
                                                 numbers.join(QLatin1Char(' ')));
}

} // namespace

HoldHint::HoldHint(QWidget *table)
    : m_label(new QLabel(table))
{
    QFont font(QStringLiteral("Courier New"));
    font.setPixelSize(15);
    font.setBold(true);
    m_label->setFont(font);
    m_label->setGeometry(0, 252, 798, 48);
    m_label->setAlignment(Qt::AlignCenter);
    m_label->setAccessibleName(QStringLiteral("Hold advice"));
    m_label->hide();
}

void HoldHint::show(const std::array<CardCode, HandSize> &hand, CardSet deck, unsigned playerHolds)
{
    if (!m_holds || hand != m_hand) {
        m_hand = hand;
        m_holds = analyseHolds(hand, deck, PayTable::game());
    }
    update(playerHolds);
    m_label->show();
}

void HoldHint::update(unsigned playerHolds)
{
    if (!m_holds)
        return;
    const unsigned best = bestHold(*m_holds);
    m_label->setText(QStringLiteral("Best: %1, returns %2 per credit\nYour holds return %3 per credit")
                         .arg(keptCards(best))
                         .arg((*m_holds)[best].expectedReturn(), 0, 'f', 4)
                         .arg((*m_holds)[playerHolds].expectedReturn(), 0, 'f', 4));
}

void HoldHint::reset()
{
    m_label->hide();
    m_holds.reset();
}
