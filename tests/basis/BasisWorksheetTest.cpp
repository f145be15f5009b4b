// Worksheets worked out by hand, the holding-period boundary, the dynamic
// orders, small remainders, overselling, the date window and the closing.

#include "BasisTestUtil.h"
#include "support/TestSupport.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <limits>

namespace brisden::test {
namespace {

// One worksheet line of the text file.
struct Line {
    QString date;
    QString desc;
    double amount;
    double shares;
    double cost;
    double gain;
    QString term;
    QString mark;
};

QString Unquoted(const QString& field)
{
    return field.startsWith(QLatin1Char('"')) ? field.mid(1, field.size() - 2) : field;
}

// The entry records of a worksheet (nine fields, up to the closing section).
std::vector<Line> Entries(const QByteArray& text)
{
    std::vector<Line> lines;
    for (const QStringList& r : WorksheetBody(text)) {
        if (r.size() != 9)
            break;
        lines.push_back({Unquoted(r[0]), Unquoted(r[1]).trimmed(), r[2].toDouble(), r[3].toDouble(),
                         r[5].toDouble(), r[6].toDouble(), Unquoted(r[7]), Unquoted(r[8])});
    }
    return lines;
}

// Records after the "Remaining"," Basis:" heading.
QList<QStringList> Closing(const QByteArray& text)
{
    const QList<QStringList> body = WorksheetBody(text);
    for (qsizetype i = 0; i < body.size(); ++i)
        if (body[i].value(0) == QLatin1String("\"Remaining\""))
            return body.mid(i + 1);
    return {};
}

std::vector<Line> SaleLines(const std::vector<Line>& lines, const QString& date)
{
    std::vector<Line> sale;
    bool inSale = false;
    for (const Line& l : lines) {
        if (l.date == date && l.amount < 0)
            inSale = true;
        else if (!l.date.isEmpty() || !l.desc.isEmpty())
            inSale = false;
        if (inSale)
            sale.push_back(l);
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
    static std::vector<Line> Sale(const QString& path, std::int32_t today, int method,
                                  const char* date)
    {
        return SaleLines(Entries(Run(path, today, method).text), QString::fromLatin1(date));
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
        EXPECT_EQ(body.arg(QLatin1String(m.firstLot), QLatin1String(m.secondLot),
                           QLatin1String(m.laterSale), QLatin1String(m.lotD),
                           QLatin1String(m.total)),
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
    const std::vector<Line> lines = Entries(Run(path, 20040301).text);
    // Sold the same day a year later: short; one day more: long.
    EXPECT_EQ(QStringLiteral("Short"), SaleLines(lines, QStringLiteral("11504")).at(0).term);
    EXPECT_EQ(QStringLiteral("Long "), SaleLines(lines, QStringLiteral("11604")).at(0).term);
    // A sale on February 29 counts from March 1.
    const std::vector<Line> leap = SaleLines(lines, QStringLiteral("22904"));
    ASSERT_EQ(3u, leap.size());
    EXPECT_EQ(QStringLiteral("Long "), leap[0].term);  // the rest of 2003-01-15
    EXPECT_EQ(QStringLiteral("Long "), leap[1].term);  // 2003-02-28
    EXPECT_EQ(QStringLiteral("Short"), leap[2].term);  // 2003-03-01
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
    const std::vector<Line> dear = Sale(prices, 20030501, 2, "40103");
    ASSERT_EQ(2u, dear.size());
    EXPECT_DOUBLE_EQ(15, dear[0].cost);
    EXPECT_DOUBLE_EQ(12, dear[1].cost);
    EXPECT_DOUBLE_EQ(5, dear[1].shares);

    // The short-term category goes first only when its average is higher.
    const auto firstTerm = [&](double shortPrice) {
        const QString path = Write({
            {20020101, "BUY", 1000, 10, 0},                      // long at 10
            {20030601, "BUY", shortPrice * 100, shortPrice, 0},  // short
            {20030701, "SELL", -500, 20, 25},
        });
        return Sale(path, 20030801, 5, "70103").at(0).term;
    };
    EXPECT_EQ(QStringLiteral("Short"), firstTerm(11));
    EXPECT_EQ(QStringLiteral("Long "), firstTerm(10));
    EXPECT_EQ(QStringLiteral("Long "), firstTerm(9));

    // 10 shares at 10.004: the short pool costs 100.04, its average 10.00.
    // Selling all 10 at the average leaves 0.04 in an empty pool, which the
    // sale takes, marked.
    const QString pool = Write({{20030101, "BUY", 100.04, 10.004, 0}, {20030201, "SELL", -120, 12, 10}});
    for (const int method : {3, 4, 5}) {
        const std::vector<Line> sale = Sale(pool, 20030301, method, "20103");
        ASSERT_EQ(1u, sale.size());
        EXPECT_DOUBLE_EQ(10, sale[0].cost);
        EXPECT_NEAR(120 - 100.04, sale[0].gain, 1e-9);
        EXPECT_EQ(QStringLiteral("  *"), sale[0].mark);
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
    const std::vector<Line> second = SaleLines(Entries(run.text), QStringLiteral("30103"));
    ASSERT_EQ(1u, second.size());
    EXPECT_DOUBLE_EQ(5, second[0].shares);
    // 0.0004 shares left to match are dropped too: no overselling, the gain is shown.
    EXPECT_FALSE(run.result.oversold);
    EXPECT_NEAR(55.01 - 50, second[0].gain, 1e-9);
    EXPECT_EQ(QStringLiteral("\"Total: \""), Closing(run.text).value(0).value(0));

    const QString half = Write({
        {20030101, "BUY", 100, 10, 0},
        {20030201, "SELL", -5, 10, 0.5},   // rounds to 0: not a sale
        {20030301, "SELL", -15, 10, 1.5},  // rounds to 2: a sale of 1.5
    });
    EXPECT_TRUE(Sale(half, 20030401, 1, "20103").empty());
    const std::vector<Line> sale = Sale(half, 20030401, 1, "30103");
    ASSERT_EQ(1u, sale.size());
    EXPECT_DOUBLE_EQ(1.5, sale[0].shares);
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
    EXPECT_EQ(run.log.mid(run.log.size() - 3),
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
    EXPECT_TRUE(run.log.contains(QStringLiteral("No transactions exist to create a basis worksheet for ") +
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
    const std::vector<Line> lines = Entries(run.text);
    ASSERT_EQ(3u, lines.size());
    EXPECT_EQ(QStringLiteral("ACCT FEE"), lines[0].desc);
    EXPECT_TRUE(lines[0].date.isEmpty());  // an amount below one: no date
    EXPECT_EQ(QStringLiteral("10103"), lines[1].date);
    EXPECT_EQ(QStringLiteral("60103"), lines[2].date);
    EXPECT_DOUBLE_EQ(10, lines[2].cost);  // the sale still takes the 2002 lot first
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

}  // namespace
}  // namespace brisden::test
