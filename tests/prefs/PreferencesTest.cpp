// The preferences without their window: the controls filled from the
// settings, "OK" storing every key and the tag it hands back,
// the key filters, the printer lists and the grid page's defaults.

#include "prefs/Preferences.h"
#include "shell/IniFile.h"
#include "shell/Settings.h"
#include "support/TestSupport.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace brisden;
using namespace brisden::prefs;
using brisden::test::TextLines;
using brisden::test::WriteAll;

namespace {

const FontChoice GridFontNow{QStringLiteral("DejaVu Sans"), 9, false, false};

class PreferencesTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString ini = dir.filePath(QStringLiteral("Application.ini"));
    Settings s;

    QString value(const char* section, const char* key, const QString& def = QString())
    {
        return ReadINI(QLatin1String(section), QLatin1String(key), def, ini);
    }
    void readFrom(const QByteArray& text)
    {
        WriteAll(ini, text);
        s = Settings();
        s.ReadAll(ini, QStringLiteral("LaserJet"), 1);
    }
};

// A settings file where every value differs from its default.
const QByteArray Unusual =
    "[General]\r\nDefaultPortfolio=/home/me/Funds.def\r\nShowRecordTypesLegend=False\r\n"
    "ShowGridControl=False\r\nGridColWidth=300 900 735 1210 1210 1210 1210 1435 835 835 835 \r\n"
    "GridRowHeight=400\r\nConfirmDelete=False\r\nShowHelp=True\r\nStartTickmoor=True\r\n"
    "AutoSaveInterval=15\r\nAlwaysCopyFile=False\r\nCRFiresTab=True\r\n"
    "[Colors]\r\nGridBackColor=&HE1FFFF\r\nGridForeColor=&H800000\r\n"
    "GridForeColorNegative=&H80\r\nCurrentBackColor=&HFF00\r\nAmbiguousBackColor=&HFFFF\r\n"
    "GridLineColor=&H80000010\r\nGridFixedColor=&HC0C0C0\r\n"
    "[GridMisc]\r\nGridLineWidth=2\r\nRTColPos=0\r\nGridFixedColumns=0\r\nGridFont=Liberation "
    "Mono\r\n"
    "GridFontSize=11.5\r\nGridFontBold=True\r\nGridFontItalic=True\r\n"
    "[Printer]\r\nTextDevice=Epson\r\nPrinterInitString=27,64\r\nPrinterResetString=12\r\n"
    "Font=Liberation Mono\r\nTextFontSize=12\r\nTextBold=True\r\nTextItalic=False\r\n"
    "TextListLines=55\r\nTextListTopMargin=2\r\nTextBasisLines=50\r\nTextBasisTopMargin=4\r\n"
    "ListMargins=500 600 750 800 \r\nTextOrientation=2\r\nGraphicsDevice=LaserJet\r\n";

TEST_F(PreferencesTest, ControlsShowTheSettings)
{
    readFrom(Unusual);
    const PreferencesForm f = FillForm(s, GridFontNow);
    EXPECT_EQ(f.Text1, QStringLiteral("/home/me/Funds.def"));
    const std::array<bool, 9> checks = {false, false, true, false, true, true, true, false, true};
    EXPECT_EQ(f.Check, checks);
    EXPECT_EQ(f.Text3, QStringLiteral("15"));
    const std::array<Settings::Colour, 7> colours = {0xE1FFFF, 0x800000,   0x80,    0xFF00,
                                                     0xFFFF,   0x80000010, 0xC0C0C0};
    EXPECT_EQ(f.cmdColor, colours);
    EXPECT_EQ(f.Text5, QStringLiteral("2"));
    EXPECT_EQ(f.gridFont, GridFontNow);  // what the grid shows, not the file
    EXPECT_EQ(f.Text4[0], QStringLiteral("27,64"));
    EXPECT_EQ(f.Text4[1], QStringLiteral("12"));
    EXPECT_EQ(f.textFont, (FontChoice{QStringLiteral("Liberation Mono"), 12, true, false}));
    EXPECT_EQ(f.orientation, 2);
    EXPECT_EQ(f.Text2, (std::array<QString, 4>{QStringLiteral("55"), QStringLiteral("2"),
                                               QStringLiteral("50"), QStringLiteral("4")}));
    EXPECT_EQ(f.margins, (std::array<int, 4>{500, 600, 750, 800}));
    EXPECT_EQ(f.textDevice, QStringLiteral("Epson"));
    EXPECT_EQ(f.graphicsDevice, QStringLiteral("LaserJet"));

    // The empty file: every box ticked that shows unless "False", and the
    // defaults of the grid and printer pages.
    readFrom("");
    const PreferencesForm d = FillForm(s, GridFontNow);
    EXPECT_EQ(d.Check,
              (std::array<bool, 9>{true, true, false, true, false, false, false, true, false}));
    EXPECT_EQ(d.cmdColor, GridColourDefaults);
    EXPECT_EQ(d.orientation, 1);
    EXPECT_EQ(d.Text4[0], QString());
}

