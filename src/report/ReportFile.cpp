#include "report/ReportFile.h"

#include "data/FileTable.h"
#include "data/NumberText.h"

namespace brisden {

void ReportFileWriter::field(const QByteArray& bytes)
{
    if (!m_first)
        m_line += ',';
    m_line += bytes;
    m_first = false;
}

ReportFileWriter& ReportFileWriter::text(const QString& s)
{
    // Appended in place: a long report writes millions of fields.
    if (!m_first)
        m_line += ',';
    m_line += '"';
    m_line += s.toLatin1();
    m_line += '"';
    m_first = false;
    return *this;
}

ReportFileWriter& ReportFileWriter::number(double v)
{
    field(PlainNumber(v));
    return *this;
}

ReportFileWriter& ReportFileWriter::single(float v)
{
    field(PlainSingle(v));
    return *this;
}

ReportFileWriter& ReportFileWriter::singleOrEmpty(float v)
{
    return v == 0 ? emptyText() : single(v);
}

ReportFileWriter& ReportFileWriter::integer(std::int64_t v)
{
    field(QByteArray::number(qlonglong(v)));
    return *this;
}

ReportFileWriter& ReportFileWriter::date(std::int32_t ymd)
{
    if (ymd >= 0 && ymd <= 99991231) {
        // Four-digit years: formatted without temporaries.
        char text[12] = {'#', 0, 0, 0, 0, '-', 0, 0, '-', 0, 0, '#'};
        const int parts[3] = {ymd / 10000, (ymd % 10000) / 100, ymd % 100};
        const int ends[3] = {4, 7, 10};
        const int widths[3] = {4, 2, 2};
        for (int k = 0; k < 3; ++k) {
            int v = parts[k];
            for (int d = 0; d < widths[k]; ++d) {
                text[ends[k] - d] = char('0' + v % 10);
                v /= 10;
            }
        }
        if (!m_first)
            m_line += ',';
        m_line.append(text, sizeof text);
        m_first = false;
        return *this;
    }
    const int year = ymd / 10000;
    const int month = (ymd % 10000) / 100;
    const int day = ymd % 100;
    QByteArray text = '#' + QByteArray::number(year).rightJustified(4, '0') + '-' +
                      QByteArray::number(month).rightJustified(2, '0') + '-' +
                      QByteArray::number(day).rightJustified(2, '0') + '#';
    field(text);
    return *this;
}

void ReportFileWriter::endLine()
{
    m_line += "\r\n";
    if (m_files) {
        if (!m_files->write(m_slot, m_line))
            m_failed = true;
    } else {
        m_collected += m_line;
    }
    m_line.resize(0);  // keeps the capacity for the next record
    m_first = true;
}

}  // namespace brisden
