// The listing engine on hand-built ledgers and portfolios: rows, summaries,
// the rate of return and its flows; the listing as a report file and on a
// printed page.

#include "ListingHarness.h"

#include "analysis/ListingPrinter.h"
#include "analysis/ListingTextFile.h"
#include "analysis/RateFlows.h"
#include "report/PageComposer.h"
#include "report/ReportFile.h"
#include "report/TextGridSurface.h"
#include "data/NumberText.h"

#include <gtest/gtest.h>

#include <QFile>
#include <cmath>

using namespace brisden;
using namespace brisden::test;

namespace {

using Flows = std::vector<std::pair<double, std::int32_t>>;

// A year of monthly purchases of 10 shares at 11, 12, ... 22, two
// reinvestments, a partial sale and a cash distribution; valued at 25 today.
TEST(Listing, YearLedgerRowsSummaryValuationAndRate)
{
    ListingHarness h(DestinationFile, 20110110);
    std::vector<Tx> records;
    for (int m = 1; m <= 12; ++m)
        records.push_back({20100001 + m * 100, "Buy", 10.0 * (10 + m), 10.0 + m, 0});
    records.push_back({20100615, "Reinvest", 0, 16, 2});
    records.push_back({20100920, "Sale", -190, 19, 10});
    records.push_back({20101010, "Cash div", -25, 0, 0});
    records.push_back({20101215, "Reinvest", 0, 22, 3});
    h.useLedger("year.dat", records, QStringLiteral("Year fund"));
    h.input.answers.push_back(QStringLiteral("25"));
    const QByteArray before = ReadAll(h.path("year.dat"));
    h.run();
    ASSERT_EQ(h.output.files.size(), 1u);
    const auto& rows = h.output.files[0].rows;
    ASSERT_EQ(rows.size(), 17u);  // 16 records and the closing valuation
    QString codes;
    for (const ListingRow& row : rows)
        codes += row.Code.isEmpty() ? QStringLiteral("-") : row.Code;
    EXPECT_EQ(codes, "PPPPPPRPPPSPDPPRU");
    EXPECT_DOUBLE_EQ(rows[15].ShareBalance, 115);
    EXPECT_EQ(h.listing->FirstSuspectRow, -1);
    EXPECT_EQ(SummaryText(*h.output.files[0].summary),
              "1980 2078 -25 -190 1110 | 11 22 16.624 | 19 19 19");
    EXPECT_FALSE(h.output.portfolio);  // single file: no portfolio summary

    // The closing valuation at the price typed for today.
    ASSERT_EQ(h.input.asked.size(), 1u);
    EXPECT_EQ(h.input.asked[0].prompt, "Input the current share price for: Year fund");
    EXPECT_EQ(h.input.asked[0].defaultText, "22");  // the last known price
    const ListingRow& closing = rows.back();
    EXPECT_EQ(closing.TransDate, 20110110);
    EXPECT_EQ(closing.Desc, "Today");
    EXPECT_DOUBLE_EQ(closing.SharePrice, 25);
    EXPECT_DOUBLE_EQ(closing.Value, 2875);
    EXPECT_TRUE(h.logLines.contains(
        "Inputted share price of 25 will be used to calculate current values."));
    // 16 record slots and one terminal slot.
    EXPECT_EQ(h.listing->CashFlows.size(), 18u);
    EXPECT_DOUBLE_EQ(h.listing->CashFlows[17].Amount, -2875);
    EXPECT_EQ(h.listing->CashFlows[17].DayNumber, Day(20110110));
    h.file.close();
    EXPECT_EQ(ReadAll(h.path("year.dat")), before);  // a listing never writes the file

    // A file listing logs its range.
    ASSERT_TRUE(h.file.open(h.path("year.dat")));
    h.logLines.clear();
    h.setRange(2012010, 12312010);
    h.run();
    EXPECT_EQ(h.logLines.value(0),
              "Listing file " + h.path("year.dat") + " using date range 20100201 to 20101231.");
    EXPECT_TRUE(h.notices.notices.contains(h.logLines.value(0).chopped(1)));
}

// A range that starts after the first purchase brings the holding in at its
// value: on the day before a record, with that record; on a record's day,
// from the value after it.
TEST(Listing, TheHoldingIsBroughtIntoTheRangeAtItsValue)
{
    const struct {
        std::int32_t fromMdy, toMdy;
        double invested;  // what the first row after the start is measured from
        int days;         // ...and how far back
        const char* summary;
        RateFlowKind opening;
    } cases[] = {
        {6012010, 0, 2100, 92, "2100 2100 0 0 280 | 15 15 15 | 0 0 N/A",
         RateFlowKind::OpeningValue},
        {5312010, 99999999, 1800, 93, "1800 1800 0 0 580 | 12 15 12.8571428571 | 0 0 N/A",
         RateFlowKind::OpeningValueAndTransaction},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fromMdy);
        ListingHarness h(DestinationFile, 20101201);
        h.useLedger("window.dat", {{20100101, "Buy", 1000, 10, 0},
                                   {20100301, "Price", 0, 12, 0},
                                   {20100601, "Buy", 600, 15, 0},
                                   {20100901, "Price", 0, 16, 0}});
        h.input.answers.push_back(QStringLiteral("17"));
        h.setRange(c.fromMdy, c.toMdy);
        h.run();
        const auto& rows = h.output.files.at(0).rows;
        ASSERT_EQ(rows.size(), 3u);
        const float growth = float((2240.0 - c.invested) / c.invested);
        EXPECT_FLOAT_EQ(rows[1].PeriodROI, growth);
        EXPECT_FLOAT_EQ(rows[1].CumulativeROI, growth);
        EXPECT_FLOAT_EQ(rows[1].AnnualROI,
                        float(std::pow(2240.0 / c.invested, double(float(365.25 / c.days))) - 1));
        EXPECT_EQ(SummaryText(*h.output.files[0].summary), QLatin1String(c.summary));
        EXPECT_DOUBLE_EQ(h.listing->CashFlows[3].Amount, c.invested);
        // The flows behind the rate: the holding brought in, 140 shares at 17 today.
        const auto flows = ListRateFlows(h.listing->CashFlows, h.listing->RateTrail);
        ASSERT_EQ(flows.size(), 2u);
        EXPECT_EQ(flows[0].Kind, c.opening);
        EXPECT_DOUBLE_EQ(flows[0].Amount, c.invested);
        EXPECT_EQ(flows[1].Kind, RateFlowKind::TerminalValue);
        EXPECT_DOUBLE_EQ(flows[1].Amount, -140 * 17);
        EXPECT_NEAR(RateFlowsFutureValue(flows, h.listing->Rate), 0, 1e-5 * 4400);
        if (c.toMdy != 0)
            continue;
        EXPECT_EQ(rows[0].TransDate, 20100601);
        EXPECT_EQ(rows[0].PeriodROI, 0.0f);
        // The records before the range are no cash flows.
        EXPECT_EQ(h.listing->CashFlows[1].Amount, 0);
        EXPECT_EQ(h.listing->CashFlows[2].Amount, 0);
        EXPECT_EQ(h.report.ListToDate, 99999999);  // the open limit is reset
    }
}