TEST_F(PreferencesTest, OkWritesEveryKeyAndTheFileReadsBackTheSame)
{
    readFrom(Unusual);
    const PreferencesForm before = FillForm(s, GridFontNow);
    QFile::remove(ini);
    EXPECT_EQ(StoreForm(before, s, 400, ini, QString()), QString());  // nothing to re-apply
    EXPECT_EQ(value("General", "GridColWidth"), QStringLiteral("True"));
    EXPECT_EQ(value("Colors", "GridLineColor"), QStringLiteral("&H80000010"));
    EXPECT_EQ(value("GridMisc", "GridFont"), QStringLiteral("DejaVu Sans"));
    EXPECT_EQ(value("GridMisc", "GridFontSize"), QStringLiteral("9"));
    EXPECT_EQ(value("GridMisc", "GridFontBold"), QStringLiteral("False"));
    EXPECT_TRUE(TextLines(ini).contains(QStringLiteral("ListMargins=500 600 750 800 ")));
    EXPECT_EQ(value("Printer", "PrinterInitString"), QStringLiteral("27,64"));
    // The variables hold what was written, the width list kept in memory
    // until the window writes the widths it has.
    EXPECT_EQ(s.PrinterInitString, QByteArray("\x1b\x40"));
    EXPECT_TRUE(s.GridColWidth.startsWith(QStringLiteral("300 ")));

    // The next start reads the same dialog.
    Settings next;
    next.ReadAll(ini, QStringLiteral("LaserJet"), 1);
    EXPECT_EQ(FillForm(next, GridFontNow), before);
}

TEST_F(PreferencesTest, ChangedValuesReachTheVariablesAndTheFile)
{
    readFrom("");
    PreferencesForm f = FillForm(s, GridFontNow);
    f.Text3 = QStringLiteral("10");
    f.Text4 = {QStringLiteral("27,,300"), QString()};
    f.Text2[0] = QStringLiteral("2.5");
    f.textFont = FontChoice{QStringLiteral("Courier New"), 10.5, false, true};
    f.gridFont = FontChoice{QStringLiteral("Serif"), 12, true, false};
    f.Check[CheckConfirm] = false;
    EXPECT_EQ(StoreForm(f, s, 300, ini, QString()), QString());
    EXPECT_EQ(s.AutoSaveInterval, 10);
    EXPECT_FALSE(s.ConfirmDelete);
    EXPECT_EQ(s.PrinterInitString, QByteArray("\x1b\x00\xff", 3));
    EXPECT_EQ(value("Printer", "PrinterInitString"), QStringLiteral("27,0,255"));
    EXPECT_EQ(s.TextListLines, 2);  // a whole number of lines
    EXPECT_EQ(s.TextItalic, QStringLiteral("True"));
    EXPECT_EQ(s.GridFontBold, QStringLiteral("True"));
    EXPECT_EQ(s.GridFontSize, QStringLiteral("12"));
}

// Sizes no longer remembered are forgotten (how remembered ones are taken
// from the grid is checked with the dialog).
TEST_F(PreferencesTest, RememberedSizes)
{
    readFrom("[General]\r\nGridColWidth=True\r\nGridRowHeight=400\r\n");
    PreferencesForm f = FillForm(s, GridFontNow);
    EXPECT_TRUE(f.Check[CheckRememberSizes]);
    f.Check[CheckRememberSizes] = false;
    StoreForm(f, s, 315, ini, QString());
    EXPECT_EQ(s.GridColWidth, QString());
    EXPECT_EQ(s.GridRowHeight, -1);
    EXPECT_EQ(value("General", "GridColWidth", QStringLiteral("x")), QString());
    EXPECT_EQ(value("General", "GridRowHeight"), QStringLiteral("-1"));
}

