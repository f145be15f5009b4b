// The rules of an import line: the split into fields, the schema and its
// saved form (saved in the settings file and read from there: checked with
// the import dialog and the command line), dates, numbers and the completion
// of a record.

#include "data/Dates.h"
#include "import/ImportRules.h"
#include "import/ImportSchema.h"

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

TransactionRecord Rec(double amount, double price, double shares, const char* desc = "")
{
    TransactionRecord r;
    r.Amount = amount;
    r.SharePrice = price;
    r.Shares = shares;
    r.setDesc(QString::fromLatin1(desc));
    return r;
}

constexpr auto MDY = DateReadOrder::MDY;
constexpr auto DMY = DateReadOrder::DMY;
constexpr auto YMD = DateReadOrder::YMD;

TEST(ImportDate, DigitsDelimitersAndTheCenturyWindow)
{
    const struct {
        const char* field;
        DateReadOrder order;
        std::int32_t ymd;
    } cases[] = {
        {"12/31/04", MDY, 20041231},
        {"31-12-2004", DMY, 20041231},
        {"2004 12 31", YMD, 20041231},
        {"29 - 06 // 10", DMY, 20100629},  // runs of delimiters
        {"2/30/2004", MDY, 0},
        {"1/13/2007", DMY, 0},
        {"12/31", MDY, 20001231},  // a missing year reads as 0, then 2000
        // Digits only.
        {"123104", MDY, 20041231},
        {"1232004", MDY, 20040123},  // seven digits get a leading 0
        {"041231", YMD, 20041231},
        {"51231", YMD, 20051231},
        {"311204", DMY, 20041231},
        {"12312004", MDY, 20041231},
        {"31122004", DMY, 20041231},
        {"20041231", YMD, 20041231},
        {"20041231", MDY, 0},
        {"", MDY, 0},
        // Two-digit years.
        {"1/2/49", MDY, 20490102},
        {"1/2/50", MDY, 19500102},
        {"1/2/99", MDY, 19990102},
        {"1/2/150", MDY, 20500102},
        {"1/2/0", MDY, 20000102},
        // Hashes are removed.
        {"#12/31/2004#", MDY, 20041231},
        {"#140209#", DMY, 20090214},
        {" #15/5/10#", DMY, 20100515},  // a blank before the date
    };
    Calendar calendar = UsCalendar();
    for (const auto& c : cases)
        EXPECT_EQ(ImportDate(QLatin1String(c.field), c.order, calendar), c.ymd) << c.field;
    // The locale's separator is a delimiter too; without it the dots are
    // none and the field is read as digits.
    EXPECT_EQ(ImportDate(QStringLiteral("31.12.2004"), DMY, calendar), 0);
    calendar.DateSeparator = QStringLiteral(".");
    EXPECT_EQ(ImportDate(QStringLiteral("31.12.2004"), DMY, calendar), 20041231);
}

TEST(ImportDate, LettersGoThroughTheLocaleWhateverTheOrder)
{
    const Calendar calendar = UsCalendar();
    const std::pair<const char*, std::int32_t> cases[] = {
        {"31-Dec-2004", 20041231},
        {"31-DEC-04", 20041231},
        {"1-Mar-35", 19350301},  // two-digit years: 1930 to 2029
        {"Dec 31 2004", 20041231},
        {"Dec 31, 2004", 20041231},
        {"December 31, 2004", 20041231},
        {"31 December 2004", 20041231},
        {"Friday, December 31, 2004", 20041231},
        {"#1-Jan-2005#", 20050101},
        {"Date", 0},
        {"31-Foo-2004", 0},
        {"Feb 30 2004", 0},
    };
    for (const DateReadOrder order : {MDY, DMY, YMD})
        for (const auto& [field, ymd] : cases)
            EXPECT_EQ(ImportDate(QLatin1String(field), order, calendar), ymd) << field;
}

