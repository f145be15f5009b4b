// Opening a large ledger in the main window until its listing shows in the
// grid, and the refresh (F5) with a typed price; with the process's memory.
// Runs on Qt's offscreen platform.

#include "gui/GuiTestSupport.h"

#include "data/Dates.h"

#include <QFile>
#include <benchmark/benchmark.h>

#include "GeneratorFiles.h"

using namespace brisden;
using namespace brisden::test;

namespace {

QString WriteLargeLedger(const QString& path, int records)
{
    std::vector<Tx> txs;
    txs.reserve(size_t(records));
    const std::int32_t first = DateToDayNumber(19500101);
    for (int i = 0; i < records; ++i) {
        // Several records a day: purchases, price updates and small sales.
        const std::int32_t date = DayNumberToDate(first + i / 3);
        const double price = 10 + (i % 97) * 0.25;
        if (i % 3 == 0)
            txs.push_back({date, "buy", 100, price, 0});
        else if (i % 3 == 1)
            txs.push_back({date, "price", 0, price, 0});
        else
            txs.push_back({date, "sell", -price, price, 1});
    }
    return WriteLedger(path, txs);
}

double ProcessMemoryMb(const char* key)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(key))
            return line.mid(int(qstrlen(key))).trimmed().split(' ').first().toDouble() / 1024;
    }
    return -1;
}

// Opens the ledger dat in the main window until its listing is in the grid,
// once per iteration.
void OpenRepeatedly(benchmark::State& state, const QString& dat, StartedProgram& p)
{
    if (dat.isEmpty() || !p.startWithFile(dat, QStringLiteral("Large"),
                                          QStringLiteral("AlwaysCopyFile=False\r\n"))) {
        state.SkipWithError("the ledger or the program did not start");
        return;
    }
    p.window->show();
    for (auto _ : state) {
        if (!OpenInvestment(*p.window, dat)) {
            state.SkipWithError("the file did not open");
            return;
        }
        QCoreApplication::processEvents();
    }
    state.counters["rows"] = double(p.window->ledger().listedRows());
    state.counters["rss_MB"] = ProcessMemoryMb("VmRSS:");
    state.counters["peak_MB"] = ProcessMemoryMb("VmHWM:");
}

void BM_OpenLargeLedger(benchmark::State& state)
{
    StartedProgram p;
    OpenRepeatedly(
        state, WriteLargeLedger(p.dir.path() + QStringLiteral("/Large.dat"), int(state.range(0))),
        p);
}

// The generator's realistic history (late entries, splits, sales).
void BM_OpenGeneratedLedger(benchmark::State& state)
{
    StartedProgram p;
    OpenRepeatedly(state, bench::GeneratedLedger(int(state.range(0))), p);
}
BENCHMARK(BM_OpenGeneratedLedger)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

// The main window showing a large ledger; false (and the benchmark skipped)
// when it did not open.
bool ShowLargeLedger(StartedProgram& p, int records, benchmark::State& state)
{
    const QString dat = WriteLargeLedger(p.dir.path() + QStringLiteral("/Large.dat"), records);
    if (!p.startWithFile(dat, QStringLiteral("Large"),
                         QStringLiteral("AlwaysCopyFile=False\r\n")) ||
        !OpenInvestment(*p.window, dat)) {
        state.SkipWithError("the file did not open");
        return false;
    }
    p.window->show();
    return true;
}

void BM_RefreshWithTypedPrice(benchmark::State& state)
{
    StartedProgram p;
    if (!ShowLargeLedger(p, int(state.range(0)), state))
        return;
    for (auto _ : state) {
        p.window->sharePriceBox()->setText(QStringLiteral("12"));
        p.window->action(QStringLiteral("mnuRefreshItem"))->trigger();
        QCoreApplication::processEvents();
    }
    state.counters["rows"] = double(p.window->ledger().listedRows());
}

// "Make same as selected row" followed by "Reset to default": every row of
// the grid takes a new height and then the old one again.
void BM_SetAndResetRowHeight(benchmark::State& state)
{
    StartedProgram p;
    if (!ShowLargeLedger(p, int(state.range(0)), state))
        return;
    grid::LedgerGrid& g = *p.window->grid();
    const int normal = g.rowHeight(1);
    for (auto _ : state) {
        g.setRowHeight(1, normal + 20);
        g.setCurrentRow(1);
        p.window->action(QStringLiteral("mnuRowHeightSet"))->trigger();
        QCoreApplication::processEvents();
        if (g.rowHeight(g.ledgerModel()->rowCount() - 1) != normal + 20) {
            state.SkipWithError("the rows did not take the height");
            return;
        }
        p.window->action(QStringLiteral("mnuRowHeightReset"))->trigger();
        QCoreApplication::processEvents();
    }
    state.counters["rows"] = double(g.ledgerModel()->rowCount());
}

BENCHMARK(BM_OpenLargeLedger)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK(BM_RefreshWithTypedPrice)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_SetAndResetRowHeight)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