TEST_F(PreferencesTest, TagTellsWhatTheGridMustDo)
{
    readFrom(
        "[General]\r\nGridColWidth=300 900 735 1210 1210 1210 1210 1435 835 835 836 \r\n"
        "[GridMisc]\r\nRTColPos=1\r\nGridFixedColumns=2\r\n");
    PreferencesForm f = FillForm(s, GridFontNow);
    EXPECT_EQ(StoreForm(f, s, 300, ini, tag::Reapply), tag::Reapply);  // a colour was picked
    f.Text5 = QStringLiteral("3");
    EXPECT_EQ(StoreForm(f, s, 300, ini, QString()), tag::Reapply);
    EXPECT_EQ(StoreForm(f, s, 300, ini, QString()), QString());  // 3 is now the width

    // The record type column to the right: its width goes to the end and it
    // leaves the fixed columns; back to the left, all as it was.
    f.Check[CheckRTRight] = true;
    EXPECT_EQ(StoreForm(f, s, 300, ini, QString()), tag::MoveColumn);
    EXPECT_EQ(s.RTColPos, 0);
    EXPECT_EQ(s.GridFixedColumns, 1);
    EXPECT_EQ(s.GridColWidth, QStringLiteral("900 735 1210 1210 1210 1210 1435 835 835 836 300 "));
    EXPECT_EQ(value("GridMisc", "RTColPos"), QStringLiteral("0"));
    f.Check[CheckRTRight] = false;
    EXPECT_EQ(StoreForm(f, s, 300, ini, tag::Reapply), tag::MoveColumn);
    EXPECT_EQ(s.GridColWidth, QStringLiteral("300 900 735 1210 1210 1210 1210 1435 835 835 836 "));
    EXPECT_EQ(s.GridFixedColumns, 2);
}

TEST_F(PreferencesTest, ResetGivesTheGridPageItsDefaults)
{
    readFrom(Unusual);
    PreferencesForm f = FillForm(s, GridFontNow);
    const PreferencesForm before = f;
    ResetGridPage(f);
    EXPECT_EQ(f.cmdColor, GridColourDefaults);
    EXPECT_EQ(f.Text5, QStringLiteral("1"));
    EXPECT_EQ(f.gridFont, (FontChoice{QStringLiteral("MS Sans Serif"), 10, false, false}));
    // Nothing outside the page.
    f.cmdColor = before.cmdColor;
    f.Text5 = before.Text5;
    f.gridFont = before.gridFont;
    EXPECT_EQ(f, before);
}

TEST(PreferencesFilters, EachBoxTakesItsCharacters)
{
    const QString typed = QStringLiteral("a1.,2-x\r3");
    EXPECT_EQ(FilterText(TextFilter::Decimal, typed), QStringLiteral("1.23"));
    EXPECT_EQ(FilterText(TextFilter::Digits, typed), QStringLiteral("123"));
    EXPECT_EQ(FilterText(TextFilter::ByteList, QStringLiteral("27,64")), QStringLiteral("27,64"));
    for (const TextFilter f : {TextFilter::Decimal, TextFilter::Digits, TextFilter::ByteList}) {
        for (const char16_t key : {u'\b', u'\t', u'\n'})
            EXPECT_TRUE(AcceptKey(f, key));
        EXPECT_FALSE(AcceptKey(f, u' '));
        EXPECT_FALSE(AcceptKey(f, u'-'));
    }
    EXPECT_TRUE(AcceptKey(TextFilter::ByteList, u'\r'));
    EXPECT_FALSE(AcceptKey(TextFilter::Digits, u'\r'));
    EXPECT_FALSE(AcceptKey(TextFilter::Decimal, u','));
    EXPECT_FALSE(AcceptKey(TextFilter::ByteList, u'.'));
}

// The chosen printer is selected in the list of the installed ones (the
// default one marked, a printer gone: the first, are checked with the dialog).
TEST(PreferencesPrinters, DefaultMarkedAndTheChoiceSelected)
{
    const QStringList installed = {QStringLiteral("Epson"), QStringLiteral("LaserJet"),
                                   QStringLiteral("PDF")};
    const auto selected = [&](const QString& choice) {
        return BuildPrinterList(installed, QStringLiteral("LaserJet"), choice).selected;
    };
    EXPECT_EQ(BuildPrinterList(installed, QString(), QString()).names, installed);
    EXPECT_EQ(selected(QStringLiteral("PDF")), 2);
    EXPECT_EQ(selected(QString()), 1);              // no choice: the default printer
    EXPECT_EQ(selected(QStringLiteral("pdf")), 0);  // another letter case is another printer
}

TEST(PreferencesLabels, StylesSizesAndMargins)
{
    EXPECT_EQ(StyleFlags(true, true), QStringLiteral("B,I"));
    EXPECT_EQ(StyleFlags(true, false), QStringLiteral("B,"));
    EXPECT_EQ(StyleFlags(false, true), QStringLiteral("I"));
    EXPECT_EQ(StyleFlags(false, false), QString());
    for (const bool bold : {false, true}) {
        for (const bool italic : {false, true}) {
            EXPECT_EQ(StyleBold(StyleFlags(bold, italic)), bold);
            EXPECT_EQ(StyleItalic(StyleFlags(bold, italic)), italic);
        }
    }
    EXPECT_EQ(FontSizeText(10), QStringLiteral("10"));
    EXPECT_EQ(FontSizeText(10.5), QStringLiteral("10.5"));
    EXPECT_EQ(MarginInches(750), QStringLiteral("0.75"));
}

}  // namespace
