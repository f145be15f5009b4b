// The split of an import line into its fields, through the field splitter.

#include "import/ImportRules.h"

#include <gtest/gtest.h>

using namespace brisden;

namespace {

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

}  // namespace
