// The main window as a user meets it: columns wide enough for their captions
// and values in every locale, a ledger that can only be viewed, opened from
// the portfolio window's first row, the keys, the log window, and a window
// that fits its screen with nothing overlapping.
// The program runs once per system locale (LC_ALL set by ctest).

#include "GuiTestSupport.h"

#include "grid/GridLayout.h"
#include "grid/LedgerRows.h"
#include "grid/widgets/GridEditor.h"
#include "shell/widgets/LogViewer.h"
#include "shell/widgets/RecordTypesWindow.h"

#include <QAction>
#include <QClipboard>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScreen>
#include <QScrollBar>

using namespace brisden;
using namespace brisden::test;

namespace {

// A ledger with long values in every column.
QString WriteWideLedger(const QString& path)
{
    return WriteLedger(path, {{20001228, "Purchases", 12345678.91, 123456.78, 0},
                              {20250901, "WWWWWWWWW", 0, 98765.43, 0},
                              {20251228, "Div reinv", -1234567.89, 98765.43, -12.5}});
}

// The room a cell's text needs in the grid's font.
int TextWidth(const grid::LedgerGrid& g, const QString& text)
{
    return QFontMetrics(g.appearance().font).horizontalAdvance(text);
}

bool LogHas(const StartedProgram& p, const QString& start)
{
    for (const QString& line : LogMessages(p.log()))
        if (line.startsWith(start))
            return true;
    return false;
}

}  // namespace

class DesktopUseTest : public QObject {
    Q_OBJECT

private slots:
    void wideReadOnlyLedgerInThisLocale();
    void windowFitsTheScreenWithoutOverlaps();
};

