#pragma once
// Where a transaction listing goes. The pass over one file (ListTrans2) and the
// run over a file or a portfolio (ListTrans) compute every figure; an output only
// presents them: the main window's grid and summary labels (destination 1), the
// printer surface or preview page (destination 2) or the report file
// (destination 4). Outputs know nothing of the ledger arithmetic, and the
// engine knows nothing of widgets.
//
// Calling order of one run:
//   beginRun
//   per file:  beginFile, addRow..., [addRow (closing)], fileSummary, endFile
//   cancelled | (portfolioSummary, rateOfReturn)
//   [suspectRecords]
//   finishRun
// A pass that stops on the cancel flag skips fileSummary; a file with no record
// in the listing range gets neither rows nor a summary, but still endFile.

#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>
#include <optional>

namespace brisden {

// One listing row: a record inside the listing range, or the closing "Today"
// valuation. Values as computed, unformatted; every destination formats its own.
struct ListingRow {
    std::int32_t TransDate = 0;  // YMD
    QString Desc;                // 9 characters as in the file; "Today" on the closing row
    double Amount = 0;
    double SharePrice = 0;
    double Shares = 0;  // shares of this transaction
    double ShareBalance = 0;
    double Value = 0;     // LastPrice x ShareBalance
    float PeriodROI = 0;  // the three returns; 0 = not computed (empty cell)
    float CumulativeROI = 0;
    float AnnualROI = 0;
    QString Code;            // the RecordTypeCode ("P", "S", ..., or empty)
    bool Closing = false;    // the closing valuation: no amount, no shares this transaction
    std::int32_t RecNo = 0;  // record number in the file; 0 for the closing row
};

// The figures shown after each file's rows.
struct ListingFileSummary {
    double OutOfPocketCosts = 0;   // CostTotals(2)
    double TotalPurchases = 0;     // CostTotals(3)
    double CashDistributions = 0;  // DistributionTotals(2)
    double Sales = 0;              // SaleTotals(2)
    double Gain = 0;               // realized + unrealized
    double LowBuy = 0, HighBuy = 0;
    std::optional<double> AverageBuy;  // nullopt: "N/A"
    double LowSell = 0, HighSell = 0;
    std::optional<double> AverageSell;  // nullopt: "N/A"
    bool SplitRestated = false;
};

// PortfolioTotals(0..5): value today, out-of-pocket costs, total purchases,
// cash distributions, sales, realized + unrealized gain.
using PortfolioTotalsArray = std::array<double, 6>;

// What the heading of one file's listing needs.
struct ListingFileInfo {
    QString Path;                   // CurrentFile
    QString Description;            // its description
    QString PortfolioPath;          // empty for a single-file run
    std::int32_t ListFromDate = 0;  // MDY as used by the pass (0 when open)
    std::int32_t ListToDate = 99999999;
    bool PortfolioRun = false;
    bool FirstFile = true;  // first file of the run
};

class IListingOutput {
public:
    virtual ~IListingOutput() = default;

    // The destination number: 1 screen, 2 printer surface (or preview page), 4 file.
    virtual int destination() const = 0;

    // Start of a run. Screen: clear the summary labels, empty the grid.
    virtual void beginRun() {}
    // Start of one file's pass, after its range is known. File: the heading
    // lines. Printer: the report titles, a new page when this is not the run's
    // first file, the column layouts for the orientation and the page filling
    // (pages are the printer's business: the pass only emits rows).
    virtual void beginFile(const ListingFileInfo& file) = 0;
    // One row; suspect when the record fails the validity rule. Returns the
    // row's number as the screen counts it (grid row), 1 elsewhere.
    virtual int addRow(const ListingRow& row, bool suspect) = 0;

    // The figures of the file just listed (not after a cancelled pass nor for a
    // file with no record in range).
    virtual void fileSummary(const ListingFileSummary& summary) = 0;
    // After each pass of a portfolio run (file: an empty line; printer: an
    // empty line when anything is on the page).
    virtual void endFile() {}

    // The run stopped on the cancel flag (file: "Cancelled"; printer: "Listing Cancelled").
    virtual void cancelled() = 0;
    // The portfolio summary (portfolio runs that were not cancelled).
    virtual void portfolioSummary(const QString& portfolioPath,
                                  const PortfolioTotalsArray& totals) = 0;
    // The internal rate of return of the run; -2 means it failed ("Overflow").
    virtual void rateOfReturn(float rate) = 0;
    // Some rows were suspect (the closing note of the printer and the file;
    // the screen shows its message box from the engine after finishRun).
    virtual void suspectRecords() {}
    // End of the run. Screen: an empty row for new entries, the current row
    // set to firstSuspectRow (-1: the empty last row). Printer: end of document.
    virtual void finishRun(int firstSuspectRow) { (void)firstSuspectRow; }
};

// The main window's share price box (txtSharePrice). The pass reads it for the
// file that was current when the run started, and on the screen shows "N/A"
// when everything was sold. A run without a main window has no price box: every
// file's current price is then asked for through the input box.
class IPriceBox {
public:
    virtual ~IPriceBox() = default;
    virtual QString text() const = 0;
    virtual void setText(const QString& text) = 0;
    virtual void setEnabled(bool enabled) = 0;
    virtual void selectAll() = 0;
};

// A price box without a window: holds its text.
class PlainPriceBox final : public IPriceBox {
public:
    explicit PlainPriceBox(QString text = QString()) : m_text(std::move(text)) {}
    QString text() const override { return m_text; }
    void setText(const QString& text) override { m_text = text; }
    void setEnabled(bool enabled) override { m_enabled = enabled; }
    void selectAll() override { ++m_selects; }
    bool enabled() const { return m_enabled; }
    int selects() const { return m_selects; }

private:
    QString m_text;
    bool m_enabled = true;
    int m_selects = 0;
};

}  // namespace brisden
