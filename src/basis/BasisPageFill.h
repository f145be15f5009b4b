#pragma once
// Page filling of the worksheet on the printer surface (destination 2). With
// "TextBasisLines" L not 0 the lines are counted (the counter is 1 after each
// page's heading); with L = 0 the vertical position on the page decides. The
// first page starts at the first printed entry.

namespace brisden {

class BasisPageFill {
public:
    explicit BasisPageFill(int linesPerPage) : m_lines(linesPerPage) {}

    // Before a worksheet entry or a remaining-lot line: counts the line and
    // tells whether a new page must be started first.
    bool beforeLine(double currentY, double lastLineY);
    // Before the closing section (its heading takes 3 lines).
    bool beforeClosing(double currentY, double lastLineY, double lineHeight);
    // Before the totals block (11 lines).
    bool beforeTotals(double currentY, double lastLineY, double lineHeight) const;
    // A page was started: page header and column heading printed.
    void pageStarted();

    bool anyPage() const { return m_started; }
    int counter() const { return m_counter; }

private:
    // counter \ divisor <> 0, integer division truncating toward zero; a
    // divisor of 0 (too few lines per page for the block) always breaks.
    bool full(int divisor) const { return divisor == 0 || m_counter / divisor != 0; }

    int m_lines;
    int m_counter = 0;
    bool m_started = false;
};

}  // namespace brisden
