// The worksheet's lot list against the list walked as written, on random
// ledgers: the report files must be identical byte for byte.

#include "BasisTestUtil.h"
#include "GeneratedLedger.h"
#include "basis/FastLotBook.h"
#include "support/TestSupport.h"

#include <QDate>
#include <QTemporaryDir>
#include <gtest/gtest.h>
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
                dir.filePath(QStringLiteral("g%1_%2_%3.dat").arg(seed).arg(c.records).arg(c.perDay)),
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
                    FAIL() << "seed " << seed << " records " << c.records << " per day "
                           << c.perDay << " method " << method;
            }
        }
    }
    // The lists were mostly kept by following groups of equal keys, not by
    // sorting them as written.
    EXPECT_GT(total.followedGroups, total.sorts);
    EXPECT_LT(total.literalSorts * 20, total.sorts);
}

}  // namespace
}  // namespace brisden::test
