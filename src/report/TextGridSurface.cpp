#include "report/TextGridSurface.h"

#include <cmath>

namespace brisden {

TextGridSurface::TextGridSurface(const Options& options)
    : ScaledSurface(options.page), m_options(options)
{
    if (m_options.orientation == 0) {
        // A text device is addressed in its own character cells.
        Scale(0, 0, m_page.printableWidth / m_options.charWidth,
              m_page.printableHeight / m_options.lineHeight);
        home();
    }
}

double TextGridSurface::textWidthInches(const QString& text) const
{
    return static_cast<double>(text.size()) * m_options.charWidth;
}

void TextGridSurface::drawText(double xInches, double yInches, const QString& text)
{
    // Halves round up whatever the binary fractions of the inches.
    const long row = std::lround(yInches / m_options.lineHeight + 1e-7);
    const long column = std::lround(xInches / m_options.charWidth + 1e-7);
    if (row < 0 || column < 0)
        return;  // outside the printable area: not drawn
    while (m_current.size() <= row)
        m_current << QString();
    QString& line = m_current[static_cast<qsizetype>(row)];
    if (line.size() < column + text.size())
        line = line.leftJustified(column + text.size(), QLatin1Char(' '));
    line.replace(column, text.size(), text);
}

bool TextGridSurface::NewPage()
{
    if (m_options.preview)
        return false;
    m_pages.push_back(m_current);
    m_current.clear();
    home();
    return true;
}

bool TextGridSurface::EndDoc()
{
    if (m_options.preview)
        return false;
    if (!m_current.isEmpty())
        m_pages.push_back(m_current);
    m_current.clear();
    return true;
}

void TextGridSurface::KeepPage()
{
    m_pages.push_back(m_current);
    m_current.clear();
    home();
}

QString TextGridSurface::text() const
{
    QStringList all;
    for (std::size_t i = 0; i < m_pages.size(); ++i) {
        if (i > 0)
            all << QStringLiteral("\f");
        all << m_pages[i];
    }
    return all.join(QLatin1Char('\n'));
}

}  // namespace brisden
