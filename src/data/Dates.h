#pragma once
// Whole-number dates: YMD (20031231) in files and computations, MDY (12312003)
// as typed by the user, MDY2 (123103), and Julian day numbers for differences.
// All integer arithmetic truncates toward zero, as the encodings expect.

#include <QDate>
#include <QLocale>
#include <QString>
#include <cstdint>

namespace brisden {

std::int32_t SwapDateOrder(std::int32_t d);    // MDY <-> YMD, its own inverse
std::int32_t ShortYearDate(std::int32_t mdy);  // MDY -> MDY2
bool IsValidDate(std::int32_t mdy);
QString FormatDateDashes(std::int32_t mdy);      // 12-31-2003, " 1-01-2003"
std::int32_t DateToDayNumber(std::int32_t ymd);  // no validation
std::int32_t DayNumberToDate(std::int32_t dayNumber);

// The system's date conventions and today's date. One object for the whole
// program; the command line may fix today instead of reading the clock.
struct Calendar {
    QLocale locale = QLocale::system();
    QString DateSeparator = QStringLiteral("/");
    QString DateOrderMask = QStringLiteral("MDY");
    QDate Today;
    std::int32_t TodayYMD = 0;
    std::int32_t TodayDayNumber = 0;
    QString TodayLongText;

    // Reads the order of day, month and year and the separator from the
    // locale's short date format.
    void DetectDateOrder();
    // Reads the system date (or takes the given one when it is valid).
    void SetToday(QDate fixed = QDate());

    // MDY2 -> text in the mask order; with useSystemFormat the locale's
    // short date when it accepts the text, else the six digits.
    QString FormatLocalDate(std::int32_t mdy2, bool useSystemFormat) const;
    // A date in the locale's sense -> YMD, else 0.
    std::int32_t ParseDateText(const QString& s) const;
    // Locale short-date parse; invalid QDate when the text is not a date.
    QDate parseShortDate(const QString& s) const;
};

}  // namespace brisden
