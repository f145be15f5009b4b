// brisden-cli as a user runs it: where the import schema comes from, the
// dump and rebuild commands, the chart command, and bad input, which gives a
// one-line message on stderr, a non-zero exit and no file changed.

#include "support/TestSupport.h"

#include "chart/ChartData.h"
#include "data/FileTable.h"
#include "data/InvestmentFile.h"
#include "data/NumberText.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace brisden;
using namespace brisden::test;

namespace {

class CliTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString fund =
        WriteLedger(dir.filePath(QStringLiteral("fund.dat")), {{20040105, "Buy", 1000, 10, 0},
                                                               {20040601, "Price", 0, 11, 0},
                                                               {20041001, "Sell", -550, 11, 50}});
    QByteArray fundBytes = ReadAll(fund);
    QString errors, output;

    QString path(const char* name) const { return dir.filePath(QLatin1String(name)); }

    // Runs the command line in the scratch folder; FUND stands for the
    // ledger's full path. Words are split at blanks outside single quotes.
    int run(const QStringList& words)
    {
        QStringList args = words;
        for (QString& arg : args)
            if (arg == QLatin1String("FUND"))
                arg = fund;
        const CliRun r = RunCli(dir.path(), args);
        EXPECT_TRUE(r.finished);
        errors = r.errors;
        output = r.output;
        return r.exitCode;
    }
    int run(const char* line)
    {
        return run(QProcess::splitCommand(QString::fromLatin1(line).replace(u'\'', u'"')));
    }

    // Every failure leaves the ledger as it was and writes no report.
    void expectFailure(const char* line, int exitCode, const char* messagePart)
    {
        EXPECT_EQ(run(line), exitCode) << line;
        EXPECT_TRUE(errors.contains(QLatin1String(messagePart)))
            << line << ": " << errors.toStdString();
        EXPECT_EQ(ReadAll(fund), fundBytes);
        EXPECT_FALSE(QFileInfo::exists(path("out.txt")));
    }
};

TEST_F(CliTest, BadOptionsAreUsageErrors)
{
    const struct {
        const char* line;
        const char* message;
    } cases[] = {
        {"list FUND", "--out"},
        {"list FUND --out out.txt --from 1/1/2004", "MMDDYYYY"},
        {"list FUND --out out.txt --today 20040231", "--today"},
        {"list FUND --out out.txt --price abc", "number"},
        {"list FUND --out out.txt --bogus", "unknown option"},
        {"list FUND --out FUND", "Illegal pathname"},  // never written over an investment file
        {"basis FUND --out out.txt", "--method"},
        {"basis FUND --method 6 --out out.txt", "1 to 5"},
        {"frobnicate", "unknown command"},
        {"import FUND", ""},
        {"import FUND in.csv --schema", ""},
    };
    for (const auto& c : cases)
        expectFailure(c.line, 2, c.message);
}

TEST_F(CliTest, BadFilesAreReportedAndLeftAlone)
{
    expectFailure("list missing.dat --out out.txt", 1, "moved or deleted");
    expectFailure("basis missing.dat --method 1 --out out.txt", 1, "moved or deleted");
    expectFailure("import new.dat missing.csv", 1, "Can't access missing.csv");
    EXPECT_FALSE(QFileInfo::exists(path("new.dat")));
    EXPECT_EQ(run("rebuild missing.dat"), 1);

    // Another version's file, or one with a partial record at its end, is
    // refused by every command that reads or writes it.
    QByteArray old = fundBytes;
    old[0] = 4;
    WriteAll(path("old.dat"), old);
    const QByteArray partial = fundBytes + "abc";
    WriteAll(path("partial.dat"), partial);
    WriteAll(path("in.csv"), "20100105,12\r\n");
    for (const char* line : {"list old.dat --out out.txt", "basis old.dat --out out.txt --method 1",
                             "import old.dat in.csv"})
        expectFailure(line, 1, "is the wrong format");
    EXPECT_NE(run("import partial.dat in.csv"), 0);
    EXPECT_EQ(ReadAll(path("old.dat")), old);
    EXPECT_EQ(ReadAll(path("partial.dat")), partial);

    // A portfolio naming a missing file lists nothing.
    WriteAll(path("p.def"),
             "\"Portfolio definition file\"\r\n\"fund.dat\"\r\n\"Fund\"\r\n\"gone.dat\"\r\n"
             "\"Gone\"\r\n");
    expectFailure("list p.def --out out.txt", 1, "moved or deleted");
}

