#include "shell/widgets/MainWindow.h"

#include "analysis/Listing.h"
#include "data/NumberText.h"
#include "data/widgets/DescriptionInput.h"
#include "data/widgets/FileDisplay.h"
#include "data/widgets/PathEllipsis.h"
#include "grid/GridLayout.h"
#include "grid/widgets/GridColours.h"
#include "grid/widgets/RecordTypeFilter.h"
#include "shell/widgets/NoticesWindow.h"
#include "shell/widgets/RecordTypesWindow.h"
#include "shell/widgets/Startup.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTime>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>
#include <cmath>

namespace brisden {

namespace {

// The system's open-file dialog. A name that does not exist may be given
// when mayCreate; the user is asked before it is accepted.
QString ChooseExistingOrNew(QWidget* parent, const QString& title, const QString& filter,
                            const QString& suffix, const QString& startPath, bool mayCreate)
{
    QFileDialog dialog(parent, title);
    dialog.setNameFilter(filter);
    if (!suffix.isEmpty())
        dialog.setDefaultSuffix(suffix);
    dialog.setFileMode(mayCreate ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setOption(QFileDialog::ReadOnly, false);
    if (!startPath.isEmpty()) {
        const QFileInfo start(startPath);
        dialog.setDirectory(start.absolutePath());
        dialog.selectFile(start.fileName());
    }
    for (;;) {
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return QString();
        const QString path = dialog.selectedFiles().first();
        if (!mayCreate || QFileInfo::exists(path))
            return path;
        QMessageBox ask(QMessageBox::Question, title,
                        QFileInfo(path).fileName() +
                            QStringLiteral("\nThis file does not exist.\nCreate the file?"),
                        QMessageBox::Yes | QMessageBox::No, parent);
        if (ask.exec() == QMessageBox::Yes)
            return path;
    }
}

QString ChoosePortfolioFile(QWidget* parent, const QString& startPath)
{
    return ChooseExistingOrNew(parent, QStringLiteral("Select a portfolio file"),
                               QStringLiteral("Portfolio Files (*.DEF *.def)"),
                               QStringLiteral("def"), startPath, true);
}

QString ChooseFileToRebuild(QWidget* parent, const QString& startPath)
{
    return ChooseExistingOrNew(parent, QStringLiteral("Select an investment file"),
                               QStringLiteral("Investment Files (*.DAT *.dat);;All Files (*)"),
                               QString(), startPath, false);
}

QLabel* SummaryLabel(QWidget* parent, const char* name)
{
    auto* label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    label->setMinimumWidth(90);
    label->setFrameShape(QFrame::Panel);
    label->setFrameShadow(QFrame::Sunken);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return label;
}

QLabel* CaptionLabel(QWidget* parent, const QString& text)
{
    auto* label = new QLabel(text, parent);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return label;
}

}  // namespace

MainWindow::MainWindow(Program& program, QWidget* parent)
    : QMainWindow(parent),
      m_p(program),
      m_widgetMessages(this, program.ProgramTitle),
      m_widgetInput(this, program.ProgramTitle),
      m_descriptionBox(std::make_unique<DescriptionInputBox>(this)),
      m_messages(&m_widgetMessages),
      m_input(&m_widgetInput),
      m_descriptionInput(m_descriptionBox.get())
{
    setObjectName(QStringLiteral("frmPelmar"));
    m_choosePortfolio = ChoosePortfolioFile;
    m_chooseRebuildFile = ChooseFileToRebuild;
    m_displayLog = [this] { QDesktopServices::openUrl(QUrl::fromLocalFile(m_p.LogPath)); };
    m_cancelPoll = std::make_unique<ui::WidgetCancelPoll>([this] { return m_cancelRequested; });
    m_backup = std::make_unique<Backup>(m_p.file, m_p.log, m_messages);
    m_backup->stopAutoBackup = [this] { SetAutoSaveTimer(true); };
    m_backup->startAutoBackup = [this] { SetAutoSaveTimer(false); };

    Form_Initialize();
    Form_Load();
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

void MainWindow::setDescriptionInput(ui::IInputBox* input)
{
    m_descriptionInput.setTarget(input ? input : m_descriptionBox.get());
}

// ---------------------------------------------------------------------------
// Creation

void MainWindow::Form_Initialize()
{
    buildControls();
    buildMenus();

    m_notices = new NoticesWindow(m_p.ProgramTitle, this);
    m_notices->setDisplayLog([this] { mnuLogItem_Click(); });
    m_p.log.setDisplay(m_notices);

    m_recordTypes = new RecordTypesWindow(this);
    m_recordTypes->setAnchor([this] {
        // The grid's free area at the right, below the column captions.
        QWidget* viewport = m_grid->viewport();
        return QRect(viewport->mapToGlobal(QPoint(0, 0)), viewport->size());
    });
    connect(m_recordTypes, &RecordTypesWindow::closedByUser, this,
            [this] { action(QStringLiteral("mnuRecordTypeItem"))->setChecked(false); });

    // The window sees every key first: Escape asks a running listing to stop.
    qApp->installEventFilter(this);

    // Timer1 is the date watch. A change of the system clock is noticed by a
    // probe that compares, once a second, the date and the wall clock with a
    // steady clock; a jump or a new date starts the date watch 200 ms later.
    // One Qt timer also covers the long waits until shortly before midnight.
    m_timer1 = new QTimer(this);
    m_timer1->setSingleShot(true);
    connect(m_timer1, &QTimer::timeout, this, &MainWindow::Timer1_Timer);
    m_steady.start();
    m_probeDate = QDate::currentDate();
    m_probeWall = QDateTime::currentMSecsSinceEpoch();
    m_probeSteady = m_steady.elapsed();
    m_clockProbe = new QTimer(this);
    m_clockProbe->setInterval(1000);
    connect(m_clockProbe, &QTimer::timeout, this, &MainWindow::probeClock);
    m_clockProbe->start();
    Timer1_Timer();

    // Timer2 finishes the start once the window has painted.
    m_timer2 = new QTimer(this);
    m_timer2->setSingleShot(true);
    connect(m_timer2, &QTimer::timeout, this, &MainWindow::Timer2_Timer);

    m_autoSaveTimer = new QTimer(this);
    connect(m_autoSaveTimer, &QTimer::timeout, this, [this] { m_backup->SaveData(true); });

    connect(qApp, &QGuiApplication::commitDataRequest, this, [this] { m_systemShutdown = true; });

    // The grid's columns, fixed columns, widths, data row height and look.
    ApplyGridSettings();
}

void MainWindow::Form_Load()
{
    // The help file is not attached yet. The window state of the last run:
    // 0 normal, 1 minimized, 2 maximized.
    if (!m_p.settings.WindowSize.isEmpty()) {
        const int state = Settings::ParseInteger(m_p.settings.WindowSize);
        if (state == 1)
            setWindowState(Qt::WindowMinimized);
        else if (state == 2)
            setWindowState(Qt::WindowMaximized);
    }
}

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
    m_grid->setMinimumSize(300, 150);

    // Command7: portfolio, investment file, listing.
    const char* captions7[3] = {"Open &Port.", "&Open Invest.", "&List"};
    const char* tips7[3] = {"Open a portfolio file", "Open an investment file",
                            "List to printer or file"};
    for (int i = 0; i < 3; ++i) {
        m_command7[i] = new QPushButton(QString::fromLatin1(captions7[i]), central);
        m_command7[i]->setObjectName(QStringLiteral("Command7_%1").arg(i));
        m_command7[i]->setToolTip(QString::fromLatin1(tips7[i]));
    }
    // The listing dialog joins later; its button waits hidden until then.
    m_command7[2]->setVisible(false);
    connect(m_command7[0], &QPushButton::clicked, this, &MainWindow::mnuPortfolioItem_Click);
    connect(m_command7[1], &QPushButton::clicked, this, &MainWindow::mnuOpenItem_Click);

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
        frame2Layout->addWidget(m_command1[i]);
        // Cell editing, clearing and row deletion join with the grid editor.
        if (i < 3)
            m_command1[i]->setVisible(false);
    }
    frame2Layout->addStretch();
    connect(m_command1[3], &QPushButton::clicked, this, &MainWindow::mnuRefreshItem_Click);

