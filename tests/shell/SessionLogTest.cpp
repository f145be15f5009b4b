// The session journal: emptied at start, one stamped line per message,
// closed after every line, silent when it cannot be written. (What goes to
// the notices window is checked with the import engine's progress.)

#include "data/FileTable.h"
#include "shell/SessionLog.h"
#include "support/TestSupport.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace brisden;
using brisden::test::ReadAll;
using brisden::test::WriteAll;

namespace {

class SessionLogTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("Application.log"));
    FileTable files;
    QDateTime now{QDate(2003, 12, 31), QTime(23, 59, 58)};
    SessionLog log{files, path};

    void SetUp() override
    {
        log.setClock([this] { return now; });
    }
};

// Start empties the log and stamps the session; then one stamped line per
// message, the file closed after each.
TEST_F(SessionLogTest, EveryMessageIsOneStampedLineInCallOrder)
{
    WriteAll(path, "old run\r\n");
    now = QDateTime(QDate(2004, 1, 2), QTime(7, 5, 9));
    log.Start();
    EXPECT_FALSE(files.isOpen(LogSlot));
    log.LogSession(QStringLiteral("Opened portfolio C:\\P.def"));
    log.LogSession(QStringLiteral("Ends with a period."));
    log.LogSession(QStringLiteral("Opened file C:\\Donn\u00e9es\\f.dat"));  // written as ANSI
    EXPECT_EQ(ReadAll(path), QByteArray("Session started 01-02-2004, 07:05:09\r\n"
                                        "07:05:09: Opened portfolio C:\\P.def.\r\n"
                                        "07:05:09: Ends with a period..\r\n"
                                        "07:05:09: Opened file C:\\Donn\xe9"
                                        "es\\f.dat.\r\n"));
    EXPECT_FALSE(files.isOpen(LogSlot));
}

TEST_F(SessionLogTest, NoPathOrAnUnwritableLogWritesNothingAndDoesNotFail)
{
    std::vector<QString> echoed;
    SessionLog console(files, QString());
    console.setEcho([&](const QString& line) { echoed.push_back(line); });
    console.Start();
    console.LogSession(QStringLiteral("to stderr only"));
    EXPECT_EQ(echoed.size(), 2u);
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files).isEmpty());

    const QString unwritable = dir.filePath(QStringLiteral("missing/Application.log"));
    SessionLog lost(files, unwritable);
    lost.Start();
    lost.LogSession(QStringLiteral("lost"));
    EXPECT_FALSE(QFileInfo::exists(unwritable));
    EXPECT_LE(files.fileNumber(LogSlot), 0);
}

}  // namespace
