#pragma once
// The cost-basis worksheet of the open investment file: every transaction is
// replayed in date order, purchases become lots, each sale is matched against
// lots by the chosen method, and the remaining lots and totals close the
// worksheet. The dialog (method, date window, destination) has run before;
// everything shown goes through an IBasisOutput.

#include "basis/BasisLot.h"
#include "basis/BasisOutput.h"
#include "basis/LotBook.h"
#include "data/InvestmentFile.h"
#include "ui/Interaction.h"

#include <QTime>
#include <functional>
#include <memory>

namespace brisden {

struct Calendar;
struct ReportState;
namespace ui {
class IMessageBox;
class ICancelPoll;
}  // namespace ui

struct BasisContext {
    InvestmentFile& file;      // the current investment file, open in slot 2
    ReportState& report;       // destination, date window, page number, titles
    const Calendar& calendar;  // date order, today
    ui::ILogSink& log;
    IBasisOutput& output;
    ui::IMessageBox& messages;  // the beeps
    ui::ICancelPoll& cancel;    // Escape, polled once per record
    QString ProgramTitle;
    std::function<QTime()> clock = {};  // the stamp's time; the current time when empty
};

struct BasisResult {
    bool cancelled = false;  // Escape or overselling
    bool oversold = false;
    bool empty = false;  // nothing was printed
    int printedEntries = 0;
};

class BasisWorksheet {
public:
    explicit BasisWorksheet(BasisContext context, std::unique_ptr<LotBook> book = MakeLotBook());

    // Runs the worksheet with the method code (1..5) on the date window of the
    // report state (ListFromDate / ListToDate, MMDDYYYY; invalid dates are
    // opened to 0 and 99999999). The report file or surface is already open
    // and the report title ("Portfolio: " + the shortened portfolio path) set
    // by the caller; the subtitle becomes the file's trimmed description.
    BasisResult Run(int method);

private:
    bool ProcessRecord(TransactionRecord& r);
    void AddLot(const TransactionRecord& r, const QString& desc);
    bool Sale(TransactionRecord& r, const QString& desc);
    void SellFromLot(BasisLot& lot);
    void ClassifyLots();
    void ReleaseUnpooledLots();
    void PrintEntry(const TransactionRecord& r, BasisEntryLine line);
    QString DateDigits(std::int32_t ymd) const;
    void ClosingSection();

    BasisContext m_ctx;
    std::unique_ptr<LotBook> m_book;
    int m_method = 1;
    BasisPools m_pools;
    std::int32_t m_beginDate = 0;
    std::int32_t m_endDate = 99999999;
    double m_feeTotal = 0;
    double m_feeShares = 0;
    bool m_split = false;
    int m_printed = 0;

    // The sale being matched.
    TransactionRecord* m_saleRecord = nullptr;
    QString m_saleDesc;
    double m_saleBasis = 0;
    bool m_firstSaleLine = true;
};

// Rounding to a whole number with halves to even (0.5 -> 0, 1.5 -> 2).
double RoundHalfEven(double x);

}  // namespace brisden
