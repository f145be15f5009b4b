// The report dialogs and the print preview. The "List transactions" and
// basis worksheet dialogs in the running program: destinations without a
// printer, a printer that is not installed, report files (illegal names,
// append, overwrite, cancel) and the reports they produce; the listing and
// the worksheet into the preview and from there to an installed printer
// (skipped where none is installed; with BRISDEN_SCREENSHOTS set to a folder,
// the preview's first pages are saved there as pictures). The preview window
// itself: pages laid out by the page composer, navigation, a report that
// printed nothing, the overflow warning, and colours.

#include "basis/widgets/BasisCommands.h"
#include "basis/widgets/BasisWrkSheet.h"
#include "grid/widgets/ListCommands.h"
#include "grid/widgets/ListRecs.h"
#include "gui/GuiTestSupport.h"
#include "report/PageComposer.h"
#include "report/paint/PainterSurface.h"
#include "report/widgets/DateBox.h"
#include "report/widgets/PreviewColours.h"
#include "report/widgets/PrintPreview.h"
#include "report/widgets/ReportPrinting.h"
#include "shell/IniFile.h"

#include <QPrinterInfo>

using namespace brisden;
using namespace brisden::test;

namespace {

// The program with a ledger open, whose report file dialogs are answered from here.
struct Reports {
    StartedProgram p;
    FakeNotices notices;
    QString dat;
    std::vector<Tx> ledger = {{20040105, "Buy", 1000, 10, 0},
                              {20040601, "Price", 0, 11, 0},
                              {20041001, "Sell", -550, 11, 50}};
    QStringList chosenFiles;   // answers of the save dialog, in order
    QStringList appendAnswers;  // answers of AppendOverwrite
    int saveDialogs = 0;
    int filterIndex = 0;

    bool start(const QString& printer = QString())
    {
        dat = WriteLedger(p.dir.filePath(QStringLiteral("fund.dat")), ledger);
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

// A report of `lines` lines, on pages of at most `perPage` lines, printed
// through the composer onto the preview's page pictures.
struct PreviewRun {
    QTemporaryDir dir;
    Settings settings;
    FakeHelp help;
    FakeMessages messages;
    ReportState report;
    std::unique_ptr<PrintPreview> preview;

    PreviewRun()
    {
        preview = std::make_unique<PrintPreview>(settings, dir.filePath(QStringLiteral("Application.ini")),
                                                 QStringLiteral("Brisden 6.00"), &help);
    }

    void print(int lines, int perPage)
    {
        PageComposer composer(report, QStringLiteral("Brisden 6.00"));
        const PageMetrics letter;
        auto surface = preview->Setup(letter, QStringLiteral("Office"), PrintFont{}, 1, perPage);
        composer.PreparePrintSurface(*surface);
        composer.setSurface(surface.get());
        composer.ApplyScale();
        for (int i = 0; i < lines; ++i) {
            if (i > 0 && i % perPage == 0)
                composer.StartNewPage();
            composer.PrintTabbedLine({0, -40}, {QStringLiteral("Line"), QString::number(i + 1)});
        }
        PagePictureSurface* pictures = surface.get();
        composer.ShowPrintPreview(&messages, nullptr, [&] { preview->ShowReport(*pictures); },
                                  [&] { preview->hide(); });
        QCoreApplication::processEvents();
    }

    bool enabled(int button) const { return preview->command1(button)->isEnabled(); }
    bool menu(const char* name) const
    {
        return preview->action(QString::fromLatin1(name))->isEnabled();
    }
};

}  // namespace

class TestReportPreview : public QObject {
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

