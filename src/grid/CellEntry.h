#pragma once
// The rules of the ledger's five editable columns: what the cell editor shows
// for a record's field, how a typed entry is checked and stored, the prompts
// of the data entry help window, clearing a field, and the program's own copy
// buffer with its three kinds of value.

#include "data/InvestmentFile.h"
#include "grid/GridLayout.h"

#include <QString>
#include <cstdint>

namespace brisden::grid {

// True for the five columns the user edits (date to shares).
bool IsEditableField(Field field);
// The length limit of the editor: 9 in the description column, 64 elsewhere.
int EntryLengthLimit(Field field);
// The input mask of the column's editor ("##/##/####" as Qt writes it for the
// date, none elsewhere).
QString EntryInputMask(Field field);
// The prompt shown in the data entry help window while the column is edited.
QString EntryPrompt(Field field);

// The editor's text for a field of a record, as an edit started by a command
// shows it: the date as MM/DD/YYYY, the description with its trailing
// blanks, numbers as the shortest decimal text ("0" for 0).
QString EditorText(const TransactionRecord& record, Field field);
// A number as the shortest decimal text that reads back to the same value.
QString ShortestNumberText(double value);

enum class EntryResult { Stored, InvalidDate, NotNumeric };
QString EntryMessage(EntryResult result);  // "Invalid date", "Entry is not numeric"

// Checks an entry for the column and stores it in the record's field. The
// date entry is read from its digits (the mask's separators are ignored);
// an empty number stores 0. A refused entry leaves the record as it was.
EntryResult ApplyEntry(TransactionRecord& record, Field field, const QString& entry);

// Reads a typed number: the system's number format (grouping separators
// allowed) or, failing that, "." as the decimal point. Both give the value
// of the whole text, so "1,234.50" is 1234.5, not 1.
bool ParseNumericEntry(const QString& text, double* value);

// Clears a field: date 0, description blanks, numbers 0.
void ClearField(TransactionRecord& record, Field field);

// The copy buffer: one value and its kind. Empty until the first copy.
struct CopyBuffer {
    enum Kind { Empty = 0, Date = 1, Text = 2, Number = 3 };
    Kind kind = Empty;
    std::int32_t date = 0;  // YMD
    QString text;
    double number = 0;

    bool isEmpty() const { return kind == Empty; }
    // The value as text, as the paste question quotes it (a date as MM/DD/YYYY).
    QString valueText() const;
};

// Which kind of value a column takes when pasted: dates, texts or numbers.
CopyBuffer::Kind PasteKindOf(Field field);
// Stores the buffer in the record's field when its kind matches the column
// (the description takes the first 9 characters); false when it does not.
bool PasteIntoField(TransactionRecord& record, Field field, const CopyBuffer& buffer);

}  // namespace brisden::grid
