#pragma once
// The column layouts of the printed reports: tab stops in character columns
// (negative: the text ends at that column; 999: centred over the page) paired
// with the caption texts of a heading. The tables are kept as text, one
// entry per id, and read by LoadColumnLayout; every printed destination (the
// printer and the preview page) lays its lines out from them.

#include <QString>
#include <QStringList>
#include <cstdint>
#include <vector>

namespace brisden {

// Ids of the layout table.
enum ColumnLayoutId : int {
    ListingTabsLandscape = 101,         // detail lines of the listing, 132 columns
    ListingHeadingTabsLandscape = 102,  // its two heading lines
    ListingCaptionsLandscape = 103,
    ListingTabsPortrait = 104,  // detail lines, 80 columns
    ListingHeadingTabsPortrait = 105,
    ListingCaptionsPortrait = 106,
    BasisHeadingTabs = 107,    // the worksheet's heading
    BasisEntryTabs = 108,      // worksheet entries
    BasisRemainingTabs = 109,  // remaining lots
    BasisTotalsTabs = 110,     // the totals block
    BasisCaptions = 111,
};

// The text of one table entry; empty for an unknown id.
QString ColumnLayoutText(int id);

struct ColumnLayout {
    std::vector<std::int32_t> tabStops;
    QStringList texts;  // "\r" ends a line; empty when only tab stops were loaded
};

// Tab stops: the entry split at blanks, each piece's leading number ("-33,"
// gives -33) rounded to the nearest integer. Captions: the entry split at
// commas, "vbCR"/"vbCr" standing for a line end and a single blank for an
// empty cell. captionId 0 loads tab stops only.
ColumnLayout LoadColumnLayout(int tabStopId, int captionId = 0);

}  // namespace brisden
