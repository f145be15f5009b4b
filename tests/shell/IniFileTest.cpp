// The settings file reader and writer: names in any letter case, missing
// means empty, whole-line replacement, everything else kept byte for byte.

#include "shell/IniFile.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace brisden;
using brisden::test::ReadAll;
using brisden::test::WriteAll;

namespace {

class IniFileTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("Application.ini"));

    QString read(const char* section, const char* key, const char* def = "")
    {
        return ReadINI(QLatin1String(section), QLatin1String(key), QLatin1String(def), path);
    }
    void write(const char* section, const char* key, const QString& value)
    {
        WriteINI(QLatin1String(section), QLatin1String(key), value, path);
    }
};

TEST_F(IniFileTest, ReadingFindsTheKeyInItsOwnSectionOnly)
{
    EXPECT_EQ(read("General", "SortByDesc", "x"), QStringLiteral("x"));  // no file
    EXPECT_EQ(ReadINI(QStringLiteral("General"), QStringLiteral("A"), QString(), QString()),
              QString());
    WriteAll(path,
             "Top=9\r\n[Printer]\r\nTop=1\r\n;Left=4\r\n[general]\r\n  confirmDELETE =  false  \r\n"
             "Left=2\r\n[ Colors ]\r\nX=&HFF\r\n[General]\r\nTop=3\r\n[S]\nLong=" +
                 QByteArray(5000, 'v') + "\nQ=\"Courier New\"\nHalf=\"x\n");
    const struct {
        const char *section, *key, *value;
    } cases[] = {
        {"GENERAL", "ConfirmDelete", "false"},  // any letter case, blanks around ignored
        {"colors", "x", "&HFF"},
        {"Printer", "Top", "1"},
        {"Printer", "Left", ""},   // in another section
        {"Printer", ";Left", ""},  // a comment line is no key
        {"General", "Left", "2"},
        {"General", "Top", ""},  // only the first [General] counts
        {"Nothing", "A", ""},
        {"S", "Q", "Courier New"},  // matching quotes are dropped
        {"S", "Half", "\"x"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(read(c.section, c.key, ""), QLatin1String(c.value)) << c.section << c.key;
    EXPECT_EQ(read("General", "B", "d"), QStringLiteral("d"));
    EXPECT_EQ(read("S", "Long").size(), 2047);
}

// A write creates the file and its section, replaces only its key's line,
// and puts a new key after the last key of its section with the file's line ends.
TEST_F(IniFileTest, WritingReplacesOnlyTheKeysLineAndKeepsEverythingElse)
{
    write("General", "SortByDesc", QStringLiteral("True"));
    write("Colors", "GridForeColor", QStringLiteral("&H80000008"));
    EXPECT_EQ(ReadAll(path), QByteArray("[General]\r\nSortByDesc=True\r\n"
                                        "[Colors]\r\nGridForeColor=&H80000008\r\n"));
    EXPECT_EQ(read("colors", "gridforecolor"), QStringLiteral("&H80000008"));

    WriteAll(path,
             "; settings\r\n\r\n[General]\r\nLeft = 100 \r\nShowHelp=False\r\n\r\n[GridMisc]\r\n"
             "Left=7\r\n");
    write("general", "LEFT", QStringLiteral("250"));
    EXPECT_EQ(ReadAll(path), QByteArray("; settings\r\n\r\n[General]\r\nLEFT=250\r\n"
                                        "ShowHelp=False\r\n\r\n[GridMisc]\r\nLeft=7\r\n"));

    WriteAll(path, "[General]\nA=1\nB=2\n\n[Printer]\nFont=Arial");
    write("General", "C", QStringLiteral("3"));
    write("Printer", "TextBold", QStringLiteral("True"));
    write("New", "K", QStringLiteral("v"));
    EXPECT_EQ(ReadAll(path), QByteArray("[General]\nA=1\nB=2\nC=3\n\n[Printer]\nFont=Arial\n"
                                        "TextBold=True\n[New]\nK=v\n"));
}

TEST_F(IniFileTest, ALastLineEndedByACarriageReturnAloneIsEndedBeforeANewLine)
{
    // Found by fuzzing: the new key was joined to the last line, whose value
    // then read "1\rB=2".
    WriteAll(path, "[General]\r\nA=1\r");
    write("General", "B", QStringLiteral("2"));
    EXPECT_EQ(read("General", "A"), QStringLiteral("1"));
    EXPECT_EQ(read("General", "B"), QStringLiteral("2"));
    EXPECT_EQ(ReadAll(path), QByteArray("[General]\r\nA=1\r\nB=2\r\n"));
    WriteAll(path, "[General]\nA=1\r");
    write("Colors", "C", QStringLiteral("3"));
    EXPECT_EQ(read("General", "A"), QStringLiteral("1"));
    EXPECT_EQ(read("Colors", "C"), QStringLiteral("3"));
}

TEST_F(IniFileTest, AValueIsOneLineAndLatin1RoundTrips)
{
    write("General", "ImportSchema", QStringLiteral("Date Amount\r\nInjected=1"));
    EXPECT_EQ(read("General", "ImportSchema"), QStringLiteral("Date Amount"));
    EXPECT_EQ(read("General", "Injected"), QString());
    write("General", "DefaultPortfolio", QStringLiteral("C:\\Donn\u00e9es\\Port.def"));
    EXPECT_EQ(read("General", "DefaultPortfolio"), QStringLiteral("C:\\Donn\u00e9es\\Port.def"));
    EXPECT_TRUE(
        ReadAll(path).contains("Donn\xe9"
                               "es"));
}

TEST_F(IniFileTest, FailedWritesAreSilentAndLeaveNothingBehind)
{
    const QString missing = dir.filePath(QStringLiteral("no/such/folder/Application.ini"));
    WriteINI(QStringLiteral("General"), QStringLiteral("A"), QStringLiteral("1"), missing);
    EXPECT_FALSE(QFileInfo::exists(missing));
    // A folder in place of the file: nothing is written and the folder stays.
    const QString folder = dir.filePath(QStringLiteral("folder.ini"));
    QDir().mkdir(folder);
    WriteINI(QStringLiteral("General"), QStringLiteral("A"), QStringLiteral("1"), folder);
    EXPECT_TRUE(QFileInfo(folder).isDir());
    EXPECT_EQ(ReadINI(QStringLiteral("General"), QStringLiteral("A"), QString(), folder),
              QString());
    // Writes go through a temporary file that never outlives the write.
    write("General", "A", QStringLiteral("1"));
    write("General", "A", QStringLiteral("2"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("Application.ini")});
}

TEST_F(IniFileTest, BinaryJunkAndHugeLinesAreHandledWithoutHarm)
{
    QByteArray junk;
    for (int i = 0; i < 4096; ++i)
        junk.append(char((i * 131 + 7) & 0xFF));
    junk += QByteArray(300000, 'x');  // one very long line
    junk += "\n[General]\nA=1";
    WriteAll(path, junk);
    EXPECT_EQ(read("General", "A"), QStringLiteral("1"));
    write("General", "A", QStringLiteral("2"));
    const QByteArray after = ReadAll(path);
    EXPECT_TRUE(after.startsWith(junk.left(junk.size() - 1)));
    EXPECT_TRUE(after.endsWith("A=2"));
    EXPECT_EQ(read("General", "A"), QStringLiteral("2"));
}

}  // namespace