TEST(Listing, SellingEverythingEndsWithoutAValuation)
{
    ListingHarness h(DestinationScreen, 20110110);
    h.useLedger("sold.dat", {{20100101, "Buy", 1000, 10, 0}, {20100601, "Sell", -1500, 15, 100}});
    h.priceBox.setText(QStringLiteral("12"));
    h.run(nullptr, true);
    const auto& rows = h.output.files.at(0).rows;
    ASSERT_EQ(rows.size(), 2u);  // no "Today" row
    EXPECT_EQ(rows[1].Code, "S");
    EXPECT_EQ(rows[1].ShareBalance, 0);
    EXPECT_FLOAT_EQ(rows[1].PeriodROI, 0.5f);
    EXPECT_FLOAT_EQ(rows[1].CumulativeROI, 0.5f);
    EXPECT_FLOAT_EQ(rows[1].AnnualROI, float(std::pow(1.5, double(float(365.25 / 151))) - 1));
    EXPECT_FALSE(h.priceBox.enabled());  // shows "N/A"
    EXPECT_EQ(SummaryText(*h.output.files[0].summary),
              "1000 1000 0 -1500 500 | 10 10 10 | 15 15 15");
    EXPECT_NEAR(*h.output.rate,
                BisectRate({{1000, Day(20100101)}, {-1500, Day(20100601)}}, Day(20100601)), 1e-5);
}

