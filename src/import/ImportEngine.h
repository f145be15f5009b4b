#pragma once
// The import engine: reads an import file line by line from file slot 3,
// appends one transaction per non-empty line to the investment file open in
// slot 2, and reports progress and errors through the session log.
//
// The import dialog opens the source with OpenImportSource when the user
// presses OK (and keeps the schema); the import command then runs
// ImportFromSource, restores its pointer, calls LogFinished, lists the ledger
// again and restarts its timer.

#include "import/ImportRules.h"
#include "import/ImportSchema.h"
#include "ui/Interaction.h"

#include <QString>
#include <cstdint>

namespace brisden {

struct Calendar;
class FileTable;
class InvestmentFile;

// Opens path for reading in slot 3. False when it cannot be opened; the
// caller shows "Can't access " + path.
bool OpenImportSource(FileTable& files, const QString& path);
QString CantAccessMessage(const QString& path);

class ImportEngine {
public:
    ImportEngine(InvestmentFile& file, const Calendar& calendar, ui::ILogSink& log);

    // Per run: non-empty lines read (the line number of the messages), and the
    // lines with an error (an invalid date, a field that is not a number, a
    // sale that cannot be completed).
    std::int32_t ImportLineCount = 0;
    std::int32_t ImportErrorCount = 0;
    // Records appended in this run; set when a record could not be written
    // (the run stops at that line).
    std::int32_t appendedCount = 0;
    bool writeFailed = false;

    // Logs "Importing " + sourcePath, imports every line of slot 3 with the
    // schema, closes slot 3, logs the line count and, when there were errors,
    // the errors notice.
    // completeRecords false appends the fields as written (see ImportLineParser).
    void ImportFromSource(const ImportSchema& schema, const QString& sourcePath,
                          bool completeRecords = true);
    // "Import finished", shown and waited for.
    void LogFinished();

    // The per-line step on its own: counts the line when it is not empty,
    // parses, logs, appends. False when the record could not be written (the
    // import then stops).
    bool ImportLine(const ImportLineParser& parser, const QString& line);

private:
    InvestmentFile& m_file;
    const Calendar& m_calendar;
    ui::ILogSink& m_log;
};

}  // namespace brisden
