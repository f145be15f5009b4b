// The listing and the basis worksheet through their dialogs into the print
// preview, and from the preview to the printer, on an installed printer.
// Skipped where no printer is installed. With BRISDEN_SCREENSHOTS set to a
// folder, the preview's first pages are saved there as pictures.

#include "basis/widgets/BasisCommands.h"
#include "basis/widgets/BasisWrkSheet.h"
#include "grid/widgets/ListCommands.h"
#include "grid/widgets/ListRecs.h"
#include "gui/GuiTestSupport.h"
#include "report/widgets/PrintPreview.h"
#include "report/widgets/ReportPrinting.h"

#include <QAction>
#include <QLabel>
#include <QPrinterInfo>
#include <QRadioButton>

using namespace brisden;
using namespace brisden::test;

class TestReportPreview : public QObject {
    Q_OBJECT
private slots:
    void listingAndWorksheetReachThePreviewAndThePrinter()
    {
        const QList<QPrinterInfo> printers = QPrinterInfo::availablePrinters();
        if (printers.isEmpty())
            QSKIP("no printer is installed");
        StartedProgram p;
        FakeNotices notices;
        std::vector<Tx> ledger;
        for (int i = 0; i < 90; ++i) {
            const std::int32_t date = 20150105 + (i / 12) * 10000 + (i % 12) * 100;
            if (i % 10 == 9)
                ledger.push_back({date, "Sell", -300, 10.0 + i % 7, 300 / (10.0 + i % 7)});
            else if (i % 5 == 4)
                ledger.push_back({date, "Price", 0, 10 + i % 7 + 0.25, 0});
            else
                ledger.push_back({date, "Buy", 250, 10.0 + i % 7, 0});
        }
        const QString dat = WriteLedger(p.dir.filePath(QStringLiteral("growth.dat")), ledger);
        QVERIFY(p.startWithFile(dat, QStringLiteral("Growth fund")));
        QVERIFY(OpenInvestment(*p.window, dat));
        p.program().log.setDisplay(&notices);
        p.program().settings.TextDevice = printers.first().printerName();
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
};

QTEST_MAIN(TestReportPreview)
#include "tst_reportpreview.moc"