TEST(Listing, ScreenTakesTheShownFilesPriceFromThePriceBox)
{
    ListingHarness h(DestinationScreen, 20110110);
    h.useLedger("box.dat", {{20100101, "Buy", 1000, 10, 0}});
    h.priceBox.setText(QStringLiteral("17.5"));
    h.run(nullptr, true);
    EXPECT_DOUBLE_EQ(h.output.closingRow()->Value, 1750);
    EXPECT_TRUE(h.priceBox.enabled());
    EXPECT_TRUE(h.logLines.isEmpty());  // the screen logs none of its listing
    EXPECT_EQ(h.output.finishedWith, -1);

    // A German user types and reads "27,81", and the listing after the
    // refresh reads back 27.81, not 27; a price typed with a point still
    // counts by its leading number.
    h.calendar.locale = QLocale(QLocale::German, QLocale::Germany);
    auto lastPrice = [&h] { return h.output.closingRow(h.output.files.size() - 1)->SharePrice; };
    for (const char* typed : {"27,8100", "27.81"}) {
        h.priceBox.setText(QLatin1String(typed));
        h.run(nullptr, true);
        EXPECT_DOUBLE_EQ(lastPrice(), 27.81) << typed;
        h.run(nullptr, true);
        EXPECT_DOUBLE_EQ(lastPrice(), 27.81) << typed;
    }
    EXPECT_EQ(h.priceBox.text(), "27.81");
    h.priceBox.setText(QStringLiteral("27,8100"));
    h.run(nullptr, true);
    EXPECT_EQ(h.priceBox.text(), "27,81");
}

TEST(Listing, NoCurrentPrice)
{
    ListingHarness screen(DestinationScreen, 20110110);
    screen.useLedger("np.dat", {{20100101, "Buy", 1000, 10, 0}});
    screen.priceBox.setText(QStringLiteral("N/A"));
    screen.run(nullptr, true);
    EXPECT_DOUBLE_EQ(screen.output.closingRow()->Value, 0);
    EXPECT_EQ(screen.messages.texts(), QStringList{listing_text::NoSharePrice()});
    EXPECT_EQ(screen.priceBox.selects(), 1);
    EXPECT_EQ(screen.logLines, QStringList{listing_text::NoSharePrice() + "."});
    EXPECT_TRUE(screen.notices.notices.isEmpty());  // logged without display
    EXPECT_DOUBLE_EQ(screen.output.files[0].summary->Gain, -1000);

    ListingHarness file(DestinationFile, 20110110);
    file.useLedger("np.dat", {{20100101, "Buy", 1000, 10, 0}});
    file.input.answers.push_back(QStringLiteral("abc"));  // not a number
    file.run();
    EXPECT_TRUE(file.messages.shown.empty());
    EXPECT_TRUE(file.notices.notices.contains(listing_text::NoSharePrice()));
    EXPECT_TRUE(file.logLines.contains(
        "Inputted share price of 0 will be used to calculate current values."));

    ListingHarness cancelled(DestinationFile, 20110110);
    cancelled.useLedger("np.dat", {{20100101, "Buy", 1000, 10, 0}});
    cancelled.input.answers.push_back(std::nullopt);
    cancelled.run();
    EXPECT_EQ(cancelled.output.closingRow()->SharePrice, 0);
}

