#pragma once
// The transaction listing: the pass over one investment file (ListTrans2) and
// the run over one file or every file of a portfolio (ListTrans), with the
// closing valuation, the summaries and the internal rate of return. Figures
// are computed here; IListingOutput presents them on the chosen destination.

#include "analysis/ListingOutput.h"
#include "analysis/RateFlows.h"
#include "analysis/RecordTypes.h"
#include "analysis/Returns.h"
#include "report/ReportState.h"
#include "ui/Interaction.h"

#include <QString>
#include <QStringList>
#include <cstdint>

class QLocale;

namespace brisden {

struct Calendar;
class InvestmentFile;
class Portfolio;
namespace ui {
class IMessageBox;
class IInputBox;
class ICancelPoll;
}  // namespace ui

// Everything a listing reads or talks to. priceBox is null when there is no
// main window.
struct ListingContext {
    InvestmentFile& file;      // CurrentFile, RecordIndex, ReadRecord (slot 2)
    ReportState& report;       // ListFromDate, ListToDate
    const Calendar& calendar;  // TodayYMD, TodayDayNumber
    ui::ILogSink& log;
    IListingOutput& output;
    IPriceBox* priceBox;
    ui::IMessageBox& messages;
    ui::IInputBox& input;
    ui::ICancelPoll& cancel;
    QString ProgramTitle;
};

// The outputs of one pass, handed back to the run.
struct FileSummary {
    float AnnualReturn = 0;         // the last annual or valuation return computed
    std::int32_t ValuationDay = 0;  // day number of the closing valuation
    std::int32_t LastDay = 0;       // last record in range, raised to the valuation day
    double TerminalValue = 0;       // -(LastPrice x ShareBalance): the holding paid back
    bool Cancelled = false;
};

class TransactionListing {
public:
    explicit TransactionListing(const ListingContext& context) : m(context) {}

    // One run: the current file alone (portfolio = null), or every file of the
    // loaded portfolio in list order, up to the first empty path. Each file of
    // a portfolio is opened in slot 2 in turn and the last one stays current;
    // the caller restores the file it showed.
    void ListTrans(const Portfolio* portfolio = nullptr);

    // One pass over the current file, whose slot is open and RecordIndex built.
    // RowCounter indexes CashFlows and runs on across the files of a run.
    void ListTrans2(FileSummary& summary, std::int32_t& RowCounter);

    // State of the last run (the main window's values).
    PortfolioTotalsArray PortfolioTotals{};
    CashFlowTable CashFlows;
    // Which file filled which slots of CashFlows, and what the rate was
    // solved from (ListRateFlows lists the flows from both).
    RateFlowTrail RateTrail;
    std::int32_t FirstSuspectRow = -1;
    QString PriceBoxFile;
    QString PriceBoxFileDesc;
    bool RunCancelled = false;
    bool RateComputed = false;
    float Rate = 0;  // the internal rate of return of the last run, or -2

private:
    int destination() const { return m_destination; }
    void logShown(const QString& message);
    double currentSharePrice(double lastPrice);
    bool openPortfolioFile(const QString& path, const QString& description);

    ListingContext m;
    int m_destination = DestinationScreen;
    bool m_portfolioRun = false;
    bool m_firstFile = true;
    QString m_portfolioPath;
};

// The share price typed in the price box: a number in the system's own
// format, else the leading number of the text.
double PriceBoxValue(const QString& text, const QLocale& locale);

// The fixed texts of the listing.
namespace listing_text {
inline QString Cancelled()
{
    return QStringLiteral(
        "Listing was cancelled before completion.  Calculated and projected "
        "values might not be accurate");
}
inline QString NoSharePrice()
{
    return QStringLiteral(
        "No current share price was entered.  To obtain accurate projected "
        "values if you were to liquidate today, you must enter a current share "
        "price");
}
inline QString SplitRestatedScreen()
{
    return QStringLiteral(
        "Low/high/avg buy & sell prices have been restated because of a share "
        "split.");
}
inline QString SplitRestatedReport()
{
    return QStringLiteral("Buy/Sell prices have been restated because of a share split.");
}
inline QString SuspectScreen()
{
    return QStringLiteral(
        "Records were found and highlighted, that appear to be incomplete, "
        "ambiguous, or have arithmetic errors.");
}
inline QString SuspectFile()
{
    return QStringLiteral(
        "Records were found and flagged in the far right column, that appear "
        "to be incomplete, ambiguous, or have arithmetic errors.");
}
}  // namespace listing_text

}  // namespace brisden
