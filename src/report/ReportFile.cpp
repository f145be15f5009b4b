#include "report/ReportFile.h"

#include "data/FileTable.h"
#include "data/NumberText.h"

#include <algorithm>
#include <cstring>

namespace brisden {

// A long report writes millions of fields: each is written in place at the
// end of the record, without a text of its own.
char* ReportFileWriter::room(qsizetype n)
{
    const std::size_t need = m_length + std::size_t(n) + 3;  // the comma, CR LF
    if (m_line.size() < need)
        m_line.resize(std::max(need, 2 * m_line.size()));
    char* out = m_line.data() + m_length;
    if (!m_first)
        *out++ = ',';
    m_first = false;
    return out;
}

void ReportFileWriter::field(const QByteArray& bytes)
{
    char* out = room(bytes.size());
    std::memcpy(out, bytes.constData(), size_t(bytes.size()));
    finish(out + bytes.size());
}

ReportFileWriter& ReportFileWriter::text(const QString& s)
{
    // ANSI: one byte per character (Latin-1; others as "?").
    char* out = room(s.size() + 2);
    *out++ = '"';
    for (const QChar c : s)
        *out++ = c.unicode() < 0x100 ? char(c.unicode()) : '?';
    *out++ = '"';
    finish(out);
    return *this;
}

ReportFileWriter& ReportFileWriter::number(double v)
{
    finish(WritePlainNumber(room(PlainNumberRoom), v));
    return *this;
}

ReportFileWriter& ReportFileWriter::single(float v)
{
    finish(WritePlainSingle(room(PlainNumberRoom), v));
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
        char* out = room(sizeof text);
        std::memcpy(out, text, sizeof text);
        finish(out + sizeof text);
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
    if (m_line.size() < m_length + 2)
        m_line.resize(m_length + 2);
    char* end = m_line.data() + m_length;
    *end++ = '\r';
    *end++ = '\n';
    const QByteArray record =
        QByteArray::fromRawData(m_line.data(), qsizetype(end - m_line.data()));
    if (m_files) {
        if (!m_files->write(m_slot, record))
            m_failed = true;
    } else {
        m_collected += record;
    }
    m_length = 0;
    m_first = true;
}

}  // namespace brisden
