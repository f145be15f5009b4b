#pragma once
// Editing the ledger in the grid: the cell editor laid over the current cell
// (txtEntry) with its keys and the data entry help window, the commands on a
// block of cells or rows (clear, delete, insert, copy and paste, select all),
// the grid's two selection modes, which commands are available by focus and
// mode, the right-click menu, and undo and redo of every change. Each change
// is written to the investment file at once.

#include "grid/CellEntry.h"
#include "grid/LedgerRows.h"
#include "grid/RecordChanges.h"
#include "ui/Interaction.h"

#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QString>
#include <cstdint>
#include <functional>
#include <vector>

class QAction;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QUndoStack;
class QWidget;

namespace brisden {

class InvestmentFile;
class Settings;

namespace ui {
class CommandHost;
}

namespace grid {

class LedgerGrid;
class LedgerModel;

struct GridEditorContext {
    InvestmentFile& file;
    const Settings& settings;  // ConfirmDelete, CRFiresTab
    ui::IMessageBox& messages;
    ui::IInputBox& input;
    QString ProgramTitle;
    ui::ILogSink* log = nullptr;  // where refused changes are noted
};

// The menu items and buttons the editing commands run from, enable and show.
struct EditItems {
    QAction* mnuEditItem = nullptr;
    QAction* mnuClearItem = nullptr;
    QAction* mnuCopyCell = nullptr;
    QAction* mnuPasteData = nullptr;
    QAction* mnuInsertRows = nullptr;
    QAction* mnuDeleteItem = nullptr;
    QAction* mnuSelectAll = nullptr;
    QAction* mnuRowHeight = nullptr;  // the submenu's item
    QAction* mnuRTHide = nullptr;
    QAction* mnuUndo = nullptr;
    QAction* mnuRedo = nullptr;
    QPushButton* editButton = nullptr;
    QPushButton* clearButton = nullptr;
    QPushButton* deleteButton = nullptr;
    // The right-click menu and its items.
    QMenu* mnuRightClick = nullptr;
    QAction* mnuRCEdit = nullptr;
    QAction* mnuRCClear = nullptr;
    QAction* mnuRCCopy = nullptr;
    QAction* mnuRCPaste = nullptr;
    QAction* mnuRCInsertRows = nullptr;
    QAction* mnuRCDelRow = nullptr;
    QAction* mnuRCSelectAll = nullptr;
    QAction* mnuRCRowHeight = nullptr;  // the submenu's item
    QAction* mnuRCDragDropHelp = nullptr;
    QAction* mnuRCHowToEdit = nullptr;
    QAction* mnuRCWhatsThis = nullptr;
};

// One change of the grid's rows as a command made it: a row replaced, a row
// inserted (after) or a row removed (before).
struct GridStep {
    enum Kind { Replace, Insert, Remove };
    Kind kind = Replace;
    int row = 0;
    GridRow before;
    GridRow after;
};

class LedgerEdit;

class GridEditor final : public QObject {
    Q_OBJECT
public:
    // The editor is laid over the grid as a child of editorParent, which the
    // window leaves enabled while it freezes everything else
    // (formEnableToggle); relist lists the ledger again; busy tells whether
    // a listing runs.
    GridEditor(const GridEditorContext& context, LedgerGrid& grid, LedgerModel& model,
               QWidget* editorParent, std::function<void(bool)> formEnableToggle,
               std::function<void()> relist, std::function<bool()> busy);
    ~GridEditor() override;

    // The editing items of the Edit and Transactions menus and of the
    // right-click menu, and the three buttons that twin them; the editor
    // then enables and shows all the grid's items by focus and mode.
    void installCommands(ui::CommandHost& host, QPushButton* editButton, QPushButton* clearButton,
                         QPushButton* deleteButton);
    void setItems(const EditItems& items);

    // --- cell editing ----------------------------------------------------
    // Begins editing the current cell; startKey is the typed character, or 0
    // when a command started the edit.
    void GridEdit(QChar startKey = QChar());
    // Checks the entry, stores it and writes the record; false when the
    // entry was refused or could not be written (the editor stays open).
    bool CommitCellEdit();
    // Esc: the edit ends and nothing is written.
    void cancelEdit();
    bool editing() const;
    QLineEdit* editor() const { return m_editor; }
    QWidget* helpWindow() const { return m_help; }
    QString helpText() const;
    int moveState() const { return m_moveState; }
    std::int32_t lastDate() const { return m_lastDate; }
    QString lastDescription() const { return m_lastDesc; }
    void setLastDate(std::int32_t ymd) { m_lastDate = ymd; }

