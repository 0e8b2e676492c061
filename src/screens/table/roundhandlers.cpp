// The table's handlers pass what the player does on to the round, and the
// table shows what the round reports: the cards, the holds, the money and
// which controls a phase offers.
#include "screens/table/cards.h"

#include "model/names.h"
#include "screens/trainerpanel.h"

#include <QEvent>
#include <QLineEdit>
#include <QScrollBar>

namespace {

const QColor HeldColour(255, 255, 0);

// What a screen reader says of a HOLD button.
const QString Held = QStringLiteral("held");
const QString Free = QStringLiteral("not held");

} // namespace

// In training, with the panel there to explain, the trainer looks at the
// holds before the draw; the round is pressed only once it agrees or the
// player presses again.
void cards::Command1_Click()
{
    if (m_options.panelShown && m_options.training && !trainer.confirmDraw(round.heldMask()))
        return;
    round.pressDeal();
}

void cards::Commandhold_Click(int Index)
{
    if (round.toggleHold(Index))
        Command1->setFocus();
}

// A card box holds like its button, but only while the holds are open;
// the round ignores it at any other time.
void cards::Picturecard_Click(int Index)
{
    Commandhold_Click(Index);
}

void cards::Commandshuffle_Click()
{
    round.pressShuffle();
    Command1->setFocus();
}

// The bar shows the round's bet again when the round keeps it, as it does
// outside the time between rounds.
void cards::VScroll1_Scroll()
{
    round.setBet(-VScroll1->value());
    if (-VScroll1->value() != round.bet())
        showBet(round.bet());
}

void cards::VScroll1_Change()
{
    VScroll1_Scroll();
}

void cards::showDeal()
{
    hint.hide();
    // H and V answer for one deal.
    panel->setAdviceRequested(false);
    panel->setAllHoldsListed(false);
    for (int i = 0; i < HandSize; ++i) {
        showHold(i, false);
        Commandhold[i]->show();
        Picturecard[i]->setPicture(nullptr);
    }
    showHand();
    VScroll1->hide();
    Commandshuffle->hide();
}

void cards::showHold(int index, bool held)
{
    Commandhold[index]->setBackColor(held ? HeldColour : BackColor());
    Commandhold[index]->setAccessibleDescription(held ? Held : Free);
    if (hint.isShown())
        hint.update(round.heldMask());
}

void cards::showDraw()
{
    hint.hide();
    panel->setAdviceRequested(false);
    for (CommandButton *hold : Commandhold)
        hold->hide();
    showHand();
    showMoney();
}

void cards::showTurnDown()
{
    for (PictureBox *card : Picturecard) {
        card->setPicture(Picture1->Picture());
        card->setAccessibleDescription(FaceDownDescription);
    }
    VScroll1->show();
    Commandshuffle->show();
}

void cards::showHand()
{
    const auto hand = round.hand();
    for (int i = 0; i < HandSize; ++i) {
        makecard(hand[i].rank, hand[i].suit, i);
        Picturecard[i]->setAccessibleDescription(longCardName(hand[i]));
    }
}

// The bar runs over negative values, so that pushing its thumb up raises
// the bet.
void cards::showBet(qint32 bet)
{
    Text2->setText(QString::number(bet));
    VScroll1->setValue(-bet);
}

void cards::showMoney()
{
    Text1->setText(QString::number(round.credits()));
    VScroll1->setMinimum(-round.largestBet());
    Text3->setText(QString::number(round.winnings()));
}

// A new desktop theme changes the window's colour; free HOLD buttons keep
// matching it.
void cards::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() != QEvent::PaletteChange)
        return;
    for (int i = 0; i < HandSize; ++i) {
        if (CommandButton *hold = Commandhold[i])
            hold->setBackColor(round.isHeld(i + 1) ? HeldColour : BackColor());
    }
}

void cards::playCue(Round::Cue cue)
{
    const Round::CueSound sound = Round::soundOf(cue);
    MediaPlayer1.setDispatchProperty(MediaPlayer::StartPosition, 0);
    MediaPlayer1.setDispatchProperty(MediaPlayer::PlayCount, sound.times);
    MediaPlayer1.setDispatchProperty(MediaPlayer::FileName, sound.fileName);
}
