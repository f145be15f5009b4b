// The field and date-part splitters, and the split of a whole import line.

#include "import/ImportRules.h"
#include "import/Parse.h"

#include <gtest/gtest.h>

using namespace brisden;

namespace {

const QString Delims = QStringLiteral("\",");

// Takes every field off a line with NextCsvField until the line is empty.
QStringList AllCsvFields(QString line)
{
    QStringList fields;
    QString field;
    while (!line.isEmpty()) {
        NextCsvField(line, Delims, field);
        fields << field;
    }
    return fields;
}

QStringList SplitFields(const QString& line)
{
    const ImportFields f = SplitImportLine(line);
    QStringList out;
    for (int i = 0; i < f.count; ++i)
        out << f.field[std::size_t(i)];
    return out;
}

}  // namespace

TEST(NextCsvField, UnquotedFieldsKeepTheirBlanks)
{
    QString line = QStringLiteral("12/31/04, Fund buy ,100");
    QString field;
    NextCsvField(line, Delims, field);
    EXPECT_EQ(field, QStringLiteral("12/31/04"));
    EXPECT_EQ(line, QStringLiteral(" Fund buy ,100"));
    EXPECT_EQ(AllCsvFields(line),
              (QStringList{QStringLiteral(" Fund buy "), QStringLiteral("100")}));
}

TEST(NextCsvField, QuotedFieldHoldsCommasAndTheNextCommaGoesWithTheNextCall)
{
    QString line = QStringLiteral("\"Buy, IRA\",  13");
    QString field;
    QChar ended;
    NextCsvField(line, Delims, field, &ended);
    EXPECT_EQ(field, QStringLiteral("Buy, IRA"));
    EXPECT_EQ(ended, QLatin1Char('"'));
    EXPECT_EQ(line, QStringLiteral(",  13"));
    // The comma after the closing quote and the blanks after it are dropped.
    NextCsvField(line, Delims, field, &ended);
    EXPECT_EQ(field, QStringLiteral("13"));
    EXPECT_TRUE(ended.isNull());
    EXPECT_TRUE(line.isEmpty());
}

TEST(NextCsvField, QuotedFieldAfterAClosingQuote)
{
    EXPECT_EQ(AllCsvFields(QStringLiteral("\"\", \"12.9300\"")),
              (QStringList{QString(), QStringLiteral("12.9300")}));
    EXPECT_EQ(AllCsvFields(QStringLiteral("\"0\",463.05,\"Fund buy\",13.87")),
              (QStringList{QStringLiteral("0"), QStringLiteral("463.05"),
                           QStringLiteral("Fund buy"), QStringLiteral("13.87")}));
}

TEST(NextCsvField, EmptyLineAndUnclosedQuote)
{
    QString line;
    QString field = QStringLiteral("old");
    NextCsvField(line, Delims, field);
    EXPECT_TRUE(field.isEmpty());
    line = QStringLiteral("\"no end");
    NextCsvField(line, Delims, field);
    EXPECT_EQ(field, QStringLiteral("no end"));
    EXPECT_TRUE(line.isEmpty());
}

TEST(NextCsvField, PlainSplitterPassesOverAnUnquotedEmptyField)
{
    // The splitter alone treats the second comma like the one after a quote.
    EXPECT_EQ(
        AllCsvFields(QStringLiteral("20041231,,-250,12.5")),
        (QStringList{QStringLiteral("20041231"), QStringLiteral("-250"), QStringLiteral("12.5")}));
}

TEST(NextDatePart, SkipsRunsOfDelimiters)
{
    const QString delims = QStringLiteral("/- /");
    QString text = QStringLiteral("  29 -06//10 ");
    QString part;
    NextDatePart(text, delims, part);
    EXPECT_EQ(part, QStringLiteral("29"));
    EXPECT_EQ(text, QStringLiteral("06//10 "));
    NextDatePart(text, delims, part);
    EXPECT_EQ(part, QStringLiteral("06"));
    NextDatePart(text, delims, part);
    EXPECT_EQ(part, QStringLiteral("10"));
    EXPECT_TRUE(text.isEmpty());
    NextDatePart(text, delims, part);
    EXPECT_TRUE(part.isEmpty());
}

TEST(NextDatePart, NoDelimiterGivesTheWholeText)
{
    QString text = QStringLiteral("20041231");
    QString part;
    NextDatePart(text, QStringLiteral("/- "), part);
    EXPECT_EQ(part, QStringLiteral("20041231"));
    EXPECT_TRUE(text.isEmpty());
}

TEST(SplitImportLine, EmptyFieldBetweenCommasKeepsItsSlot)
{
    EXPECT_EQ(SplitFields(QStringLiteral("20041231,,-250,12.5")),
              (QStringList{QStringLiteral("20041231"), QString(), QStringLiteral("-250"),
                           QStringLiteral("12.5")}));
    EXPECT_EQ(SplitFields(QStringLiteral(",x")), (QStringList{QString(), QStringLiteral("x")}));
    EXPECT_EQ(SplitFields(QStringLiteral("\"a\",,x")),
              (QStringList{QStringLiteral("a"), QString(), QStringLiteral("x")}));
    EXPECT_EQ(SplitFields(QStringLiteral("a,\"\",,x")),
              (QStringList{QStringLiteral("a"), QString(), QString(), QStringLiteral("x")}));
}

TEST(SplitImportLine, StopsAtTheEndAndAfterFiveFields)
{
    // A trailing comma: the last field is absent, not empty.
    EXPECT_EQ(SplitFields(QStringLiteral("12/31/04,Fund buy,100,10,")).size(), 4);
    EXPECT_EQ(SplitFields(QStringLiteral("a,b,c,,")).size(), 3);
    EXPECT_EQ(SplitFields(QStringLiteral("1334.06,02 5 26,40.2858,\"Contribution\",0,\"x\",9")),
              (QStringList{QStringLiteral("1334.06"), QStringLiteral("02 5 26"),
                           QStringLiteral("40.2858"), QStringLiteral("Contribution"),
                           QStringLiteral("0")}));
    EXPECT_EQ(SplitFields(QStringLiteral("\"\"")).size(), 0);
    EXPECT_EQ(SplitFields(QStringLiteral("0, #15/5/10#")),
              (QStringList{QStringLiteral("0"), QStringLiteral(" #15/5/10#")}));
}
