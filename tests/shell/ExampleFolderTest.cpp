// Where the sample portfolio of a first start goes: beside the program in a
// build, in the program's data folder when installed, and in the user's data
// folder when the installed one cannot be written (checked as an ordinary
// user in a child process that gives up root, or as the user running the
// tests when that is not root).

#include "support/TestSupport.h"

#include "shell/StartRules.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace brisden;

namespace {

// 0 when the sample went to the user's folder with copies of the ledgers.
int UserFolderIsUsed(const QString& shipped, const QString& user)
{
    QString note;
    const QString folder = PrepareExampleFolder(shipped, user, &note);
    if (folder != user + QStringLiteral("/Example"))
        return 1;
    if (!QFileInfo(folder + QStringLiteral("/Fund.dat")).isFile() ||
        brisden::test::ReadAll(folder + QStringLiteral("/Fund.dat")) != "ledger")
        return 2;
    if (!QFileInfo(folder + QStringLiteral("/Fund.dat")).isWritable())
        return 3;
    if (!note.contains(folder) || !note.contains(shipped))
        return 4;
    return 0;
}

}  // namespace

TEST(ExampleFolderTest, BesideTheProgramOrInItsDataFolder)
{
    QTemporaryDir dir;
    const QString bin = dir.filePath(QStringLiteral("usr/bin"));
    const QString installed = dir.filePath(QStringLiteral("usr/share/brisden/Example"));
    ASSERT_TRUE(QDir().mkpath(bin));
    EXPECT_TRUE(ShippedExampleFolder(bin).isEmpty());
    ASSERT_TRUE(QDir().mkpath(installed));
    EXPECT_EQ(ShippedExampleFolder(bin), installed);
    ASSERT_TRUE(QDir().mkpath(bin + QStringLiteral("/Example")));
    EXPECT_EQ(ShippedExampleFolder(bin), bin + QStringLiteral("/Example"));
    // A folder that can be written is used as it is.
    QString note;
    EXPECT_EQ(PrepareExampleFolder(installed, dir.filePath(QStringLiteral("home")), &note),
              installed);
    EXPECT_TRUE(note.isEmpty());
}

TEST(ExampleFolderTest, AnInstalledFolderTheUserCannotWriteGivesWayToTheUsersOwn)
{
    QTemporaryDir dir;
    const QString shipped = dir.filePath(QStringLiteral("share/brisden/Example"));
    const QString user = dir.filePath(QStringLiteral("home/.local/share/Brisden"));
    ASSERT_TRUE(QDir().mkpath(shipped));
    ASSERT_TRUE(QDir().mkpath(dir.filePath(QStringLiteral("home"))));
    brisden::test::WriteAll(shipped + QStringLiteral("/Fund.dat"), "ledger");
    ASSERT_EQ(::chmod(QFile::encodeName(shipped + QStringLiteral("/Fund.dat")).constData(), 0444),
              0);
    ASSERT_EQ(::chmod(QFile::encodeName(shipped).constData(), 0555), 0);
    if (::geteuid() == 0) {
        // Everything is root's; the user's home is nobody's to write.
        for (const char* folder : {"", "share", "share/brisden"})
            ::chmod(QFile::encodeName(dir.filePath(QLatin1String(folder))).constData(), 0755);
        ASSERT_EQ(::chown(QFile::encodeName(dir.filePath(QStringLiteral("home"))).constData(),
                          65534, 65534),
                  0);
    }
    const std::optional<int> result =
        brisden::test::AsOrdinaryUser([&] { return UserFolderIsUsed(shipped, user); });
    ::chmod(QFile::encodeName(shipped).constData(), 0755);
    if (!result)
        GTEST_SKIP() << "this machine does not let the test become an ordinary user";
    EXPECT_EQ(*result, 0) << "failed at step " << *result;
}