    auto* middle = new QHBoxLayout;
    middle->addWidget(m_grid, 1);
    middle->addWidget(m_frame2);

    // Frame3: the summary of the listing and the share price box.
    m_frame3 = new QGroupBox(QStringLiteral("Profit/Loss:"), central);
    m_frame3->setObjectName(QStringLiteral("Frame3"));
    auto* summary = new QGridLayout(m_frame3);
    m_summary.lblOOP = SummaryLabel(m_frame3, "lblOOP");
    m_summary.lblPurchases = SummaryLabel(m_frame3, "lblPurchases");
    m_summary.lblCashDistr = SummaryLabel(m_frame3, "lblCashDistr");
    m_summary.lblSales = SummaryLabel(m_frame3, "lblSales");
    m_summary.lblGain = SummaryLabel(m_frame3, "lblGain");
    m_summary.lblIRR = SummaryLabel(m_frame3, "lblIRR");
    m_summary.lblLowBuy = SummaryLabel(m_frame3, "lblLowBuy");
    m_summary.lblHighBuy = SummaryLabel(m_frame3, "lblHighBuy");
    m_summary.lblAvgBuy = SummaryLabel(m_frame3, "lblAvgBuy");
    m_summary.lblLowSell = SummaryLabel(m_frame3, "lblLowSell");
    m_summary.lblHiSell = SummaryLabel(m_frame3, "lblHiSell");
    m_summary.lblAvgSell = SummaryLabel(m_frame3, "lblAvgSell");
    auto place = [&](int row, int column, const QString& caption, QLabel* value) {
        summary->addWidget(CaptionLabel(m_frame3, caption), row, column * 2);
        summary->addWidget(value, row, column * 2 + 1);
    };
    place(0, 0, QStringLiteral("Out of pocket costs:"), m_summary.lblOOP);
    place(0, 1, QStringLiteral("Total purchases:"), m_summary.lblPurchases);
    place(0, 2, QStringLiteral("Cash distributions:"), m_summary.lblCashDistr);
    place(0, 3, QStringLiteral("Sales:"), m_summary.lblSales);
    place(1, 0, QStringLiteral("Realized + Unrealized Gain:"), m_summary.lblGain);
    place(1, 1, QStringLiteral("Internal Rate of Return:"), m_summary.lblIRR);
    place(2, 0, QStringLiteral("Low buy price:"), m_summary.lblLowBuy);
    place(2, 1, QStringLiteral("High buy price:"), m_summary.lblHighBuy);
    place(2, 2, QStringLiteral("Average buy price:"), m_summary.lblAvgBuy);
    place(3, 0, QStringLiteral("Low sell price:"), m_summary.lblLowSell);
    place(3, 1, QStringLiteral("High sell price:"), m_summary.lblHiSell);
    place(3, 2, QStringLiteral("Average sell price:"), m_summary.lblAvgSell);
    m_priceprompt = new QLabel(QStringLiteral("To calculate projected values, if you were to "
                                              "liquidate today, input today's share price:"),
                               m_frame3);
    m_priceprompt->setWordWrap(true);
    m_priceprompt->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_txtSharePrice = new QLineEdit(QStringLiteral("N/A"), m_frame3);
    m_txtSharePrice->setObjectName(QStringLiteral("txtSharePrice"));
    m_txtSharePrice->setMaximumWidth(110);
    summary->addWidget(m_priceprompt, 1, 4, 1, 3);
    summary->addWidget(m_txtSharePrice, 1, 7);
    connect(m_txtSharePrice, &QLineEdit::returnPressed, this, &MainWindow::txtSharePrice_Enter);

