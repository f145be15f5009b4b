#include "grid/widgets/GridEditor.h"

#include "data/InvestmentFile.h"
#include "data/NumberText.h"
#include "grid/widgets/LedgerGrid.h"
#include "grid/widgets/LedgerModel.h"
#include "shell/Settings.h"
#include "ui/widgets/CommandHost.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCursor>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QUndoStack>
#include <QVBoxLayout>
#include <algorithm>
#include <cstring>

namespace brisden::grid {

namespace {

// txtEntry: the single-line editor laid over the edited cell. Every key
// typed into it is its own (no window shortcut fires while a cell is
// edited); the keys that end or move the edit go to the grid editor first.
class CellEditor final : public QLineEdit {
public:
    using QLineEdit::QLineEdit;
    std::function<bool(QKeyEvent*)> onKey;
    std::function<void(Qt::FocusReason)> onFocusOut;

protected:
    bool event(QEvent* event) override
    {
        if (event->type() == QEvent::ShortcutOverride) {
            event->accept();
            return true;
        }
        if (event->type() == QEvent::KeyPress && onKey && onKey(static_cast<QKeyEvent*>(event)))
            return true;
        return QLineEdit::event(event);
    }
    void focusOutEvent(QFocusEvent* event) override
    {
        QLineEdit::focusOutEvent(event);
        if (onFocusOut)
            onFocusOut(event->reason());
    }
};

bool IsNavigationKey(int key)
{
    switch (key) {
        case Qt::Key_Left:
        case Qt::Key_Right:
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
        case Qt::Key_Home:
        case Qt::Key_End:
            return true;
        default:
            return false;
    }
}

const char* const PasteMismatch =
    "Some cells could not be pasted because the clipboard data type didn't match the column "
    "data type.  Only dates can be pasted to the 'Date' column, descriptions to the 'Desc' "
    "column, and numeric data to all others.";

}  // namespace

// One change of the ledger on the undo stack: the records it wrote, byte for
// byte, and the grid rows it changed. The command is pushed after the change
// was made, so its first redo does nothing.
class LedgerEdit final : public QUndoCommand {
public:
    LedgerEdit(GridEditor& editor, const QString& text, FileChange fileChange,
               std::vector<GridStep> gridSteps, int listing)
        : QUndoCommand(text),
          m_editor(editor),
          change(std::move(fileChange)),
          steps(std::move(gridSteps)),
          generation(listing)
    {
    }
    void undo() override { m_editor.applyEdit(*this, false); }
    void redo() override
    {
        if (m_done) {
            m_done = false;
            return;
        }
        m_editor.applyEdit(*this, true);
    }

private:
    GridEditor& m_editor;
    bool m_done = true;

public:
    FileChange change;
    std::vector<GridStep> steps;
    int generation;  // the listing the rows belong to
};

GridEditor::GridEditor(const GridEditorContext& context, LedgerGrid& grid, LedgerModel& model,
                       QWidget* editorParent, std::function<void(bool)> formEnableToggle,
                       std::function<void()> relist, std::function<bool()> busy)
    : QObject(editorParent),
      m(context),
      m_grid(grid),
      m_model(model),
      m_editorParent(editorParent),
      m_formEnableToggle(std::move(formEnableToggle)),
      m_relist(std::move(relist)),
      m_busy(std::move(busy))
{
    auto* editor = new CellEditor(editorParent);
    editor->setObjectName(QStringLiteral("txtEntry"));
    editor->setFrame(false);
    editor->hide();
    editor->onKey = [this](QKeyEvent* key) { return editorKey(key->key(), key->modifiers()); };
    editor->onFocusOut = [this](Qt::FocusReason reason) {
        if (!m_editing || m_moveState != 0 || m_inCommit)
            return;
        // A menu or another window taking the focus for a moment is no
        // leaving of the cell.
        if (reason == Qt::PopupFocusReason || reason == Qt::ActiveWindowFocusReason)
            return;
        leaveEditor(Leave::Elsewhere);
    };
    m_editor = editor;

    m_undo = new QUndoStack(this);
    connect(m_undo, &QUndoStack::canUndoChanged, this, &GridEditor::updateAvailability);
    connect(m_undo, &QUndoStack::canRedoChanged, this, &GridEditor::updateAvailability);

    m_grid.installEventFilter(this);
    m_grid.viewport()->installEventFilter(this);
    m_grid.frozenView()->viewport()->installEventFilter(this);
    connect(m_grid.selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        if (m_selecting || m_editing || (m_busy && m_busy()) || blockMode())
            return;
        // A block dragged with the mouse is shown as a block.
        qint64 cells = 0;
        for (const QItemSelectionRange& range : m_grid.selectionModel()->selection())
            cells += qint64(range.width()) * range.height();
        if (cells > 1)
            SetSelectionMode(true);
    });
}

GridEditor::~GridEditor() = default;

