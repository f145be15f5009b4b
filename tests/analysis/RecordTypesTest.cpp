// Record types: the code each record gets, what it does to the running
// totals, and which records are suspect.

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

}  // namespace
