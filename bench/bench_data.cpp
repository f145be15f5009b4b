// Investment file speed: appending transactions one by one, and building the
// date index of a large file.

#include "data/FileTable.h"
#include "data/InvestmentFile.h"

#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <random>
#include <unordered_map>

using namespace brisden;

namespace {

// 100,000 AddRecord calls on a new, empty file (a few records per date).
void BM_AddRecord100k(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("add.dat"));
    for (auto _ : state) {
        state.PauseTiming();
        QFile::remove(path);
        QFile(path).open(QIODevice::WriteOnly);
        FileTable files;
        InvestmentFile inv(files);
        inv.open(path);
        state.ResumeTiming();
        for (int i = 0; i < 100000; ++i) {
            inv.RecordBuffer = TransactionRecord();
            inv.RecordBuffer.TransDate =
                20000101 + (i / 3) % 28 + ((i / 84) % 12) * 100 + (i / 1008) * 10000;
            inv.RecordBuffer.setDesc(QStringLiteral("Buy"));
            inv.RecordBuffer.Amount = 100 + i;
            inv.RecordBuffer.SharePrice = 10;
            inv.RecordBuffer.Shares = 10 + i / 10.0;
            benchmark::DoNotOptimize(inv.AddRecord());
        }
        state.PauseTiming();
        inv.close();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_AddRecord100k)->Unit(benchmark::kMillisecond)->Iterations(3);

// A file of a million transactions: in date order (how ledgers grow), with
// one in a hundred entered late (back-dated), or in random order.
QString WriteBigFile(const QString& path, int outOfOrderEvery)
{
    constexpr int Records = 1000000;
    QByteArray bytes(RecordLength, '\0');
    const std::int16_t version = VersionMajor;
    const std::int32_t none = -1;
    std::memcpy(bytes.data(), &version, 2);
    std::memcpy(bytes.data() + 2, &none, 4);
    bytes.reserve(qsizetype(Records + 1) * RecordLength);
    std::mt19937 random(42);
    std::unordered_map<std::int32_t, std::int16_t> nextSeq;
    TransactionRecord r;
    r.Version = VersionMajor;
    r.setDesc(QStringLiteral("Buy"));
    for (int i = 0; i < Records; ++i) {
        std::int32_t day = i / 2;
        if (outOfOrderEvery > 0 && i % outOfOrderEvery == 0)
            day = std::int32_t(random() % 500000);
        else if (outOfOrderEvery < 0)
            day = std::int32_t(random() % 500000);
        r.TransDate = 15830101 + (day / 336) * 10000 + ((day / 28) % 12) * 100 + day % 28;
        r.Seq = nextSeq[r.TransDate]++;  // as AddRecord numbers them
        r.Amount = i;
        const RecordBytes encoded = EncodeRecord(r);
        bytes.append(encoded.data(), RecordLength);
    }
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(bytes);
    return path;
}

void BuildIndex(benchmark::State& state, int outOfOrderEvery)
{
    QTemporaryDir dir;
    const QString path = WriteBigFile(dir.filePath(QStringLiteral("big.dat")), outOfOrderEvery);
    FileTable files;
    InvestmentFile inv(files);
    inv.open(path);
    for (auto _ : state) {
        inv.BuildRecordIndex();
        benchmark::DoNotOptimize(inv.RecordIndex.data());
    }
    state.counters["entries"] = double(inv.indexedCount());
}

void BM_BuildRecordIndex1M_InOrder(benchmark::State& state)
{
    BuildIndex(state, 0);
}
void BM_BuildRecordIndex1M_OneInHundredLate(benchmark::State& state)
{
    BuildIndex(state, 100);
}
void BM_BuildRecordIndex1M_Random(benchmark::State& state)
{
    BuildIndex(state, -1);
}
BENCHMARK(BM_BuildRecordIndex1M_InOrder)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BuildRecordIndex1M_OneInHundredLate)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_BuildRecordIndex1M_Random)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
