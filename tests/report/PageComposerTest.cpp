// The printed reports: page layout read back from a character grid (one
// character is one column, 10 per inch over an 8-inch printable width, one
// grid line one printed line), column layouts, page filling, printer codes.

#include "report/ColumnLayout.h"
#include "report/PageComposer.h"
#include "report/PageFill.h"
#include "report/PrinterCodes.h"
#include "report/ReportNumbers.h"
#include "report/TextGridSurface.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

namespace brisden {
namespace {

const QLocale kUs(QLocale::English, QLocale::UnitedStates);

struct Page {
    explicit Page(int orientation = 1, bool preview = false, std::array<int, 4> margins = {})
        : composer(report, QStringLiteral("Brisden 6.00"), kUs)
    {
        TextGridSurface::Options o;
        o.orientation = orientation;
        o.preview = preview;
        if (orientation == 2) {
            // Landscape: 13.2 printable inches give 132 columns.
            o.page = PageMetrics{14.0, 8.5, 0.4, 0.25, 13.2, 8.0};
        }
        surface = std::make_unique<TextGridSurface>(o);
        composer.setClock([] { return QDateTime(QDate(2011, 1, 10), QTime(14, 5, 9)); });
        composer.Margins = margins;
        composer.PreparePrintSurface(*surface);
        composer.setSurface(surface.get());
        composer.ApplyScale();
    }
    QStringList lines() const { return surface->currentPage(); }

