#pragma once
// The ledger grid's columns: their order (the record type column first or
// last), captions, alignment, default widths in twips, which ones the user may
// edit, and the remembered width list of Application.ini.

#include <QString>
#include <array>
#include <cstdint>

namespace brisden::grid {

constexpr int ColumnCount = 11;

// What a column shows, independent of where it stands.
enum class Field : std::uint8_t {
    RecordType,
    Date,
    Desc,
    Amount,
    SharePrice,
    Shares,
    ShareBalance,
    Value,
    PeriodROI,
    CumulativeROI,
    AnnualROI,
};

enum class Align : std::uint8_t { Left, Centre, Right };

struct GridColumn {
    Field field;
    const char* header;
    Align align;
    int defaultWidth;  // twips
    bool editable;     // column data 0 (editable) or -1
};

// Screen lengths: 15 twips per pixel (96 dots per inch).
constexpr int TwipsPerPixel = 15;
int TwipsToPixels(int twips);
int PixelsToTwips(int pixels);

// True when the record type column is the first one (RTColPos 1); any value
// but 0 puts it first.
inline bool RecordTypeFirst(int RTColPos)
{
    return RTColPos != 0;
}

// The eleven columns in grid order.
std::array<GridColumn, ColumnCount> ColumnLayout(int RTColPos);
// Index of a field's column in grid order.
int ColumnOf(Field field, int RTColPos);
// The header format string: "^R T|^Date|<Desc|..." ("^" centred, "<" left,
// ">" right).
QString GridFormatString(int RTColPos);

// Column widths in twips, grid order: the defaults, replaced piece by piece by
// a remembered width list (numbers separated by blanks). A piece that is not a
// whole number of zero or more (the marker "True", say) keeps the default, as
// do the columns a short list does not reach.
std::array<int, ColumnCount> ColumnWidths(const QString& GridColWidth, int RTColPos);
// The width list as it is remembered: every width followed by one blank.
QString FormatColumnWidths(const std::array<int, ColumnCount>& widths);
// The remembered list when the record type column moves to the other end:
// to the left the last width moves to the front, to the right the first
// width moves to the end. An empty or "True" value stays as it is.
QString RotateWidthList(const QString& GridColWidth, bool toLeft);

// The default data row height of the grid in twips when GridRowHeight is -1.
constexpr int DefaultRowHeightMarker = -1;

}  // namespace brisden::grid
