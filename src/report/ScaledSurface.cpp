#include "report/ScaledSurface.h"

namespace brisden {

void ScaledSurface::ScaleInches()
{
    Scale(0, 0, m_page.printableWidth, m_page.printableHeight);
    home();
}

void ScaledSurface::Scale(double x1, double y1, double x2, double y2)
{
    m_left = x1;
    m_top = y1;
    m_width = x2 - x1 == 0 ? 1 : x2 - x1;
    m_height = y2 - y1 == 0 ? 1 : y2 - y1;
}

double ScaledSurface::TextWidth(const QString& text) const
{
    return textWidthInches(text) * m_width / m_page.printableWidth;
}

double ScaledSurface::TextHeight(const QString&) const
{
    return lineHeightInches() * m_height / m_page.printableHeight;
}

void ScaledSurface::Print(const QString& text, bool endLine)
{
    if (!text.isEmpty()) {
        drawText(toInchesX(m_x), toInchesY(m_y), text);
        m_x += TextWidth(text);
    }
    if (endLine) {
        m_x = 0;
        m_y += TextHeight(QStringLiteral("I"));
    }
}

}  // namespace brisden
