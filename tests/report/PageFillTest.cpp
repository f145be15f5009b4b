// Page filling of the printed listing and worksheet.

#include "report/PageFill.h"

#include <gtest/gtest.h>
#include <vector>

namespace brisden {
namespace {

// Entries at which a new page starts when lines are counted.
std::vector<int> PageStarts(int linesPerPage, int entries)
{
    BasisPageFill fill(linesPerPage);
    std::vector<int> starts;
    for (int e = 1; e <= entries; ++e) {
        if (fill.beforeLine(0, 100)) {
            fill.pageStarted();
            starts.push_back(e);
        }
    }
    return starts;
}

TEST(BasisPageFill, CountedLinesAndBlocksThatNeedRoomForTheirLines)
{
    // The first page at the first entry; the counter is 1 after the heading.
    EXPECT_EQ((std::vector<int>{1, 5, 9}), PageStarts(5, 10));
    EXPECT_EQ((std::vector<int>{1}), PageStarts(38, 30));

    BasisPageFill fill(20);
    fill.beforeLine(0, 0);
    fill.pageStarted();
    for (int i = 0; i < 6; ++i)
        EXPECT_FALSE(fill.beforeLine(0, 0));
    EXPECT_EQ(7, fill.counter());
    // 7 + 3 = 10 lines: 10 \ 17 = 0, the heading fits.
    EXPECT_FALSE(fill.beforeClosing(0, 0, 1));
    // The totals need 11 more: 10 \ 9 = 1, a new page.
    EXPECT_TRUE(fill.beforeTotals(0, 0, 1));
    // Too few lines per page for the block: always a new page.
    BasisPageFill tiny(11);
    tiny.pageStarted();
    EXPECT_TRUE(tiny.beforeTotals(0, 0, 1));
}

TEST(BasisPageFill, WithoutALineCountThePositionDecides)
{
    BasisPageFill fill(0);
    EXPECT_TRUE(fill.beforeLine(0, 10));  // the first page
    fill.pageStarted();
    EXPECT_FALSE(fill.beforeLine(9.5, 10));
    EXPECT_TRUE(fill.beforeLine(10.5, 10));
    EXPECT_FALSE(fill.beforeClosing(6.9, 10, 1));
    EXPECT_TRUE(fill.beforeClosing(7.1, 10, 1));
    EXPECT_TRUE(fill.beforeTotals(-0.9, 10, 1));
    EXPECT_FALSE(fill.beforeTotals(-1.1, 10, 1));
}

// Rows (1-based) at which the listing starts a page; a closing row after
// `rows` ordinary rows when closing is set.
std::vector<int> ListingPageStarts(int linesPerPage, int rows, bool closing)
{
    ListingPageFill fill(linesPerPage);
    fill.beginFile();
    std::vector<int> starts;
    for (int r = 1; r <= rows + (closing ? 1 : 0); ++r) {
        if (fill.beforeRow(closing && r > rows, [](int) { return false; }))
            starts.push_back(r);
    }
    return starts;
}

TEST(ListingPageFill, CountedRowsBreakAtTheLinesPerPageAndPagesNumberForEveryFile)
{
    // The first row starts page 1; the heading counts as a line, so a page
    // of 4 lines holds 3 rows.
    EXPECT_EQ((std::vector<int>{1, 4, 7}), ListingPageStarts(4, 9, false));
    // The closing row counts 2 lines more and keeps one line free: after
    // rows 1 and 2 on a page of 6 the count reaches 2 + 2 = 4 < 5, it fits...
    EXPECT_EQ((std::vector<int>{1}), ListingPageStarts(6, 2, true));
    // ...after row 3 it is 3 + 2 = 5 >= 6 - 1: the closing row starts a page.
    EXPECT_EQ((std::vector<int>{1, 4}), ListingPageStarts(6, 3, true));

    // Measured pages number from one for every file.
    ListingPageFill fill(0);
    int reserveAsked = -1;
    auto past = [&reserveAsked](int reserve) {
        reserveAsked = reserve;
        return true;
    };
    fill.beginFile();
    EXPECT_TRUE(fill.beforeRow(false, past));
    EXPECT_EQ(-1, reserveAsked);  // the first page needs no measuring
    EXPECT_TRUE(fill.firstPage());
    EXPECT_TRUE(fill.beforeRow(true, past));
    EXPECT_EQ(1, reserveAsked);
    EXPECT_EQ(2, fill.pageNumber());
    EXPECT_FALSE(fill.firstPage());
    fill.beginFile();
    EXPECT_TRUE(fill.beforeRow(false, [](int) { return false; }));
    EXPECT_EQ(1, fill.pageNumber());
}

}  // namespace
}  // namespace brisden
