// Timings of the transaction listing: a whole ledger of a million records
// listed to a report file, and the rate-of-return solver over a million flows.

#include "analysis/Listing.h"
#include "analysis/Returns.h"
#include "data/Dates.h"
#include "data/FileTable.h"
#include "data/InvestmentFile.h"
#include "analysis/ListingTextFile.h"
#include "report/ReportFile.h"
#include "report/ReportState.h"
#include "shell/SessionLog.h"
#include "ui/Interaction.h"

#include "GeneratorFiles.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

using namespace brisden;

constexpr int LedgerRecords = 1000000;

// A long ledger in date order: about seventy entries a day from 1980 on, a mix
// of purchases, reinvestments, price updates, distributions, fees and sales.
QByteArray MakeLedger(int count)
{
    QByteArray bytes(RecordLength, '\0');
    const std::int16_t version = VersionMajor;
    const std::int32_t none = -1;
    std::memcpy(bytes.data(), &version, 2);
    std::memcpy(bytes.data() + 2, &none, 4);
    bytes.reserve(qsizetype(count + 1) * RecordLength);

    std::mt19937 random(7);
    std::uniform_real_distribution<double> drift(-0.01, 0.0102);
    const std::int32_t firstDay = DateToDayNumber(19800101);
    double price = 10;
    for (int i = 0; i < count; ++i) {
        TransactionRecord r;
        r.Version = VersionMajor;
        r.TransDate = DayNumberToDate(firstDay + i / 70);
        r.Seq = static_cast<std::int16_t>(i % 70);
        price *= 1 + drift(random) / 10;
        switch (i % 10) {
            case 0:
            case 1:
            case 2:
            case 3:
                r.setDesc(QStringLiteral("Buy"));
                r.Amount = 100;
                r.SharePrice = price;
                break;
            case 4:
                r.setDesc(QStringLiteral("Reinvest"));
                r.SharePrice = price;
                r.Shares = 0.5;
                break;
            case 5:
            case 6:
                r.setDesc(QStringLiteral("Price"));
                r.SharePrice = price;
                break;
            case 7:
                r.setDesc(QStringLiteral("Cash div"));
                r.Amount = -3;
                break;
            case 8:
                r.setDesc(QStringLiteral("Fee shrs"));
                r.Shares = -0.01;
                break;
            default:
                r.setDesc(QStringLiteral("Sale"));
                r.Shares = 2;
                r.SharePrice = price;
                r.Amount = -(2 * price);
                break;
        }
        const RecordBytes encoded = EncodeRecord(r);
        bytes.append(encoded.data(), RecordLength);
    }
    return bytes;
}

class DefaultAnswers final : public ui::IInputBox {
public:
    std::optional<QString> ask(const QString&, const QString&, const QString& d) override
    {
        return d;
    }
};

class QuietMessages final : public ui::IMessageBox {
public:
    void show(const QString&, ui::Icon) override {}
    bool askYesNo(const QString&, bool defaultNo) override { return !defaultNo; }
    bool askOkCancel(const QString&) override { return true; }
    void beep() override {}
};

// Presents nothing: the pass alone.
class NoOutput final : public IListingOutput {
public:
    int destination() const override { return DestinationFile; }
    void beginFile(const ListingFileInfo&) override {}
    int addRow(const ListingRow&, bool) override { return 1; }
    void fileSummary(const ListingFileSummary&) override {}
    void cancelled() override {}
    void portfolioSummary(const QString&, const PortfolioTotalsArray&) override {}
    void rateOfReturn(float) override {}
};

