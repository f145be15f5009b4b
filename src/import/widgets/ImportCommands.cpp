#include "import/widgets/ImportCommands.h"

#include "data/InvestmentFile.h"
#include "import/ImportEngine.h"
#include "import/widgets/ImportDialog.h"
#include "shell/SessionLog.h"
#include "ui/widgets/CommandHost.h"
#include "ui/widgets/WidgetInteraction.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QProgressDialog>
#include <QTimer>
#include <QUrl>

namespace brisden {

ImportCommands::ImportCommands(const ImportContext& context, const ImportHooks& hooks,
                               QWidget* window)
    : QObject(window), m(context), m_hooks(hooks), m_window(window)
{
    // The import after a drop starts once the drop is over.
    m_timer3 = new QTimer(this);
    m_timer3->setObjectName(QStringLiteral("Timer3"));
    m_timer3->setSingleShot(true);
    m_timer3->setInterval(100);
    connect(m_timer3, &QTimer::timeout, this, &ImportCommands::Timer3_Timer);
}

ImportCommands::~ImportCommands() = default;

ImportDialog* ImportCommands::dialog()
{
    if (!m_dialog) {
        m_dialog = new ImportDialog(
            ImportDialogContext{m.file, m.settings, m.calendar, m.messages, m.IniPath}, m_window);
        m_dialog->setHelp(m_help);
    }
    return m_dialog;
}

void ImportCommands::setHelp(ui::IHelp* help)
{
    m_help = help;
    if (m_dialog)
        m_dialog->setHelp(help);
}

void ImportCommands::installCommands(ui::CommandHost& host, QWidget* dropArea)
{
    host.command("mnuImportItem", QStringLiteral("&Import data..."),
                 QKeySequence(Qt::CTRL | Qt::Key_I), [this] { mnuImportItem_Click(); });
    new FileDropTarget(dropArea, [this, &host](const QString& path) {
        if (host.mayRun())
            FileDropped(path);
    });
}

void ImportCommands::mnuImportItem_Click()
{
    if (m_importing || !m.file.isOpen())
        return;
    if (m_hooks.refuseReadOnly && m_hooks.refuseReadOnly())
        return;
    ImportDialog* d = dialog();
    d->Tag = QStringLiteral("A");
    d->exec();
    if (d->Tag != QLatin1String("0"))
        return;
    RunImport();
}

void ImportCommands::RunImport()
{
    const ImportDialog& d = *m_dialog;
    const QString path = d.sourcePath();
    const ImportSchema schema = d.schema();
    const ImportSelection selection = d.selection();

    QApplication::setOverrideCursor(Qt::WaitCursor);
    if (m_hooks.SetAutoSaveTimer)
        m_hooks.SetAutoSaveTimer(true);
    m_importing = true;
    m_cancelRequested = false;

    // A long import shows how far it has come and can be stopped between
    // two lines; the lines before stay imported, each as a whole record.
    QProgressDialog progress(QStringLiteral("Importing ") + QFileInfo(path).fileName() +
                                 QStringLiteral("..."),
                             QStringLiteral("&Cancel"), 0, 1000, m_window);
    progress.setObjectName(QStringLiteral("ImportProgress"));
    progress.setWindowTitle(QStringLiteral("Import data"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(400);
    progress.setAutoReset(false);
    progress.setAutoClose(false);
    ui::WidgetCancelPoll poll([this, &progress] {
        return m_cancelRequested || progress.wasCanceled();
    });
    ImportEngine engine(m.file, m.calendar, m.log);
    engine.setSelection(&selection);
    engine.setCancelPoll(&poll);
    engine.setProgress([this, &progress](std::int64_t done, std::int64_t total) {
        progress.setValue(total > 0 ? int(done * 1000 / total) : 0);
        emit progressed(done, total);
    });
    engine.ImportFromSource(schema, path);
    progress.close();
    m_importing = false;

    // The lines in error, for the user to see without opening the log.
    if (ui::INoticeDisplay* display = m.log.display(); display && !engine.lineMessages.isEmpty()) {
        QString text = engine.lineMessages.join(QLatin1Char('\n'));
        const std::int32_t more = engine.lineMessageCount - std::int32_t(engine.lineMessages.size());
        if (more > 0)
            text += QStringLiteral("\n... and %1 more, listed in the session log").arg(more);
        display->showNotice(text, false, false);
    }
    QApplication::restoreOverrideCursor();
    engine.LogFinished();
    if (m_hooks.Refresh)
        m_hooks.Refresh();
    if (m_hooks.SetAutoSaveTimer)
        m_hooks.SetAutoSaveTimer(false);
}

void ImportCommands::FileDropped(const QString& path)
{
    dialog()->setSourcePath(path);
    m_timer3->start();
}

void ImportCommands::Timer3_Timer()
{
    m_timer3->stop();
    if (!m_hooks.canRun || m_hooks.canRun())
        mnuImportItem_Click();
}

// ---------------------------------------------------------------------------

namespace {

// The first local file a drag offers, when it may be copied.
QString DroppedFile(const QMimeData* mime, Qt::DropActions actions)
{
    if (!mime || !mime->hasUrls() || !(actions & Qt::CopyAction))
        return QString();
    const QList<QUrl> urls = mime->urls();
    if (urls.isEmpty() || !urls.first().isLocalFile())
        return QString();
    const QString path = urls.first().toLocalFile();
    return QFileInfo(path).isDir() ? QString() : path;
}

}  // namespace

FileDropTarget::FileDropTarget(QWidget* target, std::function<void(const QString&)> dropped)
    : QObject(target), m_dropped(std::move(dropped))
{
    target->setAcceptDrops(true);
    target->installEventFilter(this);
}

bool FileDropTarget::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove: {
            auto* drag = static_cast<QDragMoveEvent*>(event);
            if (DroppedFile(drag->mimeData(), drag->possibleActions()).isEmpty()) {
                drag->ignore();
            } else {
                drag->setDropAction(Qt::CopyAction);
                drag->accept();
            }
            return true;
        }
        case QEvent::Drop: {
            auto* drop = static_cast<QDropEvent*>(event);
            const QString path = DroppedFile(drop->mimeData(), drop->possibleActions());
            if (path.isEmpty()) {
                drop->ignore();
                return true;
            }
            // A copy: the source of the drag never removes its file.
            drop->setDropAction(Qt::CopyAction);
            drop->accept();
            m_dropped(path);
            return true;
        }
        default:
            break;
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace brisden
