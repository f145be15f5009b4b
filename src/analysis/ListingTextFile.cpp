#include "analysis/ListingTextFile.h"

#include "analysis/Listing.h"
#include "data/Dates.h"
#include "report/ReportFile.h"

#include <QDate>
#include <QLocale>

namespace brisden {

ListingFileOutput::ListingFileOutput(ReportFileWriter& writer, const Calendar& calendar,
                                     QString programTitle, std::function<QTime()> clock)
    : m_out(writer),
      m_calendar(calendar),
      m_programTitle(std::move(programTitle)),
      m_clock(std::move(clock))
{
}

QString ListingFileOutput::stampText() const
{
    const QLocale& locale = m_calendar.locale;
    QString dateFormat = locale.dateFormat(QLocale::ShortFormat);
    if (!dateFormat.contains(QLatin1String("yyyy")))
        dateFormat.replace(QLatin1String("yy"), QLatin1String("yyyy"));
    QString timeFormat = locale.timeFormat(QLocale::LongFormat);
    timeFormat.remove(QLatin1Char('t'));
    timeFormat = timeFormat.trimmed();
    const QDate today = m_calendar.Today.isValid() ? m_calendar.Today : QDate::currentDate();
    const QTime now = m_clock ? m_clock() : QTime::currentTime();
    return locale.toString(today, dateFormat) + QLatin1Char(' ') + m_programTitle +
           QLatin1Char(' ') + locale.toString(now, timeFormat);
}

void ListingFileOutput::beginFile(const ListingFileInfo& file)
{
    m_out.text(stampText()).endLine();
    m_out.text(QStringLiteral("File:")).text(file.Path).endLine();
    m_out.text(QStringLiteral("Desc: ")).text(file.Description).endLine();
    m_out.text(QStringLiteral("    Date"))
        .text(QStringLiteral("Mask:"))
        .integer(file.ListFromDate)
        .integer(file.ListToDate)
        .text(QStringLiteral("   Shares"))
        .text(QStringLiteral("   Share"))
        .emptyText()
        .text(QStringLiteral("  Return"))
        .text(QStringLiteral("on Invest"))
        .text(QStringLiteral("ment"))
        .endLine();
    m_out.text(QStringLiteral("    Date"))
        .text(QStringLiteral("Desc"))
        .text(QStringLiteral("  Amount"))
        .text(QStringLiteral("   Price"))
        .text(QStringLiteral("This Tran"))
        .text(QStringLiteral(" Balance"))
        .text(QStringLiteral("   Value"))
        .text(QStringLiteral("  Period"))
        .text(QStringLiteral("   Cumul"))
        .text(QStringLiteral(" Avg Ann"))
        .text(QStringLiteral(" Rec Type"))
        .endLine();
}

int ListingFileOutput::addRow(const ListingRow& row, bool suspect)
{
    if (row.Closing) {
        m_out.text(QStringLiteral("Today:"))
            .date(row.TransDate)
            .text(row.Desc)
            .emptyText()
            .number(row.SharePrice)
            .emptyText();
    } else {
        m_out.date(row.TransDate)
            .text(row.Desc)
            .number(row.Amount)
            .number(row.SharePrice)
            .number(row.Shares);
    }
    m_out.number(row.ShareBalance)
        .number(row.Value)
        .singleOrEmpty(row.PeriodROI)
        .singleOrEmpty(row.CumulativeROI)
        .singleOrEmpty(row.AnnualROI)
        .text(row.Code);
    if (suspect)
        m_out.text(QStringLiteral("Error"));
    m_out.endLine();
    return 1;
}

void ListingFileOutput::fileSummary(const ListingFileSummary& s)
{
    auto average = [this](const std::optional<double>& value) {
        if (value)
            m_out.number(*value);
        else
            m_out.text(QStringLiteral("N/A"));
    };
    m_out.text(QStringLiteral("Pkt Cst:"))
        .number(s.OutOfPocketCosts)
        .text(QStringLiteral("Tot Cst:"))
        .number(s.TotalPurchases)
        .endLine();
    m_out.text(QStringLiteral("Cash dst:"))
        .number(s.CashDistributions)
        .text(QStringLiteral("Sales:"))
        .number(s.Sales)
        .endLine();
    m_out.text(QStringLiteral("Gain:")).number(s.Gain).endLine();
    if (s.SplitRestated)
        m_out.text(listing_text::SplitRestatedReport()).endLine();
    m_out.text(QStringLiteral("Low Buy:"))
        .number(s.LowBuy)
        .text(QStringLiteral("High buy:"))
        .number(s.HighBuy)
        .text(QStringLiteral("Avg:"));
    average(s.AverageBuy);
    m_out.endLine();
    m_out.text(QStringLiteral("Low Sell:"))
        .number(s.LowSell)
        .text(QStringLiteral("Hi sell:"))
        .number(s.HighSell)
        .text(QStringLiteral("Avg:"));
    average(s.AverageSell);
    m_out.endLine();
}

void ListingFileOutput::endFile()
{
    m_out.emptyLine();
}

void ListingFileOutput::cancelled()
{
    m_out.text(QStringLiteral("Cancelled")).endLine();
}

void ListingFileOutput::portfolioSummary(const QString& portfolioPath,
                                         const PortfolioTotalsArray& totals)
{
    m_out.text(QStringLiteral("Portfolio summary:")).endLine();
    m_out.text(QStringLiteral("Portfolio: ") + portfolioPath).endLine();
    m_out.emptyLine();
    m_out.text(QStringLiteral("Tot. Val:")).number(totals[0]).endLine();
    m_out.text(QStringLiteral("Pkt Cst:"))
        .number(totals[1])
        .text(QStringLiteral("Tot Cst:"))
        .number(totals[2])
        .endLine();
    m_out.text(QStringLiteral("Cash dst:"))
        .number(totals[3])
        .text(QStringLiteral("Sales:"))
        .number(totals[4])
        .endLine();
    m_out.text(QStringLiteral("Gain:")).number(totals[5]).endLine();
    m_out.emptyLine();
}

void ListingFileOutput::rateOfReturn(float rate)
{
    m_out.text(QStringLiteral("IRR:"));
    if (rate == IrrFailed)
        m_out.text(QStringLiteral("Overflow"));
    else
        m_out.single(rate);
    m_out.endLine();
}

void ListingFileOutput::suspectRecords()
{
    m_out.emptyLine();
    m_out.text(listing_text::SuspectFile()).endLine();
}

}  // namespace brisden