TEST_F(CliTest, ListWritesTheRateOfReturnFlows)
{
    ASSERT_EQ(run("list FUND --today 20050103 --price 12.5 --out out.txt --flows flows.csv"), 0)
        << errors.toStdString();
    // The purchase, the sale and the 50 shares left at today's price.
    const QList<QByteArray> lines = ReadAll(path("flows.csv")).split('\n');
    ASSERT_EQ(lines.size(), 5);
    EXPECT_EQ(lines[0], "Date,Amount,Years,Kind,File,Description\r");
    const QByteArray file = ",\"" + fund.toUtf8() + "\",\"";
    EXPECT_TRUE(lines[1].startsWith("2004-01-05,1000,0.99"));
    EXPECT_TRUE(lines[1].contains(QByteArray(",\"record\"" + file))) << lines[1].constData();
    EXPECT_TRUE(lines[2].startsWith("2004-10-01,-550,0.2"));
    EXPECT_TRUE(lines[3].startsWith(QByteArray("2005-01-03,-625,0,\"terminal value\"" + file)))
        << lines[3].constData();
    EXPECT_TRUE(lines[4].isEmpty());

    // A file no rate could be computed for has the header alone; a flows
    // file never lands on an investment file.
    WriteLedger(path("empty.dat"), {});
    ASSERT_EQ(run("list empty.dat --out out.txt --flows flows.csv"), 0);
    EXPECT_EQ(ReadAll(path("flows.csv")), "Date,Amount,Years,Kind,File,Description\r\n");
    QFile::remove(path("out.txt"));
    expectFailure("list FUND --out out.txt --flows FUND", 2, "Illegal pathname");
}

TEST_F(CliTest, DumpAndRebuildShowTheRecordsAndTheCounts)
{
    EXPECT_EQ(run("dump FUND"), 0);
    const QStringList lines = output.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 3);
    EXPECT_TRUE(lines[0].startsWith(QLatin1String("2,20040105,0,\"Buy      \",1000,10,0")))
        << lines[0].toStdString();

    EXPECT_EQ(run("rebuild FUND"), 0);
    EXPECT_TRUE(output.contains(QLatin1String("Records read: 4, Records written: 4")))
        << output.toStdString();
    EXPECT_EQ(ReadAll(fund), fundBytes);
    EXPECT_EQ(ReadAll(path("fund.bak")), fundBytes);
}

TEST_F(CliTest, ImportTakesItsSchemaFromTheOptionOrTheSettingsAndReportsBadLines)
{
    WriteAll(path("in.csv"), "31/12/2004,Fund buy,100,10\r\n");
    WriteAll(path("Application.ini"),
             "[General]\r\nImportSchema=Date Description Amount Price Shares DMY\r\n");
    EXPECT_EQ(run("import new.dat in.csv"), 0) << errors.toStdString();
    EXPECT_TRUE(errors.contains(QStringLiteral("Lines read: 1.")));
    EXPECT_TRUE(errors.contains(QStringLiteral("Import finished.")));
    // The option wins over the setting; the setting is not rewritten.
    EXPECT_EQ(run("import new.dat in.csv --schema 'Date Description Price Amount Shares DMY'"), 0);
    EXPECT_EQ(RecordLines(path("new.dat")),
              (QStringList{QStringLiteral("20041231,0,Fund buy ,100,10,0"),
                           QStringLiteral("20041231,1,Fund buy ,10,100,0")}));
    EXPECT_TRUE(ReadAll(path("Application.ini")).contains("Shares DMY"));

    // No schema at all is no error: every column unused gives a price record
    // with the default description.
    QFile::remove(path("Application.ini"));
    WriteAll(path("any.csv"), "whatever,1,2\r\n");
    EXPECT_EQ(run("import a.dat any.csv"), 0) << errors.toStdString();
    EXPECT_EQ(RecordLines(path("a.dat")), QStringList{QStringLiteral("0,0,Price imp,0,0,0")});

    // Lines in error are reported, and the import still exits with zero.
    WriteAll(path("in.csv"), "Date,Amount\r\n20100105,12\r\n");
    EXPECT_EQ(run("import b.dat in.csv --schema 'Date Amount'"), 0);
    EXPECT_EQ(RecordLines(path("b.dat")).size(), 1);
    EXPECT_TRUE(
        errors.contains(QStringLiteral("Errors were encountered.  Check log for details.")));
}

