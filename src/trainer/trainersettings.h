#pragma once

class QSettings;

// The trainer's options, kept between runs. Everything is off until the
// player turns it on, so that the game plays as it always has.
struct TrainerSettings
{
    bool panelShown = false;
    bool adviceAlways = false;
    bool soundOn = true;

    // Reads the options; a file that is missing or cannot be read, and any
    // value that is not plainly true or false, leave the default.
    static TrainerSettings load(const QSettings &settings);
    void save(QSettings &settings) const;
};
