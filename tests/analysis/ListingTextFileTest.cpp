#include "ListingHarness.h"

#include "data/NumberText.h"
#include "analysis/ListingTextFile.h"
#include "report/ReportFile.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace brisden;
using namespace brisden::test;

namespace {

// A listing written to a report file held in memory.
struct FileListing {
    explicit FileListing(std::int32_t today) : h(DestinationFile, today)
    {
        h.calendar.locale = QLocale(QLocale::English, QLocale::UnitedStates);
    }

    QByteArray run(const Portfolio* portfolio = nullptr)
    {
        ListingFileOutput output(writer, h.calendar, QStringLiteral("Brisden 6.00"),
                                 [] { return QTime(12, 0); });
        h.run(portfolio, false, &output);
        return writer.collected();
    }

    ListingHarness h;
    ReportFileWriter writer;
};

QByteArray Single(double value)
{
    return PlainSingle(static_cast<float>(value));
}

TEST(ListingTextFile, SingleFileRecordByRecord)
{
    FileListing f(20100701);
    f.h.useLedger("x.dat", {{20100101, "Buy", 1000, 10, 0}, {20100701, "Price", 0, 12, 0}},
                  QStringLiteral("Fund"));
    const QByteArray text = f.run();

    const double annual = std::pow(1.2, double(float(365.25 / 181))) - 1;
    const QByteArray expected =
        "\"7/1/2010 Brisden 6.00 12:00:00 PM\"\r\n"
        "\"File:\",\"" +
        f.h.path("x.dat").toLatin1() +
        "\"\r\n"
        "\"Desc: \",\"Fund\"\r\n"
        "\"    Date\",\"Mask:\",0,99999999,\"   Shares\",\"   Share\",\"\",\"  Return\","
        "\"on Invest\",\"ment\"\r\n"
        "\"    Date\",\"Desc\",\"  Amount\",\"   Price\",\"This Tran\",\" Balance\",\"   Value\","
        "\"  Period\",\"   Cumul\",\" Avg Ann\",\" Rec Type\"\r\n"
        "#2010-01-01#,\"Buy      \",1000,10,100,100,1000,\"\",\"\",\"\",\"P\"\r\n"
        "#2010-07-01#,\"Price    \",0,12,0,100,1200,0.2,0.2," +
        Single(annual) +
        ",\"U\"\r\n"
        "\"Today:\",#2010-07-01#,\"Today\",\"\",12,\"\",100,1200,\"\",0.2," +
        Single(annual) +
        ",\"U\"\r\n"
        "\"Pkt Cst:\",1000,\"Tot Cst:\",1000\r\n"
        "\"Cash dst:\",0,\"Sales:\",0\r\n"
        "\"Gain:\",200\r\n"
        "\"Low Buy:\",10,\"High buy:\",10,\"Avg:\",10\r\n"
        "\"Low Sell:\",0,\"Hi sell:\",0,\"Avg:\",\"N/A\"\r\n"
        "\"IRR:\"," +
        PlainSingle(f.h.listing->Rate) + "\r\n";
    EXPECT_EQ(text, expected);
    EXPECT_NEAR(f.h.listing->Rate, annual, 1e-5);
}

// The note on suspect records closes the file after an empty line.
TEST(ListingTextFile, ClosingNoteOnSuspectRecords)
{
    FileListing f(20100701);
    f.h.useLedger("s.dat", {{20100101, "Buy", 1000, 10, 0}, {20100301, "", 0, 0, 0}});
    EXPECT_TRUE(f.run().endsWith(
        "\"Avg:\",\"N/A\"\r\n\"IRR:\",0\r\n\r\n\"Records were found and flagged in the far right "
        "column, that appear to be incomplete, ambiguous, or have arithmetic errors.\"\r\n"));
}

TEST(ListingTextFile, PortfolioSummary)
{
    FileListing f(20100701);
    WriteLedger(f.h.path("a.dat"), {{20100101, "Buy", 1000, 10, 0}});
    WriteLedger(f.h.path("b.dat"), {{20100301, "Buy", 500, 5, 0}, {20100401, "Cash", -20, 0, 0}});
    Portfolio portfolio(f.h.files);
    portfolio.CurrentPortfolio = QStringLiteral("folio.def");
    portfolio.PortfolioFiles = {QString(), f.h.path("a.dat"), f.h.path("b.dat")};
    portfolio.PortfolioDescriptions = {QString(), QStringLiteral("First"),
                                       QStringLiteral("Second")};
    f.h.input.answers = {QStringLiteral("11"), QStringLiteral("6")};
    const QByteArray text = f.run(&portfolio);

    // Each file ends with an empty line; then the summary of the portfolio.
    EXPECT_EQ(text.count("\"File:\""), 2);
    EXPECT_TRUE(
        text.contains("\"Low Sell:\",0,\"Hi sell:\",0,\"Avg:\",\"N/A\"\r\n\r\n"
                      "\"7/1/2010 Brisden 6.00 12:00:00 PM\"\r\n\"File:\""));
    const QByteArray summary =
        "\"Portfolio summary:\"\r\n"
        "\"Portfolio: folio.def\"\r\n"
        "\r\n"
        "\"Tot. Val:\",1700\r\n"
        "\"Pkt Cst:\",1500,\"Tot Cst:\",1500\r\n"
        "\"Cash dst:\",-20,\"Sales:\",0\r\n"
        "\"Gain:\",220\r\n"
        "\r\n"
        "\"IRR:\",";
    ASSERT_TRUE(text.contains(summary));
    EXPECT_FALSE(text.contains("Records were found"));
}

TEST(ListingTextFile, CancelledRunAndTheListingWindowInTheHeading)
{
    FileListing f(20100701);
    f.h.useLedger("c.dat", {{20100101, "Buy", 1000, 10, 0}, {20100201, "Buy", 1000, 10, 0}});
    f.h.setRange(12312009, 13452013);  // the second limit is no date: open
    f.h.cancel = FakeCancel(1);
    const QByteArray text = f.run();
    EXPECT_TRUE(text.contains("\"Mask:\",12312009,99999999,"));
    EXPECT_TRUE(text.endsWith("\"P\"\r\n\"Cancelled\"\r\n"));
    EXPECT_FALSE(text.contains("IRR"));
    EXPECT_FALSE(text.contains("Pkt Cst"));
}

}  // namespace
