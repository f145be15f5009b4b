// One investment file shared by the desktop program, the command line and a
// second start of the desktop program: while the desktop program has the
// file open, the command line can neither import into it nor rebuild it, a
// second start ends without touching it, and the desktop program goes on
// writing it soundly; once it is closed the command line can write again.

#include "GuiTestSupport.h"

#include <QProcess>

using namespace brisden;
using namespace brisden::test;

namespace {

// Starts the desktop program in folder and waits for its end; its exit code.
int StartDesktop(const QString& folder)
{
    QProcess process;
    process.setWorkingDirectory(folder);
    process.start(QStringLiteral(BRISDEN_APP), {});
    const bool ended =
        process.waitForFinished(120000) && process.exitStatus() == QProcess::NormalExit;
    return ended ? process.exitCode() : -1;
}

// The file opens without a warning; its descriptions in date order.
QStringList SoundDescriptions(const QString& dat)
{
    FileTable files;
    InvestmentFile file(files);
    FakeMessages messages;
    QStringList list;
    if (!OpenInvestmentFile(file, dat, QString(), messages) || !messages.shown.empty())
        return {QStringLiteral("(unsound)")};
    file.BuildRecordIndex();
    for (std::size_t i = 1; i <= file.indexedCount(); ++i) {
        file.ReadRecord(file.RecordIndex[i].RecNo);
        list << file.RecordBuffer.descText().trimmed();
    }
    return list;
}

}  // namespace

class SharedFileTest : public QObject {
    Q_OBJECT

private slots:
    void desktopCommandLineAndSecondStartNeverCorruptTheFile();
};

void SharedFileTest::desktopCommandLineAndSecondStartNeverCorruptTheFile()
{
    // The socket that keeps the desktop program to one copy per user lives in
    // the temporary folder: a folder of this test's own keeps it apart from
    // any real copy, and a second start finds this one there.
    QTemporaryDir sockets;
    QVERIFY(sockets.isValid());
    const QByteArray oldTemp = qgetenv("TMPDIR");
    qputenv("TMPDIR", QFile::encodeName(sockets.path()));  // inherited by the programs started

    QTemporaryDir dir;
    const QString dat =
        WriteLedger(dir.path() + QStringLiteral("/Fund.dat"),
                    {{20200102, "buy", 1000, 10, 0}, {20210104, "sell", -600, 12, 0}});
    const QString bak = dir.path() + QStringLiteral("/Fund.bak");
    const QString source = dir.path() + QStringLiteral("/in.csv");
    WriteAll(source, "20220301,Imported,100,5,\r\n");
    const QStringList import{QStringLiteral("import"), dat, source, QStringLiteral("--schema"),
                             QStringLiteral("Date Description Amount Price Shares YMD")};
    const QString other = dir.path() + QStringLiteral("/other");
    QDir().mkpath(other);

    {
        // The desktop program as a user starts it (one copy per user), with
        // the file open.
        StartedProgram p;
        p.instanceKey.clear();
        QVERIFY(StartAndOpen(p, dat, QStringLiteral("Fund"),
                             QStringLiteral("AlwaysCopyFile=False\r\n")));
        const QByteArray opened = ReadAll(dat);

        // The command line cannot write it.
        for (const QStringList& args : {import, QStringList{QStringLiteral("rebuild"), dat}}) {
            const CliRun run = RunCli(other, args);
            QCOMPARE(run.exitCode, 1);
            QVERIFY2(run.errors.contains(QStringLiteral("open in another copy of Brisden")),
                     qPrintable(run.errors));
        }
        QCOMPARE(ReadAll(dat), opened);
        QVERIFY(!QFile::exists(bak));

        // A second start of the desktop program brings this one to the front
        // and ends before it touches any file, even its log.
        QCOMPARE(StartDesktop(other), 0);
        QVERIFY(!QFile::exists(other + QStringLiteral("/Application.log")));
        QCOMPARE(ReadAll(dat), opened);

        // The desktop program still writes the file, soundly.
        InvestmentFile& file = p.program().file;
        file.RecordBuffer = TransactionRecord();
        file.RecordBuffer.TransDate = 20220101;
        file.RecordBuffer.setDesc(QStringLiteral("Desktop"));
        file.RecordBuffer.Amount = 50;
        file.RecordBuffer.SharePrice = 5;
        QVERIFY(file.AddRecord() >= 2);
        QVERIFY(file.DeleteRecord(2) == 2);
        p.window->close();
    }

    // Closed: the command line writes it again, after what the desktop wrote.
    QCOMPARE(RunCli(other, import).exitCode, 0);
    QCOMPARE(SoundDescriptions(dat), (QStringList{QStringLiteral("sell"), QStringLiteral("Desktop"),
                                                  QStringLiteral("Imported")}));

    if (oldTemp.isNull())
        qunsetenv("TMPDIR");
    else
        qputenv("TMPDIR", oldTemp);
}

QTEST_MAIN(SharedFileTest)
#include "tst_sharedfile.moc"