void GridEditor::installCommands(ui::CommandHost& host, QPushButton* editButton,
                                 QPushButton* clearButton, QPushButton* deleteButton)
{
    using Key = QKeySequence;
    // The Edit menu.
    QAction* undo =
        host.command("mnuUndo", QStringLiteral("&Undo"), Key::Undo, [this] { m_undo->undo(); });
    QAction* redo = host.command("mnuRedo", QStringLiteral("&Redo"), [this] { m_undo->redo(); });
    redo->setShortcuts({Key(Qt::CTRL | Qt::Key_Y), Key(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});

    // The Transactions menu and the right-click menu run the same commands.
    struct Twin {
        const char* item;
        const char* caption;
        Key key;
        const char* rcItem;
        const char* rcCaption;
        void (GridEditor::*run)();
    };
    const Twin twins[] = {
        {"mnuEditItem", "&Edit selected cell", Key(Qt::CTRL | Qt::Key_E), "mnuRCEdit", "&Edit Cell",
         &GridEditor::editCommand},
        {"mnuClearItem", "&Clear selected cell(s)", Key(Qt::Key_Delete), "mnuRCClear",
         "&Clear cell(s)", &GridEditor::mnuClearItem_Click},
        {"mnuCopyCell", "Copy cell &data", Key(Qt::CTRL | Qt::Key_C), "mnuRCCopy",
         "Copy cell &data", &GridEditor::mnuCopyCell_Click},
        {"mnuPasteData", "&Paste to cell(s)", Key(Qt::CTRL | Qt::Key_V), "mnuRCPaste",
         "&Paste to cell(s)", &GridEditor::mnuPasteData_Click},
        {"mnuInsertRows", "&Insert rows...", Key(Qt::SHIFT | Qt::Key_Insert), "mnuRCInsertRows",
         "&Insert rows...", &GridEditor::mnuInsertRows_Click},
        {"mnuDeleteItem", "&Delete selected row(s)", Key(Qt::SHIFT | Qt::Key_Delete), "mnuRCDelRow",
         "&Delete row(s)", &GridEditor::mnuDeleteItem_Click},
        {"mnuSelectAll", "Select &All", Key(Qt::CTRL | Qt::Key_A), "mnuRCSelectAll", "Select &All",
         &GridEditor::mnuSelectAll_Click},
    };
    for (const Twin& t : twins) {
        host.command(t.item, QString::fromLatin1(t.caption), t.key,
                     [this, t] { (this->*t.run)(); });
        host.command(t.rcItem, QString::fromLatin1(t.rcCaption), [this, t] { (this->*t.run)(); });
    }
    host.onCommand(editButton, [this] { GridEdit(); });
    host.onCommand(clearButton, [this] { mnuClearItem_Click(); });
    host.onCommand(deleteButton, [this] { mnuDeleteItem_Click(); });

    setItems(EditItems{host.action("mnuEditItem"),
                       host.action("mnuClearItem"),
                       host.action("mnuCopyCell"),
                       host.action("mnuPasteData"),
                       host.action("mnuInsertRows"),
                       host.action("mnuDeleteItem"),
                       host.action("mnuSelectAll"),
                       host.menu("mnuRowHeight")->menuAction(),
                       host.action("mnuRTHide"),
                       undo,
                       redo,
                       editButton,
                       clearButton,
                       deleteButton,
                       host.menu("mnuRightClick"),
                       host.action("mnuRCEdit"),
                       host.action("mnuRCClear"),
                       host.action("mnuRCCopy"),
                       host.action("mnuRCPaste"),
                       host.action("mnuRCInsertRows"),
                       host.action("mnuRCDelRow"),
                       host.action("mnuRCSelectAll"),
                       host.menu("mnuRCRowHeight")->menuAction(),
                       host.action("mnuRCDragDropHelp"),
                       host.action("mnuRCHowToEdit"),
                       host.action("mnuRCWhatsThis")});
}

void GridEditor::setItems(const EditItems& items)
{
    m_items = items;
    // "Undo Clear cells", "Redo Paste": the items name what they take back.
    if (items.mnuUndo)
        connect(m_undo, &QUndoStack::undoTextChanged, items.mnuUndo,
                [undo = items.mnuUndo](const QString& text) {
                    undo->setText(text.isEmpty() ? QStringLiteral("&Undo")
                                                 : QStringLiteral("&Undo ") + text);
                });
    if (items.mnuRedo)
        connect(m_undo, &QUndoStack::redoTextChanged, items.mnuRedo,
                [redo = items.mnuRedo](const QString& text) {
                    redo->setText(text.isEmpty() ? QStringLiteral("&Redo")
                                                 : QStringLiteral("&Redo ") + text);
                });
    for (QPushButton* button : {items.editButton, items.clearButton, items.deleteButton}) {
        // A click on a button leaves the focus in the grid, so that the
        // button still finds its command enabled.
        if (button)
            button->setFocusPolicy(Qt::NoFocus);
    }
    updateAvailability();
}

// ---------------------------------------------------------------------------
// Columns and rows

Field GridEditor::fieldAt(int column) const
{
    return m_model.fieldAt(column);
}

int GridEditor::dateColumn() const
{
    return ColumnOf(Field::Date, m_model.recordTypePosition());
}

int GridEditor::sharesColumn() const
{
    return ColumnOf(Field::Shares, m_model.recordTypePosition());
}

bool GridEditor::editableAt(int row, int column) const
{
    return row >= 0 && row < m_model.rowCount() && column >= 0 && column < ColumnCount &&
           m_model.gridColumn(column).editable && m_model.rowData(row) != -1;
}

void GridEditor::setCurrent(int row, int column)
{
    const QModelIndex index = m_model.index(row, column);
    if (!index.isValid())
        return;
    m_selecting = true;
    m_grid.selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    m_selecting = false;
    static_cast<QAbstractItemView&>(m_grid).scrollTo(index);
}

int GridEditor::nextRow(int row, bool appendAtEnd)
{
    auto ensure = [this, appendAtEnd](int r) {
        if (r >= m_model.rowCount() && appendAtEnd)
            m_model.insertRows(m_model.rowCount(), 1);
    };
    int next = row + 1;
    ensure(next);
    if (next < m_model.rowCount() && m_model.rowData(next) == -1) {
        ++next;
        ensure(next);
    }
    return std::min(next, m_model.rowCount() - 1);
}

int GridEditor::previousRow(int row) const
{
    int previous = row - 1;
    if (previous >= 0 && m_model.rowData(previous) == -1)
        --previous;
    return previous;
}

// ---------------------------------------------------------------------------
// Cell editing

bool GridEditor::editing() const
{
    return m_editing;
}

void GridEditor::GridEdit(QChar startKey)
{
    if ((m_busy && m_busy()) || !m.file.isOpen())
        return;
    const QModelIndex current = m_grid.currentIndex();
    if (!current.isValid() || !editableAt(current.row(), current.column()))
        return;
    if (refuseReadOnly(QStringLiteral("edit")))
        return;
    SetSelectionMode(false);
    const int row = current.row();
    const int column = current.column();
    const std::int32_t n = m_model.rowData(row);
    if (n < 1) {
        m_record = TransactionRecord();
        m_record.TransDate = m_lastDate;
        m_record.setDesc(m_lastDesc);
    } else {
        if (!m.file.ReadRecord(n)) {
            m.messages.show(QStringLiteral("Record %1 of ").arg(n) + m.file.CurrentFile +
                                QStringLiteral(" could not be read."),
                            ui::Icon::Exclamation);
            return;
        }
        m_record = m.file.RecordBuffer;
    }
    m_editedRecord = n;
    m_editRow = row;
    m_editColumn = column;

    const Field field = fieldAt(column);
    const bool typed = !startKey.isNull() && startKey.isPrint() && !startKey.isSpace();
    m_editor->setInputMask(QString());
    m_editor->setMaxLength(EntryLengthLimit(field));
    m_editor->setInputMask(EntryInputMask(field));
    m_editor->setAlignment(field == Field::Desc ? Qt::AlignLeft : Qt::AlignRight);
    m_editor->setText(typed ? QString() : EditorText(m_record, field));
    m_editor->setCursorPosition(0);

    const bool starting = !m_editing;
    m_editing = true;
    if (starting && m_formEnableToggle)
        m_formEnableToggle(false);
    showHelp(EntryPrompt(field));
    ChangeCellText();
    m_moveState = 0;
    if (starting) {
        updateAvailability();
        emit editingChanged(true);
    }
    if (typed) {
        QKeyEvent key(QEvent::KeyPress, 0, Qt::NoModifier, QString(startKey));
        QCoreApplication::sendEvent(m_editor, &key);
    }
}

void GridEditor::ChangeCellText()
{
    const QModelIndex index = m_model.index(m_editRow, m_editColumn);
    static_cast<QAbstractItemView&>(m_grid).scrollTo(index);
    const QRect cell = m_grid.visualRect(index);
    const QPoint at = m_grid.viewport()->mapTo(m_editorParent, cell.topLeft());
    m_editor->setFont(m_grid.font());
    m_editor->setGeometry(QRect(at, cell.size()));
    if (m_editor->cursorPosition() == 0)
        m_editor->selectAll();
    m_editor->show();
    m_editor->setFocus(Qt::OtherFocusReason);
    m_editor->raise();
}

bool GridEditor::CommitCellEdit()
{
    if (!m_editing)
        return false;
    const Field field = fieldAt(m_editColumn);
    TransactionRecord record = m_record;
    const EntryResult result = ApplyEntry(record, field, m_editor->text());
    if (result != EntryResult::Stored) {
        m_inCommit = true;
        m.messages.show(EntryMessage(result), ui::Icon::Exclamation);
        m_inCommit = false;
        return false;
    }
    m_lastDate = record.TransDate;
    m_lastDesc = record.descText();

    ChangeRecorder recorder(m.file, {m_editedRecord});
    m.file.RecordBuffer = record;
    std::int32_t n = m_editedRecord;
    bool written;
    if (n < 1) {
        n = m.file.AddRecord();
        written = n > 0;
    } else {
        written = m.file.WriteRecord(n);
    }
    FileChange change = recorder.finish();
    if (!written) {
        // Nothing typed is lost: the editor stays open with the entry.
        m_inCommit = true;
        writeFailed();
        m_inCommit = false;
        if (!change.empty())
            UndoFileChange(m.file, change);
        return false;
    }
    m_editedRecord = n;
    m_record = m.file.RecordBuffer;
    const GridRow before = m_model.row(m_editRow);
    const GridRow after = rowWithRecord(before, m_record, n);
    m_model.setRow(m_editRow, after);
    pushEdit(QStringLiteral("Edit cell"), std::move(change),
             {GridStep{GridStep::Replace, m_editRow, before, after}});
    return true;
}

GridRow GridEditor::rowWithRecord(const GridRow& old, const TransactionRecord& record,
                                  std::int32_t recNo) const
{
    GridRow row = old;
    const bool entered = old.blank() || old.RecNo < 1;
    row.TransDate = record.TransDate;
    row.Amount = record.Amount;
    row.SharePrice = record.SharePrice;
    row.Shares = record.Shares;
    std::memcpy(row.Desc, record.Desc.constData(),
                std::min<size_t>(sizeof(row.Desc), size_t(record.Desc.size())));
    row.DescLength = sizeof(row.Desc);
    row.RecNo = recNo;
    row.Flags = std::uint8_t((row.Flags & ~RowBlank) | RowEdited);
    if (entered) {
        row.Flags |= RowNew;
        row.Code = 0;
    }
    return row;
}

bool GridEditor::refuseReadOnly(const QString& command)
{
    if (!m.file.readOnly())
        return false;
    const QString text = QStringLiteral("Can't ") + command + QStringLiteral(" ") +
                         m.file.CurrentFile + QStringLiteral(": it is open read-only because ") +
                         m.file.ReadOnlyReason + QStringLiteral(".");
    m.messages.show(text, ui::Icon::Exclamation);
    if (m.log)
        m.log->LogSession(text);
    return true;
}

void GridEditor::writeFailed()
{
    m.messages.show(QStringLiteral("The change could not be written to ") + m.file.CurrentFile +
                        QStringLiteral(".  The file may be read-only or the disk full."),
                    ui::Icon::Exclamation);
}

bool GridEditor::editorKey(int key, Qt::KeyboardModifiers modifiers)
{
    if (!m_editing)
        return false;
    switch (key) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (m.settings.CRFiresTab) {
                leaveEditor(Leave::Forward);
            } else if (CommitCellEdit()) {
                m_moveState = 2;
                endEdit();
                m_moveState = 0;
            }
            return true;
        case Qt::Key_Escape:
            cancelEdit();
            return true;
        case Qt::Key_Down:
            if (CommitCellEdit()) {
                m_moveState = 1;
                moveEditTo(nextRow(m_editRow, true), m_editColumn);
            }
            return true;
        case Qt::Key_Up:
            if (CommitCellEdit()) {
                const int previous = previousRow(m_editRow);
                if (previous >= 0) {
                    m_moveState = 1;
                    moveEditTo(previous, m_editColumn);
                }
            }
            return true;
        case Qt::Key_Tab:
            leaveEditor(modifiers & Qt::ShiftModifier ? Leave::Backward : Leave::Forward);
            return true;
        case Qt::Key_Backtab:
            leaveEditor(Leave::Backward);
            return true;
        default:
            return false;
    }
}

