#pragma once
// Colours as Application.ini keeps them: 0x00BBGGRR, or 0x800000nn for the
// system colour nn, which follows the desktop's palette.

#include "shell/Settings.h"

#include <QColor>
#include <QPalette>

namespace brisden::grid {

// The palette role that stands for system colour nn (8 window text,
// 5 window background, 15 button face, ...).
QPalette::ColorRole SystemColourRole(int index);
QColor ToQColor(Settings::Colour colour, const QPalette& palette);

}  // namespace brisden::grid
