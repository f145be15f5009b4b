// brisden-cli on bad input: a one-line message on stderr, a non-zero exit,
// and no file changed.

#include "support/TestSupport.h"

#include "data/FileTable.h"
#include "data/InvestmentFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using brisden::test::ReadAll;
using brisden::test::WriteAll;
using brisden::test::WriteLedger;

namespace {

struct CliRun {
    int exitCode = -1;
    QString errors;
    QString output;
};

class CliErrorsTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString fund;
    QByteArray fundBytes;

    void SetUp() override
    {
        fund = WriteLedger(dir.filePath(QStringLiteral("fund.dat")),
                           {{20040105, "Buy", 1000, 10, 0},
                            {20040601, "Price", 0, 11, 0},
                            {20041001, "Sell", -550, 11, 50}});
        fundBytes = ReadAll(fund);
    }

    CliRun run(const QStringList& args)
    {
        QProcess process;
        process.setWorkingDirectory(dir.path());
        process.start(QStringLiteral(BRISDEN_CLI), args);
        process.waitForFinished(30000);
        return {process.exitCode(), QString::fromLocal8Bit(process.readAllStandardError()),
                QString::fromLocal8Bit(process.readAllStandardOutput())};
    }

    // The words of a command line; FUND stands for the ledger's full path.
    QStringList words(const char* line) const
    {
        QStringList args = QString::fromLatin1(line).split(QLatin1Char(' '));
        for (QString& arg : args)
            if (arg == QLatin1String("FUND"))
                arg = fund;
        return args;
    }

    // Every failure leaves the ledger as it was and writes no report.
    void expectFailure(const char* line, int exitCode, const char* messagePart)
    {
        const CliRun r = run(words(line));
        EXPECT_EQ(r.exitCode, exitCode) << line;
        EXPECT_TRUE(r.errors.contains(QLatin1String(messagePart)))
            << "stderr: " << r.errors.toStdString();
        EXPECT_EQ(ReadAll(fund), fundBytes);
        EXPECT_FALSE(QFileInfo::exists(dir.filePath(QStringLiteral("out.txt"))));
    }
};

TEST_F(CliErrorsTest, BadOptionsAreUsageErrors)
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
    };
    for (const auto& c : cases)
        expectFailure(c.line, 2, c.message);
}

TEST_F(CliErrorsTest, BadFilesAreReportedAndLeftAlone)
{
    expectFailure("list missing.dat --out out.txt", 1, "moved or deleted");
    expectFailure("basis missing.dat --method 1 --out out.txt", 1, "moved or deleted");

    // Another version's file is refused by every command.
    QByteArray old = fundBytes;
    old[0] = 4;
    WriteAll(dir.filePath(QStringLiteral("old.dat")), old);
    for (const char* line :
         {"list old.dat --out out.txt", "basis old.dat --out out.txt --method 1"}) {
        const CliRun r = run(words(line));
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_TRUE(r.errors.contains(QLatin1String("is the wrong format")))
            << r.errors.toStdString();
        EXPECT_FALSE(QFileInfo::exists(dir.filePath(QStringLiteral("out.txt"))));
    }
    EXPECT_EQ(ReadAll(dir.filePath(QStringLiteral("old.dat"))), old);

    // A portfolio naming a missing file lists nothing.
    WriteAll(dir.filePath(QStringLiteral("p.def")),
             "\"Portfolio definition "
             "file\"\r\n\"fund.dat\"\r\n\"Fund\"\r\n\"gone.dat\"\r\n\"Gone\"\r\n");
    expectFailure("list p.def --out out.txt", 1, "moved or deleted");
}

TEST_F(CliErrorsTest, DumpAndRebuildShowTheRecordsAndTheCounts)
{
    const CliRun dump = run(words("dump FUND"));
    EXPECT_EQ(dump.exitCode, 0);
    const QStringList lines = dump.output.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 3);
    EXPECT_TRUE(lines[0].startsWith(QLatin1String("2,20040105,0,\"Buy      \",1000,10,0")))
        << lines[0].toStdString();

    const CliRun rebuild = run(words("rebuild FUND"));
    EXPECT_EQ(rebuild.exitCode, 0);
    EXPECT_TRUE(rebuild.output.contains(QLatin1String("Records read: 4, Records written: 4")))
        << rebuild.output.toStdString();
    EXPECT_EQ(ReadAll(fund), fundBytes);
    EXPECT_EQ(ReadAll(dir.filePath(QStringLiteral("fund.bak"))), fundBytes);

    EXPECT_EQ(run(words("rebuild missing.dat")).exitCode, 1);
}

// A file that the desktop program has open (and locked against other
// writers) is read by list, basis and dump; import and rebuild refuse it,
// say why, and change nothing.
TEST_F(CliErrorsTest, AFileOpenInTheDesktopProgramIsReadButNotChanged)
{
    brisden::FileTable desktop;
    desktop.OpenFile(brisden::InvestmentSlot, fund, QStringLiteral("R"), QStringLiteral("RW"),
                     brisden::RecordLength);
    ASSERT_TRUE(desktop.isOpen(brisden::InvestmentSlot));
    WriteAll(dir.filePath(QStringLiteral("p.def")),
             QByteArray("\"Portfolio definition file\"\r\n\"") + fund.toLocal8Bit() +
                 "\"\r\n\"Fund\"\r\n");

    const CliRun dump = run(words("dump FUND"));
    EXPECT_EQ(dump.exitCode, 0) << dump.errors.toStdString();
    EXPECT_EQ(dump.output.count(QLatin1Char('\n')), 3);
    for (const char* line : {"list FUND --out out.txt --price 12", "list p.def --out out.txt",
                             "basis FUND --method 1 --out out.txt"}) {
        const CliRun r = run(words(line));
        EXPECT_EQ(r.exitCode, 0) << line << ": " << r.errors.toStdString();
        EXPECT_GT(ReadAll(dir.filePath(QStringLiteral("out.txt"))).size(), 100) << line;
        QFile::remove(dir.filePath(QStringLiteral("out.txt")));
    }

    WriteAll(dir.filePath(QStringLiteral("new.csv")), "01/02/2005,Buy,100,10,10\r\n");
    expectFailure("import FUND new.csv", 1, "it is open in another copy of Brisden");
    expectFailure("rebuild FUND", 1, "it is open in another copy of Brisden");
    EXPECT_FALSE(QFileInfo::exists(dir.filePath(QStringLiteral("fund.bak"))));
}

}  // namespace
