// The numbered file slots: results left in the slot (output that empties and
// append that adds are checked with the session journal), missing and
// read-only folders, and the lock on the current investment file
// within this process (other processes: tests/durability/DurabilityTest).
// Then investment files that cannot be written: viewed read-only where that
// is asked for, refused for changes, with the file and the reason in every
// message. The case of an ordinary user runs in a child process that gives up
// root (or as the user running the tests, when that is not root).

#include "data/FileTable.h"
#include "data/InvestmentFile.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace brisden;
using brisden::test::FakeMessages;
using brisden::test::ReadAll;
using brisden::test::WriteAll;
using brisden::test::WriteLedger;

namespace {

class FileTableTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    FileTable files;
    QString file(const char* name) { return dir.filePath(QLatin1String(name)); }
};

TEST_F(FileTableTest, FailedOpensLeaveTheirErrorAndNoFile)
{
    files.OpenFile(ShortSlot, file("none.dat"), QStringLiteral("I"), QStringLiteral("R"), 0);
    EXPECT_EQ(files.fileNumber(ShortSlot), -53);
    EXPECT_FALSE(files.isOpen(ShortSlot));
    files.CloseFile(ShortSlot);
    EXPECT_EQ(files.fileNumber(ShortSlot), 0);
    files.CloseFile(ShortSlot);  // closing a closed slot does nothing more
    EXPECT_EQ(files.fileNumber(ShortSlot), 0);

    WriteAll(file("Fund.dat"), "x");
    const struct {
        QString path;
        const char *kind, *access;
        int error;
    } cases[] = {
        {file("no/such/Fund.dat"), "I", "R", ErrPathNotFound},
        {file("Fund.dat/inner.dat"), "O", "W", ErrPathNotFound},  // a file where a folder should be
        {dir.path(), "R", "RW", ErrPathFileAccess},               // a folder where a file should be
        {file("y.txt"), "I", "W", 0},                             // an unknown combination
    };
    for (const auto& c : cases) {
        files.OpenFile(ShortSlot, c.path, QLatin1String(c.kind), QLatin1String(c.access), 41);
        if (c.error)
            EXPECT_EQ(files.fileNumber(ShortSlot), -c.error) << c.path.toStdString();
        else
            EXPECT_LT(files.fileNumber(ShortSlot), 0) << c.path.toStdString();
    }
    EXPECT_EQ(ReadAll(file("Fund.dat")), QByteArray("x"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("Fund.dat")});
}

