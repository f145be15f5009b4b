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

#include "durability/ChildProcess.h"
#include "durability/CrashOps.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <chrono>
#include <cstdio>
#include <gtest/gtest.h>
#include <random>

using namespace brisden;
using namespace brisden::durability;
using namespace brisden::test;

namespace {

struct Files {
    QByteArray dat;
    QByteArray bak;
    bool operator==(const Files&) const = default;
};

Files ReadFiles(const QString& folder)
{
    const QDir dir(folder);
    return {ReadAll(dir.filePath(DatName())), ReadAll(dir.filePath(BakName()))};
}

void WriteFiles(const QString& folder, const Files& files, const QByteArray& source)
{
    const QDir dir(folder);
    WriteAll(dir.filePath(DatName()), files.dat);
    if (files.bak.isNull())
        QFile::remove(dir.filePath(BakName()));
    else
        WriteAll(dir.filePath(BakName()), files.bak);
    WriteAll(dir.filePath(SourceName()), source);
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
    const QString name = WorkName(GetParam());
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
        EXPECT_EQ(OpeningMessages(QDir(work.path()).filePath(DatName())), QString())
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
                             QString name = WorkName(param.param);
                             name[0] = name[0].toUpper();
                             return name.toStdString();
                         });

}  // namespace
