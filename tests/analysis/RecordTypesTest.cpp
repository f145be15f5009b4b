#include "analysis/RecordTypes.h"

#include <gtest/gtest.h>

using namespace brisden;

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
    TransactionRecord record;
    ListingState state;
    CashFlowTable flows = CashFlowTable(4);
};

TEST_F(ClassifyTest, PurchaseReplacesTheEnteredShareCount)
{
    const QString code = classify(Rec(100, 8, 99));
    EXPECT_EQ(code, "P");
    EXPECT_DOUBLE_EQ(record.Shares, 12.5);
    EXPECT_DOUBLE_EQ(state.ShareBalance(), 12.5);
    for (int i = 1; i <= 3; ++i)
        EXPECT_DOUBLE_EQ(state.CostTotals[i], 100) << i;
    EXPECT_DOUBLE_EQ(state.ShareTotals[2], 12.5);
    EXPECT_DOUBLE_EQ(state.LowPrices[1], 8);
    EXPECT_DOUBLE_EQ(state.HighPrices[1], 8);
    EXPECT_DOUBLE_EQ(state.LastPrice, 8);
    EXPECT_DOUBLE_EQ(flows[1].Amount, 100);
}

TEST_F(ClassifyTest, MoneyWithoutPriceIsAFee)
{
    const QString code = classify(Rec(25, 0, 0));
    EXPECT_EQ(code, "F");
    EXPECT_DOUBLE_EQ(state.CostTotals[2], 25);
    EXPECT_DOUBLE_EQ(state.CostTotals[3], 0);  // no shares moved
    EXPECT_DOUBLE_EQ(state.ShareBalance(), 0);
}

TEST_F(ClassifyTest, ReinvestmentGetsItsAmountButIsNoCashFlow)
{
    const QString code = classify(Rec(0, 5, 10, "divid"));
    EXPECT_EQ(code, "R");
    EXPECT_DOUBLE_EQ(record.Amount, 50);
    EXPECT_DOUBLE_EQ(state.ShareBalance(), 10);
    EXPECT_DOUBLE_EQ(state.CostTotals[2], 0);
    EXPECT_DOUBLE_EQ(state.CostTotals[3], 50);
    EXPECT_DOUBLE_EQ(state.ShareTotals[2], 10);
    EXPECT_DOUBLE_EQ(flows[1].Amount, 0);
}

TEST_F(ClassifyTest, SplitRestatesShareTotalsAndPrices)
{
    classify(Rec(1000, 10, 0));                                  // 100 shares at 10
    classify(Rec(1200, 12, 0));                                  // 100 shares at 12
    classify(Rec(-260, 13, 20));                                 // sale of 20 at 13, 180 left
    const QString code = classify(Rec(0, 5, 360, "stk SpLiT"));  // a price does not matter
    EXPECT_EQ(code, "*");
    EXPECT_TRUE(state.SplitRestated);
    EXPECT_DOUBLE_EQ(state.ShareBalance(), 360);
    EXPECT_DOUBLE_EQ(state.ShareTotals[2], 400);
    EXPECT_DOUBLE_EQ(state.ShareTotals[3], 40);
    EXPECT_DOUBLE_EQ(state.LowPrices[1], 5);
    EXPECT_DOUBLE_EQ(state.HighPrices[1], 6);
    EXPECT_DOUBLE_EQ(state.LowPrices[2], 6.5);
    EXPECT_DOUBLE_EQ(state.HighPrices[2], 6.5);
}

TEST_F(ClassifyTest, SplitAtZeroBalanceRestatesNoTotals)
{
    state.ShareTotals[2] = 7;
    const QString code = classify(Rec(0, 0, 50, "split"));
    EXPECT_EQ(code, "*");
    EXPECT_DOUBLE_EQ(state.ShareTotals[2], 7);
    EXPECT_DOUBLE_EQ(state.ShareBalance(), 50);
}

TEST_F(ClassifyTest, LowPriceSentinelSurvivesASplit)
{
    classify(Rec(1000, 10, 0));
    classify(Rec(0, 0, 200, "Split"));
    EXPECT_DOUBLE_EQ(state.LowPrices[1], 5);
    EXPECT_DOUBLE_EQ(state.LowPrices[2], NoPriceSentinel);  // nothing sold yet
    EXPECT_DOUBLE_EQ(state.HighPrices[2], 0);
}

TEST_F(ClassifyTest, CashDistributionAndDistributionWithShares)
{
    QString code = classify(Rec(-50, 0, 0));
    EXPECT_EQ(code, "D");
    EXPECT_DOUBLE_EQ(state.DistributionTotals[1], -50);
    EXPECT_DOUBLE_EQ(state.DistributionTotals[2], -50);
    EXPECT_DOUBLE_EQ(state.SaleTotals[2], 0);

    state = ListingState();
    state.ShareBalance() = 10;
    code = classify(Rec(-50, 0, 2));
    EXPECT_EQ(code, "D");  // counted as a sale first, then shown as a distribution
    EXPECT_DOUBLE_EQ(state.SaleTotals[2], -50);
    EXPECT_DOUBLE_EQ(state.ShareTotals[3], 2);
    EXPECT_DOUBLE_EQ(state.DistributionTotals[2], -50);
    EXPECT_DOUBLE_EQ(state.ShareBalance(), 8);
    EXPECT_DOUBLE_EQ(state.LowPrices[2], 0);
}

