#include "data/widgets/PathEllipsis.h"

#include <QFontMetrics>
#include <QWidget>

namespace brisden {

QString PathWithEllipses(const QFontMetrics& metrics, const QString& path, int width)
{
    if (metrics.horizontalAdvance(path) <= width)
        return path;
    // The font's elision marks the cut with one ellipsis character; paths show
    // three full stops instead, which may be a little wider, so the room is
    // narrowed until the result fits.
    const QChar ellipsis(0x2026);
    const QString dots = QStringLiteral("...");
    QString shortened;
    for (int room = width; room > 0; room -= 1) {
        shortened = metrics.elidedText(path, Qt::ElideMiddle, room);
        shortened.replace(ellipsis, dots);
        if (metrics.horizontalAdvance(shortened) <= width)
            return shortened;
    }
    return shortened;
}

QString PathWithEllipses(const QWidget& window, const QString& path, int width)
{
    return PathWithEllipses(window.fontMetrics(), path, width);
}

}  // namespace brisden