TEST(Listing, NoRecordInRangeNoneAtAllOrACancelledRunGiveNoSummaryNorRate)
{
    ListingHarness h(DestinationFile, 20110110);
    h.useLedger("none.dat", {{20100101, "Buy", 1000, 10, 0}});
    h.setRange(6012010, 0);
    h.run();
    EXPECT_TRUE(h.output.files.at(0).rows.empty());
    EXPECT_FALSE(h.output.files[0].summary);
    EXPECT_FALSE(h.output.rate);  // no end day
    EXPECT_TRUE(h.logLines.contains("No transactions available for " + h.path("none.dat") + "."));

    ListingHarness empty(DestinationFile, 20110110);
    empty.useLedger("empty.dat", {});
    empty.run();
    EXPECT_TRUE(empty.output.files.at(0).rows.empty());
    EXPECT_FALSE(empty.output.rate);

    // Escape: what was listed stays, without a summary nor a rate.
    ListingHarness c(DestinationFile, 20110110);
    c.useLedger("c.dat", {{20100101, "Buy", 1000, 10, 0}, {20100201, "Buy", 1000, 10, 0}});
    c.cancel = FakeCancel(1);
    c.run();
    EXPECT_EQ(c.output.files.at(0).rows.size(), 1u);
    EXPECT_FALSE(c.output.files[0].summary);
    EXPECT_TRUE(c.output.wasCancelled);
    EXPECT_FALSE(c.output.rate);
    EXPECT_TRUE(c.listing->RunCancelled);
    EXPECT_EQ(c.messages.beeps, 1);
    EXPECT_TRUE(c.logLines.contains("Escape key was hit."));
    EXPECT_TRUE(c.logLines.contains(listing_text::Cancelled() + "."));

    ListingHarness screen(DestinationScreen, 20110110);
    screen.useLedger("c.dat", {{20100101, "Buy", 1000, 10, 0}});
    screen.cancel = FakeCancel(0);
    screen.run();
    EXPECT_EQ(screen.messages.texts(), QStringList{listing_text::Cancelled()});
    EXPECT_FALSE(screen.logLines.contains("Escape key was hit."));
}

// Three files of a portfolio, listed in description order; Charlie's price
// is typed with every digit.
struct ThreeFiles {
    ThreeFiles()
    {
        WriteLedger(h.path("a.dat"),
                    {{20090105, "Buy", 500, 10, 0}, {20100105, "Price", 0, 11, 0}});
        WriteLedger(h.path("b.dat"), {{20090601, "Buy", 1000, 20, 0},
                                      {20091201, "Cash", -30, 0, 0},
                                      {20100601, "Sell", -440, 22, 20}});
        WriteLedger(h.path("c.dat"), {{20080301, "Buy", 2000, 40, 0},
                                      {20081001, "Reinvest", 0, 36, 2},
                                      {20100301, "Price", 0, 41, 0}});
        QByteArray def = "\"Portfolio definition file\"\r\n";
        for (const auto& [file, desc] :
             {std::pair{"a.dat", "Charlie"}, {"b.dat", "alpha"}, {"c.dat", "Bravo"}})
            def += '"' + h.path(QLatin1String(file)).toLatin1() + "\"\r\n\"" + desc + "\"\r\n";
        WriteAll(h.path("p.def"), def);
        portfolio.CurrentPortfolio = h.path("p.def");
        EXPECT_TRUE(portfolio.LoadPortfolio(true));
        for (const char* price : {"25", "45", "12.3456789012345"})
            h.input.answers.push_back(QString::fromLatin1(price));
    }
    QStringList descriptions() const
    {
        QStringList list;
        for (const auto& f : h.output.files)
            list << f.info.Description;
        return list;
    }
    ListingHarness h{DestinationFile, 20110110};
    Portfolio portfolio{h.files};
};

