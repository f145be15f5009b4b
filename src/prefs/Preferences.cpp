#include "prefs/Preferences.h"

#include "data/NumberText.h"
#include "grid/GridLayout.h"
#include "shell/IniFile.h"
#include "ui/Help.h"

#include <algorithm>
#include <cmath>

namespace brisden::prefs {

namespace {

const QString General = QStringLiteral("General");
const QString Colors = QStringLiteral("Colors");
const QString GridMisc = QStringLiteral("GridMisc");
const QString Printer = QStringLiteral("Printer");

QString BoolText(bool value)
{
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

// A number box as its 16-bit setting: the leading number of the text.
std::int16_t BoxNumber(const QString& text)
{
    return Settings::ParseInteger(text);
}

QString NumberText(int n)
{
    return QString::number(n);
}

}  // namespace

QString PageCaption(int page)
{
    switch (page) {
        case PageGeneral:
            return QStringLiteral("&General");
        case PageDataGrid:
            return QStringLiteral("&Data grid");
        case PageTextPrinter:
            return QStringLiteral("&Text Printer");
        case PageReportLayouts:
            return QStringLiteral("&Report layouts");
        case PageGraphicsPrinter:
            return QStringLiteral("Graphics &Printer");
        default:
            return QString();
    }
}

QStringList TabOrder(int page)
{
    QStringList order;
    switch (page) {
        case PageGeneral:
            order << QStringLiteral("Text1") << QStringLiteral("Browse");
            for (int i = 1; i <= 9; ++i)
                order << QStringLiteral("Check%1").arg(i);
            order << QStringLiteral("Text3");
            break;
        case PageDataGrid:
            for (int i = 0; i < GridColourCount; ++i)
                order << QStringLiteral("cmdColor_%1").arg(i);
            order << QStringLiteral("Text5") << QStringLiteral("Command4")
                  << QStringLiteral("Command5");
            break;
        case PageTextPrinter:
            order << QStringLiteral("List1") << QStringLiteral("Command1")
                  << QStringLiteral("Command2") << QStringLiteral("chkMono")
                  << QStringLiteral("Text4_0") << QStringLiteral("Text4_1");
            break;
        case PageReportLayouts:
            order << QStringLiteral("optOrientation_0") << QStringLiteral("optOrientation_1");
            for (int i = 0; i < 4; ++i)
                order << QStringLiteral("Text2_%1").arg(i);
            order << QStringLiteral("cmdPageSetup");
            break;
        case PageGraphicsPrinter:
            order << QStringLiteral("List3") << QStringLiteral("Command3");
            break;
        default:
            return order;
    }
    order << QStringLiteral("Commands_0") << QStringLiteral("Commands_1")
          << QStringLiteral("cmdHelp");
    return order;
}

int HelpTopicOfPage(int page)
{
    switch (page) {
        case PageGeneral:
            return ui::HelpPreferencesGeneral;
        case PageDataGrid:
            return ui::HelpPreferencesDataGrid;
        case PageTextPrinter:
            return ui::HelpPreferencesTextPrinter;
        case PageReportLayouts:
            return ui::HelpPreferencesReportLayouts;
        case PageGraphicsPrinter:
            return ui::HelpPreferencesGraphicsPrinter;
        default:
            return ui::HelpPreferences;
    }
}

QString StyleFlags(bool bold, bool italic)
{
    QString flags;
    if (bold)
        flags += QStringLiteral("B,");
    if (italic)
        flags += QStringLiteral("I");
    return flags;
}

bool StyleBold(const QString& flags)
{
    return flags.contains(QLatin1Char('B'));
}

bool StyleItalic(const QString& flags)
{
    return flags.contains(QLatin1Char('I'));
}

QString FontSizeText(double size)
{
    // Sizes come in whole and half points; more digits would be noise.
    return QString::number(std::round(size * 100) / 100, 'g', 6);
}

FontChoice DefaultGridFont()
{
    return FontChoice{QStringLiteral("MS Sans Serif"), 10, false, false};
}

PreferencesForm FillForm(const Settings& s, const FontChoice& currentGridFont)
{
    PreferencesForm f;
    f.Text1 = s.DefaultPortfolio;
    f.Check[CheckLegend] = s.ShowRecordTypesLegend;
    f.Check[CheckGridControl] = s.ShowGridControl;
    f.Check[CheckRememberSizes] = !s.GridColWidth.isEmpty();
    f.Check[CheckConfirm] = s.ConfirmDelete;
    f.Check[CheckShowHelp] = s.ShowHelp == QLatin1String("True");
    f.Check[CheckRTRight] = !grid::RecordTypeFirst(s.RTColPos);
    f.Check[CheckTickmoor] = s.StartTickmoor;
    f.Check[CheckBackupOnOpen] = s.AlwaysCopyFile;
    f.Check[CheckEnterAdvances] = s.CRFiresTab;
    f.Text3 = NumberText(s.AutoSaveInterval);

    f.cmdColor = {s.GridBackColor,      s.GridForeColor, s.GridForeColorNegative,
                  s.CurrentBackColor,   s.AmbiguousBackColor,
                  s.GridLineColor,      s.GridFixedColor};
    f.Text5 = NumberText(s.GridLineWidth);
    f.gridFont = currentGridFont;

    f.textDevice = s.TextDevice;
    f.Text4 = {FormatByteList(s.PrinterInitString), FormatByteList(s.PrinterResetString)};
    f.textFont = FontChoice{s.Font, double(s.TextFontSize), Settings::ParseBoolean(s.TextBold, false),
                            Settings::ParseBoolean(s.TextItalic, false)};

    f.orientation = s.TextOrientation == 1 ? 1 : 2;
    f.Text2 = {NumberText(s.TextListLines), NumberText(s.TextListTopMargin),
               NumberText(s.TextBasisLines), NumberText(s.TextBasisTopMargin)};
    for (size_t i = 0; i < 4; ++i) {
        const double m = i < s.ListMargins.size() ? s.ListMargins[i] : 0;
        f.margins[i] = std::isfinite(m) ? int(std::clamp(std::round(m), -1e9, 1e9)) : 0;
    }
    f.graphicsDevice = s.GraphicsDevice;
    return f;
}

void ResetGridPage(PreferencesForm& form)
{
    form.cmdColor = GridColourDefaults;
    form.Text5 = NumberText(DefaultGridLineWidth);
    form.gridFont = DefaultGridFont();
}

QString StoreForm(const PreferencesForm& f, Settings& s, int firstRowHeightTwips,
                  const QString& iniPath, const QString& tagIn)
{
    QString tag = tagIn;
    auto write = [&iniPath](const QString& section, const char* key, const QString& value) {
        WriteINI(section, QLatin1String(key), value, iniPath);
    };
    auto writeBool = [&write](const QString& section, const char* key, bool& variable,
                              bool value) {
        variable = value;
        write(section, key, BoolText(value));
    };

    // [General]
    s.DefaultPortfolio = f.Text1;
    write(General, "DefaultPortfolio", s.DefaultPortfolio);
    writeBool(General, "ShowRecordTypesLegend", s.ShowRecordTypesLegend, f.Check[CheckLegend]);
    writeBool(General, "ShowGridControl", s.ShowGridControl, f.Check[CheckGridControl]);
    if (f.Check[CheckRememberSizes]) {
        // The file says the sizes are to be remembered; a width list already
        // in memory stays there (the window writes the widths it has when it
        // closes).
        if (s.GridColWidth.isEmpty())
            s.GridColWidth = QStringLiteral("True");
        write(General, "GridColWidth", QStringLiteral("True"));
        s.GridRowHeight = std::int16_t(std::clamp(firstRowHeightTwips, -1, 32767));
    } else {
        s.GridColWidth.clear();
        write(General, "GridColWidth", QString());
        s.GridRowHeight = -1;
    }
    write(General, "GridRowHeight", NumberText(s.GridRowHeight));
    writeBool(General, "ConfirmDelete", s.ConfirmDelete, f.Check[CheckConfirm]);
    s.ShowHelp = BoolText(f.Check[CheckShowHelp]);
    write(General, "ShowHelp", s.ShowHelp);
    writeBool(General, "StartTickmoor", s.StartTickmoor, f.Check[CheckTickmoor]);
    s.AutoSaveInterval = BoxNumber(f.Text3);
    write(General, "AutoSaveInterval", NumberText(s.AutoSaveInterval));
    writeBool(General, "AlwaysCopyFile", s.AlwaysCopyFile, f.Check[CheckBackupOnOpen]);
    writeBool(General, "CRFiresTab", s.CRFiresTab, f.Check[CheckEnterAdvances]);

    // [Colors]
    Settings::Colour* const colours[GridColourCount] = {
        &s.GridBackColor,    &s.GridForeColor,      &s.GridForeColorNegative,
        &s.CurrentBackColor, &s.AmbiguousBackColor, &s.GridLineColor,
        &s.GridFixedColor};
    const char* const colourKeys[GridColourCount] = {
        "GridBackColor",    "GridForeColor",      "GridForeColorNegative", "CurrentBackColor",
        "AmbiguousBackColor", "GridLineColor", "GridFixedColor"};
    for (size_t i = 0; i < size_t(GridColourCount); ++i) {
        *colours[i] = f.cmdColor[i];
        write(Colors, colourKeys[i], Settings::FormatColour(f.cmdColor[i]));
    }

    // [GridMisc]
    const std::int16_t lineWidth = BoxNumber(f.Text5);
    if (lineWidth != s.GridLineWidth)
        tag = tag::Reapply;
    s.GridLineWidth = lineWidth;
    write(GridMisc, "GridLineWidth", NumberText(s.GridLineWidth));
    const bool wasFirst = grid::RecordTypeFirst(s.RTColPos);
    const bool first = !f.Check[CheckRTRight];
    if (first != wasFirst) {
        // The remembered widths move with their columns; the fixed columns
        // gain or lose the record type column.
        if (!s.GridColWidth.isEmpty())
            s.GridColWidth = grid::RotateWidthList(s.GridColWidth, first);
        s.GridFixedColumns = std::int16_t(
            std::clamp(s.GridFixedColumns + (first ? 1 : -1), 0, grid::ColumnCount));
        tag = tag::MoveColumn;
    }
    s.RTColPos = first ? 1 : 0;
    write(GridMisc, "RTColPos", NumberText(s.RTColPos));
    write(GridMisc, "GridFixedColumns", NumberText(s.GridFixedColumns));
    s.GridFont = f.gridFont.name;
    s.GridFontSize = FontSizeText(f.gridFont.size);
    s.GridFontBold = BoolText(f.gridFont.bold);
    s.GridFontItalic = BoolText(f.gridFont.italic);
    write(GridMisc, "GridFont", s.GridFont);
    write(GridMisc, "GridFontSize", s.GridFontSize);
    write(GridMisc, "GridFontBold", s.GridFontBold);
    write(GridMisc, "GridFontItalic", s.GridFontItalic);

    // [Printer]
    s.TextDevice = f.textDevice;
    write(Printer, "TextDevice", s.TextDevice);
    s.PrinterInitString = Settings::ParseByteList(f.Text4[0]);
    write(Printer, "PrinterInitString", FormatByteList(s.PrinterInitString));
    s.PrinterResetString = Settings::ParseByteList(f.Text4[1]);
    write(Printer, "PrinterResetString", FormatByteList(s.PrinterResetString));
    s.Font = f.textFont.name;
    write(Printer, "Font", s.Font);
    s.TextFontSize = BoxNumber(FontSizeText(f.textFont.size));
    if (s.TextFontSize == 0)
        s.TextFontSize = 10;
    write(Printer, "TextFontSize", NumberText(s.TextFontSize));
    s.TextBold = BoolText(f.textFont.bold);
    write(Printer, "TextBold", s.TextBold);
    s.TextItalic = BoolText(f.textFont.italic);
    write(Printer, "TextItalic", s.TextItalic);
    std::int16_t* const layout[4] = {&s.TextListLines, &s.TextListTopMargin, &s.TextBasisLines,
                                     &s.TextBasisTopMargin};
    const char* const layoutKeys[4] = {"TextListLines", "TextListTopMargin", "TextBasisLines",
                                       "TextBasisTopMargin"};
    for (size_t i = 0; i < 4; ++i) {
        *layout[i] = BoxNumber(f.Text2[i]);
        write(Printer, layoutKeys[i], NumberText(*layout[i]));
    }
    s.ListMargins.assign(f.margins.begin(), f.margins.end());
    write(Printer, "ListMargins", FormatMargins(f.margins));
    s.TextOrientation = f.orientation == 1 ? 1 : 2;
    write(Printer, "TextOrientation", NumberText(s.TextOrientation));
    s.GraphicsDevice = f.graphicsDevice;
    write(Printer, "GraphicsDevice", s.GraphicsDevice);
    return tag;
}

bool AcceptKey(TextFilter filter, char16_t key)
{
    if (key == u'\b' || key == u'\t' || key == u'\n')
        return true;
    if (key >= u'0' && key <= u'9')
        return true;
    switch (filter) {
        case TextFilter::Decimal:
            return key == u'.';
        case TextFilter::Digits:
            return false;
        case TextFilter::ByteList:
            return key == u',' || key == u'\r';
    }
    return false;
}

QString FilterText(TextFilter filter, const QString& text)
{
    QString kept;
    kept.reserve(text.size());
    for (const QChar c : text) {
        // Line breaks pass the key filter but have no place in a one-line box.
        if (c.unicode() >= u' ' && AcceptKey(filter, c.unicode()))
            kept += c;
    }
    return kept;
}

PrinterList BuildPrinterList(const QStringList& installed, const QString& defaultPrinter,
                             const QString& currentChoice)
{
    PrinterList list;
    const QString choice = currentChoice.isEmpty() ? defaultPrinter : currentChoice;
    for (const QString& name : installed) {
        const bool isDefault = !defaultPrinter.isEmpty() && name == defaultPrinter;
        list.entries << (isDefault ? name + QStringLiteral(" (Default)") : name);
        list.names << name;
        if (list.selected < 0 && name == choice)
            list.selected = int(list.names.size()) - 1;
    }
    if (list.selected < 0 && !list.names.isEmpty())
        list.selected = 0;
    return list;
}

QString FormatByteList(const QByteArray& bytes)
{
    QStringList pieces;
    for (const char b : bytes)
        pieces << QString::number(static_cast<unsigned char>(b));
    return pieces.join(QLatin1Char(','));
}

QString FormatMargins(const std::array<int, 4>& margins)
{
    QString text;
    for (const int m : margins)
        text += QString::number(m) + QLatin1Char(' ');
    return text;
}

QString MarginInches(int thousandths)
{
    return QString::number(thousandths / 1000.0, 'g', 10);
}

std::array<int, 11> RotateColumnWidths(const std::array<int, 11>& widths, bool toLeft)
{
    std::array<int, 11> rotated = widths;
    if (toLeft)
        std::rotate(rotated.rbegin(), rotated.rbegin() + 1, rotated.rend());
    else
        std::rotate(rotated.begin(), rotated.begin() + 1, rotated.end());
    return rotated;
}

}  // namespace brisden::prefs
