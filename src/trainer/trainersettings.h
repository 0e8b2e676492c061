#pragma once

#include "trainer/trainer.h"

#include <QString>

#include <memory>

class QSettings;

// The trainer's options, kept between runs. A player who has none yet sees
// the panel, with training on, so that the trainer is found; it warns of
// holds that lose more than 1 % of the bet, the mistakes worth stopping a
// learner for, and lets near ties pass.
struct TrainerSettings
{
    bool panelShown = true;
    bool adviceAlways = false;
    bool soundOn = true;
    bool training = true;
    WarnThreshold threshold = WarnThreshold::OverOnePercentOfBet;
    // No option was ever saved: the first start.
    bool firstStart = true;

    // Reads the options; a file that is missing or cannot be read, and any
    // value that is not one the options can take, leave the default.
    static TrainerSettings load(const QSettings &settings);
    void save(QSettings &settings) const;

    // The player's options file: drawpoker.conf in the game's folder among
    // the player's configuration.
    static QString playerFile();
    // The options file at `path`, or nothing where something other than a
    // file is in its place (a pipe, a device, a folder), which is then left
    // alone: reading a pipe waits for ever, and a save would put a file in
    // place of a device. `problem` then says so in the player's words.
    static std::unique_ptr<QSettings> openFile(const QString &path, QString &problem);
};
