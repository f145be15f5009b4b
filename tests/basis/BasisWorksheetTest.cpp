// Worksheets worked out by hand, the holding-period boundary, the dynamic
// orders, small remainders, overselling, the date window and the closing;
// the worksheet as a report file and on a printed page.

#include "BasisTestUtil.h"
#include "basis/BasisPrinter.h"
#include "report/PageComposer.h"
#include "report/TextGridSurface.h"
#include "support/TestSupport.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <limits>

namespace brisden::test {
namespace {

// Records after the "Remaining"," Basis:" heading.
QList<QStringList> Closing(const QByteArray& text)
{
    const QList<QStringList> body = WorksheetBody(text);
    for (qsizetype i = 0; i < body.size(); ++i)
        if (body[i].value(0) == QLatin1String("\"Remaining\""))
            return body.mid(i + 1);
    return {};
}

// The lines of the sale on `date` (its first line and the undated lines after
// it), from the shares on: shares, adjustment, basis, gain, term, mark.
QStringList SaleLines(const QByteArray& text, const char* date)
{
    QStringList sale;
    for (const QStringList& r : WorksheetBody(text)) {
        const bool first = r.value(0) == QLatin1String(date) && r.value(2).toDouble() < 0;
        if (first || (!sale.isEmpty() && r.size() == 9 && r[0] == "\"\"" && r[1] == "\"\""))
            sale << r.mid(3).join(u',');
        else if (!sale.isEmpty())
            break;
    }
    return sale;
}

class BasisLedger : public ::testing::Test {
protected:
    QString Write(const std::vector<Tx>& records)
    {
        return WriteLedger(dir.filePath(QStringLiteral("l%1.dat").arg(++count)), records);
    }
    static WorksheetRun Run(const QString& path, std::int32_t today, int method = 1)
    {
        WorksheetOptions options;
        options.method = method;
        options.todayYmd = today;
        return RunWorksheet(path, options);
    }
    static QStringList Sale(const QString& path, std::int32_t today, int method, const char* date)
    {
        return SaleLines(Run(path, today, method).text, date);
    }
    QTemporaryDir dir;
    int count = 0;
};

// The whole worksheet after its heading, one line per record.
QString Body(const QByteArray& text)
{
    QStringList lines;
    for (const QStringList& record : WorksheetBody(text))
        lines << record.join(u',');
    return lines.join(u'\n');
}

// Three lots over two years, a fee charged against shares, two partial sales
// and a 2-for-1 split between them.
TEST_F(BasisLedger, EveryMethodAsWorkedOutByHand)
{
    const QString path = Write({
        {20020110, "BUY", 1000, 10, 0},    // lot A: 100 @ 10
        {20020610, "BUY", 1200, 12, 0},    // lot B: 100 @ 12
        {20020910, "FEE SHRS", 0, 0, -2},  // 2 shares charged, no lot
        {20030310, "BUY", 800, 8, 0},      // lot D: 100 @ 8
        {20030410, "SELL", -1500, 15, 150},
        {20030710, "2-1 SPLIT", 0, 0, 296},  // balance 148 -> 296
        {20031010, "SELL", -700, 7, 100},
    });
    // The entries before the sales are the same for every method; the fee
    // against shares has no price; the split shows the new balance and none.
    // Each sale's date, text and amount are on its first line only.
    const QString body = QStringLiteral(R"(11002,"BUY      ",1000,100,"",10,0,"     ",""
61002,"BUY      ",1200,100,"",12,0,"     ",""
91002,"FEE SHRS ",0,-2,"",0,0,"     ",""
31003,"BUY      ",800,100,"",8,0,"     ",""
41003,"SELL     ",-1500,100,"",%1
"","",0,50,"",%2
71003,"2-1 SPLIT",0,296,"",0,0,"     ",""
101003,"SELL     ",-700,100,"",%3,"Long ",""

"Remaining"," Basis:"
31003,200," shares @",%4,"cost/shr","long term"
"Total: ",200," shares @",%5,"total basis"
"Avg cost:",%4,"Long trm:",%4,"Shrt trm:","Divide by 0"
"Add Fees:",0
"Ag. Shrs:",2," Shares"
"Buy prices have been restated because of a share split."
"Remember to adjust for service charges, commissions, loads, etc.")");
    const struct {
        int method;
        const char *firstLot, *secondLot, *laterSale, *lotD, *total;
    } methods[] = {
        // FIFO: lot A, then half of lot B; after the split lot B holds 100
        // shares at 600 / 100.
        {1, R"(10,0,"Long ","")", R"(12,-100,"Short","")", "6,100", "4", "800"},
        // Dynamic: lot B, the dearest, then half of lot A; after the split
        // lot A holds 100 shares at 500 / 100.
        {2, R"(12,0,"Short","")", R"(10,-200,"Long ","")", "5,200", "4", "800"},
        // Single category: every lot pooled at 3000 / 300 = 10 for the first
        // sale; after the split the 300 pooled shares cost 1500, 5 a share.
        // Double category: long 1000 / 100 and short 2000 / 200 are both 10;
        // lot B has aged into the long pool by the second sale (5 a share
        // either way), and the dynamic method keeps the long lots first at
        // equal averages. Lot D ages at the closing and is shown at the
        // average it left the short pool with.
        {3, R"(10,0,"Long ","")", R"(10,0,"Short","")", "5,200", "5", "1000"},
        {4, R"(10,0,"Long ","")", R"(10,0,"Short","")", "5,200", "5", "1000"},
        {5, R"(10,0,"Long ","")", R"(10,0,"Short","")", "5,200", "5", "1000"},
    };
    for (const auto& m : methods) {
        const WorksheetRun run = Run(path, 20040630, m.method);
        EXPECT_EQ(
            body.arg(QLatin1String(m.firstLot), QLatin1String(m.secondLot),
                     QLatin1String(m.laterSale), QLatin1String(m.lotD), QLatin1String(m.total)),
            Body(run.text))
            << "method " << m.method;
        EXPECT_TRUE(run.log.contains(
            QStringLiteral("Buy prices have been restated because of a share split..")));
    }
}

TEST_F(BasisLedger, HoldingPeriodBoundaryIsOneYearAndADay)
{
    const QString path = Write({
        {20030115, "BUY", 1000, 10, 0},
        {20030228, "BUY", 1100, 11, 0},
        {20030301, "BUY", 1200, 12, 0},
        {20040115, "SELL", -150, 15, 10},
        {20040116, "SELL", -150, 15, 10},
        {20040229, "SELL", -2850, 15, 190},
    });
    const QByteArray text = Run(path, 20040301).text;
    // Sold the same day a year later: short; one day more: long.
    EXPECT_EQ(SaleLines(text, "11504"), QStringList{R"(10,"",10,50,"Short","")"});
    EXPECT_EQ(SaleLines(text, "11604"), QStringList{R"(10,"",10,50,"Long ","")"});
    // A sale on February 29 counts from March 1: the rest of 2003-01-15 and
    // 2003-02-28 are long, 2003-03-01 short.
    EXPECT_EQ(SaleLines(text, "22904"),
              (QStringList{R"(80,"",10,0,"Long ","")", R"(100,"",11,0,"Long ","")",
                           R"(10,"",12,830,"Short","")"}));
    EXPECT_EQ(20030301, LongTermCutoffFor(20040229));
    EXPECT_EQ(20030301, LongTermCutoffFor(20040301));
    EXPECT_EQ(20040228, LongTermCutoffFor(20050228));

    // Found by fuzzing: the holding-period cutoff of the earliest possible
    // date of a damaged file overflowed.
    const std::int32_t lowest = std::numeric_limits<std::int32_t>::min();
    EXPECT_EQ(lowest, LongTermCutoffFor(lowest));
    EXPECT_EQ(lowest, LongTermCutoffFor(lowest + 9999));
    EXPECT_EQ(lowest, LongTermCutoffFor(lowest + 10000));
    const QString damaged = Write({
        {lowest + 1600, "BUY", 1000, 10, 0},
        {-5, "SELL", -150, 15, 10},
        {std::numeric_limits<std::int32_t>::max(), "SELL", -15, 15, 1},
    });
    for (int method = 1; method <= 5; ++method)
        EXPECT_FALSE(Run(damaged, 20040301, method).text.isEmpty()) << "method " << method;
}

TEST_F(BasisLedger, DynamicOrdersAndPoolResidue)
{
    // Highest price first, whatever the purchase order.
    const QString prices = Write({
        {20030101, "BUY", 100, 10, 0},
        {20030201, "BUY", 150, 15, 0},
        {20030301, "BUY", 120, 12, 0},
        {20030401, "SELL", -300, 20, 15},
    });
    EXPECT_EQ(Sale(prices, 20030501, 2, "40103"),
              (QStringList{R"(10,"",15,0,"Short","")", R"(5,"",12,90,"Short","")"}));

    // The short-term category goes first only when its average is higher.
    const auto firstTerm = [&](double shortPrice) {
        const QString path = Write({
            {20020101, "BUY", 1000, 10, 0},                      // long at 10
            {20030601, "BUY", shortPrice * 100, shortPrice, 0},  // short
            {20030701, "SELL", -500, 20, 25},
        });
        return Sale(path, 20030801, 5, "70103").value(0).section(u',', 4, 4);
    };
    EXPECT_EQ(QStringLiteral("\"Short\""), firstTerm(11));
    EXPECT_EQ(QStringLiteral("\"Long \""), firstTerm(10));
    EXPECT_EQ(QStringLiteral("\"Long \""), firstTerm(9));

    // 10 shares at 10.004: the short pool costs 100.04, its average 10.00.
    // Selling all 10 at the average leaves 0.04 in an empty pool, which the
    // sale takes, marked.
    const QString pool =
        Write({{20030101, "BUY", 100.04, 10.004, 0}, {20030201, "SELL", -120, 12, 10}});
    for (const int method : {3, 4, 5}) {
        EXPECT_EQ(Sale(pool, 20030301, method, "20103"),
                  QStringList{R"(10,"",10,19.960000000000008,"Short","  *")"})
            << method;
    }
}

TEST_F(BasisLedger, RemaindersBelowOneThousandthAndSalesOfHalfAShareOrLess)
{
    const QString path = Write({
        {20030101, "BUY", 100, 10, 0},  // 10 shares
        {20030102, "BUY", 50, 10, 0},   // 5 shares
        {20030201, "SELL", -110, 11, 9.9995},
        {20030301, "SELL", -55.01, 11, 5.0004},
    });
    const WorksheetRun run = Run(path, 20030401);
    // 0.0005 left in the first lot is dropped: the next sale starts on the second.
    // 0.0004 shares left to match are dropped too: no overselling, the gain
    // of 55.01 - 50 is shown.
    EXPECT_EQ(SaleLines(run.text, "30103"), QStringList{R"(5,"",10,5.009999999999998,"Short","")"});
    EXPECT_FALSE(run.result.oversold);
    EXPECT_EQ(QStringLiteral("\"Total: \""), Closing(run.text).value(0).value(0));

    const QString half = Write({
        {20030101, "BUY", 100, 10, 0},
        {20030201, "SELL", -5, 10, 0.5},   // rounds to 0: not a sale
        {20030301, "SELL", -15, 10, 1.5},  // rounds to 2: a sale of 1.5
    });
    EXPECT_TRUE(Sale(half, 20030401, 1, "20103").empty());
    EXPECT_EQ(Sale(half, 20030401, 1, "30103"), QStringList{R"(1.5,"",10,0,"Short","")"});
}

// Overselling, Escape and a ledger with nothing to print each end the
// worksheet with a beep and their messages.
TEST_F(BasisLedger, OversellingEscapeAndNothingToPrintStopTheWorksheet)
{
    const QString cancelled = QStringLiteral("Basis worksheet was cancelled and is incomplete.");
    const QString oversold = Write({
        {20030101, "BUY", 100, 10, 0},
        {20030201, "SELL", -150, 10, 15},
        {20030301, "BUY", 100, 10, 0},
    });
    WorksheetRun run = Run(oversold, 20030401);
    EXPECT_TRUE(run.result.oversold);
    // The purchase, the lot taken, the error; nothing after it.
    EXPECT_EQ(Body(run.text).section(u'\n', 2),
              QStringLiteral("\"Error: # shares sold exceeds # shares bought.  Aborting.\""));
    EXPECT_EQ(
        run.log.mid(run.log.size() - 3),
        (QStringList{QStringLiteral("Error: # shares sold exceeds # shares bought.  Aborting.."),
                     cancelled, QStringLiteral("Basis worksheet finished.")}));
    EXPECT_EQ(1, run.beeps);

    WorksheetOptions options;
    options.cancelAfter = 2;
    run = RunWorksheet(Write({{20030101, "BUY", 100, 10, 0},
                              {20030201, "BUY", 100, 10, 0},
                              {20030301, "BUY", 100, 10, 0}}),
                       options);
    EXPECT_TRUE(run.result.cancelled);
    EXPECT_EQ(2, WorksheetBody(run.text).size());  // no closing section
    EXPECT_TRUE(run.log.contains(QStringLiteral("Escape key was hit.")));
    EXPECT_TRUE(run.log.contains(cancelled));
    EXPECT_EQ(1, run.beeps);

    const QString nothing = Write({{20030101, "UPDATE", 0, 10, 0}, {20030201, "INCOME", -5, 0, 0}});
    run = RunWorksheet(nothing, WorksheetOptions{});
    EXPECT_TRUE(run.result.empty);
    EXPECT_TRUE(WorksheetBody(run.text).isEmpty());
    EXPECT_TRUE(
        run.log.contains(QStringLiteral("No transactions exist to create a basis worksheet for ") +
                         nothing + QLatin1Char('.')));
    EXPECT_EQ(1, run.beeps);
}

TEST_F(BasisLedger, TheDateWindowLimitsOnlyWhatIsPrinted)
{
    const QString path = Write({
        {20020101, "BUY", 1000, 10, 0},
        {20020201, "ACCT FEE", 0.25, 0, 0},  // no price: printed whatever its date
        {20030101, "BUY", 1200, 12, 0},
        {20030601, "SELL", -1500, 15, 100},
        {20040101, "BUY", 800, 8, 0},
    });
    WorksheetOptions options;
    options.fromMdy = 12312002;
    options.toMdy = 12312003;
    options.todayYmd = 20040601;
    const WorksheetRun run = RunWorksheet(path, options);
    // The fee (an amount below one: no date), the purchase and the sale, which
    // still takes the 2002 lot first.
    EXPECT_EQ(Body(run.text).section(u'\n', 0, 3),
              QStringLiteral(R"("","ACCT FEE ",0.25,0,"",0,0,"     ",""
10103,"BUY      ",1200,100,"",12,0,"     ",""
60103,"SELL     ",-1500,100,"",10,500,"Long ",""
)"));
    // The remaining lots are all listed.
    const QList<QStringList> closing = Closing(run.text);
    EXPECT_EQ(QStringLiteral("10103"), closing.value(0).value(0));
    EXPECT_EQ(QStringLiteral("10104"), closing.value(1).value(0));
    EXPECT_EQ(QStringLiteral("\"Add Fees:\""), closing.value(4).value(0));
    EXPECT_EQ(QStringLiteral("0.25"), closing.value(4).value(1));
    // The heading shows the window as typed.
    EXPECT_EQ(QStringLiteral("12312002"), ReportRecords(run.text).value(5).value(2));
}

TEST_F(BasisLedger, ReportHeaderAndDateOrder)
{
    const QString path = Write({{20020119, "Buy", 100, 10, 0}});
    WorksheetOptions options;
    options.method = 4;
    options.fromMdy = 13402002;  // not a date: the window opens
    options.todayYmd = 20080229;
    const WorksheetRun run = RunWorksheet(path, options);
    // The description upper-cased, nine characters; the date digits as a number.
    EXPECT_TRUE(run.text.startsWith(QByteArray(
        "\"2/29/2008  Brisden 6.00  12:00:00 PM\"\r\n\"File:\",\"" + path.toLatin1() +
        "\"\r\n\"Desc: \",\"\"\r\n\r\n\"Basis Worksheet: Average, Double Category, FIFO\"\r\n"
        "\"    Date\",\"Mask:\",0,99999999,\"\",\"   Share\",\" Capital\",\"Hold\",\"Round\"\r\n"
        "\"    Date\",\"Desc\",\"  Amount\",\"  Shares\",\"  Adjust\",\"   Basis\",\"    Gain\","
        "\"Term\",\"Adjust\"\r\n\r\n11902,\"BUY      \",100,10,\"\",10,0,\"     \",\"\"\r\n")));
    options.dateOrder = QStringLiteral("DMY");
    EXPECT_EQ(QStringLiteral("190102"), WorksheetBody(RunWorksheet(path, options).text)[0][0]);
    EXPECT_TRUE(run.text.endsWith("\r\n"));
}

// The worksheet on a printed page, read back from a character grid (80
// columns to a portrait page).

std::vector<QStringList> PrintWorksheet(std::initializer_list<Tx> records, int orientation,
                                        int linesPerPage = 0)
{
    QTemporaryDir dir;
    const QString path = WriteLedger(dir.filePath(QStringLiteral("w.dat")), records);
    FileTable files;
    InvestmentFile file(files);
    EXPECT_TRUE(file.open(path));
    file.CurrentFile = path;
    file.CurrentFileDesc = QStringLiteral("Income fund");
    Calendar calendar;
    calendar.locale = QLocale(QLocale::English, QLocale::UnitedStates);
    calendar.SetToday(QDate(2011, 1, 10));
    SessionLog log(files, QString());
    FakeMessages messages;
    FakeCancel cancel;
    ReportState report;
    report.ReportDestination = DestinationPrinter;
    PageComposer composer(report, QStringLiteral("Brisden 6.00"), calendar.locale);
    TextGridSurface::Options o;
    o.orientation = orientation;
    TextGridSurface surface(o);
    composer.PreparePrintSurface(surface);
    composer.setSurface(&surface);
    composer.ApplyScale();
    BasisPrinter printer(composer, linesPerPage, 0);
    BasisWorksheet worksheet(BasisContext{file, report, calendar, log, printer, messages, cancel,
                                          QStringLiteral("Brisden 6.00")});
    worksheet.Run(1);
    surface.EndDoc();
    return surface.pages();
}

TEST(BasisPrinter, WorksheetPageLaysOutEntriesRemainingLotsAndTotals)
{
    const auto pages = PrintWorksheet({{20030115, "Buy", 1000, 10, 0},
                                       {20030601, "Buy", 600, 12, 0},
                                       {20040301, "Sell", -1500, 15, 120}},
                                      1);
    ASSERT_EQ(1u, pages.size());
    // Under the header (its first line holds the time): the entries (the
    // leading 0 of a date as a blank), the sale taking the first lot whole
    // and the rest of the second with the gain of 1500 - 1000 - 240, the
    // remaining lots and the totals.
    EXPECT_EQ(
        pages[0].mid(1),
        (QStringList{
            "                                                                         Page 1",
            "                                   Income fund",
            "",
            "Basis Worksheet: Cost, FIFO",
            "Date mask:  0 to  99999999                      Share     Capital  Hold   Round",
            " Date   Desc          Amount       Shares       Basis        Gain  Term   Adjust",
            "",
            " 11503  BUY         1,000.00      100.000       10.00                   ",
            " 60103  BUY           600.00       50.000       12.00                   ",
            " 30104  SELL       -1,500.00      100.000       10.00              Long ",
            "                                   20.000       12.00      260.00  Short",
            "",
            "               ------------------Remaining Basis------------------",
            "",
            " 60103                  30.000 shares @         $12.00 cost/share, long  term.",
            "          Total:        30.000 shares @        $360.00 total basis.",
            "",
            "Avg cost/share: $12.00, Long Term: $12.00, Short: $.00",
            "",
            "Additional cost service fees: $.00",
            "",
            " Fees charged against shares: 0.000 Shares",
            "",
            "        Remember to adjust for service charges, commissions, loads, etc."}));
}

TEST(BasisPrinter, CountedLinesStartPagesWithTheHeading)
{
    const auto pages = PrintWorksheet({{20030115, "Buy", 100, 10, 0},
                                       {20030215, "Buy", 100, 10, 0},
                                       {20030315, "Buy", 100, 10, 0},
                                       {20030415, "Buy", 100, 10, 0},
                                       {20030515, "Buy", 100, 10, 0}},
                                      1, 20);
    // Five entries fit; the closing section (3 lines) and the totals
    // (11 lines) do not fit the first page of 20 lines after the lots.
    ASSERT_EQ(2u, pages.size());
    EXPECT_EQ(QStringLiteral("Page 2"), pages[1][1].right(6));
    EXPECT_EQ(QStringLiteral("Basis Worksheet: Cost, FIFO"), pages[1][4]);
}

TEST(BasisPrinter, TextDevicePrintsFixedColumns)
{
    const auto pages = PrintWorksheet({{20030115, "Buy", 1000, 10, 0}}, 0);
    ASSERT_EQ(1u, pages.size());
    EXPECT_EQ(
        pages[0].mid(4, 10),
        (QStringList{
            "Basis Worksheet: Cost, FIFO",
            "Date mask: 0 to 99999999                        Share     Capital  Hold   Round",
            " Date  Desc         Amount        Shares        Basis       Gain   Term   Adjust", "",
            " 11503 BUY          1,000.00      100.000       10.00                   ", "",
            "               ------------------Remaining Basis------------------", "",
            " 11503100.000 shares @ $10.00 cost/share, long term.",
            "          Total:       100.000 shares @      $1,000.00 total basis."}));
}

}  // namespace
}  // namespace brisden::test
