// The cash flows behind the internal rate of return, as listed for checking
// the rate by hand: the flows of a run reproduce its rate, and each names its
// file and what it stands for.

#include "ListingHarness.h"

#include "analysis/RateFlows.h"
#include "data/NumberText.h"

namespace brisden::test {
namespace {

// The future value at the end day of the flows at the rate, from their dates
// (not from the years the solver stored).
double FutureValue(const std::vector<RateFlow>& flows, double rate, std::int32_t endDay)
{
    double sum = 0;
    for (const RateFlow& f : flows)
        sum += f.Amount * std::pow(1 + rate, (endDay - DateToDayNumber(f.Date)) / 365.25);
    return sum;
}

double Volume(const std::vector<RateFlow>& flows)
{
    double sum = 0;
    for (const RateFlow& f : flows)
        sum += std::fabs(f.Amount);
    return sum;
}

class TwoFilePortfolio : public ::testing::Test {
protected:
    void SetUp() override
    {
        WriteLedger(h.path("a.dat"), {{20090105, "Buy", 500, 10, 0},
                                      {20090601, "Cash", -20, 0, 0},
                                      {20100105, "Price", 0, 11, 0}});
        WriteLedger(h.path("b.dat"), {{20080301, "Buy", 2000, 40, 0},
                                      {20090301, "Buy", 1000, 20, 0},
                                      {20100601, "Sell", -440, 22, 20}});
        QByteArray def = "\"Portfolio definition file\"\r\n";
        for (const char* file : {"a.dat", "b.dat"})
            def += '"' + h.path(QLatin1String(file)).toLatin1() + "\"\r\n\"" + file + "\"\r\n";
        WriteAll(h.path("p.def"), def);
        portfolio.CurrentPortfolio = h.path("p.def");
        ASSERT_TRUE(portfolio.LoadPortfolio(false));
        h.input.answers = {QStringLiteral("12"), QStringLiteral("25")};
    }
    ListingHarness h{DestinationFile, 20110110};
    Portfolio portfolio{h.files};
};

TEST_F(TwoFilePortfolio, FlowsNameTheirFilesAndReproduceTheRate)
{
    const TransactionListing& listing = h.run(&portfolio);
    ASSERT_TRUE(listing.RateComputed);
    const std::vector<RateFlow> flows = ListRateFlows(listing.CashFlows, listing.RateTrail);

    // The records that moved money, then each file's holding paid back today
    // (a: 50 shares at 12; b: 80 shares at 25).
    const QString a = h.path("a.dat"), b = h.path("b.dat");
    struct Expected {
        std::int32_t date;
        double amount;
        QString file;
        RateFlowKind kind;
    };
    const Expected expected[] = {
        {20090105, 500, a, RateFlowKind::Transaction},
        {20090601, -20, a, RateFlowKind::Transaction},
        {20110110, -600, a, RateFlowKind::TerminalValue},
        {20080301, 2000, b, RateFlowKind::Transaction},
        {20090301, 1000, b, RateFlowKind::Transaction},
        {20100601, -440, b, RateFlowKind::Transaction},
        {20110110, -2000, b, RateFlowKind::TerminalValue},
    };
    ASSERT_EQ(flows.size(), std::size(expected));
    for (std::size_t i = 0; i < flows.size(); ++i) {
        EXPECT_EQ(flows[i].Date, expected[i].date) << i;
        EXPECT_DOUBLE_EQ(flows[i].Amount, expected[i].amount) << i;
        EXPECT_EQ(flows[i].File, expected[i].file) << i;
        EXPECT_EQ(flows[i].Kind, expected[i].kind) << i;
    }
    EXPECT_EQ(flows[0].Description, "a.dat");
    EXPECT_EQ(listing.RateTrail.EndDay, Day(20110110));
    EXPECT_EQ(listing.RateTrail.Rate, listing.Rate);

    // Carried to the end day at the rate, the flows cancel out.
    const double rate = listing.Rate;
    EXPECT_GT(rate, -1);
    EXPECT_NEAR(FutureValue(flows, rate, listing.RateTrail.EndDay), 0, 1e-5 * Volume(flows));
    EXPECT_NEAR(RateFlowsFutureValue(flows, rate), 0, 1e-5 * Volume(flows));
    // ...and at any other rate they don't.
    EXPECT_GT(std::fabs(FutureValue(flows, rate + 0.01, listing.RateTrail.EndDay)),
              1e-3 * Volume(flows));
}

TEST_F(TwoFilePortfolio, CsvHasAHeaderAndOneFullPrecisionLinePerFlow)
{
    h.input.answers = {QStringLiteral("12.3456789012345"), QStringLiteral("25")};
    const TransactionListing& listing = h.run(&portfolio);
    std::vector<RateFlow> flows = ListRateFlows(listing.CashFlows, listing.RateTrail);
    flows[0].Description = QStringLiteral("Fund \"A\", class 1");
    const QList<QByteArray> lines = RateFlowsCsv(flows).split('\n');
    ASSERT_EQ(lines.size(), qsizetype(flows.size() + 2));  // the last line end closes the text
    EXPECT_EQ(lines[0], "Date,Amount,Years,Kind,File,Description\r");
    EXPECT_TRUE(lines.last().isEmpty());
    const QByteArray a = h.path("a.dat").toUtf8();
    EXPECT_EQ(lines[1], "2009-01-05,500," + PlainSingle(flows[0].Years) + ",\"record\",\"" + a +
                            "\",\"Fund \"\"A\"\", class 1\"\r");
    // 50 shares at the typed price, every digit kept.
    EXPECT_EQ(lines[3], "2011-01-10," + PlainNumber(-50 * 12.3456789012345) +
                            ",0,\"terminal value\",\"" + a + "\",\"a.dat\"\r");
    EXPECT_EQ(lines[3].split(',')[1].toDouble(), -50 * 12.3456789012345);
}

TEST(RateFlows, TheHoldingBroughtIntoTheRangeIsAnOpeningFlow)
{
    ListingHarness h(DestinationFile, 20101201);
    h.useLedger("window.dat", {{20100101, "Buy", 1000, 10, 0},
                               {20100301, "Price", 0, 12, 0},
                               {20100601, "Buy", 600, 15, 0},
                               {20100901, "Price", 0, 16, 0}});
    h.input.answers.push_back(QStringLiteral("17"));
    h.setRange(5312010, 99999999);
    const TransactionListing& listing = h.run();
    const std::vector<RateFlow> flows = ListRateFlows(listing.CashFlows, listing.RateTrail);
    // 100 shares at 12 brought in with the June purchase; 140 shares at 17 today.
    ASSERT_EQ(flows.size(), 2u);
    EXPECT_EQ(flows[0].Kind, RateFlowKind::OpeningValueAndTransaction);
    EXPECT_DOUBLE_EQ(flows[0].Amount, 1200 + 600);
    EXPECT_EQ(flows[1].Kind, RateFlowKind::TerminalValue);
    EXPECT_DOUBLE_EQ(flows[1].Amount, -140 * 17);
    EXPECT_NEAR(FutureValue(flows, listing.Rate, listing.RateTrail.EndDay), 0,
                1e-5 * Volume(flows));

    // A range that starts on a record's date starts from the value after it.
    h.setRange(6012010, 0);
    h.input.answers.push_back(QStringLiteral("17"));
    const TransactionListing& again = h.run();
    const std::vector<RateFlow> onTheDay = ListRateFlows(again.CashFlows, again.RateTrail);
    ASSERT_EQ(onTheDay.size(), 2u);
    EXPECT_EQ(onTheDay[0].Kind, RateFlowKind::OpeningValue);
    EXPECT_DOUBLE_EQ(onTheDay[0].Amount, 140 * 15);
}

TEST_F(TwoFilePortfolio, ACancelledRunHasNoFlows)
{
    h.cancel = FakeCancel(2);
    const TransactionListing& listing = h.run(&portfolio);
    EXPECT_FALSE(listing.RateComputed);
    EXPECT_TRUE(ListRateFlows(listing.CashFlows, listing.RateTrail).empty());
}

}  // namespace
}  // namespace brisden::test
