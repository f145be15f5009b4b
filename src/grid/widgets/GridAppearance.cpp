#include "grid/widgets/GridAppearance.h"

#include "data/NumberText.h"
#include "grid/GridLayout.h"
#include "grid/widgets/GridColours.h"
#include "grid/widgets/LedgerGrid.h"
#include "grid/widgets/LedgerModel.h"
#include "shell/Settings.h"

#include <QApplication>

namespace brisden::grid {

GridAppearance AppearanceFromSettings(const Settings& s, const LedgerGrid& grid)
{
    const QPalette palette = QApplication::palette();
    GridAppearance a;
    a.fore = ToQColor(s.GridForeColor, palette);
    a.back = ToQColor(s.GridBackColor, palette);
    a.fixed = ToQColor(s.GridFixedColor, palette);
    a.line = ToQColor(s.GridLineColor, palette);
    a.current = ToQColor(s.CurrentBackColor, palette);
    a.lineWidth = std::max<int>(0, s.GridLineWidth);
    // The grid's own font, with the name, size, bold and italic of the
    // settings where they are given.
    QFont font = QApplication::font(&grid);
    if (!s.GridFont.trimmed().isEmpty())
        font.setFamily(s.GridFont.trimmed());
    if (!s.GridFontSize.trimmed().isEmpty()) {
        const double size = Val(s.GridFontSize);
        if (size > 0)
            font.setPointSizeF(size);
    }
    if (!s.GridFontBold.trimmed().isEmpty())
        font.setBold(Settings::ParseBoolean(s.GridFontBold, font.bold()));
    if (!s.GridFontItalic.trimmed().isEmpty())
        font.setItalic(Settings::ParseBoolean(s.GridFontItalic, font.italic()));
    a.font = font;
    return a;
}

void ApplyGridAppearance(LedgerGrid& grid, LedgerModel& model, const Settings& s)
{
    grid.setAppearance(AppearanceFromSettings(s, grid));
    const QPalette palette = QApplication::palette();
    model.setColours({ToQColor(s.GridForeColor, palette),
                      ToQColor(s.GridForeColorNegative, palette),
                      ToQColor(s.AmbiguousBackColor, palette)});
}

void ApplyGridSettings(LedgerGrid& grid, LedgerModel& model, const Settings& s)
{
    model.setRecordTypePosition(s.RTColPos);
    grid.setColumnWidthsTwips(ColumnWidths(s.GridColWidth, s.RTColPos));
    grid.setFixedColumns(s.GridFixedColumns);
    grid.setDataRowHeight(s.GridRowHeight);
    ApplyGridAppearance(grid, model, s);
    grid.applyRowHeights();
}

}  // namespace brisden::grid
