#include "import/Parse.h"

namespace brisden {

void NextCsvField(QString& line, const QString& delimiters, QString& field)
{
    NextCsvField(line, delimiters, field, nullptr);
}

void NextCsvField(QString& line, const QString& delimiters, QString& field, QChar* endedBy)
{
    field.clear();
    if (endedBy)
        *endedBy = QChar();
    if (line.isEmpty())
        return;

    const QChar quote = delimiters.isEmpty() ? QChar() : delimiters.at(0);
    QString terminators = delimiters;
    qsizetype start = 0;
    const QChar first = line.at(0);
    if (delimiters.contains(first)) {
        // A quoted field, or the comma left over after a closing quote: the
        // opening character and the blanks after it go.
        qsizetype restStart = 1;
        while (restStart < line.size() && line.at(restStart) == u' ')
            ++restStart;
        if (first == quote) {
            terminators = QString(quote);
        } else if (restStart < line.size() && line.at(restStart) == quote) {
            terminators = QString(quote);
            ++restStart;
        }
        line.remove(0, restStart);
    } else {
        while (start < line.size() && terminators.contains(line.at(start)))
            ++start;
    }

    qsizetype end = start;
    while (end < line.size() && !terminators.contains(line.at(end)))
        ++end;
    if (end < line.size()) {
        field = line.mid(start, end - start);
        if (endedBy)
            *endedBy = line.at(end);
        line.remove(0, end + 1);
    } else {
        field = line.mid(start);
        line.clear();
    }
}

void NextDatePart(QString& text, const QString& delimiters, QString& part)
{
    part.clear();
    if (text.isEmpty())
        return;
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n && delimiters.contains(text.at(i)))
        ++i;
    const qsizetype start = i;
    while (i < n && !delimiters.contains(text.at(i)))
        ++i;
    part = text.mid(start, i - start);
    while (i < n && delimiters.contains(text.at(i)))
        ++i;
    text.remove(0, i);
}

}  // namespace brisden
