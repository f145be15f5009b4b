// The import engine on real files: line counting, line ends, error lines,
// appending to an existing ledger, and what it logs.

#include "data/Dates.h"
#include "data/FileTable.h"
#include "data/InvestmentFile.h"
#include "import/ImportEngine.h"
#include "shell/SessionLog.h"
#include "support/TestSupport.h"
#include "ui/Interaction.h"

#include <QDir>
#include <cstring>
#include <gtest/gtest.h>

using namespace brisden;
using namespace brisden::test;

namespace {

struct Notice {
    QString message;
    bool wait;
};

class RecordingNotices final : public ui::INoticeDisplay {
public:
    std::vector<Notice> shown;
    void showNotice(const QString& message, bool wait, bool) override
    {
        shown.push_back({message, wait});
    }
};

class ImportEngineTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        calendar.locale = QLocale(QLocale::English, QLocale::UnitedStates);
        calendar.DateSeparator = QStringLiteral("/");
        log.setDisplay(&notices);
        log.setEcho([this](const QString& line) { logLines << line; });
        log.setClock([] { return QDateTime(QDate(2024, 1, 2), QTime(10, 11, 12)); });
    }

    QString Path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }

    // Imports source into the ledger (created empty when it does not exist)
    // and returns the records of the ledger afterwards.
    std::vector<TransactionRecord> Import(const QByteArray& source, const QString& schemaText)
    {
        const QString sourcePath = Path("import.csv");
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
        return Records();
    }

    std::vector<TransactionRecord> Records() const
    {
        const QByteArray bytes = ReadAll(ledger);
        std::vector<TransactionRecord> out;
        for (qsizetype at = RecordLength; at + RecordLength <= bytes.size(); at += RecordLength)
            out.push_back(DecodeRecord(bytes.constData() + at));
        return out;
    }

    // The log lines without their time.
    QStringList Logged() const
    {
        QStringList out;
        for (const QString& line : logLines)
            out << line.mid(10);
        return out;
    }

    QTemporaryDir dir;
    FileTable files;
    Calendar calendar;
    SessionLog log{files, QString()};
    RecordingNotices notices;
    QStringList logLines;
    QString ledger = Path("ledger.dat");
    std::int32_t lineCount = -1;
    std::int32_t errorCount = -1;
};

void ExpectRecord(const TransactionRecord& r, std::int32_t date, const char* desc, double amount,
                  double price, double shares)
{
    EXPECT_EQ(r.TransDate, date);
    EXPECT_EQ(r.Desc, QByteArray(desc));
    EXPECT_EQ(r.Amount, amount);
    EXPECT_EQ(r.SharePrice, price);
    EXPECT_EQ(r.Shares, shares);
}

const QString Full = QStringLiteral("Date Description Amount Price Shares MDY");
const QString ErrorsNotice = QStringLiteral("Errors were encountered.  Check log for details.");

}  // namespace

TEST_F(ImportEngineTest, LineWithATrailingEmptyField)
{
    const auto recs = Import("12/31/04,Fund buy,100,10,\r\n", Full);
    ASSERT_EQ(recs.size(), 1u);
    EXPECT_EQ(ReadAll(ledger).size(), 2 * RecordLength);
    EXPECT_EQ(recs[0].Version, VersionMajor);
    EXPECT_EQ(recs[0].Seq, 0);
    ExpectRecord(recs[0], 20041231, "Fund buy ", 100, 10, 0);
    EXPECT_EQ(errorCount, 0);
}

TEST_F(ImportEngineTest, EmptyLinesAreNeitherCountedNorImported)
{
    const auto recs =
        Import("\r\n12/31/04,a,1,1\r\n\r\n2/30/04,b,1,1\r\n\n\n1/1/05,c,1,1\r\n", Full);
    ASSERT_EQ(recs.size(), 3u);
    EXPECT_EQ(lineCount, 3);
    EXPECT_EQ(errorCount, 1);
    // The invalid date is replaced by the line number, counting only non-empty lines.
    EXPECT_EQ(recs[1].TransDate, 2);
    EXPECT_EQ(recs[1].Desc, QByteArray("b        "));
    EXPECT_TRUE(Logged().contains(QStringLiteral("Invalid date found at line 2.")));
    EXPECT_TRUE(Logged().contains(QStringLiteral("Lines read: 3.")));
    EXPECT_TRUE(Logged().contains(ErrorsNotice));
}

