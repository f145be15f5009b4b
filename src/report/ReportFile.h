#pragma once
// The text-file destination of reports: comma-separated records written field
// by field (text in double quotes, numbers in plain decimal form, dates as
// #YYYY-MM-DD#), each record ended by CR LF.

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <vector>

namespace brisden {

class FileTable;

class ReportFileWriter {
public:
    // Writes through an open text slot (slot 3 for reports).
    ReportFileWriter(FileTable& files, int slot) : m_files(&files), m_slot(slot) {}
    // Collects the text in memory (tests).
    ReportFileWriter() = default;

    ReportFileWriter& text(const QString& s);  // "s"
    ReportFileWriter& number(double v);        // plain decimal
    ReportFileWriter& single(float v);         // shortest single-precision form
    ReportFileWriter& integer(std::int64_t v);
    ReportFileWriter& date(std::int32_t ymd);  // #YYYY-MM-DD#
    ReportFileWriter& emptyText() { return text(QString()); }
    // A return cell: the empty text field when 0, else the value.
    ReportFileWriter& singleOrEmpty(float v);
    void endLine();  // ends the record with CR LF
    void emptyLine() { endLine(); }

    const QByteArray& collected() const { return m_collected; }
    bool failed() const { return m_failed; }

private:
    void field(const QByteArray& bytes);
    // Room for n more bytes of the current record, after the comma that
    // separates it from the field before; finish() sets the record's true end.
    char* room(qsizetype n);
    void finish(const char* end) { m_length = end - m_line.data(); }
    FileTable* m_files = nullptr;
    int m_slot = 0;
    std::vector<char> m_line;  // the record being written, m_length bytes long
    std::size_t m_length = 0;
    QByteArray m_collected;
    bool m_first = true;
    bool m_failed = false;
};

}  // namespace brisden