void GridEditor::leaveEditor(Leave how)
{
    if (!CommitCellEdit()) {
        m_editor->setFocus(Qt::OtherFocusReason);
        return;
    }
    const int column = m_editColumn;
    if (how == Leave::Forward) {
        if (column < sharesColumn()) {
            moveEditTo(m_editRow, column + 1);
        } else {
            m_moveState = 2;
            const int next = nextRow(m_editRow, true);
            m_moveState = 3;
            moveEditTo(next, dateColumn());
        }
    } else if (how == Leave::Backward) {
        if (column > dateColumn()) {
            moveEditTo(m_editRow, column - 1);
        } else {
            const int previous = previousRow(m_editRow);
            if (previous < 0) {
                m_editor->setFocus(Qt::OtherFocusReason);
            } else {
                m_moveState = 2;
                m_moveState = 3;
                moveEditTo(previous, sharesColumn());
            }
        }
    }
}

void GridEditor::moveEditTo(int row, int column)
{
    // The editor stays open: the edit goes on in the new cell.
    setCurrent(row, column);
    m_moveState = 0;
    GridEdit();
}

void GridEditor::endEdit()
{
    if (m_help)
        m_help->hide();
    m_editing = false;
    m_editor->hide();
    if (m_formEnableToggle)
        m_formEnableToggle(true);
    m_grid.setFocus(Qt::OtherFocusReason);
    updateAvailability();
    emit editingChanged(false);
}