TEST_F(FileTableTest, AReadOnlyFolderRefusesNewFilesButLetsTheLedgerBeRead)
{
    // Root passes over permission bits: read-only folders only bind other users.
    if (::geteuid() == 0)
        GTEST_SKIP() << "permission bits do not bind root";
    const QString locked = file("locked");
    QDir().mkdir(locked);
    const QString inside =
        WriteLedger(locked + QStringLiteral("/Fund.dat"), {{20040101, "Buy", 100, 10, 0}});
    QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    QFile::setPermissions(inside, QFileDevice::ReadOwner);

    files.OpenFile(ShortSlot, locked + QStringLiteral("/new.txt"), QStringLiteral("O"),
                   QStringLiteral("W"), 0);
    EXPECT_EQ(files.fileNumber(ShortSlot), -ErrPathFileAccess);
    // The read-only ledger cannot be made current for writing; it can be read.
    InvestmentFile inv(files);
    brisden::test::FakeMessages messages;
    EXPECT_FALSE(OpenInvestmentFile(inv, inside, QString(), messages));
    files.OpenFile(ShortSlot, inside, QStringLiteral("R"), QStringLiteral("R"), 41);
    EXPECT_GE(files.fileNumber(ShortSlot), 1);
    files.CloseFile(ShortSlot);
    QFile::setPermissions(locked,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

TEST_F(FileTableTest, TheSameProcessMayReadItsLockedFileButNotWriteIt)
{
    WriteAll(file("x.dat"), QByteArray(82, '\0'));
    files.OpenFile(InvestmentSlot, file("x.dat"), QStringLiteral("R"), QStringLiteral("RW"), 41);
    files.OpenFile(BackupSlot, file("x.dat"), QStringLiteral("R"), QStringLiteral("R"), 41);
    EXPECT_GE(files.fileNumber(BackupSlot), 1);
    EXPECT_NE(files.fileNumber(InvestmentSlot), files.fileNumber(BackupSlot));
    EXPECT_EQ(files.length(BackupSlot), 82);
    files.OpenFile(ShortSlot, file("x.dat"), QStringLiteral("O"), QStringLiteral("W"), 0);
    EXPECT_LT(files.fileNumber(ShortSlot), 0);
    EXPECT_EQ(ReadAll(file("x.dat")).size(), 82);
}

// What an ordinary user meets with a ledger of someone else's that they may
// read but not write. 0 when all went as expected, else the failed step.
int OrdinaryUserOpens(const QString& path)
{
    FileTable files;
    InvestmentFile file(files);
    FakeMessages messages;
    if (OpenInvestmentFile(file, path, QString(), messages, FileAccess::Write))
        return 1;  // refused for changes ...
    if (messages.texts().size() != 1 ||
        !messages.texts().first().contains(path + QStringLiteral(" cannot be changed: you have "
                                                                 "no permission to write it")))
        return 2;  // ... naming the file and the reason
    if (!OpenInvestmentFile(file, path, QStringLiteral("Fund"), messages, FileAccess::ViewIfNeeded))
        return 3;  // viewed read-only
    if (!file.readOnly() ||
        file.ReadOnlyReason != QStringLiteral("you have no permission to write it"))
        return 4;
    file.BuildRecordIndex();
    if (file.indexedCount() != 2)
        return 5;
    file.RecordBuffer.setDesc(QStringLiteral("changed"));
    if (file.AddRecord() > 0 || file.WriteRecord(2) || file.DeleteRecord(2) > 0)
        return 6;  // every write is refused
    return 0;
}

}  // namespace

TEST(ReadOnlyOpenTest, AnOrdinaryUserViewsAFileTheyMayNotWrite)
{
    QTemporaryDir dir;
    const QString path =
        WriteLedger(dir.filePath(QStringLiteral("fund.dat")),
                    {{20040105, "Buy", 1000, 10, 0}, {20040601, "Price", 0, 11, 0}});
    const QByteArray before = ReadAll(path);
    // The folder and the file are the test's; the ordinary user may only read them.
    ASSERT_EQ(::chmod(QFile::encodeName(dir.path()).constData(), 0755), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), ::geteuid() != 0 ? 0444 : 0644), 0);
    const std::optional<int> result =
        brisden::test::AsOrdinaryUser([&] { return OrdinaryUserOpens(path); });
    if (!result)
        GTEST_SKIP() << "this machine does not let the test become an ordinary user";
    EXPECT_EQ(*result, 0) << "failed at step " << *result;
    EXPECT_EQ(ReadAll(path), before);
}

// A file without any write permission is viewed read-only even by root, and
// another copy of Brisden holding a file open is named as the reason.
TEST(ReadOnlyOpenTest, NoWritePermissionAndAnotherCopyAreReasonsToView)
{
    QTemporaryDir dir;
    const QString path =
        WriteLedger(dir.filePath(QStringLiteral("fund.dat")), {{20040105, "Buy", 1000, 10, 0}});
    FileTable files;
    InvestmentFile file(files);
    FakeMessages messages;

    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0444), 0);
    ASSERT_TRUE(OpenInvestmentFile(file, path, QString(), messages, FileAccess::ViewIfNeeded));
    EXPECT_TRUE(file.readOnly());
    EXPECT_EQ(file.ReadOnlyReason,
              QStringLiteral("it is marked read-only (it has no write permission)"));
    file.close();
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0644), 0);

    FileTable desktop;
    desktop.OpenFile(InvestmentSlot, path, QStringLiteral("R"), QStringLiteral("RW"), RecordLength);
    ASSERT_TRUE(desktop.isOpen(InvestmentSlot));
    EXPECT_FALSE(OpenInvestmentFile(file, path, QString(), messages, FileAccess::Write));
    EXPECT_TRUE(
        messages.texts().last().endsWith(path + QStringLiteral(" cannot be changed: it is open in "
                                                               "another copy of Brisden.")));
    ASSERT_TRUE(OpenInvestmentFile(file, path, QString(), messages, FileAccess::ViewIfNeeded));
    EXPECT_TRUE(file.readOnly());
    EXPECT_EQ(file.ReadOnlyReason, QStringLiteral("it is open in another copy of Brisden"));
    file.close();
    desktop.CloseAll();
    // Once the other copy has let go, the file opens for changes again.
    ASSERT_TRUE(OpenInvestmentFile(file, path, QString(), messages, FileAccess::ViewIfNeeded));
    EXPECT_FALSE(file.readOnly());
}
