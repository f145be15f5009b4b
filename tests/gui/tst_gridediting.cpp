// Editing the ledger in the grid, driven by keys and menu commands as a user
// would: cell entries with their checks, new records, the editor's keys,
// clear, delete, insert, copy and paste over blocks with the question
// answered both ways, undo and redo back to the file's exact bytes, the
// commands' availability and the right-click menu.

#include "GuiTestSupport.h"

#include "data/InvestmentFile.h"
#include "grid/CellEntry.h"
#include "grid/GridLayout.h"
#include "grid/widgets/GridEditor.h"

#include <QAbstractItemModelTester>
#include <QAction>
#include <QClipboard>
#include <QLineEdit>
#include <QMenu>
#include <QUndoStack>

using namespace brisden;
using namespace brisden::test;
using grid::Field;

namespace {

// A record as "version date/seq 'desc' amount price shares".
QString Text(const TransactionRecord& r)
{
    const auto num = [](double d) { return QString::number(d, 'g', 17); };
    return QStringLiteral("%1 %2/%3 '%4' %5 %6 %7")
        .arg(r.Version).arg(r.TransDate).arg(r.Seq).arg(r.descText())
        .arg(num(r.Amount), num(r.SharePrice), num(r.Shares));
}

// A ledger of a purchase and a cash distribution, listed into the grid: rows
// 0 and 1 hold records 2 and 3, row 2 is the closing valuation (no
// transaction), row 3 the empty row for new entries.
struct Ledger {
    StartedProgram p;
    QString dat;
    MainWindow* w = nullptr;
    grid::GridEditor* ed = nullptr;
    grid::LedgerGrid* g = nullptr;
    grid::LedgerModel* m = nullptr;

    bool open(const QString& settings = QString())
    {
        dat = WriteLedger(p.dir.path() + QStringLiteral("/Fund.dat"),
                          {{20240102, "buy", 1000, 10, 100}, {20240201, "div", -20, 0, 0}});
        if (!StartAndOpen(p, dat, QStringLiteral("Fund"), settings))
            return false;
        w = p.window;
        ed = &w->editor();
        g = w->grid();
        m = w->gridModel();
        w->sharePriceBox()->setText(QStringLiteral("11"));
        w->action("mnuRefreshItem")->trigger();
        if (!Activate(*w))
            return false;
        g->setFocus();
        return g->hasFocus();
    }
    int col(Field f) const { return grid::ColumnOf(f, m->recordTypePosition()); }
    // A click on a cell. (The view would read the modifiers of the last key
    // sent, which may still hold Shift.)
    void go(int row, Field f)
    {
        g->selectionModel()->setCurrentIndex(m->index(row, col(f)),
                                             QItemSelectionModel::ClearAndSelect);
    }
    // A click on a cell and "&Edit" from the menu.
    void edit(int row, Field f)
    {
        go(row, f);
        w->action("mnuEditItem")->trigger();
    }
    QLineEdit* editor() const { return ed->editor(); }
    QByteArray bytes() const { return ReadAll(dat); }
    TransactionRecord record(int n) const
    {
        return DecodeRecord(bytes().constData() + (n - 1) * RecordLength);
    }
    QString line(int n) const { return Text(record(n)); }
    // Clicks a cell and widens the selection to a block with Shift and the arrows.
    void block(int row, Field f, int right, int down)
    {
        go(row, f);
        for (int i = 0; i < right; ++i)
            key(Qt::Key_Right, Qt::ShiftModifier);
        for (int i = 0; i < down; ++i)
            key(Qt::Key_Down, Qt::ShiftModifier);
    }
    void key(int k, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key(k), mods);
    }
    // Types into the grid: the first character starts the edit, the others
    // go where the focus then is (the editor).
    void typeInGrid(const QString& text)
    {
        QTest::keyClicks(g, text.left(1));
        QTest::keyClicks(QApplication::focusWidget(), text.mid(1));
    }
    // Replaces the editor's text as a user would.
    void retype(const QString& text)
    {
        editor()->selectAll();
        QTest::keyClick(editor(), Qt::Key_Backspace);
        editor()->setCursorPosition(0);
        QTest::keyClicks(editor(), text);
    }
    QString lastMessage() const
    {
        return p.messages.shown.empty() ? QString() : p.messages.shown.back().text;
    }
};

}  // namespace

