// The date rules, the number conversion and the completion of a record.

#include "data/Dates.h"
#include "import/ImportRules.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace brisden;

namespace {

Calendar UsCalendar()
{
    Calendar c;
    c.locale = QLocale(QLocale::English, QLocale::UnitedStates);
    c.DateSeparator = QStringLiteral("/");
    c.DateOrderMask = QStringLiteral("MDY");
    return c;
}

std::int32_t D(const char* field, DateReadOrder order)
{
    static const Calendar calendar = UsCalendar();
    return ImportDate(QString::fromLatin1(field), order, calendar);
}

TransactionRecord Rec(double amount, double price, double shares, const char* desc = "")
{
    TransactionRecord r;
    r.Amount = amount;
    r.SharePrice = price;
    r.Shares = shares;
    r.setDesc(QString::fromLatin1(desc));
    return r;
}

}  // namespace

TEST(ImportDate, DigitsWithDelimiters)
{
    EXPECT_EQ(D("12/31/04", DateReadOrder::MDY), 20041231);
    EXPECT_EQ(D("31-12-2004", DateReadOrder::DMY), 20041231);
    EXPECT_EQ(D("2004 12 31", DateReadOrder::YMD), 20041231);
    EXPECT_EQ(D("29 - 06 // 10", DateReadOrder::DMY), 20100629);  // runs of delimiters
    EXPECT_EQ(D("2/30/2004", DateReadOrder::MDY), 0);
    EXPECT_EQ(D("1/13/2007", DateReadOrder::DMY), 0);
    EXPECT_EQ(D("12/31", DateReadOrder::MDY), 20001231);  // a missing year reads as 0, then 2000
}

TEST(ImportDate, DigitsOnly)
{
    EXPECT_EQ(D("123104", DateReadOrder::MDY), 20041231);
    EXPECT_EQ(D("1232004", DateReadOrder::MDY), 20040123);  // seven digits get a leading 0
    EXPECT_EQ(D("041231", DateReadOrder::YMD), 20041231);
    EXPECT_EQ(D("51231", DateReadOrder::YMD), 20051231);
    EXPECT_EQ(D("311204", DateReadOrder::DMY), 20041231);
    EXPECT_EQ(D("12312004", DateReadOrder::MDY), 20041231);
    EXPECT_EQ(D("31122004", DateReadOrder::DMY), 20041231);
    EXPECT_EQ(D("20041231", DateReadOrder::YMD), 20041231);
    EXPECT_EQ(D("20041231", DateReadOrder::MDY), 0);
    EXPECT_EQ(D("", DateReadOrder::MDY), 0);
}

TEST(ImportDate, CenturyWindow)
{
    EXPECT_EQ(D("1/2/49", DateReadOrder::MDY), 20490102);
    EXPECT_EQ(D("1/2/50", DateReadOrder::MDY), 19500102);
    EXPECT_EQ(D("1/2/99", DateReadOrder::MDY), 19990102);
    EXPECT_EQ(D("1/2/150", DateReadOrder::MDY), 20500102);
    EXPECT_EQ(D("1/2/0", DateReadOrder::MDY), 20000102);
}

TEST(ImportDate, HashesAreRemoved)
{
    EXPECT_EQ(D("#12/31/2004#", DateReadOrder::MDY), 20041231);
    EXPECT_EQ(D("#140209#", DateReadOrder::DMY), 20090214);
}

