#include "import/ImportEngine.h"

#include "data/Dates.h"
#include "data/FileTable.h"
#include "data/InvestmentFile.h"

namespace brisden {

bool OpenImportSource(FileTable& files, const QString& path)
{
    files.OpenFile(ShortSlot, path, QStringLiteral("I"), QStringLiteral("R"), 0);
    return files.fileNumber(ShortSlot) >= 1;
}

QString CantAccessMessage(const QString& path)
{
    return QStringLiteral("Can't access ") + path;
}

ImportEngine::ImportEngine(InvestmentFile& file, const Calendar& calendar, ui::ILogSink& log)
    : m_file(file), m_calendar(calendar), m_log(log)
{
}

bool ImportEngine::ImportLine(const ImportLineParser& parser, const QString& line)
{
    if (line.isEmpty())
        return true;
    ++ImportLineCount;
    ImportLineResult result = parser.parse(line, ImportLineCount);
    for (const QString& message : std::as_const(result.messages)) {
        m_log.LogSession(message, false, false, false);
        if (lineMessageCount++ < KeptLineMessages)
            lineMessages << message;
    }
    if (result.hasErrors())
        ++ImportErrorCount;
    if (result.skip)
        return true;
    if (m_selection) {
        // Every line that could be stored claims its twin in the ledger,
        // whether or not it is left out, as the preview counted them.
        const bool duplicate = m_duplicates && m_duplicates->claim(result.record);
        if (!m_selection->imports(ImportLineCount, duplicate)) {
            ++leftOutCount;
            m_log.LogSession(QStringLiteral("Line ") + QString::number(ImportLineCount) +
                                 (duplicate ? QStringLiteral(": left out, it repeats a record "
                                                             "already in the file")
                                            : QStringLiteral(": left out")),
                             false, false, false);
            return true;
        }
    }
    m_file.RecordBuffer = result.record;
    if (m_file.AddRecord() < 0) {
        const QString message = QStringLiteral("Line ") + QString::number(ImportLineCount) +
                                QStringLiteral(": the record could not be written, the import "
                                               "stopped");
        m_log.LogSession(message, false, false, false);
        if (lineMessageCount++ < KeptLineMessages)
            lineMessages << message;
        ++ImportErrorCount;
        writeFailed = true;
        return false;
    }
    ++appendedCount;
    return true;
}

void ImportEngine::ImportFromSource(const ImportSchema& schema, const QString& sourcePath,
                                    bool completeRecords)
{
    m_log.LogSession(QStringLiteral("Importing ") + sourcePath, true, false, false);
    const ImportLineParser parser(schema, m_calendar, completeRecords);
    ImportLineCount = 0;
    ImportErrorCount = 0;
    appendedCount = 0;
    writeFailed = false;
    leftOutCount = 0;
    cancelled = false;
    lineMessages.clear();
    lineMessageCount = 0;

    FileTable& files = m_file.files();
    m_duplicates.reset();
    if (m_selection && m_selection->needsDuplicates())
        m_duplicates = DuplicateFinder::FromLedger(files, InvestmentSlot);
    bool firstLine = true;
    std::int64_t linesRead = 0;
    while (files.isOpen(ShortSlot) && !files.atEnd(ShortSlot)) {
        if (m_cancel && m_cancel->pollCancel()) {
            cancelled = true;
            break;
        }
        if (m_progress && linesRead % 256 == 0)
            m_progress(files.textPosition(ShortSlot), files.length(ShortSlot));
        ++linesRead;
        const QString line = ImportLineText(files.readLine(ShortSlot), firstLine);
        firstLine = false;
        if (!ImportLine(parser, line))
            break;
    }
    if (m_progress && !cancelled)
        m_progress(files.length(ShortSlot), files.length(ShortSlot));
    files.CloseFile(ShortSlot);
    m_duplicates.reset();

    if (cancelled)
        m_log.LogSession(QStringLiteral("Import cancelled after line ") +
                             QString::number(ImportLineCount),
                         true, false, false);
    m_log.LogSession(QStringLiteral("Lines read: ") + QString::number(ImportLineCount), true, false,
                     false);
    if (leftOutCount != 0)
        m_log.LogSession(QStringLiteral("Lines left out: ") + QString::number(leftOutCount), true,
                         false, false);
    if (ImportErrorCount != 0)
        m_log.LogSession(QStringLiteral("Errors were encountered.  Check log for details"), true,
                         false, false);
}

void ImportEngine::LogFinished()
{
    m_log.LogSession(QStringLiteral("Import finished"), true, true, false);
}

}  // namespace brisden
