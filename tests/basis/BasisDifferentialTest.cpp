// The worksheet's lot list against the list walked as written, on random and
// generated ledgers: the report files must be identical byte for byte. Also
// the written list's gap sort, and the generator against its script.

#include "BasisTestUtil.h"
#include "GeneratedLedger.h"
#include "basis/FastLotBook.h"
#include "basis/TieGroupSort.h"
#include "support/TestSupport.h"

#include <QCryptographicHash>
#include <QDate>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <algorithm>
#include <cmath>
#include <random>

namespace brisden::test {
namespace {

struct LedgerStyle {
    bool fewPrices = false;  // prices from a handful of values: many equal prices
    bool sameDays = true;    // several records on one day
    bool oversell = false;   // the last record sells more than is held
    int records = 120;
};

double Round(double x, int decimals)
{
    const double m = std::pow(10.0, decimals);
    return std::round(x * m) / m;
}

std::vector<Tx> RandomLedger(std::mt19937& rng, const LedgerStyle& style)
{
    static const char* const buys[] = {"BUY", "Purchase", "CONTRIB", "IRA BUY"};
    static const char* const sells[] = {"SELL", "Sold", "REDEEM", "EXCH OUT"};
    auto uniform = [&rng](double a, double b) {
        return std::uniform_real_distribution<double>(a, b)(rng);
    };
    auto chance = [&](double p) { return uniform(0, 1) < p; };
    auto pick = [&rng](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };

    std::vector<Tx> ledger;
    QDate date(2001 + pick(3), 1 + pick(12), 1 + pick(28));
    double price = uniform(8, 40);
    double balance = 0;
    for (int k = 0; k < style.records; ++k) {
        const int step = style.sameDays ? pick(25) : 1 + pick(20);
        date = date.addDays(step);
        if (chance(0.03) && QDate::isLeapYear(date.year()) && date.month() <= 2)
            date = QDate(date.year(), 2, 29);
        const std::int32_t ymd = date.year() * 10000 + date.month() * 100 + date.day();
        price = std::max(0.5, price * (1 + uniform(-0.06, 0.065)));
        const double p = style.fewPrices ? 10 + 0.5 * pick(4) : Round(price, 4 + pick(3));
        const double r = uniform(0, 1);
        if (r < 0.34) {  // purchase
            const double amount = Round(uniform(20, 2500), 2);
            ledger.push_back({ymd, buys[pick(4)], amount, p, Round(amount / p, 3)});
            balance += Round(amount / p, 3);
        } else if (r < 0.38) {  // service fee without a price
            ledger.push_back({ymd, "ACCT FEE", Round(uniform(0.2, 40), 2), 0, 0});
        } else if (r < 0.50) {  // reinvestment
            const double shares = Round(uniform(0.2, 30), 3 + pick(2));
            ledger.push_back({ymd, "DIV REINV", 0, p, shares});
            balance += Round(shares, 3);
        } else if (r < 0.55) {  // fee charged against shares
            const double shares = -Round(uniform(0.01, 2), 3);
            ledger.push_back({ymd, "FEE SHRS", 0, chance(0.5) ? p : 0, shares});
            balance += shares;
        } else if (r < 0.86) {  // sale
            double shares;
            const double u = uniform(0, 1);
            if (u < 0.02 && style.oversell && k + 1 == style.records)
                shares = balance + uniform(1, 20);  // more than is held
            else if (u < 0.06)
                shares = Round(uniform(0.1, 0.5), 3);  // not a sale
            else if (u < 0.12)
                shares = Round(balance * 0.995, 3);  // nearly everything
            else
                shares = Round(std::max(0.0, balance) * uniform(0.05, 0.8), 3);
            if (shares <= 0)
                continue;
            const double amount = -Round(shares * p * uniform(0.97, 1.03), 2);
            ledger.push_back({ymd, sells[pick(4)], amount, p, shares});
            if (u >= 0.06 || shares > 0.5)
                balance -= shares;
        } else if (r < 0.88) {  // share split
            const double factor = 1.5 + pick(3) * 0.5;
            const double newBalance = Round(balance * factor, 3);
            ledger.push_back({ymd, pick(2) ? "2-1 SPLIT" : "Split", 0, 0, newBalance});
            balance = newBalance;
        } else if (r < 0.93) {  // cash distribution
            ledger.push_back({ymd, "INCOME", -Round(uniform(1, 90), 2), 0, 0});
        } else {  // price update
            ledger.push_back({ymd, "UPDATE", 0, p, 0});
        }
    }
    return ledger;
}

struct Comparison {
    int sorts = 0;
    int literalSorts = 0;
    std::int64_t followedGroups = 0;
};

// Runs one method with the worksheet's own list and with the list walked as
// written and expects equal reports; adds the own list's counters to `counts`.
WorksheetRun Compare(const QString& path, const WorksheetOptions& options, Comparison& counts)
{
    const WorksheetRun quick = RunWorksheet(
        path, options, std::make_unique<FastLotBook>(), [&counts](const LotBook& used) {
            const auto& book = static_cast<const FastLotBook&>(used);
            counts.sorts += book.sorts();
            counts.literalSorts += book.literalSorts();
            counts.followedGroups += book.followedGroups();
        });
    WorksheetOptions literal = options;
    literal.literal = true;
    const WorksheetRun reference = RunWorksheet(path, literal);
    EXPECT_EQ(std::string(reference.text.constData()), std::string(quick.text.constData()))
        << "method " << options.method;
    EXPECT_EQ(reference.log, quick.log) << "method " << options.method;
    EXPECT_EQ(reference.result.oversold, quick.result.oversold);
    return reference;
}

// Every method on the ledger, each with a random "today" and now and then a
// date window.
void CompareOnLedger(const QString& path, std::mt19937& rng, const std::vector<Tx>& ledger,
                     Comparison& counts)
{
    const std::int32_t last = ledger.empty() ? 20050101 : ledger.back().date;
    const QDate lastDate(last / 10000, (last % 10000) / 100, last % 100);
    for (int method = 1; method <= 5; ++method) {
        WorksheetOptions options;
        options.method = method;
        const QDate today = lastDate.addDays(std::uniform_int_distribution<int>(-200, 900)(rng));
        options.todayYmd = today.year() * 10000 + today.month() * 100 + today.day();
        if (std::uniform_int_distribution<int>(0, 3)(rng) == 0 && !ledger.empty()) {
            const std::int32_t from = ledger[ledger.size() / 3].date;
            const std::int32_t to = ledger[2 * ledger.size() / 3].date;
            options.fromMdy = (from % 10000) * 10000 + from / 10000;
            options.toMdy = (to % 10000) * 10000 + to / 10000;
        }
        Compare(path, options, counts);
    }
}

std::uint32_t Seed(std::uint32_t fallback)
{
    return qEnvironmentVariableIsSet("BASIS_SEED") ? qEnvironmentVariable("BASIS_SEED").toUInt()
                                                   : fallback;
}

// BASIS_SWEEP=N and BASIS_SEED=S run more or other random ledgers.
TEST(BasisLotListAgainstWalk, RandomLedgersGiveIdenticalWorksheets)
{
    QTemporaryDir dir;
    std::mt19937 rng(Seed(20240229u));
    const bool sweep = qEnvironmentVariableIsSet("BASIS_SWEEP");
    const int ledgers = sweep ? qEnvironmentVariable("BASIS_SWEEP").toInt() : 120;
    Comparison counts;
    for (int k = 0; k < ledgers; ++k) {
        LedgerStyle style;
        style.fewPrices = k % 3 == 0;
        style.sameDays = k % 2 == 0;
        style.records = 20 + (k % 120) * 2;
        style.oversell = k % 10 == 9;
        const std::vector<Tx> ledger = RandomLedger(rng, style);
        CompareOnLedger(WriteLedger(dir.filePath(QStringLiteral("r%1.dat").arg(k)), ledger), rng,
                        ledger, counts);
        if (HasFailure())
            FAIL() << "ledger " << k;
    }

    // One record a day and prices with many decimals: no two lots share a
    // key, so most sorts only record the keys; equal prices force the gap
    // sort now and then.
    std::mt19937 longRng(Seed(7u));
    Comparison sorted;
    for (int k = 0; k < (sweep ? 12 : 4); ++k) {
        LedgerStyle style;
        style.sameDays = false;
        style.fewPrices = sweep && k % 3 == 1;
        style.records = sweep ? 4000 : 1500;
        const std::vector<Tx> ledger = RandomLedger(longRng, style);
        CompareOnLedger(WriteLedger(dir.filePath(QStringLiteral("l%1.dat").arg(k)), ledger),
                        longRng, ledger, sorted);
    }
    EXPECT_GT(sorted.sorts, 0);
    EXPECT_LT(sorted.literalSorts, sorted.sorts / 4);

    // Few prices and several records a day: lots of one key go through the
    // gap sort and are followed as groups.
    std::mt19937 tieRng(99);
    LedgerStyle ties;
    ties.fewPrices = true;
    ties.records = 600;
    const std::vector<Tx> ledger = RandomLedger(tieRng, ties);
    Comparison tied;
    CompareOnLedger(WriteLedger(dir.filePath(QStringLiteral("ties.dat")), ledger), tieRng, ledger,
                    tied);
    EXPECT_GT(tied.literalSorts, 0);
    EXPECT_GT(tied.followedGroups, 0);
}

// Histories of the generator: whole-cent prices (many lots of one price),
// several records a day (many lots of one day), two 2-for-1 splits, records
// stored out of date order, years of history so that lots age. Every method,
// each with the worksheet's own list and with the list walked as written.
TEST(BasisLotListAgainstWalk, GeneratedHistoriesGiveIdenticalWorksheets)
{
    struct Case {
        int records;
        int perDay;  // 0: the generator's own density
        std::int32_t todayYmd;
    };
    // The histories start on 1970-01-02; "today" after the last record, or
    // before it (then the closing section sees lots as younger than the sales did).
    const Case cases[] = {
        {4000, 0, 19830601},   // a record a day, to 1980-12
        {6000, 3, 19760101},   // three a day, to 1975-06
        {5000, 10, 19710601},  // ten a day, to 1971-05
        {6000, 10, 19710301},  // to 1971-08, "today" before the last sales
    };
    QTemporaryDir dir;
    Comparison total;
    for (std::uint32_t seed = 1; seed <= 3; ++seed) {
        for (const Case& c : cases) {
            const QString path = WriteGeneratedLedger(
                dir.filePath(
                    QStringLiteral("g%1_%2_%3.dat").arg(seed).arg(c.records).arg(c.perDay)),
                {c.records, seed, c.perDay});
            ASSERT_FALSE(path.isEmpty());
            for (int method = 1; method <= 5; ++method) {
                WorksheetOptions options;
                options.method = method;
                options.todayYmd = c.todayYmd;
                const WorksheetRun reference = Compare(path, options, total);
                ASSERT_FALSE(reference.result.oversold);
                ASSERT_GT(reference.result.printedEntries, c.records / 2);
                if (HasFailure())
                    FAIL() << "seed " << seed << " records " << c.records << " per day " << c.perDay
                           << " method " << method;
            }
        }
    }
    // The lists were mostly kept by following groups of equal keys, not by
    // sorting them as written.
    EXPECT_GT(total.followedGroups, total.sorts);
    EXPECT_LT(total.literalSorts * 20, total.sorts);
}

// The gap sort of the lot list as written: its orders, how it leaves equal
// lots, and the shortcut that computes where it leaves the lots of one key.

// Lots identified by BuyDate, priced by CostPerShare, 1-based.
std::vector<BasisLot> Lots(std::initializer_list<std::pair<double, int>> priceAndId)
{
    std::vector<BasisLot> lots(1);
    for (const auto& [price, id] : priceAndId)
        lots.push_back(BasisLot{0, id, price, 1});
    return lots;
}

std::vector<int> Ids(const std::vector<BasisLot>& lots)
{
    std::vector<int> ids;
    for (std::size_t i = 1; i < lots.size(); ++i)
        ids.push_back(lots[i].BuyDate);
    return ids;
}

TEST(BasisGapSort, OrdersByPriceCategoryAndDateAndNeverExchangesEqualLots)
{
    std::vector<BasisLot> lots = Lots({{10, 1}, {30, 2}, {20, 3}, {30, 4}});
    LiteralGapSort(lots, SortByPriceDescending);
    EXPECT_EQ(Ids(lots), (std::vector<int>{2, 4, 3, 1}));

    const std::vector<BasisLot> aged = {
        {}, {2, 20030105, 5, 1}, {1, 20030301, 5, 1}, {2, 20030101, 5, 1}, {1, 20020101, 5, 1}};
    std::vector<BasisLot> longFirst = aged;
    LiteralGapSort(longFirst, SortLongTermFirst);
    std::vector<BasisLot> shortFirst = aged;
    LiteralGapSort(shortFirst, SortShortTermFirst);
    EXPECT_EQ(Ids(longFirst), (std::vector<int>{20020101, 20030301, 20030101, 20030105}));
    EXPECT_EQ(Ids(shortFirst), (std::vector<int>{20030101, 20030105, 20020101, 20030301}));

    // Gap 2 exchanges the 5 with the last 9, which jumps over the first 9:
    // the two lots priced 9 end in the reverse of their first order.
    std::vector<BasisLot> overtaken = Lots({{5, 1}, {9, 2}, {9, 3}});
    LiteralGapSort(overtaken, SortByPriceDescending);
    EXPECT_EQ(Ids(overtaken), (std::vector<int>{3, 2, 1}));
    // Already in order: nothing moves, equal lots included.
    std::vector<BasisLot> sorted = Lots({{9, 1}, {9, 2}, {7, 3}, {7, 4}, {7, 5}});
    LiteralGapSort(sorted, SortByPriceDescending);
    EXPECT_EQ(Ids(sorted), (std::vector<int>{1, 2, 3, 4, 5}));
}

// Lists that differ from their sorted form at a few places (lots added at the
// end, runs of lots given another key, single lots changed): the shortcut must
// put the lots of one key where the gap sort puts them.
TEST(BasisGapSort, TieGroupShortcutAgreesWithTheGapSort)
{
    std::mt19937 rng(4);
    const auto pick = [&rng](int n) { return int(rng() % unsigned(n)); };
    for (int trial = 0; trial < 20000; ++trial) {
        const int n = 1 + pick(trial % 100 == 0 ? 2500 : 90);
        // Letters 0 (before the key), 1 (the key), 2 (after it), as prices 2, 1, 0.
        const int before = pick(n + 1);
        const int equal = pick(n - before + 1);
        std::vector<int> word(static_cast<std::size_t>(n));
        const auto at = [&word](int p) -> int& { return word[std::size_t(p)]; };
        for (int p = 0; p < n; ++p)
            at(p) = p < before ? 0 : (p < before + equal ? 1 : 2);
        // Now and then many changes and long runs: more odd places than the
        // shortcut keeps in its small arrays.
        const bool many = trial % 7 == 0;
        for (int change = pick(many ? 14 : 6); change > 0; --change) {
            const int letter = pick(3);
            const int p = pick(n);
            const int kind = pick(3);
            if (kind == 0)  // one lot
                at(p) = letter;
            else if (kind == 1)  // a run of lots
                for (int q = p; q < std::min(n, p + 1 + pick(many ? 30 : 8)); ++q)
                    at(q) = letter;
            else  // lots at the end
                for (int q = std::max(0, n - 1 - pick(4)); q < n; ++q)
                    at(q) = pick(3);
        }
        std::vector<BasisLot> lots(1);
        const std::int64_t beta = std::count(word.begin(), word.end(), 0);
        const std::int64_t tau = std::count(word.begin(), word.end(), 1);
        std::vector<TieLetter> odd;
        for (int p = 0; p < n; ++p) {
            lots.push_back(BasisLot{0, p, double(2 - at(p)), 1});
            if (at(p) != (p < beta ? 0 : (p < beta + tau ? 1 : 2)))
                odd.push_back({p, TieLabel(at(p))});
        }
        std::vector<BasisLot> sorted = lots;
        LiteralGapSort(sorted, SortByPriceDescending);
        // Following every lot of the key gives its whole order; following
        // some of them puts those in the same places.
        for (const int every : {1, 2}) {
            std::vector<TieMember> members;
            for (int p = 0; p < n; ++p)
                if (at(p) == 1 && p % every == 0)
                    members.push_back({p, p});
            const std::size_t followed = members.size();
            EqualLotsAfterGapSort(n, beta, tau, odd, members);
            ASSERT_EQ(followed, members.size());
            for (std::size_t i = 0; i < members.size(); ++i) {
                const TieMember& m = members[i];
                ASSERT_EQ(sorted[std::size_t(beta + m.place + 1)].BuyDate, m.id)
                    << "trial " << trial << " every " << every;
                if (i > 0) {
                    ASSERT_LT(members[i - 1].place, m.place);
                }
            }
        }
    }
}

// The port of the history generator writes what the script writes.

// Digests of the script's own output (python3 bench/gen_ledger.py N OUT --seed S).
TEST(GeneratedLedger, KnownHistoriesOfTheScript)
{
    const std::pair<GeneratorOptions, const char*> known[] = {
        {{1000, 1}, "d30d6aaa52f35049fa5f4adff519c16b6726d596680f5f9f6ac82b4b7c8041ec"},
        {{30000, 2}, "7af589664c295cfba4c49a397630763b333f977ed0e85e83033f29226cdf35cd"},
    };
    for (const auto& [options, sha256] : known) {
        const QByteArray bytes = GenerateLedger(options);
        EXPECT_EQ(bytes.size(), 41 * (options.records + 1));
        EXPECT_EQ(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex(),
                  QByteArray(sha256))
            << options.records << " records, seed " << options.seed;
    }
}

// Against the script itself, where Python is installed.
TEST(GeneratedLedger, SameBytesAsTheScript)
{
    const QString python = QStandardPaths::findExecutable(QStringLiteral("python3"));
    const QString script = QStringLiteral(BRISDEN_TESTDATA "/../../bench/gen_ledger.py");
    if (python.isEmpty() || !QFile::exists(script))
        GTEST_SKIP() << "python3 or the script is missing";
    QTemporaryDir dir;
    const GeneratorOptions runs[] = {{2, 5}, {1500, 3}, {50000, 4}};
    for (const GeneratorOptions& run : runs) {
        const QString out = dir.filePath(QStringLiteral("script.dat"));
        QProcess process;
        process.start(python, {script, QString::number(run.records), out, QStringLiteral("--seed"),
                               QString::number(run.seed)});
        ASSERT_TRUE(process.waitForFinished(120000));
        ASSERT_EQ(process.exitCode(), 0) << process.readAllStandardError().constData();
        QFile written(out);
        ASSERT_TRUE(written.open(QIODevice::ReadOnly));
        EXPECT_TRUE(GenerateLedger(run) == written.readAll())
            << run.records << " records, seed " << run.seed;
    }
}

}  // namespace
}  // namespace brisden::test
