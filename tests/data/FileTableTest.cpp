// The numbered file slots: results left in the slot, the kinds of open,
// missing and read-only folders, and the lock on the current investment file
// within this process (other processes: tests/durability/SharedFileTest).

#include "data/FileTable.h"
#include "data/InvestmentFile.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace brisden;
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

TEST_F(FileTableTest, OutputEmptiesAndAppendAdds)
{
    const QString path = file("a.txt");
    WriteAll(path, "old contents\r\n");
    files.OpenFile(ShortSlot, path, QStringLiteral("o"), QStringLiteral("w"), 0);
    ASSERT_TRUE(files.isOpen(ShortSlot));
    EXPECT_EQ(ReadAll(path), QByteArray());
    files.writeLine(ShortSlot, "one");
    files.CloseFile(ShortSlot);
    files.OpenFile(ShortSlot, path, QStringLiteral("A"), QStringLiteral("RW"), 0);
    files.writeLine(ShortSlot, "two");
    files.CloseFile(ShortSlot);
    EXPECT_EQ(ReadAll(path), QByteArray("one\r\ntwo\r\n"));

    files.OpenFile(ShortSlot, path, QStringLiteral("I"), QStringLiteral("R"), 0);
    EXPECT_EQ(files.readLine(ShortSlot), QByteArray("one"));
    EXPECT_FALSE(files.atEnd(ShortSlot));
    EXPECT_EQ(files.readLine(ShortSlot), QByteArray("two"));
    EXPECT_TRUE(files.atEnd(ShortSlot));
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

}  // namespace
