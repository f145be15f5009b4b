// The basis worksheet on a printed page, read back from a character grid
// (80 columns to a portrait page).

#include "basis/BasisPrinter.h"
#include "basis/BasisWorksheet.h"
#include "data/Dates.h"
#include "report/PageComposer.h"
#include "report/ReportState.h"
#include "report/TextGridSurface.h"
#include "shell/SessionLog.h"
#include "support/TestSupport.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace brisden::test {
namespace {

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
    const QStringList& page = pages[0];
    EXPECT_EQ(QStringLiteral("Income fund"), page[2].trimmed());
    EXPECT_EQ(QStringLiteral("Basis Worksheet: Cost, FIFO"), page[4]);
    EXPECT_TRUE(page[5].startsWith(QStringLiteral("Date mask:  0 to  99999999")));
    EXPECT_EQ(QStringLiteral("Round"), page[5].right(5));  // ends at 79
    EXPECT_EQ(QStringLiteral("Adjust"), page[6].right(6));
    // Entry: date, description from 8, amount to 28, shares to 41, cost to 53.
    const QString& buy = page[8];
    EXPECT_EQ(QStringLiteral(" 11503"), buy.left(6));  // the leading 0 as a blank
    EXPECT_EQ(8, buy.indexOf(QStringLiteral("BUY")));
    EXPECT_EQ(QStringLiteral("1,000.00"), buy.mid(20, 8));
    EXPECT_EQ(QStringLiteral("100.000"), buy.mid(34, 7));
    EXPECT_EQ(QStringLiteral("10.00"), buy.mid(48, 5));
    // The sale: first lot whole (no gain yet), the rest of the second with the gain.
    const QString& first = page[10];
    EXPECT_EQ(8, first.indexOf(QStringLiteral("SELL")));
    EXPECT_EQ(QStringLiteral("-1,500.00"), first.mid(19, 9));
    EXPECT_EQ(QStringLiteral("Long "), first.mid(67, 5));
    const QString& second = page[11];
    EXPECT_TRUE(second.left(28).trimmed().isEmpty());  // no date, no amount
    EXPECT_EQ(QStringLiteral("20.000"), second.mid(35, 6));
    EXPECT_EQ(QStringLiteral("260.00"), second.mid(59, 6));  // 1500 - 1000 - 240
    EXPECT_EQ(QStringLiteral("Short"), second.mid(67, 5));

    EXPECT_TRUE(page[12].isEmpty());
    EXPECT_EQ(15, page[13].indexOf(QStringLiteral("------------------Remaining Basis")));  // 14.5
    const QString& lot = page[15];
    EXPECT_EQ(QStringLiteral("30.000 shares @"), lot.mid(24, 15));
    EXPECT_EQ(QStringLiteral("$12.00 cost/share,"), lot.mid(48, 18));
    EXPECT_EQ(QStringLiteral("long  term."), lot.mid(67, 11));
    EXPECT_EQ(QStringLiteral("          Total:        30.000 shares @        $360.00 total basis."),
              page[16]);
    EXPECT_EQ(QStringLiteral("Avg cost/share: $12.00, Long Term: $12.00, Short: $.00"), page[18]);
    EXPECT_EQ(QStringLiteral("Remember to adjust for service charges, commissions, loads, etc."),
              page[24].trimmed());
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
    const QStringList& page = pages[0];
    EXPECT_TRUE(page[5].startsWith(QStringLiteral("Date mask: 0 to 99999999")));
    EXPECT_EQ(48, page[5].indexOf(QStringLiteral("Share")));
    EXPECT_EQ(74, page[5].indexOf(QStringLiteral("Round")));
    EXPECT_EQ(20, page[6].indexOf(QStringLiteral("Amount")));
    const QString& buy = page[8];
    EXPECT_EQ(7, buy.indexOf(QStringLiteral("BUY")));
    EXPECT_EQ(QStringLiteral("1,000.00"), buy.mid(20, 8));  // w 17, mask of 11
    EXPECT_EQ(QStringLiteral("100.000"), buy.mid(34, 7));   // w 29, mask of 12
}

}  // namespace
}  // namespace brisden::test
