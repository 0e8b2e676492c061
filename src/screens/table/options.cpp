// The trainer's options: the panel beside the table, its advice and the
// sound, switched by keys and the table's right-click menu, and kept in the
// player's settings.
#include "screens/table/cards.h"

#include "platform/placement.h"
#include "screens/trainerpanel.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QScreen>
#include <QSettings>

void cards::setTrainerShown(bool shown)
{
    m_options.panelShown = shown;
    panel->setVisible(shown);
    setFixedSize(ClientSize.width() + (shown ? TrainerPanel::PanelWidth : 0), ClientSize.height());
    if (!isVisible()) {
        // Options read while the table opens give it its width before it is
        // shown: it opens centred at that width.
        centreOnScreen(this);
    } else if (screen()) {
        // A wider window that would reach past the screen's edge moves left.
        const int overhang = frameGeometry().right() - screen()->availableGeometry().right();
        if (overhang > 0)
            move(x() - overhang, y());
    }
    saveOptions();
}

void cards::setAdviceAlways(bool always)
{
    m_options.adviceAlways = always;
    panel->setAdviceAlways(always);
    saveOptions();
}

void cards::setSoundOn(bool on)
{
    m_options.soundOn = on;
    MediaPlayer1.setMuted(!on);
    saveOptions();
}

void cards::useSettings(std::unique_ptr<QSettings> settings)
{
    const TrainerSettings options = TrainerSettings::load(*settings);
    setTrainerShown(options.panelShown);
    setAdviceAlways(options.adviceAlways);
    setSoundOn(options.soundOn);
    m_settings = std::move(settings);
}

void cards::saveOptions()
{
    if (m_settings)
        m_options.save(*m_settings);
}

void cards::contextMenuEvent(QContextMenuEvent *event)
{
    QMenu menu(this);
    const auto addOption = [&menu](const QString &text, bool checked, auto apply) {
        QAction *action = menu.addAction(text);
        action->setCheckable(true);
        action->setChecked(checked);
        connect(action, &QAction::toggled, &menu, apply);
    };
    addOption(QStringLiteral("Trainer\tT"), m_options.panelShown, [this](bool on) { setTrainerShown(on); });
    addOption(QStringLiteral("Advice always on\tA"), m_options.adviceAlways, [this](bool on) { setAdviceAlways(on); });
    addOption(QStringLiteral("Sound\tM"), m_options.soundOn, [this](bool on) { setSoundOn(on); });
    menu.exec(event->globalPos());
}
