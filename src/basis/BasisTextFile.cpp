#include "basis/BasisTextFile.h"

#include "report/ReportFile.h"

namespace brisden {

namespace {

// Date digits are written as a number: "011902" becomes 11902.
void DateField(ReportFileWriter& out, const QString& digits)
{
    out.integer(digits.toLongLong());
}

void AverageField(ReportFileWriter& out, const std::optional<double>& value)
{
    if (value)
        out.number(*value);
    else
        out.text(QStringLiteral("Divide by 0"));
}

}  // namespace

void BasisTextFileOutput::beginReport(const BasisReportInfo& info)
{
    m_out
        .text(info.StampDate + QStringLiteral("  ") + info.ProgramTitle + QStringLiteral("  ") +
              info.StampTime)
        .endLine();
    m_out.text(QStringLiteral("File:")).text(info.CurrentFile).endLine();
    m_out.text(QStringLiteral("Desc: ")).text(info.FileDescription).endLine();
    m_out.emptyLine();
    m_out.text(QStringLiteral("Basis Worksheet: ") + info.MethodName).endLine();
    m_out.text(QStringLiteral("    Date"))
        .text(QStringLiteral("Mask:"))
        .integer(info.ListFromDate)
        .integer(info.ListToDate)
        .emptyText()
        .text(QStringLiteral("   Share"))
        .text(QStringLiteral(" Capital"))
        .text(QStringLiteral("Hold"))
        .text(QStringLiteral("Round"))
        .endLine();
    m_out.text(QStringLiteral("    Date"))
        .text(QStringLiteral("Desc"))
        .text(QStringLiteral("  Amount"))
        .text(QStringLiteral("  Shares"))
        .text(QStringLiteral("  Adjust"))
        .text(QStringLiteral("   Basis"))
        .text(QStringLiteral("    Gain"))
        .text(QStringLiteral("Term"))
        .text(QStringLiteral("Adjust"))
        .endLine();
    m_out.emptyLine();
}

void BasisTextFileOutput::entry(const BasisEntryLine& line)
{
    if (line.ShowDate)
        DateField(m_out, line.DateDigits);
    else
        m_out.emptyText();
    m_out.text(line.Desc)
        .number(line.Amount)
        .number(line.Shares)
        .emptyText()
        .number(line.CostPerShare)
        .number(line.Gain)
        .text(line.Term)
        .text(line.Mark)
        .endLine();
}

void BasisTextFileOutput::errorLine(const QString& text)
{
    m_out.text(text).endLine();
}

void BasisTextFileOutput::remainingHeading()
{
    m_out.emptyLine();
    m_out.text(QStringLiteral("Remaining")).text(QStringLiteral(" Basis:")).endLine();
}

void BasisTextFileOutput::remainingLot(const RemainingLotLine& line)
{
    DateField(m_out, line.DateDigits);
    m_out.number(line.Shares)
        .text(QStringLiteral(" shares @"))
        .number(line.CostPerShare)
        .text(QStringLiteral("cost/shr"))
        .text(line.LongTerm ? QStringLiteral("long term") : QStringLiteral("short trm"))
        .endLine();
}

void BasisTextFileOutput::totals(const BasisTotals& t)
{
    m_out.text(QStringLiteral("Total: "))
        .number(t.TotalShares)
        .text(QStringLiteral(" shares @"))
        .number(t.TotalBasis)
        .text(QStringLiteral("total basis"))
        .endLine();
    m_out.text(QStringLiteral("Avg cost:"));
    AverageField(m_out, t.AverageCost);
    m_out.text(QStringLiteral("Long trm:"));
    AverageField(m_out, t.LongAverage);
    m_out.text(QStringLiteral("Shrt trm:"));
    AverageField(m_out, t.ShortAverage);
    m_out.endLine();
    m_out.text(QStringLiteral("Add Fees:")).number(t.ServiceFees).endLine();
    m_out.text(QStringLiteral("Ag. Shrs:"))
        .number(t.FeeShares)
        .text(QStringLiteral(" Shares"))
        .endLine();
}

void BasisTextFileOutput::note(const QString& text)
{
    m_out.text(text).endLine();
}

}  // namespace brisden
