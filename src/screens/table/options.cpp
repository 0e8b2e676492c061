// The trainer's options: the panel by the table, the warning before the
// draw, its advice and the sound, switched by keys and the table's
// right-click menu, and kept in the player's settings.
#include "screens/table/cards.h"

#include "platform/firstpaint.h"
#include "platform/placement.h"
#include "platform/windowplaces.h"
#include "screens/review/reviewwindow.h"
#include "screens/review/strategywindow.h"
#include "screens/trainerpanel.h"

#include <QActionGroup>
#include <QContextMenuEvent>
#include <QDateTime>
#include <QMenu>
#include <QSettings>

namespace {

// Below the table the panel needs room for a few lines of each section.
constexpr int LeastHeightBelow = 240;

// A window of the table's shown, above the others and with the keys.
void bringUp(QWidget *window)
{
    window->show();
    window->raise();
    window->activateWindow();
}

// "Any amount", "More than 1 % of the bet", ...
QString warnLevelText(WarnThreshold threshold)
{
    const int percent = percentOfBet(threshold);
    return percent == 0 ? QStringLiteral("Any amount") : QStringLiteral("More than %1 % of the bet").arg(percent);
}

} // namespace

void cards::setTrainerShown(bool shown)
{
    m_options.panelShown = shown;
    m_panelHeight = 0;
    panel->setVisible(shown);
    showDrillDue();
    placeWindow();
    saveOptions();
}

// The table is drawn as large as the screen has room for, up to its full
// size, and the panel goes where the screen has room for it beside or below
// the table, never over it. The window stays on the screen: it opens
// centred, and later moves no more than it must.
void cards::placeWindow()
{
    std::optional<PanelWants> wants;
    // Once shown beside the table the panel keeps its height, and scrolls
    // what more a deal has to say: a window that grew as it played would
    // move about the screen.
    const bool panelPlaced = isVisible() && m_panelHeight > 0;
    if (m_options.panelShown)
        wants = PanelWants{TrainerPanel::PanelWidth, {TrainerPanel::NarrowestWidth, LeastHeightBelow},
                           [this, panelPlaced](int width) {
                               return panelPlaced ? m_panelHeight : std::max(m_panelHeight, panel->heightForWidth(width));
                           }};
    const TablePlace place = placeTable(ClientSize, clientRoom(this), wants);
    if (place.scale != m_scale) {
        layOut(place.scale);
        redrawFaces();
    }
    setFixedSize(place.place.window);
    if (m_options.panelShown) {
        panel->setGeometry(place.place.panel);
        m_panelHeight = place.place.panel.height();
        panel->raise();
    }
    if (isVisible())
        keepOnScreen(this);
    else
        centreOnScreen(this);
}

// Card boxes of a new size have lost what was drawn on them; backs draw
// themselves again, faces are drawn again here.
void cards::redrawFaces()
{
    if (!Picturecard[0]->Picture())
        showHand();
}

void cards::setTraining(bool on)
{
    m_options.training = on;
    saveOptions();
}

