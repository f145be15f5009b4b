#include "shell/widgets/MainWindow.h"

#include "chart/widgets/ChartCommands.h"
#include "basis/widgets/BasisCommands.h"
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
#include "report/widgets/ReportPrinting.h"
#include "shell/IniFile.h"
#include "shell/StartRules.h"
#include "shell/widgets/DateWatch.h"
#include "shell/widgets/LogViewer.h"
#include "shell/widgets/NoticesWindow.h"
#include "shell/widgets/RecordTypesWindow.h"
#include "ui/widgets/WindowPlacement.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTimer>
#include <QUndoStack>
#include <QUrl>
#include <QVBoxLayout>
#include <QWhatsThis>
#include <cmath>

namespace brisden {

namespace {
// The key of Application.ini that keeps where the legend stands.
constexpr const char* WindowLayoutKey = "WindowLayout";
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
    m_logDisplay = new LogDisplay(m_p.LogPath, m_p.ProgramTitle, this);
    m_displayLog = [this] { m_logDisplay->show(); };

    buildControls();
    buildMenus();

    m_files = new FileCommands(
        FileCommandsContext{m_p.portfolio, m_p.file, m_p.settings, m_p.log, m_messages}, this);
    m_ledger = new grid::LedgerCommands(
        grid::LedgerContext{m_p.file, m_p.report, m_p.settings, m_p.calendar, m_p.log, m_messages,
                            m_input, m_p.ProgramTitle},
        *m_grid, *m_model, *m_summary, this);
    m_editor = new grid::GridEditor(
        grid::GridEditorContext{m_p.file, m_p.settings, m_messages, m_input, m_p.ProgramTitle,
                                &m_p.log},
        *m_grid, *m_model, centralWidget(), [this](bool enabled) { FormEnableToggle(enabled); },
        [this] { m_ledger->ListLedger(); }, [this] { return busy(); });
    m_prefs = new prefs::PreferencesCommands(
        prefs::PreferencesCommandsContext{m_p.settings, m_p.IniPath, m_messages, *m_grid, *m_model,
                                          *m_ledger, *m_files},
        this);
    // New rows take today's date until the first entry.
    m_editor->setLastDate(m_p.calendar.TodayYMD);
    m_import = new ImportCommands(
        ImportContext{m_p.file, m_p.settings, m_p.calendar, m_p.log, m_messages, m_p.IniPath},
        ImportHooks{[this](bool stop) { m_files->SetAutoSaveTimer(stop); },
                    [this] {
                        m_ledger->Refresh();
                        m_editor->resetUndo();
                    },
                    [this] { return m_files->refuseReadOnly(QStringLiteral("import into")); },
                    [this] { return !busy() && !m_editor->editing(); }},
        this);

    m_help = new help::HelpCommands(this, m_p.HelpFilePath, m_p.ProgramTitle, m_messages);
    m_import->setHelp(&m_help->help());
    m_ledger->setHelp(&m_help->help());
    m_prefs->setHelp(&m_help->help());

    // The printed reports: the listing and the basis worksheet.
    m_printing = std::make_unique<ReportPrinting>(
        ReportPrintingContext{m_p.files, m_p.settings, m_p.report, m_messages, m_p.log,
                              &m_help->help(), m_p.ProgramTitle, m_p.IniPath},
        this);
    m_list = new ListCommands(ListCommandsContext{m_p.files, m_p.file, m_p.portfolio, m_p.report,
                                                  m_p.settings, m_p.calendar, m_p.log, m_messages,
                                                  m_input, &m_help->help(), m_p.ProgramTitle},
                              *m_printing, sharePriceBox(), this);
    m_basis = new BasisCommands(BasisCommandsContext{m_p.files, m_p.file, m_p.portfolio,
                                                     m_p.report, m_p.settings, m_p.calendar,
                                                     m_p.log, m_messages, &m_help->help(),
                                                     m_p.ProgramTitle},
                                *m_printing, this);

    m_notices = new NoticesWindow(m_p.ProgramTitle, this);
    m_notices->setDisplayLog([this] { showLog(); });
    m_p.log.setDisplay(m_notices);

    // The legend stands below the grid (or at a side of it), never over it.
    m_recordTypes = new RecordTypesWindow(this);
    m_gridArea->addDockWidget(Qt::BottomDockWidgetArea, m_recordTypes);
    m_recordTypes->setWide(true);
    m_recordTypes->hide();
    connect(m_recordTypes, &RecordTypesWindow::closedByUser, this,
            [this] { m_actions.mnuRecordTypeItem->setChecked(false); });

    // The window sees every key first: Escape asks a running listing to stop.
    qApp->installEventFilter(this);

    m_dateWatch = new DateWatch(m_p.calendar, this);
    connect(m_dateWatch, &DateWatch::dateChanged, this, &MainWindow::dateChanged);

    // Timer2 finishes the start once the window has painted.
    m_timer2 = new QTimer(this);
    m_timer2->setSingleShot(true);
    connect(m_timer2, &QTimer::timeout, this, &MainWindow::Timer2_Timer);

