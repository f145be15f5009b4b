// The preferences dialog driven like a user would: every control to the
// settings file and back at the next start, Cancel leaving the file as it
// was, the record type column moved with its widths, the grid page's reset,
// the keyboard order of each page, the number boxes' filters, the printer
// lists and page setup, and the Help button's topics.

#include "GuiTestSupport.h"

#include "grid/GridLayout.h"
#include "help/widgets/HelpCommands.h"
#include "prefs/Preferences.h"
#include "prefs/widgets/PreferencesCommands.h"
#include "prefs/widgets/frmPelmarOptions.h"
#include "shell/IniFile.h"

using namespace brisden;
using namespace brisden::test;
using namespace brisden::prefs;
using grid::Field;

namespace {

// The system's dialogs and printers, answered from here.
struct FakeServices {
    QStringList printers;
    QString defaultPrinter;
    std::optional<QColor> colour;
    std::optional<FontChoice> font;
    QString portfolio;
    bool pageSetupConfirms = true;
    QString pageSetupError;
    std::array<int, 4> pageSetupMargins{};
    std::int16_t pageSetupOrientation = 1;
    // What was asked.
    QStringList properties;
    QString pageSetupPrinter;
    std::array<int, 4> pageSetupMarginsIn{};
    std::vector<bool> fontMonospace;

    PreferencesServices services()
    {
        PreferencesServices s;
        s.installedPrinters = [this] { return printers; };
        s.defaultPrinter = [this] { return defaultPrinter; };
        s.printerProperties = [this](const QString& name, QWidget*) { properties << name; };
        s.pageSetup = [this](const QString& name, std::array<int, 4>& margins,
                             std::int16_t& orientation, QWidget*, QString& error) {
            pageSetupPrinter = name;
            pageSetupMarginsIn = margins;
            error = pageSetupError;
            if (!pageSetupConfirms || !error.isEmpty())
                return false;
            margins = pageSetupMargins;
            orientation = pageSetupOrientation;
            return true;
        };
        s.chooseColour = [this](const QColor&, QWidget*) { return colour; };
        s.chooseFont = [this](const FontChoice&, bool monospace, QWidget*) {
            fontMonospace.push_back(monospace);
            return font;
        };
        s.choosePortfolio = [this](QWidget*, const QString&) { return portfolio; };
        return s;
    }
};

// Opens the dialog as the menu does, but without waiting for it to close.
frmPelmarOptions* OpenDialog(MainWindow& window, FakeServices& fake)
{
    frmPelmarOptions* dialog = window.preferences().dialog();
    dialog->setServices(fake.services());
    dialog->Tag = tag::Fill;
    dialog->show();
    return dialog;
}

void Retype(QLineEdit* box, const QString& text)
{
    box->selectAll();
    QTest::keyClick(box, Qt::Key_Backspace);
    QTest::keyClicks(box, text);
}

void SelectPrinter(QListWidget* list, const QString& name)
{
    for (int i = 0; i < list->count(); ++i) {
        if (list->item(i)->data(Qt::UserRole).toString() == name)
            list->setCurrentRow(i);
    }
}

// Widths in twips by what the column shows.
std::map<Field, int> WidthsByField(const grid::LedgerGrid& g, int RTColPos)
{
    std::map<Field, int> widths;
    const auto layout = grid::ColumnLayout(RTColPos);
    const auto twips = g.columnWidthsTwips();
    for (size_t c = 0; c < layout.size(); ++c)
        widths[layout[c].field] = twips[c];
    return widths;
}

const QString UnusualIni = QStringLiteral(
    "[General]\r\nShowRecordTypesLegend=False\r\nGridColWidth=True\r\nConfirmDelete=False\r\n"
    "AutoSaveInterval=15\r\nCRFiresTab=True\r\n"
    "[Colors]\r\nGridBackColor=&HE1FFFF\r\nGridLineColor=&H80000010\r\n"
    "[GridMisc]\r\nGridLineWidth=2\r\nRTColPos=0\r\nGridFont=Liberation Mono\r\nGridFontSize=11\r\n"
    "GridFontBold=True\r\n"
    "[Printer]\r\nTextDevice=Epson\r\nPrinterInitString=27,64\r\nFont=Liberation Mono\r\n"
    "TextFontSize=12\r\nTextItalic=True\r\nTextListLines=55\r\nListMargins=500 600 750 800 \r\n"
    "TextOrientation=2\r\nGraphicsDevice=LaserJet\r\n");

}  // namespace

