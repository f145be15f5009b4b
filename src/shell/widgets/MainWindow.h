#pragma once
// frmPelmar: the program's main window. It lays out the ledger grid with the
// controls around it, creates the menus and the right-click menu, and wires
// each command to the feature that owns it (files and backups, the ledger on
// the screen, the date watch). It runs the deferred start and writes the
// window and grid settings back when it closes.

#include "shell/widgets/Program.h"
#include "ui/Help.h"
#include "ui/Interaction.h"
#include "ui/widgets/WidgetInteraction.h"

#include <QMainWindow>
#include <functional>
#include <memory>

class QAction;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QTimer;

namespace brisden {

class BasisCommands;
class DateWatch;
class ListCommands;
class LogDisplay;
class ReportPrinting;
class FileCommands;
class ImportCommands;
class NoticesWindow;
class RecordTypesWindow;
namespace help {
class HelpCommands;
}  // namespace help
namespace chart {
class ChartCommands;
}
namespace grid {
class GridEditor;
class LedgerCommands;
class LedgerGrid;
class LedgerModel;
class SummaryPanel;
}  // namespace grid
namespace prefs {
class PreferencesCommands;
}

// The window's menu commands. Features connect their own handlers to them;
// the window enables them.
struct MainActions {
    // File
    QAction* mnuPortfolioItem = nullptr;
    QAction* mnuOpenItem = nullptr;
    QAction* mnuSaveData = nullptr;
    QAction* mnuRestore = nullptr;
    QAction* mnuRebuildItem = nullptr;
    QAction* mnuLogItem = nullptr;
    QAction* mnuExitItem = nullptr;
    // Edit
    QAction* mnuUndo = nullptr;
    QAction* mnuRedo = nullptr;
    // Transactions
    QAction* mnuEditItem = nullptr;
    QAction* mnuClearItem = nullptr;
    QAction* mnuCopyCell = nullptr;
    QAction* mnuPasteData = nullptr;
    QAction* mnuInsertRows = nullptr;
    QAction* mnuDeleteItem = nullptr;
    QAction* mnuSelectAll = nullptr;
    QAction* mnuListItem = nullptr;
    QAction* mnuBasisItem = nullptr;
    QAction* mnuImportItem = nullptr;
    QAction* mnuChartItem = nullptr;
    QAction* mnuRTHide = nullptr;
    QAction* mnuRefreshItem = nullptr;
    // Options
    QAction* mnuPreferencesItem = nullptr;
    QAction* mnuTickmoor = nullptr;
    QAction* mnuRecordTypeItem = nullptr;
    QAction* mnuGridControlItem = nullptr;
    QAction* mnuRowHeightSet = nullptr;
    QAction* mnuRowHeightReset = nullptr;
    // Help
    QAction* mnuUserManualItem = nullptr;
    QAction* mnuWhatsThisMode = nullptr;
    QAction* mnuAboutItem = nullptr;
    // The grid's right-click menu
    QAction* mnuRCEdit = nullptr;
    QAction* mnuRCClear = nullptr;
    QAction* mnuRCCopy = nullptr;
    QAction* mnuRCPaste = nullptr;
    QAction* mnuRCInsertRows = nullptr;
    QAction* mnuRCDelRow = nullptr;
    QAction* mnuRCSelectAll = nullptr;
    QAction* mnuRCDragDropHelp = nullptr;
    QAction* mnuRCHowToEdit = nullptr;
    QAction* mnuRCWhatsThis = nullptr;
    QAction* mnuRCRowHeightSet = nullptr;
    QAction* mnuRCRowHeightReset = nullptr;
};

class MainWindow final : public QMainWindow {
    Q_OBJECT
public:
    // Creates the window for the settings already read: the grid's columns,
    // the data row height, the window state.
    explicit MainWindow(Program& program, QWidget* parent = nullptr);
    ~MainWindow() override;

    Program& program() { return m_p; }

    // --- what the tests replace ---------------------------------------
    void setMessageBox(ui::IMessageBox* messages);
    void setInputBox(ui::IInputBox* input);
    // Opens the session log (the desktop's text viewer, else the program's
    // own log window, by default).
    void setDisplayLog(std::function<void()> displayLog) { m_displayLog = std::move(displayLog); }

    // --- start --------------------------------------------------------
    // The first activation arms the start timer with the delay of the
    // command line.
    void setCommandLine(const QString& commandLine) { m_commandLine = commandLine; }
    QString Tag;  // "1" until the first activation
    int startDelay() const { return m_startDelay; }
    bool startDone() const { return m_startDone; }
    // Runs the deferred start at once (tests).
    void runDeferredStart();
    // A later copy of the program asked for the window.
    void bringToFront();

    // --- the window's operations ----------------------------------------
    void FormEnableToggle(bool enabled);
    void EnableFileControls(bool enabled);
    void UpdateCaption();
    void LogSession(const QString& message, bool display = false, bool wait = false,
                    bool showButtons = false);
    // While a listing runs, commands that would change or reopen the file
    // wait; the close box asks the listing to stop first.
    bool busy() const;

