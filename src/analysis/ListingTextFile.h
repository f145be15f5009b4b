#pragma once
// The listing on its text-file destination (4): comma-separated records in the
// report file, one per heading line, listing row and summary line.

#include "analysis/ListingOutput.h"

#include <QString>
#include <QTime>
#include <functional>

namespace brisden {

struct Calendar;
class ReportFileWriter;

class ListingFileOutput final : public IListingOutput {
public:
    // clock gives the time of the heading line (the current time when empty).
    ListingFileOutput(ReportFileWriter& writer, const Calendar& calendar, QString programTitle,
                      std::function<QTime()> clock = {});

    int destination() const override { return 4; }
    void beginFile(const ListingFileInfo& file) override;
    int addRow(const ListingRow& row, bool suspect) override;
    void fileSummary(const ListingFileSummary& summary) override;
    void endFile() override;
    void cancelled() override;
    void portfolioSummary(const QString& portfolioPath,
                          const PortfolioTotalsArray& totals) override;
    void rateOfReturn(float rate) override;
    void suspectRecords() override;

    // The text of the heading's first record: today's short date, the program
    // title and the time, separated by blanks.
    QString stampText() const;

private:
    ReportFileWriter& m_out;
    const Calendar& m_calendar;
    QString m_programTitle;
    std::function<QTime()> m_clock;
};

}  // namespace brisden