    connect(qApp, &QGuiApplication::commitDataRequest, this, [this] { m_systemShutdown = true; });

    wireCommands();

    // The grid's columns, fixed columns, widths, data row height and look.
    grid::ApplyGridSettings(*m_grid, *m_model, m_p.settings);

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
    return m_summary->sharePriceBox();
}

bool MainWindow::busy() const
{
    return m_ledger->listing() || (m_import && m_import->importing()) ||
           (m_list && m_list->running()) || (m_basis && m_basis->running());
}

// ---------------------------------------------------------------------------
// Creation

void MainWindow::buildControls()
{
    setWindowTitle(m_p.ProgramTitle);
    resize(940, 600);
    auto* central = new QWidget(this);
    setCentralWidget(central);

    // The grid.
    m_model = new grid::LedgerModel(m_p.calendar, this);
    m_grid = new grid::LedgerGrid(m_model, central);
    m_grid->setObjectName(QStringLiteral("MSFlexGrid1"));
    m_grid->setMinimumSize(300, 110);

    // Command7: portfolio, investment file, listing.
    const char* captions7[3] = {"Open &Port.", "&Open Invest.", "&List"};
    const char* tips7[3] = {"Open a portfolio file", "Open an investment file",
                            "List to printer or file"};
    for (int i = 0; i < 3; ++i) {
        m_command7[i] = new QPushButton(QString::fromLatin1(captions7[i]), central);
        m_command7[i]->setObjectName(QStringLiteral("Command7_%1").arg(i));
        m_command7[i]->setToolTip(QString::fromLatin1(tips7[i]));
    }

    // Portfolio, file and date.
    auto* info = new QGridLayout;
    auto addInfo = [&](int row, const QString& caption, QLabel*& value, const char* name) {
        auto* label = new QLabel(caption, central);
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        value = new QLabel(central);
        value->setObjectName(QLatin1String(name));
        value->setTextFormat(Qt::PlainText);
        value->setMinimumWidth(240);
        info->addWidget(label, row, 0);
        info->addWidget(value, row, 1);
    };
    addInfo(0, QStringLiteral("Portfolio:"), m_portfolioValue, "PortfolioPath");
    addInfo(1, QStringLiteral("File:"), m_fileValue, "FileDescription");
    addInfo(2, QStringLiteral("Date:"), m_dateValue, "TodayText");
    info->setColumnStretch(1, 1);

    auto* top = new QHBoxLayout;
    for (QPushButton* b : m_command7)
        top->addWidget(b, 0, Qt::AlignTop);
    top->addSpacing(16);
    top->addLayout(info, 1);

    // Frame2: the grid control buttons.
    m_frame2 = new QGroupBox(QStringLiteral("Grid controls:"), central);
    m_frame2->setObjectName(QStringLiteral("Frame2"));
    const char* captions1[4] = {"&Edit Cell", "&Clear Cell(s)", "&Delete Row(s)",
                                "&Refresh/Recalc"};
    auto* frame2Layout = new QVBoxLayout(m_frame2);
    for (int i = 0; i < 4; ++i) {
        m_command1[i] = new QPushButton(QString::fromLatin1(captions1[i]), m_frame2);
        m_command1[i]->setObjectName(QStringLiteral("Command1_%1").arg(i));
        // A little room around the caption.
        m_command1[i]->setMinimumWidth(m_command1[i]->sizeHint().width() + 12);
        frame2Layout->addWidget(m_command1[i]);
    }
    m_frame2->setWhatsThis(QStringLiteral(
        "Edit the current cell, clear the selected cells, delete the selected rows, or list the "
        "ledger again with its balances and returns recomputed."));
    m_frame2->setProperty("whatsThisId", ui::HelpWhatsThisGridControls);
    m_frame2->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_frame2, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        m_editor->rightClickElsewhere(m_frame2, m_frame2->mapToGlobal(pos));
    });
    frame2Layout->addStretch();

    // The grid with the grid controls, in an area of its own whose sides
    // take the record types legend: the legend stands beside the grid and
    // never over it or the summary.
    m_gridArea = new QMainWindow(central);
    m_gridArea->setObjectName(QStringLiteral("GridArea"));
    m_gridArea->setWindowFlags(Qt::Widget);
    m_gridArea->setDockOptions(QMainWindow::AnimatedDocks);
    auto* gridBox = new QWidget(m_gridArea);
    auto* middle = new QHBoxLayout(gridBox);
    middle->setContentsMargins(0, 0, 0, 0);
    middle->addWidget(m_grid, 1);
    middle->addWidget(m_frame2);
    m_gridArea->setCentralWidget(gridBox);

    // Frame3: the summary of the listing and the share price box.
    m_summary = new grid::SummaryPanel(central);
    if (auto* prompt = m_summary->findChild<QLabel*>(QStringLiteral("SharePricePrompt"))) {
        prompt->setProperty("whatsThisId", ui::HelpWhatsThisSharePrice);
        prompt->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(prompt, &QWidget::customContextMenuRequested, this,
                [this, prompt](const QPoint& pos) {
                    m_editor->rightClickElsewhere(prompt, prompt->mapToGlobal(pos));
                });
    }

    auto* layout = new QVBoxLayout(central);
    layout->addLayout(top);
    layout->addWidget(m_gridArea, 1);
    layout->addWidget(m_summary);

    m_grid->setWhatsThis(QStringLiteral(
        "The ledger of the current investment file, one transaction a row.  Type into a cell, "
        "double-click it or press Ctrl+E to edit it; every entry is written to the file at once.  "
        "\"R T\" shows each row's record type; balances, value and returns follow after a "
        "refresh (F5)."));
    m_grid->setProperty("whatsThisId", ui::HelpWhatsThisGrid);
    connect(m_grid, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        if (m_grid->isEnabled())
            m_editor->rightClickGrid(pos);
    });
}