void GridEditor::cancelEdit()
{
    if (!m_editing)
        return;
    m_moveState = 4;
    endEdit();
    m_moveState = 0;
}

void GridEditor::showHelp(const QString& text)
{
    if (!m_help) {
        m_help = new QWidget(m_editorParent->window(), Qt::Tool);
        m_help->setObjectName(QStringLiteral("DataEntryHelp"));
        m_help->setWindowTitle(QStringLiteral("Data entry help"));
        m_help->setAttribute(Qt::WA_ShowWithoutActivating);
        m_helpLabel = new QLabel(m_help);
        m_helpLabel->setWordWrap(true);
        m_helpLabel->setTextFormat(Qt::PlainText);
        auto* layout = new QVBoxLayout(m_help);
        layout->addWidget(m_helpLabel);
        m_help->resize(380, 110);
    }
    m_helpLabel->setText(text);
    if (!m_help->isVisible()) {
        // Below the grid's top right corner, clear of the cell being edited.
        const QPoint corner = m_grid.mapToGlobal(QPoint(m_grid.width() - m_help->width(), 0));
        m_help->move(corner.x(), corner.y() - m_help->height() - 30);
        m_help->show();
    } else {
        m_help->raise();
    }
}

QString GridEditor::helpText() const
{
    return m_helpLabel ? m_helpLabel->text() : QString();
}

