#pragma once

class QWidget;

// Puts the window in the middle of the primary screen by its outer size,
// frame included; its size stays as it is.
void centreOnScreen(QWidget *window);