void MainWindow::buildMenus()
{
    // Each item is named after its command; the shortcut works wherever the
    // focus is in the window.
    auto add = [this](QMenu* menu, const char* name, const QString& caption,
                      const QKeySequence& key = QKeySequence(), bool checkable = false) {
        QAction* a = menu->addAction(caption);
        a->setObjectName(QLatin1String(name));
        if (!key.isEmpty())
            a->setShortcut(key);
        a->setCheckable(checkable);
        addAction(a);
        return a;
    };
    MainActions& m = m_actions;

    m_mnuFile = menuBar()->addMenu(QStringLiteral("&File"));
    m_mnuFile->setObjectName(QStringLiteral("mnuFile"));
    m.mnuPortfolioItem = add(m_mnuFile, "mnuPortfolioItem", QStringLiteral("Open a &portfolio..."),
                             QKeySequence(Qt::CTRL | Qt::Key_F));
    m.mnuOpenItem = add(m_mnuFile, "mnuOpenItem", QStringLiteral("&Open an investment..."),
                        QKeySequence(Qt::CTRL | Qt::Key_O));
    m_mnuFile->addSeparator();
    m.mnuSaveData = add(m_mnuFile, "mnuSaveData", QStringLiteral("Copy &current file to backup"),
                        QKeySequence(Qt::SHIFT | Qt::Key_F5));
    m.mnuRestore = add(m_mnuFile, "mnuRestore", QStringLiteral("Restore &backup file to current"),
                       QKeySequence(Qt::CTRL | Qt::Key_F5));
    m.mnuRebuildItem =
        add(m_mnuFile, "mnuRebuildItem", QStringLiteral("&Rebuild investment file..."),
            QKeySequence(Qt::CTRL | Qt::Key_R));
    m_mnuFile->addSeparator();
    m.mnuLogItem = add(m_mnuFile, "mnuLogItem", QStringLiteral("Display &Session log"),
                       QKeySequence(Qt::CTRL | Qt::Key_S));
    m_mnuFile->addSeparator();
    m.mnuExitItem =
        add(m_mnuFile, "mnuExitItem", QStringLiteral("E&xit"), QKeySequence(Qt::CTRL | Qt::Key_X));
    // Ctrl+Q as well, as on every Linux desktop. Where the focus is in a text
    // box, Ctrl+X cuts there instead.
    m.mnuExitItem->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_X), QKeySequence(Qt::CTRL | Qt::Key_Q)});
    m.mnuExitItem->setShortcutContext(Qt::WindowShortcut);

    m_mnuEdit = menuBar()->addMenu(QStringLiteral("Ed&it"));
    m_mnuEdit->setObjectName(QStringLiteral("mnuEdit"));
    m.mnuUndo = add(m_mnuEdit, "mnuUndo", QStringLiteral("&Undo"), QKeySequence::Undo);
    m.mnuRedo = add(m_mnuEdit, "mnuRedo", QStringLiteral("&Redo"));
    m.mnuRedo->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});

    m_mnuTransactions = menuBar()->addMenu(QStringLiteral("&Transactions"));
    m_mnuTransactions->setObjectName(QStringLiteral("mnuTransactions"));
    m.mnuEditItem = add(m_mnuTransactions, "mnuEditItem", QStringLiteral("&Edit selected cell"),
                        QKeySequence(Qt::CTRL | Qt::Key_E));
    m.mnuClearItem = add(m_mnuTransactions, "mnuClearItem",
                         QStringLiteral("&Clear selected cell(s)"), QKeySequence(Qt::Key_Delete));
    m.mnuCopyCell = add(m_mnuTransactions, "mnuCopyCell", QStringLiteral("Copy cell &data"),
                        QKeySequence(Qt::CTRL | Qt::Key_C));
    m.mnuPasteData = add(m_mnuTransactions, "mnuPasteData", QStringLiteral("&Paste to cell(s)"),
                         QKeySequence(Qt::CTRL | Qt::Key_V));
    m.mnuInsertRows = add(m_mnuTransactions, "mnuInsertRows", QStringLiteral("&Insert rows..."),
                          QKeySequence(Qt::SHIFT | Qt::Key_Insert));
    m.mnuDeleteItem =
        add(m_mnuTransactions, "mnuDeleteItem", QStringLiteral("&Delete selected row(s)"),
            QKeySequence(Qt::SHIFT | Qt::Key_Delete));
    m.mnuSelectAll = add(m_mnuTransactions, "mnuSelectAll", QStringLiteral("Select &All"),
                         QKeySequence(Qt::CTRL | Qt::Key_A));
    m_mnuTransactions->addSeparator();
    m.mnuImportItem = add(m_mnuTransactions, "mnuImportItem", QStringLiteral("&Import data..."),
                          QKeySequence(Qt::CTRL | Qt::Key_I));
    m.mnuChartItem = add(m_mnuTransactions, "mnuChartItem", QStringLiteral("&Charts..."));
    m.mnuListItem = add(m_mnuTransactions, "mnuListItem",
                        QStringLiteral("&List to printer or file..."),
                        QKeySequence(Qt::CTRL | Qt::Key_L));
    m.mnuBasisItem = add(m_mnuTransactions, "mnuBasisItem", QStringLiteral("&Basis worksheet..."),
                         QKeySequence(Qt::CTRL | Qt::Key_B));
    m.mnuRTHide =
        add(m_mnuTransactions, "mnuRTHide", QStringLiteral("&Select record types to display..."));
    m.mnuRefreshItem = add(m_mnuTransactions, "mnuRefreshItem",
                           QStringLiteral("&Refresh/Recalc grid"), QKeySequence(Qt::Key_F5));

    m_mnuOptions = menuBar()->addMenu(QStringLiteral("&Options"));
    m_mnuOptions->setObjectName(QStringLiteral("mnuOptions"));
    m.mnuPreferencesItem = add(m_mnuOptions, "mnuPreferencesItem",
                               QStringLiteral("&Preferences..."), QKeySequence(Qt::CTRL | Qt::Key_P));
    m.mnuTickmoor = add(m_mnuOptions, "mnuTickmoor", QStringLiteral("Start &Tickmoor"),
                        QKeySequence(Qt::CTRL | Qt::Key_W), true);
    m.mnuRecordTypeItem =
        add(m_mnuOptions, "mnuRecordTypeItem", QStringLiteral("Show record &types legend"),
            QKeySequence(Qt::CTRL | Qt::Key_T), true);
    m.mnuGridControlItem =
        add(m_mnuOptions, "mnuGridControlItem", QStringLiteral("Show &Grid control frame"),
            QKeySequence(Qt::CTRL | Qt::Key_G), true);
    m_mnuRowHeight = m_mnuOptions->addMenu(QStringLiteral("&Global grid row height"));
    m_mnuRowHeight->setObjectName(QStringLiteral("mnuRowHeight"));
    m.mnuRowHeightSet =
        add(m_mnuRowHeight, "mnuRowHeightSet", QStringLiteral("&Make same as selected row"));
    m.mnuRowHeightReset =
        add(m_mnuRowHeight, "mnuRowHeightReset", QStringLiteral("&Reset to default"));

    QMenu* mnuHelp = menuBar()->addMenu(QStringLiteral("&Help"));
    mnuHelp->setObjectName(QStringLiteral("mnuHelp"));
    m.mnuUserManualItem = add(mnuHelp, "mnuUserManualItem", QStringLiteral("User &Manual"),
                              QKeySequence(Qt::Key_F1));
    m.mnuWhatsThisMode = QWhatsThis::createAction(this);
    m.mnuWhatsThisMode->setObjectName(QStringLiteral("mnuWhatsThisMode"));
    mnuHelp->addAction(m.mnuWhatsThisMode);
    addAction(m.mnuWhatsThisMode);
    mnuHelp->addSeparator();
    m.mnuAboutItem = add(mnuHelp, "mnuAboutItem", QStringLiteral("&About Brisden"));

    // The right-click menu of the grid.
    m_rightClick = new QMenu(this);
    m_rightClick->setObjectName(QStringLiteral("mnuRightClick"));
    auto rc = [this](const char* name, const QString& caption) {
        QAction* a = m_rightClick->addAction(caption);
        a->setObjectName(QLatin1String(name));
        return a;
    };
    m.mnuRCEdit = rc("mnuRCEdit", QStringLiteral("&Edit Cell"));
    m.mnuRCClear = rc("mnuRCClear", QStringLiteral("&Clear cell(s)"));
    m.mnuRCCopy = rc("mnuRCCopy", QStringLiteral("Copy cell &data"));
    m.mnuRCPaste = rc("mnuRCPaste", QStringLiteral("&Paste to cell(s)"));
    m.mnuRCInsertRows = rc("mnuRCInsertRows", QStringLiteral("&Insert rows..."));
    m.mnuRCDelRow = rc("mnuRCDelRow", QStringLiteral("&Delete row(s)"));
    m.mnuRCSelectAll = rc("mnuRCSelectAll", QStringLiteral("Select &All"));
    QMenu* rowHeight = m_rightClick->addMenu(QStringLiteral("&Global grid row height"));
    rowHeight->setObjectName(QStringLiteral("mnuRCRowHeight"));
    m_mnuRCRowHeight = rowHeight;
    m.mnuRCRowHeightSet = rowHeight->addAction(QStringLiteral("&Make same as this row"));
    m.mnuRCRowHeightSet->setObjectName(QStringLiteral("mnuRCRowHeightSet"));
    m.mnuRCRowHeightReset = rowHeight->addAction(QStringLiteral("&Reset to default"));
    m.mnuRCRowHeightReset->setObjectName(QStringLiteral("mnuRCRowHeightReset"));
    m.mnuRCDragDropHelp = rc("mnuRCDragDropHelp", QStringLiteral("&Drag/drop help"));
    m.mnuRCHowToEdit = rc("mnuRCHowToEdit", QStringLiteral("Data entry &help"));
    m.mnuRCWhatsThis = rc("mnuRCWhatsThis", QStringLiteral("&What's this?"));
}

