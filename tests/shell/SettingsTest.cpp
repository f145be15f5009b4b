// The settings, the session journal, and where the sample portfolio of a
// first start goes: beside the program in a build, in the program's data
// folder when installed, and in the user's data folder when the installed one
// cannot be written (checked as an ordinary user in a child process that gives
// up root, or as the user running the tests when that is not root).
//
// The settings file reader and writer: names in any letter case, missing
// means empty, whole-line replacement, everything else kept byte for byte.
// Then the settings read with their encodings and the defaults that depend on
// other values, and the keys written when the main window closes. Then the
// session journal: emptied at start, one stamped line per message, closed
// after every line, silent when it cannot be written (what goes to the
// notices window is checked with the import engine's progress).

#include "data/FileTable.h"
#include "shell/IniFile.h"
#include "shell/SessionLog.h"
#include "shell/Settings.h"
#include "shell/StartRules.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

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

class SettingsTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("Application.ini"));
    Settings s;

    void readFrom(const QByteArray& ini)
    {
        WriteAll(path, ini);
        s.ReadAll(path, QStringLiteral("LaserJet"), 2);
    }
};

TEST_F(SettingsTest, ColoursAreHexadecimal32BitValues)
{
    readFrom(
        "[Colors]\r\nCurrentBackColor=&HFF\r\nGridForeColor=&h8000000f\r\n"
        "GridBackColor=&H80000008\r\nAmbiguousBackColor=\r\nGridLineColor=255\r\n");
    // The top bit survives; an empty value keeps the default.
    EXPECT_EQ((std::vector<Settings::Colour>{s.CurrentBackColor, s.GridForeColor, s.GridBackColor,
                                             s.AmbiguousBackColor, s.GridLineColor}),
              (std::vector<Settings::Colour>{0xFF, 0x8000000F, 0x80000008, 0x00B4FFFF, 255}));

    for (const Settings::Colour c : {0x0080FF80u, 0x80000008u, 0u, 0xFFFFFFFFu, 0x00B4FFFFu})
        EXPECT_EQ(Settings::ParseColour(Settings::FormatColour(c), 1), c);
    EXPECT_EQ(Settings::FormatColour(0x0080FF80), QStringLiteral("&H80FF80"));
    EXPECT_EQ(Settings::FormatColour(0), QStringLiteral("&H0"));
    EXPECT_EQ(Settings::ParseColour(QStringLiteral("&H123456789"), 7u), 7u);  // beyond 32 bits
    EXPECT_EQ(Settings::ParseColour(QStringLiteral("&HFFzz"), 7u), 0xFFu);
    EXPECT_EQ(Settings::ParseColour(QStringLiteral("-1"), 7u), 0xFFFFFFFFu);
    EXPECT_EQ(Settings::ParseColour(QStringLiteral("red"), 7u), 0u);
}

TEST_F(SettingsTest, NegativeNumbersAreRedUnlessShowRed4NegativeIsFalse)
{
    readFrom("[General]\r\nShowRed4Negative=FALSE\r\n");
    EXPECT_EQ(s.GridForeColorNegative, 0u);
    readFrom("[General]\r\nShowRed4Negative=no\r\n");
    EXPECT_EQ(s.GridForeColorNegative, 0xFFu);
    readFrom("[General]\r\nShowRed4Negative=False\r\n[Colors]\r\nGridForeColorNegative=&HFF00\r\n");
    EXPECT_EQ(s.GridForeColorNegative, 0xFF00u);
}

TEST_F(SettingsTest, RecordTypeColumnPositionAndFixedColumns)
{
    const struct {
        const char* ini;
        int position, fixedColumns;
    } cases[] = {
        {"[GridMisc]\r\nRTColPos=lEFT\r\n", 1, 1},
        {"[GridMisc]\r\nRTColPos=rIGHT\r\n", 0, 0},
        {"[General]\r\nGridColWidth=True\r\n", 0, 0},
        {"[General]\r\nGridColWidth=True\r\n[GridMisc]\r\nRTColPos=1\r\nGridFixedColumns=3\r\n", 1,
         3},
    };
    for (const auto& c : cases) {
        readFrom(c.ini);
        EXPECT_EQ(s.RTColPos, c.position) << c.ini;
        EXPECT_EQ(s.GridFixedColumns, c.fixedColumns) << c.ini;
    }
}