    void listingAndWorksheetReachThePreviewAndThePrinter()
    {
        const QList<QPrinterInfo> printers = QPrinterInfo::availablePrinters();
        if (printers.isEmpty())
            QSKIP("no printer is installed");
        Reports r;
        r.ledger.clear();
        for (int i = 0; i < 90; ++i) {
            const std::int32_t date = 20150105 + (i / 12) * 10000 + (i % 12) * 100;
            if (i % 10 == 9)
                r.ledger.push_back({date, "Sell", -300, 10.0 + i % 7, 300 / (10.0 + i % 7)});
            else if (i % 5 == 4)
                r.ledger.push_back({date, "Price", 0, 10 + i % 7 + 0.25, 0});
            else
                r.ledger.push_back({date, "Buy", 250, 10.0 + i % 7, 0});
        }
        QVERIFY(r.start(printers.first().printerName()));
        StartedProgram& p = r.p;
        p.window->sharePriceBox()->setText(QStringLiteral("16.50"));
        p.window->resize(1000, 700);

        ListCommands& list = p.window->listCommands();
        list.setDialogRunner([](ListRecs& d) {
            QVERIFY(d.option(1)->isEnabled());
            d.option(1)->setChecked(true);
            d.Command1_Click();
        });
        p.window->action("mnuListItem")->trigger();
        PrintPreview& preview = p.window->reportPrinting().preview();
        QVERIFY(preview.isVisible());
        QVERIFY(preview.pageCount() >= 2);
        QCOMPARE(preview.currentPage(), 1);
        QCOMPARE(preview.label(QStringLiteral("lblDevice"))->text(), printers.first().printerName());
        QVERIFY(LogMessages(p.log()).contains(QStringLiteral("Listing directed to Print preview window.")));
        const QString shots = qEnvironmentVariable("BRISDEN_SCREENSHOTS");
        preview.resize(900, 900);
        preview.fitToWindow();
        if (!shots.isEmpty())
            QVERIFY(preview.grab().save(shots + QStringLiteral("/preview-listing.png")));

        // From the preview into a PDF file: the same pages.
        const QString pdf = p.dir.filePath(QStringLiteral("listing"));
        preview.setPdfChooser([&pdf] { return pdf; });
        preview.action(QStringLiteral("mnuSavePdf"))->trigger();
        QFile saved(pdf + QStringLiteral(".pdf"));
        QVERIFY(saved.open(QIODevice::ReadOnly));
        const QByteArray bytes = saved.readAll();
        QVERIFY(bytes.startsWith("%PDF"));
        QCOMPARE(int(bytes.count("/Type /Page\n")) + int(bytes.count("/Type /Page\r")) +
                     int(bytes.count("/Type /Page ")) + int(bytes.count("/Type /Page>")),
                 preview.pageCount());

        // From the preview to the printer: a job without any message.
        const std::size_t before = p.messages.shown.size();
        preview.action(QStringLiteral("mnuPrint"))->trigger();
        QCOMPARE(p.messages.shown.size(), before);

        // Straight to the printer after the ready question; Cancel there prints nothing.
        const QString name = printers.first().printerName();
        p.messages.answers = {false};
        QString tag = QStringLiteral("unset");
        list.setDialogRunner([&tag](ListRecs& d) {
            d.option(2)->setChecked(true);
            d.Command1_Click();
            tag = d.Tag;
        });
        p.window->action("mnuListItem")->trigger();
        QVERIFY(tag.isEmpty());
        QVERIFY(p.messages.questions.last().startsWith(QStringLiteral("Make sure that device ") + name));
        p.messages.answers = {true};
        p.window->action("mnuListItem")->trigger();
        QCOMPARE(tag, QStringLiteral("2"));
        QVERIFY(LogMessages(p.log()).contains(QStringLiteral("Listing directed to printer ") + name +
                                              QLatin1Char('.')));
        QCOMPARE(p.messages.shown.size(), before);

        BasisCommands& basis = p.window->basisCommands();
        basis.setDialogRunner([](BasisWrkSheet& d) {
            d.list1()->setCurrentRow(2);
            d.option(1)->setChecked(true);
            d.Command1_Click();
        });
        p.window->action("mnuBasisItem")->trigger();
        QVERIFY(preview.isVisible());
        QVERIFY(preview.pageCount() >= 1);
        QVERIFY(LogMessages(p.log()).contains(
            QStringLiteral("Basis worksheet directed to Print preview window.")));
        if (!shots.isEmpty())
            QVERIFY(preview.grab().save(shots + QStringLiteral("/preview-worksheet.png")));
    }