TEST_F(ClassifyTest, FeeInSharesAndPricedShareRemoval)
{
    state.ShareBalance() = 10;
    QString code = classify(Rec(0, 0, -0.5));
    EXPECT_EQ(code, "A");
    EXPECT_DOUBLE_EQ(state.ShareBalance(), 9.5);

    code = classify(Rec(0, 4, -2));
    EXPECT_EQ(code, "S");  // the computed amount is negative
    EXPECT_DOUBLE_EQ(record.Amount, -8);
    EXPECT_DOUBLE_EQ(state.ShareBalance(), 7.5);
    EXPECT_DOUBLE_EQ(state.SaleTotals[2], -8);
}

TEST_F(ClassifyTest, SaleWithPositiveSharesAndNegativeAmount)
{
    state.ShareBalance() = 10;
    const QString code = classify(Rec(-30, 6, 5));
    EXPECT_EQ(code, "S");
    EXPECT_DOUBLE_EQ(state.ShareBalance(), 5);
    EXPECT_DOUBLE_EQ(state.LowPrices[2], 6);
    EXPECT_DOUBLE_EQ(state.HighPrices[2], 6);
    EXPECT_DOUBLE_EQ(flows[1].Amount, -30);
}

TEST_F(ClassifyTest, PriceAloneIsAnUpdateAndEmptyRecordHasNoCode)
{
    QString code = classify(Rec(0, 12.5, 0));
    EXPECT_EQ(code, "U");
    EXPECT_DOUBLE_EQ(state.LastPrice, 12.5);
    code = classify(Rec(0, 0, 0));
    EXPECT_TRUE(code.isEmpty());
    EXPECT_TRUE(IsSuspectRecord(record, code));
}

TEST_F(ClassifyTest, DustBalanceBecomesZero)
{
    state.ShareBalance() = 10.0005;
    classify(Rec(-100, 10, 10));
    EXPECT_EQ(state.ShareBalance(), 0);
    state.ShareBalance() = 1;
    classify(Rec(-30, 10, 3));  // more sold than held
    EXPECT_EQ(state.ShareBalance(), 0);
}

TEST_F(ClassifyTest, OnlyRecordsInRangeAreCashFlows)
{
    classify(Rec(100, 10, 0), false, 1);
    classify(Rec(-40, 0, 0), true, 2);
    classify(Rec(0, 3, 0), true, 3);
    EXPECT_DOUBLE_EQ(flows[1].Amount, 0);
    EXPECT_DOUBLE_EQ(flows[2].Amount, -40);
    EXPECT_DOUBLE_EQ(flows[3].Amount, 0);
}

TEST(SuspectRecord, SaleArithmeticAndDates)
{
    TransactionRecord sale = Rec(-100, 10, 10);
    EXPECT_FALSE(IsSuspectRecord(sale, QStringLiteral("S")));
    sale.Amount = -100.02;  // off by more than a cent
    EXPECT_TRUE(IsSuspectRecord(sale, QStringLiteral("S")));
    sale.Amount = -100.004;  // the same to the cent
    EXPECT_FALSE(IsSuspectRecord(sale, QStringLiteral("S")));
    sale.Amount = -100.01;  // a cent off, but 0.01 is not exact in binary
    EXPECT_TRUE(IsSuspectRecord(sale, QStringLiteral("S")));

    TransactionRecord negativeCount = Rec(-100, 10, -10);  // a sale entered with negative shares
    EXPECT_TRUE(IsSuspectRecord(negativeCount, QStringLiteral("S")));

    EXPECT_TRUE(IsSuspectRecord(Rec(100, 10, 10, "bad", 20010229), QStringLiteral("P")));
    EXPECT_FALSE(IsSuspectRecord(Rec(100, 10, 10, "leap", 20040229), QStringLiteral("P")));
    EXPECT_FALSE(IsSuspectRecord(Rec(-5, 0, 0), QStringLiteral("D")));
}

TEST(RecordTypesLegend, EightLinesInLegendOrder)
{
    const QStringList lines = RecordTypesLegend();
    ASSERT_EQ(lines.size(), 8);
    EXPECT_EQ(lines.first(), "* = Share split");
    EXPECT_EQ(lines.at(1), "A = Service fee Against shares");
    EXPECT_EQ(lines.last(), "U = Price Update");
    EXPECT_TRUE(RecordTypesLegendText().contains("D = Cash Distribution\r\nF = Service Fee"));
}

TEST(ContainsSplit, AnyLetterCaseAnywhereInTheDescription)
{
    for (const char* desc : {"split", "2:1 SpLiT", "reSPLITx"})
        EXPECT_TRUE(ContainsSplit(Rec(0, 0, 1, desc))) << desc;
    for (const char* desc : {"spl it", "splt", ""})
        EXPECT_FALSE(ContainsSplit(Rec(0, 0, 1, desc))) << desc;
}

}  // namespace
