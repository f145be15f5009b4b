// The import engine on real files: tricky lines, line counting, line ends,
// error lines, and what it logs (appending to a ledger with the next Seq of
// a date is checked with the import dialog). Then the preview of an import
// (the split and the stored values of tricky lines, refused lines, repeats
// of ledger records) and a run that follows the choices made there, or is
// cancelled half-way.

#include "data/Dates.h"
#include "data/FileTable.h"
#include "data/InvestmentFile.h"
#include "import/ImportEngine.h"
#include "import/ImportPreview.h"
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

    QString Source(const QByteArray& text)
    {
        const QString path = dir.filePath(QStringLiteral("source.csv"));
        WriteAll(path, text);
        return path;
    }

    ImportPreview Preview(const QByteArray& text, int maxLines = 100,
                          DuplicateFinder ledgerRecords = DuplicateFinder())
    {
        return PreviewImport(Source(text), ImportSchema::FromSaved(Full), calendar,
                             std::move(ledgerRecords), maxLines);
    }

    // A row of the preview: line number, then date, description, amount,
    // price and shares as stored, or "refused".
    static QString Row(const PreviewLine& line)
    {
        if (line.refused())
            return QStringLiteral("%1 refused").arg(line.lineNumber);
        const TransactionRecord& r = line.result.record;
        return QStringLiteral("%1 %2|%3|%4|%5|%6")
            .arg(line.lineNumber)
            .arg(PreviewDateText(line.result), r.descText())
            .arg(r.Amount)
            .arg(r.SharePrice)
            .arg(r.Shares);
    }
    static QStringList Rows(const ImportPreview& p)
    {
        QStringList rows;
        for (const PreviewLine& line : p.lines)
            rows << Row(line);
        return rows;
    }

    // Runs the engine over text into the ledger (created empty when it does
    // not exist), with a selection, a cancel poll and a schema.
    ImportEngine& Run(const QByteArray& text, const ImportSelection* selection,
                      ui::ICancelPoll* cancel = nullptr, const QString& schema = Full)
    {
        logged.clear();
        if (!QFile::exists(ledger))
            WriteAll(ledger, QByteArray());
        file = std::make_unique<InvestmentFile>(files);
        EXPECT_TRUE(file->open(ledger));
        const QString source = Source(text);
        EXPECT_TRUE(OpenImportSource(files, source));
        engine = std::make_unique<ImportEngine>(*file, calendar, log);
        engine->setSelection(selection);
        engine->setCancelPoll(cancel);
        engine->setProgress([this](std::int64_t done, std::int64_t total) {
            progress.push_back({done, total});
        });
        engine->ImportFromSource(ImportSchema::FromSaved(schema), source);
        EXPECT_FALSE(files.isOpen(ShortSlot));
        file->close();
        return *engine;
    }

    // Imports source with the schema to its end: the ledger's records afterwards.
    QStringList Import(const QByteArray& source, const QString& schema)
    {
        Run(source, nullptr, nullptr, schema).LogFinished();
        return RecordLines(ledger);
    }

    DuplicateFinder LedgerRecords()
    {
        FileTable own;
        own.OpenFile(InvestmentSlot, ledger, QStringLiteral("R"), QStringLiteral("R"),
                     RecordLength);
        return DuplicateFinder::FromLedger(own, InvestmentSlot);
    }

    QTemporaryDir dir;
    FileTable files;
    Calendar calendar;
    SessionLog log{files, QString()};
    FakeNotices notices;
    QStringList logged;
    QString ledger = dir.filePath(QStringLiteral("ledger.dat"));
    std::unique_ptr<InvestmentFile> file;
    std::unique_ptr<ImportEngine> engine;
    std::vector<std::pair<std::int64_t, std::int64_t>> progress;
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
        EXPECT_EQ(engine->ImportLineCount, lines);
        EXPECT_EQ(engine->ImportErrorCount, errors);
        EXPECT_EQ(logged.contains(ErrorsNotice), errors > 0);
        EXPECT_TRUE(!logLine || logged.contains(QLatin1String(logLine))) << logLine;
    };
    // An empty source appends nothing, not even the header.
    expect("", Full, QString(), 0, 0);
    EXPECT_EQ(ReadAll(ledger).size(), 0);
    EXPECT_EQ(logged,
              (QStringList{QStringLiteral("Importing ") + dir.filePath("source.csv") + u'.',
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
        (QStringList{QStringLiteral("Importing ") + dir.filePath(QStringLiteral("source.csv")),
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
    EXPECT_EQ(engine->ImportLineCount, 1);
    EXPECT_EQ(engine->ImportErrorCount, 1);
    EXPECT_EQ(logged.filter(QStringLiteral("Line 1: ")).size(), 1);
}

using ImportPreviewTest = ImportEngineTest;

TEST_F(ImportPreviewTest, TrickyLinesAreSplitAndStoredAsTheEngineWould)
{
    const ImportPreview p = Preview(
        "\xEF\xBB\xBF"
        "12/31/04,\"Buy, IRA\",100,10,\r\n"    // a quoted comma, a trailing empty field
        "\r\n"                                 // not a line
        "1/2/05,,-50,5\r\n"                    // an empty field keeps its slot
        "1/3/05,Long description ,0,4,10\r\n"  // cut to nine; the amount from the shares
        "1/4/05,\"\",0,6,0\r\n"                // a quoted empty description: price record
        "1/5/05,Bad,\"\",6\r\n"                // a quoted empty amount: refused
        "2/30/05,Late,1,1\n");                 // invalid date: the line number stands in
    EXPECT_TRUE(p.wholeFile);
    EXPECT_EQ(Rows(p), (QStringList{
                           QStringLiteral("1 12-31-2004|Buy, IRA |100|10|0"),
                           QStringLiteral("2 1-02-2005|Sale imp.|-50|5|-10"),
                           QStringLiteral("3 1-03-2005|Long desc|40|4|0"),
                           QStringLiteral("4 1-04-2005|Price imp|0|6|0"),
                           QStringLiteral("5 refused"),
                           QStringLiteral("6 6|Late     |1|1|0"),
                       }));
    EXPECT_EQ(p.lines.at(0).text, QStringLiteral("12/31/04,\"Buy, IRA\",100,10,"));
    EXPECT_EQ(p.refusedCount, 1);
    EXPECT_EQ(p.invalidDateCount, 1);
    EXPECT_EQ(p.lines.at(4).result.messages,
              QStringList(QStringLiteral("Line 5: the Amount field \"\" is not a number, the line "
                                         "was not imported")));
    EXPECT_EQ(p.lines.at(5).result.messages,
              QStringList(QStringLiteral("Invalid date found at line 6")));
}

TEST_F(ImportPreviewTest, ReadsOnlyTheFirstLines)
{
    const QByteArray text = "1/1/05,a,1,1\r\n1/2/05,b,1,1\r\n\r\n1/3/05,c,1,1\r\n\r\n";
    ImportPreview p = Preview(text, 2);
    EXPECT_EQ(p.lines.size(), 2u);
    EXPECT_FALSE(p.wholeFile);
    p = Preview(text, 3);
    EXPECT_EQ(p.lines.size(), 3u);
    EXPECT_TRUE(p.wholeFile);  // the blank lines after the last do not count
    EXPECT_EQ(p.lines.back().lineNumber, 3);

    const ImportPreview missing = PreviewImport(dir.filePath(QStringLiteral("none.csv")),
                                                ImportSchema(), calendar, DuplicateFinder(), 10);
    EXPECT_TRUE(missing.lines.empty());
    EXPECT_EQ(missing.error, ErrorText(ErrFileNotFound));
}

TEST_F(ImportPreviewTest, LinesRepeatingLedgerRecordsAreMarkedOnePerRecord)
{
    WriteLedger(ledger, {{20050101, "Buy", 100, 10, 0},
                         {20050102, "Sell", -50, 5, -10},  // as an import stores it
                         {20050103, "Price", 0, 7.25, 0}});
    const ImportPreview p = Preview(
        "1/1/05,Other text,100,10\r\n"  // the purchase again, another description
        "1/1/05,Again,100,10\r\n"       // a second one: the ledger holds only one
        "1/2/05,,-50,5\r\n"             // the sale, its shares completed from the price
        "1/2/05,,-50,5,10\r\n"          // the same sale with its shares: stored otherwise
        "1/3/05,,0,7.25\r\n"            // the price record
        "1/3/05,,0,7.26\r\n"            // another price
        "1/4/05,,100,10\r\n"            // another date
        "1/1/05,x,abc,10\r\n",          // refused lines are never repeats
        100, LedgerRecords());
    std::vector<bool> duplicate;
    for (const PreviewLine& line : p.lines)
        duplicate.push_back(line.duplicate);
    EXPECT_EQ(duplicate, (std::vector<bool>{true, false, true, false, true, false, false, false}));
    EXPECT_EQ(p.duplicateCount, 3);
}

TEST_F(ImportPreviewTest, RunLeavesOutWhatThePreviewMarked)
{
    WriteLedger(ledger, {{20050101, "Buy", 100, 10, 0}, {20050102, "Buy", 200, 10, 0}});
    const QByteArray text =
        "1/1/05,Dup one,100,10\r\n"   // 1: repeat
        "1/2/05,Dup two,200,10\r\n"   // 2: repeat, kept by the user
        "1/3/05,New,300,10\r\n"       // 3: new, left out by the user
        "1/4/05,New too,400,10\r\n";  // 4: new
    const ImportPreview p = Preview(text, 100, LedgerRecords());
    ASSERT_EQ(p.duplicateCount, 2);

    ImportSelection selection;
    selection.leaveOutDuplicates = true;
    selection.lineChoice[2] = true;
    selection.lineChoice[3] = false;
    Run(text, &selection);
    EXPECT_EQ(RecordLines(ledger), (QStringList{QStringLiteral("20050101,0,Buy      ,100,10,0"),
                                                QStringLiteral("20050102,0,Buy      ,200,10,0"),
                                                QStringLiteral("20050102,1,Dup two  ,200,10,0"),
                                                QStringLiteral("20050104,0,New too  ,400,10,0")}));
    EXPECT_EQ(engine->leftOutCount, 2);
    EXPECT_EQ(engine->ImportLineCount, 4);
    EXPECT_EQ(engine->ImportErrorCount, 0);
    // (How a left-out repeat is logged is checked with the import dialog.)
    EXPECT_TRUE(logged.contains(QStringLiteral("Line 3: left out.")));
    EXPECT_TRUE(logged.contains(QStringLiteral("Lines left out: 2.")));
}

TEST_F(ImportPreviewTest, CancelKeepsWholeRecordsOfTheLinesBefore)
{
    QByteArray text;
    for (int i = 0; i < 5000; ++i)
        text +=
            "1/1/05,Line " + QByteArray::number(i) + ",1" + QByteArray::number(i % 10) + ",2.5\r\n";
    FakeCancel cancel(1234);  // the 1235th poll, before line 1235, says stop
    Run(text, nullptr, &cancel);
    EXPECT_TRUE(engine->cancelled);
    EXPECT_EQ(engine->ImportLineCount, 1234);
    const QByteArray bytes = ReadAll(ledger);
    EXPECT_EQ(bytes.size(), (1 + 1234) * RecordLength);  // the header and whole records only
    const std::vector<TransactionRecord> records = ReadRecords(ledger);
    ASSERT_EQ(records.size(), 1234u);
    EXPECT_EQ(records.back().descText(), QStringLiteral("Line 1233"));
    EXPECT_EQ(records.back().Amount, 13);
    EXPECT_TRUE(logged.contains(QStringLiteral("Import cancelled after line 1234.")));
    EXPECT_TRUE(logged.contains(QStringLiteral("Lines read: 1234.")));
    // Progress was told in steps as the source was read.
    ASSERT_GE(progress.size(), 4u);
    EXPECT_EQ(progress.front().first, 0);
    EXPECT_EQ(progress.back().second, text.size());
    EXPECT_LT(progress.back().first, text.size());

    // Run to the end, the last report says the whole source was read.
    QFile::remove(ledger);
    progress.clear();
    Run(text, nullptr, nullptr);
    EXPECT_FALSE(engine->cancelled);
    EXPECT_EQ(progress.back(),
              std::make_pair(std::int64_t(text.size()), std::int64_t(text.size())));
}

TEST_F(ImportPreviewTest, LineMessagesAreKeptForShowingAfterTheRun)
{
    QByteArray text = "1/1/05,a,x,1\r\n2/30/05,b,1,1\r\n";
    for (int i = 0; i < ImportEngine::KeptLineMessages + 10; ++i)
        text += "1/1/05,bad,,1\r\n";  // unquoted empty amount: the price moves into it
    Run(text, nullptr);
    ASSERT_EQ(engine->lineMessages.size(), ImportEngine::KeptLineMessages);
    EXPECT_EQ(engine->lineMessageCount, ImportEngine::KeptLineMessages + 12);
    EXPECT_EQ(engine->lineMessages.at(0),
              QStringLiteral("Line 1: the Amount field \"x\" is not a number, the line was not "
                             "imported"));
    EXPECT_EQ(engine->lineMessages.at(1), QStringLiteral("Invalid date found at line 2"));
}

}  // namespace