    void previewPagesNavigationWarningsAndColours()
    {
        PreviewRun r;
        r.settings.PrintPreviewInsideColor = QStringLiteral("&H00FF00");
        r.settings.PrintPreviewOutsideColor = QStringLiteral("&HFF");
        // A report with no line opens no window.
        r.print(0, 10);
        QVERIFY(!r.preview->isVisible());
        QCOMPARE(r.preview->pageCount(), 0);

        r.print(25, 10);
        QVERIFY(r.preview->isVisible());
        QCOMPARE(r.preview->pageCount(), 3);
        QCOMPARE(r.preview->currentPage(), 1);
        QCOMPARE(r.preview->displayingText(), QStringLiteral("1"));
        QCOMPARE(r.preview->insideColour(), 0x00FF00u);
        QCOMPARE(r.preview->outsideColour(), 0xFFu);
        QVERIFY(!r.enabled(0) && !r.enabled(1) && r.enabled(2) && r.enabled(3));
        QVERIFY(!r.menu("mnuFirstPage") && !r.menu("mnuRCPrev") && r.menu("mnuNextPage"));

        r.preview->command1(2)->click();  // next
        QCOMPARE(r.preview->currentPage(), 2);
        QCOMPARE(r.preview->displayingText(), QStringLiteral("2"));

        r.preview->action(QStringLiteral("mnuLastPage"))->trigger();
        QCOMPARE(r.preview->currentPage(), 3);
        QVERIFY(r.enabled(0) && r.enabled(1) && !r.enabled(2) && !r.enabled(3));
        QVERIFY(!r.menu("mnuRCNext") && !r.menu("mnuRCLast") && r.menu("mnuRCFirst"));

        r.preview->action(QStringLiteral("mnuRCPrev"))->trigger();
        QCOMPARE(r.preview->currentPage(), 2);
        r.preview->command1(0)->click();
        QCOMPARE(r.preview->currentPage(), 1);

        // A one-page report leaves every navigation control disabled.
        r.print(4, 10);
        QCOMPARE(r.preview->pageCount(), 1);
        QVERIFY(!r.enabled(0) && !r.enabled(1) && !r.enabled(2) && !r.enabled(3));
        QCOMPARE(r.preview->label(QStringLiteral("lblLines"))->text(), QStringLiteral("10"));
        QVERIFY(r.messages.shown.empty());

        // 80 lines on a page that holds about 63: warned once as the preview opens.
        r.print(160, 80);
        QVERIFY(r.preview->isVisible());
        QCOMPARE(r.preview->pageCount(), 2);
        QCOMPARE(r.messages.texts(), QStringList{PreviewOverflowWarning()});

        r.preview->action(QStringLiteral("mnuHelpItem"))->trigger();
        QCOMPARE(r.help.topics, QList<int>{ui::HelpPrintPreview});

        // The colours dialog: restored to the defaults, saved as default.
        PreviewColours* dialog = r.preview->colourDialog();
        dialog->setPicker([](const QColor&, QWidget*) { return QColor(1, 2, 3); });
        QTimer::singleShot(0, dialog, [dialog] {
            dialog->cmdColor(1);                // outside: picked
            dialog->command1(2)->click();       // save as default
            dialog->command1(3)->click();       // restore default
            dialog->command1(0)->click();       // OK
        });
        r.preview->changeColours();
        QCOMPARE(r.preview->insideColour(), 0x80000005u);
        QCOMPARE(r.preview->outsideColour(), 0x00E1FFFFu);
        const QString ini = r.dir.filePath(QStringLiteral("Application.ini"));
        QCOMPARE(ReadINI(QStringLiteral("Colors"), QStringLiteral("PrintPreviewInsideColor"),
                         QString(), ini),
                 QStringLiteral("&HFF00"));
        QCOMPARE(ReadINI(QStringLiteral("Colors"), QStringLiteral("PrintPreviewOutsideColor"),
                         QString(), ini),
                 QStringLiteral("&H30201"));

        // Cancel keeps the colours the window had.
        QTimer::singleShot(0, dialog, [dialog] {
            dialog->cmdColor(0);
            dialog->command1(1)->click();
        });
        r.preview->changeColours();
        QCOMPARE(r.preview->insideColour(), 0x80000005u);
        QCOMPARE(PreviewColourValue(QString(), PreviewOutsideDefault), 0x00E1FFFFu);
        QCOMPARE(PreviewColourValue(QStringLiteral("&H80000005&"), 0), 0x80000005u);
    }
};

QTEST_MAIN(TestReportPreview)
#include "tst_reportpreview.moc"