TEST(ThreeFilePortfolio, ListsEveryFileInOrderWithTheTotalsFlowsAndRateOfTheWhole)
{
    ThreeFiles t;
    ListingHarness& h = t.h;
    h.run(&t.portfolio);
    EXPECT_EQ(t.descriptions(), (QStringList{"alpha", "Bravo", "Charlie"}));
    EXPECT_TRUE(h.output.files[0].info.FirstFile);
    EXPECT_FALSE(h.output.files[2].info.FirstFile);
    EXPECT_EQ(h.output.endFiles, 3);
    ASSERT_EQ(h.input.asked.size(), 3u);
    EXPECT_EQ(h.input.asked[1].prompt, "Input the current share price for: Bravo");
    EXPECT_EQ(h.output.files[2].info.PortfolioPath, h.path("p.def"));

    ASSERT_TRUE(h.output.portfolio);
    const double charlie = 50 * 12.3456789012345;
    EXPECT_NEAR((*h.output.portfolio)[0], 750 + 2340 + charlie, 1e-9);  // the value today

    // The flows behind the rate, as CSV with the years left out: the records
    // that moved money, then each file's holding paid back today, every digit
    // kept; texts quoted.
    ASSERT_TRUE(h.listing->RateComputed);
    std::vector<RateFlow> flows = ListRateFlows(h.listing->CashFlows, h.listing->RateTrail);
    flows[0].Description = QStringLiteral("Fund \"A\", class 1");
    const QString csv = QString::fromUtf8(RateFlowsCsv(flows));
    ASSERT_TRUE(csv.endsWith("\r\n"));
    QStringList lines = csv.chopped(2).split("\r\n");
    EXPECT_EQ(lines.value(1).section(u',', 2, 2), QString::fromLatin1(PlainSingle(flows[0].Years)));
    for (QString& line : lines)
        line = line.section(u',', 0, 1) + ',' + line.section(u',', 3);
    const QString a = "\"" + h.path("a.dat") + "\",\"", b = "\"" + h.path("b.dat") + "\",\"",
                  c = "\"" + h.path("c.dat") + "\",\"";
    EXPECT_EQ(lines, (QStringList{"Date,Amount,Kind,File,Description",
                                  "2009-06-01,1000,\"record\"," + b + "Fund \"\"A\"\", class 1\"",
                                  "2009-12-01,-30,\"record\"," + b + "alpha\"",
                                  "2010-06-01,-440,\"record\"," + b + "alpha\"",
                                  "2011-01-10,-750,\"terminal value\"," + b + "alpha\"",
                                  "2008-03-01,2000,\"record\"," + c + "Bravo\"",
                                  "2011-01-10,-2340,\"terminal value\"," + c + "Bravo\"",
                                  "2009-01-05,500,\"record\"," + a + "Charlie\"",
                                  "2011-01-10," + PlainNumber(-charlie) + ",\"terminal value\"," +
                                      a + "Charlie\""}));
    Flows bisect;
    for (const RateFlow& f : flows)
        bisect.push_back({f.Amount, Day(f.Date)});
    const std::int32_t today = Day(20110110);
    ASSERT_TRUE(h.output.rate);
    EXPECT_NEAR(*h.output.rate, BisectRate(bisect, today), 1e-5);
    EXPECT_EQ(h.listing->RateTrail.EndDay, today);
    EXPECT_EQ(h.listing->RateTrail.Rate, h.listing->Rate);
    // Carried to the end day at the rate the flows cancel out, at another rate not.
    EXPECT_NEAR(RateFlowsFutureValue(flows, h.listing->Rate), 0, 1e-5 * 7700);
    EXPECT_GT(std::fabs(RateFlowsFutureValue(flows, h.listing->Rate + 0.01)), 1e-3 * 7700);
    // Each file's records and its terminal slot, after the unused slot 0.
    EXPECT_EQ(h.listing->CashFlows.size(), std::size_t(1 + 4 + 4 + 3));
}

