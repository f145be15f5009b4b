#include "ui/widgets/WindowPlacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>
#include <cmath>

namespace brisden::ui {

namespace {

// Screen lengths in the settings are twips, 15 to the pixel.
constexpr int TwipsPerPixel = 15;

}  // namespace

std::optional<QPoint> RememberedPosition(const QString& left, const QString& top,
                                         const QWidget& window)
{
    bool leftOk = false;
    bool topOk = false;
    const double x = left.trimmed().toDouble(&leftOk);
    const double y = top.trimmed().toDouble(&topOk);
    if (!leftOk || !topOk || !std::isfinite(x) || !std::isfinite(y) || std::fabs(x) >= 1e8 ||
        std::fabs(y) >= 1e8)
        return std::nullopt;
    const QPoint wanted(int(std::lround(double(int(x)) / TwipsPerPixel)),
                        int(std::lround(double(int(y)) / TwipsPerPixel)));
    const QRect titleBar(wanted, QSize(std::max(1, window.width()), 20));
    for (const QScreen* screen : QGuiApplication::screens()) {
        if (screen->availableGeometry().intersects(titleBar))
            return wanted;
    }
    return std::nullopt;
}

void FitOnScreen(QWidget& window, QPoint topLeft)
{
    QScreen* screen = QGuiApplication::screenAt(topLeft);
    if (!screen)
        screen = window.screen();
    if (!screen) {
        window.move(topLeft);
        return;
    }
    const QRect area = screen->availableGeometry();
    const QSize frameExtra = window.frameGeometry().size() - window.geometry().size();
    const QSize room = area.size() - frameExtra;
    const QSize wanted = window.size().boundedTo(room).expandedTo(window.minimumSize());
    if (wanted != window.size())
        window.resize(wanted);
    const QSize outer = wanted + frameExtra;
    const int x = std::clamp(topLeft.x(), area.left(),
                             std::max(area.left(), area.right() + 1 - outer.width()));
    const int y = std::clamp(topLeft.y(), area.top(),
                             std::max(area.top(), area.bottom() + 1 - outer.height()));
    window.move(x, y);
}

void RestoreWindowPosition(QWidget& window, const QString& windowSize, const QString& left,
                           const QString& top)
{
    if (windowSize.isEmpty() || window.windowState() != Qt::WindowNoState) {
        FitOnScreen(window, window.pos());
        return;
    }
    FitOnScreen(window, RememberedPosition(left, top, window).value_or(QPoint(0, 0)));
}

}  // namespace brisden::ui
