// The listing on a printed page, read back from a character grid (one
// column per character, 80 to a portrait page, 132 to a landscape page).

#include "analysis/ListingHarness.h"
#include "analysis/ListingPrinter.h"
#include "report/PageComposer.h"
#include "report/TextGridSurface.h"

namespace brisden::test {
namespace {

struct PrintedListing {
    explicit PrintedListing(int orientation, int linesPerPage = 0)
        : composer(h.report, QStringLiteral("Brisden 6.00"), QLocale(QLocale::English, QLocale::UnitedStates))
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
    EXPECT_EQ(pages[0].mid(1),
              (QStringList{
          "                              Portfolio: funds.def                       Page 1",
          "                                   Growth fund",
          "",
          "Date mask: 0 to 99999999        Share -------Balance------- Return on Investment",
          "Date   Desc        Amount       Price    Shares      Value    Per  Cumul Avg Ann",
          "",
          "1/4/10  Buy       1,000.00      10.00    100.000   1,000.00",
          "6/1/10  Price          .00      12.00    100.000   1,200.00   .200   .200   .568",
          "1/10/11 Value Today             13.00    100.000   1,300.00   .083   .300   .295",
          "Out of pocket costs = $1,000.00, Total purchases = $1,000.00",
          "Cash distributions = $0.00, Sales = $0.00",
          "Realized + Unrealized Gain = $300.00",
          " Low Buy price = $10.00, High = $10.00, Average = $10.00",
          "Low Sell price = $0.00, High = $0.00, Average = N/A",
          "",
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
        many.push_back({20000101 + (i / 28) * 10000 + (i % 12) * 100 + 1 + i % 28, "Buy", 10, 1, 0});
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
    const int note = PrintedListing::find(page, QStringLiteral("note"));
    ASSERT_GT(note, 0);
    EXPECT_EQ(126, page[note].indexOf(QStringLiteral("Err")));
    EXPECT_EQ(126, page[note - 1].indexOf(QLatin1Char('P')));
    const int flagged = PrintedListing::find(page, QStringLiteral("Records were found and flagged"));
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
    EXPECT_EQ(pages[0].mid(4, 5),
              (QStringList{
          "Date mask: 1012010 to 12312010  Share -------Balance------- Return on Investment",
          "Date   Desc        Amount       Price    Shares      Value    Per  Cumul Avg Ann",
          "",
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
    portfolio.PortfolioDescriptions = {QString(), QStringLiteral("Fund A"), QStringLiteral("Fund B")};
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
}  // namespace brisden::test
