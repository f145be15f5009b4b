// Start-up of the desktop program in a folder of its own: the command-line
// delay, the currency tag, the log's first line, the settings, the sample
// portfolio of a first start, the default portfolio check, one copy per
// user, and what the window writes back when it closes.

#include "GuiTestSupport.h"

#include "help/HelpCollection.h"
#include "shell/Identity.h"
#include "shell/widgets/RecordTypesWindow.h"
#include "shell/widgets/SingleInstance.h"

#include <QAction>
#include <QTime>
#include <QLabel>
#include <QSignalSpy>

using namespace brisden;
using namespace brisden::test;

class StartupTest : public QObject {
    Q_OBJECT

private slots:
    void startDelay_data();
    void startDelay();
    void currencyTag();
    void firstStart();
    void settingsShapeTheWindow();
    void secondCopyRaisesTheFirst();
    void defaultPortfolioAndTheSettingsWrittenBack();
};

void StartupTest::startDelay_data()
{
    QTest::addColumn<QString>("commandLine");
    QTest::addColumn<int>("delay");
    QTest::newRow("empty") << QString() << 100;
    QTest::newRow("bare /w") << QStringLiteral("/w") << 100;
    QTest::newRow("/W0") << QStringLiteral("/W0") << 100;
    QTest::newRow("/W5") << QStringLiteral("/W5") << 500;
    QTest::newRow("/W2.5") << QStringLiteral("/W2.5") << 250;
    QTest::newRow("anywhere, blanks skipped") << QStringLiteral("x /w  3y z") << 300;
    QTest::newRow("/W700 is capped") << QStringLiteral("/W700") << 65535;
    QTest::newRow("/W655.35 reaches the cap") << QStringLiteral("/W655.35") << 65535;
    QTest::newRow("/W655.34") << QStringLiteral("/W655.34") << 65534;
    QTest::newRow("negative") << QStringLiteral("/W-3") << 100;
    QTest::newRow("no switch") << QStringLiteral("-W5") << 100;
}

void StartupTest::startDelay()
{
    QFETCH(QString, commandLine);
    QFETCH(int, delay);
    QCOMPARE(StartDelayMs(commandLine), delay);
}

void StartupTest::currencyTag()
{
    QCOMPARE(MakeCurrencyTag(QLocale(QLocale::English, QLocale::UnitedStates)),
             QStringLiteral("($)"));
    const QString euro = MakeCurrencyTag(QLocale(QLocale::German, QLocale::Germany));
    QVERIFY2(euro.startsWith(QLatin1Char('(')) && euro.endsWith(QStringLiteral("\u20AC)")),
             qPrintable(euro));
    QVERIFY(!euro.contains(QLatin1Char('9')));
    QVERIFY(euro.size() == 4);  // the blank between the number and the symbol is kept
}

