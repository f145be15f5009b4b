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
    // Under the header (its first line holds the time): the entries (the
    // leading 0 of a date as a blank), the sale taking the first lot whole
    // and the rest of the second with the gain of 1500 - 1000 - 240, the
    // remaining lots and the totals.
    EXPECT_EQ(pages[0].mid(1),
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
    EXPECT_EQ(pages[0].mid(4, 10),
              (QStringList{
          "Basis Worksheet: Cost, FIFO",
          "Date mask: 0 to 99999999                        Share     Capital  Hold   Round",
          " Date  Desc         Amount        Shares        Basis       Gain   Term   Adjust",
          "",
          " 11503 BUY          1,000.00      100.000       10.00                   ",
          "",
          "               ------------------Remaining Basis------------------",
          "",
          " 11503100.000 shares @ $10.00 cost/share, long term.",
          "          Total:       100.000 shares @      $1,000.00 total basis."}));
}

}  // namespace
}  // namespace brisden::test
