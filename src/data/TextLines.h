#pragma once
// Reading a text a line at a time. A line is handed out without its end
// ("\n" or "\r\n"); a last line without an end is a line too, and an empty
// text has none.

#include <QByteArrayView>

namespace brisden {

class TextLines {
public:
    explicit TextLines(QByteArrayView text) : m_text(text) {}

    // The next line; false when the text is used up.
    bool next(QByteArrayView& line)
    {
        if (m_pos >= m_text.size())
            return false;
        qsizetype newline = m_text.indexOf('\n', m_pos);
        m_end = QByteArrayView("\n");
        if (newline < 0) {
            newline = m_text.size();
            m_end = QByteArrayView();
        }
        line = m_text.sliced(m_pos, newline - m_pos);
        m_pos = newline + 1;
        if (line.endsWith('\r')) {
            line.chop(1);
            m_end = m_end.isEmpty() ? QByteArrayView("\r") : QByteArrayView("\r\n");
        }
        return true;
    }

    // How the line last handed out ended: "\n", "\r\n", or empty for a last
    // line without an end ("\r" when that line ends in a carriage return).
    QByteArrayView end() const { return m_end; }

private:
    QByteArrayView m_text;
    qsizetype m_pos = 0;
    QByteArrayView m_end;
};

}  // namespace brisden
