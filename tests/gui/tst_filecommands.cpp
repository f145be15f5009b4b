// The file menu's maintenance commands on a real investment file: the backup
// copy, the restore from it and the rebuild, with their questions, messages
// and log lines; and the captions and keys of the menus.

#include "GuiTestSupport.h"

#include "data/Backup.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

using namespace brisden;
using namespace brisden::test;

namespace {

// A five-record ledger, the only file of the default portfolio.
struct OpenLedger {
    StartedProgram p;
    QString dat =
        WriteLedger(p.dir.path() + QStringLiteral("/Fund.dat"), {{20200102, "buy", 1000, 10, 0},
                                                                 {20200601, "price", 0, 12, 0},
                                                                 {20210104, "sell", -600, 12, 50},
                                                                 {20210301, "div", -20, 0, 0},
                                                                 {20210401, "price", 0, 13, 0}});
    QString bak = p.dir.path() + QStringLiteral("/Fund.bak");

    bool open(const QString& extraSettings = QString())
    {
        return StartAndOpen(p, dat, QStringLiteral("My fund"),
                            QStringLiteral("AlwaysCopyFile=False\r\n") + extraSettings);
    }
};

}  // namespace

class FileCommandsTest : public QObject {
    Q_OBJECT

private slots:
    void copyToBackupAsksFirst();
    void restoreCopiesTheBackupBack();
    void restoreWithoutBackupReportsAndReopens();
    void rebuildCompactsTheCurrentFile();
    void rebuildOfAnotherFileLeavesTheCurrentOne();
    void automaticBackupFollowsTheSetting();
};

void FileCommandsTest::copyToBackupAsksFirst()
{
    OpenLedger l;
    QVERIFY(l.open());
    MainWindow& w = *l.p.window;
    QVERIFY(!QFile::exists(l.bak));
    const QString question = QStringLiteral("Should I copy the current file, ") + l.dat +
                             QStringLiteral(", to ") + l.bak + QStringLiteral("?");

    l.p.messages.answers = {false};
    w.actions().mnuSaveData->trigger();
    QCOMPARE(l.p.messages.questions, QStringList{question});
    QVERIFY(!QFile::exists(l.bak));

    l.p.messages.answers = {true};
    w.actions().mnuSaveData->trigger();
    QCOMPARE(ReadAll(l.bak), ReadAll(l.dat));
    QVERIFY(l.p.program().file.isOpen());
    QCOMPARE(LogMessages(l.p.log()).last(),
             QStringLiteral("Copied ") + l.dat + QStringLiteral(" to ") + l.bak + QLatin1Char('.'));
}

void FileCommandsTest::restoreCopiesTheBackupBack()
{
    OpenLedger l;
    QVERIFY(l.open());
    MainWindow& w = *l.p.window;
    l.p.messages.answers = {true};
    w.actions().mnuSaveData->trigger();
    const QByteArray saved = ReadAll(l.bak);

    // A new record after the copy.
    InvestmentFile& file = l.p.program().file;
    file.RecordBuffer = TransactionRecord{};
    file.RecordBuffer.TransDate = 20210501;
    file.RecordBuffer.setDesc(QStringLiteral("price"));
    file.RecordBuffer.SharePrice = 14;
    QVERIFY(file.AddRecord() > 0);
    QVERIFY(ReadAll(l.dat) != saved);
    const int rows = w.gridModel()->rowCount();

    l.p.messages.answers = {false};
    w.actions().mnuRestore->trigger();
    QVERIFY(ReadAll(l.dat) != saved);
    QCOMPARE(l.p.messages.questions.last(), QStringLiteral("Should I copy the backup file, ") +
                                                l.bak + QStringLiteral(", to the current file, ") +
                                                l.dat + QStringLiteral("?"));

    l.p.messages.answers = {true};
    w.actions().mnuRestore->trigger();
    QCOMPARE(ReadAll(l.dat), saved);
    QVERIFY(file.isOpen());
    QCOMPARE(
        LogMessages(l.p.log()).last(),
        QStringLiteral("Restored ") + l.dat + QStringLiteral(" from ") + l.bak + QLatin1Char('.'));
    // The grid waits for F5.
    QCOMPARE(w.gridModel()->rowCount(), rows);
    w.actions().mnuRefreshItem->trigger();
    QCOMPARE(w.gridModel()->rowCount(), 7);
}

void FileCommandsTest::restoreWithoutBackupReportsAndReopens()
{
    OpenLedger l;
    QVERIFY(l.open());
    l.p.messages.shown.clear();
    l.p.messages.answers = {true};
    l.p.window->actions().mnuRestore->trigger();
    QCOMPARE(l.p.messages.shown.size(), size_t(1));
    const QString text = l.p.messages.shown.back().text;
    QVERIFY2(text.startsWith(QStringLiteral("Error: ")) &&
                 text.contains(QStringLiteral("There was an error copying the backup file, ") +
                               l.bak + QStringLiteral(", to the current file, ") + l.dat),
             qPrintable(text));
    QVERIFY(l.p.program().file.isOpen());
    QVERIFY(!LogMessages(l.p.log()).last().startsWith(QStringLiteral("Restored")));
}