// A file that the desktop program has open (and locked against other
// writers) is read by list, basis and dump (that import and rebuild refuse
// it is checked in tests/durability/DurabilityTest).
TEST_F(CliTest, AFileOpenInTheDesktopProgramIsRead)
{
    FileTable desktop;
    desktop.OpenFile(InvestmentSlot, fund, QStringLiteral("R"), QStringLiteral("RW"), RecordLength);
    ASSERT_TRUE(desktop.isOpen(InvestmentSlot));
    WriteAll(path("p.def"), QByteArray("\"Portfolio definition file\"\r\n\"") + fund.toLocal8Bit() +
                                "\"\r\n\"Fund\"\r\n");

    EXPECT_EQ(run("dump FUND"), 0) << errors.toStdString();
    EXPECT_EQ(output.count(QLatin1Char('\n')), 3);
    for (const char* line : {"list FUND --out out.txt --price 12", "list p.def --out out.txt",
                             "basis FUND --method 1 --out out.txt"}) {
        EXPECT_EQ(run(line), 0) << line << ": " << errors.toStdString();
        EXPECT_GT(ReadAll(path("out.txt")).size(), 100) << line;
        QFile::remove(path("out.txt"));
    }
}

// The printed pages as text, through pdftotext -layout; empty when the tool
// is missing.
QString PdfText(const QString& pdf)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    if (!p.waitForFinished(30000) || p.exitCode() != 0)
        return QString();
    return QString::fromUtf8(p.readAllStandardOutput());
}

TEST_F(CliTest, PdfHoldsThePrintedPagesOfTheListingAndTheWorksheet)
{
    ASSERT_EQ(run("list FUND --today 20050110 --pdf list.pdf --orientation landscape"), 0)
        << errors.toStdString();
    const QString listing = PdfText(path("list.pdf"));
    if (listing.isEmpty())
        GTEST_SKIP() << "pdftotext is not installed";
    EXPECT_TRUE(listing.contains(QLatin1String("Page 1")));
    EXPECT_TRUE(listing.contains(QLatin1String("This Tran")));  // the landscape heading
    EXPECT_TRUE(listing.contains(QLatin1String("1,000.00")));
    EXPECT_TRUE(listing.contains(QLatin1String("Internal Rate of Return = ")));
    EXPECT_FALSE(QFileInfo::exists(path("out.txt")));

    ASSERT_EQ(run("basis FUND --method 1 --pdf basis.pdf --lines-per-page 12"), 0)
        << errors.toStdString();
    const QString worksheet = PdfText(path("basis.pdf"));
    EXPECT_TRUE(worksheet.contains(QLatin1String("Basis Worksheet: Cost, FIFO")));
    EXPECT_TRUE(worksheet.contains(QLatin1String("Remaining Basis")));
    EXPECT_TRUE(worksheet.contains(QLatin1String("Page 2")));  // 12 lines to a page

    // A PDF is the printed pages: no report file options with it.
    EXPECT_EQ(run("list FUND --pdf x.pdf --out out.txt"), 2);
    EXPECT_EQ(run("list FUND --pdf x.pdf --orientation sideways"), 2);
}

// brisden-cli chart: the chart grid written as CSV for one or more ledgers,
// the chart drawn as PNG, PDF and SVG, and its usage errors.
class ChartCliTest : public CliTest {
protected:
    void SetUp() override
    {
        WriteLedger(path("first.dat"), {{20040105, "Buy", 1000, 10, 0},
                                        {20040601, "Reinv", 0, 10, 5},
                                        {20040701, "Price", 0, 10, 0},
                                        {20041220, "Cash", -20, 0, 0},
                                        {20050301, "Price", 0, 12.5, 0}});
        WriteLedger(path("second.dat"),
                    {{20030105, "Buy", 500, 5, 0}, {20050601, "Reinv", 0, 6, 2}});
    }
    // Runs "chart" with these words in the scratch folder.
    int chart(const char* words)
    {
        return run(
            QStringLiteral("chart %1 --today 20050701").arg(QLatin1String(words)).split(u' '));
    }
};

