#include "basis/BasisPrinter.h"

#include "report/ColumnLayout.h"
#include "report/PageComposer.h"
#include "report/ReportNumbers.h"

namespace brisden {

namespace {

const char* const kAmount = "####,###.00";
const char* const kShares = "####,###.000";
const char* const kLotShares = "#,###,###.000";
const char* const kTotalShares = "#,###,##0.000";
const char* const kMoney = "$#,###,###.00";

// A number as Str writes it: a blank before a number that is not negative.
QString StrNumber(std::int32_t value)
{
    return (value < 0 ? QString() : QStringLiteral(" ")) + QString::number(value);
}

// A number as Print writes it: Str's form and a blank after it.
QString PrintedNumber(std::int32_t value)
{
    return StrNumber(value) + QLatin1Char(' ');
}

}  // namespace

BasisPrinter::BasisPrinter(PageComposer& composer, int linesPerPage, int topMargin)
    : m_c(composer), m_fill(linesPerPage), m_topMargin(topMargin)
{
}

QString BasisPrinter::format(double value, const char* mask) const
{
    return BlankZero(FormatMask(value, QString::fromLatin1(mask), m_c.locale()), m_c.locale());
}

QString BasisPrinter::dateCell(const QString& digits) const
{
    if (digits.startsWith(QLatin1Char('0')))
        return QLatin1Char(' ') + digits.mid(1);
    return digits;
}

void BasisPrinter::printFixedNumber(int w, double value, const char* mask)
{
    const QString text = format(value, mask);
    if (text.isEmpty())
        return;
    m_c.PrintAtColumn(w + static_cast<int>(qstrlen(mask)) - static_cast<int>(text.size()) + 1,
                      text);
}

void BasisPrinter::beginReport(const BasisReportInfo& info)
{
    m_info = info;
    m_notes = false;
    m_c.report().ReportSubtitle = info.FileDescription;
    m_c.report().PageNumber = 0;
}

void BasisPrinter::newPage()
{
    ReportState& report = m_c.report();
    if (report.PageNumber != 0)
        m_c.StartNewPage();
    report.PageNumber = static_cast<std::int16_t>(report.PageNumber + 1);
    m_c.PrintPageHeader(m_topMargin);
    printHeading();
    m_fill.pageStarted();
}

void BasisPrinter::printHeading()
{
    m_c.PrintLine(QStringLiteral("Basis Worksheet: ") + m_info.MethodName);
    if (m_c.orientation() == 0) {
        m_c.PrintAtColumn(1, QStringLiteral("Date mask:") + PrintedNumber(m_info.ListFromDate) +
                                 QStringLiteral("to") + PrintedNumber(m_info.ListToDate));
        m_c.PrintAtColumn(49, QStringLiteral("Share"));
        m_c.PrintAtColumn(59, QStringLiteral("Capital"));
        m_c.PrintAtColumn(68, QStringLiteral("Hold"));
        m_c.PrintAtColumn(75, QStringLiteral("Round"));
        m_c.surface()->EndLine();
        const std::pair<int, const char*> second[] = {{1, " Date"},   {8, "Desc"},  {21, "Amount"},
                                                      {35, "Shares"}, {49, "Basis"}, {61, "Gain"},
                                                      {68, "Term"},   {75, "Adjust"}};
        for (const auto& [column, caption] : second)
            m_c.PrintAtColumn(column, QString::fromLatin1(caption));
        m_c.surface()->EndLine();
    } else {
        ColumnLayout heading = LoadColumnLayout(BasisHeadingTabs, BasisCaptions);
        heading.texts[0] = QStringLiteral("Date mask: ") + StrNumber(m_info.ListFromDate) +
                           QStringLiteral(" to ") + StrNumber(m_info.ListToDate);
        m_c.PrintTabbedLine(heading.tabStops, heading.texts);
    }
    m_c.PrintBlankLines(1);
}

void BasisPrinter::entry(const BasisEntryLine& line)
{
    if (m_fill.beforeLine(m_c.surface()->CurrentY(), m_c.LastLineY))
        newPage();
    const QString date = line.ShowDate ? dateCell(line.DateDigits) : QString();
    if (m_c.orientation() == 0) {
        m_c.PrintAtColumn(1, date);
        m_c.PrintAtColumn(8, line.Desc);
        printFixedNumber(17, line.Amount, kAmount);
        printFixedNumber(29, line.Shares, kShares);
        printFixedNumber(42, line.CostPerShare, kAmount);
        printFixedNumber(54, line.Gain, kAmount);
        m_c.PrintAtColumn(68, line.Term);
        m_c.PrintAtColumn(76, line.Mark);
        m_c.surface()->EndLine();
        return;
    }
    static const ColumnLayout layout = LoadColumnLayout(BasisEntryTabs);
    m_c.PrintTabbedLine(layout.tabStops,
                        {date, line.Desc, format(line.Amount, kAmount),
                         format(line.Shares, kShares), format(line.CostPerShare, kAmount),
                         format(line.Gain, kAmount), line.Term, line.Mark});
}

void BasisPrinter::errorLine(const QString& text)
{
    if (!m_fill.anyPage())
        newPage();
    m_c.PrintLine(text);
}

void BasisPrinter::remainingHeading()
{
    if (m_fill.beforeClosing(m_c.surface()->CurrentY(), m_c.LastLineY, m_c.lineHeight()) ||
        !m_fill.anyPage())
        newPage();
    m_c.PrintBlankLines(1);
    m_c.PrintCentred(QStringLiteral("------------------Remaining Basis------------------"));
    m_c.PrintBlankLines(1);
}

void BasisPrinter::remainingLot(const RemainingLotLine& line)
{
    if (m_fill.beforeLine(m_c.surface()->CurrentY(), m_c.LastLineY))
        newPage();
    const QString date = dateCell(line.DateDigits);
    const QString shares = format(line.Shares, kLotShares);
    const QString cost = FormatMask(line.CostPerShare, QString::fromLatin1(kMoney), m_c.locale());
    if (m_c.orientation() == 0) {
        m_c.PrintLine(date + shares + QStringLiteral(" shares @ ") + cost +
                      QStringLiteral(" cost/share, ") +
                      (line.LongTerm ? QStringLiteral("long term.") : QStringLiteral("short term.")));
        return;
    }
    static const ColumnLayout layout = LoadColumnLayout(BasisRemainingTabs);
    m_c.PrintTabbedLine(layout.tabStops,
                        {date, shares, QStringLiteral("shares @"), cost,
                         QStringLiteral("cost/share,"),
                         line.LongTerm ? QStringLiteral("long ") : QStringLiteral("short"),
                         QStringLiteral("term.")});
}

void BasisPrinter::totals(const BasisTotals& t)
{
    if (m_fill.beforeTotals(m_c.surface()->CurrentY(), m_c.LastLineY, m_c.lineHeight()))
        newPage();
    const QString money = QString::fromLatin1(kMoney);
    const auto average = [&](const std::optional<double>& value) {
        return FormatMask(value.value_or(0), money, m_c.locale());
    };
    static const ColumnLayout layout = LoadColumnLayout(BasisTotalsTabs);
    m_c.PrintTabbedLine(layout.tabStops,
                        {QStringLiteral("Total:"), FormatMask(t.TotalShares, QString::fromLatin1(kTotalShares), m_c.locale()),
                         QStringLiteral("shares @"), FormatMask(t.TotalBasis, money, m_c.locale()),
                         QStringLiteral("total basis.")});
    m_c.PrintBlankLines(1);
    m_c.PrintLine(QStringLiteral("Avg cost/share: ") + average(t.AverageCost) +
                  QStringLiteral(", Long Term: ") + average(t.LongAverage) +
                  QStringLiteral(", Short: ") + average(t.ShortAverage));
    m_c.PrintBlankLines(1);
    m_c.PrintLine(QStringLiteral("Additional cost service fees: ") +
                  FormatMask(t.ServiceFees, money, m_c.locale()));
    m_c.PrintBlankLines(1);
    m_c.PrintLine(QStringLiteral(" Fees charged against shares: ") +
                  FormatMask(t.FeeShares, QString::fromLatin1(kTotalShares), m_c.locale()) +
                  QStringLiteral(" Shares"));
}

void BasisPrinter::note(const QString& text)
{
    if (!m_notes) {
        m_c.PrintBlankLines(1);
        m_notes = true;
    }
    m_c.PrintCentred(text);
}

}  // namespace brisden