class GridEditingTest : public QObject {
    Q_OBJECT

private slots:
    void entryRules();
    void newRecordsAndTheLastEditWhenClosing();
    void editorKeysAndRefusedEntries();
    void enterAsTabAndRecordTypeOnTheRight();
    void buttonsMenusAndBlocks();
    void copyPasteAndUndoAcrossTheFreeChain();
    void undoAndRedoRestoreTheFileExactly();
};

void GridEditingTest::entryRules()
{
    TransactionRecord r;
    r.TransDate = 20040105;
    r.Shares = 3;
    QCOMPARE(grid::EditorText(r, Field::Date), QStringLiteral("01/05/2004"));
    // Entries one after the other, and the record after each. Grouping
    // separators are read as such, not as the end of the number.
    using grid::EntryResult;
    const std::tuple<Field, const char*, EntryResult, const char*> entries[] = {
        {Field::Date, "02/29/2001", EntryResult::InvalidDate, "0 20040105/0 '         ' 0 0 3"},
        {Field::Date, "02/29/2000", EntryResult::Stored, "0 20000229/0 '         ' 0 0 3"},
        {Field::Desc, "dividends paid", EntryResult::Stored, "0 20000229/0 'dividends' 0 0 3"},
        {Field::Amount, "1,234.50", EntryResult::Stored, "0 20000229/0 'dividends' 1234.5 0 3"},
        {Field::Amount, "12abc", EntryResult::NotNumeric, "0 20000229/0 'dividends' 1234.5 0 3"},
        {Field::Shares, "  ", EntryResult::Stored, "0 20000229/0 'dividends' 1234.5 0 0"},
    };
    for (const auto& [field, text, result, after] : entries) {
        QCOMPARE(grid::ApplyEntry(r, field, QLatin1String(text)), result);
        QCOMPARE(Text(r), QLatin1String(after));
    }
    r.SharePrice = 0.1 + 0.2;
    QCOMPARE(grid::EditorText(r, Field::SharePrice), QStringLiteral("0.30000000000000004"));
    QCOMPARE(grid::EditorText(r, Field::Shares), QStringLiteral("0"));

    // Paste takes a value only into a column of its kind.
    grid::CopyBuffer number;
    number.kind = grid::CopyBuffer::Number;
    number.number = 7.5;
    QVERIFY(!grid::PasteIntoField(r, Field::Date, number));
    QVERIFY(!grid::PasteIntoField(r, Field::Desc, number));
    QVERIFY(grid::PasteIntoField(r, Field::SharePrice, number));
    QCOMPARE(r.SharePrice, 7.5);
    QCOMPARE(number.valueText(), QStringLiteral("7.5"));
}

