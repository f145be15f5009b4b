#include "shell/SessionLog.h"

#include "data/FileTable.h"
#include "ui/Interaction.h"

namespace brisden {

SessionLog::SessionLog(FileTable& files, QString logPath)
    : m_files(files), m_path(std::move(logPath))
{
}

void SessionLog::Start()
{
    const QDateTime now = m_clock ? m_clock() : QDateTime::currentDateTime();
    const QString line = QStringLiteral("Session started ") +
                         now.toString(QStringLiteral("MM-dd-yyyy")) + QStringLiteral(", ") +
                         now.toString(QStringLiteral("HH:mm:ss"));
    if (!m_path.isEmpty()) {
        // Output mode empties the log of the previous run.
        m_files.OpenFile(LogSlot, m_path, QStringLiteral("O"), QStringLiteral("W"), 0);
        if (m_files.isOpen(LogSlot))
            m_files.writeLine(LogSlot, line.toLatin1());
        m_files.CloseFile(LogSlot);
    }
    if (m_echo)
        m_echo(line);
}

void SessionLog::LogSession(const QString& message, bool display, bool wait, bool showButtons)
{
    const QDateTime now = m_clock ? m_clock() : QDateTime::currentDateTime();
    const QString line = now.toString(QStringLiteral("HH:mm:ss")) + QStringLiteral(": ") + message +
                         QLatin1Char('.');
    if (!m_path.isEmpty()) {
        // Opened and closed around every line: the log is complete even if
        // the program stops abnormally. A log that cannot be opened is passed
        // over; logging never troubles the caller.
        m_files.OpenFile(LogSlot, m_path, QStringLiteral("A"), QStringLiteral("RW"), 0);
        if (m_files.isOpen(LogSlot))
            m_files.writeLine(LogSlot, line.toLatin1());
        m_files.CloseFile(LogSlot);
    }
    if (m_echo)
        m_echo(line);
    if (display && m_display)
        m_display->showNotice(message, wait, showButtons);
}

}  // namespace brisden
