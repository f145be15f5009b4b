#include "report/ReportNumbers.h"

#include <cmath>

namespace brisden {

namespace {

QString Compose(double value, int decimals, bool grouping, int minIntDigits, const QString& prefix,
                const QLocale& locale)
{
    const QString digits = QString::number(std::fabs(value), 'f', decimals);
    const qsizetype point = digits.indexOf(QLatin1Char('.'));
    QString whole = point < 0 ? digits : digits.left(point);
    const QString fraction = point < 0 ? QString() : digits.mid(point + 1);
    if (whole == QLatin1String("0"))
        whole.clear();
    while (whole.size() < minIntDigits)
        whole.prepend(QLatin1Char('0'));
    if (grouping && whole.size() > 3) {
        const QString separator = locale.groupSeparator();
        for (qsizetype at = whole.size() - 3; at > 0; at -= 3)
            whole.insert(at, separator);
    }
    const bool zero = (whole.isEmpty() || whole.count(QLatin1Char('0')) == whole.size()) &&
                      fraction.count(QLatin1Char('0')) == fraction.size();
    QString text = (value < 0 && !zero) ? QStringLiteral("-") : QString();
    text += prefix + whole;
    if (decimals > 0)
        text += locale.decimalPoint() + fraction;
    return text;
}

}  // namespace

QString FormatMask(double value, const QString& mask, const QLocale& locale)
{
    if (mask.contains(QLatin1Char('$')))
        return Compose(value, 2, true, 0, locale.currencySymbol(), locale);
    const qsizetype point = mask.indexOf(QLatin1Char('.'));
    const QString whole = point < 0 ? mask : mask.left(point);
    const int decimals = point < 0 ? 0 : static_cast<int>(mask.size() - point - 1);
    return Compose(value, decimals, whole.contains(QLatin1Char(',')),
                   static_cast<int>(whole.count(QLatin1Char('0'))), QString(), locale);
}

QString BlankZero(const QString& formatted, const QLocale& locale)
{
    const QString point = locale.decimalPoint();
    if (formatted == point || formatted == point + QLatin1String("00") ||
        formatted == point + QLatin1String("000"))
        return QString();
    return formatted;
}

QString ReportNumber(double value, int decimals, const QLocale& locale)
{
    return Compose(value, decimals, true, 0, QString(), locale);
}

QString ReportCurrency(double value, const QLocale& locale)
{
    return locale.toCurrencyString(value, locale.currencySymbol(), 2);
}

QString ReportDateFormat(const QLocale& locale)
{
    const QString format = locale.dateFormat(QLocale::ShortFormat);
    if (locale.language() == QLocale::C || format.contains(QLatin1String("MMM")))
        return QStringLiteral("MM/dd/yy");
    for (const QChar c : format) {
        if (c.isLetter() && c != QLatin1Char('d') && c != QLatin1Char('M') && c != QLatin1Char('y'))
            return QStringLiteral("MM/dd/yy");
    }
    return format;
}

}  // namespace brisden
