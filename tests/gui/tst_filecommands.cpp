// The file menu's maintenance commands on a real investment file: the backup
// copy, the restore from it and the rebuild, reached through their menu items,
// and what they leave in the window. (Their texts and the files' bytes in
// every case are the backup tests' business.)

#include "GuiTestSupport.h"

#include <QAction>

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

    bool open()
    {
        return StartAndOpen(p, dat, QStringLiteral("My fund"),
                            QStringLiteral("AlwaysCopyFile=False\r\n"));
    }
};

}  // namespace

class FileCommandsTest : public QObject {
    Q_OBJECT

private slots:
    void backupRestoreAndRebuild();
};

void FileCommandsTest::backupRestoreAndRebuild()
{
    OpenLedger l;
    QVERIFY(l.open());
    MainWindow& w = *l.p.window;
    FakeMessages& m = l.p.messages;
    InvestmentFile& file = l.p.program().file;
    m.shown.clear();  // what the listing after the open said

    // No backup yet: the restore reports it and the file stays open.
    m.answers = {true};
    w.action("mnuRestore")->trigger();
    QCOMPARE(m.shown.size(), size_t(1));
    QVERIFY(m.shown.back().text.startsWith(QStringLiteral("Error: ")));
    QVERIFY(file.isOpen());

    // The copy asks first: No copies nothing, Yes copies.
    m.answers = {false};
    w.action("mnuSaveData")->trigger();
    QVERIFY(m.questions.last().startsWith(QStringLiteral("Should I copy the current file, ")));
    QVERIFY(!QFile::exists(l.bak));
    m.answers = {true};
    w.action("mnuSaveData")->trigger();
    const QByteArray saved = ReadAll(l.bak);
    QCOMPARE(saved, ReadAll(l.dat));
    QVERIFY(file.isOpen());

    // A new record after the copy; the restore asks, and Yes brings the copy back.
    file.RecordBuffer = TransactionRecord{};
    file.RecordBuffer.TransDate = 20210501;
    file.RecordBuffer.SharePrice = 14;
    QVERIFY(file.AddRecord() > 0);
    const int rows = w.gridModel()->rowCount();
    m.answers = {false};
    w.action("mnuRestore")->trigger();
    QVERIFY(m.questions.last().startsWith(QStringLiteral("Should I copy the backup file, ")));
    QVERIFY(ReadAll(l.dat) != saved);
    m.answers = {true};
    w.action("mnuRestore")->trigger();
    QCOMPARE(ReadAll(l.dat), saved);
    QVERIFY(file.isOpen());
    QVERIFY(LogMessages(l.p.log()).last().startsWith(QStringLiteral("Restored ")));
    // The grid waits for F5.
    QCOMPARE(w.gridModel()->rowCount(), rows);
    w.action("mnuRefreshItem")->trigger();
    QCOMPARE(w.gridModel()->rowCount(), 7);

    // The automatic backup follows its setting; it is left running.
    FileCommands& commands = w.fileCommands();
    QVERIFY(!commands.autoSaveRunning());  // AutoSaveInterval 0: off
    for (const auto& [minutes, period] : {std::pair{10, 600000}, {1, 60000}}) {
        l.p.program().settings.AutoSaveInterval = minutes;
        commands.SetAutoSaveTimer(false);
        QVERIFY(commands.autoSaveRunning());
        QCOMPARE(commands.autoSavePeriod(), period);
    }
    commands.SetAutoSaveTimer(true);
    QVERIFY(!commands.autoSaveRunning());
    commands.SetAutoSaveTimer(false);

    // The rebuild's file dialog starts at the current file; cancelled, nothing is done.
    m.shown.clear();
    QString offered;
    commands.setChooseRebuildFile([&](QWidget*, const QString& start) {
        offered = start;
        return QString();
    });
    w.action("mnuRebuildItem")->trigger();
    QCOMPARE(offered, l.dat);
    QVERIFY(m.shown.empty());

    // Another file: the current one is not closed.
    const QString other =
        WriteLedger(l.p.dir.path() + QStringLiteral("/Other.dat"), {{20200102, "buy", 500, 5, 0}});
    const int fileNumber = l.p.program().files.fileNumber(InvestmentSlot);
    commands.setChooseRebuildFile([&](QWidget*, const QString&) { return other; });
    w.action("mnuRebuildItem")->trigger();
    QCOMPARE(l.p.program().files.fileNumber(InvestmentSlot), fileNumber);
    QCOMPARE(m.texts().last(), QStringLiteral("Records read: 2, Records written: 2"));

    // The current file with two deleted records: compacted, open again, its
    // automatic backup running again, and listed anew.
    QCOMPARE(file.DeleteRecord(3), 3);
    QCOMPARE(file.DeleteRecord(5), 5);
    commands.setChooseRebuildFile([&](QWidget*, const QString&) { return l.dat; });
    w.action("mnuRebuildItem")->trigger();
    QCOMPARE(m.texts().last(), QStringLiteral("Records read: 6, Records written: 4"));
    QCOMPARE(ReadAll(l.dat).size(), 4 * RecordLength);
    QCOMPARE(ReadAll(l.bak).size(), 6 * RecordLength);
    QVERIFY(file.isOpen());
    QVERIFY(commands.autoSaveRunning());
    w.action("mnuRefreshItem")->trigger();
    QCOMPARE(w.ledger().listedRows(), 4);  // three records and the closing row
    QCOMPARE(w.gridModel()->rowData(2), 4);
}

QTEST_MAIN(FileCommandsTest)
#include "tst_filecommands.moc"