// A first start: the log starts afresh, a missing default portfolio is
// reported, the program's paths, the default window, the date watch and the
// sample portfolio.
void StartupTest::firstStart()
{
    StartedProgram p;
    WriteText(p.log(), QStringLiteral("old line\r\n"));
    const QString example = p.app() + QStringLiteral("/Example");
    QVERIFY(QDir().mkpath(example));
    const QString missing = p.dir.path() + QStringLiteral("/gone.def");
    QVERIFY(p.start(QStringLiteral("[General]\r\nDefaultPortfolio=") + missing +
                    QStringLiteral("\r\n")));
    // (The start line itself: the session log tests.)
    const QStringList lines = TextLines(p.log());
    QCOMPARE(lines.size(), 1);
    QVERIFY(lines.first().startsWith(QStringLiteral("Session started ")));
    // A missing default portfolio is reported once, and not logged.
    QCOMPARE(p.messages.texts(),
             QStringList{QStringLiteral("Can't access the default portfolio ") + missing});
    QCOMPARE(p.messages.shown.front().icon, ui::Icon::Exclamation);
    QVERIFY(p.program().portfolio.CurrentPortfolio.isEmpty());
    QVERIFY(!p.window->action(QStringLiteral("mnuOpenItem"))->isEnabled());
    QVERIFY(!p.window->command7(1)->isEnabled());  // its button follows it
    QCOMPARE(p.window->windowTitle(), p.program().ProgramTitle);
    QCOMPARE(p.program().ProgramTitle, MakeProgramTitle(VersionMajor, VersionMinorNumber));
    QCOMPARE(p.program().IniPath, p.ini());
    QCOMPARE(p.program().LogPath, p.log());
    QCOMPARE(p.program().AppFolder, p.app());
    // The manual is looked for from the program's folder.
    QCOMPARE(p.program().HelpFilePath, help::FindHelpCollection(p.app()));
    // The defaults: record type column first, one fixed column, grid control frame shown.
    MainWindow& w = *p.window;
    QCOMPARE(w.gridModel()->recordTypePosition(), 1);
    QCOMPARE(w.grid()->fixedColumns(), 1);
    QVERIFY(!w.gridControlFrame()->isHidden());
    QCOMPARE(w.dateLabel()->text(), p.program().calendar.TodayLongText);

    QCOMPARE(w.dateWatch().dateWatchDay(), p.program().calendar.TodayYMD);
    // The watch wakes 30 seconds before midnight (or every second after that).
    const int secondsLeft = 86400 - QTime::currentTime().msecsSinceStartOfDay() / 1000;
    const int interval = w.dateWatch().dateWatchInterval();
    QVERIFY2(interval == 1000 || std::abs(interval / 1000 - (secondsLeft - 30)) <= 2,
             qPrintable(QString::number(interval)));

    // The first start writes the sample portfolio, once per installation.
    const QString def = example + QStringLiteral("/SamplePortfolio.def");
    const QString expected = QStringLiteral("\"Portfolio definition file\"\r\n") +
                             QStringLiteral(
                                 "\"%1/Dj_30.dat\"\r\n\"Dow Jones 30 Industrials\"\r\n"
                                 "\"%1/FictitiousMutualFund.dat\"\r\n\"Fictitious Mutual Fund\"\r\n"
                                 "\"%1/Mrld_m.dat\"\r\n"
                                 "\"Merrill Lynch Tot. Return Bond Idx - domestic master\"\r\n"
                                 "\"%1/Sp_500.dat\"\r\n\"Standard and Poors 500 Option Index\"\r\n")
                                 .arg(example);
    QCOMPARE(QString::fromLatin1(ReadAll(def)), expected);

    // The user deletes it: a later start does not bring it back.
    QVERIFY(QFile::remove(def));
    QVERIFY(p.window->close());
    p.startup = std::make_unique<Startup>();
    QVERIFY(p.start());
    QVERIFY(!QFile::exists(def));

    // A portfolio of that name is never replaced.
    const QString mine =
        QStringLiteral("\"Portfolio definition file\"\r\n\"/mine.dat\"\r\n\"Mine\"\r\n");
    WriteText(def, mine);
    FileTable files;
    QVERIFY(!WriteSamplePortfolio(files, example));
    QCOMPARE(QString::fromLatin1(ReadAll(def)), mine);
    QVERIFY(WriteSamplePortfolio(files, p.dir.path()));
    QVERIFY(!files.isOpen(PortfolioSlot));
}

// Settings shape the window; the sibling program asked for at the start;
// widths not remembered are not written back.
void StartupTest::settingsShapeTheWindow()
{
    StartedProgram p;
    QVERIFY(
        p.start(QStringLiteral("[General]\r\nShowRecordTypesLegend=false\r\n"
                               "ShowGridControl=False\r\nWindowSize=0\r\nLeft=-9000000\r\n"
                               "Top=abc\r\nStartTickmoor=True\r\nGridRowHeight=400\r\n"
                               "[GridMisc]\r\nRTColPos=Right\r\n"
                               "GridFixedColumns=2\r\nGridFont=Courier\r\nGridFontBold=True\r\n")));
    MainWindow& w = *p.window;
    QCOMPARE(w.gridModel()->recordTypePosition(), 0);
    QCOMPARE(w.gridModel()->headerData(10, Qt::Horizontal).toString(), QStringLiteral("R T"));
    QCOMPARE(w.grid()->fixedColumns(), 2);
    QVERIFY(w.grid()->appearance().font.bold());
    QVERIFY(!w.recordTypesWindow()->isVisible());
    QVERIFY(!w.action(QStringLiteral("mnuRecordTypeItem"))->isChecked());
    QVERIFY(w.gridControlFrame()->isHidden());
    QVERIFY(!w.action(QStringLiteral("mnuGridControlItem"))->isChecked());
    QCOMPARE(w.pos(), QPoint(0, 0));  // a place that can't be read

    // The sibling program was asked for at the start, but is not installed.
    QCOMPARE(p.messages.texts(),
             QStringList{QStringLiteral("Error: There was a problem running Tickmoor")});
    QAction* item = w.action(QStringLiteral("mnuTickmoor"));
    QVERIFY(!item->isChecked());
    // Installed: started once, the item ticked; a second command starts nothing.
    const QString program = p.app() + QStringLiteral("/tickmoor");
    const QString started = p.dir.path() + QStringLiteral("/started");
    WriteText(program, QStringLiteral("#!/bin/sh\necho x >> '") + started + QStringLiteral("'\n"));
    QVERIFY(QFile::setPermissions(program, QFile::permissions(program) | QFileDevice::ExeOwner));
    item->trigger();
    QVERIFY(item->isChecked());
    QTRY_VERIFY(QFile::exists(started));
    item->trigger();
    QVERIFY(item->isChecked());
    QTest::qWait(200);
    QCOMPARE(ReadAll(started), QByteArray("x\n"));
    QCOMPARE(p.messages.shown.size(), size_t(1));

    // Widths not remembered are not written, even when a column was resized.
    w.grid()->setColumnWidth(1, 100);
    w.showMinimized();
    QVERIFY(w.close());
    const QString ini = QString::fromLatin1(ReadAll(p.ini()));
    QVERIFY(!ini.contains(QStringLiteral("GridColWidth")));
    QVERIFY(ini.contains(QStringLiteral("SortByDesc=True")));
}

