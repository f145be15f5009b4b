// Backup copies, restore from the backup, and the rebuild that drops freed
// records.

#include "data/Backup.h"
#include "data/FileTable.h"
#include "data/InvestmentFile.h"
#include "shell/SessionLog.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace brisden;
using brisden::test::FakeMessages;
using brisden::test::ReadAll;
using brisden::test::WriteAll;
using brisden::test::WriteLedger;

namespace {

TEST(BackupNameTest, TheExtensionBecomesBak)
{
    EXPECT_EQ(BackupFileName(QStringLiteral("C:\\Data\\Fund.dat")),
              QStringLiteral("C:\\Data\\Fund.bak"));
    EXPECT_EQ(BackupFileName(QStringLiteral("/data/Fund.DAT")), QStringLiteral("/data/Fund.bak"));
    EXPECT_EQ(BackupFileName(QStringLiteral("/data/my.fund.dat")),
              QStringLiteral("/data/my.fund.bak"));
    // A name without a dot gets one; a dot in a folder name does not count.
    EXPECT_EQ(BackupFileName(QStringLiteral("/data.2004/fund")),
              QStringLiteral("/data.2004/fund.bak"));
}

class BackupTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    FileTable files;
    InvestmentFile inv{files};
    FakeMessages messages;
    QString logPath = dir.filePath(QStringLiteral("Application.log"));
    SessionLog log{files, logPath};
    Backup backup{inv, log, messages};
    QString path = dir.filePath(QStringLiteral("Fund.dat"));
    QString bak = dir.filePath(QStringLiteral("Fund.bak"));
    int stops = 0, starts = 0;

    void SetUp() override
    {
        log.setClock([] { return QDateTime(QDate(2004, 1, 2), QTime(9, 30, 0)); });
        backup.stopAutoBackup = [this] { ++stops; };
        backup.startAutoBackup = [this] { ++starts; };
    }
    // A ledger with records 2 to 6, of which 3 and 5 are free (chain 5 -> 3).
    QByteArray writeHoledLedger(const QString& where)
    {
        WriteLedger(where, {{20040101, "a", 1, 0, 0},
                            {20040102, "b", 2, 0, 0},
                            {20040103, "c", 3, 0, 0},
                            {20040104, "d", 4, 0, 0},
                            {20040105, "e", 5, 0, 0}});
        FileTable t;
        t.OpenFile(InvestmentSlot, where, QStringLiteral("R"), QStringLiteral("RW"), 41);
        EXPECT_EQ(ReleaseRecord(t, InvestmentSlot, 5), 5);
        EXPECT_EQ(ReleaseRecord(t, InvestmentSlot, 3), 3);
        t.CloseAll();
        return ReadAll(where);
    }
    // The holed ledger as the open current file; its bytes.
    QByteArray currentHoled()
    {
        const QByteArray bytes = writeHoledLedger(path);
        EXPECT_TRUE(inv.open(path));
        inv.CurrentFile = path;
        return bytes;
    }
    QStringList logLines() const { return brisden::test::TextLines(logPath); }
};

TEST_F(BackupTest, RebuildingDropsFreedRecordsAndKeepsTheOldFileAsBackup)
{
    const QByteArray old = writeHoledLedger(path) + QByteArray(17, 'x');  // a partial tail
    WriteAll(path, old);
    const RebuildResult r = RebuildFile(files, ShortSlot, path, 41, messages);
    EXPECT_TRUE(r.rebuilt);
    EXPECT_EQ(r.error, 0);
    EXPECT_EQ(r.recordsRead, 6);
    EXPECT_EQ(r.recordsWritten, 4);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, QStringLiteral("Records read: 6, Records written: 4"));

    // The header with an empty chain, then the old records 2, 4 and 6.
    EXPECT_EQ(ReadAll(path), old.left(2) + QByteArray(4, '\xff') + old.mid(6, 35) +
                                 old.mid(41, 41) + old.mid(3 * 41, 41) + old.mid(5 * 41, 41));
    EXPECT_EQ(ReadAll(bak), old);
    // The backup is the one file "Fund.bak", whatever the letter case of the
    // step that writes it.
    EXPECT_EQ(
        QDir(dir.path()).entryList({QStringLiteral("*.bak"), QStringLiteral("*.BAK")}, QDir::Files),
        QStringList{QStringLiteral("Fund.bak")});
    EXPECT_FALSE(files.isOpen(ShortSlot));
}

