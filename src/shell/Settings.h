#pragma once
// Every key of Application.ini as a member named after it, read once at start
// with its default; written back at their own moments (preferences, exit).

#include "data/NumberText.h"

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <vector>

namespace brisden {

class Settings {
public:
    // Colours: 0x00BBGGRR, or 0x800000nn for system colour nn.
    using Colour = std::uint32_t;

    // [General]
    QString DefaultPortfolio;
    bool SortByDesc = true;
    bool ShowRecordTypesLegend = true;
    bool ShowGridControl = true;
    QString GridColWidth;
    std::int16_t GridRowHeight = -1;
    bool ConfirmDelete = true;
    bool ShowRed4Negative = true;
    QString ShowHelp;
    bool StartTickmoor = false;
    bool AlwaysCopyFile = true;
    std::int16_t AutoSaveInterval = 0;
    bool CRFiresTab = false;
    QString WindowSize;  // empty: not restored; else 0, 1 or 2
    QString Left;
    QString Top;
    QString ImportSchema;

    // [Colors]
    Colour GridForeColor = 0x80000008;
    Colour GridBackColor = 0x80000005;
    Colour GridFixedColor = 0x8000000F;
    Colour GridLineColor = 0x8000000F;
    Colour CurrentBackColor = 0x0080FF80;
    Colour AmbiguousBackColor = 0x00B4FFFF;
    Colour GridForeColorNegative = 0x000000FF;
    QString ChartBackDropColor, PlotBackDropColor, PlotWallColor, PlotBaseColor;
    QString PrintPreviewInsideColor, PrintPreviewOutsideColor;

    // [GridMisc]
    std::int16_t RTColPos = 1;
    std::int16_t GridFixedColumns = 1;
    std::int16_t GridLineWidth = 1;
    QString GridFont;      // empty: the grid's own
    QString GridFontSize;  // empty: the grid's own
    QString GridFontBold;
    QString GridFontItalic;

    // [Printer]
    QString TextDevice;
    std::int16_t TextTopMargin = 3;
    std::int16_t TextLinesPerPage = 38;
    std::int16_t TextListTopMargin = 3;
    std::int16_t TextBasisTopMargin = 3;
    std::int16_t TextListLines = 0;
    std::int16_t TextBasisLines = 0;
    QString Font = QStringLiteral("Courier New");
    std::int16_t TextFontSize = 10;
    QString TextBold = QStringLiteral("False");
    QString TextItalic = QStringLiteral("False");
    QByteArray PrinterInitString;
    QByteArray PrinterResetString;
    std::int16_t TextOrientation = 1;
    std::vector<double> ListMargins = {0, 0, 0, 0};
    QString GraphicsDevice;

    // Reads every section in the start-up order. defaultPrinter stands in for
    // the system's default printer (TextDevice, GraphicsDevice, orientation).
    void ReadAll(const QString& iniPath, const QString& defaultPrinter = QString(),
                 std::int16_t defaultPrinterOrientation = 1);
    // The keys written when the main window closes, in their order.
    void WriteAtExit(const QString& iniPath, bool minimizedOrShutdown) const;

    // Encodings of the settings file.
    static bool ParseBoolean(const QString& value, bool defaultValue);
    static bool ParseShowFlag(const QString& value);  // shown unless "False"
    static std::int16_t ParseInteger(const QString& value);
    static Colour ParseColour(const QString& value, Colour defaultValue);
    static QString FormatColour(Colour c);  // "&H80FF80"
    static QByteArray ParseByteList(const QString& value);
    static std::vector<double> ParseNumberList(const QString& value);
};

}  // namespace brisden
