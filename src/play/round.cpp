// The round: three presses of DEAL deal a hand, draw and pay, and turn the
// cards down again. Between the first two presses the player holds cards.
#include "analysis/cardtext.h"
#include "screens/cards.h"

#include <QLineEdit>
#include <QScrollBar>

namespace {

const QColor HeldColour(255, 255, 0);

// What a screen reader says of a HOLD button.
const QString Held = QStringLiteral("held");
const QString Free = QStringLiteral("not held");

} // namespace

void cards::Command1_Click()
{
    if (presscount == 0)
        deck.reshuffle();
    switch (presscount % 3) {
    case 0:
        dealNewHand();
        break;
    case 1:
        drawAndPay();
        break;
    default:
        turnDown();
        break;
    }
    ++presscount;
}

void cards::dealNewHand()
{
    deck.reshuffleIfRunningLow();
    playCue(QStringLiteral("chimes.wav"), 1);
    hint.reset();
    for (int i = 0; i < HandSize; ++i) {
        Commandhold[i]->setBackColor(BackColor());
        Commandhold[i]->setAccessibleDescription(Free);
        Commandhold[i]->show();
        Picturecard[i]->setPicture(nullptr);
    }
    deal();
    showHand();
    VScroll1->hide();
    Commandshuffle->hide();
}

void cards::drawAndPay()
{
    playCue(QStringLiteral("clunk.wav"), 1);
    hint.reset();
    for (CommandButton *hold : Commandhold)
        hold->hide();
    deal();
    showHand();
    calculatepayoff();
}

void cards::turnDown()
{
    for (PictureBox *card : Picturecard) {
        card->setPicture(Picture1->Picture());
        card->setAccessibleDescription(FaceDownDescription);
    }
    playCue(QStringLiteral("clink.wav"), 2);
    VScroll1->show();
    Commandshuffle->show();
}

void cards::showHand()
{
    for (int slot = 1; slot <= HandSize; ++slot) {
        const CardCode &card = deck.hand[std::size_t(slot)];
        makecard(card.rank, card.suit, slot - 1);
        Picturecard[slot - 1]->setAccessibleDescription(longCardName(card));
    }
}

void cards::Commandhold_Click(int Index)
{
    playCue(QStringLiteral("tada.wav"), 1);
    CommandButton *hold = Commandhold[Index];
    hold->setBackColor(hold->BackColor() == HeldColour ? BackColor() : HeldColour);
    hold->setAccessibleDescription(isHeld(Index + 1) ? Held : Free);
    if (hint.isShown())
        hint.update(heldMask());
    Command1->setFocus();
}

void cards::Picturecard_Click(int Index)
{
    if (!Commandhold[Index]->isHidden())
        Commandhold_Click(Index);
}

void cards::Commandshuffle_Click()
{
    shuffle();
    Command1->setFocus();
}

void cards::VScroll1_Scroll()
{
    Text2->setText(QString::number(-VScroll1->value()));
}

void cards::VScroll1_Change()
{
    VScroll1_Scroll();
}

void cards::playCue(const QString &fileName, int times)
{
    MediaPlayer1.setDispatchProperty(MediaPlayer::StartPosition, 0);
    MediaPlayer1.setDispatchProperty(MediaPlayer::PlayCount, times);
    MediaPlayer1.setDispatchProperty(MediaPlayer::FileName, fileName);
}
