#pragma once
// A listing run without windows for the analysis tests: hand-built ledgers in
// a scratch folder, an output that records what it is given, and the fakes of
// the screen interfaces.

#include "analysis/Listing.h"
#include "data/Dates.h"
#include "data/FileTable.h"
#include "data/InvestmentFile.h"
#include "data/Portfolio.h"
#include "report/ReportState.h"
#include "shell/SessionLog.h"
#include "support/TestSupport.h"

#include <QDate>
#include <gtest/gtest.h>
#include <QTemporaryDir>
#include <cmath>
#include <memory>
#include <vector>

namespace brisden::test {

class RecordingOutput final : public IListingOutput {
public:
    explicit RecordingOutput(int destination) : m_destination(destination) {}

    struct File {
        ListingFileInfo info;
        std::vector<ListingRow> rows;
        std::vector<bool> suspect;
        std::optional<ListingFileSummary> summary;
    };
    std::vector<File> files;
    int endFiles = 0;
    bool wasCancelled = false;
    std::optional<PortfolioTotalsArray> portfolio;
    std::optional<float> rate;
    bool suspectNote = false;
    std::optional<int> finishedWith;

    int destination() const override { return m_destination; }
    void beginRun() override {}
    void beginFile(const ListingFileInfo& info) override { files.push_back({info, {}, {}, {}}); }
    int addRow(const ListingRow& row, bool isSuspect) override
    {
        files.back().rows.push_back(row);
        files.back().suspect.push_back(isSuspect);
        return int(files.back().rows.size());
    }
    void fileSummary(const ListingFileSummary& s) override { files.back().summary = s; }
    void endFile() override { ++endFiles; }
    void cancelled() override { wasCancelled = true; }
    void portfolioSummary(const QString&, const PortfolioTotalsArray& t) override { portfolio = t; }
    void rateOfReturn(float r) override { rate = r; }
    void suspectRecords() override { suspectNote = true; }
    void finishRun(int firstSuspectRow) override { finishedWith = firstSuspectRow; }

    // The last row of a file when it is the closing valuation.
    const ListingRow* closingRow(std::size_t file = 0) const
    {
        const auto& rows = files.at(file).rows;
        return !rows.empty() && rows.back().Closing ? &rows.back() : nullptr;
    }

private:
    int m_destination;
};

// Everything one listing run needs, with today fixed.
struct ListingHarness {
    explicit ListingHarness(int destination = DestinationFile, std::int32_t todayYmd = 20110110)
        : output(destination)
    {
        calendar.SetToday(QDate(todayYmd / 10000, todayYmd / 100 % 100, todayYmd % 100));
        log.setEcho([this](const QString& line) { logLines << line.mid(10); });  // no time
        log.setDisplay(&notices);
    }

    QString path(const QString& name) const { return dir.filePath(name); }

    // Writes the ledger and makes it the current file.
    void useLedger(const QString& name, const std::vector<Tx>& records,
                   const QString& description = QStringLiteral("Test fund"))
    {
        WriteLedger(path(name), records);
        ASSERT_TRUE(file.open(path(name)));
        file.CurrentFile = path(name);
        file.CurrentFileDesc = description;
    }

    void setRange(std::int32_t fromMdy, std::int32_t toMdy)
    {
        report.ListFromDate = fromMdy;
        report.ListToDate = toMdy;
    }

    // Lists into the recording output, or into another one.
    TransactionListing& run(const Portfolio* portfolio = nullptr, bool withPriceBox = false,
                            IListingOutput* into = nullptr)
    {
        listing = std::make_unique<TransactionListing>(ListingContext{
            file, report, calendar, log, into ? *into : output, withPriceBox ? &priceBox : nullptr,
            messages, input, cancel, QStringLiteral("Brisden 6.00")});
        listing->ListTrans(portfolio);
        return *listing;
    }

    QTemporaryDir dir;
    FileTable files;
    InvestmentFile file{files};
    ReportState report;
    Calendar calendar;
    SessionLog log{files, QString()};
    QStringList logLines;
    FakeNotices notices;
    RecordingOutput output;
    PlainPriceBox priceBox;
    FakeMessages messages;
    FakeInput input;
    FakeCancel cancel;
    std::unique_ptr<TransactionListing> listing;
};

// The rate r with sum Amount * (1 + r)^((endDay - day) / 365.25) = 0, found by
// bisection between -0.99 and 100 (the future value falls as r rises when the
// late flows are paid back).
inline double BisectRate(const std::vector<std::pair<double, std::int32_t>>& flows,
                         std::int32_t endDay)
{
    auto futureValue = [&](double r) {
        double sum = 0;
        for (const auto& [amount, day] : flows)
            sum += amount * std::pow(1 + r, (endDay - day) / 365.25);
        return sum;
    };
    double lo = -0.99, hi = 100;
    const bool rising = futureValue(hi) > futureValue(lo);
    for (int i = 0; i < 200; ++i)
        ((futureValue((lo + hi) / 2) > 0) == rising ? hi : lo) = (lo + hi) / 2;
    return (lo + hi) / 2;
}

inline std::int32_t Day(std::int32_t ymd)
{
    return DateToDayNumber(ymd);
}

// Twelve significant digits: rounding in the last bit does not count.
inline QString Num(double d)
{
    return QString::number(d, 'g', 12);
}

// A file's summary figures: "costs purchases cash sales gain | buys low high
// average | sells low high average", "N/A" for a missing average, and
// " split" when the prices were restated.
inline QString SummaryText(const ListingFileSummary& s)
{
    const auto avg = [](const std::optional<double>& a) { return a ? Num(*a) : QString("N/A"); };
    QStringList t;
    for (const double v :
         {s.OutOfPocketCosts, s.TotalPurchases, s.CashDistributions, s.Sales, s.Gain})
        t << Num(v);
    t << "|" << Num(s.LowBuy) << Num(s.HighBuy) << avg(s.AverageBuy);
    t << "|" << Num(s.LowSell) << Num(s.HighSell) << avg(s.AverageSell);
    return t.join(u' ') + (s.SplitRestated ? " split" : "");
}

}  // namespace brisden::test
