// The text printer on a real print queue: the private CUPS server that ctest
// starts around this test (scripts/cups-sandbox.sh) has the raw queue
// "BrisdenTest", whose printer appends what it receives to a file. The
// printer is chosen by its exact name, the control codes frame a report job
// byte for byte, and the page setup hands the margins back.

#include "gui/GuiTestSupport.h"
#include "report/widgets/TextPrinter.h"

#include <QPrinter>
#include <QPrintDialog>
#include <QPrinterInfo>

using namespace brisden;
using namespace brisden::test;

namespace {

const QString kQueue = QStringLiteral("BrisdenTest");

// The sandbox folder, or an empty text when the tests must skip.
QString SandboxDir()
{
    const QString dir = qEnvironmentVariable("BRISDEN_CUPS_SANDBOX");
    if (dir.isEmpty() || QFile::exists(dir + QStringLiteral("/unavailable")))
        return QString();
    return dir;
}

// What the printer has received so far.
QByteArray Printed(const QString& dir)
{
    return ReadAll(dir + QStringLiteral("/out.prn"));
}

// Waits until the printer has received something ending in `tail`.
QByteArray WaitForTail(const QString& dir, const QByteArray& tail)
{
    // (After 30 s the caller's checks tell what arrived.)
    static_cast<void>(QTest::qWaitFor([&] { return Printed(dir).endsWith(tail); }, 30000));
    return Printed(dir);
}

// Jobs the server has taken for the queue so far (it keeps their history).
int JobCount()
{
    QProcess lpstat;
    lpstat.start(QStringLiteral("lpstat"),
                 {QStringLiteral("-W"), QStringLiteral("all"), QStringLiteral("-o"), kQueue});
    if (!lpstat.waitForFinished(10000))
        return -1;
    return int(lpstat.readAllStandardOutput().count('\n'));
}

// Confirms (or cancels) the next modal dialog once it is shown.
void AnswerNextDialog(bool accept)
{
    QTimer::singleShot(0, qApp, [accept] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr)
            AnswerNextDialog(accept);
        else
            accept ? dialog->accept() : dialog->reject();
    });
}

// The printer of the print dialog shown within `work`, which is closed at
// once; empty when none was shown.
template <typename Work>
QString PrintDialogPrinter(Work work)
{
    QString printer;
    QTimer watch;
    watch.callOnTimeout([&] {
        if (auto* dialog = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget())) {
            printer = dialog->printer()->printerName();
            dialog->reject();
        }
    });
    watch.start(10);
    work();
    return printer;
}

}  // namespace

class TextPrinterTest : public QObject {
    Q_OBJECT

private slots:
    void printerAndItsPropertiesAreFoundByTheExactName();
    void codesFrameTheReportJobByteForByteOrAreNotSent();
    void pageSetupHandsTheMarginsBack();
};

void TextPrinterTest::printerAndItsPropertiesAreFoundByTheExactName()
{
    if (SandboxDir().isEmpty())
        QSKIP("no private print server (started by ctest; needs cupsd)");
    const QList<QPrinterInfo> installed = QPrinterInfo::availablePrinters();
    const int count = int(installed.size());
    QVERIFY(count >= 1);

    QPrinter printer;
    std::int16_t landscape = OrientationLandscape;
    const int index = SelectPrinterByName(printer, kQueue, landscape);
    QVERIFY(index >= 0 && index < count);
    QCOMPARE(installed[index].printerName(), kQueue);
    QCOMPARE(printer.printerName(), kQueue);
    QCOMPARE(printer.pageLayout().orientation(), QPageLayout::Landscape);
    std::int16_t portrait = OrientationPortrait;
    QCOMPARE(SelectPrinterByName(printer, kQueue, portrait), index);
    QCOMPARE(printer.pageLayout().orientation(), QPageLayout::Portrait);

    // Letter case counts; the printer in force stays.
    QCOMPARE(SelectPrinterByName(printer, QStringLiteral("brisdentest"), landscape), count);
    QCOMPARE(SelectPrinterByName(printer, QString(), landscape), count);
    QCOMPARE(printer.pageLayout().orientation(), QPageLayout::Portrait);
    // An orientation no printer has.
    std::int16_t none = 0;
    QCOMPARE(SelectPrinterByName(printer, kQueue, none), PrinterOrientationRefused);

    // The properties shown are those of the named printer; one that isn't
    // installed has none to show.
    QCOMPARE(PrintDialogPrinter([] { ShowPrinterProperties(kQueue, nullptr); }), kQueue);
    QVERIFY(PrintDialogPrinter([] {
                ShowPrinterProperties(QStringLiteral("NoSuchPrinter"), nullptr);
            }).isEmpty());
}

