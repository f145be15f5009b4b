#pragma once
// Where a basis worksheet goes. The engine decides what each line says; an
// output only lays it out: the text file (destination 4) as comma-separated
// records, the printer surface or preview page (destination 2) through the
// page composer, with its own page filling (see BasisPageFill.h).
//
// Calling order of one run:
//   beginReport
//   entry...                 (and errorLine when a sale oversells)
//   remainingHeading, remainingLot..., totals, note...   (closing section)
//   finish
// A cancelled run and an empty worksheet skip the closing section.

#include <QString>
#include <cstdint>
#include <optional>

namespace brisden {

struct BasisReportInfo {
    QString ProgramTitle;
    QString StampDate;  // today's short date
    QString StampTime;  // the time the report was started
    QString CurrentFile;
    QString FileDescription;  // the trimmed description of the file
    QString ReportTitle;      // "Portfolio: " + shortened portfolio path
    int Method = 1;
    QString MethodName;             // "Cost, FIFO" ...
    std::int32_t ListFromDate = 0;  // MMDDYYYY; 0 = open
    std::int32_t ListToDate = 99999999;
};

// One worksheet line: a split, purchase, fee or reinvestment, or one lot
// matched against a sale.
struct BasisEntryLine {
    QString DateDigits;  // FormatLocalDate digits of the MMDDYY date
    bool ShowDate = true;
    QString Desc;       // the description, or empty after a sale's first line
    double Amount = 0;  // 0 after a sale's first line
    double Shares = 0;
    double CostPerShare = 0;
    double Gain = 0;  // 0 when the line has no gain
    QString Term;     // "Long ", "Short" or five blanks
    QString Mark;     // "  *" when a pool residue was charged, else empty
};

struct RemainingLotLine {
    QString DateDigits;  // of the lot's purchase date
    double Shares = 0;
    double CostPerShare = 0;
    bool LongTerm = false;
};

struct BasisTotals {
    double TotalShares = 0;
    double TotalBasis = 0;
    std::optional<double> AverageCost;  // nullopt when its share count is 0
    std::optional<double> LongAverage;
    std::optional<double> ShortAverage;
    double ServiceFees = 0;
    double FeeShares = 0;
};

class IBasisOutput {
public:
    virtual ~IBasisOutput() = default;
    virtual int destination() const = 0;
    virtual void beginReport(const BasisReportInfo& info) = 0;
    virtual void entry(const BasisEntryLine& line) = 0;           // PrintBasisEntry
    virtual void errorLine(const QString& text) = 0;              // the overselling error
    virtual void remainingHeading() = 0;                          // PrintBasisHeading
    virtual void remainingLot(const RemainingLotLine& line) = 0;  // PrintRemainingLot
    virtual void totals(const BasisTotals& totals) = 0;           // PrintBasisTotals
    virtual void note(const QString& text) = 0;                   // closing notes
    virtual void finish() = 0;
};

}  // namespace brisden
