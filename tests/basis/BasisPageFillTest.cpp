// Page filling of the worksheet on the printer surface.

#include "basis/BasisPageFill.h"

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

TEST(BasisPageFill, CountedLinesStartAPageWhenTheCounterReachesTheLinesPerPage)
{
    // The first page at the first entry; the counter is 1 after the heading.
    EXPECT_EQ((std::vector<int>{1, 5, 9}), PageStarts(5, 10));
    EXPECT_EQ((std::vector<int>{1}), PageStarts(38, 30));
}

TEST(BasisPageFill, BlocksNeedRoomForTheirLines)
{
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

}  // namespace
}  // namespace brisden
