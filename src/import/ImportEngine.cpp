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
    for (const QString& message : std::as_const(result.messages))
        m_log.LogSession(message, false, false, false);
    if (result.hasErrors())
        ++ImportErrorCount;
    if (result.skip)
        return true;
    m_file.RecordBuffer = result.record;
    if (m_file.AddRecord() < 0) {
        m_log.LogSession(QStringLiteral("Line ") + QString::number(ImportLineCount) +
                             QStringLiteral(": the record could not be written, the import "
                                            "stopped"),
                         false, false, false);
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

    FileTable& files = m_file.files();
    bool firstLine = true;
    while (files.isOpen(ShortSlot) && !files.atEnd(ShortSlot)) {
        QByteArray bytes = files.readLine(ShortSlot);
        if (firstLine && bytes.startsWith("\xEF\xBB\xBF"))
            bytes.remove(0, 3);  // the byte-order mark some spreadsheets write
        firstLine = false;
        // Text files are ANSI: one character per byte.
        if (!ImportLine(parser, QString::fromLatin1(bytes)))
            break;
    }
    files.CloseFile(ShortSlot);

    m_log.LogSession(QStringLiteral("Lines read: ") + QString::number(ImportLineCount), true, false,
                     false);
    if (ImportErrorCount != 0)
        m_log.LogSession(QStringLiteral("Errors were encountered.  Check log for details"), true,
                         false, false);
}

void ImportEngine::LogFinished()
{
    m_log.LogSession(QStringLiteral("Import finished"), true, true, false);
}

}  // namespace brisden
