// The printed reports' column layouts as the page composer reads them.

#include "report/ColumnLayout.h"

#include <gtest/gtest.h>

namespace brisden {
namespace {

TEST(ColumnLayout, EveryHeadingPairsATabStopWithEachCaption)
{
    // Each heading's captions line up index by index with its tab stops (the
    // stop at the line end is ignored but present).
    const std::pair<int, int> headings[] = {
        {ListingHeadingTabsLandscape, ListingCaptionsLandscape},
        {ListingHeadingTabsPortrait, ListingCaptionsPortrait},
        {BasisHeadingTabs, BasisCaptions},
    };
    for (const auto& [tabs, captions] : headings) {
        const ColumnLayout layout = LoadColumnLayout(tabs, captions);
        EXPECT_EQ(layout.tabStops.size(), size_t(layout.texts.size())) << tabs;
        EXPECT_EQ(1, layout.texts.count(QStringLiteral("\r"))) << captions;
    }
}

TEST(ColumnLayout, PiecesReadAsLeadingNumbersAndCaptionCells)
{
    const ColumnLayout listing =
        LoadColumnLayout(ListingHeadingTabsLandscape, ListingCaptionsLandscape);
    // "-48," reads as -48; the first caption " " is an empty cell; "vbCR" ends
    // the first heading line.
    EXPECT_EQ(-48, listing.tabStops[1]);
    EXPECT_EQ(125, listing.tabStops.back());
    EXPECT_TRUE(listing.texts[0].isEmpty());
    EXPECT_EQ(QStringLiteral("\r"), listing.texts[8]);
    EXPECT_EQ(QStringLiteral("Desc:"), listing.texts[10]);
    EXPECT_EQ(QStringLiteral("Typ"), listing.texts.back());

    const ColumnLayout entries = LoadColumnLayout(BasisEntryTabs);
    EXPECT_EQ((std::vector<std::int32_t>{0, 8, -28, -41, -53, -65, -72, -78}), entries.tabStops);
    EXPECT_TRUE(entries.texts.isEmpty());
    EXPECT_TRUE(LoadColumnLayout(100).tabStops.empty());
}

}  // namespace
}  // namespace brisden