// New records from the empty row, a second edit of one, and an edit cut
// short by a resize or stored by closing the window.
void GridEditingTest::newRecordsAndTheLastEditWhenClosing()
{
    Ledger l;
    QVERIFY(l.open());
    const std::int32_t today = l.p.program().calendar.TodayYMD;
    QCOMPARE(l.bytes().size(), 3 * RecordLength);

    // The empty row: typing starts the edit, Enter writes a new record with
    // the default date and description.
    l.go(3, Field::Amount);
    l.typeInGrid(QStringLiteral("250"));
    QVERIFY(l.ed->editing());
    QCOMPARE(l.editor()->text(), QStringLiteral("250"));
    QVERIFY(!l.w->transactionsMenu()->menuAction()->isEnabled());
    QVERIFY(!l.g->isEnabled());  // the window is frozen around the editor
    l.key(Qt::Key_Return);
    QVERIFY(!l.ed->editing());
    QVERIFY(l.g->isEnabled());
    QCOMPARE(l.bytes().size(), 4 * RecordLength);
    QCOMPARE(l.line(4), QStringLiteral("%1 %2/0 '         ' 250 0 0").arg(VersionMajor).arg(today));
    QCOMPARE(l.m->rowData(3), 4);
    QCOMPARE(l.m->cellText(3, l.col(Field::Amount)), QStringLiteral("250.00"));
    // The computed cells of the new row stay empty until a refresh.
    QCOMPARE(l.m->cellText(3, l.col(Field::ShareBalance)), QString());

    // A second edit of the row rewrites the same record.
    l.w->action("mnuEditItem")->trigger();
    QVERIFY(l.ed->editing());
    QCOMPARE(l.editor()->text(), QStringLiteral("250"));
    l.retype(QStringLiteral("300"));
    l.key(Qt::Key_Return);
    QCOMPARE(l.bytes().size(), 4 * RecordLength);
    QCOMPARE(l.record(4).Amount, 300.0);

    // The next new row takes the last committed date and description.
    l.edit(1, Field::Desc);
    l.retype(QStringLiteral("reinvest"));
    l.key(Qt::Key_Return);
    QCOMPARE(l.record(3).Desc, QByteArray("reinvest "));
    l.w->action("mnuRefreshItem")->trigger();
    const int blank = l.m->rowCount() - 1;
    l.go(blank, Field::Shares);
    l.typeInGrid(QStringLiteral("2"));
    l.key(Qt::Key_Return);
    // (a second record of that date)
    QCOMPARE(l.line(5), QStringLiteral("%1 20240201/1 'reinvest ' 0 0 2").arg(VersionMajor));

    // A resize cancels an edit; closing the window stores it.
    const QByteArray before = l.bytes();
    l.go(0, Field::Amount);
    l.typeInGrid(QStringLiteral("5"));
    QVERIFY(l.ed->editing());
    l.w->resize(l.w->width() + 40, l.w->height() + 20);
    QTRY_VERIFY(!l.ed->editing());
    QCOMPARE(l.bytes(), before);
    QVERIFY(l.g->isEnabled());

    l.g->setFocus();
    l.go(0, Field::Amount);
    l.typeInGrid(QStringLiteral("1x"));
    QVERIFY(!l.w->close());  // "1x" is refused: the window stays
    QCOMPARE(l.lastMessage(), QStringLiteral("Entry is not numeric"));
    QVERIFY(l.ed->editing());
    l.retype(QStringLiteral("12"));
    QVERIFY(l.w->close());
    QCOMPARE(l.record(2).Amount, 12.0);
}

