#pragma once
// The text splitters of the import: one field of a comma-separated line, one
// part of a date. Both take the piece off the front of their text.

#include <QChar>
#include <QString>

namespace brisden {

// Takes the next field off line. delimiters is the quote character followed
// by ",". A field starting with a quote runs to the closing quote and may hold
// commas; the character that ended the field is removed with it, so the comma
// after a closing quote starts the next call, which drops it and the blanks
// after it. Blanks inside and before an unquoted field stay part of it.
void NextCsvField(QString& line, const QString& delimiters, QString& field);

// The same, also telling which character ended the field (a null QChar when
// the field ran to the end of the line).
void NextCsvField(QString& line, const QString& delimiters, QString& field, QChar* endedBy);

// Takes the next part off text: leading delimiters are skipped, the part runs
// to the next delimiter, and the run of delimiters after it goes with it.
void NextDatePart(QString& text, const QString& delimiters, QString& part);

}  // namespace brisden
