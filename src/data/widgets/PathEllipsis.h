#pragma once
// Path shortening for captions, labels and lists: the middle of a path that
// is too wide gives way to "...", in the font the text is shown in.

#include <QString>

class QFontMetrics;
class QWidget;

namespace brisden {

// path with its middle replaced by "..." so that it fits width pixels in the
// window's current font; a path that fits is returned unchanged.
QString PathWithEllipses(const QWidget& window, const QString& path, int width);
// The same for a given font.
QString PathWithEllipses(const QFontMetrics& metrics, const QString& path, int width);

}  // namespace brisden
