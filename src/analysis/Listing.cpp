#include "analysis/Listing.h"

#include "data/Dates.h"
#include "data/FileTable.h"
#include "data/InvestmentFile.h"
#include "data/NumberText.h"
#include "data/Portfolio.h"
#include "ui/Interaction.h"

#include <QFileInfo>
#include <QLocale>
#include <algorithm>
#include <cmath>
#include <optional>

namespace brisden {

namespace {

QString PlainText(double value)
{
    return QString::fromLatin1(PlainNumber(value));
}

// A row is valued (and shows returns) when it moved neither money nor shares,
// or when nothing is held after it.
bool IsValuationRow(const TransactionRecord& record, double shareBalance)
{
    return (record.Amount == 0 && record.Shares == 0) || shareBalance == 0;
}

}  // namespace

double PriceBoxValue(const QString& text, const QLocale& locale)
{
    // The price as the user reads it in their own number format ("27,81" in
    // German); a text that is no number there gives its leading number.
    bool isNumber = false;
    const double value = locale.toDouble(text.trimmed(), &isNumber);
    return isNumber ? value : Val(text);
}

void TransactionListing::logShown(const QString& message)
{
    m.log.LogSession(message, true, false, false);
}

// Today's share price of the file being listed: the price box when it belongs
// to this file, else the answer to a question whose default is the last price.
double TransactionListing::currentSharePrice(double lastPrice)
{
    if (m.priceBox && !PriceBoxFile.isEmpty() &&
        PriceBoxFile.compare(m.file.CurrentFile, Qt::CaseInsensitive) == 0)
        return PriceBoxValue(m.priceBox->text(), m.calendar.locale);
    const std::optional<QString> answer =
        m.input.ask(QStringLiteral("Input the current share price for: ") + m.file.CurrentFileDesc,
                    m.ProgramTitle, PlainText(lastPrice).trimmed());
    return answer ? Val(*answer) : 0.0;
}

void TransactionListing::ListTrans2(FileSummary& summary, std::int32_t& RowCounter)
{
    summary = FileSummary{};
    ListingState state;

    // The listing range; an invalid limit means open and is reset.
    std::int32_t BeginDate = 0;
    std::int32_t EndDate = 99999999;
    std::int32_t FirstDay = 0;
    if (IsValidDate(m.report.ListFromDate)) {
        BeginDate = SwapDateOrder(m.report.ListFromDate);
        FirstDay = DateToDayNumber(BeginDate);
    } else {
        m.report.ListFromDate = 0;
    }
    if (IsValidDate(m.report.ListToDate))
        EndDate = SwapDateOrder(m.report.ListToDate);
    else
        m.report.ListToDate = 99999999;

    if (destination() != DestinationScreen) {
        logShown(QStringLiteral("Listing file ") + m.file.CurrentFile +
                 QStringLiteral(" using date range ") + QString::number(BeginDate) +
                 QStringLiteral(" to ") + QString::number(EndDate));
    }
    ListingFileInfo info;
    info.Path = m.file.CurrentFile;
    info.Description = m.file.CurrentFileDesc;
    info.PortfolioPath = m_portfolioPath;
    info.ListFromDate = m.report.ListFromDate;
    info.ListToDate = m.report.ListToDate;
    info.PortfolioRun = m_portfolioRun;
    info.FirstFile = m_firstFile;
    m.output.beginFile(info);

    // The cash-flow table has a slot for every record of this file.
    const std::vector<RecordIndexEntry>& index = m.file.RecordIndex;
    const std::size_t needed = static_cast<std::size_t>(RowCounter) + index.size() + 1;
    if (CashFlows.size() < needed)
        CashFlows.resize(needed);

    double& ShareBalance = state.ShareBalance();
    auto& CostTotals = state.CostTotals;
    auto& DistributionTotals = state.DistributionTotals;
    auto& SaleTotals = state.SaleTotals;
    auto& ShareTotals = state.ShareTotals;
    auto& LowPrices = state.LowPrices;
    auto& HighPrices = state.HighPrices;

    double StartValue = 0;
    int RangeRows = 0;
    float ExponentFactor = 0;
    std::int32_t lastRecordDate = 0;
    std::int32_t lastRecordDay = 0;

    ListingRow row;
    for (std::size_t i = 1; i < index.size(); ++i) {
        const RecordIndexEntry& entry = index[i];
        if (entry.RecNo == 0)
            break;
        if (m.cancel.pollCancel()) {
            if (destination() != DestinationScreen)
                logShown(QStringLiteral("Escape key was hit"));
            summary.Cancelled = true;
            return;
        }
        m.file.ReadRecord(entry.RecNo);
        TransactionRecord record = m.file.RecordBuffer;
        if (record.TransDate > EndDate)
            break;
        ++RowCounter;
        CashFlow& flow = CashFlows[static_cast<std::size_t>(RowCounter)];
        const bool inRange = record.TransDate >= BeginDate;
        std::optional<double> openingValue;

        // The holding brought into the range counts as money put in on its first day.
        if (inRange && RangeRows == 0) {
            state.SplitRestated = false;
            DistributionTotals[1] = DistributionTotals[2] = 0;
            SaleTotals[1] = SaleTotals[2] = 0;
            CostTotals[1] = 0;
            CostTotals[2] = state.LastPrice * ShareBalance;
            CostTotals[3] = CostTotals[2];
            StartValue = CostTotals[2];
            ShareTotals[2] = ShareBalance;
            ShareTotals[3] = 0;
            if (state.LastPrice != 0)
                LowPrices[1] = HighPrices[1] = state.LastPrice;
            LowPrices[2] = NoPriceSentinel;
            HighPrices[2] = 0;
            flow.Amount = CostTotals[2];
            openingValue = flow.Amount;
        }

        const QString code = ClassifyTransaction(record, state, RowCounter, inRange, CashFlows);
        if (!inRange)
            continue;

        const std::int32_t day = DateToDayNumber(record.TransDate);
        flow.DayNumber = day;
        if (FirstDay == 0)
            FirstDay = day;
        summary.LastDay = day;
        lastRecordDay = day;
        lastRecordDate = record.TransDate;
        ExponentFactor = ExponentFactorFor(day, FirstDay);

        const bool valuationRow = IsValuationRow(record, ShareBalance);
        const double value = state.LastPrice * ShareBalance;
        if (ExponentFactor != 0 && CostTotals[2] + DistributionTotals[2] != 0 && valuationRow) {
            summary.AnnualReturn = AnnualROI(value, DistributionTotals[2], SaleTotals[2],
                                             CostTotals[2], ExponentFactor);
        }

        // A range that starts on this record's date starts from the value after it.
        if (RangeRows == 0 && record.TransDate == BeginDate) {
            StartValue = 0;
            CostTotals[1] = state.LastPrice * ShareBalance;
            CostTotals[2] = CostTotals[1];
            CostTotals[3] = CostTotals[1];
            ShareTotals[2] = ShareBalance;
            if (state.LastPrice != 0)
                LowPrices[1] = HighPrices[1] = state.LastPrice;
            flow.Amount = CostTotals[1];
            openingValue = flow.Amount;
        }
        if (openingValue && *openingValue != 0)
            RateTrail.OpeningSlots.emplace_back(RowCounter, *openingValue);

        ++RangeRows;

        // One row object for the whole pass: its description keeps its storage.
        row.TransDate = record.TransDate;
        row.Desc = QLatin1String(record.Desc.constData(), record.Desc.size());
        row.PeriodROI = row.CumulativeROI = row.AnnualROI = 0;
        row.Amount = record.Amount;
        row.SharePrice = record.SharePrice;
        row.Shares = record.Shares;
        row.ShareBalance = ShareBalance;
        row.Value = value;
        row.Code = code;
        row.RecNo = entry.RecNo;
        if (StartValue + CostTotals[1] != 0 && valuationRow) {
            row.PeriodROI =
                PeriodROI(value, DistributionTotals[1], SaleTotals[1], StartValue, CostTotals[1]);
        }
        if (CostTotals[2] + DistributionTotals[2] != 0 && valuationRow) {
            row.CumulativeROI =
                CumulativeROI(value, DistributionTotals[2], SaleTotals[2], CostTotals[2]);
            row.AnnualROI = summary.AnnualReturn;
        }

        const bool suspect = IsSuspectRecord(record, code);
        const int rowNumber = m.output.addRow(row, suspect);
        if (suspect && FirstSuspectRow == -1)
            FirstSuspectRow = destination() == DestinationScreen ? rowNumber : 1;

        // A new return period starts unless money or shares moved while something was held.
        if (!(StartValue != 0 && (record.Amount != 0 || record.Shares != 0) && ShareBalance != 0)) {
            StartValue = state.LastPrice * ShareBalance;
            DistributionTotals[1] = 0;
            SaleTotals[1] = 0;
            CostTotals[1] = 0;
        }
    }

    if (RangeRows == 0) {
        if (destination() != DestinationScreen)
            logShown(QStringLiteral("No transactions available for ") + m.file.CurrentFile);
        return;
    }
    for (int k = 1; k <= 2; ++k) {
        if (IsNoPrice(LowPrices[k]))
            LowPrices[k] = 0;
    }

    if (ShareBalance == 0) {
        // Everything sold: nothing to value.
        if (destination() == DestinationScreen && m.priceBox) {
            m.priceBox->setText(QStringLiteral("N/A"));
            m.priceBox->setEnabled(false);
        }
    } else {
        if (destination() == DestinationScreen && m.priceBox)
            m.priceBox->setEnabled(true);
        if (EndDate < m.calendar.TodayYMD) {
            // The range ends before today: valued at its end with the last known price.
            if (CostTotals[2] != 0) {
                summary.ValuationDay = summary.LastDay = DateToDayNumber(EndDate);
                ExponentFactor = ExponentFactorFor(summary.ValuationDay, FirstDay);
                if (ExponentFactor != 0) {
                    summary.AnnualReturn =
                        ValuationAnnualROI(state.LastPrice * ShareBalance, DistributionTotals[2],
                                           SaleTotals[2], CostTotals[2], ExponentFactor);
                }
            }
        } else {
            // The closing valuation at today's price.
            state.LastPrice = currentSharePrice(state.LastPrice);
            if (state.LastPrice == 0) {
                if (destination() == DestinationScreen) {
                    m.log.LogSession(listing_text::NoSharePrice(), false, false, false);
                    m.messages.show(listing_text::NoSharePrice(), ui::Icon::Exclamation);
                    if (m.priceBox)
                        m.priceBox->selectAll();
                } else {
                    logShown(listing_text::NoSharePrice());
                }
            }
            if (destination() != DestinationScreen) {
                logShown(QStringLiteral("Inputted share price of ") + PlainText(state.LastPrice) +
                         QStringLiteral(" will be used to calculate current values"));
            }
            const double value = state.LastPrice * ShareBalance;
            if (CostTotals[2] != 0) {
                summary.LastDay = std::max(summary.LastDay, m.calendar.TodayDayNumber);
                summary.ValuationDay = summary.LastDay;
                ExponentFactor = ExponentFactorFor(summary.LastDay, FirstDay);
                if (ExponentFactor != 0) {
                    summary.AnnualReturn = ValuationAnnualROI(
                        value, DistributionTotals[2], SaleTotals[2], CostTotals[2], ExponentFactor);
                }
            }

            row = ListingRow{};
            row.Closing = true;
            row.TransDate =
                m.calendar.TodayDayNumber > lastRecordDay ? m.calendar.TodayYMD : lastRecordDate;
            row.Desc = QStringLiteral("Today");
            row.SharePrice = state.LastPrice;
            row.ShareBalance = ShareBalance;
            row.Value = value;
            row.Code = QStringLiteral("U");
            if (CostTotals[1] != 0)
                CostTotals[1] += DistributionTotals[1];
            if (StartValue + CostTotals[1] != 0) {
                row.PeriodROI = PeriodROI(value, DistributionTotals[1], SaleTotals[1], StartValue,
                                          CostTotals[1]);
            }
            if (CostTotals[2] + DistributionTotals[2] != 0) {
                row.CumulativeROI =
                    CumulativeROI(value, DistributionTotals[2], SaleTotals[2], CostTotals[2]);
                if (ExponentFactor != 0)
                    row.AnnualROI = summary.AnnualReturn;
            }
            m.output.addRow(row, false);
        }
    }

    // The file's summary.
    const double value = state.LastPrice * ShareBalance;
    ListingFileSummary figures;
    figures.OutOfPocketCosts = CostTotals[2];
    figures.TotalPurchases = CostTotals[3];
    figures.CashDistributions = DistributionTotals[2];
    figures.Sales = SaleTotals[2];
    figures.Gain = value - DistributionTotals[2] - SaleTotals[2] - CostTotals[2];
    figures.LowBuy = LowPrices[1];
    figures.HighBuy = HighPrices[1];
    if (ShareTotals[2] != 0)
        figures.AverageBuy = CostTotals[3] / ShareTotals[2];
    figures.LowSell = LowPrices[2];
    figures.HighSell = HighPrices[2];
    if (ShareTotals[3] != 0)
        figures.AverageSell = std::fabs(SaleTotals[2]) / ShareTotals[3];
    figures.SplitRestated = state.SplitRestated;
    // The summary is shown first, so that the rows and figures the note
    // speaks of are on the screen behind it.
    m.output.fileSummary(figures);
    if (destination() == DestinationScreen && state.SplitRestated)
        m.messages.show(listing_text::SplitRestatedScreen(), ui::Icon::Information);

    PortfolioTotals[0] += value;
    PortfolioTotals[1] += CostTotals[2];
    PortfolioTotals[2] += CostTotals[3];
    PortfolioTotals[3] += DistributionTotals[2];
    PortfolioTotals[4] += SaleTotals[2];
    PortfolioTotals[5] += figures.Gain;
    summary.TerminalValue = -(state.LastPrice * ShareBalance);
}

bool TransactionListing::openPortfolioFile(const QString& path, const QString& description)
{
    m.file.CurrentFile = path;
    m.file.CurrentFileDesc = description;
    // A missing file is reported, never created by the open.
    int error = ErrFileNotFound;
    if (QFileInfo(path).isFile()) {
        if (m.file.open(path))
            return true;
        error = -m.file.files().fileNumber(InvestmentSlot);
    } else {
        m.file.close();
    }
    QString message;
    if (error == ErrFileNotFound) {
        message = QStringLiteral(
            "This file has been moved or deleted, or it's name has been "
            "changed.");
    } else {
        m.messages.beep();
        message = QStringLiteral("Error: ") + ErrorText(error);
    }
    m.log.LogSession(path + QStringLiteral(": ") + message, false, false, false);
    m.messages.show(message, ui::Icon::Exclamation);
    return false;
}

void TransactionListing::ListTrans(const Portfolio* portfolio)
{
    m_destination = m.output.destination();
    FirstSuspectRow = -1;
    RunCancelled = false;
    RateComputed = false;
    Rate = 0;
    RateTrail.clear();
    m.output.beginRun();
    PortfolioTotals.fill(0);
    m_portfolioRun = portfolio != nullptr;
    m_portfolioPath = portfolio ? portfolio->CurrentPortfolio : QString();

    std::int32_t RowCounter = 0;
    float guess = 0;
    std::int32_t endDay = 0;
    FileSummary summary;

    if (portfolio) {
        PriceBoxFile = m.priceBox ? m.file.CurrentFile : QString();
        PriceBoxFileDesc = m.file.CurrentFileDesc;
        CashFlows.clear();
        m_firstFile = true;
        const std::vector<QString>& files = portfolio->PortfolioFiles;
        const std::vector<QString>& descriptions = portfolio->PortfolioDescriptions;
        for (std::size_t i = 1; i < files.size(); ++i) {
            const QString path = files[i];
            if (path.isEmpty())
                break;
            const QString description = i < descriptions.size() ? descriptions[i] : QString();
            if (!openPortfolioFile(path, description))
                continue;
            m.file.BuildRecordIndex();
            const std::size_t records = m.file.RecordIndex.size() - 1;
            // Slot 0 is never used: a table of upper bound u has u + 1 elements.
            if (CashFlows.empty())
                CashFlows.assign(records + 2, CashFlow{});
            else
                CashFlows.resize(CashFlows.size() + records + 1);
            const std::int32_t firstSlot = RowCounter + 1;
            ListTrans2(summary, RowCounter);
            m.output.endFile();
            m_firstFile = false;
            if (summary.Cancelled)
                break;
            endDay = std::max(endDay, summary.LastDay);
            if (summary.AnnualReturn != 0)
                guess = summary.AnnualReturn;
            ++RowCounter;
            CashFlows[static_cast<std::size_t>(RowCounter)] =
                CashFlow{summary.TerminalValue, summary.ValuationDay, 0.0f};
            RateTrail.Files.push_back({path, description, firstSlot, RowCounter});
        }
    } else {
        m.file.BuildRecordIndex();
        const std::size_t records = m.file.RecordIndex.size() - 1;
        CashFlows.assign(records + 2, CashFlow{});
        PriceBoxFile = m.priceBox ? m.file.CurrentFile : QString();
        PriceBoxFileDesc = m.file.CurrentFileDesc;
        m_firstFile = true;
        ListTrans2(summary, RowCounter);
        endDay = summary.LastDay;
        guess = summary.AnnualReturn;
        ++RowCounter;
        if (static_cast<std::size_t>(RowCounter) >= CashFlows.size())
            CashFlows.resize(static_cast<std::size_t>(RowCounter) + 1);
        CashFlows[static_cast<std::size_t>(RowCounter)] =
            CashFlow{summary.TerminalValue, summary.ValuationDay, 0.0f};
        RateTrail.Files.push_back({m.file.CurrentFile, m.file.CurrentFileDesc, 1, RowCounter});
    }

    if (summary.Cancelled) {
        RunCancelled = true;
        if (destination() == DestinationScreen) {
            m.messages.show(listing_text::Cancelled(), ui::Icon::Information);
        } else {
            m.messages.beep();
            logShown(listing_text::Cancelled());
        }
        m.output.cancelled();
    } else {
        if (portfolio)
            m.output.portfolioSummary(m_portfolioPath, PortfolioTotals);
        if (endDay != 0) {
            RateTrail.Guess = guess;
            RateOfReturn solver;
            Rate = solver.ComputeIRR(CashFlows, guess, endDay);
            RateComputed = true;
            RateTrail.EndDay = endDay;
            RateTrail.Rate = Rate;
            RateTrail.Computed = true;
            m.output.rateOfReturn(Rate);
        }
    }

    if (FirstSuspectRow != -1)
        m.output.suspectRecords();
    m.output.finishRun(FirstSuspectRow);
    if (destination() == DestinationScreen) {
        if (FirstSuspectRow != -1)
            m.messages.show(listing_text::SuspectScreen(), ui::Icon::Information);
        if (m.priceBox) {
            bool isNumber = false;
            const double price =
                m.calendar.locale.toDouble(m.priceBox->text().trimmed(), &isNumber);
            if (isNumber) {
                QLocale plain = m.calendar.locale;
                plain.setNumberOptions(QLocale::OmitGroupSeparator);
                m.priceBox->setText(plain.toString(price, 'f', 2));
            }
        }
    }
}

}  // namespace brisden
