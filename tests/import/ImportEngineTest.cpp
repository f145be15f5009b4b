// The import engine on real files: tricky lines, line counting, line ends,
// error lines, and what it logs. (Appending to a ledger with the next Seq of
// a date is checked with the import dialog.)

#include "data/Dates.h"
#include "data/FileTable.h"
#include "data/InvestmentFile.h"
#include "import/ImportEngine.h"
#include "shell/SessionLog.h"
#include "support/TestSupport.h"

#include <cstring>
#include <gtest/gtest.h>

using namespace brisden;
using namespace brisden::test;

namespace {

const QString Full = QStringLiteral("Date Description Amount Price Shares MDY");
const QString ErrorsNotice = QStringLiteral("Errors were encountered.  Check log for details.");

class ImportEngineTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        calendar.locale = QLocale(QLocale::English, QLocale::UnitedStates);
        calendar.DateSeparator = QStringLiteral("/");
        log.setDisplay(&notices);
        log.setEcho([this](const QString& line) { logged << line.mid(10); });  // without the time
    }

    // Imports source into the ledger (created empty when it does not exist)
    // and returns the ledger's records afterwards.
    QStringList Import(const QByteArray& source, const QString& schemaText)
    {
        logged.clear();
        const QString sourcePath = dir.filePath(QStringLiteral("import.csv"));
        WriteAll(sourcePath, source);
        if (!QFile::exists(ledger))
            WriteAll(ledger, QByteArray());
        InvestmentFile file(files);
        EXPECT_TRUE(file.open(ledger));
        EXPECT_TRUE(OpenImportSource(files, sourcePath));
        ImportEngine engine(file, calendar, log);
        engine.ImportFromSource(ImportSchema::FromSaved(schemaText), sourcePath);
        engine.LogFinished();
        lineCount = engine.ImportLineCount;
        errorCount = engine.ImportErrorCount;
        EXPECT_FALSE(files.isOpen(ShortSlot));
        file.close();
        return RecordLines(ledger);
    }

    QTemporaryDir dir;
    FileTable files;
    Calendar calendar;
    SessionLog log{files, QString()};
    FakeNotices notices;
    QStringList logged;
    QString ledger = dir.filePath(QStringLiteral("ledger.dat"));
    std::int32_t lineCount = -1;
    std::int32_t errorCount = -1;
};

