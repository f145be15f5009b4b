#include "basis/BasisWorksheet.h"

#include "analysis/RoundTo.h"
#include "data/Dates.h"
#include "report/ReportState.h"
#include "ui/Interaction.h"

#include <QDate>
#include <QLocale>
#include <cmath>

namespace brisden {

namespace {

const QString kOversold =
    QStringLiteral("Error: # shares sold exceeds # shares bought.  Aborting.");
const QString kNoTerm = QStringLiteral("     ");

// The description as the worksheet shows it: upper case, one byte per character.
QString UpperDesc(const QByteArray& desc)
{
    QString s = QString::fromLatin1(desc);
    for (QChar& c : s) {
        const QChar upper = c.toUpper();
        if (upper.unicode() <= 0xFF)
            c = upper;
    }
    return s;
}

double Sign(double x)
{
    return x > 0 ? 1.0 : (x < 0 ? -1.0 : 0.0);
}

}  // namespace

double RoundHalfEven(double x)
{
    return std::nearbyint(x);
}

BasisWorksheet::BasisWorksheet(BasisContext context, std::unique_ptr<LotBook> book)
    : m_ctx(std::move(context)), m_book(std::move(book))
{
}

QString BasisWorksheet::DateDigits(std::int32_t ymd) const
{
    return m_ctx.calendar.FormatLocalDate(ShortYearDate(SwapDateOrder(ymd)), false);
}

BasisResult BasisWorksheet::Run(int method)
{
    BasisResult result;
    ReportState& report = m_ctx.report;
    InvestmentFile& file = m_ctx.file;

    m_method = method;
    m_pools = BasisPools{};
    m_pools.method = method;
    m_feeTotal = 0;
    m_feeShares = 0;
    m_split = false;
    m_printed = 0;

    if (IsValidDate(report.ListFromDate)) {
        m_beginDate = SwapDateOrder(report.ListFromDate);
    } else {
        report.ListFromDate = 0;
        m_beginDate = 0;
    }
    if (IsValidDate(report.ListToDate)) {
        m_endDate = SwapDateOrder(report.ListToDate);
    } else {
        report.ListToDate = 99999999;
        m_endDate = 99999999;
    }

    if (report.ReportDestination != DestinationScreen)
        m_ctx.log.LogSession(QStringLiteral("Creating basis worksheet for ") + file.CurrentFile +
                                 QStringLiteral(" using date range ") +
                                 QString::number(m_beginDate) + QStringLiteral(" to ") +
                                 QString::number(m_endDate),
                             true, false);

    report.ReportSubtitle = file.CurrentFileDesc.trimmed();
    m_book->Reset(method);
    file.BuildRecordIndex();

    BasisReportInfo info;
    info.ProgramTitle = m_ctx.ProgramTitle;
    const QLocale& locale = m_ctx.calendar.locale;
    QString dateFormat = locale.dateFormat(QLocale::ShortFormat);
    if (!dateFormat.contains(QLatin1String("yyyy")))
        dateFormat.replace(QLatin1String("yy"), QLatin1String("yyyy"));
    QString timeFormat = locale.timeFormat(QLocale::LongFormat);
    timeFormat.remove(QLatin1Char('t'));
    const QDate today =
        m_ctx.calendar.Today.isValid() ? m_ctx.calendar.Today : QDate::currentDate();
    info.StampDate = locale.toString(today, dateFormat);
    info.StampTime =
        locale.toString(m_ctx.clock ? m_ctx.clock() : QTime::currentTime(), timeFormat.trimmed());
    info.CurrentFile = file.CurrentFile;
    info.FileDescription = report.ReportSubtitle;
    info.ReportTitle = report.ReportTitle;
    info.Method = method;
    info.MethodName = BasisMethodName(method);
    info.ListFromDate = report.ListFromDate;
    info.ListToDate = report.ListToDate;
    m_ctx.output.beginReport(info);
    report.PageNumber = 0;

    // The replay: every record in date order, from the start of the file.
    for (std::size_t i = 1; i < file.RecordIndex.size(); ++i) {
        const RecordIndexEntry entry = file.RecordIndex[i];
        if (entry.RecNo == 0)
            break;
        if (m_ctx.cancel.pollCancel()) {
            result.cancelled = true;
            m_ctx.log.LogSession(QStringLiteral("Escape key was hit"), true, false, false);
            break;
        }
        if (!file.ReadRecord(entry.RecNo))
            continue;
        TransactionRecord record = file.RecordBuffer;
        if (!ProcessRecord(record)) {
            result.cancelled = true;
            result.oversold = true;
            break;
        }
    }

    if (result.cancelled) {
        m_ctx.messages.beep();
        m_ctx.log.LogSession(QStringLiteral("Basis worksheet was cancelled and is incomplete"),
                             true, false, false);
    } else if (m_printed == 0) {
        result.empty = true;
        m_ctx.messages.beep();
        m_ctx.log.LogSession(
            QStringLiteral("No transactions exist to create a basis worksheet for ") +
                file.CurrentFile,
            true, false, false);
    } else {
        ClosingSection();
    }

    m_ctx.output.finish();
    m_ctx.log.LogSession(QStringLiteral("Basis worksheet finished"), true, true);
    result.printedEntries = m_printed;
    return result;
}

bool BasisWorksheet::ProcessRecord(TransactionRecord& r)
{
    const QString desc = UpperDesc(r.Desc);

    // A share split: Shares holds the new balance.
    if (desc.contains(QLatin1String("SPLIT"))) {
        const double newBalance = r.Shares;
        const double oldBalance = m_pools.PoolShares[1];
        if (m_method >= MethodAverageSingle && RoundHalfEven(oldBalance) != 0) {
            m_pools.PoolShares[3] = RoundTo(newBalance * m_pools.PoolShares[3] / oldBalance, 3);
            m_pools.PoolShares[4] = RoundTo(newBalance * m_pools.PoolShares[4] / oldBalance, 3);
        }
        m_book->ScaleForSplit(newBalance, oldBalance);
        m_pools.PoolShares[1] = newBalance;
        m_split = true;
        BasisEntryLine line;
        line.Desc = desc;
        line.Amount = r.Amount;
        line.Shares = r.Shares;
        line.CostPerShare = 0;
        line.Term = kNoTerm;
        PrintEntry(r, line);
        return true;
    }

    if (r.Amount > 0) {
        if (r.SharePrice != 0)
            r.Shares = RoundTo(r.Amount / r.SharePrice, 3);
        else
            m_feeTotal += r.Amount;
        AddLot(r, desc);
    }

    if (r.Amount == 0) {
        if (r.Shares > 0) {
            r.Amount = r.SharePrice * r.Shares;
            r.Shares = RoundTo(r.Shares, 3);
        } else if (r.Shares < 0) {
            m_feeShares += -r.Shares;
            m_pools.PoolShares[1] += r.Shares;
        }
        if (r.Shares != 0)
            AddLot(r, desc);
    }

    if (r.Shares != 0 && RoundHalfEven(r.Amount) != 0)
        m_pools.PoolShares[1] += r.Shares * Sign(r.Amount);

    if (r.Amount < 0 && RoundHalfEven(r.Shares) != 0)
        return Sale(r, desc);
    return true;
}

void BasisWorksheet::AddLot(const TransactionRecord& r, const QString& desc)
{
    if (r.SharePrice != 0) {
        BasisLot lot;
        lot.Category = 0;
        lot.BuyDate = r.TransDate;
        lot.CostPerShare = r.SharePrice;
        lot.Shares = r.Shares;
        m_book->AddLot(lot);
    }
    BasisEntryLine line;
    line.Desc = desc;
    line.Amount = r.Amount;
    line.Shares = r.Shares;
    line.CostPerShare = r.SharePrice;
    line.Term = kNoTerm;
    PrintEntry(r, line);
}

bool BasisWorksheet::Sale(TransactionRecord& r, const QString& desc)
{
    m_saleRecord = &r;
    m_saleDesc = desc;
    m_saleBasis = 0;
    m_firstSaleLine = true;
    m_pools.LongTermCutoff = LongTermCutoffFor(r.TransDate);

    const auto sell = [this](BasisLot& lot) { SellFromLot(lot); };
    const auto more = [&r] { return r.Shares > 0; };
    switch (m_method) {
        case MethodCostFifo:
            m_book->MatchLots(sell, more);
            break;
        case MethodCostDynamic:
            m_book->SortList(SortByPriceDescending);
            m_book->MatchLots(sell, more);
            break;
        case MethodAverageSingle:
        case MethodAverageDoubleFifo:
            ClassifyLots();
            m_book->MatchLots(sell, more);
            ReleaseUnpooledLots();
            break;
        case MethodAverageDoubleDynamic:
            ClassifyLots();
            m_book->SortList(m_pools.ShortAverage > m_pools.LongAverage ? SortShortTermFirst
                                                                        : SortLongTermFirst);
            m_book->MatchLots(sell, more);
            ReleaseUnpooledLots();
            break;
        default:
            break;
    }
    m_saleRecord = nullptr;

    if (r.Shares > 0) {
        m_ctx.log.LogSession(kOversold, true, false, false);
        m_ctx.output.errorLine(kOversold);
        return false;
    }
    return true;
}

void BasisWorksheet::SellFromLot(BasisLot& lot)
{
    TransactionRecord& r = *m_saleRecord;
    QString mark;
    double taken;
    if (r.Shares < lot.Shares) {
        taken = r.Shares;
        lot.Shares -= taken;
        if (lot.Shares < 0.001)
            lot.Shares = 0;
        r.Shares = 0;
    } else {
        taken = lot.Shares;
        r.Shares -= taken;
        if (r.Shares < 0.001)
            r.Shares = 0;
        lot.Shares = 0;
    }
    const bool allMatched = !(r.Shares > 0);

    double cost = lot.CostPerShare;
    if (m_method >= MethodAverageSingle) {
        const bool longLot = lot.Category == 1;
        const int index = longLot ? 3 : 4;
        if (m_method == MethodAverageSingle)
            cost = m_pools.OverallAverage;
        else
            cost = longLot ? m_pools.LongAverage : m_pools.ShortAverage;
        m_pools.PoolShares[index] -= taken;
        m_pools.PoolCost[index] -= taken * cost;
        if (m_pools.PoolCost[index] < 0 || m_pools.PoolShares[index] == 0) {
            if (m_method == MethodAverageSingle) {
                if (allMatched && m_pools.PoolCost[index] != 0) {
                    m_saleBasis += m_pools.PoolCost[index];
                    mark = QStringLiteral("  *");
                }
                m_pools.PoolCost[index == 3 ? 4 : 3] += m_pools.PoolCost[index];
            } else if (m_pools.PoolCost[index] != 0) {
                m_saleBasis += m_pools.PoolCost[index];
                mark = QStringLiteral("  *");
            }
            m_pools.PoolCost[index] = 0;
        }
        if (longLot)
            m_pools.LongPoolTouched = true;
        else
            m_pools.ShortPoolTouched = true;
    }

    m_saleBasis += taken * cost;
    BasisEntryLine line;
    line.Desc = m_firstSaleLine ? m_saleDesc : QString();
    line.Amount = m_firstSaleLine ? r.Amount : 0;
    line.Shares = taken;
    line.CostPerShare = cost;
    line.Gain = allMatched ? std::fabs(r.Amount) - m_saleBasis : 0;
    line.Term =
        lot.BuyDate < m_pools.LongTermCutoff ? QStringLiteral("Long ") : QStringLiteral("Short");
    line.Mark = mark;
    m_firstSaleLine = false;
    PrintEntry(r, line);
}

void BasisWorksheet::ClassifyLots()
{
    m_pools.LongPoolTouched = false;
    m_pools.ShortPoolTouched = false;
    m_pools.ComputeAverages();
    m_book->ClassifyLots(m_pools);
    m_pools.ComputeAverages();
}

void BasisWorksheet::ReleaseUnpooledLots()
{
    m_book->ReleaseUnpooledLots(m_pools);
    m_pools.ComputeAverages();
}

void BasisWorksheet::PrintEntry(const TransactionRecord& r, BasisEntryLine line)
{
    // The date window limits only what is printed; entries without a price
    // (splits, fees) are always printed.
    const bool inRange = r.TransDate >= m_beginDate && r.TransDate <= m_endDate;
    if (!inRange && RoundHalfEven(line.CostPerShare) != 0)
        return;
    line.ShowDate = r.Amount == 0 || RoundHalfEven(line.Amount) != 0;
    line.DateDigits = DateDigits(r.TransDate);
    m_ctx.output.entry(line);
    ++m_printed;
}

void BasisWorksheet::ClosingSection()
{
    BasisPools& p = m_pools;
    p.LongTermCutoff = LongTermCutoffFor(m_ctx.calendar.TodayYMD);
    if (m_method >= MethodAverageSingle) {
        ClassifyLots();
        ReleaseUnpooledLots();
    }
    m_ctx.output.remainingHeading();

    p.PoolShares[1] = 0;
    m_book->ForEachHeldLot([&](BasisLot& lot) {
        if (m_method >= MethodAverageSingle) {
            if (lot.CostPerShare == 0) {
                if (m_method == MethodAverageSingle)
                    lot.CostPerShare = p.OverallAverage;
                else
                    lot.CostPerShare = lot.Category == 1 ? p.LongAverage : p.ShortAverage;
            } else {
                const int index = lot.Category == 1 ? 3 : 4;
                p.PoolShares[index] += lot.Shares;
                p.PoolCost[index] += lot.Shares * lot.CostPerShare;
            }
        }
        const bool longTerm = lot.BuyDate < p.LongTermCutoff;
        const int index = longTerm ? 1 : 2;
        p.PoolShares[index] += lot.Shares;
        p.PoolCost[index] += lot.Shares * lot.CostPerShare;
        RemainingLotLine line;
        line.DateDigits = DateDigits(lot.BuyDate);
        line.Shares = lot.Shares;
        line.CostPerShare = lot.CostPerShare;
        line.LongTerm = longTerm;
        m_ctx.output.remainingLot(line);
    });

    if (m_method >= MethodAverageSingle) {
        p.PoolShares[1] = p.PoolShares[3];
        p.PoolCost[1] = p.PoolCost[3];
        p.PoolShares[2] = p.PoolShares[4];
        p.PoolCost[2] = p.PoolCost[4];
    }

    BasisTotals totals;
    totals.TotalShares = p.PoolShares[1] + p.PoolShares[2];
    totals.TotalBasis = p.PoolCost[1] + p.PoolCost[2];
    if (totals.TotalShares != 0)
        totals.AverageCost = totals.TotalBasis / totals.TotalShares;
    if (p.PoolShares[1] != 0)
        totals.LongAverage = p.PoolCost[1] / p.PoolShares[1];
    if (p.PoolShares[2] != 0)
        totals.ShortAverage = p.PoolCost[2] / p.PoolShares[2];
    totals.ServiceFees = m_feeTotal;
    totals.FeeShares = m_feeShares;
    m_ctx.output.totals(totals);

    if (m_split) {
        const QString restated =
            QStringLiteral("Buy prices have been restated because of a share split.");
        m_ctx.log.LogSession(restated, true, false);
        m_ctx.output.note(restated);
    }
    m_ctx.output.note(
        QStringLiteral("Remember to adjust for service charges, commissions, loads, etc."));
}

}  // namespace brisden
