#pragma once
// frmPelmar: the program's main window. It lays out the controls, describes
// its menus and lets each feature put in its own commands; it runs the
// deferred start and writes the window and grid settings back when it closes.

#include "shell/widgets/MainControls.h"
#include "shell/widgets/MainFeatures.h"
#include "shell/widgets/Program.h"
#include "ui/Help.h"
#include "ui/Interaction.h"
#include "ui/widgets/WidgetInteraction.h"

#include <QMainWindow>
#include <functional>
#include <memory>

class QAction;
class QLineEdit;
class QMenu;
class QTimer;

namespace brisden {

class DateWatch;
class LogDisplay;
class NoticesWindow;
class RecordTypesWindow;
class WindowCommands;
namespace ui {
class CommandHost;
}

class MainWindow final : public QMainWindow {
    Q_OBJECT
public:
    // Creates the window for the settings already read: the grid's columns,
    // the data row height, the window state.
    explicit MainWindow(Program& program, QWidget* parent = nullptr);
    ~MainWindow() override;

    Program& program() { return m_p; }

    // What the tests replace.
    void setMessageBox(ui::IMessageBox* messages);
    void setInputBox(ui::IInputBox* input);
    // Opens the session log (the desktop's text viewer, else the program's
    // own log window, by default).
    void setDisplayLog(std::function<void()> displayLog) { m_displayLog = std::move(displayLog); }

    // The first activation arms the start timer with the command line's delay.
    void setCommandLine(const QString& commandLine) { m_commandLine = commandLine; }
    QString Tag;  // "1" until the first activation
    int startDelay() const { return m_startDelay; }
    bool startDone() const { return m_startDone; }
    // Runs the deferred start at once (tests).
    void runDeferredStart();
    // A later copy of the program asked for the window.
    void bringToFront();

    void FormEnableToggle(bool enabled);
    void EnableFileControls(bool enabled);
    void UpdateCaption();
    void LogSession(const QString& message, bool display = false, bool wait = false,
                    bool showButtons = false);
    // While a listing runs, commands that would change or reopen the file
    // wait; the close box asks the listing to stop first.
    bool busy() const { return m_f->busy(); }

    QAction* action(const QString& name) const;  // a menu item by its name
    FileCommands& fileCommands() const { return *m_f->files; }
    grid::LedgerCommands& ledger() const { return *m_f->ledger; }
    ImportCommands& importCommands() const { return *m_f->import; }
    grid::GridEditor& editor() const { return *m_f->editor; }
    DateWatch& dateWatch() const { return *m_dateWatch; }
    chart::ChartCommands& charts() const { return *m_f->charts; }
    LogDisplay& logDisplay() const { return *m_logDisplay; }
    ReportPrinting& reportPrinting() const { return *m_f->printing; }
    ListCommands& listCommands() const { return *m_f->list; }
    BasisCommands& basisCommands() const { return *m_f->basis; }
    // The manual, topics and pop-up texts; windows take help() for their
    // Help buttons.
    help::HelpCommands& helpCommands() const { return *m_f->help; }
    ui::IHelp& help() const;
    prefs::PreferencesCommands& preferences() const { return *m_f->prefs; }

    grid::LedgerGrid* grid() const { return m_c.grid; }
    grid::LedgerModel* gridModel() const { return m_c.model; }
    grid::SummaryPanel* summaryPanel() const { return m_c.summary; }
    QLineEdit* sharePriceBox() const;
    QLabel* portfolioLabel() const { return m_c.portfolioValue; }
    QLabel* fileLabel() const { return m_c.fileValue; }
    QLabel* dateLabel() const { return m_c.dateValue; }
    QGroupBox* gridControlFrame() const { return m_c.frame2; }
    QPushButton* command1(int index) const { return m_c.command1[index]; }
    QPushButton* command7(int index) const { return m_c.command7[index]; }
    QMenu* rightClickMenu() const;
    QMenu* transactionsMenu() const;
    NoticesWindow* noticesWindow() const { return m_notices; }
    RecordTypesWindow* recordTypesWindow() const { return m_recordTypes; }

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void installCommands();
    void Timer2_Timer();
    void portfolioOpened();
    void fileOpened();
    void dateChanged();
    void showLog();
    void writeSettingsAtExit();

    Program& m_p;

    // The widget boxes, or what the tests put in their place.
    ui::WidgetMessageBox m_widgetMessages;
    ui::WidgetInputBox m_widgetInput;
    ui::MessageRouter m_messages;
    ui::InputRouter m_input;
    std::function<void()> m_displayLog;
    LogDisplay* m_logDisplay = nullptr;

    MainControls m_c;
    ui::CommandHost* m_commands = nullptr;
    WindowCommands* m_own = nullptr;
    std::unique_ptr<MainFeatures> m_f;
    DateWatch* m_dateWatch = nullptr;
    NoticesWindow* m_notices = nullptr;
    RecordTypesWindow* m_recordTypes = nullptr;

    QTimer* m_timer2 = nullptr;  // the deferred start
    bool m_startDone = false;
    bool m_closing = false;
    bool m_systemShutdown = false;
    int m_startDelay = 100;
    QString m_commandLine;
};

}  // namespace brisden
