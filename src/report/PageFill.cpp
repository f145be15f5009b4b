#include "report/PageFill.h"

namespace brisden {

void ListingPageFill::beginFile()
{
    m_rows = 0;
    m_page = 0;
}

void ListingPageFill::pageStarted()
{
    m_page = static_cast<std::int16_t>(m_page + 1);
    m_rows = 1;
}

bool BasisPageFill::beforeLine(double currentY, double lastLineY)
{
    ++m_counter;
    if (!m_started)
        return true;
    return m_lines != 0 ? full(m_lines) : currentY > lastLineY;
}

bool BasisPageFill::beforeClosing(double currentY, double lastLineY, double lineHeight)
{
    m_counter += 3;
    return m_lines != 0 ? full(m_lines - 3) : currentY > lastLineY - 3 * lineHeight;
}

bool BasisPageFill::beforeTotals(double currentY, double lastLineY, double lineHeight) const
{
    return m_lines != 0 ? full(m_lines - 11) : currentY > lastLineY - 11 * lineHeight;
}

void BasisPageFill::pageStarted()
{
    m_started = true;
    m_counter = 1;
}

}  // namespace brisden
