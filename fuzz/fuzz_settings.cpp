// Application.ini as the user's disk may hold it: every setting read at
// start, the saved import schema, the grid's column widths from their
// setting, then the keys written when the main window closes.
//
// Properties: the keys written at exit read back as written, and every other
// setting reads as it did before.

#include "FuzzSupport.h"

#include "grid/GridLayout.h"
#include "import/ImportSchema.h"
#include "shell/IniFile.h"
#include "shell/Settings.h"

using namespace brisden;
using namespace brisden::fuzz;
using namespace brisden::grid;

namespace {

// The settings that closing the window does not write, as one text.
QString Untouched(const Settings& s)
{
    QStringList parts{s.DefaultPortfolio,
                      QString::number(s.ShowRecordTypesLegend),
                      QString::number(s.ShowGridControl),
                      QString::number(s.ConfirmDelete),
                      QString::number(s.ShowRed4Negative),
                      s.ShowHelp,
                      QString::number(s.StartTickmoor),
                      QString::number(s.AlwaysCopyFile),
                      QString::number(s.AutoSaveInterval),
                      QString::number(s.CRFiresTab),
                      s.ImportSchema};
    for (Settings::Colour c : {s.GridForeColor, s.GridBackColor, s.GridFixedColor, s.GridLineColor,
                               s.CurrentBackColor, s.AmbiguousBackColor, s.GridForeColorNegative})
        parts << QString::number(c);
    parts << s.ChartBackDropColor << s.PlotBackDropColor << s.PlotWallColor << s.PlotBaseColor
          << s.PrintPreviewInsideColor << s.PrintPreviewOutsideColor;
    for (std::int16_t v : {s.RTColPos, s.GridFixedColumns, s.GridLineWidth, s.TextTopMargin,
                           s.TextLinesPerPage, s.TextListTopMargin, s.TextBasisTopMargin,
                           s.TextListLines, s.TextBasisLines, s.TextFontSize, s.TextOrientation})
        parts << QString::number(v);
    parts << s.GridFont << s.GridFontSize << s.GridFontBold << s.GridFontItalic << s.TextDevice
          << s.Font << s.TextBold << s.TextItalic
          << QString::fromLatin1(s.PrinterInitString.toHex())
          << QString::fromLatin1(s.PrinterResetString.toHex()) << s.GraphicsDevice;
    for (double m : s.ListMargins)
        parts << QString::number(m, 'g', 17);
    return parts.join(QChar(0x1F));
}

// A text read back exactly as written: one line, without blanks at its
// ends (a read trims them), and not one that a read would take out of its
// quotes.
bool KeepsItsForm(const QString& value)
{
    if (value.contains(QLatin1Char('\r')) || value.contains(QLatin1Char('\n')))
        return false;
    const auto blank = [](QChar c) { return c == u' ' || c == u'\t'; };
    if (!value.isEmpty() && (blank(value.front()) || blank(value.back())))
        return false;
    return !(value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') &&
             value.back() == value.front());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const QString ini = WorkPath(QStringLiteral("Application.ini"));
    const QByteArray text = Bytes(data, size);
    WriteBytes(ini, text);

    Settings s;
    s.ReadAll(ini, QStringLiteral("Printer"), 1);
    FUZZ_CHECK(s.ListMargins.size() == 4);
    const ImportSchema schema = ImportSchema::FromSaved(ImportSchema::ReadSaved(ini));
    (void)schema.SchemaString();
    for (int rt : {0, 1, int(s.RTColPos)}) {
        const auto widths = ColumnWidths(s.GridColWidth, rt);
        for (int w : widths)
            FUZZ_CHECK(w >= 0);
        (void)FormatColumnWidths(widths);
    }
    (void)RotateWidthList(s.GridColWidth, true);
    (void)RotateWidthList(s.GridColWidth, false);
    FUZZ_CHECK(ReadBytes(ini) == text);  // reading never writes

    // Closing the main window.
    s.WriteAtExit(ini, false);
    Settings t;
    t.ReadAll(ini, QStringLiteral("Printer"), 1);
    FUZZ_CHECK(t.SortByDesc == s.SortByDesc);
    if (!s.GridColWidth.isEmpty() && KeepsItsForm(s.GridColWidth)) {
        FUZZ_CHECK(t.GridColWidth == s.GridColWidth);
        FUZZ_CHECK(t.GridRowHeight == s.GridRowHeight);
    }
    for (const auto& [written, read] :
         {std::pair{s.WindowSize, t.WindowSize}, {s.Left, t.Left}, {s.Top, t.Top}}) {
        if (KeepsItsForm(written))
            FUZZ_CHECK(read == written);
    }
    // (A width list that reads back empty would change the defaults that
    // depend on it.)
    if (s.GridColWidth.isEmpty() || KeepsItsForm(s.GridColWidth))
        FUZZ_CHECK(Untouched(t) == Untouched(s));
    return 0;
}
