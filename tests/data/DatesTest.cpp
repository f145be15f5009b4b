// Whole-number dates: validation, the day-number calendar checked against an
// independent calendar, and the locale's order and separator.

#include "data/Dates.h"

#include <gtest/gtest.h>

using namespace brisden;

namespace {

TEST(DatesTest, ValidDatesHaveNoCenturyRule)
{
    for (const std::int32_t mdy : {2292000, 2291900, 2292100, 12312004, 1011583})
        EXPECT_TRUE(IsValidDate(mdy)) << mdy;
    // 2-29-2001; months 0 and 13; before 1583; 4-31; day 0; zero, negative, all nines.
    for (const std::int32_t mdy :
         {2292001, 152004, 13012004, 1011582, 4312004, 1002004, 0, -12312004, 99999999})
        EXPECT_FALSE(IsValidDate(mdy)) << mdy;
}

TEST(DatesTest, DayNumbersAgreeWithTheGregorianCalendar)
{
    EXPECT_EQ(DateToDayNumber(20000101), 2451545);
    // Every day from 1583 to 2399: the day number is the Julian Day Number,
    // the inverse returns the date, and SwapDateOrder turns both ways.
    for (QDate d(1583, 1, 1); d.year() < 2400; d = d.addDays(1)) {
        const std::int32_t ymd = d.year() * 10000 + d.month() * 100 + d.day();
        const std::int32_t mdy = d.month() * 1000000 + d.day() * 10000 + d.year();
        ASSERT_TRUE(IsValidDate(mdy)) << ymd;
        ASSERT_EQ(DateToDayNumber(ymd), d.toJulianDay()) << ymd;
        ASSERT_EQ(DayNumberToDate(std::int32_t(d.toJulianDay())), ymd);
        ASSERT_EQ(SwapDateOrder(mdy), ymd);
        ASSERT_EQ(SwapDateOrder(ymd), mdy);
    }
    // 29 February 1900 passes the check but is not a calendar day: its
    // number is that of 1 March.
    EXPECT_EQ(DateToDayNumber(19000229), DateToDayNumber(19000301));
}

TEST(DatesTest, ShortDashedAndLocalForms)
{
    EXPECT_EQ(ShortYearDate(12312003), 123103);
    EXPECT_EQ(ShortYearDate(1052000), 10500);
    EXPECT_EQ(FormatDateDashes(12312003), QStringLiteral("12-31-2003"));
    EXPECT_EQ(FormatDateDashes(1012003), QStringLiteral(" 1-01-2003"));
    EXPECT_EQ(FormatDateDashes(0), QStringLiteral(" 0-00-0000"));
    Calendar c;
    c.DateSeparator = QStringLiteral(".");
    for (const auto& [mask, mdy, text] : {std::tuple{"DMY", 123103, "311203"},
                                          {"YMD", 10203, "030102"},
                                          {"MDY", 10203, "010203"}}) {
        c.DateOrderMask = QLatin1String(mask);
        EXPECT_EQ(c.FormatLocalDate(mdy, false), QLatin1String(text)) << mask;
    }
}

TEST(DatesTest, OrderAndSeparatorComeFromTheLocale)
{
    struct Case {
        QLocale locale;
        const char* mask;
        const char* separator;
    };
    const Case cases[] = {
        {QLocale(QLocale::English, QLocale::UnitedStates), "MDY", "/"},
        {QLocale(QLocale::German, QLocale::Germany), "DMY", "."},
        {QLocale(QLocale::English, QLocale::UnitedKingdom), "DMY", "/"},
        {QLocale(QLocale::Swedish, QLocale::Sweden), "YMD", "-"},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.locale.name().toStdString());
        Calendar c;
        c.locale = k.locale;
        c.SetToday(QDate(2004, 2, 29));
        c.DetectDateOrder();
        EXPECT_EQ(c.DateOrderMask, QLatin1String(k.mask));
        EXPECT_EQ(c.DateSeparator, QLatin1String(k.separator));
        // A short date of the locale reads back as the same day.
        EXPECT_EQ(c.ParseDateText(c.locale.toString(QDate(2004, 2, 29), QLocale::ShortFormat)),
                  20040229);
        EXPECT_EQ(c.TodayYMD, 20040229);
        EXPECT_EQ(c.TodayDayNumber, DateToDayNumber(20040229));
        EXPECT_FALSE(c.TodayLongText.isEmpty());
    }
    EXPECT_EQ(Calendar().ParseDateText(QStringLiteral("not a date")), 0);
}

}  // namespace
