#pragma once
// The report state shared by every report and the listing window: where the
// report goes, the page counter, the header texts, and the date window of the
// listing, basis worksheet and charts. One object for the whole program run.

#include <QString>
#include <cstdint>

namespace brisden {

enum ReportDestinationCode : std::int16_t {
    DestinationScreen = 1,   // the main window's grid
    DestinationPrinter = 2,  // printer surface or preview page
    DestinationPreview = 3,  // asked for by a dialog; output runs as 2
    DestinationFile = 4,     // text file in slot 3
};

struct ReportState {
    std::int16_t ReportDestination = DestinationScreen;
    std::int16_t PageNumber = 0;
    // Listing window as MMDDYYYY; an invalid date (0, 99999999) means open.
    std::int32_t ListFromDate = 0;
    std::int32_t ListToDate = 99999999;
    // Page header lines below the program title.
    QString ReportTitle;
    QString ReportSubtitle;
};

}  // namespace brisden
