#pragma once
// The player's dark look: palette, window font and the application's hints.

#include <QFont>
#include <QPalette>

// Background (62, 62, 62) with white text.
QPalette DarkPalette();
// The desktop's sans-serif font at the window's pixel size: 17 px, less
// when the desktop font is wider than the layout allows.
QFont WindowFont();
// Hints of the whole application appear after 200 ms.
void InstallHintStyle();
