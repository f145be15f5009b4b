#include "shell/widgets/MainWindow.h"

#include "basis/widgets/BasisCommands.h"
#include "chart/widgets/ChartCommands.h"
#include "data/widgets/FileCommands.h"
#include "data/widgets/FileDisplay.h"
#include "data/widgets/PathEllipsis.h"
#include "grid/GridLayout.h"
#include "grid/widgets/GridAppearance.h"
#include "grid/widgets/GridEditor.h"
#include "grid/widgets/LedgerCommands.h"
#include "grid/widgets/LedgerGrid.h"
#include "grid/widgets/LedgerModel.h"
#include "grid/widgets/ListCommands.h"
#include "grid/widgets/RecordTypeFilter.h"
#include "grid/widgets/SummaryPanel.h"
#include "help/widgets/HelpCommands.h"
#include "import/widgets/ImportCommands.h"
#include "prefs/widgets/PreferencesCommands.h"
#include "shell/StartRules.h"
#include "shell/widgets/DateWatch.h"
#include "shell/widgets/LogViewer.h"
#include "shell/widgets/NoticesWindow.h"
#include "shell/widgets/RecordTypesWindow.h"
#include "shell/widgets/WindowCommands.h"
#include "ui/widgets/CommandHost.h"
#include "ui/widgets/WindowPlacement.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTimer>