// Starting and leaving the editor, its keys, and entries that are refused.
void GridEditingTest::editorKeysAndRefusedEntries()
{
    Ledger l;
    QVERIFY(l.open());
    const QByteArray before = l.bytes();
    l.go(0, Field::Date);
    QTest::keyClick(l.g, Qt::Key_5);
    QVERIFY(l.ed->editing());
    QCOMPARE(l.editor()->inputMask().left(10), QStringLiteral("00/00/0000"));
    QCOMPARE(l.editor()->text().remove(QLatin1Char('/')).trimmed(), QStringLiteral("5"));
    l.key(Qt::Key_Escape);
    QVERIFY(!l.ed->editing());
    QVERIFY(l.g->hasFocus());
    QCOMPARE(l.bytes(), before);
    QCOMPARE(l.ed->undoStack()->count(), 0);

    // A double click starts an edit with the cell's value.
    const QModelIndex desc = l.m->index(0, l.col(Field::Desc));
    QTest::mouseDClick(l.g->viewport(), Qt::LeftButton, {}, l.g->visualRect(desc).center());
    QVERIFY(l.ed->editing());
    QCOMPARE(l.g->currentIndex(), desc);
    QCOMPARE(l.editor()->text(), QStringLiteral("buy      "));
    l.key(Qt::Key_Escape);

    // A command on a computed cell or on the closing row starts nothing.
    l.edit(0, Field::Value);
    QVERIFY(!l.ed->editing());
    l.go(2, Field::Amount);
    QTest::keyClick(l.g, Qt::Key_7);
    QVERIFY(!l.ed->editing());

    // An invalid date is refused and the editor stays.
    l.edit(0, Field::Date);
    QCOMPARE(l.editor()->text(), QStringLiteral("01/02/2024"));
    l.retype(QStringLiteral("02292001"));
    l.key(Qt::Key_Return);
    QCOMPARE(l.lastMessage(), QStringLiteral("Invalid date"));
    QCOMPARE(l.p.messages.shown.back().icon, ui::Icon::Exclamation);
    QVERIFY(l.ed->editing());
    QCOMPARE(l.bytes(), before);
    l.retype(QStringLiteral("02292000"));
    l.key(Qt::Key_Return);
    QVERIFY(!l.ed->editing());
    QCOMPARE(l.record(2).TransDate, 20000229);

    // Tab walks the row's five cells and goes on to the next row's date.
    l.edit(0, Field::Date);
    l.key(Qt::Key_Tab);
    QCOMPARE(l.g->currentIndex().column(), l.col(Field::Desc));
    QCOMPARE(l.ed->helpText(), grid::EntryPrompt(Field::Desc));
    QCOMPARE(l.editor()->maxLength(), 9);
    for (int i = 0; i < 3; ++i)
        l.key(Qt::Key_Tab);
    QCOMPARE(l.g->currentIndex().column(), l.col(Field::Shares));
    l.key(Qt::Key_Tab);
    QCOMPARE(l.g->currentIndex(), l.m->index(1, l.col(Field::Date)));
    QVERIFY(l.ed->editing());
    // Down stores the entry and skips the closing row, which is no transaction.
    l.retype(QStringLiteral("02022024"));
    l.key(Qt::Key_Down);
    QCOMPARE(l.record(3).TransDate, 20240202);
    QCOMPARE(l.g->currentIndex().row(), 3);
    l.key(Qt::Key_Up);
    QCOMPARE(l.g->currentIndex().row(), 1);
    l.key(Qt::Key_Escape);

    // Tab on the shares cell of the last row appends an empty row.
    l.go(3, Field::Shares);
    l.typeInGrid(QStringLiteral("4"));
    l.key(Qt::Key_Tab);
    QCOMPARE(l.m->rowCount(), 5);
    QCOMPARE(l.g->currentIndex(), l.m->index(4, l.col(Field::Date)));
    QVERIFY(l.ed->editing());
    QCOMPARE(l.record(4).Shares, 4.0);
    // Shift+Tab on a date goes back to the shares of the row above.
    l.key(Qt::Key_Tab, Qt::ShiftModifier);
    QCOMPARE(l.g->currentIndex(), l.m->index(3, l.col(Field::Shares)));
    QCOMPARE(l.bytes().size(), 5 * RecordLength);  // the new row got its record
    l.key(Qt::Key_Escape);

    // Shift+Tab on the date of the first data row stays in the editor.
    l.edit(0, Field::Date);
    l.key(Qt::Key_Tab, Qt::ShiftModifier);
    QVERIFY(l.ed->editing());
    QCOMPARE(l.g->currentIndex(), l.m->index(0, l.col(Field::Date)));
    QVERIFY(l.editor()->hasFocus());
    l.key(Qt::Key_Up);  // nothing above either
    QCOMPARE(l.g->currentIndex().row(), 0);
    QVERIFY(l.ed->editing());
    l.key(Qt::Key_Escape);

    // A write that fails keeps the entry in the editor.
    const int undos = l.ed->undoStack()->count();
    l.edit(0, Field::Amount);
    l.retype(QStringLiteral("999"));
    // The file goes away under the editor.
    l.p.program().files.CloseFile(InvestmentSlot);
    l.key(Qt::Key_Return);
    QVERIFY(l.lastMessage().startsWith(QStringLiteral("The change could not be written to ")));
    QVERIFY(l.ed->editing());
    QCOMPARE(l.editor()->text(), QStringLiteral("999"));
    QCOMPARE(l.record(2).Amount, 1000.0);
    QCOMPARE(l.ed->undoStack()->count(), undos);
    l.key(Qt::Key_Escape);
}