    auto* layout = new QVBoxLayout(central);
    layout->addLayout(top);
    layout->addLayout(middle, 1);
    layout->addWidget(m_frame3);

    m_screen = std::make_unique<ScreenListing>(*m_grid, m_summary, m_p.calendar.locale,
                                               [this] { ClearSummary(); });
    m_priceBox = std::make_unique<PriceBox>(m_txtSharePrice);

    connect(m_grid, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        if (m_grid->isEnabled())
            m_rightClick->popup(m_grid->viewport()->mapToGlobal(pos));
    });
}

void MainWindow::buildMenus()
{
    auto add = [this](QMenu* menu, const char* name, const QString& caption,
                      const QKeySequence& key, void (MainWindow::*slot)()) {
        QAction* a = menu->addAction(caption);
        a->setObjectName(QLatin1String(name));
        if (!key.isEmpty())
            a->setShortcut(key);
        connect(a, &QAction::triggered, this, slot);
        addAction(a);  // the shortcut works wherever the focus is in the window
        return a;
    };

    m_mnuFile = menuBar()->addMenu(QStringLiteral("&File"));
    m_mnuFile->setObjectName(QStringLiteral("mnuFile"));
    add(m_mnuFile, "mnuPortfolioItem", QStringLiteral("Open a &portfolio..."),
        QKeySequence(Qt::CTRL | Qt::Key_F), &MainWindow::mnuPortfolioItem_Click);
    add(m_mnuFile, "mnuOpenItem", QStringLiteral("&Open an investment..."),
        QKeySequence(Qt::CTRL | Qt::Key_O), &MainWindow::mnuOpenItem_Click);
    m_mnuFile->addSeparator();
    add(m_mnuFile, "mnuSaveData", QStringLiteral("Copy &current file to backup"),
        QKeySequence(Qt::SHIFT | Qt::Key_F5), &MainWindow::mnuSaveData_Click);
    add(m_mnuFile, "mnuRestore", QStringLiteral("Restore &backup file to current"),
        QKeySequence(Qt::CTRL | Qt::Key_F5), &MainWindow::mnuRestore_Click);
    add(m_mnuFile, "mnuRebuildItem", QStringLiteral("&Rebuild investment file..."),
        QKeySequence(Qt::CTRL | Qt::Key_R), &MainWindow::mnuRebuildItem_Click);
    m_mnuFile->addSeparator();
    add(m_mnuFile, "mnuLogItem", QStringLiteral("Display &Session log"),
        QKeySequence(Qt::CTRL | Qt::Key_S), &MainWindow::mnuLogItem_Click);
    m_mnuFile->addSeparator();
    QAction* exitItem = m_mnuFile->addAction(QStringLiteral("E&xit"));
    exitItem->setObjectName(QStringLiteral("mnuExitItem"));
    exitItem->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_X));
    exitItem->setShortcutContext(Qt::WindowShortcut);
    connect(exitItem, &QAction::triggered, this, &QWidget::close);
    addAction(exitItem);

    m_mnuTransactions = menuBar()->addMenu(QStringLiteral("&Transactions"));
    m_mnuTransactions->setObjectName(QStringLiteral("mnuTransactions"));
    add(m_mnuTransactions, "mnuRTHide", QStringLiteral("&Select record types to display..."),
        QKeySequence(), &MainWindow::mnuRTHide_Click);
    add(m_mnuTransactions, "mnuRefreshItem", QStringLiteral("&Refresh/Recalc grid"),
        QKeySequence(Qt::Key_F5), &MainWindow::mnuRefreshItem_Click);

    m_mnuOptions = menuBar()->addMenu(QStringLiteral("&Options"));
    m_mnuOptions->setObjectName(QStringLiteral("mnuOptions"));
    QAction* tickmoor = add(m_mnuOptions, "mnuTickmoor", QStringLiteral("Start &Tickmoor"),
                            QKeySequence(Qt::CTRL | Qt::Key_W), &MainWindow::mnuTickmoor_Click);
    tickmoor->setCheckable(true);
    QAction* legend =
        add(m_mnuOptions, "mnuRecordTypeItem", QStringLiteral("Show record &types legend"),
            QKeySequence(Qt::CTRL | Qt::Key_T), &MainWindow::mnuRecordTypeItem_Click);
    legend->setCheckable(true);
    QAction* gridControl =
        add(m_mnuOptions, "mnuGridControlItem", QStringLiteral("Show &Grid control frame"),
            QKeySequence(Qt::CTRL | Qt::Key_G), &MainWindow::mnuGridControlItem_Click);
    gridControl->setCheckable(true);
    m_mnuRowHeight = m_mnuOptions->addMenu(QStringLiteral("&Global grid row height"));
    m_mnuRowHeight->setObjectName(QStringLiteral("mnuRowHeight"));
    add(m_mnuRowHeight, "mnuRowHeightSet", QStringLiteral("&Make same as selected row"),
        QKeySequence(), &MainWindow::mnuRowHeightSet_Click);
    add(m_mnuRowHeight, "mnuRowHeightReset", QStringLiteral("&Reset to default"), QKeySequence(),
        &MainWindow::mnuRowHeightReset_Click);

    // The right-click menu of the grid.
    m_rightClick = new QMenu(this);
    m_rightClick->setObjectName(QStringLiteral("mnuRightClick"));
    m_mnuRCRowHeight = m_rightClick->addMenu(QStringLiteral("&Global grid row height"));
    m_mnuRCRowHeight->setObjectName(QStringLiteral("mnuRCRowHeight"));
    QAction* rcSet = m_mnuRCRowHeight->addAction(QStringLiteral("&Make same as this row"));
    rcSet->setObjectName(QStringLiteral("mnuRCRowHeightSet"));
    connect(rcSet, &QAction::triggered, this, &MainWindow::mnuRowHeightSet_Click);
    QAction* rcReset = m_mnuRCRowHeight->addAction(QStringLiteral("&Reset to default"));
    rcReset->setObjectName(QStringLiteral("mnuRCRowHeightReset"));
    connect(rcReset, &QAction::triggered, this, &MainWindow::mnuRowHeightReset_Click);
}