TEST_F(ImportEngineTest, TrickyLinesBecomeTheseRecords)
{
    // Imports source into a new ledger: its records (date,seq,desc,amount,
    // price,shares, joined by "|"), the lines counted, the errors and one
    // line the log must hold.
    const auto expect = [this](const char* source, const QString& schema, const QString& records,
                               int lines, int errors, const char* logLine = nullptr) {
        SCOPED_TRACE(source);
        QFile::remove(ledger);
        EXPECT_EQ(Import(source, schema).join(u'|'), records);
        EXPECT_EQ(lineCount, lines);
        EXPECT_EQ(errorCount, errors);
        EXPECT_EQ(logged.contains(ErrorsNotice), errors > 0);
        EXPECT_TRUE(!logLine || logged.contains(QLatin1String(logLine))) << logLine;
    };
    // An empty source appends nothing, not even the header.
    expect("", Full, QString(), 0, 0);
    EXPECT_EQ(ReadAll(ledger).size(), 0);
    EXPECT_EQ(logged,
              (QStringList{QStringLiteral("Importing ") + dir.filePath("import.csv") + u'.',
                           QStringLiteral("Lines read: 0."), QStringLiteral("Import finished.")}));
    // CR LF and LF line ends, none at the end: no carriage return is left on
    // the last field.
    expect("1/1/05,one,1,1\r\n1/2/05,two,2,1\n1/3/05,three,3,1\r\n1/4/05,four,4,1", Full,
           QStringLiteral("20050101,0,one      ,1,1,0|20050102,0,two      ,2,1,0|"
                          "20050103,0,three    ,3,1,0|20050104,0,four     ,4,1,0"),
           4, 0);
    // Empty lines are neither counted nor imported; an invalid date is
    // replaced by the number of the line, counting non-empty lines only.
    expect(
        "\r\n12/31/04,a,1,1\r\n\r\n2/30/04,b,1,1\r\n\n\n1/1/05,c,1,1\r\n", Full,
        QStringLiteral("20041231,0,a        ,1,1,0|2,0,b        ,1,1,0|20050101,0,c        ,1,1,0"),
        3, 1, "Invalid date found at line 2.");
    // Lines that cannot be imported are skipped and reported, one message each.
    expect(
        "1/1/05,ok,10,1\r\n1/2/05,bad,ten,1\r\n1/3/05,empty,\"\",1\r\n1/4/05,nosale,-50,0\r\n"
        "1/5/05,ok too,20,1\r\n",
        Full, QStringLiteral("20050101,0,ok       ,10,1,0|20050105,0,ok too   ,20,1,0"), 5, 3);
    for (int line = 2; line <= 4; ++line)
        EXPECT_EQ(logged.filter(QStringLiteral("Line %1: ").arg(line)).size(), 1) << line;
    // A broker's export: the heading has no valid date and no numbers, it is
    // reported once and left out. Purchases carry no share count.
    expect(
        "Date,Description,Amount,Price,Shares\r\n"
        "01/05/2010,\"Buy, IRA\",\"1,250.00\",12.50,100\r\n01/06/2010,Dividend,-31.75,12.6,\r\n",
        Full,
        QStringLiteral("20100105,0,Buy, IRA ,1250,12.5,0|20100106,0,Dividend ,-31.75,12.6,") +
            QString::number(-31.75 / 12.6, 'g', QLocale::FloatingPointShortest),
        3, 1, "Invalid date found at line 1.");
    EXPECT_EQ(logged.filter(QStringLiteral("Line 1: ")).size(), 1);
    // A heading without number columns is a line with an invalid date.
    expect("Date,Description\r\n20100105,Note\r\n", QStringLiteral("Date Description"),
           QStringLiteral("1,0,Descripti,0,0,0|20100105,0,Note     ,0,0,0"), 2, 1,
           "Invalid date found at line 1.");
    EXPECT_EQ(ReadAll(ledger).size(), 3 * RecordLength);
    EXPECT_EQ(ReadRecords(ledger).at(0).Version, VersionMajor);
}

TEST_F(ImportEngineTest, ProgressIsShownAndTheEndWaitedFor)
{
    Import("12/31/04,a,1,1\r\nxx/yy,b,1,1\r\n", Full);
    // The invalid date is logged only; the end is waited for.
    EXPECT_EQ(
        notices.notices,
        (QStringList{QStringLiteral("Importing ") + dir.filePath(QStringLiteral("import.csv")),
                     QStringLiteral("Lines read: 2"),
                     QStringLiteral("Errors were encountered.  Check log for details"),
                     QStringLiteral("Import finished")}));
    EXPECT_EQ(notices.waited, (std::vector<bool>{false, false, false, true}));
    EXPECT_TRUE(logged.contains(QStringLiteral("Invalid date found at line 2.")));
}

TEST_F(ImportEngineTest, StopsWhenARecordCannotBeWritten)
{
    // A header whose free chain points at a record in use: nothing can be added.
    WriteLedger(ledger, {{20041231, "In use", 100, 10, 0}});
    QByteArray bytes = ReadAll(ledger);
    const std::int32_t head = 2;
    std::memcpy(bytes.data() + 2, &head, 4);
    WriteAll(ledger, bytes);

    Import("12/31/04,a,1,1\r\n1/1/05,b,1,1\r\n", Full);
    EXPECT_EQ(ReadAll(ledger), bytes);
    EXPECT_EQ(lineCount, 1);
    EXPECT_EQ(errorCount, 1);
    EXPECT_EQ(logged.filter(QStringLiteral("Line 1: ")).size(), 1);
}

}  // namespace