// Tab and Enter with the record type column on the right and CRFiresTab set.
void GridEditingTest::enterAsTabAndRecordTypeOnTheRight()
{
    Ledger l;
    QVERIFY(l.open(QStringLiteral("CRFiresTab=True\r\n[GridMisc]\r\nRTColPos=0\r\n")));
    QCOMPARE(l.col(Field::Date), 0);
    l.edit(0, Field::Date);
    for (int i = 0; i < 4; ++i)
        l.key(Qt::Key_Tab);
    QCOMPARE(l.g->currentIndex(), l.m->index(0, 4));
    l.retype(QStringLiteral("101"));
    l.key(Qt::Key_Tab);
    QCOMPARE(l.g->currentIndex(), l.m->index(1, 0));
    QCOMPARE(l.record(2).Shares, 101.0);
    l.key(Qt::Key_Tab, Qt::ShiftModifier);
    QCOMPARE(l.g->currentIndex(), l.m->index(0, 4));
    l.key(Qt::Key_Escape);
    // The record type column, now the last, is not edited.
    l.g->selectionModel()->setCurrentIndex(l.m->index(0, 10), QItemSelectionModel::ClearAndSelect);
    l.w->action("mnuEditItem")->trigger();
    QVERIFY(!l.ed->editing());

    // Enter acts as Tab.
    l.edit(0, Field::Desc);
    l.retype(QStringLiteral("bought"));
    l.key(Qt::Key_Return);
    QVERIFY(l.ed->editing());
    QCOMPARE(l.g->currentIndex().column(), l.col(Field::Amount));
    QCOMPARE(l.record(2).Desc, QByteArray("bought   "));
    l.key(Qt::Key_Escape);
}