QAction* MainWindow::action(const QString& name) const
{
    return findChild<QAction*>(name);
}

void MainWindow::AttachMenuPictures()
{
    const struct {
        const char* item;
        QStyle::StandardPixmap picture;
    } pictures[] = {
        {"mnuPortfolioItem", QStyle::SP_DirOpenIcon},
        {"mnuOpenItem", QStyle::SP_FileIcon},
        {"mnuSaveData", QStyle::SP_DialogSaveButton},
        {"mnuRestore", QStyle::SP_BrowserReload},
        {"mnuRebuildItem", QStyle::SP_DriveHDIcon},
        {"mnuRefreshItem", QStyle::SP_BrowserReload},
        {"mnuRecordTypeItem", QStyle::SP_FileDialogInfoView},
    };
    for (const auto& p : pictures) {
        if (QAction* a = action(QLatin1String(p.item)))
            a->setIcon(style()->standardIcon(p.picture));
    }
}

grid::GridAppearance MainWindow::gridAppearance() const
{
    const Settings& s = m_p.settings;
    const QPalette palette = QApplication::palette();
    grid::GridAppearance a;
    a.fore = grid::ToQColor(s.GridForeColor, palette);
    a.back = grid::ToQColor(s.GridBackColor, palette);
    a.fixed = grid::ToQColor(s.GridFixedColor, palette);
    a.line = grid::ToQColor(s.GridLineColor, palette);
    a.current = grid::ToQColor(s.CurrentBackColor, palette);
    a.lineWidth = std::max<int>(0, s.GridLineWidth);
    // The grid's own font, with the name, size, bold and italic of the
    // settings where they are given.
    QFont font = QApplication::font(m_grid);
    if (!s.GridFont.trimmed().isEmpty())
        font.setFamily(s.GridFont.trimmed());
    if (!s.GridFontSize.trimmed().isEmpty()) {
        const double size = Val(s.GridFontSize);
        if (size > 0)
            font.setPointSizeF(size);
    }
    if (!s.GridFontBold.trimmed().isEmpty())
        font.setBold(Settings::ParseBoolean(s.GridFontBold, font.bold()));
    if (!s.GridFontItalic.trimmed().isEmpty())
        font.setItalic(Settings::ParseBoolean(s.GridFontItalic, font.italic()));
    a.font = font;
    return a;
}

