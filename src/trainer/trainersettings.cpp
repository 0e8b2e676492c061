#include "trainersettings.h"

#include <QSettings>

namespace {

const QString PanelShown = QStringLiteral("trainer/panelShown");
const QString AdviceAlways = QStringLiteral("trainer/adviceAlways");
const QString SoundOn = QStringLiteral("sound/on");

bool readFlag(const QSettings &settings, const QString &key, bool fallback)
{
    const QString text = settings.value(key).toString().trimmed().toLower();
    if (text == QLatin1String("true"))
        return true;
    if (text == QLatin1String("false"))
        return false;
    return fallback;
}

} // namespace

TrainerSettings TrainerSettings::load(const QSettings &settings)
{
    TrainerSettings options;
    if (settings.status() != QSettings::NoError)
        return options;
    options.panelShown = readFlag(settings, PanelShown, options.panelShown);
    options.adviceAlways = readFlag(settings, AdviceAlways, options.adviceAlways);
    options.soundOn = readFlag(settings, SoundOn, options.soundOn);
    return options;
}

void TrainerSettings::save(QSettings &settings) const
{
    settings.setValue(PanelShown, panelShown);
    settings.setValue(AdviceAlways, adviceAlways);
    settings.setValue(SoundOn, soundOn);
}