TEST_F(SettingsTest, PrinterLinesMarginsAndFontSize)
{
    // Without a file the printers are the system's default printer and the
    // page lengths follow the top margin.
    s.ReadAll(dir.filePath(QStringLiteral("none.ini")), QStringLiteral("LaserJet"), 2);
    EXPECT_EQ(s.TextDevice, QStringLiteral("LaserJet"));
    EXPECT_EQ(s.GraphicsDevice, QStringLiteral("LaserJet"));
    EXPECT_EQ(s.TextLinesPerPage, 38);
    EXPECT_EQ(s.TextBasisTopMargin, 3);
    EXPECT_EQ(s.TextOrientation, 2);

    readFrom(
        "[Printer]\r\nTextTopMargin=5\r\nTextFontSize=0\r\nPrinterInitString=27,64\r\n"
        "PrinterResetString=300,-1, 7x,\r\nListMargins=1 2.5  4\r\nTextOrientation=0\r\n");
    EXPECT_EQ(s.TextLinesPerPage, 36);
    EXPECT_EQ(s.TextBasisTopMargin, 5);
    EXPECT_EQ(s.TextListTopMargin, 3);
    EXPECT_EQ(s.TextFontSize, 10);
    EXPECT_EQ(s.PrinterInitString, QByteArray("\x1b\x40"));
    EXPECT_EQ(s.PrinterResetString, QByteArray("\xff\x00\x07\x00", 4));
    // "1 2.5  4": the double blank holds an empty piece, which is 0.
    EXPECT_EQ(s.ListMargins, (std::vector<double>{1, 2.5, 0, 4}));
    EXPECT_EQ(s.TextOrientation, 2);

    readFrom(
        "[Printer]\r\nTextTopMargin=5\r\nTextLinesPerPage=0\r\nTextBasisTopMargin=2\r\n"
        "TextDevice=Epson\r\nTextOrientation=1\r\n");
    EXPECT_EQ(s.TextLinesPerPage, 36);
    EXPECT_EQ(s.TextBasisTopMargin, 2);
    EXPECT_EQ(s.TextDevice, QStringLiteral("Epson"));
    EXPECT_EQ(s.GraphicsDevice, QStringLiteral("LaserJet"));
    EXPECT_EQ(s.TextOrientation, 1);
    // An empty margin list leaves the margins as they were.
    s.ListMargins = {5, 6, 7, 8};
    readFrom("[Printer]\r\nTextLinesPerPage=60\r\nFont=Arial\r\n");
    EXPECT_EQ(s.TextLinesPerPage, 60);
    EXPECT_EQ(s.ListMargins, (std::vector<double>{5, 6, 7, 8}));
    EXPECT_EQ(s.Font, QStringLiteral("Arial"));
}

TEST_F(SettingsTest, IntegersTakeTheLeadingNumber)
{
    readFrom("[General]\r\nAutoSaveInterval=abc\r\nGridRowHeight=240twips\r\n");
    EXPECT_EQ(s.AutoSaveInterval, 0);
    EXPECT_EQ(s.GridRowHeight, 240);
    const std::pair<const char*, int> cases[] = {
        {"-5abc", -5}, {"12.5", 12},  // halves go to even
        {"13.5", 14},  {"99999", 32767}, {"-99999", -32768}, {"", 0},
    };
    for (const auto& [text, value] : cases)
        EXPECT_EQ(Settings::ParseInteger(QLatin1String(text)), value) << text;
}

