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
    field('"' + s.toLatin1() + '"');
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
    if (m_files) {
        if (!m_files->writeLine(m_slot, m_line))
            m_failed = true;
    } else {
        m_collected += m_line + "\r\n";
    }
    m_line.clear();
    m_first = true;
}

}  // namespace brisden
