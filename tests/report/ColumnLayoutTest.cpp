// The printed reports' column layouts as the page composer reads them.

#include "report/ColumnLayout.h"

#include <gtest/gtest.h>

namespace brisden {
namespace {

TEST(ColumnLayout, EveryHeadingPairsATabStopWithEachCaption)
{
    // Each heading's captions line up index by index with its tab stops (the
    // stop at the line end is ignored but present); " " is an empty cell and
    // "vbCR" or "vbCr" the one line end.
    const std::pair<int, int> headings[] = {
        {ListingHeadingTabsLandscape, ListingCaptionsLandscape},
        {ListingHeadingTabsPortrait, ListingCaptionsPortrait},
        {BasisHeadingTabs, BasisCaptions},
    };
    for (const auto& [tabs, captions] : headings) {
        const ColumnLayout layout = LoadColumnLayout(tabs, captions);
        EXPECT_EQ(layout.tabStops.size(), size_t(layout.texts.size())) << tabs;
        EXPECT_EQ(1, layout.texts.count(QStringLiteral("\r"))) << captions;
        EXPECT_TRUE(layout.texts[0].isEmpty()) << captions;
        for (const QString& text : layout.texts)
            EXPECT_FALSE(text.startsWith(QLatin1String("vb")) || text == QLatin1String(" "));
    }
    // A piece is its leading number: "-28," is -28.
    const ColumnLayout entries = LoadColumnLayout(BasisEntryTabs);
    EXPECT_EQ((std::vector<std::int32_t>{0, 8, -28, -41, -53, -65, -72, -78}), entries.tabStops);
    EXPECT_TRUE(entries.texts.isEmpty());
    EXPECT_TRUE(LoadColumnLayout(100).tabStops.empty());
}

}  // namespace
}  // namespace brisden
