// Two processes and one investment file: the process that has the file open
// keeps every other process from writing it, imports of the command line
// started together never mix, and a rebuild in another process never
// swallows records written meanwhile.

#include "durability/ChildProcess.h"
#include "durability/CrashOps.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QSet>
#include <QTemporaryDir>
#include <chrono>
#include <gtest/gtest.h>

using namespace brisden;
using namespace brisden::durability;
using namespace brisden::test;
using namespace std::chrono_literals;

namespace {

// The descriptions of the file's records, in the order of the file.
QStringList Descriptions(const QString& dat)
{
    QStringList list;
    for (const TransactionRecord& r : ReadRecords(dat))
        list << r.descText().trimmed();
    return list;
}

class SharedFileTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    QString Path(const QString& name) const { return dir.filePath(name); }

    QTemporaryDir dir;
};

TEST_F(SharedFileTest, AFileOpenInOneProcessCannotBeWrittenByAnother)
{
    const QString dat = WriteLedger(Path(QStringLiteral("Fund.dat")),
                                    {{20200102, "buy", 500, 5, 0}, {20200203, "sell", -100, 6, 0}});
    const QString source = Path(QStringLiteral("in.csv"));
    WriteAll(source, "20200301,More,100,5,\r\n");
    const QByteArray before = ReadAll(dat);

    QProcess holder;
    ASSERT_TRUE(Start(holder, QStringLiteral(BRISDEN_CRASH_WORKER), {QStringLiteral("hold"), dat}));
    ASSERT_EQ(ReadLine(holder, 20000), QByteArray("R"));

    // This process may read the file, not write it.
    FileTable files;
    files.OpenFile(InvestmentSlot, dat, QStringLiteral("R"), QStringLiteral("RW"), RecordLength);
    EXPECT_EQ(files.fileNumber(InvestmentSlot), -ErrPermissionDenied);
    // No kind of write, and a refused output open empties nothing.
    for (const auto& [kind, access] : {std::pair{"B", "RW"}, {"O", "W"}}) {
        files.OpenFile(ShortSlot, dat, QLatin1String(kind), QLatin1String(access), 0);
        EXPECT_EQ(files.fileNumber(ShortSlot), -ErrPermissionDenied) << kind;
    }
    EXPECT_EQ(ReadAll(dat), before);
    files.OpenFile(ShortSlot, dat, QStringLiteral("I"), QStringLiteral("R"), 0);
    EXPECT_TRUE(files.isOpen(ShortSlot));
    files.CloseFile(ShortSlot);
    files.OpenFile(ShortSlot, dat, QStringLiteral("R"), QStringLiteral("R"), RecordLength);
    ASSERT_TRUE(files.isOpen(ShortSlot));
    char header[RecordLength];
    EXPECT_TRUE(files.readAt(ShortSlot, 0, header, RecordLength));
    files.CloseAll();
    {
        FakeMessages messages;
        InvestmentFile file(files);
        EXPECT_FALSE(OpenInvestmentFile(file, dat, QString(), messages));
        ASSERT_FALSE(messages.shown.empty());
        EXPECT_TRUE(
            messages.texts().last().contains(QStringLiteral("open in another copy of Brisden")));
    }

    // Neither the command line's import nor its rebuild touches it.
    for (const QStringList& args : {QStringList{QStringLiteral("import"), dat, source,
                                                QStringLiteral("--schema"), ImportSchemaText()},
                                    QStringList{QStringLiteral("rebuild"), dat}}) {
        const CliRun cli = RunCli(dir.path(), args);
        EXPECT_EQ(cli.exitCode, 1) << args.join(' ').toStdString();
        EXPECT_TRUE(cli.errors.contains(QStringLiteral("open in another copy of Brisden")))
            << cli.errors.toStdString();
    }
    EXPECT_EQ(ReadAll(dat), before);
    EXPECT_FALSE(QFile::exists(Path(QStringLiteral("Fund.bak"))));

    // A holder that dies lets go of the file at once.
    holder.kill();
    holder.waitForFinished();
    const CliRun cli = RunCli(dir.path(), {QStringLiteral("import"), dat, source,
                                           QStringLiteral("--schema"), ImportSchemaText()});
    EXPECT_EQ(cli.exitCode, 0) << cli.errors.toStdString();
    EXPECT_EQ(Descriptions(dat),
              (QStringList{QStringLiteral("buy"), QStringLiteral("sell"), QStringLiteral("More")}));
    EXPECT_TRUE(ReadAll(dat).startsWith(before));
}