namespace brisden {

namespace {
// The menus, each with its items in order ("-" a separator). Every feature
// fills in its own items (see installCommands below).
using ui::MenuEntry;
// clang-format off
const std::vector<MenuEntry> MenuLayout = {
    {"mnuFile", "&File", MenuEntry::Top,
     {"mnuPortfolioItem", "mnuOpenItem", "-", "mnuSaveData", "mnuRestore", "mnuRebuildItem", "-",
      "mnuLogItem", "-", "mnuExitItem"}},
    {"mnuEdit", "Ed&it", MenuEntry::Top, {"mnuUndo", "mnuRedo"}},
    {"mnuTransactions", "&Transactions", MenuEntry::Top,
     {"mnuEditItem", "mnuClearItem", "mnuCopyCell", "mnuPasteData", "mnuInsertRows",
      "mnuDeleteItem", "mnuSelectAll", "-", "mnuImportItem", "mnuChartItem", "mnuListItem",
      "mnuBasisItem", "mnuRTHide", "mnuRefreshItem"}},
    {"mnuOptions", "&Options", MenuEntry::Top,
     {"mnuPreferencesItem", "mnuTickmoor", "mnuRecordTypeItem", "mnuGridControlItem",
      "mnuRowHeight"}},
    {"mnuRowHeight", "&Global grid row height", MenuEntry::Sub,
     {"mnuRowHeightSet", "mnuRowHeightReset"}},
    {"mnuHelp", "&Help", MenuEntry::Top,
     {"mnuUserManualItem", "mnuWhatsThisMode", "-", "mnuAboutItem"}},
    // The grid's right-click menu.
    {"mnuRightClick", "", MenuEntry::Popup,
     {"mnuRCEdit", "mnuRCClear", "mnuRCCopy", "mnuRCPaste", "mnuRCInsertRows", "mnuRCDelRow",
      "mnuRCSelectAll", "mnuRCRowHeight", "mnuRCDragDropHelp", "mnuRCHowToEdit",
      "mnuRCWhatsThis"}},
    {"mnuRCRowHeight", "&Global grid row height", MenuEntry::Sub,
     {"mnuRCRowHeightSet", "mnuRCRowHeightReset"}},
};
// clang-format on
}  // namespace

MainWindow::MainWindow(Program& program, QWidget* parent)
    : QMainWindow(parent),
      m_p(program),
      m_widgetMessages(this, program.ProgramTitle),
      m_widgetInput(this, program.ProgramTitle),
      m_messages(&m_widgetMessages),
      m_input(&m_widgetInput)
{
    setObjectName(QStringLiteral("frmPelmar"));
    setWindowTitle(m_p.ProgramTitle);
    resize(940, 600);
    m_logDisplay = new LogDisplay(m_p.LogPath, m_p.ProgramTitle, this);
    m_displayLog = [this] { m_logDisplay->show(); };

    m_c = BuildMainControls(*this, m_p.calendar);
    m_f = std::make_unique<MainFeatures>(*this, m_p, m_c, m_messages, m_input,
                                         [this](bool enabled) { FormEnableToggle(enabled); });
    m_commands = new ui::CommandHost(*this, MenuLayout, [this] { return m_f->mayRun(); });

    m_notices = new NoticesWindow(m_p.ProgramTitle, this);
    m_notices->setDisplayLog([this] { showLog(); });
    m_p.log.setDisplay(m_notices);

    m_own = new WindowCommands(*this, *m_c.gridArea, *m_c.frame2, m_p.AppFolder, m_messages,
                               [this] { showLog(); });
    m_recordTypes = m_own->legend();

    // The window sees every key first: Escape asks a running listing to stop.
    qApp->installEventFilter(this);

    m_dateWatch = new DateWatch(m_p.calendar, this);
    connect(m_dateWatch, &DateWatch::dateChanged, this, &MainWindow::dateChanged);

    // Timer2 finishes the start once the window has painted.
    m_timer2 = new QTimer(this);
    m_timer2->setSingleShot(true);
    connect(m_timer2, &QTimer::timeout, this, &MainWindow::Timer2_Timer);

    connect(qApp, &QGuiApplication::commitDataRequest, this, [this] { m_systemShutdown = true; });

    installCommands();

    // The grid's columns, fixed columns, widths, data row height and look.
    grid::ApplyGridSettings(*m_c.grid, *m_c.model, m_p.settings);

    // The window state of the last run: 0 normal, 1 minimized, 2 maximized.
    if (!m_p.settings.WindowSize.isEmpty()) {
        const int state = Settings::ParseInteger(m_p.settings.WindowSize);
        if (state == 1)
            setWindowState(Qt::WindowMinimized);
        else if (state == 2)
            setWindowState(Qt::WindowMaximized);
    }
}

MainWindow::~MainWindow()
{
    qApp->removeEventFilter(this);
    m_p.log.setDisplay(nullptr);
}

// Each feature puts its own items in the menus and wires them to itself.
void MainWindow::installCommands()
{
    ui::CommandHost& host = *m_commands;
    m_own->installCommands(host);
    m_f->files->installCommands(host, m_c.command7[0], m_c.command7[1]);
    m_f->ledger->installCommands(host, m_c.command1[3], m_p.GridRowHeightAtStart);
    m_f->editor->installCommands(host, m_c.command1[0], m_c.command1[1], m_c.command1[2]);
    m_f->list->installCommands(host, m_c.command7[2]);
    m_f->basis->installCommands(host);
    m_f->import->installCommands(host, m_c.grid->viewport());
    m_f->charts->installCommands(host);
    m_f->prefs->installCommands(host);
    m_f->help->installCommands(host, *m_f->editor);
    if (!host.unfilled().isEmpty())
        qFatal("Menu items nobody filled in: %s", qPrintable(host.unfilled().join(u' ')));

    RouteRightClicks(m_c, *m_f->editor);
    connect(m_f->files, &FileCommands::portfolioOpened, this, &MainWindow::portfolioOpened);
    connect(m_f->files, &FileCommands::fileOpened, this, &MainWindow::fileOpened);
    connect(m_f->files, &FileCommands::fileReplaced, m_f->editor, &grid::GridEditor::resetUndo);
}

void MainWindow::setMessageBox(ui::IMessageBox* messages)
{
    m_messages.setTarget(messages ? messages : &m_widgetMessages);
}

void MainWindow::setInputBox(ui::IInputBox* input)
{
    m_input.setTarget(input ? input : &m_widgetInput);
}

QLineEdit* MainWindow::sharePriceBox() const
{
    return m_c.summary->sharePriceBox();
}

ui::IHelp& MainWindow::help() const
{
    return m_f->help->help();
}

QAction* MainWindow::action(const QString& name) const
{
    return findChild<QAction*>(name);
}

QMenu* MainWindow::rightClickMenu() const
{
    return m_commands->menu("mnuRightClick");
}

QMenu* MainWindow::transactionsMenu() const
{
    return m_commands->menu("mnuTransactions");
}

// ---------------------------------------------------------------------------
// Start

void MainWindow::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    // The first activation arms the deferred start.
    if (Tag != QLatin1String("1"))
        return;
    Tag.clear();
    m_startDelay = StartDelayMs(m_commandLine);
    m_timer2->start(m_startDelay);
}

