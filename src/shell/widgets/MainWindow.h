#pragma once
// frmPelmar: the program's main window. It holds the ledger grid of the
// current investment file with the controls around it, the menus and the
// right-click menu, the deferred start, the date watch and the automatic
// backup timer, and writes the window and grid settings back when it closes.

#include "analysis/RecordTypes.h"
#include "data/Backup.h"
#include "grid/widgets/LedgerGrid.h"
#include "grid/widgets/LedgerModel.h"
#include "shell/widgets/Program.h"
#include "shell/widgets/ScreenListing.h"
#include "ui/Interaction.h"
#include "ui/widgets/WidgetInteraction.h"

#include <QElapsedTimer>
#include <QDateTime>
#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <memory>
#include <optional>

class QAction;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QTimer;

namespace brisden {

class FileDisplay;
class DescriptionInputBox;
class NoticesWindow;
class RecordTypesWindow;
namespace grid {
class RecordTypeFilter;
}

// Passes every question on to the box in force (the tests put fakes there).
class MessageRouter final : public ui::IMessageBox {
public:
    explicit MessageRouter(ui::IMessageBox* target) : m_target(target) {}
    void setTarget(ui::IMessageBox* target) { m_target = target; }
    void show(const QString& text, ui::Icon icon) override { m_target->show(text, icon); }
    bool askYesNo(const QString& text, bool defaultNo) override
    {
        return m_target->askYesNo(text, defaultNo);
    }
    void beep() override { m_target->beep(); }

private:
    ui::IMessageBox* m_target;
};

class InputRouter final : public ui::IInputBox {
public:
    explicit InputRouter(ui::IInputBox* target) : m_target(target) {}
    void setTarget(ui::IInputBox* target) { m_target = target; }
    std::optional<QString> ask(const QString& prompt, const QString& title,
                               const QString& defaultText) override
    {
        return m_target->ask(prompt, title, defaultText);
    }

private:
    ui::IInputBox* m_target;
};

class MainWindow final : public QMainWindow {
    Q_OBJECT
public:
    // Creates the window for the settings already read (Form_Initialize and
    // Form_Load): the grid's columns, the data row height, the window state.
    explicit MainWindow(Program& program, QWidget* parent = nullptr);
    ~MainWindow() override;

    Program& program() { return m_p; }

    // --- what the tests replace ---------------------------------------
    void setMessageBox(ui::IMessageBox* messages);
    void setInputBox(ui::IInputBox* input);
    // The description question of the portfolio window.
    void setDescriptionInput(ui::IInputBox* input);
    using ChooseFile = std::function<QString(QWidget* parent, const QString& startPath)>;
    // "Select a portfolio file" ("" when cancelled).
    void setChoosePortfolio(ChooseFile chooser) { m_choosePortfolio = std::move(chooser); }
    // "Select an investment file" of the rebuild command.
    void setChooseRebuildFile(ChooseFile chooser) { m_chooseRebuildFile = std::move(chooser); }
    // "Select record types to display": the ticked codes, nullopt for Cancel.
    void setChooseRecordTypes(std::function<std::optional<QString>()> chooser)
    {
        m_chooseRecordTypes = std::move(chooser);
    }
    // Opens the session log (the system's text editor by default).
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
    void ClearGrid();
    void ClearSummary();
    void SetAutoSaveTimer(bool stop);
    void UpdateCaption();
    void LogSession(const QString& message, bool display = false, bool wait = false,
                    bool showButtons = false);
    // Lists the current file into the grid (destination 1).
    void ListLedger();
    // Builds the grid's columns again and applies the grid settings (record
    // type column, fixed columns, widths, row height, colours, lines, font);
    // for the preferences dialog.
    void ApplyGridSettings();

    // --- menu commands --------------------------------------------------
    void mnuPortfolioItem_Click();
    void mnuOpenItem_Click();
    void mnuSaveData_Click();
    void mnuRestore_Click();
    void mnuRebuildItem_Click();
    void mnuLogItem_Click();
    void mnuRefreshItem_Click();
    void mnuRTHide_Click();
    void mnuTickmoor_Click();
    void mnuRecordTypeItem_Click();
    void mnuGridControlItem_Click();
    void mnuRowHeightSet_Click();
    void mnuRowHeightReset_Click();

    // The date watch (Timer1).
    void Timer1_Timer();