void RunListing(benchmark::State& state, bool toFile, const QString& ledgerPath = QString())
{
    QTemporaryDir dir;
    QString ledger = ledgerPath;
    if (ledger.isEmpty()) {
        ledger = dir.filePath(QStringLiteral("big.dat"));
        QFile file(ledger);
        file.open(QIODevice::WriteOnly);
        file.write(MakeLedger(LedgerRecords));
    }
    const QString reportPath = dir.filePath(QStringLiteral("report.txt"));

    Calendar calendar;
    calendar.SetToday(QDate(2030, 1, 1));
    DefaultAnswers answers;
    QuietMessages messages;
    ui::NullCancelPoll noCancel;
    std::int64_t reportBytes = 0;
    for (auto _ : state) {
        FileTable files;
        SessionLog log(files, QString());
        InvestmentFile file(files);
        file.open(ledger);
        file.CurrentFile = ledger;
        files.OpenFile(ShortSlot, reportPath, QStringLiteral("O"), QStringLiteral("W"), 0);
        ReportState report;
        ReportFileWriter writer(files, ShortSlot);
        ListingFileOutput fileOutput(writer, calendar, QStringLiteral("Brisden 6.00"));
        NoOutput noOutput;
        IListingOutput& output = toFile ? static_cast<IListingOutput&>(fileOutput) : noOutput;
        TransactionListing listing(ListingContext{file, report, calendar, log, output, nullptr,
                                                  messages, answers, noCancel,
                                                  QStringLiteral("Brisden 6.00")});
        listing.ListTrans(nullptr);
        file.close();
        files.CloseFile(ShortSlot);
        benchmark::DoNotOptimize(listing.Rate);
        reportBytes = QFileInfo(reportPath).size();
    }
    state.counters["records"] = double(QFileInfo(ledger).size() / RecordLength - 1);
    state.counters["report_MB"] = double(reportBytes) / 1e6;
}

// The least a listing to a file costs on this machine, for comparison: read
// the file, sort an index by date and sequence, keep the running balance and
// value, write one line per record with std::to_chars (the fields of the
// report file), collect the cash flows and solve the rate of return by
// Newton's method. No checks, no record types, no returns.
void BareListing(const std::string& ledger, const std::string& report)
{
    std::vector<char> bytes;
    if (FILE* in = std::fopen(ledger.c_str(), "rb")) {
        std::fseek(in, 0, SEEK_END);
        bytes.resize(size_t(std::ftell(in)));
        std::fseek(in, 0, SEEK_SET);
        if (std::fread(bytes.data(), 1, bytes.size(), in) != bytes.size())
            bytes.clear();
        std::fclose(in);
    }
    struct Entry {
        std::int32_t date;
        std::int16_t seq;
        std::int32_t rec;
    };
    const size_t count = bytes.size() / RecordLength;
    std::vector<Entry> index;
    index.reserve(count);
    for (size_t r = 1; r < count; ++r) {
        const char* p = bytes.data() + r * RecordLength;
        Entry e{};
        std::memcpy(&e.date, p + 2, 4);
        std::memcpy(&e.seq, p + 6, 2);
        e.rec = std::int32_t(r);
        index.push_back(e);
    }
    std::sort(index.begin(), index.end(), [](const Entry& a, const Entry& b) {
        return a.date != b.date ? a.date < b.date
                                : (a.seq != b.seq ? a.seq < b.seq : a.rec < b.rec);
    });
    FILE* out = std::fopen(report.c_str(), "wb");
    std::vector<char> buffer(1 << 20);
    size_t used = 0;
    std::vector<std::pair<double, double>> flows;  // amount, years from the first day
    flows.reserve(index.size() + 1);
    double balance = 0, lastPrice = 0;
    const double firstDay = index.empty() ? 0 : DateToDayNumber(index.front().date);
    for (const Entry& e : index) {
        if (buffer.size() - used < 4096) {
            std::fwrite(buffer.data(), 1, used, out);
            used = 0;
        }
        const char* p = bytes.data() + size_t(e.rec) * RecordLength;
        double amount, price, shares;
        std::memcpy(&amount, p + 17, 8);
        std::memcpy(&price, p + 25, 8);
        std::memcpy(&shares, p + 33, 8);
        if (price != 0)
            lastPrice = price;
        if (amount > 0)
            balance += shares;
        else if (amount < 0)
            balance -= shares;
        else if (shares != 0)
            balance = shares;
        char* o = buffer.data() + used;
        o += std::snprintf(o, 16, "#%04d-%02d-%02d#,\"", e.date / 10000, e.date / 100 % 100,
                           e.date % 100);
        std::memcpy(o, p + 8, 9);
        o += 9;
        *o++ = '"';
        for (double v : {amount, price, shares, balance, lastPrice * balance}) {
            *o++ = ',';
            o = std::to_chars(o, o + 400, v, std::chars_format::fixed).ptr;
        }
        static constexpr char tail[] = ",\"\",\"\",\"\",\"P\"\r\n";
        std::memcpy(o, tail, sizeof tail - 1);
        o += sizeof tail - 1;
        used = size_t(o - buffer.data());
        if (amount != 0)
            flows.emplace_back(amount, (DateToDayNumber(e.date) - firstDay) / 365.25);
    }
    flows.emplace_back(-lastPrice * balance, flows.empty() ? 0 : flows.back().second);
    double rate = 0.05;
    for (int round = 0; round < 50; ++round) {
        double f = 0, df = 0;
        for (const auto& [a, t] : flows) {
            const double g = std::pow(1 + rate, t);
            f += a * g;
            df += a * t * g / (1 + rate);
        }
        if (df == 0)
            break;
        const double step = f / df;
        rate -= step;
        if (std::fabs(step) < 1e-9 || !(rate > -1))
            break;
    }
    used += size_t(std::snprintf(buffer.data() + used, 64, "\"IRR:\",%g\r\n", rate));
    std::fwrite(buffer.data(), 1, used, out);
    std::fclose(out);
}

