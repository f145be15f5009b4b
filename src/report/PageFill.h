#pragma once
// When a printed page is full. Every report on the printer surface (or a
// preview page) asks one of these before it prints, and starts a new page when
// told. With a lines-per-page setting L not 0 the lines are counted (the
// counter is 1 after each page's heading); with L = 0 the vertical position on
// the page decides. The first page starts at the first printed line.

#include <cstdint>

namespace brisden {

// The transaction listing: one line per row; the closing "Today" row takes two
// more lines and keeps one free below it. Each file of a portfolio run starts
// its page count anew.
class ListingPageFill {
public:
    explicit ListingPageFill(int linesPerPage) : m_lines(linesPerPage) {}

    // Start of one file's listing: no page yet.
    void beginFile();
    // Before a listing row. pastLastLine(reserve) tells whether the vertical
    // position is past the last line of the page less reserve line heights
    // (asked only when lines are not counted). True when a page must be
    // started first; the caller then closes the current page unless
    // firstPage() and prints the header for pageNumber().
    template <typename PastLastLine>
    bool beforeRow(bool closing, PastLastLine pastLastLine)
    {
        const int reserve = closing ? 1 : 0;
        m_rows += closing ? 2 : 1;
        bool newPage;
        if (m_page == 0)
            newPage = true;
        else if (m_lines != 0)
            newPage = m_rows >= m_lines - reserve;
        else
            newPage = pastLastLine(reserve);
        if (newPage)
            pageStarted();
        return newPage;
    }

    bool firstPage() const { return m_page == 1; }
    std::int16_t pageNumber() const { return m_page; }

private:
    void pageStarted();

    int m_lines;
    int m_rows = 0;
    std::int16_t m_page = 0;
};

// The basis worksheet: entries and remaining-lot lines one at a time, the
// closing section's heading as a block of 3 lines and the totals as a block
// of 11.
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