void cards::setWarnThreshold(WarnThreshold threshold)
{
    m_options.threshold = threshold;
    trainer.setWarnThreshold(threshold);
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

void cards::useSettingsFile(const QString &path)
{
    QString problem;
    std::unique_ptr<QSettings> settings = TrainerSettings::openFile(path, problem);
    panel->setOptionsMessage(problem);
    useSettings(std::move(settings));
}

void cards::useSettings(std::unique_ptr<QSettings> settings)
{
    const TrainerSettings options = settings ? TrainerSettings::load(*settings) : TrainerSettings{.firstStart = false};
    panel->setWelcomeShown(options.firstStart);
    setTrainerShown(options.panelShown);
    setTraining(options.training);
    setWarnThreshold(options.threshold);
    setAdviceAlways(options.adviceAlways);
    setSoundOn(options.soundOn);
    m_places->useSettings(settings.get());
    m_settings = std::move(settings);
    // The first frame needs neither the history nor the options written
    // back (which ends the first start), and both wait on the disk; no hand
    // is settled and no option changed before the table is on the screen.
    afterFirstPaint(this, [this] {
        saveOptions();
        openHistory(HandHistory::defaultPath());
    });
}

// The trainer's record of each settled hand goes to the history whether the
// panel is shown or not; a history that cannot be kept is told of once, in
// the panel, and the game plays on. Hands waiting for a locked file are
// told of while they wait.
void cards::openHistory(const QString &path)
{
    // The review and the chart read the history they were opened on.
    delete m_review;
    delete m_strategy;
    m_history = std::make_unique<HandHistory>();
    connect(m_history.get(), &HandHistory::failed, panel, &TrainerPanel::setHistoryMessage);
    connect(m_history.get(), &HandHistory::delayed, panel, [this](const QString &message) {
        panel->setHistoryMessage(message.isEmpty() ? m_history->message() : message);
    });
    connect(m_history.get(), &HandHistory::opened, panel, [this] {
        panel->setHistoryMessage(m_history->message());
        showDrillDue();
    });
    connect(&trainer, &Trainer::settled, m_history.get(), &HandHistory::record);
    // A mistake just recorded is due at once.
    connect(&trainer, &Trainer::settled, m_history.get(), [this] { showDrillDue(); });
    // The file is checked on a thread of its own: a long history takes a
    // second or so, and the table is playing meanwhile.
    m_history->open(path, HandHistory::Check::InBackground);
    panel->setHistoryMessage(m_history->message());
    showDrillDue();
}

// Read only for a panel on show: the table alone reads nothing more.
void cards::showDrillDue()
{
    const bool readable = m_history
                          && (m_history->state() == HandHistory::State::Keeping
                              || m_history->state() == HandHistory::State::ReadOnly);
    if (!m_options.panelShown || !readable) {
        panel->setDrillDue(0);
        return;
    }
    const HistoryRead<DrillOutlook> outlook = m_history->drillOutlook(QDateTime::currentDateTimeUtc());
    panel->setDrillDue(outlook.ok() ? outlook.value.dueNow : 0);
}

ReviewWindow *cards::openReview()
{
    const bool readable = m_history
                          && (m_history->state() == HandHistory::State::Keeping
                              || m_history->state() == HandHistory::State::Checking
                              || m_history->state() == HandHistory::State::ReadOnly);
    if (!readable)
        return nullptr;
    if (!m_review) {
        m_review = new ReviewWindow(*this, *m_history, [this] { return trainer.sessionStart(); }, this);
        connect(m_review, &ReviewWindow::drillDueChanged, this, &cards::showDrillDue);
        // At the size it asks for where the screen has room, or where the
        // player left it.
        m_places->place(m_review, QStringLiteral("review"), m_review->size());
    } else
        m_review->refresh();
    bringUp(m_review);
    return m_review;
}

StrategyWindow *cards::openStrategy()
{
    if (!m_history)
        return nullptr;
    if (!m_strategy) {
        m_strategy = new StrategyWindow(*this, *m_history, this);
        m_places->place(m_strategy, QStringLiteral("strategy"), m_strategy->size());
    } else
        m_strategy->refresh();
    bringUp(m_strategy);
    return m_strategy;
}

// Every change of an option is kept at once, and shown in the panel.
void cards::saveOptions()
{
    const int percent = percentOfBet(m_options.threshold);
    panel->setOptionsState(m_options.training, m_options.adviceAlways, m_options.soundOn,
                           percent == 0 ? QStringLiteral("at any loss") : QStringLiteral("over %1 %").arg(percent));
    if (m_settings)
        m_options.save(*m_settings);
}

void cards::contextMenuEvent(QContextMenuEvent *event)
{
    QMenu menu(this);
    const auto addOption = [](QMenu *to, const QString &text, bool checked, auto apply) {
        QAction *action = to->addAction(text);
        action->setCheckable(true);
        action->setChecked(checked);
        connect(action, &QAction::toggled, to, apply);
        return action;
    };
    addOption(&menu, QStringLiteral("Trainer\tT"), m_options.panelShown, [this](bool on) { setTrainerShown(on); });
    addOption(&menu, QStringLiteral("Training: warn before the draw\tW"), m_options.training,
              [this](bool on) { setTraining(on); });
    QMenu *warnWhen = menu.addMenu(QStringLiteral("Warn when the holds lose"));
    auto *thresholds = new QActionGroup(warnWhen);
    for (const WarnThreshold threshold : {WarnThreshold::AnyLoss, WarnThreshold::OverOnePercentOfBet,
                                          WarnThreshold::OverFivePercentOfBet, WarnThreshold::OverTenPercentOfBet}) {
        thresholds->addAction(addOption(warnWhen, warnLevelText(threshold), m_options.threshold == threshold,
                                        [this, threshold](bool on) { if (on) setWarnThreshold(threshold); }));
    }
    addOption(&menu, QStringLiteral("Advice always on\tA"), m_options.adviceAlways, [this](bool on) { setAdviceAlways(on); });
    addOption(&menu, QStringLiteral("Sound\tM"), m_options.soundOn, [this](bool on) { setSoundOn(on); });
    menu.addSeparator();
    QAction *review = menu.addAction(QStringLiteral("Review your hands...\tR"), this, [this] { openReview(); });
    review->setEnabled(m_history && m_history->state() != HandHistory::State::NotKept);
    QAction *strategy = menu.addAction(QStringLiteral("Strategy chart...\tC"), this, [this] { openStrategy(); });
    strategy->setEnabled(m_history != nullptr);
    menu.exec(event->globalPos());
}