// An empty second entry ends the list; a file that cannot be opened is
// passed over; Escape stops the run.
TEST(ThreeFilePortfolio, EndsAtAnEmptyEntryPassesOverMissingFilesAndStopsOnEscape)
{
    {
        ThreeFiles t;
        t.portfolio.PortfolioFiles[2].clear();
        t.h.run(&t.portfolio);
        EXPECT_EQ(t.descriptions(), QStringList{"alpha"});
        EXPECT_DOUBLE_EQ((*t.h.output.portfolio)[0], 750);
    }
    {
        ThreeFiles t;
        t.portfolio.PortfolioFiles[1] = t.h.path("missing.dat");
        t.h.run(&t.portfolio);
        EXPECT_EQ(t.descriptions(), (QStringList{"Bravo", "Charlie"}));
        EXPECT_TRUE(t.h.messages.texts().contains(
            "This file has been moved or deleted, or it's name has been changed."));
        EXPECT_TRUE(t.h.output.rate);
    }
    ThreeFiles t;
    t.h.cancel = FakeCancel(4);  // alpha's three records, then one of Bravo's
    t.h.run(&t.portfolio);
    ASSERT_EQ(t.h.output.files.size(), 2u);
    EXPECT_TRUE(t.h.output.files[0].summary);
    EXPECT_FALSE(t.h.output.files[1].summary);
    EXPECT_EQ(t.h.output.endFiles, 2);
    EXPECT_TRUE(t.h.output.wasCancelled);
    EXPECT_FALSE(t.h.output.portfolio);
    EXPECT_FALSE(t.h.output.rate);
    EXPECT_FALSE(t.h.listing->RateComputed);
    EXPECT_TRUE(ListRateFlows(t.h.listing->CashFlows, t.h.listing->RateTrail).empty());
}

// The listing written as a report file.

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

// The listing on a printed page, read back from a character grid (one
// column per character, 80 to a portrait page, 132 to a landscape page).

struct PrintedListing {
    explicit PrintedListing(int orientation, int linesPerPage = 0)
        : composer(h.report, QStringLiteral("Brisden 6.00"),
                   QLocale(QLocale::English, QLocale::UnitedStates))
    {
        h.calendar.locale = composer.locale();
        TextGridSurface::Options o;
        o.orientation = orientation;
        if (orientation == 2)
            o.page = PageMetrics{14.0, 8.5, 0.4, 0.25, 13.2, 8.0};
        surface = std::make_unique<TextGridSurface>(o);
        composer.PreparePrintSurface(*surface);
        composer.setSurface(surface.get());
        composer.ApplyScale();
        h.report.ReportDestination = DestinationPrinter;
        h.report.ReportTitle = QStringLiteral("Portfolio: funds.def");
        printer = std::make_unique<ListingPrinter>(composer, h.calendar, linesPerPage, 0);
    }
    std::vector<QStringList> run(const Portfolio* portfolio = nullptr)
    {
        h.run(portfolio, false, printer.get());
        surface->EndDoc();
        return surface->pages();
    }
    // The first line of a page that contains text, and its index.
    static int find(const QStringList& page, const QString& text)
    {
        for (int i = 0; i < page.size(); ++i)
            if (page[i].contains(text))
                return i;
        return -1;
    }

    ListingHarness h{DestinationPrinter, 20110110};
    PageComposer composer;
    std::unique_ptr<TextGridSurface> surface;
    std::unique_ptr<ListingPrinter> printer;
};

