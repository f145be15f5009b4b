// The cost-basis worksheet for each of the five methods:
// - BM_BasisWorksheet: a synthetic 100,000-record ledger (about half
//   purchases, half sales, one record a day, prices with four decimals, a few
//   reinvestments, fees and share splits), the report in memory;
// - BM_BasisGenerated: histories of the performance generator
//   (bench/gen_ledger.py: whole-cent prices, several records a day, two
//   splits, records out of date order), 100,000 and 1,000,000 records, made
//   at start in a temporary folder; the report goes to a file as with
//   brisden-cli basis. Each run is a child process, so that its peak memory
//   (maximum resident set) is its own. BASIS_BENCH_SEEDS (e.g. "1,2,3,4,5")
//   and BASIS_BENCH_SIZES (e.g. "100000") choose the histories.

#include "GeneratedLedger.h"
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
#include <QMap>
#include <QSysInfo>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cmath>
#include <cstring>
#include <random>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace brisden;

namespace {

class QuietMessages final : public ui::IMessageBox {
public:
    void show(const QString&, ui::Icon) override {}
    bool askYesNo(const QString&, bool defaultNo) override { return !defaultNo; }
    bool askOkCancel(const QString&) override { return true; }
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

namespace {

// What one worksheet run on a generated history measured, sent from the child.
struct ChildRun {
    bool ok = false;
    double seconds = 0;
    int entries = 0;
    int sorts = 0;
    int literalSorts = 0;
    long long followedGroups = 0;
    long long reportBytes = 0;
};

QTemporaryDir& GeneratedDir()
{
    static QTemporaryDir dir;
    return dir;
}

// The history of that size and seed, written on first use by a child
// process (so that this process, whose memory the runs inherit, stays small).
QString GeneratedLedger(int records, int seed)
{
    static QMap<QPair<int, int>, QString> paths;
    const auto key = qMakePair(records, seed);
    if (!paths.contains(key)) {
        const QString path =
            GeneratedDir().filePath(QStringLiteral("gen_%1_%2.dat").arg(records).arg(seed));
        const pid_t child = fork();
        if (child == 0) {
            test::GeneratorOptions options;
            options.records = records;
            options.seed = std::uint32_t(seed);
            _exit(test::WriteGeneratedLedger(path, options).isEmpty() ? 1 : 0);
        }
        int status = 0;
        const bool written = child > 0 && waitpid(child, &status, 0) == child &&
                             WIFEXITED(status) && WEXITSTATUS(status) == 0;
        paths[key] = written ? path : QString();
    }
    return paths[key];
}

// The worksheet as brisden-cli basis makes it (report file in slot 3), timed
// from opening the investment file to closing the report.
ChildRun RunWorksheetToFile(const QString& ledger, const QString& report, int method)
{
    ChildRun run;
    const auto start = std::chrono::steady_clock::now();
    FileTable files;
    InvestmentFile file(files);
    if (!file.open(ledger))
        return run;
    file.CurrentFile = ledger;
    files.OpenFile(ShortSlot, report, QStringLiteral("O"), QStringLiteral("W"), 0);
    if (!files.isOpen(ShortSlot))
        return run;
    Calendar calendar;
    calendar.locale = QLocale(QLocale::English, QLocale::UnitedStates);
    calendar.SetToday(QDate(2025, 6, 1));
    SessionLog log(files, QString());
    QuietMessages messages;
    ui::NullCancelPoll cancel;
    ReportState reportState;
    reportState.ReportDestination = DestinationFile;
    ReportFileWriter writer(files, ShortSlot);
    BasisTextFileOutput output(writer);
    auto book = std::make_unique<FastLotBook>();
    FastLotBook* counts = book.get();
    BasisWorksheet worksheet(BasisContext{file, reportState, calendar, log, output, messages,
                                          cancel, QStringLiteral("Brisden 6.00")},
                             std::move(book));
    const BasisResult result = worksheet.Run(method);
    file.close();
    run.sorts = counts->sorts();
    run.literalSorts = counts->literalSorts();
    run.followedGroups = counts->followedGroups();
    files.CloseFile(ShortSlot);
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run.entries = result.printedEntries;
    run.reportBytes = QFile(report).size();
    run.ok = !result.cancelled && !writer.failed();
    return run;
}

void BM_BasisGenerated(benchmark::State& state)
{
    const int method = int(state.range(0));
    const int records = int(state.range(1));
    const int seed = int(state.range(2));
    const QString ledger = GeneratedLedger(records, seed);
    const QString report = GeneratedDir().filePath(QStringLiteral("report.csv"));
    if (ledger.isEmpty()) {
        state.SkipWithError("the history could not be written");
        return;
    }
    for (auto _ : state) {
        int channel[2];
        if (pipe(channel) != 0) {
            state.SkipWithError("pipe failed");
            return;
        }
        const pid_t child = fork();
        if (child == 0) {
            close(channel[0]);
            const ChildRun run = RunWorksheetToFile(ledger, report, method);
            const ssize_t written = write(channel[1], &run, sizeof run);
            _exit(written == ssize_t(sizeof run) ? 0 : 1);
        }
        close(channel[1]);
        ChildRun run;
        const ssize_t got = read(channel[0], &run, sizeof run);
        close(channel[0]);
        int status = 0;
        rusage usage{};
        wait4(child, &status, 0, &usage);
        if (child < 0 || got != ssize_t(sizeof run) || !run.ok) {
            state.SkipWithError("the worksheet run failed");
            return;
        }
        state.SetIterationTime(run.seconds);
        state.counters["records"] = records;
        state.counters["seed"] = seed;
        state.counters["maxRssMB"] = double(usage.ru_maxrss) / 1024;
        // The child's processor time: the run's own, whatever else the machine does.
        state.counters["cpuMs"] =
            1000.0 * (double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                      1e-6 * double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec));
        state.counters["entries"] = run.entries;
        state.counters["reportMB"] = double(run.reportBytes) / (1024 * 1024);
        state.counters["sorts"] = run.sorts;
        state.counters["gapSorts"] = run.literalSorts;
        state.counters["tieGroups"] = double(run.followedGroups);
    }
}

std::vector<long> NumbersFromEnvironment(const char* name, std::vector<long> fallback)
{
    const QString text = qEnvironmentVariable(name);
    std::vector<long> numbers;
    for (const QString& part : text.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        bool ok = false;
        const long value = part.trimmed().toLong(&ok);
        if (ok && value > 0)
            numbers.push_back(value);
    }
    return numbers.empty() ? fallback : numbers;
}

// The machine, in the benchmark's heading beside the CPU figures it prints.
std::string MachineText()
{
    QFile cpuInfo(QStringLiteral("/proc/cpuinfo"));
    QString model;
    if (cpuInfo.open(QIODevice::ReadOnly)) {
        for (const QByteArray& line : cpuInfo.readAll().split('\n'))
            if (line.startsWith("model name")) {
                model = QString::fromLatin1(line.mid(line.indexOf(':') + 1)).trimmed();
                break;
            }
    }
    QFile memInfo(QStringLiteral("/proc/meminfo"));
    QString memory;
    if (memInfo.open(QIODevice::ReadOnly))
        memory = QString::fromLatin1(memInfo.readLine()).simplified();
    const QString text =
        model + QStringLiteral(", %1 cores, ").arg(std::thread::hardware_concurrency()) + memory +
        QStringLiteral(", ") + QSysInfo::prettyProductName() + QStringLiteral(", ") +
        QSysInfo::kernelType() + QLatin1Char(' ') + QSysInfo::kernelVersion();
    return text.toStdString();
}

const bool GeneratedRegistered = [] {
    benchmark::AddCustomContext("machine", MachineText());
    const std::vector<long> sizes = NumbersFromEnvironment("BASIS_BENCH_SIZES", {100000, 1000000});
    const std::vector<long> seeds = NumbersFromEnvironment("BASIS_BENCH_SEEDS", {1});
    auto* bench = benchmark::RegisterBenchmark("BM_BasisGenerated", BM_BasisGenerated);
    bench->ArgNames({"method", "records", "seed"});
    for (const long size : sizes)
        for (const long seed : seeds)
            for (long method = 1; method <= 5; ++method)
                bench->Args({method, size, seed});
    bench->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);
    return true;
}();

}  // namespace