TEST(ImportDate, LettersGoThroughTheLocaleWhateverTheOrder)
{
    for (DateReadOrder order : {DateReadOrder::MDY, DateReadOrder::DMY, DateReadOrder::YMD}) {
        EXPECT_EQ(D("31-Dec-2004", order), 20041231);
        EXPECT_EQ(D("31-DEC-04", order), 20041231);
        EXPECT_EQ(D("1-Mar-35", order), 19350301);  // two-digit years: 1930 to 2029
        EXPECT_EQ(D("Dec 31 2004", order), 20041231);
        EXPECT_EQ(D("Dec 31, 2004", order), 20041231);
        EXPECT_EQ(D("December 31, 2004", order), 20041231);
        EXPECT_EQ(D("31 December 2004", order), 20041231);
        EXPECT_EQ(D("Friday, December 31, 2004", order), 20041231);
        EXPECT_EQ(D("#1-Jan-2005#", order), 20050101);
        EXPECT_EQ(D("Date", order), 0);
        EXPECT_EQ(D("31-Foo-2004", order), 0);
        EXPECT_EQ(D("Feb 30 2004", order), 0);
    }
}

TEST(ImportDate, LocaleSeparatorIsADelimiter)
{
    Calendar calendar = UsCalendar();
    calendar.DateSeparator = QStringLiteral(".");
    EXPECT_EQ(ImportDate(QStringLiteral("31.12.2004"), DateReadOrder::DMY, calendar), 20041231);
    // Without it the dots are no delimiter: the field is read as digits.
    EXPECT_EQ(ImportDate(QStringLiteral("31.12.2004"), DateReadOrder::DMY, UsCalendar()), 0);
}

TEST(ImportNumber, LocaleConversion)
{
    const QLocale us(QLocale::English, QLocale::UnitedStates);
    EXPECT_EQ(ImportNumber(QStringLiteral(" 12.9300"), us), 12.93);
    EXPECT_EQ(ImportNumber(QStringLiteral("0"), us), 0.0);
    EXPECT_EQ(ImportNumber(QStringLiteral("-28.135 "), us), -28.135);
    EXPECT_EQ(ImportNumber(QStringLiteral("1,234.5"), us), 1234.5);
    EXPECT_EQ(ImportNumber(QStringLiteral("1e3"), us), 1000.0);
    EXPECT_FALSE(ImportNumber(QString(), us));
    EXPECT_FALSE(ImportNumber(QStringLiteral("  "), us));
    EXPECT_FALSE(ImportNumber(QStringLiteral("Amount"), us));
    EXPECT_FALSE(ImportNumber(QStringLiteral("12abc"), us));
    EXPECT_FALSE(ImportNumber(QStringLiteral("inf"), us));
    EXPECT_FALSE(ImportNumber(QStringLiteral("nan"), us));
    // A locale with a decimal comma still reads the plain form.
    const QLocale de(QLocale::German, QLocale::Germany);
    EXPECT_EQ(ImportNumber(QStringLiteral("12,5"), de), 12.5);
    EXPECT_EQ(ImportNumber(QStringLiteral("0.25"), QLocale::c()), 0.25);
}

TEST(CompleteImportRecord, PriceRecords)
{
    TransactionRecord r = Rec(0, 12.69, 0);
    EXPECT_EQ(CompleteImportRecord(r), ImportCompletion::PriceRecord);
    EXPECT_EQ(r.Desc, QByteArray("Price imp"));
    r = Rec(0, 12.69, 0, "Price chk");
    CompleteImportRecord(r);
    EXPECT_EQ(r.Desc, QByteArray("Price chk"));
}

TEST(CompleteImportRecord, PurchaseFromSharesAndPrice)
{
    TransactionRecord r = Rec(0, 5, 10);
    EXPECT_EQ(CompleteImportRecord(r), ImportCompletion::Purchase);
    EXPECT_EQ(r.Amount, 50);
    EXPECT_EQ(r.Shares, 0);
    EXPECT_EQ(r.Desc, QByteArray("Purch imp"));

    r = Rec(100, 10, 0, "Fund buy");
    CompleteImportRecord(r);
    EXPECT_EQ(r.Desc, QByteArray("Fund buy "));
    EXPECT_EQ(r.Shares, 0);
}