    // --- selection and block commands ------------------------------------
    void SetSelectionMode(bool block);
    bool blockMode() const;
    // The block: first and last row, first and last column (model numbers).
    struct Block {
        int top = 0, bottom = -1, left = 0, right = -1;
        bool singleCell() const { return top == bottom && left == right; }
    };
    Block block() const;
    bool ConfirmAction(const QString& kind);
    void mnuClearItem_Click();
    void mnuDeleteItem_Click();
    void mnuInsertRows_Click();
    void mnuCopyCell_Click();
    void mnuPasteData_Click();
    void mnuSelectAll_Click();
    const CopyBuffer& copyBuffer() const { return m_copy; }

    // --- availability and the right-click menu ----------------------------
    // Enables the editing commands by the grid's focus, the copy buffer and
    // the selection mode.
    void updateAvailability();
    // The right mouse button over the grid at a point of its viewport.
    void rightClickGrid(const QPoint& viewportPos);
    // Prepares the right-click menu for the control it opens over (the grid
    // or anything else).
    void prepareRightClickMenu(bool overGrid);
    // The right mouse button over another control of the window.
    void rightClickElsewhere(QWidget* over, const QPoint& globalPos);
    // The control the right-click menu last opened over (the grid or
    // another control of the window) and the point where it opened: the
    // "What's this?" pop-up appears there.
    QWidget* menuControl() const;
    QPoint menuPos() const { return m_menuPos; }

    // --- undo -------------------------------------------------------------
    QUndoStack* undoStack() const { return m_undo; }
    // Another file was opened, restored or rebuilt: nothing to undo.
    void resetUndo();

signals:
    void editingChanged(bool editing);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // "Edit selected cell", "Edit Cell": editing begins without a typed key.
    void editCommand() { GridEdit(); }
    friend class LedgerEdit;
    enum class Leave { Forward, Backward, Elsewhere };
    bool editorKey(int key, Qt::KeyboardModifiers modifiers);
    void leaveEditor(Leave how);
    void endEdit();
    void ChangeCellText();
    void moveEditTo(int row, int column);
    int nextRow(int row, bool appendAtEnd);
    int previousRow(int row) const;
    int dateColumn() const;
    int sharesColumn() const;
    Field fieldAt(int column) const;
    bool editableAt(int row, int column) const;
    void setCurrent(int row, int column);
    void showHelp(const QString& text);
    void rewriteBlock(const Block& b, const QString& what,
                      const std::function<void(TransactionRecord&, int)>& change);
    // A file viewed read-only takes no change: says so (naming the file and
    // the reason) and returns true.
    bool refuseReadOnly(const QString& command);
    void writeFailed();
    void gridKey(QKeyEvent* key, bool* handled);
    void setBlockItems(bool enabled);
    void applyEdit(LedgerEdit& edit, bool forward);
    void pushEdit(const QString& text, FileChange change, std::vector<GridStep> steps);
    GridRow rowWithRecord(const GridRow& old, const TransactionRecord& record,
                          std::int32_t recNo) const;

    GridEditorContext m;
    LedgerGrid& m_grid;
    LedgerModel& m_model;
    QWidget* m_editorParent;
    std::function<void(bool)> m_formEnableToggle;
    std::function<void()> m_relist;
    std::function<bool()> m_busy;
    EditItems m_items;

    QLineEdit* m_editor = nullptr;
    QPointer<QWidget> m_help;
    QLabel* m_helpLabel = nullptr;
    TransactionRecord m_record;       // the edited record
    std::int32_t m_editedRecord = 0;  // < 1 for a row without record
    int m_editRow = -1;
    int m_editColumn = -1;
    std::int32_t m_lastDate = 0;
    QString m_lastDesc = QString(9, QLatin1Char(' '));
    int m_moveState = 0;
    bool m_editing = false;
    bool m_inCommit = false;
    bool m_gridFocus = false;
    bool m_menuOverGrid = false;
    QPointer<QWidget> m_menuControl;
    QPoint m_menuPos;

    bool m_block = false;
    int m_blockGeneration = -1;
    bool m_selecting = false;
    CopyBuffer m_copy;

    QUndoStack* m_undo = nullptr;
};

}  // namespace grid
}  // namespace brisden