TEST(ListingPrinter, PortraitPageHasHeaderHeadingRowsAndSummary)
{
    PrintedListing p(1);
    p.h.useLedger("fund.dat", {{20100104, "Buy", 1000, 10, 0}, {20100601, "Price", 0, 12, 0}},
                  QStringLiteral("  Growth fund  "));
    p.h.input.answers.push_back(QStringLiteral("13"));
    const auto pages = p.run();
    ASSERT_EQ(1u, pages.size());
    // Under the header (its first line holds the time): the heading, one
    // row a record (a purchase shows no returns), the closing row, the summary.
    EXPECT_EQ(
        pages[0].mid(1),
        (QStringList{
            "                              Portfolio: funds.def                       Page 1",
            "                                   Growth fund", "",
            "Date mask: 0 to 99999999        Share -------Balance------- Return on Investment",
            "Date   Desc        Amount       Price    Shares      Value    Per  Cumul Avg Ann", "",
            "1/4/10  Buy       1,000.00      10.00    100.000   1,000.00",
            "6/1/10  Price          .00      12.00    100.000   1,200.00   .200   .200   .568",
            "1/10/11 Value Today             13.00    100.000   1,300.00   .083   .300   .295",
            "Out of pocket costs = $1,000.00, Total purchases = $1,000.00",
            "Cash distributions = $0.00, Sales = $0.00", "Realized + Unrealized Gain = $300.00",
            " Low Buy price = $10.00, High = $10.00, Average = $10.00",
            "Low Sell price = $0.00, High = $0.00, Average = N/A", "",
            "Internal Rate of Return = 0.295"}));
}

TEST(ListingPrinter, CountedLinesBreakPagesWithAHeaderOnEach)
{
    PrintedListing p(1, 4);
    p.h.useLedger("many.dat", {{20100104, "Buy", 1000, 10, 0},
                               {20100201, "Buy", 1000, 10, 0},
                               {20100301, "Buy", 1000, 10, 0},
                               {20100401, "Buy", 1000, 10, 0},
                               {20100501, "Buy", 1000, 10, 0},
                               {20100601, "Buy", 1000, 10, 0}});
    p.h.input.answers.push_back(QStringLiteral("11"));
    const auto pages = p.run();
    // Three rows a page; the closing row needs two lines and keeps one free.
    ASSERT_EQ(3u, pages.size());
    for (std::size_t i = 0; i < pages.size(); ++i) {
        EXPECT_EQ(PageText(int(i) + 1), pages[i][1].right(6)) << i;
        EXPECT_TRUE(pages[i][4].startsWith(QStringLiteral("Date mask:"))) << i;
    }
    EXPECT_EQ(9, PrintedListing::find(pages[0], QStringLiteral("3/1/10")));
    EXPECT_EQ(7, PrintedListing::find(pages[1], QStringLiteral("4/1/10")));
    EXPECT_EQ(7, PrintedListing::find(pages[2], QStringLiteral("Value Today")));
}

TEST(ListingPrinter, MeasuredPagesBreakAtTheLastLine)
{
    PrintedListing p(1);
    std::vector<Tx> many;
    for (int i = 0; i < 120; ++i)
        many.push_back(
            {20000101 + (i / 28) * 10000 + (i % 12) * 100 + 1 + i % 28, "Buy", 10, 1, 0});
    p.h.useLedger(QStringLiteral("long.dat"), many);
    p.h.input.answers.push_back(QStringLiteral("1"));
    const auto pages = p.run();
    // 63 lines to a page of 10.5 inches: every page is filled to its last line.
    ASSERT_EQ(3u, pages.size());
    EXPECT_EQ(63, pages[0].size());
    EXPECT_EQ(63, pages[1].size());
}