TEST_F(BackupTest, RebuildsThatCannotBeDoneChangeNothing)
{
    WriteAll(path, {});
    RebuildResult r = RebuildFile(files, ShortSlot, path, 41, messages);
    EXPECT_FALSE(r.rebuilt);
    EXPECT_EQ(messages.texts(), QStringList{QStringLiteral("There is nothing in the file.")});
    EXPECT_EQ(messages.shown[0].icon, ui::Icon::Exclamation);
    EXPECT_FALSE(QFileInfo::exists(bak));
    EXPECT_EQ(files.fileNumber(ShortSlot), 0);

    // A missing file leaves its error in the slot.
    const QString missing = dir.filePath(QStringLiteral("gone.dat"));
    r = RebuildFile(files, ShortSlot, missing, 41, messages);
    EXPECT_EQ(r.error, ErrFileNotFound);
    EXPECT_EQ(files.fileNumber(ShortSlot), -ErrFileNotFound);
    EXPECT_FALSE(QFileInfo::exists(missing));
    files.CloseFile(ShortSlot);

    // A backup file is not rebuilt over itself.
    const QByteArray old = writeHoledLedger(bak);
    messages.shown.clear();
    EXPECT_FALSE(RebuildFile(files, ShortSlot, bak, 41, messages).rebuilt);
    EXPECT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(ReadAll(bak), old);
    QFile::remove(bak);

    // Nor a file another handle writes.
    writeHoledLedger(path);
    {
        FileTable other;
        other.OpenFile(InvestmentSlot, path, QStringLiteral("R"), QStringLiteral("RW"), 41);
        EXPECT_EQ(RebuildFile(files, ShortSlot, path, 41, messages).error, ErrPermissionDenied);
        EXPECT_EQ(ReadAll(path), old);
        EXPECT_FALSE(QFileInfo::exists(bak));
    }

    // Nor one whose backup cannot be written (a folder has its name).
    ASSERT_TRUE(QDir().mkdir(bak));
    r = RebuildFile(files, ShortSlot, path, 41, messages);
    EXPECT_FALSE(r.rebuilt);
    EXPECT_NE(r.error, 0);
    EXPECT_EQ(ReadAll(path), old);
}

TEST_F(BackupTest, TheRebuildCommandClosesAndReopensOnlyTheCurrentFile)
{
    const QString other = dir.filePath(QStringLiteral("Other.dat"));
    writeHoledLedger(other);
    currentHoled();
    // (That slot 2 stays open meanwhile is checked with the window's command.)
    EXPECT_TRUE(backup.RebuildInvestmentFile(other).rebuilt);
    EXPECT_EQ(stops, 0);
    EXPECT_EQ(logLines(),
              (QStringList{QStringLiteral("09:30:00: Rebuilding file ") + other + QLatin1Char('.'),
                           QStringLiteral("09:30:00: File has been rebuilt.")}));

    EXPECT_TRUE(backup.RebuildInvestmentFile(path).rebuilt);
    EXPECT_EQ(stops, 1);
    EXPECT_EQ(starts, 1);
    // The reopened file takes new records after the compacted ones.
    inv.RecordBuffer = TransactionRecord();
    inv.RecordBuffer.TransDate = 20040103;
    EXPECT_EQ(inv.AddRecord(), 5);
    EXPECT_EQ(inv.RecordBuffer.Seq, 1);

    const RebuildResult missing =
        backup.RebuildInvestmentFile(dir.filePath(QStringLiteral("x.dat")));
    EXPECT_EQ(missing.error, ErrFileNotFound);
    EXPECT_EQ(messages.shown.back().text, QStringLiteral("Error: File not found\n") +
                                              dir.filePath(QStringLiteral("x.dat")) +
                                              QStringLiteral(": it does not exist"));
    EXPECT_EQ(messages.beeps, 1);
}

// The asked copy does nothing on No; on Yes it copies and reopens the
// current file. The quiet copy keeps the file open and replaces an older backup.
TEST_F(BackupTest, CopiesToTheBackupAskedOrQuietly)
{
    const QByteArray old = currentHoled();
    messages.answers = {false, true};
    EXPECT_FALSE(backup.SaveData(false));
    EXPECT_EQ(messages.questions,
              QStringList{QStringLiteral("Should I copy the current file, ") + path +
                          QStringLiteral(", to ") + bak + QStringLiteral("?")});
    EXPECT_FALSE(QFileInfo::exists(bak));
    EXPECT_TRUE(logLines().isEmpty());
    EXPECT_FALSE(backup.busy());
    EXPECT_TRUE(backup.SaveData(false));
    EXPECT_EQ(ReadAll(bak), old);
    EXPECT_TRUE(inv.isOpen());
    const QString copied = QStringLiteral("09:30:00: Copied ") + path + QStringLiteral(" to ") +
                           bak + QLatin1Char('.');
    EXPECT_EQ(logLines(), QStringList{copied});

    WriteAll(bak, QByteArray(1000, 'o'));  // an older, longer backup is replaced whole
    const int reopened = files.fileNumber(InvestmentSlot);
    EXPECT_TRUE(backup.SaveData(true));
    EXPECT_EQ(ReadAll(bak), old);
    EXPECT_EQ(files.fileNumber(InvestmentSlot), reopened);
    EXPECT_FALSE(files.isOpen(BackupSlot));
    EXPECT_EQ(messages.questions.size(), 2);  // the quiet copy asks nothing
    EXPECT_EQ(logLines(), (QStringList{copied, copied}));
    EXPECT_FALSE(backup.busy());
}

