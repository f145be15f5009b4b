#include "basis/BasisPageFill.h"

namespace brisden {

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
