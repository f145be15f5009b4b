#include "grid/GridLayout.h"

#include <QStringList>
#include <cmath>

namespace brisden::grid {

namespace {

// The columns with the record type column first.
constexpr std::array<GridColumn, ColumnCount> LeftLayout{{
    {Field::RecordType, "R T", Align::Centre, 300, false},
    {Field::Date, "Date", Align::Centre, 900, true},
    {Field::Desc, "Desc", Align::Left, 735, true},
    {Field::Amount, "Amount", Align::Right, 1210, true},
    {Field::SharePrice, "Share Price", Align::Right, 1210, true},
    {Field::Shares, "Shares this trans.", Align::Right, 1210, true},
    {Field::ShareBalance, "Share Balance", Align::Right, 1210, false},
    {Field::Value, "Value", Align::Right, 1435, false},
    {Field::PeriodROI, "ROI Period", Align::Right, 835, false},
    {Field::CumulativeROI, "ROI Cumul.", Align::Right, 835, false},
    {Field::AnnualROI, "ROI AvgAn", Align::Right, 835, false},
}};

// A piece of the width list: a whole number of zero or more, else -1.
int WidthPiece(const QString& piece)
{
    bool ok = false;
    const double value = piece.toDouble(&ok);
    if (!ok || !std::isfinite(value) || value < 0 || value > 1.0e7)
        return -1;
    return int(std::lround(value));
}

QStringList Pieces(const QString& list)
{
    return list.split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

}  // namespace

int TwipsToPixels(int twips)
{
    return int(std::lround(double(twips) / TwipsPerPixel));
}

int PixelsToTwips(int pixels)
{
    return pixels * TwipsPerPixel;
}

std::array<GridColumn, ColumnCount> ColumnLayout(int RTColPos)
{
    if (RecordTypeFirst(RTColPos))
        return LeftLayout;
    std::array<GridColumn, ColumnCount> layout{};
    for (int i = 1; i < ColumnCount; ++i)
        layout[size_t(i - 1)] = LeftLayout[size_t(i)];
    layout[ColumnCount - 1] = LeftLayout[0];
    return layout;
}

int ColumnOf(Field field, int RTColPos)
{
    const int leftIndex = int(field);  // the fields are declared in left-layout order
    if (RecordTypeFirst(RTColPos))
        return leftIndex;
    return field == Field::RecordType ? ColumnCount - 1 : leftIndex - 1;
}

QString GridFormatString(int RTColPos)
{
    QString format;
    if (RecordTypeFirst(RTColPos))
        format += QStringLiteral("^R T|");
    format += QStringLiteral("^Date|<Desc|>Amount|>Share Price|>Shares this trans.");
    format += QStringLiteral("|>Share Balance|>Value|>ROI Period|>ROI Cumul.|>ROI AvgAn");
    if (!RecordTypeFirst(RTColPos))
        format += QStringLiteral("|^R T");
    return format;
}

std::array<int, ColumnCount> ColumnWidths(const QString& GridColWidth, int RTColPos)
{
    const auto layout = ColumnLayout(RTColPos);
    std::array<int, ColumnCount> widths{};
    for (int i = 0; i < ColumnCount; ++i)
        widths[size_t(i)] = layout[size_t(i)].defaultWidth;
    const QStringList pieces = Pieces(GridColWidth);
    for (int i = 0; i < ColumnCount && i < pieces.size(); ++i) {
        const int width = WidthPiece(pieces[i]);
        if (width >= 0)
            widths[size_t(i)] = width;
    }
    return widths;
}

QString FormatColumnWidths(const std::array<int, ColumnCount>& widths)
{
    QString list;
    for (int width : widths)
        list += QString::number(width) + QLatin1Char(' ');
    return list;
}

QString RotateWidthList(const QString& GridColWidth, bool toLeft)
{
    QStringList pieces = Pieces(GridColWidth);
    if (pieces.size() < 2)
        return GridColWidth;
    for (const QString& piece : pieces) {
        if (WidthPiece(piece) < 0)
            return GridColWidth;
    }
    if (toLeft)
        pieces.prepend(pieces.takeLast());
    else
        pieces.append(pieces.takeFirst());
    QString list;
    for (const QString& piece : pieces)
        list += piece + QLatin1Char(' ');
    return list;
}

}  // namespace brisden::grid