// Columns wide enough for their captions and the widest values in this
// locale. A wide ledger marked read-only, opened from the portfolio window's
// first row without a click: every cell fits its column, the ledger
// is viewed and every write is refused; then the keys, and opens that fail.
void DesktopUseTest::wideReadOnlyLedgerInThisLocale()
{
    {
        // Columns wide enough for the captions and the widest values.
        Calendar calendar;  // of the system's locale
        grid::LedgerModel model(calendar);
        grid::LedgerGrid g(&model);
        g.setColumnWidthsTwips(grid::ColumnWidths(QString(), 1));

        ListingRow row;
        row.TransDate = 20251228;
        row.Desc = QStringLiteral("WWWWWWWWW");
        row.Amount = -12345678.91;
        row.SharePrice = 123456.78;
        row.Shares = -1234567.891;
        row.ShareBalance = 8888888.888;
        row.Value = -98765432.1;
        row.PeriodROI = -123.456f;
        row.CumulativeROI = -888.888f;
        row.AnnualROI = 99.999f;
        row.Code = QStringLiteral("W");
        model.appendRow(grid::MakeGridRow(row, false));
        model.publish();
        const QString name = QLocale().name();
        QCOMPARE(model.cellText(0, 1),
                 name == QStringLiteral("de_DE")   ? QStringLiteral("28.12.2025")
                 : name == QStringLiteral("en_GB") ? QStringLiteral("28/12/2025")
                                                   : QStringLiteral("12/28/2025"));

        const auto defaults = grid::ColumnWidths(QString(), 1);
        const QFontMetrics header(g.horizontalHeader()->font());
        for (int c = 0; c < grid::ColumnCount; ++c) {
            const QString text = model.cellText(0, c);
            const QString caption = QString::fromLatin1(model.gridColumn(c).header);
            QVERIFY2(g.columnWidth(c) >= TextWidth(g, text) + 6,
                     qPrintable(QStringLiteral("%1: \"%2\" in %3 px")
                                    .arg(caption, text)
                                    .arg(g.columnWidth(c))));
            QVERIFY2(g.columnWidth(c) >= header.horizontalAdvance(caption), qPrintable(caption));
            QVERIFY(g.columnWidth(c) >= grid::TwipsToPixels(defaults[size_t(c)]));
        }
        // One line of captions.
        QVERIFY(g.horizontalHeader()->sizeHint().height() < 2 * header.lineSpacing());

        // A remembered width is kept as written: wider than the minimum it
        // shows as given, narrower it shows at the minimum and is written back
        // unchanged; a column dragged narrower stops at its minimum.
        auto widths = defaults;
        widths[2] = 3000;
        g.setColumnWidthsTwips(widths);
        QCOMPARE(g.columnWidth(2), grid::TwipsToPixels(3000));
        QCOMPARE(g.columnWidthsTwips(), widths);
        g.setColumnWidthsTwips(defaults);
        QCOMPARE(g.columnWidthsTwips(), defaults);
        g.setColumnWidth(2, 5);
        QCOMPARE(g.columnWidth(2), g.minimumColumnWidth(2));
    }

    StartedProgram p;
    const QString dat = WriteWideLedger(p.dir.path() + QStringLiteral("/Fund.dat"));
    const QByteArray before = ReadAll(dat);
    QVERIFY(QFile::setPermissions(
        dat, QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther));
    const QString longText = QStringLiteral(
        "A description long enough to run past the list's "
        "right edge, to be read by scrolling sideways");
    WritePortfolio(p.portfolioPath(), {{dat, longText},
                                       {WriteWideLedger(p.dir.path() + QStringLiteral("/B.dat")),
                                        QStringLiteral("B")}});
    QVERIFY(p.start(QStringLiteral("[General]\r\nDefaultPortfolio=") + p.portfolioPath() +
                    QStringLiteral("\r\n")));
    MainWindow& w = *p.window;
    bool scrolls = false;
    QTimer::singleShot(0, &w, [&] {
        FileDisplay* display = w.fileCommands().portfolioWindow();
        QListWidget* list = display->fileList();
        QCOMPARE(display->selectedPositions().size(), size_t(1));
        QVERIFY(list->item(0)->isSelected());
        scrolls = list->horizontalScrollBar()->maximum() > 0;
        display->commandButton(FileDisplay::OpenCommand)->click();
    });
    w.action("mnuOpenItem")->trigger();
    QCOMPARE(p.program().file.CurrentFile, dat);
    QVERIFY(scrolls);
    QCOMPARE(w.focusWidget(), static_cast<QWidget*>(w.grid()));

    const grid::LedgerGrid& g = *w.grid();
    const grid::LedgerModel& m = *w.gridModel();
    QVERIFY(m.rowCount() >= 4);
    const QString dateText = m.cellText(2, grid::ColumnOf(grid::Field::Date, 1));
    QVERIFY2(dateText.contains(QStringLiteral("2025")), qPrintable(dateText));
    for (int r = 0; r < m.rowCount(); ++r)
        for (int c = 0; c < grid::ColumnCount; ++c)
            QVERIFY2(g.columnWidth(c) >= TextWidth(g, m.cellText(r, c)) + 6,
                     qPrintable(QStringLiteral("row %1 column %2: \"%3\"")
                                    .arg(r)
                                    .arg(c)
                                    .arg(m.cellText(r, c))));

    QVERIFY(p.program().file.readOnly());
    QVERIFY(w.windowTitle().contains(QStringLiteral("[read-only]")));
    QVERIFY(w.fileLabel()->text().contains(QStringLiteral("read-only")));
    QVERIFY(
        LogHas(p, QStringLiteral("Opened ") + dat + QStringLiteral(" read-only: it is marked")));
    // The backup copy has the permissions of a new file.
    QVERIFY(QFile::permissions(p.dir.path() + QStringLiteral("/Fund.bak")) &
            QFileDevice::WriteOwner);

    // Every command that would write the file says why it can't.
    const QString refusal = QStringLiteral(": it is open read-only because it is marked read-only");
    p.messages.shown.clear();
    p.messages.answers = {true, true};
    w.action("mnuRestore")->trigger();
    QCOMPARE(p.messages.shown.size(), size_t(1));
    QVERIFY(p.messages.texts().last().startsWith(
        QStringLiteral("Can't restore the backup file to ") + dat + refusal));
    w.fileCommands().setChooseRebuildFile([&](QWidget*, const QString&) { return dat; });
    w.action("mnuRebuildItem")->trigger();
    QVERIFY(p.messages.texts().last().startsWith(QStringLiteral("Can't rebuild ") + dat + refusal));
    QVERIFY(LogHas(p, QStringLiteral("Can't rebuild ") + dat));
    // So does the grid: no cell is edited, no row deleted.
    w.grid()->setFocus();
    w.grid()->setCurrentIndex(w.gridModel()->index(0, 1));
    w.editor().GridEdit(QChar());
    QVERIFY(!w.editor().editing());
    QVERIFY(p.messages.texts().last().startsWith(QStringLiteral("Can't edit ") + dat + refusal));
    w.editor().mnuDeleteItem_Click();
    QVERIFY(p.messages.texts().last().startsWith(QStringLiteral("Can't delete rows of ") + dat +
                                                 refusal));
    QCOMPARE(ReadAll(dat), before);
    // Reading goes on: a refresh lists it again.
    w.action("mnuRefreshItem")->trigger();
    QVERIFY(w.ledger().listedRows() >= 3);

    // In the price box Ctrl+X cuts, as in every program.
    QVERIFY(Activate(w));
    QLineEdit* price = w.sharePriceBox();
    price->setFocus();
    price->setText(QStringLiteral("12.50"));
    price->selectAll();
    QTest::keyClick(price, Qt::Key_X, Qt::ControlModifier);
    QVERIFY(price->text().isEmpty());
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("12.50"));
    QVERIFY(w.isVisible());
    // Elsewhere it ends the program.
    w.grid()->setFocus();
    QTest::keyClick(w.grid(), Qt::Key_X, Qt::ControlModifier);
    QVERIFY(!w.isVisible());
    QVERIFY(LogMessages(p.log()).contains(QStringLiteral("Session ended.")));

    // A partial record at the end is told and logged.
    const QString partial = p.dir.path() + QStringLiteral("/Partial.dat");
    WriteAll(partial, before + QByteArray("xyz"));
    QVERIFY(OpenInvestmentFile(p.program().file, partial, QString(), p.messages,
                               FileAccess::ViewIfNeeded, &p.program().log));
    QVERIFY(LogHas(p, partial + QStringLiteral(" ends with a partial record")));
    // A failed open names the file and the reason, and is logged.
    const QString missing = p.dir.path() + QStringLiteral("/gone/Missing.dat");
    QVERIFY(!OpenInvestmentFile(p.program().file, missing, QString(), p.messages,
                                FileAccess::ViewIfNeeded, &p.program().log));
    QVERIFY(p.messages.texts().last().contains(missing + QStringLiteral(": its folder ")));
    QVERIFY(LogHas(p, QStringLiteral("Opening ") + missing + QStringLiteral(" failed")));
}

