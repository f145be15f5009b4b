// Importing 100,000 lines into an investment file that already holds 100,000
// records, and the line parser on its own.

#include "data/Dates.h"
#include "data/FileTable.h"
#include "data/InvestmentFile.h"
#include "import/ImportEngine.h"
#include "import/ImportRules.h"
#include "shell/SessionLog.h"

#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include "GeneratorFiles.h"

using namespace brisden;

namespace {

constexpr int Records = 100000;
constexpr int Lines = 100000;

Calendar UsCalendar()
{
    Calendar c;
    c.locale = QLocale(QLocale::English, QLocale::UnitedStates);
    c.DateSeparator = QStringLiteral("/");
    return c;
}

QByteArray LedgerBytes()
{
    QByteArray bytes(RecordLength, '\0');
    const std::int16_t version = VersionMajor;
    const std::int32_t none = -1;
    std::memcpy(bytes.data(), &version, 2);
    std::memcpy(bytes.data() + 2, &none, 4);
    bytes.reserve(qsizetype(Records + 1) * RecordLength);
    for (int i = 0; i < Records; ++i) {
        TransactionRecord r;
        r.Version = VersionMajor;
        const int day = i / 3;  // three records a day
        r.TransDate = DayNumberToDate(DateToDayNumber(19900101) + day);
        r.Seq = std::int16_t(i % 3);
        r.setDesc(QStringLiteral("Old"));
        r.Amount = 100 + i % 50;
        r.SharePrice = 10 + (i % 7) * 0.25;
        const RecordBytes encoded = EncodeRecord(r);
        bytes.append(encoded.data(), RecordLength);
    }
    return bytes;
}

// A mix of the forms a broker export holds: quoted and plain fields, dates
// with and without delimiters, sales and purchases.
QByteArray SourceBytes()
{
    QByteArray bytes;
    bytes.reserve(Lines * 48);
    for (int i = 0; i < Lines; ++i) {
        const int ymd = DayNumberToDate(DateToDayNumber(20000101) + i / 4);
        const int y = ymd / 10000, m = (ymd / 100) % 100, d = ymd % 100;
        QByteArray date = (i % 2) ? QByteArray::number(m) + '/' + QByteArray::number(d) + '/' +
                                        QByteArray::number(y)
                                  : QByteArray::number(m * 1000000 + d * 10000 + y);
        switch (i % 4) {
            case 0:
                bytes += date + ",\"Buy, IRA\",250.00,12.5,\r\n";
                break;
            case 1:
                bytes += date + ",Reinvest,0,13.25,-4.125\r\n";
                break;
            case 2:
                bytes += "\"" + date + "\",\"\", \"-120.5\",\"12.05\",0\r\n";
                break;
            default:
                bytes += date + ",Price chk,0,12.75,0,extra,1\n";
                break;
        }
    }
    return bytes;
}

void WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(bytes);
}

// One import of source into the ledger file; the number of records appended.
std::int32_t ImportOnce(const QString& ledger, const QString& source, const ImportSchema& schema,
                        const Calendar& calendar)
{
    FileTable files;
    SessionLog log(files, QString());
    InvestmentFile file(files);
    file.open(ledger);
    OpenImportSource(files, source);
    ImportEngine engine(file, calendar, log);
    engine.ImportFromSource(schema, source);
    engine.LogFinished();
    file.close();
    return engine.appendedCount;
}

void BM_ImportIntoLargeLedger(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString ledger = dir.filePath(QStringLiteral("big.dat"));
    const QString source = dir.filePath(QStringLiteral("import.csv"));
    const QByteArray ledgerBytes = LedgerBytes();
    WriteFile(source, SourceBytes());
    const Calendar calendar = UsCalendar();
    const ImportSchema schema =
        ImportSchema::FromSaved(QStringLiteral("Date Description Amount Price Shares MDY"));

    std::int32_t appended = 0;
    for (auto _ : state) {
        state.PauseTiming();
        WriteFile(ledger, ledgerBytes);
        state.ResumeTiming();

        appended = ImportOnce(ledger, source, schema, calendar);
    }
    state.counters["appended"] = double(appended);
    state.counters["lines/s"] =
        benchmark::Counter(double(Lines) * double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ImportIntoLargeLedger)->Unit(benchmark::kMillisecond)->Iterations(5);

// The generator's history as a broker's CSV (100,000 or 1,000,000 lines)
// imported into an empty file.
void BM_ImportGeneratedHistory(benchmark::State& state)
{
    QString source;
    if (bench::GeneratedLedger(int(state.range(0)), &source).isEmpty()) {
        state.SkipWithError("the generator did not run (python3 missing?)");
        return;
    }
    QTemporaryDir dir;
    const QString ledger = dir.filePath(QStringLiteral("imported.dat"));
    const Calendar calendar = UsCalendar();
    const ImportSchema schema =
        ImportSchema::FromSaved(QStringLiteral("Date Description Amount Price Shares MDY"));
    std::int32_t appended = 0;
    for (auto _ : state) {
        state.PauseTiming();
        QFile::remove(ledger);
        state.ResumeTiming();
        appended = ImportOnce(ledger, source, schema, calendar);
    }
    state.counters["appended"] = double(appended);
    state.counters["lines/s"] = benchmark::Counter(
        double(state.range(0)) * double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ImportGeneratedHistory)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2);

void BM_ParseLines(benchmark::State& state)
{
    const Calendar calendar = UsCalendar();
    const ImportLineParser parser(
        ImportSchema::FromSaved(QStringLiteral("Date Description Amount Price Shares MDY")),
        calendar);
    const QList<QByteArray> lines = SourceBytes().split('\n');
    QStringList texts;
    for (int i = 0; i < 1000; ++i)
        texts << QString::fromLatin1(lines.at(i)).remove(u'\r');
    std::int32_t n = 0;
    for (auto _ : state) {
        for (const QString& line : texts)
            benchmark::DoNotOptimize(parser.parse(line, ++n));
    }
    state.SetItemsProcessed(state.iterations() * texts.size());
}
BENCHMARK(BM_ParseLines)->Unit(benchmark::kMicrosecond);

}  // namespace