void MainWindow::ApplyGridSettings()
{
    const Settings& s = m_p.settings;
    m_model->setRecordTypePosition(s.RTColPos);
    m_grid->setColumnWidthsTwips(grid::ColumnWidths(s.GridColWidth, s.RTColPos));
    m_grid->setFixedColumns(s.GridFixedColumns);
    m_grid->setDataRowHeight(s.GridRowHeight);
    m_grid->setAppearance(gridAppearance());
    const QPalette palette = QApplication::palette();
    m_model->setColours({grid::ToQColor(s.GridForeColor, palette),
                         grid::ToQColor(s.GridForeColorNegative, palette),
                         grid::ToQColor(s.AmbiguousBackColor, palette)});
    m_grid->applyRowHeights();
}

// ---------------------------------------------------------------------------
// Start

void MainWindow::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    Form_Activate();
}

void MainWindow::Form_Activate()
{
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
    QAction* openItem = action(QStringLiteral("mnuOpenItem"));
    if (!m_p.portfolio.CurrentPortfolio.isEmpty()) {
        LogSession(QStringLiteral("Opened portfolio ") + m_p.portfolio.CurrentPortfolio);
        openItem->setEnabled(true);
        m_command7[1]->setEnabled(true);
    } else {
        openItem->setEnabled(false);
    }
    EnableFileControls(false);
    restoreWindowPosition();
    AttachMenuPictures();
    if (m_p.settings.ShowRecordTypesLegend)
        mnuRecordTypeItem_Click();
    if (m_p.settings.ShowGridControl)
        action(QStringLiteral("mnuGridControlItem"))->setChecked(true);
    else
        mnuGridControlItem_Click();
    if (m_p.settings.StartTickmoor)
        mnuTickmoor_Click();
}