class PreferencesTest : public QObject {
    Q_OBJECT

private slots:
    void everyControlToTheFileAndBack();
    void cancelWritesNothingAndTheGridPageResets();
    void recordTypeColumnMovesWithItsWidths();
    void tabOrderHelpTopicsAndNumberBoxes();
    void printerListsAndPageSetup();
    void systemChoosers();
};

void PreferencesTest::everyControlToTheFileAndBack()
{
    FakeServices fake;
    fake.printers = {QStringLiteral("Epson"), QStringLiteral("LaserJet"), QStringLiteral("PDF")};
    fake.defaultPrinter = QStringLiteral("LaserJet");
    QByteArray written;
    PreferencesForm edited;
    {
        StartedProgram p;
        QVERIFY(p.start(UnusualIni));
        frmPelmarOptions* d = OpenDialog(*p.window, fake);
        // (What each control shows of the file is checked by the preferences
        // tests; here every control is changed the way a user changes it.)
        Retype(d->Text1(), QStringLiteral("/tmp/Other.def"));
        fake.portfolio = QStringLiteral("/data/Funds.def");
        d->Browse()->click();
        for (int i = 1; i <= 9; ++i)
            d->Check(i)->click();
        Retype(d->Text3(), QStringLiteral("30"));
        for (int i = 0; i < GridColourCount; ++i) {
            fake.colour = QColor(10 * i, 20, 200 - i);
            d->cmdColor(i)->click();
        }
        Retype(d->Text5(), QStringLiteral("3"));
        fake.font = FontChoice{QStringLiteral("DejaVu Serif"), 13, false, true};
        d->Command(4)->click();
        SelectPrinter(d->List1(), QStringLiteral("PDF"));
        d->chkMono()->setChecked(false);
        fake.font = FontChoice{QStringLiteral("DejaVu Sans Mono"), 9, true, true};
        d->Command(1)->click();
        QCOMPARE(fake.fontMonospace, (std::vector<bool>{false, false}));
        Retype(d->Text4(0), QStringLiteral("27,15"));
        Retype(d->Text4(1), QStringLiteral("18"));
        d->optOrientation(0)->click();
        for (int i = 0; i < 4; ++i)
            Retype(d->Text2(i), QString::number(40 + i));
        fake.pageSetupMargins = {250, 300, 1000, 1250};
        fake.pageSetupOrientation = 1;
        d->cmdPageSetup()->click();
        QCOMPARE(fake.pageSetupPrinter, QStringLiteral("PDF"));
        QCOMPARE(fake.pageSetupMarginsIn, (std::array<int, 4>{500, 600, 750, 800}));
        SelectPrinter(d->List3(), QStringLiteral("Epson"));
        edited = d->form();
        QCOMPARE(edited.Text1, QStringLiteral("/data/Funds.def"));
        QCOMPARE(edited.margins, (std::array<int, 4>{250, 300, 1000, 1250}));
        QCOMPARE(d->Label9()->text(), QStringLiteral("B,I"));

        d->Commands(0)->click();
        QVERIFY(d->isHidden());
        QCOMPARE(d->Tag, tag::MoveColumn);  // the record type column went left
        QCOMPARE(d->List1()->count(), 0);   // the lists are built again next time
        const Settings& s = p.program().settings;
        QCOMPARE(s.TextDevice, QStringLiteral("PDF"));
        QCOMPARE(s.GraphicsDevice, QStringLiteral("Epson"));
        QCOMPARE(s.PrinterResetString, QByteArray("\x12"));
        QCOMPARE(s.RTColPos, std::int16_t(1));
        QCOMPARE(s.GridForeColorNegative, Settings::Colour(0x00C61414));  // 0x00BBGGRR of (20, 20, 198)
        written = ReadAll(p.ini());
    }
    // The next start shows the same dialog.
    StartedProgram next;
    WriteAll(next.ini(), written);
    QVERIFY(next.start(QString(), QString(), false));
    FakeHelp manual;
    next.window->helpCommands().setHelp(&manual);
    next.window->runDeferredStart();
    QCOMPARE(manual.manuals, 1);  // "Show User Manual automatically at startup" was ticked
    frmPelmarOptions* again = OpenDialog(*next.window, fake);
    QCOMPARE(again->form(), edited);
    again->Commands(1)->click();
}