TEST(CompleteImportRecord, Sales)
{
    // Negative shares without an amount: a sale of 10 shares for -50.
    TransactionRecord r = Rec(0, 5, -10);
    EXPECT_EQ(CompleteImportRecord(r), ImportCompletion::Sale);
    EXPECT_EQ(r.Amount, -50);
    EXPECT_EQ(r.Shares, 10);
    EXPECT_EQ(r.Desc, QByteArray("Sale imp."));

    // A negative amount without shares: the shares come out negative.
    r = Rec(-50, 5, 0);
    CompleteImportRecord(r);
    EXPECT_EQ(r.Shares, -10);
    EXPECT_EQ(r.Amount, -50);

    // A positive amount with negative shares turns into a sale.
    r = Rec(467.43, 12.76, -3);
    EXPECT_EQ(CompleteImportRecord(r), ImportCompletion::Sale);
    EXPECT_EQ(r.Amount, -467.43);
    EXPECT_EQ(r.Shares, 3);

    // The product is taken as the double it is.
    r = Rec(0, 12.22, -28.135);
    CompleteImportRecord(r);
    EXPECT_EQ(r.Amount, -28.135 * 12.22);

    // A negative amount without shares at no price cannot be completed.
    r = Rec(-95.25, 0, 0);
    EXPECT_EQ(CompleteImportRecord(r), ImportCompletion::SaleWithoutPrice);
}

TEST(CompleteImportRecord, SaleWithSharesAtZeroPriceKeepsANegativeZeroAmount)
{
    TransactionRecord r = Rec(0, 0, -0.45);
    EXPECT_EQ(CompleteImportRecord(r), ImportCompletion::Sale);
    EXPECT_EQ(r.Amount, 0);
    EXPECT_TRUE(std::signbit(r.Amount));
    EXPECT_EQ(r.Shares, 0.45);
}

TEST(ImportLineParser, AsIsKeepsReinvestmentsDistributionsAndFeesAgainstShares)
{
    const Calendar calendar = UsCalendar();
    const ImportSchema schema =
        ImportSchema::FromSaved(QStringLiteral("Date Description Amount Price Shares YMD"));
    const ImportLineParser asIs(schema, calendar, false);
    const ImportLineParser completing(schema, calendar);

    // A reinvestment: completed, it would become a purchase without shares.
    const ImportLineResult reinvest = asIs.parse(QStringLiteral("20150105,Reinvest,0,12.5,4"), 1);
    EXPECT_FALSE(reinvest.skip);
    EXPECT_EQ(reinvest.record.Amount, 0.0);
    EXPECT_EQ(reinvest.record.Shares, 4.0);
    EXPECT_EQ(reinvest.record.descText(), QStringLiteral("Reinvest "));
    EXPECT_EQ(completing.parse(QStringLiteral("20150105,Reinvest,0,12.5,4"), 1).record.Shares, 0.0);

    // A cash distribution cannot be completed, but as written it is whole.
    const ImportLineResult cash = asIs.parse(QStringLiteral("20150105,Cash dist,-50,0,0"), 2);
    EXPECT_FALSE(cash.skip);
    EXPECT_EQ(cash.record.Amount, -50.0);
    EXPECT_TRUE(completing.parse(QStringLiteral("20150105,Cash dist,-50,0,0"), 2).skip);

    // A fee against shares keeps its negative share count and no amount.
    const ImportLineResult fee = asIs.parse(QStringLiteral("20150105,Acct fee,0,0,-0.25"), 3);
    EXPECT_EQ(fee.record.Shares, -0.25);
    EXPECT_EQ(fee.record.Amount, 0.0);
    EXPECT_FALSE(std::signbit(fee.record.Amount));

    // Bad numbers and dates are still errors.
    EXPECT_TRUE(asIs.parse(QStringLiteral("20150105,x,abc,1,1"), 4).skip);
    EXPECT_TRUE(asIs.parse(QStringLiteral("Date,x,1,1,1"), 5).invalidDate);
}