TEST(ImportNumber, LocaleConversion)
{
    const QLocale us(QLocale::English, QLocale::UnitedStates);
    const std::pair<const char*, double> numbers[] = {
        {" 12.9300", 12.93}, {"0", 0}, {"-28.135 ", -28.135}, {"1,234.5", 1234.5}, {"1e3", 1000}};
    for (const auto& [text, value] : numbers)
        EXPECT_EQ(ImportNumber(QLatin1String(text), us), value) << text;
    for (const char* text : {"", "  ", "Amount", "12abc", "inf", "nan"})
        EXPECT_FALSE(ImportNumber(QLatin1String(text), us)) << text;
    // A locale with a decimal comma still reads the plain form.
    EXPECT_EQ(ImportNumber(QStringLiteral("12,5"), QLocale(QLocale::German, QLocale::Germany)),
              12.5);
    EXPECT_EQ(ImportNumber(QStringLiteral("0.25"), QLocale::c()), 0.25);
}

TEST(CompleteImportRecord, FillsInWhatTheLineLeftOut)
{
    const struct {
        TransactionRecord given;
        ImportCompletion kind;
        double amount, shares;
        const char* desc;
    } cases[] = {
        {Rec(0, 12.69, 0), ImportCompletion::PriceRecord, 0, 0, "Price imp"},
        {Rec(0, 12.69, 0, "Price chk"), ImportCompletion::PriceRecord, 0, 0, "Price chk"},
        {Rec(0, 5, 10), ImportCompletion::Purchase, 50, 0, "Purch imp"},
        {Rec(100, 10, 0, "Fund buy"), ImportCompletion::Purchase, 100, 0, "Fund buy "},
        // Negative shares without an amount: a sale of 10 shares for -50.
        {Rec(0, 5, -10), ImportCompletion::Sale, -50, 10, "Sale imp."},
        // A negative amount without shares: the shares come out negative.
        {Rec(-50, 5, 0), ImportCompletion::Sale, -50, -10, "Sale imp."},
        // A positive amount with negative shares turns into a sale.
        {Rec(467.43, 12.76, -3), ImportCompletion::Sale, -467.43, 3, "Sale imp."},
        // The product is taken as the double it is.
        {Rec(0, 12.22, -28.135), ImportCompletion::Sale, -28.135 * 12.22, 28.135, "Sale imp."},
        // A negative amount without shares at no price cannot be completed.
        {Rec(-95.25, 0, 0), ImportCompletion::SaleWithoutPrice, -95.25, 0, nullptr},
    };
    for (const auto& c : cases) {
        TransactionRecord r = c.given;
        SCOPED_TRACE(r.descText().toStdString() + " " + std::to_string(r.Amount));
        EXPECT_EQ(CompleteImportRecord(r), c.kind);
        if (c.kind == ImportCompletion::SaleWithoutPrice)
            continue;
        EXPECT_EQ(r.Amount, c.amount);
        EXPECT_EQ(r.Shares, c.shares);
        EXPECT_EQ(r.Desc, QByteArray(c.desc));
    }
    // Shares sold at no price keep a negative zero amount.
    TransactionRecord r = Rec(0, 0, -0.45);
    EXPECT_EQ(CompleteImportRecord(r), ImportCompletion::Sale);
    EXPECT_TRUE(r.Amount == 0 && std::signbit(r.Amount));
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

QStringList SplitFields(const QString& line)
{
    const ImportFields f = SplitImportLine(line);
    QStringList out;
    for (int i = 0; i < f.count; ++i)
        out << f.field[std::size_t(i)];
    return out;
}

TEST(SplitImportLine, QuotesBlanksAndEmptyFieldsUpToFiveFields)
{
    const std::pair<const char*, QStringList> cases[] = {
        // Unquoted fields keep their blanks.
        {"12/31/04, Fund buy ,100", {"12/31/04", " Fund buy ", "100"}},
        // A quoted field holds commas; the comma after the closing quote and
        // the blanks after it are dropped.
        {"\"Buy, IRA\",  13", {"Buy, IRA", "13"}},
        {"\"\", \"12.9300\"", {"", "12.9300"}},
        {"\"0\",463.05,\"Fund buy\",13.87", {"0", "463.05", "Fund buy", "13.87"}},
        {"\"no end", {"no end"}},  // an unclosed quote runs to the end
        // An empty field between commas keeps its slot.
        {"20041231,,-250,12.5", {"20041231", "", "-250", "12.5"}},
        {",x", {"", "x"}},
        {"\"a\",,x", {"a", "", "x"}},
        {"a,\"\",,x", {"a", "", "", "x"}},
        // A trailing comma: the last field is absent, not empty.
        {"12/31/04,Fund buy,100,10,", {"12/31/04", "Fund buy", "100", "10"}},
        {"a,b,c,,", {"a", "b", "c"}},
        {"1334.06,02 5 26,40.2858,\"Contribution\",0,\"x\",9",
         {"1334.06", "02 5 26", "40.2858", "Contribution", "0"}},
        {"\"\"", {}},
        {"", {}},
        {"0, #15/5/10#", {"0", " #15/5/10#"}},
    };
    for (const auto& [line, fields] : cases)
        EXPECT_EQ(SplitFields(QLatin1String(line)), fields) << line;
}

// The fields of the five slots as letters: - unused, D date, T description
// (text), A amount, P price, S shares.
QString FieldLetters(const ImportSchema& schema)
{
    QString letters;
    for (int i = 0; i < ImportSchema::SlotCount; ++i)
        letters += QStringLiteral("-DTAPS").at(int(schema.field(i)));
    return letters;
}

TEST(ImportSchema, SavedFormsAndWhatTheyRead)
{
    // Saved form, slots, date option, read order, saved form written back
    // (nullptr: the same).
    const auto expect = [](const char* saved, const char* fields, ImportDateOption option,
                           DateReadOrder order, const char* savedAgain = nullptr) {
        const ImportSchema schema = ImportSchema::FromSaved(QLatin1String(saved));
        EXPECT_EQ(FieldLetters(schema), QLatin1String(fields)) << saved;
        EXPECT_EQ(schema.DateOption, option) << saved;
        EXPECT_EQ(schema.readOrder(), order) << saved;
        EXPECT_EQ(schema.SchemaString(), QLatin1String(savedAgain ? savedAgain : saved));
    };
    expect("", "-----", ImportDateOption::Universal, DateReadOrder::YMD,
           "*Not_Used* *Not_Used* *Not_Used* *Not_Used* *Not_Used* UDF");
    expect("Date Description Amount Price Shares MDY", "DTAPS", ImportDateOption::MDY,
           DateReadOrder::MDY);
    // Names in any letter case; unknown names are kept but not used.
    expect("shares AMOUNT dAtE Comment *not_used* DMY", "SAD--", ImportDateOption::DMY,
           DateReadOrder::DMY);
    expect("Date a b c d YMD", "D----", ImportDateOption::YMD, DateReadOrder::YMD);
    // Slots without a word are unused.
    expect("Price Date", "PD---", ImportDateOption::Universal, DateReadOrder::YMD,
           "Price Date *Not_Used* *Not_Used* *Not_Used* UDF");
    EXPECT_EQ(ImportSchema::DateOptionCaption(ImportDateOption::Universal),
              QStringLiteral("Universal"));
}

TEST(ImportSchema, WithoutADateCodeTheOptionAndSlotsStay)
{
    ImportSchema schema = ImportSchema::FromSaved(QStringLiteral("Price Date"));
    schema.DateOption = ImportDateOption::DMY;
    for (const char* saved :
         {"Date Description Amount Price Shares", "Date Description Amount Price Shares XYZ",
          "Date Description Amount Price Shares mdy"}) {
        schema.ApplySaved(QString::fromLatin1(saved));
        EXPECT_EQ(schema.DateOption, ImportDateOption::DMY) << saved;
    }
    // Nothing saved: the dialog keeps what it shows.
    schema.ApplySaved(QString());
    EXPECT_EQ(schema.field(0), ImportField::Date);
}

}  // namespace
