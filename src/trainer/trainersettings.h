#pragma once

#include "trainer/trainer.h"

class QSettings;

// The trainer's options, kept between runs. A player who has none yet sees
// the panel, with training on, so that the trainer is found.
struct TrainerSettings
{
    bool panelShown = true;
    bool adviceAlways = false;
    bool soundOn = true;
    bool training = true;
    WarnThreshold threshold = WarnThreshold::AnyLoss;
    // No option was ever saved: the first start.
    bool firstStart = true;

    // Reads the options; a file that is missing or cannot be read, and any
    // value that is not one the options can take, leave the default.
    static TrainerSettings load(const QSettings &settings);
    void save(QSettings &settings) const;
};