void PreferencesTest::cancelWritesNothingAndTheGridPageResets()
{
    FakeServices fake;
    fake.printers = {QStringLiteral("Epson")};
    StartedProgram p;
    QVERIFY(p.start(UnusualIni));
    const QByteArray before = ReadAll(p.ini());
    frmPelmarOptions* d = OpenDialog(*p.window, fake);
    const PreferencesForm shown = d->form();
    fake.colour = QColor(Qt::blue);
    d->cmdColor(0)->click();
    d->Command(5)->click();
    d->Check(6)->click();
    Retype(d->Text3(), QStringLiteral("99"));
    QCOMPARE(d->Tag, tag::Reapply);
    d->Commands(1)->click();
    QVERIFY(d->isHidden());
    QCOMPARE(d->Tag, QString());
    QCOMPARE(ReadAll(p.ini()), before);
    QCOMPARE(p.program().settings.AutoSaveInterval, std::int16_t(15));
    QCOMPARE(p.program().settings.RTColPos, std::int16_t(0));
    // Escape is Cancel too, and the next opening shows the settings again.
    d = OpenDialog(*p.window, fake);
    QCOMPARE(d->form(), shown);
    QVERIFY(Activate(*d));
    Retype(d->Text3(), QStringLiteral("5"));
    QTest::keyClick(d->Text3(), Qt::Key_Escape);
    QVERIFY(d->isHidden());
    QCOMPARE(ReadAll(p.ini()), before);

    // The grid page's reset button, confirmed with OK.
    d = OpenDialog(*p.window, fake);
    PreferencesForm expected = shown;
    ResetGridPage(expected);
    d->SSTab1()->setCurrentIndex(PageDataGrid);
    d->Command(5)->click();
    QCOMPARE(d->Tag, tag::Reapply);
    QCOMPARE(d->form(), expected);
    d->Commands(0)->click();
    QCOMPARE(p.program().settings.GridFont, QStringLiteral("MS Sans Serif"));
    QCOMPARE(p.program().settings.GridLineWidth, std::int16_t(1));
}

void PreferencesTest::recordTypeColumnMovesWithItsWidths()
{
    StartedProgram p;
    const QString dat = WriteLedger(p.dir.path() + QStringLiteral("/Fund.dat"),
                                    {{20200102, "buy", 1000, 10, 0},
                                     {20210104, "sell", -600, 12, 50},
                                     {20210301, "div", -20, 0, 0}});
    QVERIFY(StartAndOpen(p, dat, QStringLiteral("My fund"),
                         QStringLiteral("GridColWidth=450 1400 1500 1300 1250 1210 1220 1600 "
                                        "1300 1310 1320 \r\n[GridMisc]\r\nRTColPos=1\r\n")));
    grid::LedgerGrid* g = p.window->grid();
    grid::LedgerModel* model = p.window->gridModel();
    const int rows = model->rowCount();
    QVERIFY(rows > 0);
    const std::map<Field, int> widths = WidthsByField(*g, 1);
    QCOMPARE(widths.at(Field::RecordType), 450);
    QCOMPARE(g->fixedColumns(), 1);

    FakeServices fake;
    auto moveThroughTheMenu = [&](bool toRight) {
        p.window->preferences().dialog()->setServices(fake.services());
        QTimer::singleShot(0, p.window, [&p, toRight] {
            frmPelmarOptions* d = p.window->preferences().dialogIfMade();
            QVERIFY(d && d->isVisible());
            QCOMPARE(d->Check(6)->isChecked(), !toRight);
            d->Check(6)->setChecked(toRight);
            d->Commands(0)->click();
        });
        p.window->action("mnuPreferencesItem")->trigger();
    };

    moveThroughTheMenu(true);
    QCOMPARE(p.program().settings.RTColPos, std::int16_t(0));
    // Sizes are remembered: the data rows' height as the grid shows them.
    QCOMPARE(int(p.program().settings.GridRowHeight), grid::PixelsToTwips(g->rowHeight(0)));
    QCOMPARE(WidthsByField(*g, 0), widths);
    QCOMPARE(g->fixedColumns(), 0);
    QCOMPARE(model->rowCount(), rows);  // listed again
    QCOMPARE(ReadINI(QStringLiteral("GridMisc"), QStringLiteral("RTColPos"), QString(), p.ini()),
             QStringLiteral("0"));

    moveThroughTheMenu(false);
    QCOMPARE(p.program().settings.RTColPos, std::int16_t(1));
    QCOMPARE(WidthsByField(*g, 1), widths);
    QCOMPARE(g->fixedColumns(), 1);

    // Other new settings reach the window as soon as the dialog closes: the
    // automatic backup at its new period, the grid's colour and font.
    fake.colour = QColor(0x12, 0x34, 0x56);
    fake.font = FontChoice{QStringLiteral("DejaVu Serif"), 14, true, false};
    p.window->preferences().dialog()->setServices(fake.services());
    QVERIFY(!p.window->fileCommands().autoSaveRunning());
    QTimer::singleShot(0, p.window, [&p] {
        frmPelmarOptions* d = p.window->preferences().dialogIfMade();
        d->cmdColor(0)->click();
        d->Command(4)->click();
        Retype(d->Text3(), QStringLiteral("10"));
        d->Commands(0)->click();
    });
    p.window->action("mnuPreferencesItem")->trigger();
    QVERIFY(p.window->fileCommands().autoSaveRunning());
    QCOMPARE(p.window->fileCommands().autoSavePeriod(), 10 * 60 * 1000);
    QCOMPARE(p.window->preferences().dialogIfMade()->Tag, tag::Reapply);
    QCOMPARE(g->appearance().back, QColor(0x12, 0x34, 0x56));
    QCOMPARE(g->appearance().font.pointSizeF(), 14.0);
    QVERIFY(g->appearance().font.bold());
    QCOMPARE(ReadINI(QStringLiteral("Colors"), QStringLiteral("GridBackColor"), QString(), p.ini()),
             QStringLiteral("&H563412"));
    // At the end the widths are remembered as the user sees them.
    p.window->close();
    QVERIFY(TextLines(p.ini()).contains(
        QStringLiteral("GridColWidth=450 1400 1500 1300 1250 1210 1220 1600 1300 1310 1320 ")));
}

