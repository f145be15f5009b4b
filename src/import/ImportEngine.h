#pragma once
// The import engine: reads an import file line by line from file slot 3,
// appends one transaction per non-empty line to the investment file open in
// slot 2, and reports progress and errors through the session log.
//
// The import dialog opens the source with OpenImportSource when the user
// presses OK (and keeps the schema); the import command then runs
// ImportFromSource, restores its pointer, calls LogFinished, lists the ledger
// again and restarts its timer.

#include "import/ImportPreview.h"
#include "import/ImportRules.h"
#include "import/ImportSchema.h"
#include "ui/Interaction.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <optional>

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
    // Lines the selection left out; set when the cancel poll stopped the run.
    std::int32_t leftOutCount = 0;
    bool cancelled = false;
    // The log lines of the lines with an error, in order (the first
    // KeptLineMessages of them), for showing once the run is over.
    static constexpr int KeptLineMessages = 200;
    QStringList lineMessages;
    std::int32_t lineMessageCount = 0;

    // For the next run. The lines to import (null: every line); the lines
    // that repeat a record are found against the file as it is when the run
    // starts.
    void setSelection(const ImportSelection* selection) { m_selection = selection; }
    // Asked before each line; true ends the run there, so that the file holds
    // the records of whole lines only.
    void setCancelPoll(ui::ICancelPoll* cancel) { m_cancel = cancel; }
    // Told the bytes of the source read so far and its length, every few
    // hundred lines.
    void setProgress(std::function<void(std::int64_t, std::int64_t)> progress)
    {
        m_progress = std::move(progress);
    }

    // Logs "Importing " + sourcePath, imports every line of slot 3 with the
    // schema, closes slot 3, logs the line count and, when there were errors,
    // the errors notice. A cancelled run logs the line it stopped after
    // first; a run that left lines out logs how many.
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
    const ImportSelection* m_selection = nullptr;
    ui::ICancelPoll* m_cancel = nullptr;
    std::function<void(std::int64_t, std::int64_t)> m_progress;
    std::optional<DuplicateFinder> m_duplicates;
};

}  // namespace brisden