// ---------------------------------------------------------------------------
// Selection

bool GridEditor::blockMode() const
{
    return m_block && m_blockGeneration == m_model.generation();
}

void GridEditor::SetSelectionMode(bool block)
{
    m_block = block;
    m_blockGeneration = m_model.generation();
    if (!block) {
        const QModelIndex current = m_grid.currentIndex();
        if (current.isValid()) {
            m_selecting = true;
            m_grid.selectionModel()->select(current, QItemSelectionModel::ClearAndSelect);
            m_selecting = false;
        }
    }
    setBlockItems(!block);
}

void GridEditor::setBlockItems(bool enabled)
{
    enabled = enabled && m.file.isOpen();
    for (QAction* item : {m_items.mnuCopyCell, m_items.mnuSelectAll, m_items.mnuEditItem,
                          m_items.mnuInsertRows, m_items.mnuRowHeight, m_items.mnuRTHide})
        if (item)
            item->setEnabled(enabled);
}

GridEditor::Block GridEditor::block() const
{
    Block b;
    const QModelIndex current = m_grid.currentIndex();
    if (!current.isValid())
        return b;
    b.top = b.bottom = current.row();
    b.left = b.right = current.column();
    if (!blockMode())
        return b;
    for (const QItemSelectionRange& range : m_grid.selectionModel()->selection()) {
        b.top = std::min(b.top, range.top());
        b.bottom = std::max(b.bottom, range.bottom());
        b.left = std::min(b.left, range.left());
        b.right = std::max(b.right, range.right());
    }
    return b;
}

bool GridEditor::ConfirmAction(const QString& kind)
{
    SetSelectionMode(true);
    QString text;
    if (kind == QLatin1String("cells"))
        text = QStringLiteral("Should I clear these cells?");
    else if (kind == QLatin1String("paste"))
        text = QStringLiteral("Should I paste '") + m_copy.valueText() +
               QStringLiteral("' to these cells?");
    else
        text = QStringLiteral("Should I delete these rows?");
    return m.messages.askYesNo(text, true);
}

// ---------------------------------------------------------------------------
// Block commands

// Every record of the block's rows gets change(record, column) for each
// editable column of the block and is written at once; the grid rows follow,
// and the whole is one step that can be undone.
void GridEditor::rewriteBlock(const Block& b, const QString& what,
                              const std::function<void(TransactionRecord&, int)>& change)
{
    std::vector<std::int32_t> records;
    for (int r = b.top; r <= b.bottom; ++r)
        if (m_model.rowData(r) > 0)
            records.push_back(m_model.rowData(r));
    ChangeRecorder recorder(m.file, records);
    std::vector<GridStep> steps;
    for (int r = b.top; r <= b.bottom; ++r) {
        const std::int32_t n = m_model.rowData(r);
        if (n < 1)
            continue;
        if (!m.file.ReadRecord(n)) {
            writeFailed();
            break;
        }
        TransactionRecord record = m.file.RecordBuffer;
        for (int c = b.left; c <= b.right; ++c)
            if (m_model.gridColumn(c).editable)
                change(record, c);
        m.file.RecordBuffer = record;
        if (!m.file.WriteRecord(n)) {
            writeFailed();
            break;
        }
        const GridRow before = m_model.row(r);
        const GridRow after = rowWithRecord(before, record, n);
        m_model.setRow(r, after);
        steps.push_back({GridStep::Replace, r, before, after});
    }
    FileChange fileChange = recorder.finish();
    if (!steps.empty() || !fileChange.empty())
        pushEdit(what, std::move(fileChange), std::move(steps));
}

void GridEditor::mnuClearItem_Click()
{
    const Block b = block();
    if (b.bottom < 0 || m_editing)
        return;
    if (b.singleCell() && (m_model.rowData(b.top) < 1 || !editableAt(b.top, b.left)))
        return;
    if (refuseReadOnly(QStringLiteral("clear cells of")))
        return;
    if (m.settings.ConfirmDelete && !ConfirmAction(QStringLiteral("cells"))) {
        SetSelectionMode(false);
        return;
    }
    rewriteBlock(b, QStringLiteral("Clear cells"), [this](TransactionRecord& record, int column) {
        ClearField(record, fieldAt(column));
    });
    SetSelectionMode(false);
}

