#pragma once
// Numbers as the printed reports show them: the system's decimal point and
// grouping, no leading zero before the decimal point.

#include <QLocale>
#include <QString>

namespace brisden {

// A number through a mask such as "####,###.00" or "#,###,##0.000": the
// digits after the point give the decimals, a "," before it turns grouping
// on, each "0" before it is a digit always printed. A mask with "$" prints the
// system's currency symbol before the number, with 2 decimals. A negative
// number that rounds to zero carries no sign.
QString FormatMask(double value, const QString& mask, const QLocale& locale);

// A zero through a mask (".", ".00", ".000") prints as nothing.
QString BlankZero(const QString& formatted, const QLocale& locale);

// The system's number format with the given decimals and grouping, no
// leading zero (0.5 -> .50).
QString ReportNumber(double value, int decimals, const QLocale& locale);

// An amount in the system's currency format.
QString ReportCurrency(double value, const QLocale& locale);

// The date format of printed reports: the system's short date when it is
// all numbers, else MM/dd/yy (the C locale, or names of months).
QString ReportDateFormat(const QLocale& locale);

}  // namespace brisden