TEST(ListingPrinter, LandscapeMarksSuspectRowsAndAddsTheNote)
{
    PrintedListing p(2);
    p.h.useLedger("sus.dat", {{20100101, "Buy", 1000, 10, 0}, {20100115, "note", 0, 0, 0}});
    p.h.input.answers.push_back(QStringLiteral("10"));
    const auto pages = p.run();
    ASSERT_EQ(1u, pages.size());
    const QStringList& page = pages[0];
    EXPECT_EQ(QStringLiteral("Page 1"), page[1].right(6));
    EXPECT_EQ(131, page[1].size());
    EXPECT_EQ(page.mid(4, 2),
              (QStringList{"Date mask: 0 to 99999999                   Share         Shares   "
                           "       Share                      ROI       ROI       ROI  Rec",
                           "  Date    Desc:            Amount          Price      This Tran   "
                           "     Balance          Value    Period     Cumul   Avg Ann  Typ"}));
    const int note = PrintedListing::find(page, QStringLiteral("note"));
    ASSERT_GT(note, 0);
    EXPECT_EQ(126, page[note].indexOf(QStringLiteral("Err")));
    EXPECT_EQ(126, page[note - 1].indexOf(QLatin1Char('P')));
    const int flagged =
        PrintedListing::find(page, QStringLiteral("Records were found and flagged"));
    ASSERT_GT(flagged, 0);
    EXPECT_TRUE(page[flagged - 1].isEmpty());
    EXPECT_EQ(QStringLiteral("that appear to be incomplete, ambiguous, or have arithmetic errors."),
              page[flagged + 1]);
}

TEST(ListingPrinter, TextDevicePrintsFixedColumns)
{
    PrintedListing p(0);
    p.h.useLedger("fix.dat", {{20100104, "Buy", 1000, 10, 0}, {20100601, "Price", 0, 12, 0}});
    p.h.setRange(1012010, 12312010);
    const auto pages = p.run();
    ASSERT_EQ(1u, pages.size());
    // Tab stops in fixed columns; the date from column 2 without its leading
    // 0; amounts end where their mask ends.
    EXPECT_EQ(
        pages[0].mid(4, 5),
        (QStringList{
            "Date mask: 1012010 to 12312010  Share -------Balance------- Return on Investment",
            "Date   Desc        Amount       Price    Shares      Value    Per  Cumul Avg Ann", "",
            " 10410 Buy        1,000.00      10.00    100.000   1,000.00",
            " 60110 Price                    12.00    100.000   1,200.00   .200   .200   .554"}));
}

TEST(ListingPrinter, PortfolioRunStartsEachFileOnItsOwnPagesAndEndsWithTheSummary)
{
    PrintedListing p(1);
    WriteLedger(p.h.path(QStringLiteral("a.dat")), {{20100104, "Buy", 1000, 10, 0}});
    WriteLedger(p.h.path(QStringLiteral("b.dat")), {{20100104, "Buy", 500, 5, 0}});
    Portfolio portfolio(p.h.files);
    portfolio.CurrentPortfolio = p.h.path(QStringLiteral("p.def"));
    portfolio.PortfolioFiles = {QString(), p.h.path(QStringLiteral("a.dat")),
                                p.h.path(QStringLiteral("b.dat"))};
    portfolio.PortfolioDescriptions = {QString(), QStringLiteral("Fund A"),
                                       QStringLiteral("Fund B")};
    p.h.input.answers = {QStringLiteral("11"), QStringLiteral("6")};
    const auto pages = p.run(&portfolio);
    ASSERT_EQ(3u, pages.size());
    EXPECT_EQ(QStringLiteral("Fund A"), pages[0][2].trimmed());
    EXPECT_EQ(QStringLiteral("Page 1"), pages[1][1].right(6));  // each file counts anew
    EXPECT_EQ(QStringLiteral("Fund B"), pages[1][2].trimmed());
    EXPECT_EQ(QStringLiteral("Portfolio summary"), pages[2][2].trimmed());
    EXPECT_EQ(QStringLiteral("Portfolio summary"), pages[2][4]);
    EXPECT_EQ(QStringLiteral("Value today: $1,700.00"), pages[2][6]);
}

}  // namespace
