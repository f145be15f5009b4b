// Runs every brisden-cli case of tests/data/examples in a scratch copy of its
// folder and compares the result with the expected report or investment file.
// Reports are compared the forgiving way the cases describe: the title
// record, a single file's description, trailing blanks in texts and empty
// lines don't count; numbers match within a relative 1e-6; an empty text and
// 0 are equal in a numeric position.

#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <optional>
#include <string>
#include <vector>

namespace {

struct Field {
    enum Kind { Text, Number, Date } kind;
    QString text;
    double number = 0;
};

// Splits one report record into its fields.
QList<Field> ParseRecord(const QByteArray& line)
{
    QList<Field> fields;
    const int n = int(line.size());
    for (int i = 0; i < n;) {
        Field f{Field::Number, {}, 0};
        const char open = line[i];
        if (open == '"' || open == '#') {
            const int close = int(line.indexOf(open, i + 1));
            const int end = close < 0 ? n : close;
            f.kind = open == '"' ? Field::Text : Field::Date;
            f.text = QString::fromLatin1(line.mid(i + 1, end - i - 1));
            i = end + 1;
        } else {
            const int comma = int(line.indexOf(',', i));
            const int end = comma < 0 ? n : comma;
            f.text = QString::fromLatin1(line.mid(i, end - i)).trimmed();
            f.number = f.text.toDouble();
            i = end;
        }
        fields << f;
        if (i < n && line[i] == ',')
            ++i;
    }
    return fields;
}

bool IsTitleRecord(const QList<Field>& fields)
{
    return fields.size() == 1 && fields[0].kind == Field::Text &&
           fields[0].text.contains(QLatin1String("Brisden "));
}

QList<QList<Field>> ParseReport(const QByteArray& bytes, bool singleFile)
{
    QList<QList<Field>> records;
    for (QByteArray line : bytes.split('\n')) {
        if (line.endsWith('\r'))
            line.chop(1);
        if (line.trimmed().isEmpty())
            continue;
        QList<Field> fields = ParseRecord(line);
        if (IsTitleRecord(fields))
            continue;
        for (Field& f : fields)
            if (f.kind == Field::Text)
                while (f.text.endsWith(QLatin1Char(' ')))
                    f.text.chop(1);
        if (singleFile && fields.size() == 2 && fields[0].kind == Field::Text &&
            fields[0].text == QLatin1String("Desc:"))
            fields.removeLast();
        records << fields;
    }
    return records;
}

bool NumbersMatch(double a, double b)
{
    const double diff = std::fabs(a - b);
    if (diff <= 1e-9)
        return true;
    return diff <= 1e-6 * std::max(std::fabs(a), std::fabs(b));
}

// A number, or an empty text (read as 0), as its value.
std::optional<double> NumericValue(const Field& f)
{
    if (f.kind == Field::Number)
        return f.number;
    if (f.kind == Field::Text && f.text.isEmpty())
        return 0.0;
    return std::nullopt;
}

bool FieldsMatch(const Field& expected, const Field& actual)
{
    const auto e = NumericValue(expected), a = NumericValue(actual);
    if (e && a)
        return NumbersMatch(*e, *a);
    return expected.kind == actual.kind && expected.text == actual.text;
}

QString Render(const QList<Field>& fields)
{
    QStringList parts;
    for (const Field& f : fields)
        parts << (f.kind == Field::Text   ? QLatin1Char('"') + f.text + QLatin1Char('"')
                  : f.kind == Field::Date ? QLatin1Char('#') + f.text + QLatin1Char('#')
                                          : f.text);
    return parts.join(QLatin1Char(','));
}

// Splits the command line of cmd.txt at blanks; a word may be quoted with
// single or double quotes, and the other kind of quote inside it is kept.
QStringList SplitCommand(const QString& line)
{
    QStringList words;
    QString word;
    bool inWord = false;
    QChar quote;
    for (const QChar c : line) {
        if (!quote.isNull() && c != quote) {
            word += c;
        } else if (!quote.isNull() || c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            quote = quote.isNull() ? c : QChar();
            inWord = true;
        } else if (!c.isSpace()) {
            word += c;
            inWord = true;
        } else if (inWord) {
            words << word;
            word.clear();
            inWord = false;
        }
    }
    if (inWord)
        words << word;
    return words;
}

void CopyFolder(const QString& from, const QString& to)
{
    QDir source(from);
    for (const QString& name : source.entryList(QDir::Files)) {
        QFile::copy(source.filePath(name), QDir(to).filePath(name));
        QFile(QDir(to).filePath(name))
            .setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    }
}

using brisden::test::ReadAll;

class ExampleCase : public ::testing::TestWithParam<std::string> {};

TEST_P(ExampleCase, MatchesExpectedResult)
{
    const QString caseDir =
        QStringLiteral(BRISDEN_TESTDATA "/examples/") + QString::fromStdString(GetParam());
    QTemporaryDir scratch;
    ASSERT_TRUE(scratch.isValid());
    CopyFolder(caseDir, scratch.path());

    QStringList words =
        SplitCommand(QString::fromUtf8(ReadAll(caseDir + QStringLiteral("/cmd.txt"))));
    ASSERT_FALSE(words.isEmpty());
    ASSERT_EQ(words.takeFirst(), QStringLiteral("brisden-cli"));
    const QString command = words.value(0);

    const brisden::test::CliRun run = brisden::test::RunCli(scratch.path(), words);
    const QString& errors = run.errors;
    ASSERT_TRUE(run.finished) << errors.toStdString();
    EXPECT_EQ(run.exitCode, 0) << errors.toStdString();

    if (command == QLatin1String("import")) {
        const QString target = words.value(1);
        const QByteArray expected = ReadAll(caseDir + QStringLiteral("/expected_") + target);
        const QByteArray actual = ReadAll(scratch.filePath(target));
        ASSERT_FALSE(expected.isEmpty());
        ASSERT_EQ(actual.size(), expected.size()) << "file length differs; stderr:\n"
                                                  << errors.toStdString();
        for (qsizetype offset = 0; offset < expected.size(); offset += 41) {
            EXPECT_EQ(actual.mid(offset, 41).toHex(' ').toStdString(),
                      expected.mid(offset, 41).toHex(' ').toStdString())
                << "record " << offset / 41 + 1;
        }
        return;
    }

    const int outAt = int(words.indexOf(QStringLiteral("--out")));
    ASSERT_GE(outAt, 0);
    const bool singleFile = !words.value(1).endsWith(QLatin1String(".def"), Qt::CaseInsensitive);
    const auto expected =
        ParseReport(ReadAll(caseDir + QStringLiteral("/expected.txt")), singleFile);
    const auto actual = ParseReport(ReadAll(scratch.filePath(words.value(outAt + 1))), singleFile);
    const qsizetype lines = std::min(expected.size(), actual.size());
    for (qsizetype i = 0; i < lines; ++i) {
        bool same = expected[i].size() == actual[i].size();
        for (qsizetype k = 0; same && k < expected[i].size(); ++k)
            same = FieldsMatch(expected[i][k], actual[i][k]);
        EXPECT_TRUE(same) << "record " << i + 1
                          << "\n  expected: " << Render(expected[i]).toStdString()
                          << "\n  actual:   " << Render(actual[i]).toStdString();
        if (!same)
            break;  // one difference is enough to read; the rest usually follows from it
    }
    EXPECT_EQ(actual.size(), expected.size()) << "stderr:\n" << errors.toStdString();
}

std::vector<std::string> AllCases()
{
    QDir dir(QStringLiteral(BRISDEN_TESTDATA "/examples"));
    std::vector<std::string> names;
    for (const QString& name :
         dir.entryList(QStringList{QStringLiteral("case*")}, QDir::Dirs, QDir::Name))
        names.push_back(name.toStdString());
    return names;
}

std::string CaseName(const ::testing::TestParamInfo<std::string>& info)
{
    std::string name = info.param;
    std::replace(name.begin(), name.end(), '-', '_');
    return name;
}

INSTANTIATE_TEST_SUITE_P(Cases, ExampleCase, ::testing::ValuesIn(AllCases()), CaseName);

}  // namespace
