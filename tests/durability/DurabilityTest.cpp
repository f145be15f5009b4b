// A process killed (SIGKILL) at random moments while it adds, deletes,
// imports, rebuilds, copies to the backup and restores. After every kill the
// investment file must open without a damage warning; each record must be
// byte for byte as it was before the interrupted step or as that step would
// have left it; a file replaced whole (rebuild, restore, backup copy) must be
// the old file or the new one, and never the new file without its backup.
//
// What the files held before and after the interrupted step is known by
// replaying the same numbered steps, from the same files, in this process.
//
// BRISDEN_CRASH_ROUNDS sets the number of kills per kind of work (default 50).
//
// Then two processes and one investment file: the process that has the file
// open keeps every other process from writing it, imports of the command
// line started together never mix, and a rebuild in another process never
// swallows records written meanwhile.

#include "durability/CrashOps.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <chrono>
#include <cstdio>
#include <gtest/gtest.h>
#include <random>

using namespace brisden;
using namespace brisden::durability;
using namespace brisden::test;
using namespace std::chrono_literals;

namespace {

struct Files {
    QByteArray dat;
    QByteArray bak;
    bool operator==(const Files&) const = default;
};

Files ReadFiles(const QString& folder)
{
    const QDir dir(folder);
    return {ReadAll(dir.filePath(DatName)), ReadAll(dir.filePath(BakName))};
}

void WriteFiles(const QString& folder, const Files& files, const QByteArray& source)
{
    const QDir dir(folder);
    WriteAll(dir.filePath(DatName), files.dat);
    if (files.bak.isNull())
        QFile::remove(dir.filePath(BakName));
    else
        WriteAll(dir.filePath(BakName), files.bak);
    WriteAll(dir.filePath(SourceName), source);
}

// Record n (from 2) when it is in use, else nothing.
std::optional<QByteArray> InUse(const QByteArray& dat, qsizetype n)
{
    const qsizetype offset = (n - 1) * RecordLength;
    if (offset + RecordLength > dat.size())
        return std::nullopt;
    const QByteArray record = dat.mid(offset, RecordLength);
    if (RecordVersionField(record.constData()) == 0)
        return std::nullopt;
    return record;
}

qsizetype InUseCount(const QByteArray& dat)
{
    qsizetype count = 0;
    for (qsizetype n = 2; n * RecordLength <= dat.size(); ++n)
        count += InUse(dat, n).has_value();
    return count;
}

// Leftover temporary files of an interrupted replacement (".Fund.dat.XXXXXX").
int RemoveTemporaries(const QString& folder)
{
    QDir dir(folder);
    const QStringList names =
        dir.entryList({QStringLiteral(".Fund.*")}, QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& name : names)
        dir.remove(name);
    return int(names.size());
}

struct Figures {
    int kills = 0, steps = 0, temporaries = 0;
    int interrupted = 0;  // killed between the start and the end of a step
    int between = 0;      // files left in a state between before and after
    long long recordsChecked = 0, losses = 0;
};

// The files after the steps done, and (when a step was cut short) after
// that step too and what kind of step it is.
struct Replayed {
    Files after, next;
    StepKind kind = StepKind::Records;
};

class CrashTest : public ::testing::TestWithParam<Work> {
protected:
    void reset()
    {
        const QByteArray base = BaseLedger(300, 5);
        WriteFiles(work.path(), {base, base}, source);
    }

    // Replays the sequence seed from start in a folder of its own.
    std::optional<Replayed> Replay(const Files& start, std::uint32_t seed, int done,
                                   int interrupted)
    {
        QTemporaryDir dir(replays.filePath(QStringLiteral("r")));
        WriteFiles(dir.path(), start, source);
        Sequence sequence(dir.path(), GetParam(), seed);
        if (!sequence.open())
            return std::nullopt;
        for (int k = 0; k <= done; ++k) {
            if (!sequence.step(k))
                return std::nullopt;
        }
        Replayed r{ReadFiles(dir.path()), {}, StepKind::Records};
        if (interrupted >= 0) {
            r.kind = sequence.kind(interrupted);
            if (!sequence.step(interrupted))
                return std::nullopt;
            r.next = ReadFiles(dir.path());
        }
        return r;
    }