QString X(std::int32_t ymd)
{
    return QString::fromLatin1(PlainNumber(chart::FractionalYear(ymd)));
}

TEST_F(ChartCliTest, YearlyTotalsOfTwoFilesShareTheYearRows)
{
    ASSERT_EQ(chart("first.dat second.dat --element distributions --type 1 --data grid.csv"), 0)
        << errors.toStdString();
    // 2004: the reinvestment of 50 and the cash distribution of 20; the
    // second file starts a year earlier, so its year comes first; cells that
    // no file wrote stay empty.
    EXPECT_EQ(TextLines(path("grid.csv")),
              (QStringList{QStringLiteral("\"\",\" first \",\" second \""),
                           QStringLiteral("\" 2003\",,0"), QStringLiteral("\" 2004\",70,"),
                           QStringLiteral("\" 2005\",0,12")}));
}

TEST_F(ChartCliTest, PriceSeriesInFullPrecision)
{
    ASSERT_EQ(chart("first.dat second.dat --element price --changes-only --data grid.csv"), 0)
        << errors.toStdString();
    const QStringList lines = TextLines(path("grid.csv"));
    // first: 10 (buy; the reinvestment and the update at 10 are no change),
    // 12.5 (update), and today's valuation at 12.5 is no change either.
    // second: 5, 6, and today's 6 is no change.
    EXPECT_EQ(lines, (QStringList{
                         QStringLiteral("\"\",\" first \",\" first \",\" second \",\" second \""),
                         QStringLiteral("\"\",") + X(20040105) + QStringLiteral(",10,") +
                             X(20030105) + QStringLiteral(",5"),
                         QStringLiteral("\"\",") + X(20050301) + QStringLiteral(",12.5,") +
                             X(20050601) + QStringLiteral(",6"),
                     }));

    // Percent change of the value, from March 2005 on, one file.
    ASSERT_EQ(chart("first.dat --element value --percent-change --from 03012005 --data value.csv"),
              0);
    EXPECT_EQ(TextLines(path("value.csv")),
              (QStringList{QStringLiteral("\"\",\" first \",\" first \""),
                           QStringLiteral("\"\",") + X(20050301) + QStringLiteral(",0"),
                           QStringLiteral("\"\",") + X(20050701) + QStringLiteral(",0")}));
}

TEST_F(ChartCliTest, DrawsPngPdfAndSvg)
{
    for (const char* name : {"chart.png", "chart.pdf", "chart.svg"}) {
        const QByteArray words =
            "first.dat second.dat --element costs --type 0 --statistic mean --out " +
            QByteArray(name);
        ASSERT_EQ(chart(words.constData()), 0) << name << errors.toStdString();
        const QByteArray bytes = ReadAll(path(name));
        EXPECT_GT(bytes.size(), 2000) << name;
        const QByteArray magic = QByteArray(name).endsWith("png")   ? QByteArray("\x89PNG")
                                 : QByteArray(name).endsWith("pdf") ? QByteArray("%PDF")
                                                                    : QByteArray("<?xml");
        EXPECT_TRUE(bytes.startsWith(magic)) << name;
    }
    EXPECT_TRUE(errors.isEmpty()) << errors.toStdString();
}

TEST_F(ChartCliTest, UsageErrors)
{
    for (const char* words : {
             "first.dat --data x.csv",     // no element
             "first.dat --element price",  // no output
             "first.dat --element yield --data x.csv",
             "first.dat --element price --type 0 --data x.csv",  // X-Y only
             "first.dat --element costs --type 12 --data x.csv",
             "first.dat --element costs --out x.gif",
             "first.dat --element costs --data first.dat",  // never over an investment file
         }) {
        EXPECT_EQ(chart(words), 2) << words;
        EXPECT_FALSE(errors.isEmpty());
    }
    EXPECT_FALSE(QFileInfo::exists(path("x.csv")));
    EXPECT_EQ(chart("missing.dat --element costs --data x.csv"), 1);
}

}  // namespace
