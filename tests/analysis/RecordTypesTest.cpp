// Record types (the code each record gets, what it does to the running
// totals, which records are suspect) and the returns computed from them.

#include "ListingHarness.h"
#include "analysis/RecordTypes.h"
#include "analysis/Returns.h"
#include "analysis/RoundTo.h"

#include <cmath>

#include <gtest/gtest.h>

using namespace brisden;
using brisden::test::BisectRate;
using brisden::test::Day;

namespace {

TransactionRecord Rec(double amount, double price, double shares, const char* desc = "entry",
                      std::int32_t date = 20100105)
{
    TransactionRecord r;
    r.Version = 6;
    r.TransDate = date;
    r.setDesc(QString::fromLatin1(desc));
    r.Amount = amount;
    r.SharePrice = price;
    r.Shares = shares;
    return r;
}

class ClassifyTest : public ::testing::Test {
protected:
    // The record's code; the record as classified is left in `record`.
    QString classify(TransactionRecord r, bool inRange = true, std::int32_t row = 1)
    {
        record = r;
        return ClassifyTransaction(record, state, row, inRange, flows);
    }
    // A fresh pass holding `balance` shares.
    void reset(double balance = 0)
    {
        state = ListingState();
        state.ShareBalance() = balance;
        flows = CashFlowTable(4);
    }
    TransactionRecord record;
    ListingState state;
    CashFlowTable flows = CashFlowTable(4);
};

TEST_F(ClassifyTest, CodesAndTheDerivedAmountsAndShares)
{
    const struct {
        double balance;  // shares held before
        TransactionRecord given;
        const char* code;
        double amount, shares, balanceAfter;
    } cases[] = {
        {0, Rec(100, 8, 99), "P", 100, 12.5, 12.5},  // the entered share count is replaced
        {0, Rec(25, 0, 0), "F", 25, 0, 0},           // money without a price is a fee
        {0, Rec(0, 5, 10, "divid"), "R", 50, 10, 10},
        {0, Rec(-50, 0, 0), "D", -50, 0, 0},
        {10, Rec(-50, 0, 2), "D", -50, 2, 8},  // counted as a sale first
        {10, Rec(0, 0, -0.5), "A", 0, -0.5, 9.5},
        {10, Rec(0, 4, -2), "S", -8, -2, 8},  // the computed amount is negative
        {10, Rec(-30, 6, 5), "S", -30, 5, 5},
        {10.0005, Rec(-100, 10, 10), "S", -100, 10, 0},  // dust becomes zero
        {1, Rec(-30, 10, 3), "S", -30, 3, 0},            // more sold than held
        {0, Rec(0, 12.5, 0), "U", 0, 0, 0},
        {0, Rec(0, 0, 0), "", 0, 0, 0},
    };
    for (const auto& c : cases) {
        reset(c.balance);
        EXPECT_EQ(classify(c.given), QLatin1String(c.code));
        SCOPED_TRACE(c.code);
        EXPECT_DOUBLE_EQ(record.Amount, c.amount);
        EXPECT_DOUBLE_EQ(record.Shares, c.shares);
        EXPECT_DOUBLE_EQ(state.ShareBalance(), c.balanceAfter);
    }
    EXPECT_TRUE(IsSuspectRecord(record, QString()));  // the record without a code

    // A fee is money put in, but no purchase.
    reset();
    classify(Rec(25, 0, 0));
    EXPECT_DOUBLE_EQ(state.CostTotals[2], 25);
    EXPECT_DOUBLE_EQ(state.CostTotals[3], 0);
}

TEST_F(ClassifyTest, SplitRestatesShareTotalsAndPrices)
{
    classify(Rec(1000, 10, 0));   // 100 shares at 10
    classify(Rec(1200, 12, 0));   // 100 shares at 12
    classify(Rec(-260, 13, 20));  // 20 sold at 13, 180 left
    EXPECT_EQ(classify(Rec(0, 5, 360, "stk SpLiT")),
              QStringLiteral("*"));  // a price does not matter
    EXPECT_TRUE(state.SplitRestated);
    EXPECT_DOUBLE_EQ(state.ShareBalance(), 360);
    // Bought and sold shares, and the low and high buy and sell prices.
    EXPECT_EQ((std::vector<double>{state.ShareTotals[2], state.ShareTotals[3], state.LowPrices[1],
                                   state.HighPrices[1], state.LowPrices[2], state.HighPrices[2]}),
              (std::vector<double>{400, 40, 5, 6, 6.5, 6.5}));

    // Nothing sold yet: the low sell price stays the sentinel.
    reset();
    classify(Rec(1000, 10, 0));
    classify(Rec(0, 0, 200, "Split"));
    EXPECT_DOUBLE_EQ(state.LowPrices[1], 5);
    EXPECT_DOUBLE_EQ(state.LowPrices[2], NoPriceSentinel);
    EXPECT_DOUBLE_EQ(state.HighPrices[2], 0);

    // At a zero balance no totals are restated.
    reset();
    state.ShareTotals[2] = 7;
    EXPECT_EQ(classify(Rec(0, 0, 50, "split")), QStringLiteral("*"));
    EXPECT_DOUBLE_EQ(state.ShareTotals[2], 7);
    EXPECT_DOUBLE_EQ(state.ShareBalance(), 50);
}

TEST(SuspectRecord, SaleArithmeticDatesAndSplitDescriptions)
{
    TransactionRecord sale = Rec(-100, 10, 10);
    EXPECT_FALSE(IsSuspectRecord(sale, QStringLiteral("S")));
    sale.Amount = -100.02;  // off by more than a cent
    EXPECT_TRUE(IsSuspectRecord(sale, QStringLiteral("S")));
    sale.Amount = -100.004;  // the same to the cent
    EXPECT_FALSE(IsSuspectRecord(sale, QStringLiteral("S")));
    sale.Amount = -100.01;  // a cent off, but 0.01 is not exact in binary
    EXPECT_TRUE(IsSuspectRecord(sale, QStringLiteral("S")));
    // A sale entered with negative shares.
    EXPECT_TRUE(IsSuspectRecord(Rec(-100, 10, -10), QStringLiteral("S")));

    EXPECT_TRUE(IsSuspectRecord(Rec(100, 10, 10, "bad", 20010229), QStringLiteral("P")));
    EXPECT_FALSE(IsSuspectRecord(Rec(100, 10, 10, "leap", 20040229), QStringLiteral("P")));
    EXPECT_FALSE(IsSuspectRecord(Rec(-5, 0, 0), QStringLiteral("D")));

    // A split is "split" in any letter case anywhere in the description.
    for (const char* desc : {"split", "2:1 SpLiT", "reSPLITx"})
        EXPECT_TRUE(ContainsSplit(Rec(0, 0, 1, desc))) << desc;
    for (const char* desc : {"spl it", "splt", ""})
        EXPECT_FALSE(ContainsSplit(Rec(0, 0, 1, desc))) << desc;
}

// The returns of a row and the internal rate of return.

using Flows = std::vector<std::pair<double, std::int32_t>>;

// A table of the flows from slot 1 on.
CashFlowTable Table(const Flows& given)
{
    CashFlowTable flows(given.size() + 1);
    for (std::size_t i = 0; i < given.size(); ++i)
        flows[i + 1] = {given[i].first, given[i].second, 0};
    return flows;
}

TEST(RoundTo, HalvesRoundUpOnTheBinaryValue)
{
    EXPECT_DOUBLE_EQ(RoundTo(12.3456, 3), 12.346);
    EXPECT_EQ(RoundTo(-0.0005, 3), 0);
    EXPECT_DOUBLE_EQ(RoundTo(1000.0 / 3, 3), 333.333);
    EXPECT_EQ(RoundTo(2.5, 0), 3);
    EXPECT_EQ(RoundTo(-2.5, 0), -2);
    EXPECT_DOUBLE_EQ(RoundTo(1.005, 2), 1);
}

TEST(RowMeasures, PeriodCumulativeAndAnnual)
{
    // 1000 in, 1100 held, 50 paid out in cash, 100 taken out by a sale.
    EXPECT_FLOAT_EQ(PeriodROI(1100, -50, -100, 800, 200), float(250.0 / 1000));
    EXPECT_FLOAT_EQ(CumulativeROI(1100, -50, -100, 1000), float(250.0 / 950));
    EXPECT_FLOAT_EQ(AnnualROI(1100, -50, -100, 1000, 2.0f),
                    float((1250.0 / 950) * (1250.0 / 950) - 1));
    // The closing measure divides by the money put in alone.
    EXPECT_FLOAT_EQ(ValuationAnnualROI(1100, -50, -100, 1000, 2.0f), float(1.25 * 1.25 - 1));
    EXPECT_FLOAT_EQ(ExponentFactorFor(Day(20100301), Day(20100101)), float(365.25 / 59));
    EXPECT_EQ(ExponentFactorFor(Day(20100101), Day(20100101)), 0.0f);
    // More paid out in cash than was put in: no annual return.
    EXPECT_EQ(AnnualROI(500, -300, 0, 200, 1.5f), 0.0f);
    EXPECT_EQ(ValuationAnnualROI(-10, 0, 0, 100, 1.5f), 0.0f);
    // A power beyond single precision is no measure either.
    EXPECT_EQ(AnnualROI(1e6, 0, 0, 1, 365.25f), 0.0f);
}

TEST(RateOfReturn, AgreesWithBisectionAndFillsInTheYears)
{
    CashFlowTable flows = Table({{100, Day(20090101)}, {-110, Day(20100101)}});
    float guess = 0.05f;
    std::int32_t endDay = Day(20100101);
    EXPECT_NEAR(ComputeIRR(flows, guess, endDay), std::pow(1.1, 365.25 / 365) - 1, 1e-6);
    EXPECT_FLOAT_EQ(flows[1].Years, float(365 / 365.25));
    EXPECT_EQ(flows[2].Years, 0.0f);

    const Flows given = {{1000, Day(20050110)}, {250, Day(20050601)},  {-80, Day(20051231)},
                         {500, Day(20060315)},  {-300, Day(20070101)}, {0, Day(20070301)},
                         {-1800, Day(20080615)}};
    flows = Table(given);
    guess = 0.2f;
    endDay = Day(20080615);
    EXPECT_NEAR(ComputeIRR(flows, guess, endDay), BisectRate(given, endDay), 1e-5);

    // Unused slots are ignored, and not filled in.
    flows = CashFlowTable(6);
    flows[2] = {100, Day(20090101), 0};
    flows[4] = {-121, Day(20110101), 0};
    guess = 0;
    endDay = Day(20110101);
    EXPECT_NEAR(ComputeIRR(flows, guess, endDay),
                BisectRate({{100, Day(20090101)}, {-121, Day(20110101)}}, endDay), 1e-5);
    EXPECT_EQ(flows[1].Years, 0.0f);
}

TEST(RateOfReturn, FailuresAndAGuessAtOrBelowMinusOne)
{
    // Flows of one sign have no rate.
    CashFlowTable flows = Table({{100, Day(20090101)}, {50, Day(20090601)}});
    float guess = 0.1f;
    std::int32_t endDay = Day(20100101);
    EXPECT_EQ(ComputeIRR(flows, guess, endDay), IrrFailed);

    flows = Table({{100, Day(20090101)}, {-90, Day(20100101)}});
    guess = -1.5f;
    const float rate = ComputeIRR(flows, guess, endDay);
    EXPECT_FLOAT_EQ(guess, -0.999f);  // the guess is raised
    // From there the slope stays under 0.1: 25 rounds of 0.03 don't reach the root.
    EXPECT_EQ(rate, IrrFailed);
    guess = -0.5f;
    EXPECT_NEAR(ComputeIRR(flows, guess, endDay), std::pow(0.9, 365.25 / 365) - 1, 1e-5);

    // An overflow is trapped as a failure and flagged until the next good run.
    flows = Table({{1e300, Day(19000101)}, {-1e300, Day(20000101)}});
    guess = 1e30f;
    endDay = Day(20000101);
    RateOfReturn solver;
    EXPECT_EQ(solver.ComputeIRR(flows, guess, endDay), IrrFailed);
    EXPECT_TRUE(solver.IrrErrorFlag);
    CashFlowTable fine = Table({{100, Day(20090101)}, {-110, Day(20100101)}});
    guess = 0.05f;
    solver.ComputeIRR(fine, guess, endDay);
    EXPECT_FALSE(solver.IrrErrorFlag);
}

}  // namespace
