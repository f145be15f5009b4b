#pragma once
// The session journal "Application.log": emptied at start, one line per
// notable action, opened and closed around every line so that it is complete
// even after a crash and can be read while the program runs.

#include "ui/Interaction.h"

#include <QDateTime>
#include <QString>
#include <functional>

namespace brisden {

class FileTable;
class SessionLog final : public ui::ILogSink {
public:
    SessionLog(FileTable& files, QString logPath);

    // Empties the log and writes "Session started MM-DD-YYYY, hh:mm:ss".
    void Start();
    // Appends "hh:mm:ss: message." and optionally shows it in the notices window.
    void LogSession(const QString& message, bool display = false, bool wait = false,
                    bool showButtons = false) override;

    void setDisplay(ui::INoticeDisplay* display) { m_display = display; }
    ui::INoticeDisplay* display() const { return m_display; }
    // Where else lines go (the command line prints them on stderr).
    void setEcho(std::function<void(const QString&)> echo) { m_echo = std::move(echo); }
    // The clock; tests fix it.
    void setClock(std::function<QDateTime()> clock) { m_clock = std::move(clock); }
    // With an empty path nothing is written to disk (the command line).
    const QString& path() const { return m_path; }

private:
    FileTable& m_files;
    QString m_path;
    ui::INoticeDisplay* m_display = nullptr;
    std::function<void(const QString&)> m_echo;
    std::function<QDateTime()> m_clock;
};

}  // namespace brisden
