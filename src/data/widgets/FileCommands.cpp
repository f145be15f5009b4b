#include "data/widgets/FileCommands.h"

#include "data/Backup.h"
#include "data/InvestmentFile.h"
#include "data/Portfolio.h"
#include "data/widgets/DescriptionInput.h"
#include "data/widgets/FileDisplay.h"
#include "shell/Settings.h"
#include "ui/widgets/CommandHost.h"

#include <QAction>
#include <QFileInfo>
#include <QPushButton>
#include <QTimer>
#include <QWidget>

namespace brisden {

namespace {

// The same file, under this spelling or another (letter case, links).
bool IsSameFile(const QString& a, const QString& b)
{
    if (a.trimmed().isEmpty() || b.trimmed().isEmpty())
        return false;
    if (a.trimmed().compare(b.trimmed(), Qt::CaseInsensitive) == 0)
        return true;
    const QFileInfo x(a.trimmed());
    const QFileInfo y(b.trimmed());
    return x.exists() && y.exists() && x.canonicalFilePath() == y.canonicalFilePath();
}

}  // namespace

FileCommands::FileCommands(const FileCommandsContext& context, QWidget* window)
    : QObject(window),
      m(context),
      m_window(window),
      m_backup(std::make_unique<Backup>(context.file, context.log, context.messages)),
      m_descriptionBox(std::make_unique<DescriptionInputBox>(window)),
      m_descriptionInput(m_descriptionBox.get()),
      m_choosePortfolio(ui::ChoosePortfolioFile),
      m_chooseRebuildFile(ui::ChooseInvestmentFile)
{
    m_backup->stopAutoBackup = [this] { SetAutoSaveTimer(true); };
    m_backup->startAutoBackup = [this] { SetAutoSaveTimer(false); };
    m_autoSaveTimer = new QTimer(this);
    connect(m_autoSaveTimer, &QTimer::timeout, this, [this] { m_backup->SaveData(true); });
}

FileCommands::~FileCommands() = default;

void FileCommands::setDescriptionInput(ui::IInputBox* input)
{
    m_descriptionInput.setTarget(input ? input : m_descriptionBox.get());
}

void FileCommands::OpenPortfolio()
{
    const QString path = m_choosePortfolio(m_window, m.portfolio.CurrentPortfolio);
    if (path.isEmpty())
        return;
    // Made as an empty portfolio when it cannot be opened.
    m.portfolio.OpenPortfolio(path);
    SetAutoSaveTimer(true);
    m.file.close();
    m.file.CurrentFile.clear();
    m.file.CurrentFileDesc.clear();
    m.portfolio.clear();
    emit portfolioOpened();
    m.log.LogSession(QStringLiteral("Opened portfolio ") + m.portfolio.CurrentPortfolio);
}

FileDisplay* FileCommands::portfolioWindow()
{
    if (!m_fileDisplay) {
        m_fileDisplay = new FileDisplay(m.portfolio, m.file, m.settings, m.log, m.messages,
                                        m_descriptionInput, m_window);
        m_descriptionBox->setParent(m_fileDisplay);
    }
    return m_fileDisplay;
}

void FileCommands::OpenInvestment()
{
    if (m.portfolio.CurrentPortfolio.isEmpty())
        return;
    SetAutoSaveTimer(true);
    FileDisplay* window = portfolioWindow();
    window->exec();
    if (window->outcome() == QLatin1String(FileDisplay::OutcomeOpened)) {
        if (m.settings.AlwaysCopyFile)
            m_backup->SaveData(true);
        SetAutoSaveTimer(false);
        m.log.LogSession(QStringLiteral("Opened file ") + m.file.CurrentFile +
                         QStringLiteral(" in portfolio ") + m.portfolio.CurrentPortfolio);
        emit fileOpened();
    } else if (!m.file.CurrentFile.isEmpty()) {
        SetAutoSaveTimer(false);
    }
}

void FileCommands::SaveData()
{
    m_backup->SaveData(false);
}

bool FileCommands::refuseReadOnly(const QString& command)
{
    if (!m.file.readOnly() || m.file.CurrentFile.isEmpty())
        return false;
    const QString text = QStringLiteral("Can't ") + command + QStringLiteral(" ") +
                         m.file.CurrentFile + QStringLiteral(": it is open read-only because ") +
                         m.file.ReadOnlyReason + QStringLiteral(".");
    m.messages.show(text, ui::Icon::Exclamation);
    m.log.LogSession(text);
    return true;
}

void FileCommands::installCommands(ui::CommandHost& host, QPushButton* openPortfolio,
                                   QPushButton* openInvestment)
{
    QAction* portfolio =
        host.command("mnuPortfolioItem", QStringLiteral("Open a &portfolio..."),
                     QKeySequence(Qt::CTRL | Qt::Key_F), [this] { OpenPortfolio(); });
    QAction* investment =
        host.command("mnuOpenItem", QStringLiteral("&Open an investment..."),
                     QKeySequence(Qt::CTRL | Qt::Key_O), [this] { OpenInvestment(); });
    host.command("mnuSaveData", QStringLiteral("Copy &current file to backup"),
                 QKeySequence(Qt::SHIFT | Qt::Key_F5), [this] { SaveData(); });
    host.command("mnuRestore", QStringLiteral("Restore &backup file to current"),
                 QKeySequence(Qt::CTRL | Qt::Key_F5), [this] {
                     Restore();
                     emit fileReplaced();
                 });
    host.command("mnuRebuildItem", QStringLiteral("&Rebuild investment file..."),
                 QKeySequence(Qt::CTRL | Qt::Key_R), [this] {
                     Rebuild();
                     emit fileReplaced();
                 });
    // A button is enabled exactly when its menu item is.
    ui::CommandHost::twin(portfolio, openPortfolio);
    ui::CommandHost::twin(investment, openInvestment);
    host.onCommand(openPortfolio, [this] { OpenPortfolio(); });
    host.onCommand(openInvestment, [this] { OpenInvestment(); });
}

void FileCommands::Restore()
{
    if (refuseReadOnly(QStringLiteral("restore the backup file to")))
        return;
    m_backup->RestoreBackup();
}

void FileCommands::Rebuild()
{
    const QString path = m_chooseRebuildFile(m_window, m.file.CurrentFile);
    if (path.isEmpty())
        return;
    if (IsSameFile(path, m.file.CurrentFile) && refuseReadOnly(QStringLiteral("rebuild")))
        return;
    m_backup->RebuildInvestmentFile(path);
}

void FileCommands::SetAutoSaveTimer(bool stop)
{
    if (stop) {
        m_autoSaveTimer->stop();
        return;
    }
    const int period = int(m.settings.AutoSaveInterval) * 60 * 1000;
    if (m_autoSaveTimer->isActive() && period != m_autoSavePeriod)
        m_autoSaveTimer->stop();
    if (!m.file.CurrentFile.isEmpty() && period != 0 && !m_autoSaveTimer->isActive())
        m_autoSaveTimer->start(period);
    m_autoSavePeriod = period;
}

bool FileCommands::autoSaveRunning() const
{
    return m_autoSaveTimer->isActive();
}

}  // namespace brisden
