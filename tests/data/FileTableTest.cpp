// The numbered file slots: results left in the slot, the kinds of open, and
// the lock on the current investment file as another process sees it.

#include "data/FileTable.h"
#include "support/TestSupport.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace brisden;
using brisden::test::ReadAll;
using brisden::test::WriteAll;

namespace {

class FileTableTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    FileTable files;
    QString file(const char* name) { return dir.filePath(QLatin1String(name)); }
};

TEST_F(FileTableTest, AMissingFileLeavesMinus53)
{
    files.OpenFile(ShortSlot, file("none.dat"), QStringLiteral("I"), QStringLiteral("R"), 0);
    EXPECT_EQ(files.fileNumber(ShortSlot), -53);
    EXPECT_FALSE(files.isOpen(ShortSlot));
    EXPECT_FALSE(QFileInfo::exists(file("none.dat")));
    files.CloseFile(ShortSlot);
    EXPECT_EQ(files.fileNumber(ShortSlot), 0);
    files.CloseFile(ShortSlot);  // closing a closed slot does nothing more
    EXPECT_EQ(files.fileNumber(ShortSlot), 0);
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

TEST_F(FileTableTest, SlotsKeepTheirRecordLengthAndNumbersAreDistinct)
{
    WriteAll(file("x.dat"), QByteArray(82, '\0'));
    files.OpenFile(InvestmentSlot, file("x.dat"), QStringLiteral("R"), QStringLiteral("RW"), 41);
    files.OpenFile(BackupSlot, file("x.dat"), QStringLiteral("R"), QStringLiteral("R"), 41);
    EXPECT_EQ(files.recordLength(InvestmentSlot), 41);
    EXPECT_GE(files.fileNumber(InvestmentSlot), 1);
    EXPECT_GE(files.fileNumber(BackupSlot), 1);
    EXPECT_NE(files.fileNumber(InvestmentSlot), files.fileNumber(BackupSlot));
    EXPECT_EQ(files.length(BackupSlot), 82);
    // The same process may read its locked file through a second handle but
    // not write it.
    files.OpenFile(ShortSlot, file("x.dat"), QStringLiteral("O"), QStringLiteral("W"), 0);
    EXPECT_LT(files.fileNumber(ShortSlot), 0);
    EXPECT_EQ(ReadAll(file("x.dat")).size(), 82);
}

TEST_F(FileTableTest, AnUnknownCombinationOpensNothing)
{
    files.OpenFile(ShortSlot, file("y.txt"), QStringLiteral("I"), QStringLiteral("W"), 0);
    EXPECT_LT(files.fileNumber(ShortSlot), 0);
    EXPECT_FALSE(QFileInfo::exists(file("y.txt")));
}

// Runs body in a child process; its exit status is the result.
int InChild(const std::function<int()>& body)
{
    const pid_t pid = ::fork();
    if (pid == 0)
        ::_exit(body());
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 255;
}

TEST_F(FileTableTest, AnotherProcessCanReadTheCurrentFileButNotWriteIt)
{
    const QString path = file("fund.dat");
    const QByteArray contents(123, 'z');
    WriteAll(path, contents);
    files.OpenFile(InvestmentSlot, path, QStringLiteral("R"), QStringLiteral("RW"), 41);
    ASSERT_TRUE(files.isOpen(InvestmentSlot));

    auto tryOpen = [&](const char* kind, const char* access) {
        return InChild([&] {
            FileTable other;
            other.OpenFile(ShortSlot, path, QLatin1String(kind), QLatin1String(access), 41);
            const int n = other.fileNumber(ShortSlot);
            if (n >= 1) {
                char byte = 0;
                return other.readAt(ShortSlot, 0, &byte, 1) && byte == 'z' ? 1 : 2;
            }
            return -n == ErrPermissionDenied ? 3 : 4;
        });
    };
    EXPECT_EQ(tryOpen("I", "R"), 1);
    EXPECT_EQ(tryOpen("R", "R"), 1);
    EXPECT_EQ(tryOpen("R", "RW"), 3);
    EXPECT_EQ(tryOpen("O", "W"), 3);
    EXPECT_EQ(tryOpen("B", "RW"), 3);
    EXPECT_EQ(ReadAll(path), contents);  // the refused output open emptied nothing

    files.CloseFile(InvestmentSlot);
    EXPECT_EQ(tryOpen("R", "RW"), 1);
}

}  // namespace