void MainWindow::restoreWindowPosition()
{
    const Settings& s = m_p.settings;
    if (s.WindowSize.isEmpty() || windowState() != Qt::WindowNoState)
        return;
    bool leftOk = false;
    bool topOk = false;
    const double left = s.Left.trimmed().toDouble(&leftOk);
    const double top = s.Top.trimmed().toDouble(&topOk);
    QPoint target(0, 0);
    if (leftOk && topOk && std::isfinite(left) && std::isfinite(top) && std::fabs(left) < 1e8 &&
        std::fabs(top) < 1e8) {
        const QPoint wanted(grid::TwipsToPixels(int(left)), grid::TwipsToPixels(int(top)));
        // The title bar must land on a screen, else the window goes to the corner.
        const QRect titleBar(wanted, QSize(std::max(1, width()), 20));
        for (const QScreen* screen : QGuiApplication::screens()) {
            if (screen->availableGeometry().intersects(titleBar)) {
                target = wanted;
                break;
            }
        }
    }
    move(target);
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
                       static_cast<QWidget*>(m_frame3)})
        w->setEnabled(enabled);
    for (QPushButton* b : m_command7)
        b->setEnabled(enabled);
    for (QMenu* menu : {m_mnuFile, m_mnuTransactions, m_mnuOptions})
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
    action(QStringLiteral("mnuSaveData"))->setEnabled(enabled);
    action(QStringLiteral("mnuRestore"))->setEnabled(enabled);
    m_mnuRowHeight->menuAction()->setEnabled(enabled);
    for (QAction* a : m_mnuRowHeight->actions())
        a->setEnabled(enabled);
    m_grid->setEnabled(enabled);
    m_command7[2]->setEnabled(enabled);
}

void MainWindow::ClearGrid()
{
    m_model->clear();
}

void MainWindow::ClearSummary()
{
    // Every label whose name begins with "lbl": the twelve summary labels.
    const QList<QLabel*> labels = findChildren<QLabel*>();
    for (QLabel* label : labels) {
        if (label->objectName().startsWith(QLatin1String("lbl")))
            label->clear();
    }
}

void MainWindow::SetAutoSaveTimer(bool stop)
{
    if (stop) {
        m_autoSaveTimer->stop();
        return;
    }
    const int period = int(m_p.settings.AutoSaveInterval) * 60 * 1000;
    if (m_autoSaveTimer->isActive() && period != m_autoSavePeriod)
        m_autoSaveTimer->stop();
    if (!m_p.file.CurrentFile.isEmpty() && period != 0 && !m_autoSaveTimer->isActive())
        m_autoSaveTimer->start(period);
    m_autoSavePeriod = period;
}

bool MainWindow::autoSaveRunning() const
{
    return m_autoSaveTimer->isActive();
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
    if (!file.isEmpty())
        caption += QStringLiteral(", File: ") + PathWithEllipses(*this, file, 180);
    QFont font = m_fileValue->font();
    font.setPointSize(m_p.file.CurrentFileDesc.size() < 73 ? 10 : 8);
    m_fileValue->setFont(font);
    m_fileValue->setText(m_p.file.CurrentFileDesc);
    m_fileValue->setToolTip(file);
    setWindowTitle(caption);
}

void MainWindow::LogSession(const QString& message, bool display, bool wait, bool showButtons)
{
    m_p.log.LogSession(message, display, wait, showButtons);
}

void MainWindow::ListLedger()
{
    if (m_listing || !m_p.file.isOpen())
        return;
    m_listing = true;
    m_cancelRequested = false;
    m_p.report.ReportDestination = DestinationScreen;
    // The look of the grid follows the settings at every listing.
    m_grid->setAppearance(gridAppearance());
    const QPalette palette = QApplication::palette();
    m_model->setColours({grid::ToQColor(m_p.settings.GridForeColor, palette),
                         grid::ToQColor(m_p.settings.GridForeColorNegative, palette),
                         grid::ToQColor(m_p.settings.AmbiguousBackColor, palette)});
    m_screen->expectRows(
        size_t(std::max<std::int64_t>(0, m_p.files.length(InvestmentSlot) / RecordLength)));
    ListingContext context{m_p.file, m_p.report,    m_p.settings,     m_p.calendar,
                           m_p.log,  *m_screen,     m_priceBox.get(), m_messages,
                           m_input,  *m_cancelPoll, m_p.ProgramTitle};
    TransactionListing listing(context);
    listing.ListTrans(nullptr);
    m_listing = false;
}

