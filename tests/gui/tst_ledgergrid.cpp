// The ledger grid: its columns and remembered widths, the cell texts, and a
// known ledger opened through the portfolio window and listed into the grid
// with its colours, summary, price box, hidden record types, row heights and
// the record types legend.

#include "GuiTestSupport.h"

#include "analysis/Listing.h"
#include "grid/GridLayout.h"
#include "grid/LedgerRows.h"
#include "grid/widgets/GridColours.h"
#include "shell/widgets/NoticesWindow.h"
#include "shell/widgets/RecordTypesWindow.h"

#include <QAction>
#include <QBrush>
#include <QLabel>
#include <QLineEdit>

using namespace brisden;
using namespace brisden::test;
using grid::Field;

namespace {

const QColor Yellow(0xFF, 0xFF, 0xB4);
const QColor Red(0xFF, 0x00, 0x00);

// Opens a ledger of five records: a purchase, a price update, a sale, a
// record with nothing in it (suspect) and a cash distribution. Returns its path.
QString OpenKnownLedger(StartedProgram& p, const QString& moreGeneralSettings = QString())
{
    const QString dat =
        WriteLedger(p.dir.path() + QStringLiteral("/Fund.dat"), {{20200102, "buy", 1000, 10, 0},
                                                                 {20200601, "price", 0, 12, 0},
                                                                 {20210104, "sell", -600, 12, 50},
                                                                 {20210201, "", 0, 0, 0},
                                                                 {20210301, "div", -20, 0, 0}});
    return StartAndOpen(p, dat, QStringLiteral("My fund"), moreGeneralSettings) ? dat : QString();
}

}  // namespace

class LedgerGridTest : public QObject {
    Q_OBJECT

private slots:
    void gridTextsWidthsAndColours();
    void knownLedgerFillsTheGrid();
    void everythingSoldDisablesThePriceBox();
};

// Column widths, cell texts and colours.
void LedgerGridTest::gridTextsWidthsAndColours()
{
    const auto defaults = grid::ColumnWidths(QString(), 1);
    QCOMPARE(grid::FormatColumnWidths(defaults),
             QStringLiteral("300 900 735 1210 1210 1210 1210 1435 835 835 835 "));
    QCOMPARE(grid::FormatColumnWidths(grid::ColumnWidths(QStringLiteral("True"), 0)),
             QStringLiteral("900 735 1210 1210 1210 1210 1435 835 835 835 300 "));
    // A short list sets the columns it reaches; a non-number keeps the default.
    QCOMPARE(grid::FormatColumnWidths(grid::ColumnWidths(QStringLiteral("100 x 0"), 1)),
             QStringLiteral("100 900 0 1210 1210 1210 1210 1435 835 835 835 "));
    QCOMPARE(grid::RotateWidthList(QStringLiteral("1 2 3 "), true), QStringLiteral("3 1 2 "));
    QCOMPARE(grid::RotateWidthList(QStringLiteral("1 2 3 "), false), QStringLiteral("2 3 1 "));
    QCOMPARE(grid::RotateWidthList(QStringLiteral("True"), true), QStringLiteral("True"));
    QCOMPARE(grid::TwipsToPixels(1210), 81);
    QCOMPARE(grid::PixelsToTwips(81), 1215);

    const QLocale us(QLocale::English, QLocale::UnitedStates);
    QCOMPARE(grid::FormatGridNumber(0.5, 2, us), QStringLiteral(".50"));
    QCOMPARE(grid::FormatGridNumber(-0.25, 3, us), QStringLiteral("-.250"));
    QCOMPARE(grid::FormatGridNumber(1234.5, 2, us), QStringLiteral("1,234.50"));
    QCOMPARE(grid::FormatGridNumber(0, 2, us), QStringLiteral(".00"));
    QCOMPARE(grid::FormatGridNumber(-0.001, 2, us), QStringLiteral(".00"));
    QCOMPARE(grid::FormatGridNumber(12.3456, 3, us), QStringLiteral("12.346"));
    const QLocale de(QLocale::German, QLocale::Germany);
    QCOMPARE(grid::FormatGridNumber(0.5, 2, de), QStringLiteral(",50"));
    QCOMPARE(grid::FormatGridNumber(1234.5, 2, de), QStringLiteral("1.234,50"));

    // A listing row as the grid shows it, record type column first.
    Calendar calendar;
    calendar.locale = us;
    calendar.DetectDateOrder();
    ListingRow row;
    row.TransDate = 20210104;
    row.Desc = QStringLiteral("sell     ");
    row.Amount = -600;
    row.SharePrice = 12;
    row.Shares = 50;
    row.ShareBalance = 50;
    row.Value = 600;
    row.CumulativeROI = 0.125f;
    row.Code = QStringLiteral("S");
    const grid::GridRow g = grid::MakeGridRow(row, false);
    QStringList cells;
    for (const auto& column : grid::ColumnLayout(1))
        cells << grid::CellText(g, column.field, calendar);
    QCOMPARE(cells.join(u'|'),
             QStringLiteral("S|1/4/2021|sell     |-600.00|12.00|50.000|50.000|600.00||.125|"));
    QVERIFY(grid::CellIsNegative(g, Field::Amount));
    QVERIFY(!grid::CellIsNegative(g, Field::Shares));
    QVERIFY(grid::CellText(grid::BlankGridRow(), Field::Date, calendar).isEmpty());

    // Colours: system colour numbers take the palette's.
    QPalette palette;
    palette.setColor(QPalette::Text, Qt::darkBlue);
    palette.setColor(QPalette::Base, Qt::white);
    palette.setColor(QPalette::Button, Qt::gray);
    QCOMPARE(grid::ToQColor(0x80000008, palette), QColor(Qt::darkBlue));
    QCOMPARE(grid::ToQColor(0x80000005, palette), QColor(Qt::white));
    QCOMPARE(grid::ToQColor(0x8000000F, palette), QColor(Qt::gray));
    QCOMPARE(grid::ToQColor(0x0080FF80, palette), QColor(0x80, 0xFF, 0x80));
    QCOMPARE(grid::ToQColor(0x000000FF, palette), Red);
}

