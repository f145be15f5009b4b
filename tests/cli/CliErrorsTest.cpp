// brisden-cli on bad input: a one-line message on stderr, a non-zero exit,
// and no file changed.

#include "support/TestSupport.h"

#include <QDir>
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

    // Every failure leaves the ledger as it was and writes no report.
    void expectFailure(const QStringList& args, int exitCode, const char* messagePart)
    {
        const CliRun r = run(args);
        EXPECT_EQ(r.exitCode, exitCode) << args.join(QLatin1Char(' ')).toStdString();
        EXPECT_TRUE(r.errors.contains(QLatin1String(messagePart)))
            << "stderr: " << r.errors.toStdString();
        EXPECT_EQ(ReadAll(fund), fundBytes);
        EXPECT_FALSE(QFileInfo::exists(dir.filePath(QStringLiteral("out.txt"))));
    }
};

TEST_F(CliErrorsTest, BadOptionsAreUsageErrors)
{
    const QString out = QStringLiteral("out.txt");
    expectFailure({QStringLiteral("list"), fund}, 2, "--out");
    expectFailure({QStringLiteral("list"), fund, QStringLiteral("--out"), out,
                   QStringLiteral("--from"), QStringLiteral("1/1/2004")},
                  2, "MMDDYYYY");
    expectFailure({QStringLiteral("list"), fund, QStringLiteral("--out"), out,
                   QStringLiteral("--today"), QStringLiteral("20040231")},
                  2, "--today");
    expectFailure({QStringLiteral("list"), fund, QStringLiteral("--out"), out,
                   QStringLiteral("--price"), QStringLiteral("abc")},
                  2, "number");
    expectFailure(
        {QStringLiteral("list"), fund, QStringLiteral("--out"), out, QStringLiteral("--bogus")}, 2,
        "unknown option");
    // A report is never written over an investment file.
    expectFailure({QStringLiteral("list"), fund, QStringLiteral("--out"), fund}, 2,
                  "Illegal pathname");
    expectFailure({QStringLiteral("basis"), fund, QStringLiteral("--out"), out}, 2, "--method");
    expectFailure({QStringLiteral("basis"), fund, QStringLiteral("--method"), QStringLiteral("6"),
                   QStringLiteral("--out"), out},
                  2, "1 to 5");
    expectFailure({QStringLiteral("frobnicate")}, 2, "unknown command");
}

TEST_F(CliErrorsTest, BadFilesAreReportedAndLeftAlone)
{
    const QString out = QStringLiteral("out.txt");
    expectFailure(
        {QStringLiteral("list"), QStringLiteral("missing.dat"), QStringLiteral("--out"), out}, 1,
        "moved or deleted");
    expectFailure({QStringLiteral("basis"), QStringLiteral("missing.dat"),
                   QStringLiteral("--method"), QStringLiteral("1"), QStringLiteral("--out"), out},
                  1, "moved or deleted");

    // Another version's file is refused by every command.
    QByteArray old = fundBytes;
    old[0] = 4;
    const QString oldFile = dir.filePath(QStringLiteral("old.dat"));
    WriteAll(oldFile, old);
    for (const QString& command : {QStringLiteral("list"), QStringLiteral("basis")}) {
        QStringList args = {command, oldFile, QStringLiteral("--out"), out};
        if (command == QLatin1String("basis"))
            args << QStringLiteral("--method") << QStringLiteral("1");
        const CliRun r = run(args);
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_TRUE(r.errors.contains(QLatin1String("is the wrong format")))
            << r.errors.toStdString();
        EXPECT_FALSE(QFileInfo::exists(dir.filePath(out)));
    }
    EXPECT_EQ(ReadAll(oldFile), old);

    // A portfolio naming a missing file lists nothing.
    WriteAll(dir.filePath(QStringLiteral("p.def")),
             "\"Portfolio definition "
             "file\"\r\n\"fund.dat\"\r\n\"Fund\"\r\n\"gone.dat\"\r\n\"Gone\"\r\n");
    expectFailure({QStringLiteral("list"), QStringLiteral("p.def"), QStringLiteral("--out"), out},
                  1, "moved or deleted");
}

TEST_F(CliErrorsTest, DumpAndRebuildShowTheRecordsAndTheCounts)
{
    const CliRun dump = run({QStringLiteral("dump"), fund});
    EXPECT_EQ(dump.exitCode, 0);
    const QStringList lines = dump.output.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 3);
    EXPECT_TRUE(lines[0].startsWith(QLatin1String("2,20040105,0,\"Buy      \",1000,10,0")))
        << lines[0].toStdString();

    const CliRun rebuild = run({QStringLiteral("rebuild"), fund});
    EXPECT_EQ(rebuild.exitCode, 0);
    EXPECT_TRUE(rebuild.output.contains(QLatin1String("Records read: 4, Records written: 4")))
        << rebuild.output.toStdString();
    EXPECT_EQ(ReadAll(fund), fundBytes);
    EXPECT_EQ(ReadAll(dir.filePath(QStringLiteral("fund.bak"))), fundBytes);

    EXPECT_EQ(run({QStringLiteral("rebuild"), QStringLiteral("missing.dat")}).exitCode, 1);
}

}  // namespace
