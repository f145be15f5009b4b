// brisden-cli chart: the chart grid written as CSV for one or more ledgers,
// the chart drawn as PNG, PDF and SVG, and its usage errors.

#include "support/TestSupport.h"

#include "chart/ChartData.h"
#include "data/NumberText.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace brisden;
using namespace brisden::test;

namespace {

class ChartCliTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString first =
        WriteLedger(dir.filePath(QStringLiteral("first.dat")), {{20040105, "Buy", 1000, 10, 0},
                                                                {20040601, "Reinv", 0, 10, 5},
                                                                {20040701, "Price", 0, 10, 0},
                                                                {20041220, "Cash", -20, 0, 0},
                                                                {20050301, "Price", 0, 12.5, 0}});
    QString second = WriteLedger(dir.filePath(QStringLiteral("second.dat")),
                                 {{20030105, "Buy", 500, 5, 0}, {20050601, "Reinv", 0, 6, 2}});
    QString errors;

    QString path(const char* name) const { return dir.filePath(QLatin1String(name)); }
    // Runs "chart" with these blank-separated words in the scratch folder.
    int run(const char* words)
    {
        const CliRun r = RunCli(
            dir.path(),
            QStringLiteral("chart %1 --today 20050701").arg(QLatin1String(words)).split(u' '));
        EXPECT_TRUE(r.finished);
        errors = r.errors;
        return r.exitCode;
    }
};

QString X(std::int32_t ymd)
{
    return QString::fromLatin1(PlainNumber(chart::FractionalYear(ymd)));
}

TEST_F(ChartCliTest, YearlyTotalsOfTwoFilesShareTheYearRows)
{
    ASSERT_EQ(run("first.dat second.dat --element distributions --type 1 --data grid.csv"), 0)
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
    ASSERT_EQ(run("first.dat second.dat --element price --changes-only --data grid.csv"), 0)
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
    ASSERT_EQ(run("first.dat --element value --percent-change --from 03012005 --data value.csv"),
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
        ASSERT_EQ(run(words.constData()), 0) << name << errors.toStdString();
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
        EXPECT_EQ(run(words), 2) << words;
        EXPECT_FALSE(errors.isEmpty());
    }
    EXPECT_FALSE(QFileInfo::exists(path("x.csv")));
    EXPECT_EQ(run("missing.dat --element costs --data x.csv"), 1);
}

}  // namespace