TEST_F(SharedFileTest, ImportsStartedTogetherAddWholeImportsOrNothing)
{
    constexpr int Processes = 3;
    constexpr int Lines = 150;
    // Each source's records carry its number and their line.
    QStringList sources;
    for (int p = 0; p < Processes; ++p) {
        QByteArray text;
        for (int line = 0; line < Lines; ++line)
            text += "2021" + QByteArray::number(1001 + line % 28 + 100 * (line % 12)).right(4) +
                    ",P" + QByteArray::number(p) + "-" + QByteArray::number(line) + ",100,5,\r\n";
        sources << Path(QStringLiteral("source%1.csv").arg(p));
        WriteAll(sources.last(), text);
    }

    int succeeded = 0, refused = 0;
    for (int round = 0; round < 6; ++round) {
        // The file is missing at first: the processes also race to create it.
        const QString dat = Path(QStringLiteral("Shared%1.dat").arg(round));
        QProcess cli[Processes];
        for (int p = 0; p < Processes; ++p) {
            ASSERT_TRUE(Start(cli[p], QStringLiteral(BRISDEN_CLI),
                              {QStringLiteral("import"), dat, sources[p],
                               QStringLiteral("--schema"), ImportSchemaText()},
                              dir.path()));
        }
        QSet<int> imported;
        for (int p = 0; p < Processes; ++p) {
            const int status = Wait(cli[p], 120000);
            const QByteArray errors = cli[p].readAllStandardError();
            ASSERT_TRUE(status == 0 || status == 1) << errors.constData();
            if (status == 0) {
                imported.insert(p);
                ++succeeded;
            } else {
                EXPECT_TRUE(errors.contains("open in another copy of Brisden"))
                    << errors.constData();
                ++refused;
            }
        }
        ASSERT_FALSE(imported.isEmpty());
        ASSERT_EQ(OpeningMessages(dat), QString());

        // Every import that succeeded is there whole, each record once; a
        // refused one left nothing.
        const QStringList physical = Descriptions(dat);
        EXPECT_EQ(physical.size(), imported.size() * Lines);
        for (int p : imported) {
            const QString first = QStringLiteral("P%1-0").arg(p);
            const qsizetype at = physical.indexOf(first);
            ASSERT_GE(at, 0);
            for (int line = 0; line < Lines; ++line)
                EXPECT_EQ(physical.value(at + line), QStringLiteral("P%1-%2").arg(p).arg(line));
        }
    }
    std::printf("[ figures  ] concurrent imports: %d succeeded, %d refused, none mixed\n",
                succeeded, refused);
}

TEST_F(SharedFileTest, ARebuildInAnotherProcessNeverSwallowsRecords)
{
    const QString dat = Path(QStringLiteral("Fund.dat"));
    WriteAll(dat, BaseLedger(200, 3));
    QProcess churn;
    ASSERT_TRUE(Start(churn, QStringLiteral(BRISDEN_CRASH_WORKER), {QStringLiteral("churn"), dat}));
    ASSERT_EQ(ReadLine(churn, 20000), QByteArray("R"));

    // This process opens the file, adds one record and closes it, again and
    // again, while the other one rebuilds it (which replaces the file).
    QStringList added;
    int refused = 0;
    FileTable files;
    InvestmentFile file(files);
    const auto end = std::chrono::steady_clock::now() + 1500ms;
    for (int i = 0; std::chrono::steady_clock::now() < end; ++i) {
        if (!file.open(dat)) {
            ASSERT_EQ(files.fileNumber(InvestmentSlot), -ErrPermissionDenied);
            ++refused;
            continue;
        }
        file.RecordBuffer = TransactionRecord();
        file.RecordBuffer.TransDate = 20220101 + i % 28;
        file.RecordBuffer.setDesc(QStringLiteral("N%1").arg(i));
        file.RecordBuffer.Amount = 10;
        file.RecordBuffer.SharePrice = 1;
        if (file.AddRecord() >= 2)
            added << QStringLiteral("N%1").arg(i);
        file.close();
    }
    churn.kill();
    churn.waitForFinished();
    // Killed in the middle of a rebuild, the file is the old one or the new
    // one, and opens either way; the temporary file of the new one is left.
    for (const QString& name :
         QDir(dir.path()).entryList({QStringLiteral(".Fund.*")}, QDir::Files | QDir::Hidden))
        QFile::remove(Path(name));
    ASSERT_EQ(OpeningMessages(dat), QString());
    const QStringList present = Descriptions(dat);
    int missing = 0;
    for (const QString& d : added)
        missing += present.count(d) == 1 ? 0 : 1;
    EXPECT_GT(added.size(), 10);
    EXPECT_EQ(missing, 0) << "of " << added.size() << " records added";
    std::printf(
        "[ figures  ] rebuilds in another process: %lld records added, %d opens refused "
        "during a rebuild, %d lost\n",
        static_cast<long long>(added.size()), refused, missing);
}

}  // namespace
