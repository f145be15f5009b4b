#pragma once
// Where a top-level window goes on the screen: a remembered position is used
// when its title bar lands on a screen, and the whole window, frame included,
// is kept inside the screen's available area (smaller if need be).

#include <QPoint>
#include <QString>
#include <optional>

class QWidget;

namespace brisden::ui {

// The remembered top-left corner (pixels, from the Left and Top texts in
// twips) when it puts the window's title bar on one of the screens.
std::optional<QPoint> RememberedPosition(const QString& left, const QString& top,
                                         const QWidget& window);

// Moves window to topLeft, resized and shifted so that it fits the available
// area of the screen it lands on.
void FitOnScreen(QWidget& window, QPoint topLeft);

// Puts a window where the last run left it: a normal window (windowSize "0")
// at its remembered corner, or at the screen's corner when that is off every
// screen; a window without a remembered state, or minimized or maximized,
// stays where it is, inside the screen.
void RestoreWindowPosition(QWidget& window, const QString& windowSize, const QString& left,
                           const QString& top);

}  // namespace brisden::ui