    // --- controls -----------------------------------------------------
    grid::LedgerGrid* grid() const { return m_grid; }
    grid::LedgerModel* gridModel() const { return m_model; }
    QLineEdit* sharePriceBox() const { return m_txtSharePrice; }
    const SummaryLabels& summaryLabels() const { return m_summary; }
    QLabel* portfolioLabel() const { return m_portfolioValue; }
    QLabel* fileLabel() const { return m_fileValue; }
    QLabel* dateLabel() const { return m_dateValue; }
    QGroupBox* gridControlFrame() const { return m_frame2; }
    QPushButton* command1(int index) const { return m_command1[index]; }
    QPushButton* command7(int index) const { return m_command7[index]; }
    QAction* action(const QString& name) const;
    QMenu* rightClickMenu() const { return m_rightClick; }
    // The menus the later commands join (listing, editing, import, charts...).
    QMenu* fileMenu() const { return m_mnuFile; }
    QMenu* transactionsMenu() const { return m_mnuTransactions; }
    QMenu* optionsMenu() const { return m_mnuOptions; }
    NoticesWindow* noticesWindow() const { return m_notices; }
    RecordTypesWindow* recordTypesWindow() const { return m_recordTypes; }
    FileDisplay* portfolioWindow();
    bool cancelRequested() const { return m_cancelRequested; }
    bool autoSaveRunning() const;
    int autoSavePeriod() const { return m_autoSavePeriod; }
    int dateWatchDay() const { return m_dateWatchDay; }
    int dateWatchInterval() const;
    Backup& backup() { return *m_backup; }
    // Rows listed by the last listing (without the empty last row).
    int listedRows() const;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Form_Initialize();
    void Form_Load();
    void Form_Activate();
    void Timer2_Timer();
    void buildControls();
    void buildMenus();
    void AttachMenuPictures();
    grid::GridAppearance gridAppearance() const;
    void restoreWindowPosition();
    void probeClock();
    void txtSharePrice_Enter();
    void writeSettingsAtExit();

    Program& m_p;

    // Screen answers: the widget boxes, or what the tests put in their place.
    ui::WidgetMessageBox m_widgetMessages;
    ui::WidgetInputBox m_widgetInput;
    std::unique_ptr<DescriptionInputBox> m_descriptionBox;
    MessageRouter m_messages;
    InputRouter m_input;
    InputRouter m_descriptionInput;
    std::unique_ptr<ui::WidgetCancelPoll> m_cancelPoll;
    std::unique_ptr<Backup> m_backup;

    ChooseFile m_choosePortfolio;
    ChooseFile m_chooseRebuildFile;
    std::function<std::optional<QString>()> m_chooseRecordTypes;
    std::function<void()> m_displayLog;

    // Controls.
    grid::LedgerModel* m_model = nullptr;
    grid::LedgerGrid* m_grid = nullptr;
    QGroupBox* m_frame2 = nullptr;
    QPushButton* m_command1[4] = {};
    QPushButton* m_command7[3] = {};
    QGroupBox* m_frame3 = nullptr;
    SummaryLabels m_summary;
    QLineEdit* m_txtSharePrice = nullptr;
    QLabel* m_priceprompt = nullptr;
    QLabel* m_portfolioValue = nullptr;
    QLabel* m_fileValue = nullptr;
    QLabel* m_dateValue = nullptr;
    QMenu* m_rightClick = nullptr;
    QMenu* m_mnuFile = nullptr;
    QMenu* m_mnuTransactions = nullptr;
    QMenu* m_mnuOptions = nullptr;
    QMenu* m_mnuRowHeight = nullptr;
    QMenu* m_mnuRCRowHeight = nullptr;
    NoticesWindow* m_notices = nullptr;
    RecordTypesWindow* m_recordTypes = nullptr;
    FileDisplay* m_fileDisplay = nullptr;
    grid::RecordTypeFilter* m_recordTypeFilter = nullptr;
    std::unique_ptr<ScreenListing> m_screen;
    std::unique_ptr<PriceBox> m_priceBox;

    // Timers: the date watch, the deferred start, the automatic backup and
    // the clock probe behind the date watch.
    QTimer* m_timer1 = nullptr;
    QTimer* m_timer2 = nullptr;
    QTimer* m_autoSaveTimer = nullptr;
    QTimer* m_clockProbe = nullptr;

    // Window-level state.
    bool m_cancelRequested = false;
    int m_dateWatchDay = 0;
    int m_autoSavePeriod = 0;
    qint64 m_tickmoorTask = 0;
    bool m_listing = false;
    bool m_startDone = false;
    bool m_closing = false;
    bool m_systemShutdown = false;
    int m_startDelay = 100;
    QString m_commandLine;
    // Clock probe: the date and the wall clock against a steady clock.
    QDate m_probeDate;
    qint64 m_probeWall = 0;
    qint64 m_probeSteady = 0;
    QElapsedTimer m_steady;
};

}  // namespace brisden