TEST_F(ImportEngineTest, CrLfAndLfLineEndsAndNoFinalLineEnd)
{
    const auto recs =
        Import("1/1/05,one,1,1\r\n1/2/05,two,2,1\n1/3/05,three,3,1\r\n1/4/05,four,4,1", Full);
    ASSERT_EQ(recs.size(), 4u);
    const char* descs[] = {"one      ", "two      ", "three    "};
    for (int i = 0; i < 3; ++i)
        ExpectRecord(recs[std::size_t(i)], 20050101 + i, descs[i], i + 1, 1, 0);
    EXPECT_EQ(recs[3].TransDate, 20050104);
    EXPECT_EQ(recs[3].Amount, 4);  // no carriage return left on the last field
    EXPECT_EQ(lineCount, 4);
    EXPECT_EQ(errorCount, 0);
}

TEST_F(ImportEngineTest, BrokerExportWithAHeadingLine)
{
    const auto recs = Import(
        "Date,Description,Amount,Price,Shares\r\n"
        "01/05/2010,\"Buy, IRA\",\"1,250.00\",12.50,100\r\n"
        "01/06/2010,Dividend,-31.75,12.6,\r\n",
        Full);
    // The heading has no valid date and no numbers: it is reported and left out.
    ASSERT_EQ(recs.size(), 2u);
    EXPECT_EQ(lineCount, 3);
    EXPECT_EQ(errorCount, 1);
    const QStringList logged = Logged();
    EXPECT_TRUE(logged.contains(QStringLiteral("Invalid date found at line 1.")));
    EXPECT_EQ(logged.filter(QStringLiteral("Line 1: ")).size(), 1);
    EXPECT_EQ(recs[0].Desc, QByteArray("Buy, IRA "));
    EXPECT_EQ(recs[0].Amount, 1250);
    EXPECT_EQ(recs[0].Shares, 0);  // purchases carry no share count
    EXPECT_EQ(recs[1].TransDate, 20100106);
    EXPECT_EQ(recs[1].Shares, -31.75 / 12.6);
}

TEST_F(ImportEngineTest, HeadingWithoutNumberColumnsIsAnInvalidDateLine)
{
    const auto recs =
        Import("Date,Description\r\n20100105,Note\r\n", QStringLiteral("Date Description"));
    ASSERT_EQ(recs.size(), 2u);
    EXPECT_EQ(recs[0].TransDate, 1);
    EXPECT_EQ(recs[0].Desc, QByteArray("Descripti"));
    EXPECT_EQ(recs[1].TransDate, 20100105);  // Universal order: year, month, day
    EXPECT_EQ(recs[1].Desc, QByteArray("Note     "));
}

TEST_F(ImportEngineTest, FieldsBeyondTheFifthAreIgnored)
{
    const auto recs = Import("1334.06,02 5 26,40.2858,\"Contribution\",0,\"extra\",99,,\r\n",
                             QStringLiteral("Amount Date PRICE DESCRIPTION Shares UDF"));
    ASSERT_EQ(recs.size(), 1u);
    ExpectRecord(recs[0], 20020526, "Contribut", 1334.06, 40.2858, 0);
}

TEST_F(ImportEngineTest, UnquotedEmptyFieldKeepsItsSlot)
{
    const auto recs = Import("20041231,,-250,12.5\r\n",
                             QStringLiteral("Date Description Amount Price Shares UDF"));
    ASSERT_EQ(recs.size(), 1u);
    ExpectRecord(recs[0], 20041231, "Sale imp.", -250, 12.5, -20);
}