void DesktopUseTest::windowFitsTheScreenWithoutOverlaps()
{
    StartedProgram p;
    // Saved far outside the screen.
    QVERIFY(
        p.start(QStringLiteral("[General]\r\nWindowSize=0\r\nLeft=90000\r\nTop=90000\r\n"
                               "ShowRecordTypesLegend=True\r\n")));
    MainWindow& w = *p.window;
    const QRect area = w.screen()->availableGeometry();
    QVERIFY2(area.contains(w.frameGeometry()), qPrintable(QStringLiteral("%1,%2 %3x%4")
                                                              .arg(w.frameGeometry().x())
                                                              .arg(w.frameGeometry().y())
                                                              .arg(w.frameGeometry().width())
                                                              .arg(w.frameGeometry().height())));

    // At 800 x 600 every control keeps the room it needs; no two overlap.
    w.resize(800, 600);
    QVERIFY(w.minimumSizeHint().width() <= 800 && w.minimumSizeHint().height() <= 600);
    QApplication::processEvents();
    QList<QWidget*> controls;
    for (QWidget* child : w.summaryPanel()->findChildren<QWidget*>())
        if (child->isVisible())
            controls << child;
    QVERIFY(controls.size() >= 26);
    for (int i = 0; i < controls.size(); ++i) {
        QWidget* a = controls[i];
        QVERIFY2(a->width() >= a->minimumSizeHint().width(), qPrintable(a->objectName()));
        for (int j = i + 1; j < controls.size(); ++j)
            QVERIFY(!a->geometry().intersects(controls[j]->geometry()));
    }
    QVERIFY(w.command1(3)->width() >= w.command1(3)->sizeHint().width());
    // The legend stands beside the grid, not over it.
    QWidget* legend = w.recordTypesWindow();
    QVERIFY(legend->isVisible());
    const QRect legendArea(legend->mapTo(&w, QPoint(0, 0)), legend->size());
    const QRect gridArea(w.grid()->mapTo(&w, QPoint(0, 0)), w.grid()->size());
    QVERIFY(!legendArea.intersects(gridArea));

    // The log shows in a desktop viewer if there is one, else in the own window.
    LogDisplay& display = p.window->logDisplay();
    int desktopOpens = 0;
    // A desktop viewer that is there is used; one that fails leaves the own window.
    display.setDesktopViewer([] { return true; },
                             [&](const QString&) { return ++desktopOpens > 0; });
    display.show();
    QCOMPARE(desktopOpens, 1);
    QVERIFY(!display.viewerIfMade());
    display.setDesktopViewer([] { return false; },
                             [&](const QString&) { return ++desktopOpens > 0; });
    display.show();
    QCOMPARE(desktopOpens, 1);
    LogViewer* viewer = display.viewerIfMade();
    QVERIFY(viewer && viewer->isVisible());
    QVERIFY(viewer->textArea()->isReadOnly());
    QVERIFY(viewer->text().startsWith(QStringLiteral("Session started")));
    p.window->LogSession(QStringLiteral("A line written while the log shows"));
    QTRY_VERIFY(viewer->text().contains(QStringLiteral("A line written while the log shows.")));

    // Ctrl+Q ends the program.
    QVERIFY(Activate(w));
    QTest::keyClick(&w, Qt::Key_Q, Qt::ControlModifier);
    QVERIFY(!w.isVisible());
}

QTEST_MAIN(DesktopUseTest)
#include "tst_desktopuse.moc"
