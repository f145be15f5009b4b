#pragma once
// The listing on the printer surface or a preview page (destination 2): the
// page header and the two-line column heading on every page, one line per
// row in the layout of the printer's orientation (132 columns in landscape,
// 80 in portrait, fixed character columns on a text device), the file and
// portfolio summaries, the rate of return and the closing notes.

#include "analysis/ListingOutput.h"
#include "report/ColumnLayout.h"
#include "report/PageFill.h"

namespace brisden {

struct Calendar;
class PageComposer;

class ListingPrinter final : public IListingOutput {
public:
    // linesPerPage: "TextListLines" (0 = measure the page); topMargin:
    // "TextListTopMargin". The report title is already in the report state.
    ListingPrinter(PageComposer& composer, const Calendar& calendar, int linesPerPage,
                   int topMargin);

    int destination() const override { return 2; }
    void beginFile(const ListingFileInfo& file) override;
    int addRow(const ListingRow& row, bool suspect) override;
    void fileSummary(const ListingFileSummary& summary) override;
    void endFile() override;
    void cancelled() override;
    void portfolioSummary(const QString& portfolioPath,
                          const PortfolioTotalsArray& totals) override;
    void rateOfReturn(float rate) override;
    void suspectRecords() override;

private:
    void startPage();
    void printHeading();
    void printFixedRow(const ListingRow& row);
    void printFixedNumber(int kind, int base, double value);
    QString number(double value, int decimals) const;
    QString returnCell(float value) const;
    QString currency(double value) const;

    PageComposer& m_c;
    const Calendar& m_calendar;
    ListingPageFill m_fill;
    int m_topMargin;
    ListingFileInfo m_file;
    ColumnLayout m_detail;
    ColumnLayout m_heading;
};

}  // namespace brisden