// The generator's history of a million records: the listing to a report file
// and, side by side, the bare floor above on the same file.
void BM_GeneratedListingToReportFile(benchmark::State& state)
{
    const QString ledger = bench::GeneratedLedger(LedgerRecords);
    if (ledger.isEmpty()) {
        state.SkipWithError("the generator did not run (python3 missing?)");
        return;
    }
    RunListing(state, true, ledger);
}
BENCHMARK(BM_GeneratedListingToReportFile)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_GeneratedListingFloor(benchmark::State& state)
{
    const QString ledger = bench::GeneratedLedger(LedgerRecords);
    if (ledger.isEmpty()) {
        state.SkipWithError("the generator did not run (python3 missing?)");
        return;
    }
    QTemporaryDir dir;
    const std::string report = dir.filePath(QStringLiteral("floor.txt")).toStdString();
    for (auto _ : state)
        BareListing(ledger.toStdString(), report);
    state.counters["report_MB"] = double(QFileInfo(QString::fromStdString(report)).size()) / 1e6;
}
BENCHMARK(BM_GeneratedListingFloor)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_ListingToReportFile(benchmark::State& state)
{
    RunListing(state, true);
}
BENCHMARK(BM_ListingToReportFile)->Unit(benchmark::kMillisecond)->Iterations(3);

// The same pass with nothing presented: the share of the report file.
void BM_ListingPassOnly(benchmark::State& state)
{
    RunListing(state, false);
}
BENCHMARK(BM_ListingPassOnly)->Unit(benchmark::kMillisecond)->Iterations(3);

// A million deposits spread over forty years; with paidBack, the holding comes
// back to the investor at the end (otherwise no rate solves the flows).
void RunRateOfReturn(benchmark::State& state, bool paidBack)
{
    constexpr int Flows = 1000000;
    CashFlowTable flows(Flows + 2);
    const std::int32_t firstDay = DateToDayNumber(19800101);
    const std::int32_t endDay = firstDay + 14610;
    for (int i = 1; i <= Flows; ++i) {
        const auto when = static_cast<std::int32_t>(firstDay + (i * 14610LL) / (Flows + 1));
        flows[std::size_t(i)] = {paidBack ? 100.0 + (i % 7) : 100.0, when, 0.0f};
    }
    flows[Flows + 1] = {paidBack ? -100.0 * Flows * 3.2 : 0.0, endDay, 0.0f};
    float rate = 0;
    for (auto _ : state) {
        float guess = 0.05f;
        std::int32_t day = endDay;
        rate = ComputeIRR(flows, guess, day);
        benchmark::DoNotOptimize(rate);
    }
    state.counters["rate"] = rate;
}

void BM_RateOfReturnMillionFlows(benchmark::State& state)
{
    RunRateOfReturn(state, true);
}
BENCHMARK(BM_RateOfReturnMillionFlows)->Unit(benchmark::kMillisecond);

// The worst case: money only goes in, so all 25 rounds run before -2.
void BM_RateOfReturnMillionFlowsNoRoot(benchmark::State& state)
{
    RunRateOfReturn(state, false);
}
BENCHMARK(BM_RateOfReturnMillionFlowsNoRoot)->Unit(benchmark::kMillisecond);

}  // namespace