void StartupTest::secondCopyRaisesTheFirst()
{
    const QString key = UniqueInstanceKey();
    {
        SingleInstance first(key);
        QVERIFY(first.listen());
        QSignalSpy raised(&first, &SingleInstance::raiseRequested);
        SingleInstance second(key);
        QVERIFY(second.askRunningInstanceToRaise());
        QTRY_COMPARE(raised.count(), 1);
    }
    // With nobody listening the socket is free again. (A second start of the
    // program, which ends before its log exists, is run in the shared file
    // test.)
    SingleInstance nobody(key);
    QVERIFY(!nobody.askRunningInstanceToRaise(200));
}

// The deferred start, the default portfolio it opens, and what the window
// writes back.
void StartupTest::defaultPortfolioAndTheSettingsWrittenBack()
{
    StartedProgram p;
    const QString def = WritePortfolio(p.dir.path() + QStringLiteral("/Funds.def"), {});
    QVERIFY(p.start(QStringLiteral("[General]\r\nGridColWidth=True\r\nSortByDesc=False\r\n"
                                   "WindowSize=0\r\nLeft=150\r\nTop=3000\r\nDefaultPortfolio=") +
                        def + QStringLiteral("\r\n"),
                    QStringLiteral("/W3"), false));
    MainWindow& w = *p.window;
    // The first activation arms the start timer; the deferred start puts a
    // window that fits there where it was.
    QCOMPARE(w.startDelay(), 300);
    QVERIFY(w.Tag.isEmpty());
    QVERIFY(!w.startDone());
    w.resize(w.minimumSizeHint());
    QTRY_VERIFY_WITH_TIMEOUT(w.startDone(), 3000);
    QCOMPARE(w.pos(), QPoint(10, 200));
    // A later activation does not start again.
    w.hide();
    w.show();
    QCOMPARE(w.startDelay(), 300);

    // The default portfolio is opened, ready for "&Open an investment...".
    QVERIFY(p.messages.shown.empty());
    QCOMPARE(p.program().portfolio.CurrentPortfolio, def);
    QVERIFY(LogMessages(p.log()).contains(QStringLiteral("Opened portfolio ") + def +
                                          QLatin1Char('.')));
    QVERIFY(w.action(QStringLiteral("mnuOpenItem"))->isEnabled());
    QVERIFY(w.command7(1)->isEnabled());
    // No investment file yet: the file commands wait.
    QVERIFY(!w.action(QStringLiteral("mnuRefreshItem"))->isEnabled());
    QVERIFY(!w.grid()->isEnabled());
    QVERIFY(
        w.windowTitle().startsWith(p.program().ProgramTitle + QStringLiteral(" - Portfolio: ")));
    QCOMPARE(w.portfolioLabel()->toolTip(), def);

    // The marker "True" keeps the default widths (shown wider where the
    // contents need more); the record type column is on the right because
    // widths are remembered.
    QCOMPARE(w.gridModel()->recordTypePosition(), 0);
    QCOMPARE(w.grid()->columnWidth(0), std::max(60, w.grid()->minimumColumnWidth(0)));
    QCOMPARE(w.grid()->columnWidth(10), std::max(20, w.grid()->minimumColumnWidth(10)));
    w.grid()->setColumnWidth(1, 160);
    w.move(30, 45);
    QVERIFY(w.close());
    const QString ini = QString::fromLatin1(ReadAll(p.ini()));
    QVERIFY2(ini.contains(
                 QStringLiteral("GridColWidth=900 2400 1210 1210 1210 1210 1435 835 835 835 300 ")),
             qPrintable(ini));
    QVERIFY(ini.contains(QStringLiteral("SortByDesc=False")));
    QVERIFY(ini.contains(QStringLiteral("WindowSize=0")));
    QVERIFY(ini.contains(QStringLiteral("Left=")));
    QVERIFY(!ini.contains(QStringLiteral("GridRowHeight=")));  // still the grid's own
    QCOMPARE(LogMessages(p.log()).last(), QStringLiteral("Session ended."));
}

QTEST_MAIN(StartupTest)
#include "tst_startup.moc"
