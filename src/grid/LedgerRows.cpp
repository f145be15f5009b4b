#include "grid/LedgerRows.h"

#include "data/Dates.h"

#include <QStringList>
#include <algorithm>
#include <cmath>
#include <cstring>

namespace brisden::grid {

static_assert(sizeof(GridRow) <= 72, "grid rows must stay compact");

QString GridRow::descText() const
{
    return QString::fromLatin1(Desc, DescLength);
}

GridRow MakeGridRow(const ListingRow& row, bool suspect)
{
    GridRow g;
    g.TransDate = row.TransDate;
    g.RecNo = row.RecNo;
    g.Amount = row.Amount;
    g.SharePrice = row.SharePrice;
    g.Shares = row.Shares;
    g.ShareBalance = row.ShareBalance;
    g.Value = row.Value;
    g.PeriodROI = row.PeriodROI;
    g.CumulativeROI = row.CumulativeROI;
    g.AnnualROI = row.AnnualROI;
    const QByteArray desc = row.Desc.toLatin1();
    const size_t length = std::min<size_t>(sizeof(g.Desc), size_t(desc.size()));
    std::memcpy(g.Desc, desc.constData(), length);
    g.DescLength = std::uint8_t(length);
    g.Code = row.Code.isEmpty() ? 0 : row.Code.at(0).toLatin1();
    if (suspect)
        g.Flags |= RowSuspect;
    if (row.Closing)
        g.Flags |= RowClosing;
    return g;
}

GridRow BlankGridRow()
{
    GridRow g;
    g.Flags = RowBlank;
    return g;
}

QString FormatGridNumber(double value, int decimals, const QLocale& locale)
{
    const double scale = std::pow(10.0, decimals);
    if (std::round(std::fabs(value) * scale) == 0)
        value = 0;  // no "-.00"
    QString text = locale.toString(value, 'f', decimals);
    const QString zeroPoint = locale.zeroDigit() + locale.decimalPoint();
    if (text.startsWith(zeroPoint)) {
        text.remove(0, locale.zeroDigit().size());
    } else {
        const QString minusZeroPoint = locale.negativeSign() + zeroPoint;
        if (text.startsWith(minusZeroPoint))
            text.remove(locale.negativeSign().size(), locale.zeroDigit().size());
    }
    return text;
}

namespace {

QString ReturnText(float value, const QLocale& locale)
{
    return value == 0 ? QString() : FormatGridNumber(double(value), 3, locale);
}

}  // namespace

QString GridDateFormat(const QLocale& locale)
{
    QString format = locale.dateFormat(QLocale::ShortFormat);
    if (locale.language() == QLocale::C || format.contains(QLatin1String("MMM")) ||
        format.contains(QLatin1String("ddd")) || !format.contains(QLatin1String("yy")))
        return QStringLiteral("MM/dd/yyyy");
    if (!format.contains(QLatin1String("yyyy")))
        format.replace(QLatin1String("yy"), QLatin1String("yyyy"));
    return format;
}

QString CellText(const GridRow& row, Field field, const Calendar& calendar)
{
    return CellText(row, field, calendar, GridDateFormat(calendar.locale));
}

QStringList WidestCellTexts(Field field, const QLocale& locale, const QString& dateFormat)
{
    // The largest amounts a private ledger holds: money to tens of millions,
    // share counts to millions, prices to hundreds of thousands, returns to
    // a thousandfold; negative where the column can be.
    switch (field) {
        case Field::RecordType:
            return {QStringLiteral("W")};
        case Field::Date: {
            // Every month (names differ in length), on a two-digit day.
            QStringList texts;
            for (int month = 1; month <= 12; ++month)
                texts << locale.toString(QDate(2000, month, 28), dateFormat);
            return texts;
        }
        case Field::Desc:
            return {};
        case Field::Amount:
            return {FormatGridNumber(-99999999.99, 2, locale)};
        case Field::SharePrice:
            return {FormatGridNumber(-999999.99, 2, locale)};
        case Field::Shares:
            return {FormatGridNumber(-9999999.999, 3, locale)};
        case Field::ShareBalance:
            return {FormatGridNumber(-9999999.999, 3, locale)};
        case Field::Value:
            return {FormatGridNumber(-99999999.99, 2, locale)};
        case Field::PeriodROI:
        case Field::CumulativeROI:
        case Field::AnnualROI:
            return {FormatGridNumber(-999.999, 3, locale)};
    }
    return {};
}

QString CellText(const GridRow& row, Field field, const Calendar& calendar,
                 const QString& dateFormat)
{
    if (row.blank())
        return QString();
    if ((row.Flags & RowNew) && !IsMarkedField(field))
        return QString();
    if (row.Flags & RowEdited) {
        // What the user left empty or cleared stays empty until the next listing.
        const bool empty = (field == Field::Date && row.TransDate == 0) ||
                           (field == Field::Amount && row.Amount == 0) ||
                           (field == Field::SharePrice && row.SharePrice == 0) ||
                           (field == Field::Shares && row.Shares == 0);
        if (empty)
            return QString();
    }
    const QLocale& locale = calendar.locale;
    switch (field) {
        case Field::RecordType:
            return row.codeText();
        case Field::Date: {
            const QDate date(row.TransDate / 10000, (row.TransDate / 100) % 100,
                             row.TransDate % 100);
            // A date the calendar does not know (a damaged record) shows its digits.
            return date.isValid() ? calendar.locale.toString(date, dateFormat)
                                  : QString::number(row.TransDate);
        }
        case Field::Desc:
            return row.descText();
        case Field::Amount:
            return row.closing() ? QString() : FormatGridNumber(row.Amount, 2, locale);
        case Field::SharePrice:
            return FormatGridNumber(row.SharePrice, 2, locale);
        case Field::Shares:
            return row.closing() ? QString() : FormatGridNumber(row.Shares, 3, locale);
        case Field::ShareBalance:
            return FormatGridNumber(row.ShareBalance, 3, locale);
        case Field::Value:
            return FormatGridNumber(row.Value, 2, locale);
        case Field::PeriodROI:
            return ReturnText(row.PeriodROI, locale);
        case Field::CumulativeROI:
            return ReturnText(row.CumulativeROI, locale);
        case Field::AnnualROI:
            return ReturnText(row.AnnualROI, locale);
    }
    return QString();
}

bool CellIsNegative(const GridRow& row, Field field)
{
    if (row.blank())
        return false;
    auto negative = [](double v, int decimals) {
        return v < 0 && std::round(-v * std::pow(10.0, decimals)) != 0;
    };
    switch (field) {
        case Field::Amount:
            return !row.closing() && negative(row.Amount, 2);
        case Field::SharePrice:
            return negative(row.SharePrice, 2);
        case Field::Shares:
            return !row.closing() && negative(row.Shares, 3);
        case Field::ShareBalance:
            return negative(row.ShareBalance, 3);
        case Field::Value:
            return negative(row.Value, 2);
        case Field::PeriodROI:
            return negative(double(row.PeriodROI), 3);
        case Field::CumulativeROI:
            return negative(double(row.CumulativeROI), 3);
        case Field::AnnualROI:
            return negative(double(row.AnnualROI), 3);
        default:
            return false;
    }
}

bool IsMarkedField(Field field)
{
    return field == Field::Date || field == Field::Desc || field == Field::Amount ||
           field == Field::SharePrice || field == Field::Shares;
}

}  // namespace brisden::grid
