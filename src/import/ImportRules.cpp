#include "import/ImportRules.h"

#include "data/Dates.h"
#include "data/NumberText.h"
#include "import/Parse.h"

#include <cmath>
#include <limits>

namespace brisden {

namespace {

const QChar Quote = u'"';

bool HasAsciiLetter(const QString& s)
{
    for (const QChar c : s) {
        const char16_t u = c.unicode();
        if ((u >= u'A' && u <= u'Z') || (u >= u'a' && u <= u'z'))
            return true;
    }
    return false;
}

// A date part read by the leading-number rule and held as a whole number.
std::int64_t PartValue(const QString& text)
{
    const double v = Val(text);
    if (!std::isfinite(v) || std::fabs(v) > 1e12)
        return std::numeric_limits<std::int32_t>::max();  // no valid date comes of it
    return std::int64_t(std::nearbyint(v));
}

// Common written-out forms beyond the locale's own short and long dates.
// Commas have been turned into blanks and runs of blanks made single.
const char* const LetterDateFormats[] = {
    "d-MMM-yyyy",     "d-MMM-yy",       "d-MMMM-yyyy",      "d-MMMM-yy",        "d MMM yyyy",
    "d MMM yy",       "d MMMM yyyy",    "d MMMM yy",        "d/MMM/yyyy",       "d/MMM/yy",
    "d.MMM.yyyy",     "MMM d yyyy",     "MMM d yy",         "MMMM d yyyy",      "MMMM d yy",
    "MMM-d-yyyy",     "MMM-d-yy",       "MMM/d/yyyy",       "yyyy-MMM-d",       "yyyy MMM d",
    "ddd d MMM yyyy", "ddd MMM d yyyy", "dddd d MMMM yyyy", "dddd MMMM d yyyy",
};

}  // namespace

QString ImportFieldDelimiters()
{
    return QStringLiteral("\",");
}

ImportFields SplitImportLine(const QString& line)
{
    ImportFields out;
    const QString delimiters = ImportFieldDelimiters();
    QString rest = line;
    // True where a field begins right after the comma that ended an unquoted
    // field (or at the start of the line): a comma there closes an empty field.
    bool atFieldStart = true;
    for (int slot = 0; slot < ImportSchema::SlotCount; ++slot) {
        QString field;
        if (atFieldStart && rest.startsWith(u',')) {
            rest.remove(0, 1);
            atFieldStart = true;
        } else {
            QChar endedBy;
            NextCsvField(rest, delimiters, field, &endedBy);
            atFieldStart = !endedBy.isNull() && endedBy != Quote;
        }
        if (rest.isEmpty() && field.isEmpty())
            break;
        out.field[std::size_t(slot)] = field;
        out.count = slot + 1;
    }
    return out;
}

QDate ParseLetterDate(const QString& text, const Calendar& calendar)
{
    const std::int32_t ymd = calendar.ParseDateText(text);
    if (ymd != 0) {
        const QDate date(ymd / 10000, (ymd % 10000) / 100, ymd % 100);
        if (date.isValid())
            return date;
    }
    QString normal = text;
    normal.replace(u',', u' ');
    normal = normal.simplified();
    if (normal.isEmpty())
        return {};
    const QLocale locales[] = {calendar.locale, QLocale::c()};
    for (const QLocale& locale : locales) {
        for (const char* format : LetterDateFormats) {
            const QString f = QString::fromLatin1(format);
            QDate date = locale.toDate(normal, f);
            if (!date.isValid())
                continue;
            // Two-digit years as the locale's short date reads them: 1930 to 2029.
            if (!f.contains(QLatin1String("yyyy")) && date.year() < 1930)
                date = date.addYears(100);
            if (date.isValid())
                return date;
        }
    }
    return {};
}

std::int64_t ImportDateCandidate(const QString& text, DateReadOrder order, const Calendar& calendar)
{
    QString field = text;
    field.remove(u'#');
    std::int64_t month = 0;
    std::int64_t day = 0;
    std::int64_t year = 0;
    // Three parts in the order the schema reads dates.
    auto takeInOrder = [&](std::int64_t a, std::int64_t b, std::int64_t c) {
        switch (order) {
            case DateReadOrder::MDY:
                month = a, day = b, year = c;
                break;
            case DateReadOrder::DMY:
                day = a, month = b, year = c;
                break;
            case DateReadOrder::YMD:
                year = a, month = b, day = c;
                break;
        }
    };

    if (HasAsciiLetter(field)) {
        const QDate date = ParseLetterDate(field, calendar);
        if (date.isValid()) {
            month = date.month();
            day = date.day();
            year = date.year();
        }
    } else {
        const QString delimiters = calendar.DateSeparator + QStringLiteral("- /");
        QString rest = field;
        QString p1;
        NextDatePart(rest, delimiters, p1);
        if (p1 != field) {
            QString p2;
            QString p3;
            NextDatePart(rest, delimiters, p2);
            NextDatePart(rest, delimiters, p3);
            takeInOrder(PartValue(p1), PartValue(p2), PartValue(p3));
        } else {
            QString digits = field;
            if (digits.size() == 5 || digits.size() == 7)
                digits.prepend(u'0');
            if (digits.size() == 6) {
                takeInOrder(PartValue(digits.mid(0, 2)), PartValue(digits.mid(2, 2)),
                            PartValue(digits.mid(4, 2)));
            } else {
                switch (order) {
                    case DateReadOrder::MDY:
                        month = PartValue(digits.mid(0, 2));
                        day = PartValue(digits.mid(2, 2));
                        year = PartValue(digits.right(4));
                        break;
                    case DateReadOrder::DMY:
                        day = PartValue(digits.mid(0, 2));
                        month = PartValue(digits.mid(2, 2));
                        year = PartValue(digits.right(4));
                        break;
                    case DateReadOrder::YMD:
                        year = PartValue(digits.left(4));
                        month = PartValue(digits.mid(4, 2));
                        day = PartValue(digits.right(2));
                        break;
                }
            }
        }
    }

    if (year < 50)
        year += 2000;
    else if (year < 1900)
        year += 1900;
    return month * 1000000 + day * 10000 + year;
}

std::int32_t ImportDate(const QString& field, DateReadOrder order, const Calendar& calendar)
{
    const std::int64_t n = ImportDateCandidate(field, order, calendar);
    using Limits = std::numeric_limits<std::int32_t>;
    if (n < Limits::min() || n > Limits::max())
        return 0;
    const auto mdy = std::int32_t(n);
    return IsValidDate(mdy) ? SwapDateOrder(mdy) : 0;
}

std::optional<double> ImportNumber(const QString& field, const QLocale& locale)
{
    const QString text = field.trimmed();
    if (text.isEmpty())
        return std::nullopt;
    bool ok = false;
    double v = locale.toDouble(text, &ok);
    if (!ok)
        v = QLocale::c().toDouble(text, &ok);
    if (!ok || !std::isfinite(v))
        return std::nullopt;
    return v;
}

ImportCompletion CompleteImportRecord(TransactionRecord& r)
{
    const bool blank = r.Desc == QByteArray(9, ' ');
    double& A = r.Amount;
    double& S = r.Shares;
    const double P = r.SharePrice;

    if (A == 0 && S == 0) {
        if (blank)
            r.setDesc(QStringLiteral("Price imp"));
        return ImportCompletion::PriceRecord;
    }
    if (A == 0)
        A = S * P;
    if (S < 0) {
        S = -S;
        if (A > 0)
            A = -A;
    }
    if (A > 0) {
        if (blank)
            r.setDesc(QStringLiteral("Purch imp"));
        S = 0;
        return ImportCompletion::Purchase;
    }
    if (S == 0 && P == 0)
        return ImportCompletion::SaleWithoutPrice;
    if (blank)
        r.setDesc(QStringLiteral("Sale imp."));
    if (S == 0)
        S = A / P;
    return ImportCompletion::Sale;
}

ImportLineParser::ImportLineParser(const ImportSchema& schema, const Calendar& calendar,
                                   bool completeRecords)
    : m_order(schema.readOrder()), m_calendar(calendar), m_completeRecords(completeRecords)
{
    for (int i = 0; i < ImportSchema::SlotCount; ++i)
        m_fields[std::size_t(i)] = schema.field(i);
}

ImportLineResult ImportLineParser::parse(const QString& line, std::int32_t lineNumber) const
{
    ImportLineResult result;
    TransactionRecord& r = result.record;  // date 0, blank description, numbers 0
    const ImportFields fields = SplitImportLine(line);
    const QString lineText = QString::number(lineNumber);

    for (int i = 0; i < fields.count; ++i) {
        const QString& field = fields.field[std::size_t(i)];
        const ImportField kind = m_fields[std::size_t(i)];
        double* target = nullptr;
        switch (kind) {
            case ImportField::NotUsed:
                break;
            case ImportField::Date: {
                const std::int32_t ymd = ImportDate(field, m_order, m_calendar);
                if (ymd != 0) {
                    r.TransDate = ymd;
                } else {
                    // Kept with the line number as its date so that it can be found.
                    result.messages << QStringLiteral("Invalid date found at line ") + lineText;
                    result.invalidDate = true;
                    r.TransDate = lineNumber;
                }
                break;
            }
            case ImportField::Description:
                r.setDesc(field);
                break;
            case ImportField::Amount:
                target = &r.Amount;
                break;
            case ImportField::Price:
                target = &r.SharePrice;
                break;
            case ImportField::Shares:
                target = &r.Shares;
                break;
        }
        if (!target)
            continue;
        if (const std::optional<double> v = ImportNumber(field, m_calendar.locale)) {
            *target = *v;
        } else if (!result.skip) {
            result.skip = true;
            const QString name = ImportSchema::FieldNames().at(qsizetype(kind));
            result.messages << QStringLiteral("Line ") + lineText + QStringLiteral(": the ") +
                                   name + QStringLiteral(" field \"") + field +
                                   QStringLiteral("\" is not a number, the line was not imported");
        }
    }

    if (!result.skip && m_completeRecords &&
        CompleteImportRecord(r) == ImportCompletion::SaleWithoutPrice) {
        result.skip = true;
        result.messages << QStringLiteral("Line ") + lineText +
                               QStringLiteral(
                                   ": a sale with no shares and a zero price, "
                                   "the line was not imported");
    }
    return result;
}

ImportLineResult ParseImportLine(const QString& line, const ImportSchema& schema,
                                 const Calendar& calendar, std::int32_t lineNumber)
{
    return ImportLineParser(schema, calendar).parse(line, lineNumber);
}

}  // namespace brisden