void MainWindow::onCommand(QAction* action, std::function<void()> handler)
{
    connect(action, &QAction::triggered, this, [this, handler = std::move(handler)] {
        if (!busy() && !m_editor->editing())
            handler();
    });
}

void MainWindow::onCommand(QPushButton* button, std::function<void()> handler)
{
    connect(button, &QPushButton::clicked, this, [this, handler = std::move(handler)] {
        if (!busy() && !m_editor->editing())
            handler();
    });
}

void MainWindow::wireCommands()
{
    const MainActions& a = m_actions;
    FileCommands* files = m_files;
    grid::LedgerCommands* ledger = m_ledger;

    // A button is enabled exactly when its menu item is.
    const std::pair<QAction*, QPushButton*> twins[] = {{a.mnuPortfolioItem, m_command7[0]},
                                                       {a.mnuOpenItem, m_command7[1]},
                                                       {a.mnuRefreshItem, m_command1[3]},
                                                       {a.mnuListItem, m_command7[2]}};
    for (const auto& [item, button] : twins) {
        button->setEnabled(item->isEnabled());
        connect(item, &QAction::enabledChanged, button, &QWidget::setEnabled);
    }

    // The printed reports.
    onCommand(a.mnuListItem, [this] { m_list->mnuListItem_Click(); });
    onCommand(m_command7[2], [this] { m_list->mnuListItem_Click(); });
    onCommand(a.mnuBasisItem, [this] { m_basis->mnuBasisItem_Click(); });

    // Files and backups.
    onCommand(a.mnuPortfolioItem, [files] { files->OpenPortfolio(); });
    onCommand(m_command7[0], [files] { files->OpenPortfolio(); });
    onCommand(a.mnuOpenItem, [files] { files->OpenInvestment(); });
    onCommand(m_command7[1], [files] { files->OpenInvestment(); });
    onCommand(a.mnuSaveData, [files] { files->SaveData(); });
    grid::GridEditor* editor = m_editor;
    onCommand(a.mnuRestore, [files, editor] {
        files->Restore();
        editor->resetUndo();
    });
    onCommand(a.mnuRebuildItem, [files, editor] {
        files->Rebuild();
        editor->resetUndo();
    });
    connect(files, &FileCommands::portfolioOpened, this, &MainWindow::portfolioOpened);
    connect(files, &FileCommands::fileOpened, this, &MainWindow::fileOpened);

    // The ledger on the screen.
    onCommand(a.mnuRefreshItem, [ledger] { ledger->Refresh(); });
    onCommand(m_command1[3], [ledger] { ledger->Refresh(); });
    onCommand(a.mnuRTHide, [ledger] { ledger->ChooseRecordTypes(); });
    const std::int16_t heightAtStart = m_p.GridRowHeightAtStart;
    for (QAction* set : {a.mnuRowHeightSet, a.mnuRCRowHeightSet})
        onCommand(set, [ledger] { ledger->SetRowHeightFromCurrent(); });
    for (QAction* reset : {a.mnuRowHeightReset, a.mnuRCRowHeightReset})
        onCommand(reset, [ledger, heightAtStart] { ledger->ResetRowHeight(heightAtStart); });
    // Editing the ledger.
    m_editor->setItems(grid::EditItems{a.mnuEditItem,
                                       a.mnuClearItem,
                                       a.mnuCopyCell,
                                       a.mnuPasteData,
                                       a.mnuInsertRows,
                                       a.mnuDeleteItem,
                                       a.mnuSelectAll,
                                       m_mnuRowHeight->menuAction(),
                                       a.mnuRTHide,
                                       a.mnuUndo,
                                       a.mnuRedo,
                                       m_command1[0],
                                       m_command1[1],
                                       m_command1[2],
                                       m_rightClick,
                                       a.mnuRCEdit,
                                       a.mnuRCClear,
                                       a.mnuRCCopy,
                                       a.mnuRCPaste,
                                       a.mnuRCInsertRows,
                                       a.mnuRCDelRow,
                                       a.mnuRCSelectAll,
                                       m_mnuRCRowHeight->menuAction(),
                                       a.mnuRCDragDropHelp,
                                       a.mnuRCHowToEdit,
                                       a.mnuRCWhatsThis});
    for (QAction* edit : {a.mnuEditItem, a.mnuRCEdit})
        onCommand(edit, [editor] { editor->GridEdit(); });
    onCommand(m_command1[0], [editor] { editor->GridEdit(); });
    for (QAction* clear : {a.mnuClearItem, a.mnuRCClear})
        onCommand(clear, [editor] { editor->mnuClearItem_Click(); });
    onCommand(m_command1[1], [editor] { editor->mnuClearItem_Click(); });
    for (QAction* del : {a.mnuDeleteItem, a.mnuRCDelRow})
        onCommand(del, [editor] { editor->mnuDeleteItem_Click(); });
    onCommand(m_command1[2], [editor] { editor->mnuDeleteItem_Click(); });
    for (QAction* insert : {a.mnuInsertRows, a.mnuRCInsertRows})
        onCommand(insert, [editor] { editor->mnuInsertRows_Click(); });
    for (QAction* copy : {a.mnuCopyCell, a.mnuRCCopy})
        onCommand(copy, [editor] { editor->mnuCopyCell_Click(); });
    for (QAction* paste : {a.mnuPasteData, a.mnuRCPaste})
        onCommand(paste, [editor] { editor->mnuPasteData_Click(); });
    for (QAction* all : {a.mnuSelectAll, a.mnuRCSelectAll})
        onCommand(all, [editor] { editor->mnuSelectAll_Click(); });
    onCommand(a.mnuUndo, [editor] { editor->undoStack()->undo(); });
    onCommand(a.mnuRedo, [editor] { editor->undoStack()->redo(); });

    // Help.
    help::HelpCommands* helpCommands = m_help;
    connect(a.mnuUserManualItem, &QAction::triggered, this,
            [helpCommands] { helpCommands->mnuUserManualItem_Click(); });
    connect(a.mnuAboutItem, &QAction::triggered, this,
            [helpCommands] { helpCommands->mnuAboutItem_Click(); });
    onCommand(a.mnuRCHowToEdit, [helpCommands] { helpCommands->mnuRCHowToEdit_Click(); });
    onCommand(a.mnuRCWhatsThis, [helpCommands, editor] {
        helpCommands->mnuRCWhatsThis_Click(editor->menuControl(), editor->menuPos());
    });
    onCommand(a.mnuRCDragDropHelp, [helpCommands, editor] {
        helpCommands->mnuRCDragDropHelp_Click(editor->menuPos());
    });

    // Import, from the menu or by dropping a file on the grid.
    ImportCommands* import = m_import;
    onCommand(a.mnuImportItem, [import] { import->mnuImportItem_Click(); });
    new FileDropTarget(m_grid->viewport(), [this](const QString& path) {
        if (!busy() && !m_editor->editing())
            m_import->FileDropped(path);
    });

    // Charts.
    m_charts = new chart::ChartCommands(
        chart::ChartCommandsContext{m_p.file, m_p.report, m_p.settings, m_messages, m_p.IniPath,
                                    m_p.ProgramTitle, m_p.CurrencyTag, m_p.calendar.locale},
        *m_ledger, *m_model, this);
    m_charts->setHelp(&m_help->help());
    chart::ChartCommands* charts = m_charts;
    onCommand(a.mnuChartItem, [charts] { charts->mnuChartItem_Click(); });

    // Enter in the share price box lists again with the typed price.
    connect(m_summary->sharePriceBox(), &QLineEdit::returnPressed, this, [this] {
        if (m_actions.mnuRefreshItem->isEnabled() && !busy())
            m_ledger->Refresh();
    });

    // Preferences.
    prefs::PreferencesCommands* preferences = m_prefs;
    onCommand(a.mnuPreferencesItem, [preferences] { preferences->mnuPreferencesItem_Click(); });

    // The window's own.
    connect(a.mnuLogItem, &QAction::triggered, this, &MainWindow::showLog);
    connect(a.mnuExitItem, &QAction::triggered, this, &QWidget::close);
    connect(a.mnuTickmoor, &QAction::triggered, this, &MainWindow::startTickmoor);
    connect(a.mnuRecordTypeItem, &QAction::triggered, this, &MainWindow::toggleRecordTypesLegend);
    connect(a.mnuGridControlItem, &QAction::triggered, this, &MainWindow::toggleGridControlFrame);
}

