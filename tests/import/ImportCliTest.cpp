// brisden-cli import: where the schema comes from, and the failures that
// leave every file as it was.

#include "support/TestSupport.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <gtest/gtest.h>

using namespace brisden;
using namespace brisden::test;

namespace {

class ImportCliTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!QFileInfo::exists(QStringLiteral(BRISDEN_CLI)))
            GTEST_SKIP() << "brisden-cli is not built";
        ASSERT_TRUE(dir.isValid());
    }

    QString Path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }

    int Run(std::initializer_list<const char*> words)
    {
        QStringList args{QStringLiteral("import")};
        for (const char* word : words)
            args << QString::fromLatin1(word);
        QProcess process;
        process.setWorkingDirectory(dir.path());
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("LC_ALL"), QStringLiteral("en_US.UTF-8"));
        process.setProcessEnvironment(env);
        process.start(QStringLiteral(BRISDEN_CLI), args);
        EXPECT_TRUE(process.waitForFinished(60000));
        errors = QString::fromLocal8Bit(process.readAllStandardError());
        return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    }

    std::vector<TransactionRecord> Records(const char* name) const
    {
        const QByteArray bytes = ReadAll(Path(name));
        std::vector<TransactionRecord> out;
        for (qsizetype at = RecordLength; at + RecordLength <= bytes.size(); at += RecordLength)
            out.push_back(DecodeRecord(bytes.constData() + at));
        return out;
    }

    QTemporaryDir dir;
    QString errors;
};

}  // namespace

TEST_F(ImportCliTest, SchemaFromTheOptionOrTheSettings)
{
    WriteAll(Path("in.csv"), "31/12/2004,Fund buy,100,10\r\n");
    WriteAll(Path("Application.ini"),
             "[General]\r\nImportSchema=Date Description Amount Price Shares DMY\r\n");
    EXPECT_EQ(Run({"new.dat", "in.csv"}), 0) << errors.toStdString();
    auto recs = Records("new.dat");
    ASSERT_EQ(recs.size(), 1u);
    EXPECT_EQ(recs[0].TransDate, 20041231);
    EXPECT_EQ(recs[0].Amount, 100);
    EXPECT_TRUE(errors.contains(QStringLiteral("Lines read: 1.")));
    EXPECT_TRUE(errors.contains(QStringLiteral("Import finished.")));

    // The option wins over the setting; the setting is not rewritten.
    EXPECT_EQ(Run({"new.dat", "in.csv", "--schema", "Date Description Price Amount Shares DMY"}),
              0);
    recs = Records("new.dat");
    ASSERT_EQ(recs.size(), 2u);
    EXPECT_EQ(recs[1].Seq, 1);
    EXPECT_EQ(recs[1].SharePrice, 100);
    EXPECT_EQ(recs[1].Amount, 10);
    EXPECT_TRUE(ReadAll(Path("Application.ini")).contains("Shares DMY"));
}

TEST_F(ImportCliTest, NoSchemaAtAllIsNoError)
{
    WriteAll(Path("in.csv"), "whatever,1,2\r\n");
    EXPECT_EQ(Run({"a.dat", "in.csv"}), 0) << errors.toStdString();
    // Every column unused: a price record with the default description.
    const auto recs = Records("a.dat");
    ASSERT_EQ(recs.size(), 1u);
    EXPECT_EQ(recs[0].TransDate, 0);
    EXPECT_EQ(recs[0].Desc, QByteArray("Price imp"));
}

TEST_F(ImportCliTest, ErrorLinesStillExitWithZero)
{
    WriteAll(Path("in.csv"), "Date,Amount\r\n20100105,12\r\n");
    EXPECT_EQ(Run({"a.dat", "in.csv", "--schema", "Date Amount"}), 0);
    EXPECT_EQ(Records("a.dat").size(), 1u);
    EXPECT_TRUE(
        errors.contains(QStringLiteral("Errors were encountered.  Check log for details.")));
}

TEST_F(ImportCliTest, UnreadableSourceChangesNothing)
{
    EXPECT_EQ(Run({"new.dat", "missing.csv"}), 1);
    EXPECT_TRUE(errors.contains(QStringLiteral("Can't access missing.csv")));
    EXPECT_FALSE(QFileInfo::exists(Path("new.dat")));
}

TEST_F(ImportCliTest, InvalidInvestmentFileChangesNothing)
{
    WriteAll(Path("in.csv"), "20100105,12\r\n");
    QByteArray old(RecordLength, '\0');
    old[0] = 4;  // a version this program does not read
    WriteAll(Path("old.dat"), old);
    EXPECT_NE(Run({"old.dat", "in.csv"}), 0);
    EXPECT_EQ(ReadAll(Path("old.dat")), old);

    const QByteArray partial =
        ReadAll(WriteLedger(Path("partial.dat"), {{20100101, "x", 1, 1, 0}})) + "abc";
    WriteAll(Path("partial.dat"), partial);
    EXPECT_NE(Run({"partial.dat", "in.csv"}), 0);
    EXPECT_EQ(ReadAll(Path("partial.dat")), partial);
}

TEST_F(ImportCliTest, MissingArguments)
{
    EXPECT_EQ(Run({"a.dat"}), 2);
    EXPECT_EQ(Run({"a.dat", "in.csv", "--schema"}), 2);
}
