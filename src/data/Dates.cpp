#include "data/Dates.h"

#include <QDateTime>

namespace brisden {

namespace {
// Days per month, February at 29; leap years are decided separately.
constexpr const char* DaysTable = "312931303130313130313031";
}  // namespace

std::int32_t SwapDateOrder(std::int32_t d)
{
    return (d % 10000) * 10000 + d / 10000;
}

std::int32_t ShortYearDate(std::int32_t mdy)
{
    return (mdy / 10000) * 100 + mdy % 100;
}

bool IsValidDate(std::int32_t d)
{
    if (d < 1010000)
        return false;
    const std::int32_t day = (d % 1000000) / 10000;
    const std::int32_t month = d / 1000000;
    const std::int32_t year = d % 10000;
    if (year < 1583)
        return false;
    int maxDay = 0;
    if (month >= 1 && month <= 12) {
        const int pos = 2 * (month - 1);
        maxDay = (DaysTable[pos] - '0') * 10 + (DaysTable[pos + 1] - '0');
    }
    if (!(month >= 1 && month <= 12 && day >= 1 && day <= maxDay))
        return false;
    // No century rule: every year divisible by 4 has a February 29.
    if (year % 4 != 0 && month == 2 && day == 29)
        return false;
    return true;
}

QString FormatDateDashes(std::int32_t d)
{
    QString s =
        d == 0 ? QStringLiteral("0000000") : QString::number(d < 0 ? -qint64(d) : qint64(d));
    const int n = int(s.size() % 7) + 1;
    QString result;
    if (n == 1)
        result += QLatin1Char(' ');
    result += s.left(n) + QLatin1Char('-') + s.mid(n, 2) + QLatin1Char('-') + s.right(4);
    return result;
}

std::int32_t DateToDayNumber(std::int32_t d)
{
    std::int64_t y = d / 10000;
    std::int64_t m = (d % 10000) / 100;
    const std::int64_t day = d % 100;
    if (m < 3) {
        m += 9;
        y -= 1;
    } else {
        m -= 3;
    }
    const std::int64_t c = y / 100;
    const std::int64_t ya = y % 100;
    return std::int32_t((146097 * c) / 4 + (1461 * ya) / 4 + (153 * m + 2) / 5 + day + 1721119);
}

std::int32_t DayNumberToDate(std::int32_t n)
{
    std::int64_t j = 4 * std::int64_t(n) - 6884477;
    std::int64_t y = 100 * (j / 146097);
    std::int64_t d = (j % 146097) / 4;
    j = 4 * d + 3;
    y = y + j / 1461;
    d = (j % 1461) / 4 + 1;
    j = 5 * d - 3;
    const std::int64_t m = j / 153 + 1;
    const std::int64_t day = (j % 153) / 5 + 1;
    const std::int64_t month = m >= 11 ? m - 10 : m + 2;
    const std::int64_t year = y + m / 11;
    return std::int32_t(year * 10000 + month * 100 + day);
}

QDate Calendar::parseShortDate(const QString& s) const
{
    const QString text = s.trimmed();
    if (text.isEmpty())
        return {};
    // The short format with a four-digit year first, then with two digits:
    // 30 to 99 are 1930 to 1999, 00 to 29 are 2000 to 2029.
    QString longYear = locale.dateFormat(QLocale::ShortFormat);
    if (!longYear.contains(QLatin1String("yyyy")))
        longYear.replace(QLatin1String("yy"), QLatin1String("yyyy"));
    QDate date = locale.toDate(text, longYear);
    if (date.isValid())
        return date;
    QString shortYear = longYear;
    shortYear.replace(QLatin1String("yyyy"), QLatin1String("yy"));
    date = locale.toDate(text, shortYear);
    if (date.isValid() && date.year() < 1930)
        date = date.addYears(100);
    return date;
}

void Calendar::DetectDateOrder()
{
    const QString shortDate =
        locale.toString(Today.isValid() ? Today : QDate::currentDate(), QLocale::ShortFormat);
    for (const QChar c : shortDate) {
        if (!c.isDigit()) {
            DateSeparator = QString(c);
            break;
        }
    }
    // A short date of digits only has no separator; the parts are then read
    // in the locale's order without one.
    const QString probe = QStringLiteral("01") + DateSeparator + QStringLiteral("02") +
                          DateSeparator + QStringLiteral("03");
    const QDate parsed = parseShortDate(probe);
    const int month = parsed.isValid() ? parsed.month() : 0;
    const int day = parsed.isValid() ? parsed.day() : 0;
    if (month == 1)
        DateOrderMask = QStringLiteral("MDY");
    else if (month == 2 && day == 1)
        DateOrderMask = QStringLiteral("DMY");
    else
        DateOrderMask = QStringLiteral("YMD");
}

void Calendar::SetToday(QDate fixed)
{
    Today = fixed.isValid() ? fixed : QDate::currentDate();
    TodayYMD = Today.year() * 10000 + Today.month() * 100 + Today.day();
    TodayDayNumber = DateToDayNumber(TodayYMD);
    TodayLongText = locale.toString(Today, QLocale::LongFormat);
}

QString Calendar::FormatLocalDate(std::int32_t d, bool useSystemFormat) const
{
    auto two = [](std::int32_t v) {
        QString s = QString::number(v);
        if (s.size() == 1)
            s.prepend(QLatin1Char('0'));
        return s;
    };
    const QString mm = two(d / 10000);
    const QString dd = two((d % 10000) / 100);
    const QString yy = two(d % 100);
    QString joined;
    if (DateOrderMask == QLatin1String("MDY"))
        joined = mm + DateSeparator + dd + DateSeparator + yy;
    else if (DateOrderMask == QLatin1String("DMY"))
        joined = dd + DateSeparator + mm + DateSeparator + yy;
    else
        joined = yy + DateSeparator + mm + DateSeparator + dd;
    if (useSystemFormat) {
        const QDate date = parseShortDate(joined);
        if (date.isValid())
            return locale.toString(date, QLocale::ShortFormat);
    }
    if (!DateSeparator.isEmpty())
        joined.remove(DateSeparator);
    return joined;
}

std::int32_t Calendar::ParseDateText(const QString& s) const
{
    QDate date = parseShortDate(s);
    if (!date.isValid())
        date = locale.toDate(s.trimmed(), QLocale::LongFormat);
    if (!date.isValid())
        return 0;
    return date.year() * 10000 + date.month() * 100 + date.day();
}

}  // namespace brisden
