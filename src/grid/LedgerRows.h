#pragma once
// The rows of the ledger grid as the listing writes them: numbers kept as
// numbers (a million-row ledger must fit), turned into cell texts only when a
// cell is drawn.

#include "analysis/ListingOutput.h"
#include "grid/GridLayout.h"

#include <QLocale>
#include <QString>
#include <cstdint>

namespace brisden {
struct Calendar;
}

namespace brisden::grid {

enum RowFlag : std::uint8_t {
    RowSuspect = 1,  // fails the validity rule: its five cells from the date on are marked
    RowClosing = 2,  // the closing "Today" valuation: no amount, no shares this transaction
    RowBlank = 4,    // the empty row at the end, for new entries
    RowEdited = 8,   // changed since the listing: an empty date or a zero number shows empty
    RowNew = 16,     // entered since the listing: only the five entered cells show
};

// One grid row: 72 bytes.
struct GridRow {
    double Amount = 0;
    double SharePrice = 0;
    double Shares = 0;
    double ShareBalance = 0;
    double Value = 0;
    float PeriodROI = 0;
    float CumulativeROI = 0;
    float AnnualROI = 0;
    std::int32_t TransDate = 0;  // YMD
    std::int32_t RecNo = 0;      // row data: the record number, 0 for rows without a record
    char Desc[9] = {' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' '};  // ANSI, blank padded
    char Code = 0;                                                 // record type code, 0 when empty
    std::uint8_t Flags = 0;
    std::uint8_t DescLength = 9;  // the closing row's "Today" is shorter

    bool suspect() const { return Flags & RowSuspect; }
    bool closing() const { return Flags & RowClosing; }
    bool blank() const { return Flags & RowBlank; }
    QString descText() const;
    QString codeText() const { return Code ? QString(QLatin1Char(Code)) : QString(); }
};

GridRow MakeGridRow(const ListingRow& row, bool suspect);
GridRow BlankGridRow();

// A number as the grid shows it: the system's number format with the given
// decimals and no leading zero before the decimal point (0.5 -> .50,
// -0.25 -> -.25; a value that rounds to zero carries no sign).
QString FormatGridNumber(double value, int decimals, const QLocale& locale);

// The date format of the grid: the system's short date with a four-digit
// year. A locale whose short date is not all numbers, or that has none of its
// own (C, POSIX), gets MM/dd/yyyy.
QString GridDateFormat(const QLocale& locale);

// The text of one cell. The date goes through GridDateFormat (the model
// keeps it; the short form works it out each time).
QString CellText(const GridRow& row, Field field, const Calendar& calendar,
                 const QString& dateFormat);
QString CellText(const GridRow& row, Field field, const Calendar& calendar);

// The texts a column must have room for: its widest values in the locale.
// Digits stand for any digit (the measuring side takes the widest one), and
// an empty list means the width comes from the characters of a description
// (DescriptionLength of the widest character).
QStringList WidestCellTexts(Field field, const QLocale& locale, const QString& dateFormat);
constexpr int DescriptionLength = 9;
// True when the cell shows a negative number (drawn in GridForeColorNegative).
bool CellIsNegative(const GridRow& row, Field field);
// True for the five cells from the date on (date, description, amount,
// price, shares), the ones a suspect row marks.
bool IsMarkedField(Field field);

}  // namespace brisden::grid