    // --- the features -------------------------------------------------
    const MainActions& actions() const { return m_actions; }
    QAction* action(const QString& name) const;  // by object name (tests)
    FileCommands& fileCommands() const { return *m_files; }
    grid::LedgerCommands& ledger() const { return *m_ledger; }
    ImportCommands& importCommands() const { return *m_import; }
    grid::GridEditor& editor() const { return *m_editor; }
    DateWatch& dateWatch() const { return *m_dateWatch; }
    chart::ChartCommands& charts() const { return *m_charts; }
    LogDisplay& logDisplay() const { return *m_logDisplay; }
    ReportPrinting& reportPrinting() const { return *m_printing; }
    ListCommands& listCommands() const { return *m_list; }
    BasisCommands& basisCommands() const { return *m_basis; }
    // The manual, topics and pop-up texts; windows take help() for their
    // Help buttons.
    help::HelpCommands& helpCommands() const { return *m_help; }
    ui::IHelp& help() const;
    prefs::PreferencesCommands& preferences() const { return *m_prefs; }

    // --- controls -----------------------------------------------------
    grid::LedgerGrid* grid() const { return m_grid; }
    grid::LedgerModel* gridModel() const { return m_model; }
    grid::SummaryPanel* summaryPanel() const { return m_summary; }
    QLineEdit* sharePriceBox() const;
    QLabel* portfolioLabel() const { return m_portfolioValue; }
    QLabel* fileLabel() const { return m_fileValue; }
    QLabel* dateLabel() const { return m_dateValue; }
    QGroupBox* gridControlFrame() const { return m_frame2; }
    QPushButton* command1(int index) const { return m_command1[index]; }
    QPushButton* command7(int index) const { return m_command7[index]; }
    QMenu* rightClickMenu() const { return m_rightClick; }
    // The menus the later commands join (listing, editing, import, charts...).
    QMenu* fileMenu() const { return m_mnuFile; }
    QMenu* transactionsMenu() const { return m_mnuTransactions; }
    QMenu* optionsMenu() const { return m_mnuOptions; }
    NoticesWindow* noticesWindow() const { return m_notices; }
    RecordTypesWindow* recordTypesWindow() const { return m_recordTypes; }

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void buildMenus();
    void wireCommands();
    // Connects a command to its handler; the handler does not run while the
    // window is busy.
    void onCommand(QAction* action, std::function<void()> handler);
    void onCommand(QPushButton* button, std::function<void()> handler);
    void AttachMenuPictures();
    void restoreWindowPosition();
    // Moves the window to topLeft, inside the screen's available area.
    void Timer2_Timer();
    void portfolioOpened();
    void fileOpened();
    void dateChanged();
    void showLog();
    void startTickmoor();
    void toggleRecordTypesLegend();
    void toggleGridControlFrame();
    void writeSettingsAtExit();

    Program& m_p;

    // Screen answers: the widget boxes, or what the tests put in their place.
    ui::WidgetMessageBox m_widgetMessages;
    ui::WidgetInputBox m_widgetInput;
    ui::MessageRouter m_messages;
    ui::InputRouter m_input;
    std::function<void()> m_displayLog;
    LogDisplay* m_logDisplay = nullptr;

    MainActions m_actions;
    FileCommands* m_files = nullptr;
    grid::LedgerCommands* m_ledger = nullptr;
    ImportCommands* m_import = nullptr;
    grid::GridEditor* m_editor = nullptr;
    DateWatch* m_dateWatch = nullptr;
    std::unique_ptr<ReportPrinting> m_printing;
    ListCommands* m_list = nullptr;
    BasisCommands* m_basis = nullptr;
    help::HelpCommands* m_help = nullptr;
    prefs::PreferencesCommands* m_prefs = nullptr;
    chart::ChartCommands* m_charts = nullptr;

    // Controls.
    grid::LedgerModel* m_model = nullptr;
    grid::LedgerGrid* m_grid = nullptr;
    grid::SummaryPanel* m_summary = nullptr;
    QMainWindow* m_gridArea = nullptr;
    QGroupBox* m_frame2 = nullptr;
    QPushButton* m_command1[4] = {};
    QPushButton* m_command7[3] = {};
    QLabel* m_portfolioValue = nullptr;
    QLabel* m_fileValue = nullptr;
    QLabel* m_dateValue = nullptr;
    QMenu* m_rightClick = nullptr;
    QMenu* m_mnuFile = nullptr;
    QMenu* m_mnuEdit = nullptr;
    QMenu* m_mnuTransactions = nullptr;
    QMenu* m_mnuOptions = nullptr;
    QMenu* m_mnuRowHeight = nullptr;
    QMenu* m_mnuRCRowHeight = nullptr;
    NoticesWindow* m_notices = nullptr;
    RecordTypesWindow* m_recordTypes = nullptr;

    // The deferred start (Timer2).
    QTimer* m_timer2 = nullptr;

    qint64 m_tickmoorTask = 0;
    bool m_startDone = false;
    bool m_closing = false;
    bool m_systemShutdown = false;
    int m_startDelay = 100;
    QString m_commandLine;
};

}  // namespace brisden