TEST_F(BackupTest, NoCopyWithoutACurrentFileWhileBusyOrToAFolder)
{
    EXPECT_FALSE(backup.SaveData(true));
    currentHoled();

    // The timer fires while the user is being asked: the nested copy does
    // nothing.
    struct Reentrant final : ui::IMessageBox {
        Backup* b = nullptr;
        bool nested = true;
        void show(const QString&, ui::Icon) override {}
        bool askYesNo(const QString&, bool) override
        {
            nested = b->SaveData(true);
            return false;
        }
        bool askOkCancel(const QString&) override { return false; }
        void beep() override {}
    } asking;
    Backup withQuestion(inv, log, asking);
    asking.b = &withQuestion;
    EXPECT_FALSE(withQuestion.SaveData(false));
    EXPECT_FALSE(asking.nested);
    EXPECT_FALSE(withQuestion.busy());
    EXPECT_FALSE(QFileInfo::exists(bak));

    // A copy that fails (the backup name is taken by a folder) is not logged,
    // and leaves the file open and usable.
    const QByteArray old = ReadAll(path);
    QDir().mkdir(bak);
    EXPECT_FALSE(backup.SaveData(true));
    EXPECT_TRUE(QFileInfo(bak).isDir());
    EXPECT_EQ(ReadAll(path), old);
    messages.answers = {true};
    EXPECT_FALSE(backup.SaveData(false));
    EXPECT_TRUE(inv.isOpen());
    inv.BuildRecordIndex();
    EXPECT_EQ(inv.indexedCount(), 3u);
    EXPECT_TRUE(logLines().isEmpty());
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_FALSE(backup.busy());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);  // no leftovers
}

// Without a backup the restore reports it and keeps the file; with one it
// copies it back and reopens the file, which numbers Seqs from what it now holds.
TEST_F(BackupTest, RestoringCopiesTheBackupBack)
{
    const QByteArray old = currentHoled();
    messages.answers = {true, false, true};
    EXPECT_FALSE(backup.RestoreBackup());
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(
        messages.shown[0].text,
        QStringLiteral("Error: File not found\nThere was an error copying the backup file, ") +
            bak + QStringLiteral(", to the current file, ") + path +
            QStringLiteral(".  Check to make sure that one or both files are not also in use "
                           "by another program, and then try again."));
    EXPECT_EQ(messages.shown[0].icon, ui::Icon::Exclamation);
    EXPECT_EQ(ReadAll(path), old);
    EXPECT_TRUE(inv.isOpen());
    EXPECT_EQ(starts, 1);
    EXPECT_TRUE(logLines().isEmpty());

    WriteLedger(bak, {{19990101, "restored", 7, 0, 0}});
    EXPECT_FALSE(backup.RestoreBackup());  // No
    EXPECT_EQ(stops, 1);
    EXPECT_EQ(ReadAll(path), old);
    EXPECT_TRUE(backup.RestoreBackup());
    EXPECT_EQ(messages.questions.last(), QStringLiteral("Should I copy the backup file, ") + bak +
                                             QStringLiteral(", to the current file, ") + path +
                                             QStringLiteral("?"));
    EXPECT_EQ(ReadAll(path), ReadAll(bak));
    EXPECT_TRUE(inv.isOpen());
    EXPECT_EQ(files.length(InvestmentSlot), 82);
    EXPECT_EQ(stops, 2);
    EXPECT_EQ(starts, 2);
    EXPECT_EQ(logLines(), QStringList{QStringLiteral("09:30:00: Restored ") + path +
                                      QStringLiteral(" from ") + bak + QLatin1Char('.')});
    inv.RecordBuffer = TransactionRecord();
    inv.RecordBuffer.TransDate = 19990101;
    EXPECT_EQ(inv.AddRecord(), 3);
    EXPECT_EQ(inv.RecordBuffer.Seq, 1);
}

}  // namespace
