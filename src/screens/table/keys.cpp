// Keys of the table: the hold advice, holding cards by number, the
// trainer's switches and the bet.
#include "screens/table/cards.h"

#include "screens/review/reviewwindow.h"
#include "screens/trainerpanel.h"

#include <QKeyEvent>
#include <QScrollBar>

void cards::keyPressEvent(QKeyEvent *event)
{
    if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)
        || !Form_KeyDown(event->key()))
        QWidget::keyPressEvent(event);
}

bool cards::Form_KeyDown(int KeyCode)
{
    const bool holdsOpen = round.phase() == Round::Phase::HoldsOpen;
    if (KeyCode >= Qt::Key_1 && KeyCode <= Qt::Key_5) {
        Commandhold_Click(KeyCode - Qt::Key_1);
        return true;
    }
    switch (KeyCode) {
    case Qt::Key_H:
        if (hint.isShown() || panel->adviceRequested())
            showAdvice(false);
        else if (holdsOpen)
            showAdvice(true);
        return true;
    case Qt::Key_V:
        panel->setAllHoldsListed(!panel->allHoldsListed());
        return true;
    case Qt::Key_T:
        setTrainerShown(!m_options.panelShown);
        return true;
    case Qt::Key_W:
        setTraining(!m_options.training);
        return true;
    case Qt::Key_A:
        setAdviceAlways(!m_options.adviceAlways);
        return true;
    case Qt::Key_M:
        setSoundOn(!m_options.soundOn);
        return true;
    case Qt::Key_R:
        openReview();
        return true;
    case Qt::Key_C:
        openStrategy();
        return true;
    case Qt::Key_D:
        if (ReviewWindow *review = openReview())
            review->openDrill();
        return true;
    default:
        return moveBetBar(KeyCode);
    }
}

// With the trainer open the advice goes into its panel, where it names the
// cards; otherwise it stands over the table.
void cards::showAdvice(bool shown)
{
    if (shown && !m_options.panelShown)
        hint.show(round.heldMask());
    else
        hint.hide();
    panel->setAdviceRequested(shown);
}

// The bet keys move the bar as a click on it would, so the bar's limits and
// the round's rules apply to them alike. The bar runs upside down: its
// minimum is the largest bet.
bool cards::moveBetBar(int KeyCode)
{
    QAbstractSlider::SliderAction action;
    switch (KeyCode) {
    case Qt::Key_Up: action = QAbstractSlider::SliderSingleStepSub; break;
    case Qt::Key_Down: action = QAbstractSlider::SliderSingleStepAdd; break;
    case Qt::Key_PageUp: action = QAbstractSlider::SliderPageStepSub; break;
    case Qt::Key_PageDown: action = QAbstractSlider::SliderPageStepAdd; break;
    case Qt::Key_Home: action = QAbstractSlider::SliderToMaximum; break;
    case Qt::Key_End: action = QAbstractSlider::SliderToMinimum; break;
    default: return false;
    }
    if (round.phase() == Round::Phase::BetweenRounds)
        VScroll1->triggerAction(action);
    return true;
}
