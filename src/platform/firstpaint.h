#pragma once

#include <functional>

class QWidget;

// Runs `work` once `window` has painted for the first time, after the whole
// paint has gone through: for what a window's first frame does not need,
// so that loading it does not hold the window up. The work is dropped when
// the window goes first.
void afterFirstPaint(QWidget *window, std::function<void()> work);