void FileCommandsTest::rebuildCompactsTheCurrentFile()
{
    OpenLedger l;
    QVERIFY(l.open(QStringLiteral("AutoSaveInterval=5\r\n")));
    MainWindow& w = *l.p.window;
    InvestmentFile& file = l.p.program().file;
    QCOMPARE(file.DeleteRecord(3), 3);
    QCOMPARE(file.DeleteRecord(5), 5);
    QCOMPARE(ReadAll(l.dat).size(), 6 * RecordLength);

    QString offered;
    w.fileCommands().setChooseRebuildFile([&](QWidget*, const QString& start) {
        offered = start;
        return QString();
    });
    w.actions().mnuRebuildItem->trigger();
    QCOMPARE(offered, l.dat);
    QVERIFY(!LogMessages(l.p.log()).last().startsWith(QStringLiteral("Rebuilding")));

    w.fileCommands().setChooseRebuildFile([&](QWidget*, const QString&) { return l.dat; });
    w.actions().mnuRebuildItem->trigger();
    QCOMPARE(l.p.messages.texts().last(), QStringLiteral("Records read: 6, Records written: 4"));
    QCOMPARE(ReadAll(l.dat).size(), 4 * RecordLength);
    QVERIFY(QFile::exists(l.bak));
    QCOMPARE(ReadAll(l.bak).size(), 6 * RecordLength);
    QVERIFY(file.isOpen());
    QVERIFY(w.fileCommands().autoSaveRunning());
    const QStringList log = LogMessages(l.p.log());
    QCOMPARE(log.mid(log.size() - 2),
             (QStringList{QStringLiteral("Rebuilding file ") + l.dat + QLatin1Char('.'),
                          QStringLiteral("File has been rebuilt.")}));
    w.actions().mnuRefreshItem->trigger();
    QCOMPARE(w.ledger().listedRows(), 4);  // three records and the closing row
    QCOMPARE(w.gridModel()->rowData(2), 4);
}

void FileCommandsTest::rebuildOfAnotherFileLeavesTheCurrentOne()
{
    OpenLedger l;
    QVERIFY(l.open());
    MainWindow& w = *l.p.window;
    const QString other =
        WriteLedger(l.p.dir.path() + QStringLiteral("/Other.dat"), {{20200102, "buy", 500, 5, 0}});
    const int fileNumber = l.p.program().files.fileNumber(InvestmentSlot);
    w.fileCommands().setChooseRebuildFile([&](QWidget*, const QString&) { return other; });
    w.actions().mnuRebuildItem->trigger();
    QCOMPARE(l.p.program().files.fileNumber(InvestmentSlot), fileNumber);
    QCOMPARE(l.p.messages.texts().last(), QStringLiteral("Records read: 2, Records written: 2"));

    // A file that is not there: the system's text after "Error: ".
    // The explicit QString: a concatenation returned as it is would outlive the
    // temporary path it refers to.
    w.fileCommands().setChooseRebuildFile([&](QWidget*, const QString&) -> QString {
        return l.p.dir.path() + QStringLiteral("/Missing.dat");
    });
    w.actions().mnuRebuildItem->trigger();
    QVERIFY(l.p.messages.texts().last().startsWith(QStringLiteral("Error: ")));
    QVERIFY(l.p.messages.beeps > 0);
    QCOMPARE(l.p.program().files.fileNumber(InvestmentSlot), fileNumber);
}

void FileCommandsTest::automaticBackupFollowsTheSetting()
{
    OpenLedger l;
    QVERIFY(l.open());
    MainWindow& w = *l.p.window;
    QVERIFY(!w.fileCommands().autoSaveRunning());  // AutoSaveInterval 0: off
    l.p.program().settings.AutoSaveInterval = 10;
    w.fileCommands().SetAutoSaveTimer(false);
    QVERIFY(w.fileCommands().autoSaveRunning());
    QCOMPARE(w.fileCommands().autoSavePeriod(), 600000);
    l.p.program().settings.AutoSaveInterval = 1;
    w.fileCommands().SetAutoSaveTimer(false);
    QCOMPARE(w.fileCommands().autoSavePeriod(), 60000);
    QVERIFY(w.fileCommands().autoSaveRunning());
    w.fileCommands().SetAutoSaveTimer(true);
    QVERIFY(!w.fileCommands().autoSaveRunning());
}

QTEST_MAIN(FileCommandsTest)
#include "tst_filecommands.moc"
