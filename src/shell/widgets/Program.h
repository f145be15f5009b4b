#pragma once
// The program-wide state of one run of the desktop program: the file slots,
// today's date and the system's conventions, the settings, the session log,
// the current investment file and portfolio, the report state, and the
// identity and paths fixed at start.

#include "data/Dates.h"
#include "data/FileTable.h"
#include "data/InvestmentFile.h"
#include "data/Portfolio.h"
#include "report/ReportState.h"
#include "shell/SessionLog.h"
#include "shell/Settings.h"

#include <QString>
#include <cstdint>

namespace brisden {

struct Program {
    explicit Program(const QString& logPath)
        : log(files, logPath), file(files), portfolio(files), LogPath(logPath)
    {
    }
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    FileTable files;
    Calendar calendar;
    Settings settings;
    SessionLog log;
    InvestmentFile file;
    Portfolio portfolio;
    ReportState report;

    // Characters of the report output.
    const QString Quote = QStringLiteral("\"");
    const QString Esc = QStringLiteral("\x1b");
    const QString FormFeed = QStringLiteral("\f");

    std::int16_t VersionMajor = brisden::VersionMajor;
    QString ProgramTitle;
    QString AppFolder;
    QString HelpFilePath;
    QString LogPath;
    QString IniPath;
    // The currency symbol of the system in parentheses, e.g. "($)"; "" when
    // the currency format has no symbol.
    QString CurrencyTag;
    // GridRowHeight as read at start ("&Reset to default" goes back to it).
    std::int16_t GridRowHeightAtStart = -1;
};

}  // namespace brisden
