#include "screens/table/holdhint.h"

#include "screens/trainerpanel.h"
#include "trainer/trainer.h"

HoldHint::HoldHint(QWidget *table, const Trainer &trainer)
    : m_label(new QLabel(table))
    , m_trainer(trainer)
{
    QFont font(QStringLiteral("Courier New"));
    font.setBold(true);
    m_label->setFont(font);
    m_label->setAlignment(Qt::AlignCenter);
    m_label->setAccessibleName(QStringLiteral("Hold advice"));
    m_label->hide();
}

void HoldHint::show(unsigned playerHolds)
{
    update(playerHolds);
    m_label->show();
}

void HoldHint::update(unsigned playerHolds)
{
    if (const auto &judgement = m_trainer.judgement())
        m_label->setText(richCards(judgement->hintText(playerHolds)));
}