// The grid's buttons and right-click menu; clear, delete and insert asking
// first; a block after the listing.
void GridEditingTest::buttonsMenusAndBlocks()
{
    Ledger l;
    QVERIFY(l.open());
    // The price box takes the focus: the grid's buttons rest.
    l.w->sharePriceBox()->setFocus();
    QVERIFY(!l.w->command1(2)->isEnabled());
    l.g->setFocus();
    // A button runs its command with the focus left in the grid.
    l.go(1, Field::Amount);
    QTest::mouseClick(l.w->command1(0), Qt::LeftButton);
    QVERIFY(l.ed->editing());
    l.key(Qt::Key_Escape);
    QMenu* menu = l.w->rightClickMenu();
    auto visible = [menu] {
        QStringList names;
        for (QAction* a : menu->actions())
            if (a->isVisible())
                names << (a->menu() ? a->menu()->objectName() : a->objectName());
        return names;
    };
    auto centre = [&l](int row, Field f) {
        return l.g->visualRect(l.m->index(row, l.col(f))).center();
    };
    // A computed column or the closing row: no menu.
    l.ed->rightClickGrid(centre(0, Field::Value));
    QVERIFY(!menu->isVisible());
    l.ed->rightClickGrid(centre(2, Field::Amount));
    QVERIFY(!menu->isVisible());
    // An editable cell becomes current; the menu shows its grid items.
    l.ed->rightClickGrid(centre(1, Field::Amount));
    QVERIFY(menu->isVisible());
    QCOMPARE(l.g->currentIndex(), l.m->index(1, l.col(Field::Amount)));
    QVERIFY(visible().contains(QStringLiteral("mnuRCEdit")));
    QVERIFY(!l.w->action(QStringLiteral("mnuRCPaste"))->isEnabled());
    menu->hide();
    // The record type column: only "What's this?".
    l.ed->rightClickGrid(centre(0, Field::RecordType));
    QCOMPARE(visible(), QStringList({"mnuRCWhatsThis"}));
    menu->hide();
    // So does the frame of the grid control buttons.
    l.ed->rightClickElsewhere(l.w->gridControlFrame(), QPoint(10, 10));
    QVERIFY(menu->isVisible());
    QCOMPARE(visible(), QStringList({"mnuRCWhatsThis"}));
    menu->hide();

    QVERIFY(Activate(*l.w));
    l.g->setFocus();
    const QByteArray before = l.bytes();
    // A block of amounts, prices and shares over both records.
    l.block(0, Field::Amount, 2, 1);
    QVERIFY(l.ed->blockMode());
    QVERIFY(!l.w->action("mnuCopyCell")->isEnabled());
    l.p.messages.answers = {false};
    l.key(Qt::Key_Delete);
    QCOMPARE(l.p.messages.questions.back(), QStringLiteral("Should I clear these cells?"));
    QCOMPARE(l.bytes(), before);
    QVERIFY(!l.ed->blockMode());

    l.block(0, Field::Amount, 2, 1);
    l.p.messages.answers = {true};
    l.key(Qt::Key_Delete);
    QCOMPARE(l.line(2), QStringLiteral("%1 20240102/0 'buy      ' 0 0 0").arg(VersionMajor));
    QCOMPARE(l.line(3), QStringLiteral("%1 20240201/0 'div      ' 0 0 0").arg(VersionMajor));
    QCOMPARE(l.m->cellText(0, l.col(Field::Amount)), QString());

    // Clearing a date stores 0; a single cell asks as well.
    l.go(1, Field::Date);
    l.p.messages.answers = {true};
    l.key(Qt::Key_Delete);
    QCOMPARE(l.record(3).TransDate, 0);

    // Delete: answered No, then Yes; the record joins the free chain.
    l.go(0, Field::Desc);
    l.p.messages.answers = {false};
    l.key(Qt::Key_Delete, Qt::ShiftModifier);
    QCOMPARE(l.p.messages.questions.back(), QStringLiteral("Should I delete these rows?"));
    QCOMPARE(l.m->rowCount(), 4);
    l.p.messages.answers = {true};
    l.key(Qt::Key_Delete, Qt::ShiftModifier);
    QCOMPARE(l.m->rowCount(), 3);
    QCOMPARE(l.record(2).Version, std::int16_t(0));
    QCOMPARE(RecordLinkField(l.bytes().constData()), 2);  // FreeHead

    // Insert three rows before row 1: the old row 1 (the closing row) moves to 4.
    l.go(1, Field::Date);
    l.p.input.answers = {QStringLiteral("3")};
    l.key(Qt::Key_Insert, Qt::ShiftModifier);
    QCOMPARE(l.p.input.asked.back().prompt,
             QStringLiteral("Input the # of rows to insert before the current row."));
    QCOMPARE(l.m->rowCount(), 6);
    QCOMPARE(l.m->rowData(4), -1);
    QCOMPARE(l.m->rowData(1), 0);
    // A single empty row is not deleted; nothing is asked.
    const qsizetype asked = l.p.messages.questions.size();
    l.key(Qt::Key_Delete, Qt::ShiftModifier);
    QCOMPARE(l.p.messages.questions.size(), asked);
    QCOMPARE(l.m->rowCount(), 6);
    // A block with empty rows only changes the grid.
    const QByteArray withRows = l.bytes();
    l.block(1, Field::Date, 0, 1);
    l.p.messages.answers = {true};
    l.key(Qt::Key_Delete, Qt::ShiftModifier);
    QCOMPARE(l.m->rowCount(), 4);
    QCOMPARE(l.bytes(), withRows);

    // After a listing, Shift and an arrow make a block of two cells.
    l.key(Qt::Key_F5);
    QTest::keyClick(l.g, Qt::Key_Right, Qt::ShiftModifier);
    QVERIFY(l.ed->blockMode());
    const grid::GridEditor::Block two = l.ed->block();
    QCOMPARE(two.top, two.bottom);
    QCOMPARE(two.right - two.left, 1);
    QTest::keyClick(l.g, Qt::Key_Escape);
    QVERIFY(!l.ed->blockMode());
}

