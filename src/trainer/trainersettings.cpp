#include "trainersettings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QStringList>

namespace {

const QString PanelShown = QStringLiteral("trainer/panelShown");
const QString AdviceAlways = QStringLiteral("trainer/adviceAlways");
const QString Training = QStringLiteral("trainer/training");
const QString Threshold = QStringLiteral("trainer/warnWhen");
const QString SoundOn = QStringLiteral("sound/on");
// The thresholds by their names in the file, in the order of WarnThreshold.
const QStringList ThresholdNames = {QStringLiteral("anyLoss"), QStringLiteral("overOnePercentOfBet"),
                                    QStringLiteral("overFivePercentOfBet"), QStringLiteral("overTenPercentOfBet")};

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
    options.firstStart = settings.allKeys().isEmpty();
    options.panelShown = readFlag(settings, PanelShown, options.panelShown);
    options.adviceAlways = readFlag(settings, AdviceAlways, options.adviceAlways);
    options.training = readFlag(settings, Training, options.training);
    options.soundOn = readFlag(settings, SoundOn, options.soundOn);
    if (const qsizetype named = ThresholdNames.indexOf(settings.value(Threshold).toString()); named >= 0)
        options.threshold = WarnThreshold(named);
    return options;
}

void TrainerSettings::save(QSettings &settings) const
{
    settings.setValue(PanelShown, panelShown);
    settings.setValue(AdviceAlways, adviceAlways);
    settings.setValue(Training, training);
    settings.setValue(Threshold, ThresholdNames[qsizetype(threshold)]);
    settings.setValue(SoundOn, soundOn);
}

// Where QSettings keeps an application's options on this platform, named
// outright so that the file can be looked at before it is read.
QString TrainerSettings::playerFile()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation))
        .filePath(QStringLiteral("%1/%2.conf").arg(QCoreApplication::organizationName(),
                                                   QCoreApplication::applicationName()));
}

std::unique_ptr<QSettings> TrainerSettings::openFile(const QString &path, QString &problem)
{
    const QFileInfo file(path);
    if (file.exists() && !file.isFile()) {
        problem = QStringLiteral("The options are not kept: %1 is not a file, and it is left as it is. "
                                 "The game starts with its defaults.")
                      .arg(QDir::toNativeSeparators(path));
        return nullptr;
    }
    return std::make_unique<QSettings>(path, QSettings::IniFormat);
}