void MainWindow::runDeferredStart()
{
    if (m_startDone)
        return;
    m_timer2->stop();
    Timer2_Timer();
}

void MainWindow::Timer2_Timer()
{
    m_timer2->stop();
    if (m_startDone)
        return;
    m_startDone = true;
    m_c.dateValue->setText(m_p.calendar.TodayLongText);
    UpdateCaption();
    const bool havePortfolio = !m_p.portfolio.CurrentPortfolio.isEmpty();
    if (havePortfolio)
        LogSession(QStringLiteral("Opened portfolio ") + m_p.portfolio.CurrentPortfolio);
    m_commands->action("mnuOpenItem")->setEnabled(havePortfolio);
    EnableFileControls(false);
    // The window state of the last run was read at creation.
    ui::RestoreWindowPosition(*this, m_p.settings.WindowSize, m_p.settings.Left, m_p.settings.Top);
    m_own->AttachMenuPictures();
    // Where the legend stood last time (its showing follows the setting).
    m_own->restoreLegendPlace(m_p.IniPath);
    m_own->showAtStart(m_p.settings.ShowRecordTypesLegend, m_p.settings.ShowGridControl);
    if (m_p.settings.ShowHelp.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
        m_f->help->mnuUserManualItem_Click();
    if (m_p.settings.StartTickmoor)
        m_own->startTickmoor();
}

void MainWindow::bringToFront()
{
    if (isMinimized())
        showNormal();
    show();
    raise();
    activateWindow();
}

// ---------------------------------------------------------------------------
// The window's operations

void MainWindow::FormEnableToggle(bool enabled)
{
    for (QWidget* w : {static_cast<QWidget*>(m_c.grid), static_cast<QWidget*>(m_c.frame2),
                       static_cast<QWidget*>(m_c.summary)})
        w->setEnabled(enabled);
    for (QPushButton* b : m_c.command7)
        b->setEnabled(enabled);
    for (const char* menu : {"mnuFile", "mnuEdit", "mnuTransactions", "mnuOptions"})
        m_commands->menu(menu)->menuAction()->setEnabled(enabled);
}

void MainWindow::EnableFileControls(bool enabled)
{
    for (QPushButton* b : m_c.command1)
        b->setEnabled(enabled);
    m_c.frame2->setEnabled(enabled);
    for (const char* name : {"mnuTransactions", "mnuRowHeight"}) {
        QMenu* menu = m_commands->menu(name);
        menu->menuAction()->setEnabled(enabled);
        for (QAction* a : menu->actions())
            a->setEnabled(enabled);
    }
    m_commands->action("mnuSaveData")->setEnabled(enabled);
    m_commands->action("mnuRestore")->setEnabled(enabled);
    m_c.grid->setEnabled(enabled);
    m_c.command7[2]->setEnabled(enabled);
    // The editing commands follow the grid's focus from here.
    m_f->editor->updateAvailability();
}

void MainWindow::UpdateCaption()
{
    const QString& portfolio = m_p.portfolio.CurrentPortfolio;
    const QString& file = m_p.file.CurrentFile;
    QString caption = m_p.ProgramTitle;
    if (!portfolio.isEmpty())
        caption += QStringLiteral(" - ") + QStringLiteral("Portfolio: ") +
                   PathWithEllipses(*this, portfolio, 180);
    m_c.portfolioValue->setText(portfolio.isEmpty() ? QString()
                                                    : PathWithEllipses(*this, portfolio, 230));
    m_c.portfolioValue->setToolTip(portfolio);
    // A file viewed read-only says so in the caption and its label.
    const bool readOnly = !file.isEmpty() && m_p.file.readOnly();
    if (!file.isEmpty())
        caption += QStringLiteral(", File: ") + PathWithEllipses(*this, file, 180);
    if (readOnly)
        caption += QStringLiteral(" [read-only]");
    QFont font = m_c.fileValue->font();
    font.setPointSize(m_p.file.CurrentFileDesc.size() < 73 ? 10 : 8);
    m_c.fileValue->setFont(font);
    m_c.fileValue->setText(readOnly ? m_p.file.CurrentFileDesc + QStringLiteral(" (read-only)")
                                    : m_p.file.CurrentFileDesc);
    m_c.fileValue->setToolTip(
        readOnly ? file + QStringLiteral("\nRead-only: ") + m_p.file.ReadOnlyReason : file);
    setWindowTitle(caption);
}

void MainWindow::LogSession(const QString& message, bool display, bool wait, bool showButtons)
{
    m_p.log.LogSession(message, display, wait, showButtons);
}

// ---------------------------------------------------------------------------
// What the features report

void MainWindow::portfolioOpened()
{
    m_commands->action("mnuOpenItem")->setEnabled(true);
    m_c.command7[1]->setEnabled(true);
    EnableFileControls(false);
    m_f->editor->resetUndo();
    UpdateCaption();
    m_c.model->clear();
    m_c.summary->clear();
}

void MainWindow::fileOpened()
{
    m_f->editor->resetUndo();
    UpdateCaption();
    m_p.report.ListFromDate = 0;
    m_p.report.ListToDate = 99999999;
    QLineEdit* price = m_c.summary->sharePriceBox();
    price->setText(QStringLiteral("N/A"));
    price->setEnabled(true);
    EnableFileControls(true);
    m_f->ledger->ListLedger();
    m_c.command7[2]->setEnabled(true);
    // The keys work on the ledger: the current row is the first suspect one
    // or the empty last row.
    m_c.grid->setFocus(Qt::OtherFocusReason);
}

void MainWindow::dateChanged()
{
    if (m_p.file.CurrentFile.isEmpty()) {
        m_c.dateValue->setText(m_p.calendar.TodayLongText);
    } else {
        LogSession(QStringLiteral("The system date has changed.") +
                       QStringLiteral("  Press F5 to refresh the grid."),
                   true, false, true);
    }
}
// ---------------------------------------------------------------------------
// The window's own commands

void MainWindow::showLog()
{
    if (m_displayLog)
        m_displayLog();
}

// ---------------------------------------------------------------------------
// Keys, size, closing

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        auto* widget = qobject_cast<QWidget*>(watched);
        if (key->key() == Qt::Key_Escape && widget && widget->window() == this) {
            m_f->ledger->requestCancel();
            m_f->import->requestCancel();
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    // The editor would no longer lie over its cell.
    if (m_f->editor && m_f->editor->editing())
        m_f->editor->cancelEdit();
}

void MainWindow::writeSettingsAtExit()
{
    Settings& s = m_p.settings;
    if (!s.GridColWidth.isEmpty()) {
        s.GridColWidth = grid::FormatColumnWidths(m_c.grid->columnWidthsTwips());
        s.GridRowHeight = std::int16_t(std::clamp(m_c.grid->dataRowHeight(), -1, 32767));
    }
    const bool skipWindow = isMinimized() || m_systemShutdown;
    if (!skipWindow) {
        m_own->saveLegendPlace(m_p.IniPath);
        s.WindowSize = isMaximized() ? QStringLiteral("2") : QStringLiteral("0");
        const QPoint at = isMaximized() ? normalGeometry().topLeft() : pos();
        s.Left = QString::number(grid::PixelsToTwips(at.x()));
        s.Top = QString::number(grid::PixelsToTwips(at.y()));
    }
    s.WriteAtExit(m_p.IniPath, skipWindow);
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    if (m_closing) {
        event->accept();
        return;
    }
    if (busy()) {
        // A listing or an import runs below this handler: it is asked to stop first.
        m_f->ledger->requestCancel();
        m_f->import->requestCancel();
        event->ignore();
        QTimer::singleShot(50, this, &QWidget::close);
        return;
    }
    // An entry being typed is stored first; a refused one keeps the window open.
    if (m_f->editor->editing()) {
        if (!m_f->editor->CommitCellEdit()) {
            event->ignore();
            return;
        }
        m_f->editor->cancelEdit();
    }
    m_closing = true;
    m_f->files->SetAutoSaveTimer(true);
    m_dateWatch->stop();
    m_timer2->stop();
    writeSettingsAtExit();
    LogSession(QStringLiteral("Session ended"));
    m_p.files.CloseAll();
    // The other windows, newest first.
    if (grid::RecordTypeFilter* filter = m_f->ledger->recordTypeFilter())
        filter->hide();
    if (QWidget* portfolioWindow = m_f->files->portfolioWindowIfMade())
        portfolioWindow->hide();
    m_recordTypes->hide();
    m_notices->hide();
    m_f->help->closeWindows();
    m_p.log.setDisplay(nullptr);
    event->accept();
}

}  // namespace brisden
