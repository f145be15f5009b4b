// The cost-basis worksheet of a 100,000-record ledger (about half purchases,
// half sales, one record a day, a few reinvestments, fees and share splits),
// written to a report file in memory, for each of the five methods.

#include "basis/BasisTextFile.h"
#include "basis/BasisWorksheet.h"
#include "basis/FastLotBook.h"
#include "data/Dates.h"
#include "data/FileTable.h"
#include "data/InvestmentFile.h"
#include "report/ReportFile.h"
#include "report/ReportState.h"
#include "shell/SessionLog.h"
#include "ui/Interaction.h"

#include <QByteArray>
#include <QDate>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cmath>
#include <cstring>
#include <random>

using namespace brisden;

namespace {

class QuietMessages final : public ui::IMessageBox {
public:
    void show(const QString&, ui::Icon) override {}
    bool askYesNo(const QString&, bool defaultNo) override { return !defaultNo; }
    void beep() override {}
};

double Round(double x, int decimals)
{
    const double m = std::pow(10.0, decimals);
    return std::round(x * m) / m;
}

// A ledger of `count` records, one a day from 1750 on. Purchases and
// reinvestments at a drifting price with four decimals; sales take a part of
// the holding, now and then all of it; a split every 25,000 records.
QString WriteBenchLedger(const QString& path, int count)
{
    std::mt19937 rng(12345);
    auto uniform = [&rng](double a, double b) {
        return std::uniform_real_distribution<double>(a, b)(rng);
    };
    QByteArray bytes(RecordLength, '\0');
    const std::int16_t version = VersionMajor;
    const std::int32_t none = -1;
    std::memcpy(bytes.data(), &version, 2);
    std::memcpy(bytes.data() + 2, &none, 4);
    QDate date(1750, 1, 1);
    double price = 20;
    double balance = 0;
    for (int k = 0; k < count; ++k) {
        TransactionRecord r;
        r.Version = VersionMajor;
        r.TransDate = date.year() * 10000 + date.month() * 100 + date.day();
        date = date.addDays(1);
        // A drifting price that keeps returning towards 30.
        price = std::max(1.0, price * (1 + uniform(-0.02, 0.02) + 0.002 * std::log(30 / price)));
        const double p = Round(price, 4);
        const double u = uniform(0, 1);
        if (k % 25000 == 24999) {
            r.setDesc(QStringLiteral("2-1 SPLIT"));
            r.Shares = Round(balance * 2, 3);
            balance = r.Shares;
            price /= 2;  // the price then drifts back
        } else if (u < 0.44) {
            r.setDesc(QStringLiteral("BUY"));
            r.Amount = Round(uniform(100, 3000), 2);
            r.SharePrice = p;
            balance += Round(r.Amount / p, 3);
        } else if (u < 0.50) {
            r.setDesc(QStringLiteral("DIV REINV"));
            r.SharePrice = p;
            r.Shares = Round(uniform(0.5, 20), 3);
            balance += r.Shares;
        } else if (u < 0.51) {
            r.setDesc(QStringLiteral("FEE SHRS"));
            r.SharePrice = p;
            r.Shares = -Round(uniform(0.01, 1), 3);
            balance += r.Shares;
        } else {
            r.setDesc(QStringLiteral("SELL"));
            const double part = uniform(0, 1) < 0.05 ? 0.9 : uniform(0.02, 0.3);
            r.Shares = Round(std::max(0.0, balance) * part, 3);
            r.SharePrice = p;
            r.Amount = -Round(r.Shares * p, 2);
            if (r.Shares > 0.5)
                balance -= r.Shares;
        }
        const RecordBytes encoded = EncodeRecord(r);
        bytes.append(encoded.data(), RecordLength);
    }
    QFile out(path);
    if (out.open(QIODevice::WriteOnly))
        out.write(bytes);
    return path;
}

const QString& BenchLedger()
{
    static QTemporaryDir dir;
    static const QString path = WriteBenchLedger(dir.filePath(QStringLiteral("bench.dat")), 100000);
    return path;
}

void BM_BasisWorksheet(benchmark::State& state)
{
    const int method = int(state.range(0));
    const QString& path = BenchLedger();
    std::size_t reportBytes = 0;
    int sorts = 0;
    int literalSorts = 0;
    int entries = 0;
    bool oversold = false;
    for (auto _ : state) {
        FileTable files;
        InvestmentFile file(files);
        file.open(path);
        file.CurrentFile = path;
        Calendar calendar;
        calendar.locale = QLocale(QLocale::English, QLocale::UnitedStates);
        calendar.SetToday(QDate(2030, 6, 30));
        SessionLog log(files, QString());
        QuietMessages messages;
        ui::NullCancelPoll cancel;
        ReportState report;
        report.ReportDestination = DestinationFile;
        ReportFileWriter writer;
        BasisTextFileOutput output(writer);
        auto book = std::make_unique<FastLotBook>();
        FastLotBook* counts = book.get();
        BasisWorksheet worksheet(BasisContext{file, report, calendar, log, output, messages, cancel,
                                              QStringLiteral("Brisden 6.00")},
                                 std::move(book));
        const BasisResult result = worksheet.Run(method);
        file.close();
        reportBytes = std::size_t(writer.collected().size());
        if (qEnvironmentVariableIsSet("BASIS_BENCH_REPORT")) {
            QFile dump(qEnvironmentVariable("BASIS_BENCH_REPORT") + QString::number(method));
            if (dump.open(QIODevice::WriteOnly))
                dump.write(writer.collected());
        }
        sorts = counts->sorts();
        literalSorts = counts->literalSorts();
        state.counters["tieGroups"] = double(counts->followedGroups()) / std::max(1, sorts);
        entries = result.printedEntries;
        oversold = result.oversold;
        benchmark::DoNotOptimize(reportBytes);
    }
    state.counters["entries"] = entries;
    state.counters["reportKB"] = double(reportBytes) / 1024;
    state.counters["sorts"] = sorts;
    state.counters["gapSorts"] = literalSorts;
    state.counters["oversold"] = oversold ? 1 : 0;
}

}  // namespace

BENCHMARK(BM_BasisWorksheet)->DenseRange(1, 5)->Unit(benchmark::kMillisecond)->Iterations(1);
