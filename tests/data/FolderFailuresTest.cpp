// Folders that cannot be written or do not exist: every operation fails with
// a clear result and leaves the files it had as they were.

#include "data/Backup.h"
#include "data/FileTable.h"
#include "data/InvestmentFile.h"
#include "data/Portfolio.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace brisden;
using brisden::test::FakeMessages;
using brisden::test::ReadAll;
using brisden::test::WriteLedger;

namespace {

class FolderFailuresTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    FileTable files;
    InvestmentFile inv{files};
    FakeMessages messages;
    QString path = dir.filePath(QStringLiteral("Fund.dat"));

    void SetUp() override
    {
        WriteLedger(path, {{20040101, "Buy", 100, 10, 0}, {20040201, "Price", 0, 11, 0}});
    }
    // Root passes over permission bits, so read-only folders only mean
    // something for other users.
    static bool runningAsRoot() { return ::geteuid() == 0; }
};

TEST_F(FolderFailuresTest, OpeningInAMissingOrFakeFolderNamesThePath)
{
    files.OpenFile(ShortSlot, dir.filePath(QStringLiteral("no/such/Fund.dat")), QStringLiteral("I"),
                   QStringLiteral("R"), 0);
    EXPECT_EQ(files.fileNumber(ShortSlot), -ErrPathNotFound);
    // A file where a folder should be.
    files.OpenFile(ShortSlot, path + QStringLiteral("/inner.dat"), QStringLiteral("O"),
                   QStringLiteral("W"), 0);
    EXPECT_EQ(files.fileNumber(ShortSlot), -ErrPathNotFound);
    // A folder where a file should be.
    files.OpenFile(ShortSlot, dir.path(), QStringLiteral("R"), QStringLiteral("RW"), 41);
    EXPECT_EQ(files.fileNumber(ShortSlot), -ErrPathFileAccess);
    EXPECT_EQ(ReadAll(path).size(), 3 * RecordLength);
}

TEST_F(FolderFailuresTest, AReadOnlyFolderRefusesNewFilesButLetsTheLedgerBeRead)
{
    if (runningAsRoot())
        GTEST_SKIP() << "permission bits do not bind root";
    const QString locked = dir.filePath(QStringLiteral("locked"));
    QDir().mkdir(locked);
    const QString inside = locked + QStringLiteral("/Fund.dat");
    QFile::copy(path, inside);
    QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    QFile::setPermissions(inside, QFileDevice::ReadOwner);

    files.OpenFile(ShortSlot, locked + QStringLiteral("/new.txt"), QStringLiteral("O"),
                   QStringLiteral("W"), 0);
    EXPECT_EQ(files.fileNumber(ShortSlot), -ErrPathFileAccess);
    // The read-only ledger cannot be made current for writing; it can be read.
    EXPECT_FALSE(OpenInvestmentFile(inv, inside, QString(), messages));
    files.OpenFile(ShortSlot, inside, QStringLiteral("R"), QStringLiteral("R"), 41);
    EXPECT_GE(files.fileNumber(ShortSlot), 1);
    files.CloseFile(ShortSlot);
    QFile::setPermissions(locked,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

TEST_F(FolderFailuresTest, ARebuildThatCannotKeepItsBackupLeavesTheFileAlone)
{
    const QString bak = BackupFileName(path);
    ASSERT_TRUE(QDir().mkdir(bak));
    const QByteArray before = ReadAll(path);
    const RebuildResult r = RebuildFile(files, ShortSlot, path, RecordLength, messages);
    EXPECT_FALSE(r.rebuilt);
    EXPECT_NE(r.error, 0);
    EXPECT_EQ(ReadAll(path), before);
}

TEST_F(FolderFailuresTest, APortfolioInAMissingFolderLoadsEmptyAndSavesNothing)
{
    Portfolio portfolio(files);
    portfolio.CurrentPortfolio = dir.filePath(QStringLiteral("gone/My.def"));
    portfolio.LoadPortfolio(true);
    ASSERT_EQ(portfolio.PortfolioFiles.size(), 2u);
    EXPECT_TRUE(portfolio.PortfolioFiles[1].isEmpty());
    portfolio.SavePortfolio();
    EXPECT_FALSE(QFileInfo::exists(portfolio.CurrentPortfolio));
}

}  // namespace