void GridEditor::mnuDeleteItem_Click()
{
    Block b = block();
    if (b.bottom < 0 || m_editing)
        return;
    if (b.top == b.bottom && m_model.rowData(b.top) < 1)
        return;
    if (refuseReadOnly(QStringLiteral("delete rows of")))
        return;
    // The whole rows, from the date column to the last.
    b.left = dateColumn();
    b.right = ColumnCount - 1;
    m_selecting = true;
    m_grid.selectionModel()->select(
        QItemSelection(m_model.index(b.top, b.left), m_model.index(b.bottom, b.right)),
        QItemSelectionModel::ClearAndSelect);
    m_selecting = false;
    if (m.settings.ConfirmDelete && !ConfirmAction(QStringLiteral("rows"))) {
        SetSelectionMode(false);
        return;
    }
    std::vector<std::int32_t> records;
    for (int r = b.top; r <= b.bottom; ++r)
        if (m_model.rowData(r) > 0)
            records.push_back(m_model.rowData(r));
    ChangeRecorder recorder(m.file, records);
    std::vector<GridStep> steps;
    bool removed = false;
    for (int r = b.bottom; r >= b.top; --r) {
        const std::int32_t n = m_model.rowData(r);
        if (n > 0) {
            const std::int32_t result = m.file.DeleteRecord(n);
            if (result != n && result != -1) {
                writeFailed();
                break;
            }
            if (m_model.rowCount() == 1) {
                m_model.insertRows(1, 1);
                steps.push_back({GridStep::Insert, 1, GridRow(), m_model.row(1)});
            }
        }
        if (n >= 0) {
            const GridRow before = m_model.row(r);
            m_model.removeRows(r, 1);
            steps.push_back({GridStep::Remove, r, before, GridRow()});
            removed = true;
        }
    }
    FileChange change = recorder.finish();
    if (!steps.empty() || !change.empty())
        pushEdit(QStringLiteral("Delete rows"), std::move(change), std::move(steps));
    if (removed) {
        const int top = std::clamp(m_grid.rowAt(0), 0, std::max(0, m_model.rowCount() - 1));
        setCurrent(top, dateColumn());
    }
    SetSelectionMode(false);
}

void GridEditor::mnuInsertRows_Click()
{
    const QModelIndex current = m_grid.currentIndex();
    if (m_editing || !current.isValid())
        return;
    if (refuseReadOnly(QStringLiteral("insert rows into")))
        return;
    const std::optional<QString> answer =
        m.input.ask(QStringLiteral("Input the # of rows to insert before the current row."),
                    m.ProgramTitle, QString());
    if (!answer || answer->isEmpty())
        return;
    const double wanted = Val(*answer);
    // A ledger is kept by hand: a few thousand empty rows at most.
    const int count = wanted >= 1 ? int(std::min(wanted, 10000.0)) : 0;
    if (count < 1)
        return;
    const int row = current.row();
    if (!m_model.insertRows(row, count))
        return;
    std::vector<GridStep> steps;
    for (int i = 0; i < count; ++i)
        steps.push_back({GridStep::Insert, row + i, GridRow(), m_model.row(row + i)});
    pushEdit(QStringLiteral("Insert rows"), FileChange{}, std::move(steps));
    setCurrent(row, current.column());
}

void GridEditor::mnuCopyCell_Click()
{
    const QModelIndex current = m_grid.currentIndex();
    if (!current.isValid())
        return;
    const GridRow& row = m_model.row(current.row());
    const Field field = fieldAt(current.column());
    const QString text = m_model.cellText(current.row(), current.column());
    CopyBuffer copy;
    if (field == Field::Date) {
        copy.kind = CopyBuffer::Date;
        copy.date = row.blank() || text.isEmpty() ? 0 : row.TransDate;
    } else if (field == Field::Desc) {
        copy.kind = CopyBuffer::Text;
        copy.text = text;
    } else {
        double value = 0;
        if (!text.isEmpty() && IsEditableField(field) && !row.blank()) {
            // The stored value, not the rounded one the cell shows.
            copy.kind = CopyBuffer::Number;
            copy.number = field == Field::Amount       ? row.Amount
                          : field == Field::SharePrice ? row.SharePrice
                                                       : row.Shares;
        } else if (ParseNumericEntry(text, &value)) {
            copy.kind = CopyBuffer::Number;
            copy.number = value;
        } else {
            copy.kind = CopyBuffer::Text;
            copy.text = text;
        }
    }
    m_copy = copy;
    // Other programs can paste it too.
    if (QClipboard* clipboard = QGuiApplication::clipboard())
        clipboard->setText(copy.valueText());
    updateAvailability();
}

