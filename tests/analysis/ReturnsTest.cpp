#include "analysis/Returns.h"
#include "analysis/RoundTo.h"
#include "ListingHarness.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace brisden;
using brisden::test::BisectRate;
using brisden::test::Day;

namespace {

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
