#include "analysis/ListingPrinter.h"

#include "analysis/Listing.h"
#include "analysis/Returns.h"
#include "data/Dates.h"
#include "report/PageComposer.h"
#include "report/ReportNumbers.h"

#include <QDate>
#include <cmath>

namespace brisden {

namespace {

// Masks of the fixed-column form: below the limit, and at or above it.
struct FixedMask {
    double limit;
    const char* below;
    const char* above;
};
constexpr FixedMask kFixedMasks[] = {
    {1000000, "###,###.00", "#######.00"},
    {100000, "##,###.00", "######.00"},
    {100000, "##,###.000", "######.000"},
    {10, "#.000", "##.00"},
};

QString PrintedNumber(double value)
{
    // A number as Print writes it: a blank for the sign of a positive number
    // and one after it.
    const QString digits = QString::number(value, 'g', 15);
    return (value < 0 ? QString() : QStringLiteral(" ")) + digits + QLatin1Char(' ');
}

}  // namespace

ListingPrinter::ListingPrinter(PageComposer& composer, const Calendar& calendar,
                               int linesPerPage, int topMargin)
    : m_c(composer), m_calendar(calendar), m_fill(linesPerPage), m_topMargin(topMargin)
{
}

QString ListingPrinter::number(double value, int decimals) const
{
    return ReportNumber(value, decimals, m_c.locale());
}

QString ListingPrinter::returnCell(float value) const
{
    return value == 0 ? QString() : number(value, 3);
}

QString ListingPrinter::currency(double value) const
{
    return ReportCurrency(value, m_c.locale());
}

void ListingPrinter::beginFile(const ListingFileInfo& file)
{
    m_file = file;
    m_c.report().ReportSubtitle = file.Description.trimmed();
    if (!file.FirstFile)
        m_c.StartNewPage();
    m_fill.beginFile();
    m_c.report().PageNumber = 0;
    if (m_c.orientation() == 2) {
        m_detail = LoadColumnLayout(ListingTabsLandscape);
        m_heading = LoadColumnLayout(ListingHeadingTabsLandscape, ListingCaptionsLandscape);
    } else {
        m_detail = LoadColumnLayout(ListingTabsPortrait);
        m_heading = LoadColumnLayout(ListingHeadingTabsPortrait, ListingCaptionsPortrait);
    }
}

void ListingPrinter::startPage()
{
    if (!m_fill.firstPage())
        m_c.StartNewPage();
    m_c.report().PageNumber = m_fill.pageNumber();
    m_c.PrintPageHeader(m_topMargin);
    printHeading();
}

void ListingPrinter::printHeading()
{
    const QString from = QString::number(m_file.ListFromDate);
    const QString to = QString::number(m_file.ListToDate);
    if (m_c.orientation() == 0) {
        m_c.PrintAtColumn(1, QStringLiteral("Date mask:") + PrintedNumber(m_file.ListFromDate) +
                                 QStringLiteral("to") + PrintedNumber(m_file.ListToDate));
        m_c.PrintAtColumn(33, QStringLiteral("Share"));
        m_c.PrintAtColumn(39, QStringLiteral("-------Balance-------"));
        m_c.PrintAtColumn(61, QStringLiteral("Return on Investment"));
        m_c.surface()->EndLine();
        const std::pair<int, const char*> second[] = {
            {1, "Date"},   {8, "Desc"},  {20, "Amount"}, {33, "Price"},  {42, "Shares"},
            {54, "Value"}, {63, "Per"},  {68, "Cumul"},  {74, "Avg Ann"}};
        for (const auto& [column, caption] : second)
            m_c.PrintAtColumn(column, QString::fromLatin1(caption));
        m_c.surface()->EndLine();
    } else {
        QStringList captions = m_heading.texts;
        captions[0] = QStringLiteral("Date mask: ") + from + QStringLiteral(" to ") + to;
        m_c.PrintTabbedLine(m_heading.tabStops, captions);
    }
    m_c.PrintBlankLines(1);
}

int ListingPrinter::addRow(const ListingRow& row, bool suspect)
{
    if (m_fill.beforeRow(row.Closing, [this](int reserve) { return m_c.pastLastLine(reserve); }))
        startPage();

    const QString description = row.Closing ? QStringLiteral("Value Today") : row.Desc;
    if (m_c.orientation() == 0) {
        printFixedRow(row);
        return 1;
    }
    const QString date = m_calendar.locale.toString(
        QDate(row.TransDate / 10000, row.TransDate / 100 % 100, row.TransDate % 100),
        ReportDateFormat(m_calendar.locale));
    const QString amount = row.Closing ? QString() : number(row.Amount, 2);
    QStringList cells;
    if (m_c.orientation() == 2) {
        cells << date << description << amount << number(row.SharePrice, 2)
              << (row.Closing ? QString() : number(row.Shares, 3)) << number(row.ShareBalance, 3)
              << number(row.Value, 2) << returnCell(row.PeriodROI) << returnCell(row.CumulativeROI)
              << returnCell(row.AnnualROI) << (suspect ? QStringLiteral("Err") : row.Code)
              << QString();
    } else {
        cells << date << description << amount << number(row.SharePrice, 2)
              << number(row.ShareBalance, 3) << number(row.Value, 2) << returnCell(row.PeriodROI)
              << returnCell(row.CumulativeROI) << returnCell(row.AnnualROI);
    }
    m_c.PrintTabbedLine(m_detail.tabStops, cells);
    return 1;
}

void ListingPrinter::printFixedNumber(int kind, int base, double value)
{
    const FixedMask& m = kFixedMasks[kind - 1];
    const QString mask = QString::fromLatin1(std::fabs(value) < m.limit ? m.below : m.above);
    const QString text = BlankZero(FormatMask(value, mask, m_c.locale()), m_c.locale());
    if (text.isEmpty())
        return;
    m_c.PrintAtColumn(base + static_cast<int>(mask.size() - text.size()) + 1, text);
}

void ListingPrinter::printFixedRow(const ListingRow& row)
{
    const QString date =
        m_calendar.FormatLocalDate(ShortYearDate(SwapDateOrder(row.TransDate)), false);
    if (date.startsWith(QLatin1Char('0')))
        m_c.PrintAtColumn(2, date.mid(1));
    else
        m_c.PrintAtColumn(std::max(1, 7 - static_cast<int>(date.size())), date);
    m_c.PrintAtColumn(8, row.Closing ? QStringLiteral("Value Today") : row.Desc);
    if (!row.Closing)
        printFixedNumber(2, 17, row.Amount);
    printFixedNumber(1, 27, row.SharePrice);
    printFixedNumber(3, 38, row.ShareBalance);
    printFixedNumber(1, 49, row.Value);
    printFixedNumber(4, 61, row.PeriodROI);
    printFixedNumber(4, 68, row.CumulativeROI);
    printFixedNumber(4, 75, row.AnnualROI);
    m_c.surface()->EndLine();
}

void ListingPrinter::fileSummary(const ListingFileSummary& s)
{
    const auto average = [this](const std::optional<double>& value) {
        return value ? currency(*value) : QStringLiteral("N/A");
    };
    m_c.PrintLine(QStringLiteral("Out of pocket costs = ") + currency(s.OutOfPocketCosts) +
                  QStringLiteral(", Total purchases = ") + currency(s.TotalPurchases));
    m_c.PrintLine(QStringLiteral("Cash distributions = ") + currency(s.CashDistributions) +
                  QStringLiteral(", Sales = ") + currency(s.Sales));
    m_c.PrintLine(QStringLiteral("Realized + Unrealized Gain = ") + currency(s.Gain));
    if (s.SplitRestated)
        m_c.PrintLine(listing_text::SplitRestatedReport());
    m_c.PrintLine(QStringLiteral(" Low Buy price = ") + currency(s.LowBuy) +
                  QStringLiteral(", High = ") + currency(s.HighBuy) +
                  QStringLiteral(", Average = ") + average(s.AverageBuy));
    m_c.PrintLine(QStringLiteral("Low Sell price = ") + currency(s.LowSell) +
                  QStringLiteral(", High = ") + currency(s.HighSell) +
                  QStringLiteral(", Average = ") + average(s.AverageSell));
    m_c.PrintBlankLines(1);
}

void ListingPrinter::endFile()
{
    if (m_c.pageUsed())
        m_c.PrintBlankLines(1);
}

void ListingPrinter::cancelled()
{
    m_c.PrintLine(QStringLiteral("Listing Cancelled"));
}

void ListingPrinter::portfolioSummary(const QString&, const PortfolioTotalsArray& totals)
{
    m_c.StartNewPage();
    m_c.report().ReportSubtitle = QStringLiteral("Portfolio summary");
    m_c.report().PageNumber = 1;
    m_c.PrintPageHeader(m_topMargin);
    m_c.PrintLine(QStringLiteral("Portfolio summary"));
    m_c.PrintBlankLines(1);
    m_c.PrintLine(QStringLiteral("Value today: ") + currency(totals[0]));
    m_c.PrintLine(QStringLiteral("Out of pocket costs = ") + currency(totals[1]) +
                  QStringLiteral(", Total purchases = ") + currency(totals[2]));
    m_c.PrintLine(QStringLiteral("Cash distributions = ") + currency(totals[3]) +
                  QStringLiteral(", Sales = ") + currency(totals[4]));
    m_c.PrintLine(QStringLiteral("Realized + Unrealized Gain = ") + currency(totals[5]));
    m_c.PrintBlankLines(1);
}

void ListingPrinter::rateOfReturn(float rate)
{
    m_c.PrintLine(QStringLiteral("Internal Rate of Return = ") +
                  (rate == IrrFailed ? QStringLiteral("Overflow")
                                     : m_c.locale().toString(rate, 'f', 3)));
}

void ListingPrinter::suspectRecords()
{
    m_c.PrintBlankLines(1);
    if (m_c.orientation() == 2) {
        m_c.PrintLine(QStringLiteral("Records were found and flagged in the far right column,"));
        m_c.PrintLine(
            QStringLiteral("that appear to be incomplete, ambiguous, or have arithmetic errors."));
    } else {
        m_c.PrintLine(QStringLiteral(
            "Records were found that appear to be incomplete, ambiguous, or have arithmetic"));
        m_c.PrintLine(QStringLiteral("errors.  Check grid for details."));
    }
}

}  // namespace brisden