TEST_F(ImportEngineTest, LinesThatCannotBeImportedAreSkippedAndReported)
{
    const auto recs = Import(
        "1/1/05,ok,10,1\r\n"
        "1/2/05,bad,ten,1\r\n"
        "1/3/05,empty,\"\",1\r\n"
        "1/4/05,nosale,-50,0\r\n"
        "1/5/05,ok too,20,1\r\n",
        Full);
    ASSERT_EQ(recs.size(), 2u);
    EXPECT_EQ(recs[0].Desc, QByteArray("ok       "));
    EXPECT_EQ(recs[1].Desc, QByteArray("ok too   "));
    EXPECT_EQ(lineCount, 5);
    EXPECT_EQ(errorCount, 3);
    const QStringList logged = Logged();
    for (int line = 2; line <= 4; ++line)
        EXPECT_EQ(logged.filter(QStringLiteral("Line %1: ").arg(line)).size(), 1) << line;
    EXPECT_TRUE(logged.contains(ErrorsNotice));
}

TEST_F(ImportEngineTest, EmptySourceAppendsNothing)
{
    const auto recs = Import(QByteArray(), Full);
    EXPECT_TRUE(recs.empty());
    EXPECT_EQ(ReadAll(ledger).size(), 0);
    EXPECT_EQ(lineCount, 0);
    EXPECT_EQ(Logged(),
              (QStringList{QStringLiteral("Importing ") + Path("import.csv") + u'.',
                           QStringLiteral("Lines read: 0."), QStringLiteral("Import finished.")}));
}

TEST_F(ImportEngineTest, AppendsToAnExistingLedgerWithTheNextSeq)
{
    WriteLedger(ledger, {{20041231, "Old one", 100, 10, 0},
                         {20041231, "Old two", 0, 11, 0},
                         {20050101, "Later", 0, 12, 0}});
    const auto recs = Import("12/31/2004,New,0,12,\r\n1/2/2005,Newer,0,13,\r\n", Full);
    ASSERT_EQ(recs.size(), 5u);
    EXPECT_EQ(recs[3].TransDate, 20041231);
    EXPECT_EQ(recs[3].Seq, 2);
    EXPECT_EQ(recs[3].Desc, QByteArray("New      "));
    EXPECT_EQ(recs[4].TransDate, 20050102);
    EXPECT_EQ(recs[4].Seq, 0);
}

TEST_F(ImportEngineTest, ProgressIsShownAndTheEndWaitedFor)
{
    Import("12/31/04,a,1,1\r\nxx/yy,b,1,1\r\n", Full);
    ASSERT_EQ(notices.shown.size(), 4u);  // the invalid date is logged only
    EXPECT_EQ(notices.shown[0].message, QStringLiteral("Importing ") + Path("import.csv"));
    EXPECT_FALSE(notices.shown[0].wait);
    EXPECT_EQ(notices.shown[1].message, QStringLiteral("Lines read: 2"));
    EXPECT_EQ(notices.shown[2].message,
              QStringLiteral("Errors were encountered.  Check log for details"));
    EXPECT_FALSE(notices.shown[2].wait);
    EXPECT_EQ(notices.shown[3].message, QStringLiteral("Import finished"));
    EXPECT_TRUE(notices.shown[3].wait);
    EXPECT_TRUE(Logged().contains(QStringLiteral("Invalid date found at line 2.")));
}

TEST_F(ImportEngineTest, SourceThatCannotBeOpened)
{
    EXPECT_FALSE(OpenImportSource(files, Path("missing.csv")));
    files.CloseFile(ShortSlot);
    EXPECT_EQ(CantAccessMessage(QStringLiteral("C:/x.csv")),
              QStringLiteral("Can't access C:/x.csv"));
}

TEST_F(ImportEngineTest, StopsWhenARecordCannotBeWritten)
{
    // A header whose free chain points at a record in use: nothing can be added.
    WriteLedger(ledger, {{20041231, "In use", 100, 10, 0}});
    QByteArray bytes = ReadAll(ledger);
    const std::int32_t head = 2;
    std::memcpy(bytes.data() + 2, &head, 4);
    WriteAll(ledger, bytes);

    const auto recs = Import("12/31/04,a,1,1\r\n1/1/05,b,1,1\r\n", Full);
    EXPECT_EQ(ReadAll(ledger), bytes);
    EXPECT_EQ(lineCount, 1);
    EXPECT_EQ(errorCount, 1);
    EXPECT_EQ(Logged().filter(QStringLiteral("Line 1: ")).size(), 1);
    EXPECT_FALSE(files.isOpen(ShortSlot));
}