TEST_F(SettingsTest, BooleansInAnyCaseAndShowFlagsHideOnlyForFalse)
{
    // {text, default, value}
    for (const auto& [text, fallback, value] : {std::tuple{"tRUE", false, true},
                                                {"FALSE", true, false},
                                                {"", true, true},
                                                {"", false, false},
                                                {"-1", false, true},
                                                {"0", true, false},
                                                {"maybe", true, true}})
        EXPECT_EQ(Settings::ParseBoolean(QLatin1String(text), fallback), value) << text;
    readFrom(
        "[General]\r\nSortByDesc=False\r\nStartTickmoor=TRUE\r\nAlwaysCopyFile=false\r\n"
        "CRFiresTab=true\r\nConfirmDelete=false\r\nShowGridControl=no\r\n"
        "ShowRecordTypesLegend=false\r\n");
    EXPECT_EQ((std::vector<bool>{s.SortByDesc, s.StartTickmoor, s.AlwaysCopyFile, s.CRFiresTab,
                                 s.ConfirmDelete, s.ShowGridControl, s.ShowRecordTypesLegend}),
              (std::vector<bool>{false, true, false, true, false, true, false}));
}

// The keys written when the window closes, in order; the widths only when
// remembered, the position only when not minimized.
TEST_F(SettingsTest, ExitWritesItsKeysInOrder)
{
    s.SortByDesc = false;
    s.GridColWidth = QStringLiteral("300 1200 ");
    s.GridRowHeight = 255;
    s.WindowSize = QStringLiteral("2");
    s.Left = QStringLiteral("120");
    s.Top = QStringLiteral("-15");
    s.WriteAtExit(path, false);
    EXPECT_EQ(ReadAll(path),
              QByteArray("[General]\r\nSortByDesc=False\r\nGridColWidth=300 1200 \r\n"
                         "GridRowHeight=255\r\nWindowSize=2\r\nLeft=120\r\n"
                         "Top=-15\r\n"));

    WriteAll(path, "[General]\r\nLeft=1\r\n");
    s.SortByDesc = true;
    s.GridColWidth.clear();
    s.GridRowHeight = 300;
    s.WriteAtExit(path, true);
    EXPECT_EQ(ReadAll(path), QByteArray("[General]\r\nLeft=1\r\nSortByDesc=True\r\n"));

    s.GridColWidth = QStringLiteral("True");
    s.GridRowHeight = -1;
    s.WriteAtExit(path, true);
    EXPECT_EQ(ReadAll(path), QByteArray("[General]\r\nLeft=1\r\nSortByDesc=True\r\n"
                                        "GridColWidth=True\r\n"));
    Settings again;
    again.ReadAll(path);
    EXPECT_EQ(again.GridColWidth, QStringLiteral("True"));
    EXPECT_EQ(again.RTColPos, 0);
}

class SessionLogTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("Application.log"));
    FileTable files;
    QDateTime now{QDate(2003, 12, 31), QTime(23, 59, 58)};
    SessionLog log{files, path};

    void SetUp() override
    {
        log.setClock([this] { return now; });
    }
};

// Start empties the log and stamps the session; then one stamped line per
// message, the file closed after each.
TEST_F(SessionLogTest, EveryMessageIsOneStampedLineInCallOrder)
{
    WriteAll(path, "old run\r\n");
    now = QDateTime(QDate(2004, 1, 2), QTime(7, 5, 9));
    log.Start();
    EXPECT_FALSE(files.isOpen(LogSlot));
    log.LogSession(QStringLiteral("Opened portfolio C:\\P.def"));
    log.LogSession(QStringLiteral("Ends with a period."));
    log.LogSession(QStringLiteral("Opened file C:\\Donn\u00e9es\\f.dat"));  // written as ANSI
    EXPECT_EQ(ReadAll(path), QByteArray("Session started 01-02-2004, 07:05:09\r\n"
                                        "07:05:09: Opened portfolio C:\\P.def.\r\n"
                                        "07:05:09: Ends with a period..\r\n"
                                        "07:05:09: Opened file C:\\Donn\xe9"
                                        "es\\f.dat.\r\n"));
    EXPECT_FALSE(files.isOpen(LogSlot));
}

