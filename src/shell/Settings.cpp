#include "shell/Settings.h"

#include "shell/IniFile.h"

#include <QStringList>
#include <cmath>
#include <limits>

namespace brisden {

namespace {

const QString General = QStringLiteral("General");
const QString Colors = QStringLiteral("Colors");
const QString GridMisc = QStringLiteral("GridMisc");
const QString Printer = QStringLiteral("Printer");

// A whole number from the leading-number value: halves go to the even
// neighbour, as the conversion to a whole-number variable has always done,
// and values beyond the type's range stop at its limits.
template <typename T>
T WholeNumber(double value)
{
    if (std::isnan(value))
        return 0;
    const double rounded = std::nearbyint(value);
    if (rounded <= double(std::numeric_limits<T>::min()))
        return std::numeric_limits<T>::min();
    if (rounded >= double(std::numeric_limits<T>::max()))
        return std::numeric_limits<T>::max();
    return T(rounded);
}

int HexDigit(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    return -1;
}

QString BoolText(bool value)
{
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

}  // namespace

bool Settings::ParseBoolean(const QString& value, bool defaultValue)
{
    const QString text = value.trimmed();
    if (text.isEmpty())
        return defaultValue;
    if (text.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
        return true;
    if (text.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
        return false;
    // A number counts as a Boolean (0 is False); any other text keeps the
    // default rather than guessing.
    bool isNumber = false;
    const double number = text.toDouble(&isNumber);
    return isNumber ? number != 0 : defaultValue;
}

bool Settings::ParseShowFlag(const QString& value)
{
    return value.trimmed().compare(QLatin1String("False"), Qt::CaseInsensitive) != 0;
}

std::int16_t Settings::ParseInteger(const QString& value)
{
    return WholeNumber<std::int16_t>(Val(value));
}

Settings::Colour Settings::ParseColour(const QString& value, Colour defaultValue)
{
    const QString text = value.trimmed();
    if (text.isEmpty())
        return defaultValue;
    // The value is read as a 32-bit literal: "&H" hexadecimal (so &H80000008
    // keeps its top bit), "&O" octal, otherwise the leading decimal number.
    if (text.size() >= 2 && text[0] == QLatin1Char('&')) {
        const QChar radixLetter = text[1].toUpper();
        const int radix = radixLetter == QLatin1Char('H')   ? 16
                          : radixLetter == QLatin1Char('O') ? 8
                                                            : 0;
        if (radix != 0) {
            std::uint64_t result = 0;
            for (qsizetype i = 2; i < text.size(); ++i) {
                const int digit = HexDigit(text[i]);
                if (digit < 0 || digit >= radix)
                    break;
                result = result * std::uint64_t(radix) + std::uint64_t(digit);
                if (result > 0xFFFFFFFFull)
                    return defaultValue;  // more than 32 bits cannot be a colour
            }
            return Colour(result);
        }
    }
    const double number = Val(text);
    if (std::isnan(number) || number < double(std::numeric_limits<std::int32_t>::min()) ||
        number > double(std::numeric_limits<std::uint32_t>::max()))
        return defaultValue;
    const double rounded = std::nearbyint(number);
    if (rounded < 0)
        return Colour(std::uint32_t(std::int32_t(rounded)));
    return Colour(std::uint32_t(rounded));
}

QString Settings::FormatColour(Colour c)
{
    return QStringLiteral("&H") + QString::number(c, 16).toUpper();
}

QByteArray Settings::ParseByteList(const QString& value)
{
    QByteArray bytes;
    if (value.isEmpty())
        return bytes;
    const QStringList pieces = value.split(QLatin1Char(','));
    for (const QString& piece : pieces) {
        const double number = std::nearbyint(Val(piece));
        const int byte = number < 0 ? 0 : number > 255 ? 255 : int(number);
        bytes.append(char(byte));
    }
    return bytes;
}

std::vector<double> Settings::ParseNumberList(const QString& value)
{
    std::vector<double> numbers;
    if (value.isEmpty())
        return numbers;
    // Split at every single blank: two blanks in a row hold an empty piece,
    // which counts as 0.
    const QStringList pieces = value.split(QLatin1Char(' '));
    numbers.reserve(size_t(pieces.size()));
    for (const QString& piece : pieces)
        numbers.push_back(Val(piece));
    return numbers;
}

void Settings::ReadAll(const QString& iniPath, const QString& defaultPrinter,
                       std::int16_t defaultPrinterOrientation)
{
    const IniSnapshot ini(iniPath);
    auto read = [&ini](const QString& section, const char* key) {
        return ini.read(section, QLatin1String(key), QString());
    };
    auto integer = [&](const QString& section, const char* key, std::int16_t defaultValue) {
        const QString text = read(section, key);
        return text.isEmpty() ? defaultValue : ParseInteger(text);
    };
    auto colour = [&](const char* key, Colour defaultValue) {
        return ParseColour(read(Colors, key), defaultValue);
    };
    auto textOr = [&](const QString& section, const char* key, const QString& defaultValue) {
        const QString text = read(section, key);
        return text.isEmpty() ? defaultValue : text;
    };

    // [General]
    DefaultPortfolio = read(General, "DefaultPortfolio");
    SortByDesc = ParseBoolean(read(General, "SortByDesc"), true);
    ShowRecordTypesLegend = ParseShowFlag(read(General, "ShowRecordTypesLegend"));
    ShowGridControl = ParseShowFlag(read(General, "ShowGridControl"));
    GridColWidth = read(General, "GridColWidth");
    GridRowHeight = integer(General, "GridRowHeight", -1);
    ConfirmDelete = ParseBoolean(read(General, "ConfirmDelete"), true);
    ShowRed4Negative = ParseShowFlag(read(General, "ShowRed4Negative"));
    ShowHelp = read(General, "ShowHelp");
    StartTickmoor = ParseBoolean(read(General, "StartTickmoor"), false);
    AlwaysCopyFile = ParseBoolean(read(General, "AlwaysCopyFile"), true);
    AutoSaveInterval = integer(General, "AutoSaveInterval", 0);
    CRFiresTab = ParseBoolean(read(General, "CRFiresTab"), false);
    WindowSize = read(General, "WindowSize");
    Left = read(General, "Left");
    Top = read(General, "Top");
    ImportSchema = read(General, "ImportSchema");

    // [Colors]
    GridForeColor = colour("GridForeColor", 0x80000008);
    GridBackColor = colour("GridBackColor", 0x80000005);
    GridFixedColor = colour("GridFixedColor", 0x8000000F);
    GridLineColor = colour("GridLineColor", 0x8000000F);
    CurrentBackColor = colour("CurrentBackColor", 0x0080FF80);
    AmbiguousBackColor = colour("AmbiguousBackColor", 0x00B4FFFF);
    GridForeColorNegative = colour("GridForeColorNegative", ShowRed4Negative ? 0x000000FF : 0);
    ChartBackDropColor = read(Colors, "ChartBackDropColor");
    PlotBackDropColor = read(Colors, "PlotBackDropColor");
    PlotWallColor = read(Colors, "PlotWallColor");
    PlotBaseColor = read(Colors, "PlotBaseColor");
    PrintPreviewInsideColor = read(Colors, "PrintPreviewInsideColor");
    PrintPreviewOutsideColor = read(Colors, "PrintPreviewOutsideColor");

    // [GridMisc]
    const QString position = read(GridMisc, "RTColPos").trimmed();
    if (position.isEmpty())
        RTColPos = GridColWidth.isEmpty() ? 1 : 0;
    else if (position.compare(QLatin1String("Left"), Qt::CaseInsensitive) == 0)
        RTColPos = 1;
    else if (position.compare(QLatin1String("Right"), Qt::CaseInsensitive) == 0)
        RTColPos = 0;
    else
        RTColPos = ParseInteger(position);
    GridFixedColumns = integer(GridMisc, "GridFixedColumns", RTColPos);
    GridLineWidth = integer(GridMisc, "GridLineWidth", 1);
    GridFont = read(GridMisc, "GridFont");
    GridFontSize = read(GridMisc, "GridFontSize");
    GridFontBold = read(GridMisc, "GridFontBold");
    GridFontItalic = read(GridMisc, "GridFontItalic");

    // [Printer]
    TextDevice = textOr(Printer, "TextDevice", defaultPrinter);
    TextTopMargin = integer(Printer, "TextTopMargin", 3);
    TextLinesPerPage = integer(Printer, "TextLinesPerPage", 0);
    if (TextLinesPerPage == 0)
        TextLinesPerPage = std::int16_t(41 - TextTopMargin);
    TextListTopMargin = integer(Printer, "TextListTopMargin", 3);
    TextBasisTopMargin = integer(Printer, "TextBasisTopMargin", TextTopMargin);
    TextListLines = integer(Printer, "TextListLines", 0);
    TextBasisLines = integer(Printer, "TextBasisLines", 0);
    Font = textOr(Printer, "Font", QStringLiteral("Courier New"));
    TextFontSize = integer(Printer, "TextFontSize", 10);
    if (TextFontSize == 0)
        TextFontSize = 10;
    TextBold = textOr(Printer, "TextBold", QStringLiteral("False"));
    TextItalic = textOr(Printer, "TextItalic", QStringLiteral("False"));
    PrinterInitString = ParseByteList(read(Printer, "PrinterInitString"));
    PrinterResetString = ParseByteList(read(Printer, "PrinterResetString"));
    TextOrientation = integer(Printer, "TextOrientation", 0);
    if (TextOrientation == 0)
        TextOrientation = defaultPrinterOrientation;
    // An empty list leaves the margins as they are; a short one sets only
    // the margins it names.
    const std::vector<double> margins = ParseNumberList(read(Printer, "ListMargins"));
    if (ListMargins.size() < 4)
        ListMargins.resize(4, 0);
    for (size_t i = 0; i < margins.size() && i < 4; ++i)
        ListMargins[i] = margins[i];
    GraphicsDevice = textOr(Printer, "GraphicsDevice", defaultPrinter);
}

void Settings::WriteAtExit(const QString& iniPath, bool minimizedOrShutdown) const
{
    WriteINI(General, QStringLiteral("SortByDesc"), BoolText(SortByDesc), iniPath);
    if (!GridColWidth.isEmpty()) {
        WriteINI(General, QStringLiteral("GridColWidth"), GridColWidth, iniPath);
        if (GridRowHeight != -1)
            WriteINI(General, QStringLiteral("GridRowHeight"), QString::number(GridRowHeight),
                     iniPath);
    }
    if (!minimizedOrShutdown) {
        WriteINI(General, QStringLiteral("WindowSize"), WindowSize, iniPath);
        WriteINI(General, QStringLiteral("Left"), Left, iniPath);
        WriteINI(General, QStringLiteral("Top"), Top, iniPath);
    }
}

}  // namespace brisden