void PreferencesTest::tabOrderHelpTopicsAndNumberBoxes()
{
    FakeServices fake;
    fake.printers = {QStringLiteral("Epson")};
    FakeHelp help;
    StartedProgram p;
    QVERIFY(p.start());
    p.window->preferences().setHelp(nullptr);
    frmPelmarOptions* d = OpenDialog(*p.window, fake);
    d->cmdHelp()->click();  // no help viewer: nothing happens
    p.window->preferences().setHelp(&help);
    QVERIFY(Activate(*d));
    for (int page = 0; page < PageCount; ++page) {
        d->SSTab1()->setCurrentIndex(page);
        d->cmdHelp()->click();
        QStringList expected = TabOrder(page);
        // The two orientation buttons are one stop: the chosen one (the
        // arrow keys choose between them).
        expected.removeAll(QStringLiteral("optOrientation_1"));
        QStringList seen;
        for (qsizetype i = 0; i <= expected.size(); ++i) {
            QWidget* focus = QApplication::focusWidget();
            QVERIFY(focus);
            seen << focus->objectName();
            QTest::keyClick(focus, Qt::Key_Tab);
        }
        QCOMPARE(seen, expected + QStringList{expected.first()});
    }
    QCOMPARE(help.topics,
             (QList<int>{ui::HelpPreferencesGeneral, ui::HelpPreferencesDataGrid,
                               ui::HelpPreferencesTextPrinter, ui::HelpPreferencesReportLayouts,
                               ui::HelpPreferencesGraphicsPrinter}));
    d->SSTab1()->setCurrentIndex(PageReportLayouts);
    QCOMPARE(QApplication::focusWidget(), d->optOrientation(0));
    QTest::keyClick(d->optOrientation(0), Qt::Key_Right);
    QVERIFY(d->optOrientation(1)->isChecked());
    QCOMPARE(QApplication::focusWidget(), d->optOrientation(1));

    // The number boxes take their characters only, typed or pasted.
    Retype(d->Text2(1), QStringLiteral("2.5,z"));
    QCOMPARE(d->Text2(1)->text(), QStringLiteral("2.5"));
    d->SSTab1()->setCurrentIndex(PageGeneral);
    Retype(d->Text3(), QStringLiteral("1a2.-b"));
    QCOMPARE(d->Text3()->text(), QStringLiteral("12"));
    d->SSTab1()->setCurrentIndex(PageTextPrinter);
    d->Text4(1)->clear();
    QApplication::clipboard()->setText(QStringLiteral("12;13,x14"));
    QTest::keyClick(d->Text4(1), Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(d->Text4(1)->text(), QStringLiteral("1213,14"));
    d->Commands(1)->click();
}

void PreferencesTest::printerListsAndPageSetup()
{
    // No printer installed: the devices stay as they were, and page setup
    // asks for a text printer first.
    FakeServices fake;
    StartedProgram p;
    QVERIFY(p.start(QStringLiteral("[Printer]\r\nTextDevice=Gone\r\nGraphicsDevice=Gone too\r\n")));
    frmPelmarOptions* d = OpenDialog(*p.window, fake);
    QCOMPARE(d->List1()->count(), 0);
    d->cmdPageSetup()->click();
    QCOMPARE(p.messages.texts(),
             QStringList{QStringLiteral(
                 "Please make sure a text printer has been selected on the previous tab, first.")});
    QVERIFY(fake.pageSetupPrinter.isEmpty());
    d->Commands(0)->click();
    QCOMPARE(p.program().settings.TextDevice, QStringLiteral("Gone"));
    QCOMPARE(p.program().settings.GraphicsDevice, QStringLiteral("Gone too"));

    // Printers installed: the default one marked, a device that is gone
    // replaced by the first printer.
    fake.printers = {QStringLiteral("Epson"), QStringLiteral("LaserJet")};
    fake.defaultPrinter = QStringLiteral("LaserJet");
    d = OpenDialog(*p.window, fake);
    QCOMPARE(d->List1()->item(1)->text(), QStringLiteral("LaserJet (Default)"));
    QCOMPARE(d->List1()->currentRow(), 0);
    SelectPrinter(d->List1(), QStringLiteral("LaserJet"));
    d->Command(2)->click();
    SelectPrinter(d->List3(), QStringLiteral("Epson"));
    d->Command(3)->click();
    QCOMPARE(fake.properties, (QStringList{QStringLiteral("LaserJet"), QStringLiteral("Epson")}));
    // A page-setup failure is reported; cancelling it keeps the margins; OK
    // takes its margins and orientation.
    fake.pageSetupError = QStringLiteral("no paper sizes");
    d->cmdPageSetup()->click();
    QCOMPARE(p.messages.texts().last(), QStringLiteral("Error: no paper sizes"));
    fake.pageSetupError.clear();
    fake.pageSetupConfirms = false;
    d->cmdPageSetup()->click();
    QCOMPARE(d->marginLabel(0)->text(), QStringLiteral("0"));
    fake.pageSetupConfirms = true;
    fake.pageSetupMargins = {1000, 500, 125, 0};
    fake.pageSetupOrientation = 2;
    d->cmdPageSetup()->click();
    QCOMPARE(d->marginLabel(0)->text(), QStringLiteral("1"));
    QCOMPARE(d->marginLabel(2)->text(), QStringLiteral("0.125"));
    QVERIFY(d->optOrientation(1)->isChecked());
    d->Commands(0)->click();
    QCOMPARE(p.program().settings.TextDevice, QStringLiteral("LaserJet"));
    QVERIFY(TextLines(p.ini()).contains(QStringLiteral("ListMargins=1000 500 125 0 ")));
    QCOMPARE(p.program().settings.TextOrientation, std::int16_t(2));
}

void PreferencesTest::systemChoosers()
{
    // The font chooser asked for fixed-pitch fonts lists nothing else.
    const PreferencesServices system = SystemServices();
    QStringList listed;
    QTimer::singleShot(0, [&listed] {
        auto* dialog = qobject_cast<QFontDialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        const QList<QListView*> lists = dialog->findChildren<QListView*>();
        QVERIFY(!lists.isEmpty());
        QAbstractItemModel* families = lists.first()->model();
        for (int r = 0; r < families->rowCount(); ++r)
            listed << families->index(r, 0).data().toString();
        dialog->reject();
    });
    const FontChoice courier{QStringLiteral("Courier New"), 10, false, false};
    QCOMPARE(system.chooseFont(courier, true, nullptr), std::optional<FontChoice>());
    QVERIFY(!listed.isEmpty());
    for (const QString& family : listed)
        QVERIFY2(QFontDatabase::isFixedPitch(family), qPrintable(family));

    // The colour chooser offers the program's sixteen colours.
    QList<QColor> custom;
    QTimer::singleShot(0, [&custom] {
        auto* dialog = qobject_cast<QColorDialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        for (int i = 0; i < QColorDialog::customCount(); ++i)
            custom << QColorDialog::customColor(i);
        dialog->reject();
    });
    QCOMPARE(system.chooseColour(Qt::white, nullptr), std::optional<QColor>());
    QCOMPARE(custom.size(), 16);
    QCOMPARE(custom.first(), QColor(0xFF, 0xFF, 0xB4));  // 0x00B4FFFF, light yellow
    QCOMPARE(custom.last(), QColor(0xF0, 0xFF, 0xF0));
}

QTEST_MAIN(PreferencesTest)
#include "tst_preferences.moc"