// A known ledger opened, listed, and worked on with the ledger's commands;
// the window's parts.
void LedgerGridTest::knownLedgerFillsTheGrid()
{
    StartedProgram p;
    const QString dat = OpenKnownLedger(p);
    QVERIFY(!dat.isEmpty());
    MainWindow& w = *p.window;

    grid::LedgerModel& m = *w.gridModel();
    QCOMPARE(m.rowCount(), 7);  // five records, the closing row, the empty row
    QCOMPARE(w.ledger().listedRows(), 6);
    // Record type codes; row data: the record numbers in file order, -1 for
    // the closing row (no transaction), 0 for the empty row.
    const std::pair<const char*, int> rows[] = {{"P", 2}, {"U", 3},  {"S", 4}, {"", 5},
                                                {"D", 6}, {"U", -1}, {"", 0}};
    for (int r = 0; r < 7; ++r) {
        QCOMPARE(m.data(m.index(r, 0)).toString(), QLatin1String(rows[r].first));
        QCOMPARE(m.rowData(r), rows[r].second);
        QCOMPARE(m.data(m.index(r, 1), grid::LedgerModel::RowDataRole).toInt(), rows[r].second);
    }
    QCOMPARE(m.headerData(3, Qt::Horizontal, grid::LedgerModel::ColumnDataRole).toInt(), 0);
    QCOMPARE(m.headerData(6, Qt::Horizontal, grid::LedgerModel::ColumnDataRole).toInt(), -1);

    QCOMPARE(m.data(m.index(0, 2)).toString().trimmed(), QStringLiteral("buy"));
    // (The listing's numbers are the listing tests' business; here their cells.)
    QCOMPARE(m.data(m.index(0, 3)).toString(), QStringLiteral("1,000.00"));
    QCOMPARE(m.data(m.index(0, 5)).toString(), QStringLiteral("100.000"));  // shares recomputed
    QVERIFY(m.data(m.index(0, 8)).toString().isEmpty());   // a purchase shows no returns
    QVERIFY(!m.data(m.index(1, 9)).toString().isEmpty());  // a price update does
    QCOMPARE(m.data(m.index(2, 6)).toString(), QStringLiteral("50.000"));
    QCOMPARE(m.data(m.index(5, 2)).toString(), QStringLiteral("Today"));
    QVERIFY(m.data(m.index(5, 3)).toString().isEmpty());

    // Negative numbers in the negative colour, others in the grid's.
    QCOMPARE(m.data(m.index(2, 3), Qt::ForegroundRole).value<QBrush>().color(), Red);
    QVERIFY(!m.data(m.index(0, 3), Qt::ForegroundRole).isValid());
    QCOMPARE(m.data(m.index(4, 3), Qt::ForegroundRole).value<QBrush>().color(), Red);
    // The suspect row: the five cells from the date on.
    for (int c = 1; c <= 5; ++c)
        QCOMPARE(m.data(m.index(3, c), Qt::BackgroundRole).value<QBrush>().color(), Yellow);
    QVERIFY(!m.data(m.index(3, 0), Qt::BackgroundRole).isValid());
    QVERIFY(!m.data(m.index(3, 6), Qt::BackgroundRole).isValid());
    QVERIFY(!m.data(m.index(2, 1), Qt::BackgroundRole).isValid());
    // The current row is the first suspect one.
    QCOMPARE(w.grid()->currentRow(), 3);

    // No price was typed: the listing says so; then the suspect rows.
    QCOMPARE(p.messages.texts(),
             (QStringList{listing_text::NoSharePrice(), listing_text::SuspectScreen()}));
    QCOMPARE(w.sharePriceBox()->text(), QStringLiteral("N/A"));
    QVERIFY(w.sharePriceBox()->isEnabled());

    const SummaryLabels& s = w.summaryPanel()->labels();
    QCOMPARE(s.lblOOP->text(), QStringLiteral("$1,000.00"));
    QCOMPARE(s.lblAvgBuy->text(), QStringLiteral("$10.00"));
    QCOMPARE(s.lblAvgSell->text(), QStringLiteral("$12.00"));
    QCOMPARE(s.lblCashDistr->text(), QLocale().toCurrencyString(-20.0, QString(), 2));
    QVERIFY(!s.lblIRR->text().isEmpty());

    // The window after opening: the file's label and the log.
    QCOMPARE(w.fileLabel()->text(), QStringLiteral("My fund"));
    QCOMPARE(w.fileLabel()->toolTip(), dat);
    QVERIFY(LogMessages(p.log()).contains(QStringLiteral("Opened file ") + dat +
                                          QStringLiteral(" in portfolio ") + p.portfolioPath() +
                                          QLatin1Char('.')));

    // Refresh resets the date window. Every signal and answer of the model is
    // checked while it is listed again, its record type column moved,
    // emptied and filled once more.
    QAbstractItemModelTester tester(&m, QAbstractItemModelTester::FailureReportingMode::QtTest);
    p.program().report.ListFromDate = 1012021;
    QVERIFY(Activate(w));
    QTest::keyClick(&w, Qt::Key_F5);
    QCOMPARE(p.program().report.ListFromDate, 0);
    QCOMPARE(p.program().report.ListToDate, 99999999);
    QCOMPARE(m.rowCount(), 7);
    m.setRecordTypePosition(0);
    m.setRecordTypePosition(1);
    m.clear();
    QCOMPARE(m.rowCount(), 0);
    w.action("mnuRefreshItem")->trigger();
    QCOMPARE(m.rowCount(), 7);

    // Record types hidden and shown again.
    grid::LedgerGrid& g = *w.grid();

    std::optional<QString> answer = QStringLiteral("*ADFRSU");  // all but P
    w.ledger().setChooseRecordTypes([&answer] { return answer; });
    // The rows hidden in the grid and in its frozen columns, "1" for hidden.
    auto hidden = [&g] {
        QString shown, frozen;
        for (int r = 0; r < 7; ++r) {
            shown += g.isRowHidden(r) ? u'1' : u'0';
            frozen += g.frozenView()->isRowHidden(r) ? u'1' : u'0';
        }
        return shown == frozen ? shown : shown + QStringLiteral(" but frozen ") + frozen;
    };
    w.action("mnuRTHide")->trigger();
    QCOMPARE(hidden(), QStringLiteral("1000000"));
    answer = QStringLiteral("p");  // letter case ignored; the row without a code stays
    w.action("mnuRTHide")->trigger();
    QCOMPARE(hidden(), QStringLiteral("0110110"));
    answer = std::nullopt;  // Cancel changes nothing
    w.action("mnuRTHide")->trigger();
    QCOMPARE(hidden(), QStringLiteral("0110110"));
    answer = QStringLiteral("*ADFPRSU");  // all eight: listed again
    w.action("mnuRTHide")->trigger();
    QCOMPARE(hidden(), QStringLiteral("0000000"));

    // A price typed into the box and Enter list again with that price.
    p.messages.shown.clear();
    QLineEdit* box = w.sharePriceBox();
    box->setText(QStringLiteral("15"));
    QTest::keyClick(box, Qt::Key_Return);
    QCOMPARE(m.data(m.index(5, 4)).toString(), QStringLiteral("15.00"));
    QCOMPARE(m.data(m.index(5, 7)).toString(), QStringLiteral("750.00"));
    QCOMPARE(box->text(), QStringLiteral("15.00"));
    QCOMPARE(p.messages.texts(), QStringList{listing_text::SuspectScreen()});
    QVERIFY(p.input.asked.empty());

    // Without an open file Enter does nothing.
    w.EnableFileControls(false);
    box->setText(QStringLiteral("20"));
    QTest::keyClick(box, Qt::Key_Return);
    QCOMPARE(box->text(), QStringLiteral("20"));
    w.EnableFileControls(true);

    // Row heights: one row's height set for all, reset, remembered.
    const int normal = g.rowHeight(0);
    QCOMPARE(normal, g.defaultRowHeightPixels());
    g.setRowHeight(3, 40);
    QCOMPARE(g.frozenView()->rowHeight(3), 40);
    w.action("mnuRowHeightSet")->trigger();
    QCOMPARE(g.dataRowHeight(), 600);
    for (int r = 0; r < 7; ++r)
        QCOMPARE(g.rowHeight(r), 40);
    w.action("mnuRowHeightReset")->trigger();
    QCOMPARE(g.dataRowHeight(), -1);
    QCOMPARE(g.rowHeight(2), normal);

    w.action("mnuRowHeightSet")->trigger();  // the current row now has the normal height
    g.setRowHeight(0, 30);
    g.setCurrentRow(0);
    w.action("mnuRowHeightSet")->trigger();

    // A new portfolio empties the window.
    const QString fresh = p.dir.path() + QStringLiteral("/New.def");
    QString offered;
    w.fileCommands().setChoosePortfolio([&](QWidget*, const QString& start) {
        offered = start;
        return fresh;
    });
    QVERIFY(Activate(w));
    QTest::keyClick(&w, Qt::Key_F, Qt::ControlModifier);
    QCOMPARE(offered, p.portfolioPath());
    QCOMPARE(QString::fromLatin1(ReadAll(fresh)),
             QStringLiteral("\"Portfolio definition file\"\r\n"));
    QCOMPARE(p.program().portfolio.CurrentPortfolio, fresh);
    QVERIFY(p.program().file.CurrentFile.isEmpty() && !p.program().file.isOpen());
    QCOMPARE(m.rowCount(), 0);
    QVERIFY(s.lblOOP->text().isEmpty() && w.fileLabel()->text().isEmpty());
    QCOMPARE(LogMessages(p.log()).last(),
             QStringLiteral("Opened portfolio ") + fresh + QLatin1Char('.'));
    QVERIFY(w.action(QStringLiteral("mnuOpenItem"))->isEnabled() && w.command7(1)->isEnabled());

    // Cancelling the dialog changes nothing.
    w.fileCommands().setChoosePortfolio([](QWidget*, const QString&) { return QString(); });
    w.action("mnuPortfolioItem")->trigger();
    QCOMPARE(p.program().portfolio.CurrentPortfolio, fresh);
    // The record types legend, the grid control frame, Escape and the notices window.
    RecordTypesWindow* legend = w.recordTypesWindow();
    QAction* item = w.action(QStringLiteral("mnuRecordTypeItem"));
    QVERIFY(legend->isVisible() && item->isChecked());
    QCOMPARE(legend->label()->text().split(QLatin1Char('\n')), RecordTypesLegend());
    QVERIFY(Activate(w));
    QTest::keyClick(&w, Qt::Key_T, Qt::ControlModifier);
    QVERIFY(!legend->isVisible() && !item->isChecked());
    w.action("mnuRecordTypeItem")->trigger();
    QVERIFY(legend->isVisible() && item->isChecked());
    legend->close();  // its close box
    QVERIFY(!legend->isVisible() && !item->isChecked());

    QAction* frameItem = w.action(QStringLiteral("mnuGridControlItem"));
    const int gridWidth = w.grid()->width();
    w.action("mnuGridControlItem")->trigger();
    QVERIFY(w.gridControlFrame()->isHidden() && !frameItem->isChecked());
    QTRY_VERIFY(w.grid()->width() > gridWidth);  // the grid takes the frame's room
    w.action("mnuGridControlItem")->trigger();
    QVERIFY(!w.gridControlFrame()->isHidden() && frameItem->isChecked());

    QVERIFY(!w.ledger().cancelRequested());
    QTest::keyClick(w.sharePriceBox(), Qt::Key_Escape);
    QVERIFY(w.ledger().cancelRequested());

    NoticesWindow* n = w.noticesWindow();
    const qsizetype logged = LogMessages(p.log()).size();
    w.LogSession(QStringLiteral("first"), true, false, false);
    QVERIFY(n->isVisible());
    QVERIFY(n->okButton()->isHidden() && n->displayLogButton()->isHidden());
    w.LogSession(QStringLiteral("second"), true, false, true);
    QCOMPARE(n->text(), QStringLiteral("first\nsecond"));
    QVERIFY(!n->okButton()->isHidden());
    int opened = 0;
    w.setDisplayLog([&opened] { ++opened; });
    n->displayLogButton()->click();
    QCOMPARE(opened, 1);
    n->okButton()->click();
    QVERIFY(!n->isVisible());
    w.LogSession(QStringLiteral("third"), true, false, false);
    QCOMPARE(n->text(), QStringLiteral("third"));
    QCOMPARE(LogMessages(p.log()).mid(logged),
             (QStringList{QStringLiteral("first."), QStringLiteral("second."),
                          QStringLiteral("third.")}));

    // The row height is written back with remembered column widths.
    p.program().settings.GridColWidth = QStringLiteral("True");
    QVERIFY(w.close());
    QVERIFY(QString::fromLatin1(ReadAll(p.ini())).contains(QStringLiteral("GridRowHeight=450")));
}

void LedgerGridTest::everythingSoldDisablesThePriceBox()
{
    StartedProgram p;
    const QString dat =
        WriteLedger(p.dir.path() + QStringLiteral("/Sold.dat"),
                    {{20200102, "buy", 1000, 10, 0}, {20200601, "sell", -1200, 12, 100}});
    QVERIFY(StartAndOpen(p, dat, QStringLiteral("Sold out"),
                         QStringLiteral("AlwaysCopyFile=False\r\n")));
    QCOMPARE(p.window->sharePriceBox()->text(), QStringLiteral("N/A"));
    QVERIFY(!p.window->sharePriceBox()->isEnabled());
    QCOMPARE(p.window->gridModel()->rowCount(), 3);  // no closing row
    QCOMPARE(p.window->grid()->currentRow(), 2);     // the empty last row
    QVERIFY(p.messages.shown.empty());
    QVERIFY(!QFile::exists(p.dir.path() + QStringLiteral("/Sold.bak")));
}

QTEST_MAIN(LedgerGridTest)
#include "tst_ledgergrid.moc"