TEST_F(SessionLogTest, NoPathOrAnUnwritableLogWritesNothingAndDoesNotFail)
{
    std::vector<QString> echoed;
    SessionLog console(files, QString());
    console.setEcho([&](const QString& line) { echoed.push_back(line); });
    console.Start();
    console.LogSession(QStringLiteral("to stderr only"));
    EXPECT_EQ(echoed.size(), 2u);
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files).isEmpty());

    const QString unwritable = dir.filePath(QStringLiteral("missing/Application.log"));
    SessionLog lost(files, unwritable);
    lost.Start();
    lost.LogSession(QStringLiteral("lost"));
    EXPECT_FALSE(QFileInfo::exists(unwritable));
    EXPECT_LE(files.fileNumber(LogSlot), 0);
}

// 0 when the sample went to the user's folder with copies of the ledgers.
int UserFolderIsUsed(const QString& shipped, const QString& user)
{
    QString note;
    const QString folder = PrepareExampleFolder(shipped, user, &note);
    if (folder != user + QStringLiteral("/Example"))
        return 1;
    if (!QFileInfo(folder + QStringLiteral("/Fund.dat")).isFile() ||
        brisden::test::ReadAll(folder + QStringLiteral("/Fund.dat")) != "ledger")
        return 2;
    if (!QFileInfo(folder + QStringLiteral("/Fund.dat")).isWritable())
        return 3;
    if (!note.contains(folder) || !note.contains(shipped))
        return 4;
    return 0;
}

}  // namespace

TEST(ExampleFolderTest, BesideTheProgramOrInItsDataFolder)
{
    QTemporaryDir dir;
    const QString bin = dir.filePath(QStringLiteral("usr/bin"));
    const QString installed = dir.filePath(QStringLiteral("usr/share/brisden/Example"));
    ASSERT_TRUE(QDir().mkpath(bin));
    EXPECT_TRUE(ShippedExampleFolder(bin).isEmpty());
    ASSERT_TRUE(QDir().mkpath(installed));
    EXPECT_EQ(ShippedExampleFolder(bin), installed);
    ASSERT_TRUE(QDir().mkpath(bin + QStringLiteral("/Example")));
    EXPECT_EQ(ShippedExampleFolder(bin), bin + QStringLiteral("/Example"));
    // A folder that can be written is used as it is.
    QString note;
    EXPECT_EQ(PrepareExampleFolder(installed, dir.filePath(QStringLiteral("home")), &note),
              installed);
    EXPECT_TRUE(note.isEmpty());
}

TEST(ExampleFolderTest, AnInstalledFolderTheUserCannotWriteGivesWayToTheUsersOwn)
{
    QTemporaryDir dir;
    const QString shipped = dir.filePath(QStringLiteral("share/brisden/Example"));
    const QString user = dir.filePath(QStringLiteral("home/.local/share/Brisden"));
    ASSERT_TRUE(QDir().mkpath(shipped));
    ASSERT_TRUE(QDir().mkpath(dir.filePath(QStringLiteral("home"))));
    brisden::test::WriteAll(shipped + QStringLiteral("/Fund.dat"), "ledger");
    ASSERT_EQ(::chmod(QFile::encodeName(shipped + QStringLiteral("/Fund.dat")).constData(), 0444),
              0);
    ASSERT_EQ(::chmod(QFile::encodeName(shipped).constData(), 0555), 0);
    if (::geteuid() == 0) {
        // Everything is root's; the user's home is nobody's to write.
        for (const char* folder : {"", "share", "share/brisden"})
            ::chmod(QFile::encodeName(dir.filePath(QLatin1String(folder))).constData(), 0755);
        ASSERT_EQ(::chown(QFile::encodeName(dir.filePath(QStringLiteral("home"))).constData(),
                          65534, 65534),
                  0);
    }
    const std::optional<int> result =
        brisden::test::AsOrdinaryUser([&] { return UserFolderIsUsed(shipped, user); });
    ::chmod(QFile::encodeName(shipped).constData(), 0755);
    if (!result)
        GTEST_SKIP() << "this machine does not let the test become an ordinary user";
    EXPECT_EQ(*result, 0) << "failed at step " << *result;
}