void TextPrinterTest::codesFrameTheReportJobByteForByteOrAreNotSent()
{
    const QString dir = SandboxDir();
    if (dir.isEmpty())
        QSKIP("no private print server (started by ctest; needs cupsd)");
    FakeMessages box;
    const int jobs = JobCount();
    QVERIFY(jobs >= 0);
    // No codes ask for no queue at all, known or not.
    SendPrinterCodes(kQueue, QByteArray(), box);
    SendPrinterCodes(QStringLiteral("NoSuchPrinter"), QByteArray(), box);
    QVERIFY(box.shown.empty());
    // Codes for a printer that is not there are told, not sent.
    SendPrinterCodes(QStringLiteral("NoSuchPrinter"), QByteArray("\x1b"), box);
    SendPrinterCodes(QString(), QByteArray("\x1b"), box);
    QCOMPARE(box.texts(), QStringList(2, QStringLiteral("The Printer Name you typed wasn't "
                                                        "recognized.")));
    box.shown.clear();

    const QByteArray before = Printed(dir);
    const QByteArray init("\x1b\x40\x00\x0a\x0d\xff\x1b", 7);
    const QByteArray reset("\x0d\x0a\x00\x1b\x40\xff", 6);
    SendPrinterCodes(kQueue, init, box);
    {
        QPrinter printer;
        std::int16_t portrait = OrientationPortrait;
        QVERIFY(SelectPrinterByName(printer, kQueue, portrait) >= 0);
        printer.setDocName(QStringLiteral("Listing"));
        QPainter painter;
        QVERIFY(painter.begin(&printer));
        painter.drawText(100, 100, QStringLiteral("Value Today"));
        QVERIFY(painter.end());
    }
    SendPrinterCodes(kQueue, reset, box);

    const QByteArray printed = WaitForTail(dir, reset).mid(before.size());
    QVERIFY(box.shown.empty());
    QVERIFY2(printed.startsWith(init), printed.left(16).toHex().constData());
    QVERIFY(printed.endsWith(reset));
    // The report job between them is the printer's document, unchanged.
    const QByteArray report = printed.mid(init.size(), printed.size() - init.size() - reset.size());
    QVERIFY2(report.startsWith("%PDF-"), report.left(16).toHex().constData());
    QVERIFY(report.contains("%%EOF"));
    // The three jobs: the codes before, the report, the codes after.
    QCOMPARE(JobCount(), jobs + 3);
}

void TextPrinterTest::pageSetupHandsTheMarginsBack()
{
    // On the test queue when there is one, else on the fallback printer.
    QPrinter printer;
    if (!SandboxDir().isEmpty()) {
        std::int16_t portrait = OrientationPortrait;
        QVERIFY(SelectPrinterByName(printer, kQueue, portrait) >= 0);
    }
    const QMarginsF printerMargins = printer.pageLayout().margins(QPageLayout::Inch);
    std::array<int, 4> margins = {500, 750, 1000, 1250};

    AnswerNextDialog(false);
    QVERIFY(!PageSetup(printer, margins, nullptr));
    QCOMPARE(margins, (std::array<int, 4>{500, 750, 1000, 1250}));

    AnswerNextDialog(true);
    QVERIFY(PageSetup(printer, margins, nullptr));
    QCOMPARE(margins, (std::array<int, 4>{500, 750, 1000, 1250}));
    QCOMPARE(printer.pageLayout().margins(QPageLayout::Inch), printerMargins);
}

QTEST_MAIN(TextPrinterTest)
#include "tst_textprinter.moc"