int MainWindow::listedRows() const
{
    const int rows = m_model->rowCount();
    return rows > 0 ? rows - 1 : 0;
}

// ---------------------------------------------------------------------------
// Menu commands

void MainWindow::mnuPortfolioItem_Click()
{
    if (m_listing)
        return;
    const QString path = m_choosePortfolio(this, m_p.portfolio.CurrentPortfolio);
    if (path.isEmpty())
        return;
    // Made as an empty portfolio when it cannot be opened.
    m_p.portfolio.OpenPortfolio(path);
    SetAutoSaveTimer(true);
    m_p.file.close();
    action(QStringLiteral("mnuOpenItem"))->setEnabled(true);
    m_command7[1]->setEnabled(true);
    m_p.file.CurrentFile.clear();
    m_p.file.CurrentFileDesc.clear();
    EnableFileControls(false);
    UpdateCaption();
    ClearGrid();
    ClearSummary();
    m_p.portfolio.clear();
    LogSession(QStringLiteral("Opened portfolio ") + m_p.portfolio.CurrentPortfolio);
}

FileDisplay* MainWindow::portfolioWindow()
{
    if (!m_fileDisplay) {
        m_fileDisplay = new FileDisplay(m_p.portfolio, m_p.file, m_p.settings, m_p.log, m_messages,
                                        m_descriptionInput, this);
        m_descriptionBox->setParent(m_fileDisplay);
    }
    return m_fileDisplay;
}

void MainWindow::mnuOpenItem_Click()
{
    if (m_listing || m_p.portfolio.CurrentPortfolio.isEmpty())
        return;
    SetAutoSaveTimer(true);
    FileDisplay* window = portfolioWindow();
    window->exec();
    if (window->outcome() == QLatin1String(FileDisplay::OutcomeOpened)) {
        if (m_p.settings.AlwaysCopyFile)
            m_backup->SaveData(true);
        SetAutoSaveTimer(false);
        LogSession(QStringLiteral("Opened file ") + m_p.file.CurrentFile +
                   QStringLiteral(" in portfolio ") + m_p.portfolio.CurrentPortfolio);
        UpdateCaption();
        m_p.report.ListFromDate = 0;
        m_p.report.ListToDate = 99999999;
        m_txtSharePrice->setText(QStringLiteral("N/A"));
        m_txtSharePrice->setEnabled(true);
        EnableFileControls(true);
        ListLedger();
        m_command7[2]->setEnabled(true);
    } else if (!m_p.file.CurrentFile.isEmpty()) {
        SetAutoSaveTimer(false);
    }
}

void MainWindow::mnuSaveData_Click()
{
    // The interactive copy closes the file for a moment: not under a listing.
    if (m_listing)
        return;
    m_backup->SaveData(false);
}

void MainWindow::mnuRestore_Click()
{
    if (m_listing)
        return;
    m_backup->RestoreBackup();
}

void MainWindow::mnuRebuildItem_Click()
{
    if (m_listing)
        return;
    const QString path = m_chooseRebuildFile(this, m_p.file.CurrentFile);
    if (path.isEmpty())
        return;
    m_backup->RebuildInvestmentFile(path);
}

void MainWindow::mnuLogItem_Click()
{
    if (m_displayLog)
        m_displayLog();
}

void MainWindow::mnuRefreshItem_Click()
{
    if (m_listing || m_p.file.CurrentFile.isEmpty())
        return;
    m_p.report.ListFromDate = 0;
    m_p.report.ListToDate = 99999999;
    ListLedger();
}

void MainWindow::txtSharePrice_Enter()
{
    QAction* refresh = action(QStringLiteral("mnuRefreshItem"));
    if (refresh->isEnabled())
        mnuRefreshItem_Click();
}