// Copy and paste to a block; undo after a refresh and across the free chain;
// every row deleted.
void GridEditingTest::copyPasteAndUndoAcrossTheFreeChain()
{
    Ledger l;
    QVERIFY(l.open(QStringLiteral("ConfirmDelete=False\r\n")));
    // Nothing copied yet: no paste.
    QVERIFY(l.w->action("mnuCopyCell")->isEnabled());
    QVERIFY(!l.w->action("mnuPasteData")->isEnabled());
    l.go(0, Field::Amount);
    QTest::keyClick(l.g, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(l.ed->copyBuffer().kind, grid::CopyBuffer::Number);
    QCOMPARE(l.ed->copyBuffer().number, 1000.0);
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("1000"));
    QVERIFY(l.w->action("mnuPasteData")->isEnabled());

    // Onto Date, Desc and Amount of both records: only the amounts change.
    l.block(0, Field::Date, 2, 1);
    const int shownBefore = int(l.p.messages.shown.size());
    QTest::keyClick(l.g, Qt::Key_V, Qt::ControlModifier);
    QVERIFY(l.p.messages.questions.isEmpty());  // ConfirmDelete is off
    QCOMPARE(l.line(2), QStringLiteral("%1 20240102/0 'buy      ' 1000 10 100").arg(VersionMajor));
    QCOMPARE(l.line(3), QStringLiteral("%1 20240201/0 'div      ' 1000 0 0").arg(VersionMajor));
    QCOMPARE(int(l.p.messages.shown.size()), shownBefore + 1);
    QVERIFY(l.lastMessage().startsWith(QStringLiteral("Some cells could not be pasted")));

    // A date goes to dates only, as a date.
    l.go(0, Field::Date);
    QTest::keyClick(l.g, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(l.ed->copyBuffer().kind, grid::CopyBuffer::Date);
    l.go(1, Field::Date);
    QTest::keyClick(l.g, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(l.record(3).TransDate, 20240102);

    // An undo after a refresh lists again.
    const QByteArray original = l.bytes();
    const int undos = l.ed->undoStack()->count();
    l.go(1, Field::Date);
    l.key(Qt::Key_Delete, Qt::ShiftModifier);
    l.go(1, Field::Amount);  // now the closing row... the empty row after a refresh
    l.key(Qt::Key_F5);
    QCOMPARE(l.ed->undoStack()->count(), undos + 1);  // a refresh keeps the stack
    QTest::keyClick(l.g, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(l.bytes(), original);
    QCOMPARE(l.m->rowCount(), 4);
    QCOMPARE(l.m->rowData(1), 3);
    QCOMPARE(l.m->cellText(1, l.col(Field::Desc)), QStringLiteral("div      "));

    // Records 3 then 2 are deleted (chain 3 -> 2); a new entry takes 3 again.
    l.go(1, Field::Date);
    l.key(Qt::Key_Delete, Qt::ShiftModifier);
    l.go(0, Field::Date);
    l.key(Qt::Key_Delete, Qt::ShiftModifier);
    QCOMPARE(RecordLinkField(l.bytes().constData()), 3);
    l.go(l.m->rowCount() - 1, Field::Desc);
    l.typeInGrid(QStringLiteral("fee"));
    l.key(Qt::Key_Return);
    QCOMPARE(l.m->rowData(l.m->rowCount() - 1), 3);
    QCOMPARE(RecordLinkField(l.bytes().constData()), 2);
    const QByteArray after = l.bytes();
    for (int i = 0; i < 3; ++i)
        l.w->action("mnuUndo")->trigger();
    QCOMPARE(l.bytes(), original);
    QCOMPARE(l.m->rowData(0), 2);
    QCOMPARE(l.m->rowData(1), 3);
    for (int i = 0; i < 3; ++i)
        l.w->action("mnuRedo")->trigger();
    QCOMPARE(l.bytes(), after);

    // Deleting every row leaves the empty row; it takes the next entry, in a
    // released record.
    l.w->action("mnuRefreshItem")->trigger();
    QTest::keyClick(l.g, Qt::Key_A, Qt::ControlModifier);
    l.key(Qt::Key_Delete, Qt::ShiftModifier);
    QCOMPARE(l.m->rowCount(), 1);
    QCOMPARE(l.m->rowData(0), 0);
    QCOMPARE(l.record(3).Version, std::int16_t(0));
    const int released = RecordLinkField(l.bytes().constData());
    l.typeInGrid(QStringLiteral("03152024"));
    l.key(Qt::Key_Return);
    QCOMPARE(l.m->rowData(0), released);
    QCOMPARE(l.record(released).TransDate, 20240315);
    QCOMPARE(l.bytes().size(), 3 * RecordLength);
}

void GridEditingTest::undoAndRedoRestoreTheFileExactly()
{
    Ledger l;
    QVERIFY(l.open(QStringLiteral("ConfirmDelete=False\r\n")));
    // Every signal and answer of the model is checked along the way.
    QAbstractItemModelTester tester(l.m, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QVERIFY(l.m->flags(l.m->index(0, l.col(Field::Amount))) & Qt::ItemIsEditable);
    QVERIFY(!(l.m->flags(l.m->index(0, l.col(Field::Value))) & Qt::ItemIsEditable));
    QVERIFY(!(l.m->flags(l.m->index(2, l.col(Field::Amount))) & Qt::ItemIsEditable));
    const QByteArray original = l.bytes();
    const int rows = l.m->rowCount();

    // A new record, an edit, a clear, a paste, a deletion and inserted rows.
    l.go(3, Field::Amount);
    l.typeInGrid(QStringLiteral("75"));
    l.key(Qt::Key_Return);
    l.edit(0, Field::SharePrice);
    l.retype(QStringLiteral("10.5"));
    l.key(Qt::Key_Return);
    l.go(1, Field::Desc);
    l.key(Qt::Key_Delete);
    l.go(0, Field::Shares);
    QTest::keyClick(l.g, Qt::Key_C, Qt::ControlModifier);
    l.go(1, Field::Shares);
    QTest::keyClick(l.g, Qt::Key_V, Qt::ControlModifier);
    l.go(0, Field::Date);
    l.key(Qt::Key_Delete, Qt::ShiftModifier);
    l.p.input.answers = {QStringLiteral("2")};
    l.key(Qt::Key_Insert, Qt::ShiftModifier);
    QCOMPARE(l.ed->undoStack()->count(), 6);
    QCOMPARE(l.w->action("mnuUndo")->text(), QStringLiteral("&Undo Insert rows"));
    QVERIFY(l.p.messages.questions.isEmpty());  // ConfirmDelete is off
    QCOMPARE(l.record(2).Version, std::int16_t(0));
    const QByteArray changed = l.bytes();
    const int changedRows = l.m->rowCount();

    for (int i = 0; i < 6; ++i)
        QTest::keyClick(l.g, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(l.bytes(), original);
    QCOMPARE(l.m->rowCount(), rows);
    QCOMPARE(l.m->rowData(0), 2);
    QCOMPARE(l.m->cellText(0, l.col(Field::SharePrice)), QStringLiteral("10.00"));
    QCOMPARE(l.m->cellText(1, l.col(Field::Desc)), QStringLiteral("div      "));

    for (int i = 0; i < 3; ++i)
        QTest::keyClick(l.g, Qt::Key_Y, Qt::ControlModifier);
    for (int i = 0; i < 3; ++i)
        QTest::keyClick(l.g, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(l.bytes(), changed);
    QCOMPARE(l.m->rowCount(), changedRows);
    QVERIFY(!l.w->action("mnuRedo")->isEnabled());

    // Undo twice, then a new change: the redo is gone.
    QTest::keyClick(l.g, Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(l.g, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(l.record(2).Version, VersionMajor);
    l.go(0, Field::Amount);
    l.typeInGrid(QStringLiteral("1"));
    l.key(Qt::Key_Return);
    QVERIFY(!l.ed->undoStack()->canRedo());

    // Opening a file again starts with nothing to undo.
    QVERIFY(OpenInvestment(*l.w, l.dat));
    QCOMPARE(l.ed->undoStack()->count(), 0);
}

QTEST_MAIN(GridEditingTest)
#include "tst_gridediting.moc"