    ReportState report;
    PageComposer composer;
    std::unique_ptr<TextGridSurface> surface;
};

TEST(PageComposer, TabStopsPlaceTextsAndOnlyAnExtraSemicolonKeepsTheLineOpen)
{
    Page p;
    // 999 centres over the whole width; a negative stop ends the text there;
    // a right-aligned text wider than its column starts at the left edge.
    p.composer.PrintTabbedLine(
        {0, -20, 999}, {QStringLiteral("left"), QStringLiteral("right"), QStringLiteral("mids")});
    p.composer.PrintTabbedLine({-3, 30}, {QStringLiteral("toolong"), QStringLiteral("x")});
    p.composer.PrintTabbedLine({0}, {QStringLiteral("open"), QStringLiteral(";")});
    p.surface->Print(QStringLiteral("+more"), true);
    p.composer.PrintTabbedLine({0}, {QStringLiteral("closed"), QStringLiteral("x")});
    p.composer.PrintTabbedLine(
        {0, 10}, {QStringLiteral("a"), QStringLiteral("\r"), QStringLiteral("ignored")});
    p.composer.PrintBlankLines(2);
    p.composer.PrintBlankLines(-1);
    p.surface->Print(QStringLiteral("end"), true);
    EXPECT_EQ((QStringList{"left           right                  mids",
                           "toolong                       x", "open+more", "closed", "a", QString(),
                           QString(), QString(), "end"}),
              p.lines());
    EXPECT_TRUE(LoadColumnLayout(100).tabStops.empty());  // no such layout
}

TEST(PageComposer, HeaderHasThreeLinesWithPageRightAligned)
{
    Page p;
    p.report.ReportTitle = QStringLiteral("Portfolio: funds.def");
    p.report.ReportSubtitle = QStringLiteral("Growth fund");
    p.report.PageNumber = 3;
    p.composer.PrintPageHeader(2);
    // The name centred over 80 columns, the time ending at 79; the subtitle
    // centred with the half column rounded up.
    EXPECT_EQ(p.lines(),
              (QStringList{
                  QString(), QString(),
                  "1/10/11                           Brisden 6.00                       2:05:09 PM",
                  "                              Portfolio: funds.def                       Page 3",
                  "                                   Growth fund"}));
    // Page 0 prints the word and a blank without a digit.
    EXPECT_EQ(QStringLiteral("Page "), PageText(0));
}

TEST(PageComposer, MarginsShiftColumnZeroOnlyBeyondTheUnprintableStrips)
{
    // Sheet 8.5 x 11, printable 8 x 10.5 from (0.25, 0.25).
    Page small(1, false, {100, 100, 200, 200});
    EXPECT_EQ(0, small.composer.y1);  // top margin inside the unprintable strip
    EXPECT_EQ(0, small.composer.x1);
    EXPECT_EQ(80, small.composer.x2);
    EXPECT_DOUBLE_EQ(10.5, small.composer.y2);

    Page wide(1, false, {1000, 500, 1050, 1050});
    EXPECT_DOUBLE_EQ(-0.75, wide.composer.y1);
    EXPECT_DOUBLE_EQ(10.75, wide.composer.y2);
    EXPECT_EQ(-8, wide.composer.x1);  // (1.05 - 0.25) / 8 x 80
    EXPECT_EQ(88, wide.composer.x2);
    EXPECT_DOUBLE_EQ(10.5, wide.composer.PageBottomY);
    // 96 columns (-8 to 88) over 8 inches: column 0 lies 8/96 of the width
    // into the printable area, column 80 as far from its right edge; the
    // first line starts 0.75 inch lower (four lines of a sixth of an inch).
    wide.composer.PrintTabbedLine({0}, {QStringLiteral("x")});
    wide.composer.PrintTabbedLine({-80}, {QStringLiteral("y")});
    const QStringList lines = wide.lines();
    ASSERT_EQ(6, lines.size());
    EXPECT_EQ(7, lines[4].indexOf(QLatin1Char('x')));   // 0.67 inch
    EXPECT_EQ(72, lines[5].indexOf(QLatin1Char('y')));  // ends at 7.33 inches
}

TEST(PageComposer, NewPageOnlyAfterSomethingWasPrinted)
{
    Page p;
    p.composer.StartNewPage();
    EXPECT_EQ(0u, p.surface->pages().size());
    p.surface->Print(QStringLiteral("one"), true);
    p.composer.StartNewPage();
    p.composer.StartNewPage();
    ASSERT_EQ(1u, p.surface->pages().size());
    EXPECT_EQ(QStringList{QStringLiteral("one")}, p.surface->pages()[0]);
    EXPECT_FALSE(p.composer.PreviewOverflow);
}

TEST(PageComposer, PreviewKeepsPagesAndWarnsOnceWhenAPageOverflowed)
{
    Page p(1, true);
    test::FakeMessages messages;
    int shown = 0, closed = 0;
    // 63 lines fit the printable height; 70 overflow the first page.
    for (int i = 0; i < 70; ++i)
        p.surface->Print(QStringLiteral("line"), true);
    p.composer.StartNewPage();
    EXPECT_TRUE(p.composer.PreviewOverflow);
    EXPECT_EQ(1, p.surface->KeptPages());
    p.surface->Print(QStringLiteral("last"), true);
    p.composer.ShowPrintPreview(
        &messages, nullptr, [&] { ++shown; }, [&] { ++closed; });
    EXPECT_EQ(1, shown);
    EXPECT_EQ(0, closed);
    EXPECT_EQ(2, p.surface->KeptPages());
    ASSERT_EQ(1u, messages.shown.size());
    EXPECT_EQ(PreviewOverflowWarning(), messages.shown[0].text);
    EXPECT_EQ(nullptr, p.composer.surface());
}

TEST(PageComposer, TextDeviceHeaderUsesFixedColumnsLikeTheFileHeader)
{
    Page p(0);
    EXPECT_EQ(0, p.composer.x1);
    EXPECT_EQ(80, p.composer.x2);
    p.report.ReportTitle = QStringLiteral("Portfolio: a.def");  // 16 characters
    p.report.ReportSubtitle = QString(90, QLatin1Char('s'));
    p.report.PageNumber = 2;
    p.composer.PrintPageHeader(1);
    // Tab(3), Tab(41 - 6), Tab(71); the title at Tab(41 - 8); the subtitle
    // cut to 80 from Tab(0), column 1.
    const QStringList lines = p.lines();
    EXPECT_EQ(
        lines,
        (QStringList{
            QString(),
            "  1/10/11                         Brisden 6.00                        2:05:09 PM",
            "                                Portfolio: a.def                      Page 2",
            QString(80, QLatin1Char('s'))}));

    const QStringList file = p.composer.FileHeaderLines();
    ASSERT_EQ(4, file.size());
    EXPECT_EQ(lines[1], file[0]);
    EXPECT_EQ(lines[2], file[1]);
    EXPECT_TRUE(file[3].isEmpty());
}

TEST(ReportNumbers, MasksFollowTheirDigitsGroupingAndCurrency)
{
    EXPECT_EQ(QStringLiteral("1,234.50"), FormatMask(1234.5, QStringLiteral("####,###.00"), kUs));
    EXPECT_EQ(QStringLiteral(".50"), FormatMask(0.5, QStringLiteral("####,###.00"), kUs));
    EXPECT_EQ(QStringLiteral("0.000"), FormatMask(0, QStringLiteral("#,###,##0.000"), kUs));
    EXPECT_EQ(QStringLiteral("-12.346"), FormatMask(-12.3456, QStringLiteral("##,###.000"), kUs));
    EXPECT_EQ(QStringLiteral("$1,000.00"), FormatMask(1000, QStringLiteral("$#,###,###.00"), kUs));
    EXPECT_EQ(QStringLiteral("1234567.00"), FormatMask(1234567, QStringLiteral("#######.00"), kUs));
    EXPECT_EQ(QString(), BlankZero(FormatMask(-0.001, QStringLiteral("####,###.00"), kUs), kUs));
    EXPECT_EQ(QStringLiteral("1.234,50"),
              FormatMask(1234.5, QStringLiteral("####,###.00"), QLocale(QLocale::German)));
}

// The text printer's control codes as typed in the preferences, and its questions.
TEST(PrinterCodes, EachPieceIsOneByteByItsLeadingNumberAndMessagesNameThePrinter)
{
    EXPECT_EQ(QByteArray("\x1b\x40"), ParsePrinterCodes(QStringLiteral("27,64")));
    EXPECT_TRUE(ParsePrinterCodes(QString()).isEmpty());
    // Blanks are passed over, trailing text ignored, a piece with no number
    // (an empty one too) is 0, fractions round, the range is a byte's.
    EXPECT_EQ(QByteArray("\x1b\x00\x0d\x00\xff\x02\x00", 7),
              ParsePrinterCodes(QStringLiteral(" 27 ,x,13abc,,300,1.6,-5")));
    // Every byte value comes through, in order.
    QString all;
    QByteArray expected;
    for (int b = 0; b < 256; ++b) {
        all += (b ? QStringLiteral(",") : QString()) + QString::number(b);
        expected.append(char(b));
    }
    EXPECT_EQ(expected, ParsePrinterCodes(all));

    // The questions and messages name the printer.
    EXPECT_EQ(QStringLiteral("Make sure that device Lab 1 is ready, and set up for landscape "
                             "orientation (if necessary)."),
              DeviceReadyQuestion(QStringLiteral("Lab 1"), OrientationLandscape));
    EXPECT_EQ(QStringLiteral("Make sure that device P is ready, and set up for portrait "
                             "orientation (if necessary)."),
              DeviceReadyQuestion(QStringLiteral("P"), OrientationPortrait));
    EXPECT_EQ(QStringLiteral("The chosen printer: P is not available, please try another."),
              PrinterNotAvailableMessage(QStringLiteral("P")));
    EXPECT_EQ(QStringLiteral("Error: The chosen printer, P, doesn't support the orientation "
                             "chosen."),
              PrinterOrientationMessage(QStringLiteral("P")));
}

// Page filling of the printed listing and worksheet.
// Entries at which a new page starts when lines are counted.
std::vector<int> PageStarts(int linesPerPage, int entries)
{
    BasisPageFill fill(linesPerPage);
    std::vector<int> starts;
    for (int e = 1; e <= entries; ++e) {
        if (fill.beforeLine(0, 100)) {
            fill.pageStarted();
            starts.push_back(e);
        }
    }
    return starts;
}

TEST(BasisPageFill, CountedLinesAndBlocksThatNeedRoomForTheirLines)
{
    // The first page at the first entry; the counter is 1 after the heading.
    EXPECT_EQ((std::vector<int>{1, 5, 9}), PageStarts(5, 10));
    EXPECT_EQ((std::vector<int>{1}), PageStarts(38, 30));

    BasisPageFill fill(20);
    fill.beforeLine(0, 0);
    fill.pageStarted();
    for (int i = 0; i < 6; ++i)
        EXPECT_FALSE(fill.beforeLine(0, 0));
    EXPECT_EQ(7, fill.counter());
    // 7 + 3 = 10 lines: 10 \ 17 = 0, the heading fits.
    EXPECT_FALSE(fill.beforeClosing(0, 0, 1));
    // The totals need 11 more: 10 \ 9 = 1, a new page.
    EXPECT_TRUE(fill.beforeTotals(0, 0, 1));
    // Too few lines per page for the block: always a new page.
    BasisPageFill tiny(11);
    tiny.pageStarted();
    EXPECT_TRUE(tiny.beforeTotals(0, 0, 1));
}

TEST(BasisPageFill, WithoutALineCountThePositionDecides)
{
    BasisPageFill fill(0);
    EXPECT_TRUE(fill.beforeLine(0, 10));  // the first page
    fill.pageStarted();
    EXPECT_FALSE(fill.beforeLine(9.5, 10));
    EXPECT_TRUE(fill.beforeLine(10.5, 10));
    EXPECT_FALSE(fill.beforeClosing(6.9, 10, 1));
    EXPECT_TRUE(fill.beforeClosing(7.1, 10, 1));
    EXPECT_TRUE(fill.beforeTotals(-0.9, 10, 1));
    EXPECT_FALSE(fill.beforeTotals(-1.1, 10, 1));
}

// Rows (1-based) at which the listing starts a page; a closing row after
// `rows` ordinary rows when closing is set.
std::vector<int> ListingPageStarts(int linesPerPage, int rows, bool closing)
{
    ListingPageFill fill(linesPerPage);
    fill.beginFile();
    std::vector<int> starts;
    for (int r = 1; r <= rows + (closing ? 1 : 0); ++r) {
        if (fill.beforeRow(closing && r > rows, [](int) { return false; }))
            starts.push_back(r);
    }
    return starts;
}

TEST(ListingPageFill, CountedRowsBreakAtTheLinesPerPageAndPagesNumberForEveryFile)
{
    // The first row starts page 1; the heading counts as a line, so a page
    // of 4 lines holds 3 rows.
    EXPECT_EQ((std::vector<int>{1, 4, 7}), ListingPageStarts(4, 9, false));
    // The closing row counts 2 lines more and keeps one line free: after
    // rows 1 and 2 on a page of 6 the count reaches 2 + 2 = 4 < 5, it fits...
    EXPECT_EQ((std::vector<int>{1}), ListingPageStarts(6, 2, true));
    // ...after row 3 it is 3 + 2 = 5 >= 6 - 1: the closing row starts a page.
    EXPECT_EQ((std::vector<int>{1, 4}), ListingPageStarts(6, 3, true));

    // Measured pages number from one for every file.
    ListingPageFill fill(0);
    int reserveAsked = -1;
    auto past = [&reserveAsked](int reserve) {
        reserveAsked = reserve;
        return true;
    };
    fill.beginFile();
    EXPECT_TRUE(fill.beforeRow(false, past));
    EXPECT_EQ(-1, reserveAsked);  // the first page needs no measuring
    EXPECT_TRUE(fill.firstPage());
    EXPECT_TRUE(fill.beforeRow(true, past));
    EXPECT_EQ(1, reserveAsked);
    EXPECT_EQ(2, fill.pageNumber());
    EXPECT_FALSE(fill.firstPage());
    fill.beginFile();
    EXPECT_TRUE(fill.beforeRow(false, [](int) { return false; }));
    EXPECT_EQ(1, fill.pageNumber());
}

}  // namespace
}  // namespace brisden