void MainWindow::mnuRTHide_Click()
{
    if (m_listing)
        return;
    std::optional<QString> types;
    if (m_chooseRecordTypes) {
        types = m_chooseRecordTypes();
    } else {
        if (!m_recordTypeFilter)
            m_recordTypeFilter = new grid::RecordTypeFilter(this);
        types = m_recordTypeFilter->choose();
    }
    if (!types)
        return;
    if (types->size() >= grid::HideableRecordTypes().size()) {
        mnuRefreshItem_Click();
        return;
    }
    m_grid->showRecordTypes(*types);
}

void MainWindow::mnuTickmoor_Click()
{
    QAction* item = action(QStringLiteral("mnuTickmoor"));
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

void MainWindow::mnuRecordTypeItem_Click()
{
    QAction* item = action(QStringLiteral("mnuRecordTypeItem"));
    if (m_recordTypes->isVisible()) {
        m_recordTypes->hide();
        item->setChecked(false);
    } else {
        item->setChecked(true);
        m_recordTypes->Tag = QStringLiteral("A");
        m_recordTypes->show();
    }
}

void MainWindow::mnuGridControlItem_Click()
{
    QAction* item = action(QStringLiteral("mnuGridControlItem"));
    const bool show = m_frame2->isHidden();
    m_frame2->setVisible(show);
    item->setChecked(show);
}

void MainWindow::mnuRowHeightSet_Click()
{
    m_grid->setDataRowHeight(m_grid->currentRowHeightTwips());
    mnuRefreshItem_Click();
}

void MainWindow::mnuRowHeightReset_Click()
{
    m_grid->setDataRowHeight(m_p.GridRowHeightAtStart);
    mnuRefreshItem_Click();
}

// ---------------------------------------------------------------------------
// Date watch

void MainWindow::Timer1_Timer()
{
    m_timer1->stop();
    // Wake 30 seconds before midnight, then every second until the day changes.
    const double t = QTime::currentTime().msecsSinceStartOfDay() / 1000.0;
    const qint64 wait = 86400000 - 1000 * qint64(std::floor(t + 30));
    m_timer1->start(int(wait > 1000 ? wait : 1000));
    m_p.calendar.SetToday();
    if (m_p.calendar.TodayYMD != m_dateWatchDay && m_dateWatchDay != 0) {
        if (m_p.file.CurrentFile.isEmpty()) {
            m_dateValue->setText(m_p.calendar.TodayLongText);
        } else {
            LogSession(QStringLiteral("The system date has changed.") +
                           QStringLiteral("  Press F5 to refresh the grid."),
                       true, false, true);
        }
    }
    m_dateWatchDay = m_p.calendar.TodayYMD;
}

int MainWindow::dateWatchInterval() const
{
    return m_timer1->isActive() ? m_timer1->interval() : 0;
}

void MainWindow::probeClock()
{
    const QDate date = QDate::currentDate();
    const qint64 wall = QDateTime::currentMSecsSinceEpoch();
    const qint64 steady = m_steady.elapsed();
    const qint64 drift = (wall - m_probeWall) - (steady - m_probeSteady);
    if (date != m_probeDate || drift > 2000 || drift < -2000)
        m_timer1->start(200);
    m_probeDate = date;
    m_probeWall = wall;
    m_probeSteady = steady;
}

// ---------------------------------------------------------------------------
// Keys, size, closing

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        auto* widget = qobject_cast<QWidget*>(watched);
        if (key->key() == Qt::Key_Escape && widget && widget->window() == this)
            m_cancelRequested = true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    if (m_recordTypes && m_recordTypes->isVisible())
        m_recordTypes->followOwner();
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
    if (m_listing) {
        // A listing runs below this handler: it is asked to stop first.
        m_cancelRequested = true;
        event->ignore();
        QTimer::singleShot(50, this, &QWidget::close);
        return;
    }
    m_closing = true;
    SetAutoSaveTimer(true);
    m_timer1->stop();
    m_clockProbe->stop();
    m_timer2->stop();
    writeSettingsAtExit();
    LogSession(QStringLiteral("Session ended"));
    m_p.files.CloseAll();
    // The other windows, newest first.
    if (m_recordTypeFilter)
        m_recordTypeFilter->hide();
    if (m_fileDisplay)
        m_fileDisplay->hide();
    m_recordTypes->hide();
    m_notices->hide();
    m_p.log.setDisplay(nullptr);
    event->accept();
}

}  // namespace brisden
