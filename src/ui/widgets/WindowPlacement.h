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

}  // namespace brisden::ui