ui::IHelp& MainWindow::help() const
{
    return m_help->help();
}

QAction* MainWindow::action(const QString& name) const
{
    return findChild<QAction*>(name);
}

void MainWindow::AttachMenuPictures()
{
    const MainActions& a = m_actions;
    const std::pair<QAction*, QStyle::StandardPixmap> pictures[] = {
        {a.mnuPortfolioItem, QStyle::SP_DirOpenIcon},
        {a.mnuOpenItem, QStyle::SP_FileIcon},
        {a.mnuSaveData, QStyle::SP_DialogSaveButton},
        {a.mnuRestore, QStyle::SP_BrowserReload},
        {a.mnuRebuildItem, QStyle::SP_DriveHDIcon},
        {a.mnuRefreshItem, QStyle::SP_BrowserReload},
        {a.mnuRecordTypeItem, QStyle::SP_FileDialogInfoView},
    };
    for (const auto& [item, picture] : pictures)
        item->setIcon(style()->standardIcon(picture));
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
    m_dateValue->setText(m_p.calendar.TodayLongText);
    UpdateCaption();
    const bool havePortfolio = !m_p.portfolio.CurrentPortfolio.isEmpty();
    if (havePortfolio)
        LogSession(QStringLiteral("Opened portfolio ") + m_p.portfolio.CurrentPortfolio);
    m_actions.mnuOpenItem->setEnabled(havePortfolio);
    EnableFileControls(false);
    restoreWindowPosition();
    AttachMenuPictures();
    // Where the legend stood last time (its showing follows the setting).
    const QByteArray layout = QByteArray::fromBase64(
        ReadINI(QStringLiteral("General"), QLatin1String(WindowLayoutKey), QString(), m_p.IniPath)
            .toLatin1());
    if (!layout.isEmpty())
        m_gridArea->restoreState(layout);
    const Qt::DockWidgetArea legendArea = m_gridArea->dockWidgetArea(m_recordTypes);
    m_recordTypes->setWide(
        !m_recordTypes->isFloating() &&
        (legendArea == Qt::TopDockWidgetArea || legendArea == Qt::BottomDockWidgetArea));
    m_recordTypes->hide();
    if (m_p.settings.ShowRecordTypesLegend)
        toggleRecordTypesLegend();
    if (m_p.settings.ShowGridControl)
        m_actions.mnuGridControlItem->setChecked(true);
    else
        toggleGridControlFrame();
    if (m_p.settings.ShowHelp.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
        m_help->mnuUserManualItem_Click();
    if (m_p.settings.StartTickmoor)
        startTickmoor();
}

void MainWindow::restoreWindowPosition()
{
    // The window state of the last run was read at creation; a normal window
    // goes where it was, or to the corner when that is off every screen.
    const Settings& s = m_p.settings;
    if (s.WindowSize.isEmpty() || windowState() != Qt::WindowNoState) {
        ui::FitOnScreen(*this, pos());
        return;
    }
    ui::FitOnScreen(*this, ui::RememberedPosition(s.Left, s.Top, *this).value_or(QPoint(0, 0)));
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
    for (QWidget* w : {static_cast<QWidget*>(m_grid), static_cast<QWidget*>(m_frame2),
                       static_cast<QWidget*>(m_summary)})
        w->setEnabled(enabled);
    for (QPushButton* b : m_command7)
        b->setEnabled(enabled);
    for (QMenu* menu : {m_mnuFile, m_mnuEdit, m_mnuTransactions, m_mnuOptions})
        menu->menuAction()->setEnabled(enabled);
}

void MainWindow::EnableFileControls(bool enabled)
{
    for (QPushButton* b : m_command1)
        b->setEnabled(enabled);
    m_frame2->setEnabled(enabled);
    m_mnuTransactions->menuAction()->setEnabled(enabled);
    for (QAction* a : m_mnuTransactions->actions())
        a->setEnabled(enabled);
    m_actions.mnuSaveData->setEnabled(enabled);
    m_actions.mnuRestore->setEnabled(enabled);
    m_mnuRowHeight->menuAction()->setEnabled(enabled);
    for (QAction* a : m_mnuRowHeight->actions())
        a->setEnabled(enabled);
    m_grid->setEnabled(enabled);
    m_command7[2]->setEnabled(enabled);
    // The editing commands follow the grid's focus from here.
    m_editor->updateAvailability();
}

void MainWindow::UpdateCaption()
{
    const QString& portfolio = m_p.portfolio.CurrentPortfolio;
    const QString& file = m_p.file.CurrentFile;
    QString caption = m_p.ProgramTitle;
    if (!portfolio.isEmpty())
        caption += QStringLiteral(" - ") + QStringLiteral("Portfolio: ") +
                   PathWithEllipses(*this, portfolio, 180);
    m_portfolioValue->setText(portfolio.isEmpty() ? QString()
                                                  : PathWithEllipses(*this, portfolio, 230));
    m_portfolioValue->setToolTip(portfolio);
    // A file viewed read-only says so in the caption and its label.
    const bool readOnly = !file.isEmpty() && m_p.file.readOnly();
    if (!file.isEmpty())
        caption += QStringLiteral(", File: ") + PathWithEllipses(*this, file, 180);
    if (readOnly)
        caption += QStringLiteral(" [read-only]");
    QFont font = m_fileValue->font();
    font.setPointSize(m_p.file.CurrentFileDesc.size() < 73 ? 10 : 8);
    m_fileValue->setFont(font);
    m_fileValue->setText(readOnly ? m_p.file.CurrentFileDesc + QStringLiteral(" (read-only)")
                                  : m_p.file.CurrentFileDesc);
    m_fileValue->setToolTip(
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
    m_actions.mnuOpenItem->setEnabled(true);
    m_command7[1]->setEnabled(true);
    EnableFileControls(false);
    m_editor->resetUndo();
    UpdateCaption();
    m_model->clear();
    m_summary->clear();
}

void MainWindow::fileOpened()
{
    m_editor->resetUndo();
    UpdateCaption();
    m_p.report.ListFromDate = 0;
    m_p.report.ListToDate = 99999999;
    QLineEdit* price = m_summary->sharePriceBox();
    price->setText(QStringLiteral("N/A"));
    price->setEnabled(true);
    EnableFileControls(true);
    m_ledger->ListLedger();
    m_command7[2]->setEnabled(true);
    // The keys work on the ledger: the current row is the first suspect one
    // or the empty last row.
    m_grid->setFocus(Qt::OtherFocusReason);
}

void MainWindow::dateChanged()
{
    if (m_p.file.CurrentFile.isEmpty()) {
        m_dateValue->setText(m_p.calendar.TodayLongText);
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

void MainWindow::startTickmoor()
{
    QAction* item = m_actions.mnuTickmoor;
    if (m_tickmoorTask == 0) {
        qint64 pid = 0;
        if (QProcess::startDetached(m_p.AppFolder + QStringLiteral("/tickmoor"), {}, QString(),
                                    &pid) &&
            pid != 0) {
            m_tickmoorTask = pid;
            item->setChecked(true);
        } else {
            item->setChecked(false);
            m_messages.show(QStringLiteral("Error: There was a problem running Tickmoor"),
                            ui::Icon::Exclamation);
        }
        return;
    }
    // Launched before: it runs in its own windows, which the desktop brings
    // to the front itself; the item stays ticked.
    item->setChecked(true);
}

void MainWindow::toggleRecordTypesLegend()
{
    QAction* item = m_actions.mnuRecordTypeItem;
    if (m_recordTypes->isVisible()) {
        m_recordTypes->hide();
        item->setChecked(false);
    } else {
        item->setChecked(true);
        m_recordTypes->Tag = QStringLiteral("A");
        m_recordTypes->show();
    }
}

void MainWindow::toggleGridControlFrame()
{
    const bool show = m_frame2->isHidden();
    m_frame2->setVisible(show);
    m_actions.mnuGridControlItem->setChecked(show);
}

// ---------------------------------------------------------------------------
// Keys, size, closing

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        auto* widget = qobject_cast<QWidget*>(watched);
        if (key->key() == Qt::Key_Escape && widget && widget->window() == this) {
            m_ledger->requestCancel();
            m_import->requestCancel();
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    // The editor would no longer lie over its cell.
    if (m_editor && m_editor->editing())
        m_editor->cancelEdit();
}

void MainWindow::writeSettingsAtExit()
{
    Settings& s = m_p.settings;
    if (!s.GridColWidth.isEmpty()) {
        s.GridColWidth = grid::FormatColumnWidths(m_grid->columnWidthsTwips());
        s.GridRowHeight = std::int16_t(std::clamp(m_grid->dataRowHeight(), -1, 32767));
    }
    const bool skipWindow = isMinimized() || m_systemShutdown;
    if (!skipWindow) {
        WriteINI(QStringLiteral("General"), QLatin1String(WindowLayoutKey),
                 QString::fromLatin1(m_gridArea->saveState().toBase64()), m_p.IniPath);
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
        m_ledger->requestCancel();
        m_import->requestCancel();
        event->ignore();
        QTimer::singleShot(50, this, &QWidget::close);
        return;
    }
    // An entry being typed is stored first; a refused one keeps the window open.
    if (m_editor->editing()) {
        if (!m_editor->CommitCellEdit()) {
            event->ignore();
            return;
        }
        m_editor->cancelEdit();
    }
    m_closing = true;
    m_files->SetAutoSaveTimer(true);
    m_dateWatch->stop();
    m_timer2->stop();
    writeSettingsAtExit();
    LogSession(QStringLiteral("Session ended"));
    m_p.files.CloseAll();
    // The other windows, newest first.
    if (grid::RecordTypeFilter* filter = m_ledger->recordTypeFilter())
        filter->hide();
    if (QWidget* portfolioWindow = m_files->portfolioWindowIfMade())
        portfolioWindow->hide();
    m_recordTypes->hide();
    m_notices->hide();
    m_help->closeWindows();
    m_p.log.setDisplay(nullptr);
    event->accept();
}

}  // namespace brisden
