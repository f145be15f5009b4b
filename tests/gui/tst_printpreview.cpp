// The print preview window: pages laid out by the page composer on the
// preview's page pictures, navigation, a report that printed nothing, the
// overflow warning, and colours.

#include "gui/GuiTestSupport.h"
#include "report/PageComposer.h"
#include "report/paint/PainterSurface.h"
#include "report/widgets/PreviewColours.h"
#include "report/widgets/PrintPreview.h"
#include "shell/IniFile.h"
#include "shell/Settings.h"

#include <QAction>
#include <QLabel>

using namespace brisden;
using namespace brisden::test;

namespace {

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

class TestPrintPreview : public QObject {
    Q_OBJECT
private slots:
    void pagesNavigationAndWarnings()
    {
        PreviewRun r;
        // A report with no line opens no window.
        r.print(0, 10);
        QVERIFY(!r.preview->isVisible());
        QCOMPARE(r.preview->pageCount(), 0);

        r.print(25, 10);
        QVERIFY(r.preview->isVisible());
        QCOMPARE(r.preview->pageCount(), 3);
        QCOMPARE(r.preview->currentPage(), 1);
        QCOMPARE(r.preview->displayingText(), QStringLiteral("1"));
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
    }

    void coloursRestoreToTheDefaultsAndSaveAsDefault()
    {
        PreviewRun r;
        r.settings.PrintPreviewInsideColor = QStringLiteral("&H00FF00");
        r.settings.PrintPreviewOutsideColor = QStringLiteral("&HFF");
        r.print(3, 10);
        QCOMPARE(r.preview->insideColour(), 0x00FF00u);
        QCOMPARE(r.preview->outsideColour(), 0xFFu);

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

QTEST_MAIN(TestPrintPreview)
#include "tst_printpreview.moc"
