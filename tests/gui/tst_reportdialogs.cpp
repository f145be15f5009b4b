// The "List transactions" and basis worksheet dialogs in the running
// program: destinations without a printer, a printer that is not installed,
// report files (illegal names, append, overwrite, cancel), and the reports
// they produce.

#include "basis/widgets/BasisCommands.h"
#include "basis/widgets/BasisWrkSheet.h"
#include "grid/widgets/ListCommands.h"
#include "grid/widgets/ListRecs.h"
#include "gui/GuiTestSupport.h"
#include "report/widgets/DateBox.h"
#include "report/widgets/ReportPrinting.h"

#include <QLabel>
#include <QListWidget>
#include <QRadioButton>

using namespace brisden;
using namespace brisden::test;

namespace {

struct Reports {
    StartedProgram p;
    FakeNotices notices;
    QString dat;
    QStringList chosenFiles;   // answers of the save dialog, in order
    QStringList appendAnswers;  // answers of AppendOverwrite
    int saveDialogs = 0;
    int filterIndex = 0;

    bool start(const QString& printer = QString())
    {
        dat = WriteLedger(p.dir.filePath(QStringLiteral("fund.dat")),
                          {{20040105, "Buy", 1000, 10, 0},
                           {20040601, "Price", 0, 11, 0},
                           {20041001, "Sell", -550, 11, 50}});
        if (!p.startWithFile(dat, QStringLiteral("Growth fund")) || !OpenInvestment(*p.window, dat))
            return false;
        // Notices that wait for the user ("Basis worksheet finished") are only recorded.
        p.program().log.setDisplay(&notices);
        if (!printer.isEmpty())
            p.program().settings.TextDevice = printer;
        ReportPrinting& printing = p.window->reportPrinting();
        printing.setSaveChooser([this](const QString&, const QString&, int index) {
            ++saveDialogs;
            filterIndex = index;
            return chosenFiles.isEmpty() ? QString() : chosenFiles.takeFirst();
        });
        printing.setAppendChooser([this](const QString&) {
            return appendAnswers.isEmpty() ? QStringLiteral("3") : appendAnswers.takeFirst();
        });
        return true;
    }

    // Runs "List to printer or file..." with the dialog answered by `answer`.
    void list(const std::function<void(ListRecs&)>& answer)
    {
        p.window->listCommands().setDialogRunner(answer);
        p.window->action("mnuListItem")->trigger();
    }
    void basis(const std::function<void(BasisWrkSheet&)>& answer)
    {
        p.window->basisCommands().setDialogRunner(answer);
        p.window->action("mnuBasisItem")->trigger();
    }
    QString path(const char* name) const { return p.dir.filePath(QLatin1String(name)); }
};

}  // namespace

class TestReportDialogs : public QObject {
    Q_OBJECT
private slots:
    void reportsGoToFilesWithoutAPrinter()
    {
        Reports r;
        QVERIFY(r.start());
        // No printer: only the file remains.
        bool seen = false;
        r.list([&](ListRecs& d) {
            seen = true;
            QVERIFY(!d.option(1)->isEnabled() && !d.option(2)->isEnabled());
            QVERIFY(!d.command(3)->isEnabled());
            QVERIFY(d.option(3)->isChecked());
            d.command(2)->click();
        });
        QVERIFY(seen);
        r.basis([&](BasisWrkSheet& d) {
            QVERIFY(!d.option(1)->isEnabled() && !d.option(2)->isEnabled());
            QVERIFY(d.option(3)->isChecked());
            d.command(2)->click();
        });
        QCOMPARE(r.saveDialogs, 0);

        // An investment file's name is refused; the dialog stays.
        const QString out = r.path("listing.txt");
        r.chosenFiles = {r.path("other.DAT")};
        r.list([](ListRecs& d) { d.Command1_Click(); });
        QCOMPARE(r.p.messages.texts().last(), QStringLiteral("Illegal pathname"));
        QCOMPARE(r.filterIndex, 3);  // no report path yet: "All Files"

        // A new file: the listing's records.
        r.chosenFiles = {out};
        r.list([](ListRecs& d) { d.Command1_Click(); });
        const QStringList first = TextLines(out);
        QVERIFY(first.size() > 6);
        QVERIFY(first[1].startsWith(QStringLiteral("\"File:\"")));
        QVERIFY(LogMessages(r.p.log()).contains(QStringLiteral("Listing directed to ") + out + QLatin1Char('.')));
        QVERIFY(LogMessages(r.p.log()).contains(QStringLiteral("Listing created.")));

        // Cancel in AppendOverwrite leaves the file and the dialog as they were.
        r.chosenFiles = {out};
        r.appendAnswers = {QStringLiteral("3")};
        QString tag = QStringLiteral("unset");
        r.list([&](ListRecs& d) {
            d.Command1_Click();
            tag = d.Tag;
        });
        QVERIFY(tag.isEmpty());
        QCOMPARE(TextLines(out), first);
        QCOMPARE(r.filterIndex, 1);  // the last report path ends in TXT

        // Append adds a second listing after the first.
        r.chosenFiles = {out};
        r.appendAnswers = {QStringLiteral("1")};
        r.list([](ListRecs& d) { d.Command1_Click(); });
        QCOMPARE(TextLines(out).size(), 2 * first.size());
        QCOMPARE(TextLines(out).mid(0, first.size()), first);

        // Overwrite replaces it; the basis worksheet goes the same way.
        r.chosenFiles = {out};
        r.appendAnswers = {QStringLiteral("2")};
        r.basis([](BasisWrkSheet& d) { d.Command1_Click(); });
        const QStringList worksheet = TextLines(out);
        QVERIFY(worksheet.size() < first.size() * 2);
        QVERIFY(worksheet.join(QLatin1Char('\n')).contains(QStringLiteral("Basis Worksheet: Cost, FIFO")));
        QVERIFY(LogMessages(r.p.log()).contains(QStringLiteral("Basis worksheet directed to ") + out + QLatin1Char('.')));

        // The listing's dates come from the dialog.
        r.chosenFiles = {r.path("range.txt")};
        r.list([](ListRecs& d) {
            d.beginDate()->setDate(6012004);
            d.endDate()->setDate(12312004);
            d.Command1_Click();
        });
        QCOMPARE(r.p.program().report.ListFromDate, 6012004);
        QCOMPARE(r.p.program().report.ListToDate, 12312004);
        const QStringList lines = TextLines(r.path("range.txt"));
        QVERIFY(lines.size() > 4);
        QVERIFY(lines[3].contains(QStringLiteral("6012004,12312004")));
    }

    void aPrinterThatIsNotInstalledIsReported()
    {
        Reports r;
        QVERIFY(r.start(QStringLiteral("No Such Printer")));
        QString tag = QStringLiteral("unset");
        r.list([&](ListRecs& d) {
            QCOMPARE(d.label3()->text(), QStringLiteral("No Such Printer"));
            QVERIFY(d.option(1)->isChecked());
            d.Command1_Click();
            tag = d.Tag;
        });
        QVERIFY(tag.isEmpty());  // the dialog stays for another choice
        QCOMPARE(r.p.messages.texts().last(),
                 QStringLiteral("The chosen printer: No Such Printer is not available, please try another."));
        r.basis([&](BasisWrkSheet& d) {
            d.option(2)->setChecked(true);
            d.Command1_Click();
            tag = d.Result;
        });
        QVERIFY(tag.isEmpty());
        QCOMPARE(r.p.messages.shown.back().icon, ui::Icon::Exclamation);
    }
};

QTEST_MAIN(TestReportDialogs)
#include "tst_reportdialogs.moc"