    QTemporaryDir work, replays;
    QByteArray source = ImportSource(20, 17);
};

TEST_P(CrashTest, NoRecordIsLostWhenTheProcessIsKilled)
{
    ASSERT_TRUE(work.isValid() && replays.isValid());
    reset();
    const QString name = QLatin1String(WorkNames[int(GetParam())]);
    // Steps that copy whole files (and sync them to the disk) take longer:
    // the kills are spread over a longer time.
    const int maxDelayUs = GetParam() >= Work::Rebuild ? 40000 : 12000;
    const int rounds = qEnvironmentVariableIntValue("BRISDEN_CRASH_ROUNDS");
    std::mt19937 random(20240611u + unsigned(GetParam()));
    Figures figures;

    for (int round = 0; round < (rounds > 0 ? rounds : 50); ++round) {
        Files before = ReadFiles(work.path());
        if (InUseCount(before.dat) < 40 || before.dat.size() > 4000 * RecordLength) {
            reset();
            before = ReadFiles(work.path());
        }
        const std::uint32_t seed = 1000u + std::uint32_t(round);

        QProcess worker;
        ASSERT_TRUE(Start(worker, QStringLiteral(BRISDEN_CRASH_WORKER),
                          {name, work.path(), QString::number(seed)}));
        ASSERT_EQ(ReadLine(worker, 20000), QByteArray("R"))
            << "round " << round
            << ": the worker did not start: " << worker.readAllStandardError().constData();
        const auto deadline =
            std::chrono::steady_clock::now() +
            std::chrono::microseconds(std::uniform_int_distribution<int>(0, maxDelayUs)(random));
        while (std::chrono::steady_clock::now() < deadline)
            worker.waitForReadyRead(0);  // keeps its output flowing
        worker.kill();
        worker.waitForFinished();
        ++figures.kills;

        int begun = -1, done = -1;
        for (const QByteArray& line : worker.readAllStandardOutput().split('\n')) {
            ASSERT_FALSE(line.startsWith("F "))
                << "round " << round << ": step failed: " << line.constData();
            if (line.startsWith("B "))
                begun = line.mid(2).toInt();
            else if (line.startsWith("D "))
                done = line.mid(2).toInt();
        }
        const int interrupted = begun > done ? begun : -1;
        figures.steps += done + 1 + (interrupted >= 0);
        figures.temporaries += RemoveTemporaries(work.path());
        const Files crashed = ReadFiles(work.path());
        const std::optional<Replayed> replayed = Replay(before, seed, done, interrupted);
        ASSERT_TRUE(replayed) << "round " << round << ": the replay failed";
        const Files& after = replayed->after;
        const Files& next = replayed->next;

        // The file opens as the desktop program opens it: no partial record,
        // no damaged chain of deleted records.
        EXPECT_EQ(OpeningMessages(QDir(work.path()).filePath(DatName)), QString())
            << "round " << round;
        figures.recordsChecked += InUseCount(after.dat);

        if (interrupted < 0) {
            // Killed between two steps: exactly the files of the steps done.
            EXPECT_TRUE(crashed == after) << "round " << round << " after step " << done;
            figures.losses += crashed == after ? 0 : 1;
            continue;
        }
        ++figures.interrupted;
        const std::string step =
            "round " + std::to_string(round) + ", step " + std::to_string(interrupted);
        if (!(crashed == after) && !(crashed == next))
            ++figures.between;
        if (replayed->kind == StepKind::WholeFiles) {
            // Old or new, and the new investment file never without the new
            // backup (the rebuild's backup is the old file).
            const bool ok = crashed == after || crashed == next ||
                            (crashed.dat == after.dat && crashed.bak == next.bak);
            EXPECT_TRUE(ok) << step;
            figures.losses += ok ? 0 : 1;
            continue;
        }
        EXPECT_EQ(crashed.bak, after.bak) << step;
        const qsizetype records =
            std::max({crashed.dat.size(), after.dat.size(), next.dat.size()}) / RecordLength;
        for (qsizetype n = 2; n <= records; ++n) {
            const auto c = InUse(crashed.dat, n);
            const bool ok = c == InUse(after.dat, n) || c == InUse(next.dat, n);
            EXPECT_TRUE(ok) << step << ": record " << n
                            << (c ? " is neither as before nor as after the step" : " is missing");
            figures.losses += ok ? 0 : 1;
        }
    }

    std::printf(
        "[ figures  ] %s: %d kills, %d steps run, %d steps interrupted (%d left the files between "
        "before and after), %lld records checked, %lld lost, %d temporary files left\n",
        qPrintable(name), figures.kills, figures.steps, figures.interrupted, figures.between,
        figures.recordsChecked, figures.losses, figures.temporaries);
    EXPECT_EQ(figures.losses, 0);
}

INSTANTIATE_TEST_SUITE_P(Works, CrashTest,
                         ::testing::Values(Work::Add, Work::Release, Work::Import, Work::Rebuild,
                                           Work::Backup, Work::Restore),
                         [](const ::testing::TestParamInfo<Work>& param) {
                             QString name = QLatin1String(WorkNames[int(param.param)]);
                             name[0] = name[0].toUpper();
                             return name.toStdString();
                         });

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
                                                QStringLiteral("--schema"), ImportSchemaText},
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
                                           QStringLiteral("--schema"), ImportSchemaText});
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
                               QStringLiteral("--schema"), ImportSchemaText},
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
