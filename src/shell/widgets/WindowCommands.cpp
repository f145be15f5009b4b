#include "shell/widgets/WindowCommands.h"

#include "shell/IniFile.h"
#include "shell/widgets/RecordTypesWindow.h"
#include "ui/widgets/CommandHost.h"

#include <QAction>
#include <QMainWindow>
#include <QProcess>
#include <QStyle>
#include <QWidget>

namespace brisden {

namespace {
// The key of Application.ini that keeps where the legend stands.
constexpr const char* WindowLayoutKey = "WindowLayout";
}  // namespace

WindowCommands::WindowCommands(QMainWindow& window, QMainWindow& gridArea,
                               QWidget& gridControlFrame, const QString& appFolder,
                               ui::IMessageBox& messages, std::function<void()> showLog)
    : QObject(&window),
      m_window(window),
      m_gridArea(gridArea),
      m_appFolder(appFolder),
      m_messages(messages),
      m_legend(*new RecordTypesWindow(&window)),
      m_frame2(gridControlFrame),
      m_showLog(std::move(showLog))
{
    // The legend stands below the grid (or at a side of it), never over it.
    gridArea.addDockWidget(Qt::BottomDockWidgetArea, &m_legend);
    m_legend.setWide(true);
    m_legend.hide();
}

void WindowCommands::restoreLegendPlace(const QString& iniPath)
{
    const QByteArray layout = QByteArray::fromBase64(
        ReadINI(QStringLiteral("General"), QLatin1String(WindowLayoutKey), QString(), iniPath)
            .toLatin1());
    if (!layout.isEmpty())
        m_gridArea.restoreState(layout);
    const Qt::DockWidgetArea area = m_gridArea.dockWidgetArea(&m_legend);
    m_legend.setWide(!m_legend.isFloating() &&
                     (area == Qt::TopDockWidgetArea || area == Qt::BottomDockWidgetArea));
    m_legend.hide();
}

void WindowCommands::showAtStart(bool legend, bool gridControlFrame)
{
    if (legend)
        toggleRecordTypesLegend();
    if (gridControlFrame)
        m_host->action("mnuGridControlItem")->setChecked(true);
    else
        toggleGridControlFrame();
}

void WindowCommands::saveLegendPlace(const QString& iniPath)
{
    WriteINI(QStringLiteral("General"), QLatin1String(WindowLayoutKey),
             QString::fromLatin1(m_gridArea.saveState().toBase64()), iniPath);
}

void WindowCommands::installCommands(ui::CommandHost& host)
{
    m_host = &host;
    // These run whatever the window is doing.
    connect(host.item("mnuLogItem", QStringLiteral("Display &Session log"),
                      QKeySequence(Qt::CTRL | Qt::Key_S)),
            &QAction::triggered, this, [this] { m_showLog(); });
    QAction* exit = host.item("mnuExitItem", QStringLiteral("E&xit"));
    // Ctrl+Q as well, as on every Linux desktop. Where the focus is in a text
    // box, Ctrl+X cuts there instead.
    exit->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_X), QKeySequence(Qt::CTRL | Qt::Key_Q)});
    exit->setShortcutContext(Qt::WindowShortcut);
    connect(exit, &QAction::triggered, &m_window, &QWidget::close);

    QAction* tickmoor = host.item("mnuTickmoor", QStringLiteral("Start &Tickmoor"),
                                  QKeySequence(Qt::CTRL | Qt::Key_W));
    QAction* legend = host.item("mnuRecordTypeItem", QStringLiteral("Show record &types legend"),
                                QKeySequence(Qt::CTRL | Qt::Key_T));
    QAction* frame = host.item("mnuGridControlItem", QStringLiteral("Show &Grid control frame"),
                               QKeySequence(Qt::CTRL | Qt::Key_G));
    for (QAction* a : {tickmoor, legend, frame})
        a->setCheckable(true);
    connect(tickmoor, &QAction::triggered, this, &WindowCommands::startTickmoor);
    connect(legend, &QAction::triggered, this, &WindowCommands::toggleRecordTypesLegend);
    connect(frame, &QAction::triggered, this, &WindowCommands::toggleGridControlFrame);
    connect(&m_legend, &RecordTypesWindow::closedByUser, this,
            [legend] { legend->setChecked(false); });
}

void WindowCommands::AttachMenuPictures()
{
    const std::pair<const char*, QStyle::StandardPixmap> pictures[] = {
        {"mnuPortfolioItem", QStyle::SP_DirOpenIcon},
        {"mnuOpenItem", QStyle::SP_FileIcon},
        {"mnuSaveData", QStyle::SP_DialogSaveButton},
        {"mnuRestore", QStyle::SP_BrowserReload},
        {"mnuRebuildItem", QStyle::SP_DriveHDIcon},
        {"mnuRefreshItem", QStyle::SP_BrowserReload},
        {"mnuRecordTypeItem", QStyle::SP_FileDialogInfoView},
    };
    for (const auto& [item, picture] : pictures)
        m_host->action(item)->setIcon(m_window.style()->standardIcon(picture));
}

void WindowCommands::startTickmoor()
{
    QAction* item = m_host->action("mnuTickmoor");
    if (m_tickmoorTask == 0) {
        qint64 pid = 0;
        if (QProcess::startDetached(m_appFolder + QStringLiteral("/tickmoor"), {}, QString(),
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

void WindowCommands::toggleRecordTypesLegend()
{
    QAction* item = m_host->action("mnuRecordTypeItem");
    if (m_legend.isVisible()) {
        m_legend.hide();
        item->setChecked(false);
    } else {
        item->setChecked(true);
        m_legend.Tag = QStringLiteral("A");
        m_legend.show();
    }
}

void WindowCommands::toggleGridControlFrame()
{
    const bool show = m_frame2.isHidden();
    m_frame2.setVisible(show);
    m_host->action("mnuGridControlItem")->setChecked(show);
}

}  // namespace brisden