void GridEditor::mnuPasteData_Click()
{
    const Block b = block();
    if (b.bottom < 0 || m_editing || m_copy.isEmpty())
        return;
    if (b.singleCell() && (m_model.rowData(b.top) < 1 || !editableAt(b.top, b.left)))
        return;
    if (refuseReadOnly(QStringLiteral("paste into")))
        return;
    if (m.settings.ConfirmDelete && !ConfirmAction(QStringLiteral("paste")))
        return;
    bool leftAlone = false;
    rewriteBlock(b, QStringLiteral("Paste"),
                 [this, &leftAlone](TransactionRecord& record, int column) {
                     if (!PasteIntoField(record, fieldAt(column), m_copy))
                         leftAlone = true;
                 });
    if (leftAlone)
        m.messages.show(QString::fromLatin1(PasteMismatch), ui::Icon::Exclamation);
    SetSelectionMode(false);
}

void GridEditor::mnuSelectAll_Click()
{
    const int rows = m_model.rowCount();
    if (rows < 1 || m_editing)
        return;
    const QModelIndex first = m_model.index(0, dateColumn());
    m_selecting = true;
    m_grid.selectionModel()->setCurrentIndex(first, QItemSelectionModel::NoUpdate);
    m_grid.selectionModel()->select(QItemSelection(first, m_model.index(rows - 1, ColumnCount - 1)),
                                    QItemSelectionModel::ClearAndSelect);
    m_selecting = false;
    SetSelectionMode(true);
}

// ---------------------------------------------------------------------------
// Availability, keys and the right-click menu

void GridEditor::updateAvailability()
{
    const bool focus = m_gridFocus && m.file.isOpen() && !m_editing;
    for (QAction* item :
         {m_items.mnuEditItem, m_items.mnuClearItem, m_items.mnuCopyCell, m_items.mnuPasteData,
          m_items.mnuInsertRows, m_items.mnuDeleteItem, m_items.mnuSelectAll, m_items.mnuRowHeight})
        if (item)
            item->setEnabled(focus);
    for (QPushButton* button : {m_items.editButton, m_items.clearButton, m_items.deleteButton})
        if (button)
            button->setEnabled(focus);
    if (m_items.mnuPasteData && m_copy.isEmpty())
        m_items.mnuPasteData->setEnabled(false);
    if (focus && blockMode())
        setBlockItems(false);
    const bool open = m.file.isOpen() && !m_editing;
    if (m_items.mnuUndo)
        m_items.mnuUndo->setEnabled(open && m_undo->canUndo());
    if (m_items.mnuRedo)
        m_items.mnuRedo->setEnabled(open && m_undo->canRedo());
}

void GridEditor::gridKey(QKeyEvent* key, bool* handled)
{
    *handled = false;
    if (m_editing)
        return;
    const int k = key->key();
    const Qt::KeyboardModifiers mods = key->modifiers();
    if (IsNavigationKey(k)) {
        if ((mods & Qt::ShiftModifier) && !blockMode()) {
            // The block grows from the current cell alone.
            SetSelectionMode(false);
            SetSelectionMode(true);
        }
        return;
    }
    const bool modifierOnly =
        k == Qt::Key_Shift || k == Qt::Key_Control || k == Qt::Key_Alt || k == Qt::Key_Meta;
    const bool selectAll = k == Qt::Key_A && (mods & Qt::ControlModifier);
    if (!modifierOnly && !selectAll && blockMode())
        SetSelectionMode(false);
    const QString text = key->text();
    if (!text.isEmpty() && text.at(0).isPrint() &&
        !(mods & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))) {
        GridEdit(text.at(0));
        *handled = true;
    }
}

bool GridEditor::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == &m_grid) {
        switch (event->type()) {
            case QEvent::KeyPress: {
                bool handled = false;
                gridKey(static_cast<QKeyEvent*>(event), &handled);
                if (handled)
                    return true;
                break;
            }
            case QEvent::FocusIn:
                m_gridFocus = true;
                updateAvailability();
                break;
            case QEvent::FocusOut: {
                const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
                // A menu opening over the grid leaves its commands available.
                if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason) {
                    m_gridFocus = false;
                    updateAvailability();
                }
                break;
            }
            default:
                break;
        }
    } else if (event->type() == QEvent::MouseButtonDblClick) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        QAbstractItemView* view = watched == m_grid.viewport()
                                      ? static_cast<QAbstractItemView*>(&m_grid)
                                      : m_grid.frozenView();
        const QModelIndex at = view->indexAt(mouse->position().toPoint());
        if (mouse->button() == Qt::LeftButton && at.isValid()) {
            setCurrent(at.row(), at.column());
            GridEdit();
            return true;
        }
    } else if (event->type() == QEvent::MouseButtonPress) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        // The right button opens the menu without moving the block.
        if (mouse->button() == Qt::RightButton)
            return true;
        if (mouse->button() == Qt::LeftButton &&
            !(mouse->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier)) && blockMode())
            SetSelectionMode(false);
    }
    return QObject::eventFilter(watched, event);
}

void GridEditor::rightClickGrid(const QPoint& viewportPos)
{
    if (m_editing || !m_items.mnuRightClick)
        return;
    const QModelIndex at = m_grid.indexAt(viewportPos);
    if (!at.isValid())
        return;
    const bool recordType = fieldAt(at.column()) == Field::RecordType;
    if (!recordType &&
        (m_model.rowData(at.row()) == -1 || !m_model.gridColumn(at.column()).editable))
        return;
    m_grid.setFocus(Qt::MouseFocusReason);
    if (!blockMode())
        setCurrent(at.row(), at.column());
    prepareRightClickMenu(true);
    m_menuPos = m_grid.viewport()->mapToGlobal(viewportPos);
    m_items.mnuRightClick->popup(m_menuPos);
}

void GridEditor::prepareRightClickMenu(bool overGrid)
{
    const EditItems& i = m_items;
    const QList<QAction*> all = {i.mnuRCEdit,      i.mnuRCClear,      i.mnuRCCopy,
                                 i.mnuRCPaste,     i.mnuRCInsertRows, i.mnuRCDelRow,
                                 i.mnuRCSelectAll, i.mnuRCRowHeight,  i.mnuRCDragDropHelp,
                                 i.mnuRCHowToEdit, i.mnuRCWhatsThis};
    for (QAction* item : all)
        if (item)
            item->setVisible(false);
    m_menuOverGrid = overGrid;
    const QModelIndex current = m_grid.currentIndex();
    const bool recordType = current.isValid() && fieldAt(current.column()) == Field::RecordType;
    if (!overGrid || recordType) {
        if (i.mnuRCWhatsThis)
            i.mnuRCWhatsThis->setVisible(true);
        return;
    }
    const std::pair<QAction*, QAction*> mirrored[] = {{i.mnuRCEdit, i.mnuEditItem},
                                                      {i.mnuRCCopy, i.mnuCopyCell},
                                                      {i.mnuRCPaste, i.mnuPasteData},
                                                      {i.mnuRCSelectAll, i.mnuSelectAll},
                                                      {i.mnuRCRowHeight, i.mnuRowHeight}};
    for (const auto& [item, main] : mirrored)
        if (item && main)
            item->setEnabled(main->isEnabled());
    for (QAction* item :
         {i.mnuRCEdit, i.mnuRCClear, i.mnuRCCopy, i.mnuRCPaste, i.mnuRCDelRow, i.mnuRCSelectAll,
          i.mnuRCHowToEdit, i.mnuRCRowHeight, i.mnuRCDragDropHelp})
        if (item)
            item->setVisible(true);
}

void GridEditor::rightClickElsewhere(QWidget* over, const QPoint& globalPos)
{
    if (m_editing || !m_items.mnuRightClick)
        return;
    m_menuControl = over;
    prepareRightClickMenu(false);
    m_menuPos = globalPos;
    m_items.mnuRightClick->popup(globalPos);
}

QWidget* GridEditor::menuControl() const
{
    return m_menuOverGrid ? static_cast<QWidget*>(&m_grid) : m_menuControl.data();
}

// ---------------------------------------------------------------------------
// Undo and redo

void GridEditor::pushEdit(const QString& text, FileChange change, std::vector<GridStep> steps)
{
    m_undo->push(
        new LedgerEdit(*this, text, std::move(change), std::move(steps), m_model.generation()));
}

void GridEditor::resetUndo()
{
    m_undo->clear();
    updateAvailability();
}

void GridEditor::applyEdit(LedgerEdit& edit, bool forward)
{
    cancelEdit();
    if (!edit.change.empty()) {
        const bool ok =
            forward ? RedoFileChange(m.file, edit.change) : UndoFileChange(m.file, edit.change);
        if (!ok)
            writeFailed();
    }
    if (edit.generation != m_model.generation()) {
        // The ledger was listed since: list it again from the file.
        if (!edit.change.empty() && m_relist)
            m_relist();
        return;
    }
    int focusRow = -1;
    auto apply = [this, &focusRow](const GridStep& step, bool ahead) {
        switch (step.kind) {
            case GridStep::Replace:
                m_model.setRow(step.row, ahead ? step.after : step.before);
                break;
            case GridStep::Insert:
                if (ahead)
                    m_model.insertGridRow(step.row, step.after);
                else
                    m_model.removeRows(step.row, 1);
                break;
            case GridStep::Remove:
                if (ahead)
                    m_model.removeRows(step.row, 1);
                else
                    m_model.insertGridRow(step.row, step.before);
                break;
        }
        focusRow = step.row;
    };
    if (forward) {
        for (const GridStep& step : edit.steps)
            apply(step, true);
    } else {
        for (auto it = edit.steps.rbegin(); it != edit.steps.rend(); ++it)
            apply(*it, false);
    }
    if (focusRow >= 0 && m_model.rowCount() > 0) {
        const QModelIndex current = m_grid.currentIndex();
        const int column = current.isValid() ? current.column() : dateColumn();
        setCurrent(std::min(focusRow, m_model.rowCount() - 1), column);
        SetSelectionMode(false);
    }
}

}  // namespace brisden::grid
