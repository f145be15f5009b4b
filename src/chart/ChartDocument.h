#pragma once
// One chart as the chart window shows it: the grid of values (rows x data
// columns, any cell possibly empty) with row and column labels, the chart
// type, titles, the value-axis scale, how each series is drawn and the
// chart's colours. The builder fills it; the window, the printer and the
// image export draw it.
//
// Category charts (types 0 to 14): each data column is a series, each row a
// category (a year). X-Y charts (type 16): series k holds its X values in
// data column 2k-1 and its Y values in column 2k, one point per row.

#include "chart/ChartOptions.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>
#include <vector>

namespace brisden::chart {

using ChartColour = std::uint32_t;  // 0x00BBGGRR, as the settings keep colours

// The four colours of a chart, and where the settings keep them.
struct ChartColours {
    ChartColour ChartBackDrop = 0xC0C0C0;
    ChartColour PlotBackDrop = 0xC0C0C0;
    ChartColour PlotWall = 0xEEFFFF;
    ChartColour PlotBase = 0xE1FFFF;
    bool operator==(const ChartColours&) const = default;
};
// The four colours from their settings texts ("&HC0C0C0"); an empty text
// gives the built-in colour.
ChartColours ColoursFromSettings(const QString& chartBackDrop, const QString& plotBackDrop,
                                 const QString& plotWall, const QString& plotBase);

struct SeriesStyle {
    int StatFlags = StatNone;
    bool ShowMarkers = false;
    std::optional<ChartColour> Colour;  // chosen by the user; else automatic
};

class ChartDocument {
public:
    int ChartType = 0;

    int rowCount() const { return m_rows; }
    int columnCount() const { return int(m_columns.size()); }
    // Growing adds empty cells; shrinking drops the last ones.
    void setRowCount(int rows);
    void setColumnCount(int columns);
    // Rows and columns count from 1.
    std::optional<double> cell(int row, int column) const;
    void setCell(int row, int column, double value);
    void setNull(int row, int column);
    // Inserts an empty row before row (1..rowCount+1), label included.
    void insertRow(int row, const QString& label);

    QString rowLabel(int row) const;
    void setRowLabel(int row, const QString& label);
    QString columnLabel(int column) const;
    void setColumnLabel(int column, const QString& label);

    bool isXY() const { return ChartType == 16; }
    // Series: one per data column, or one per pair of columns in X-Y charts.
    int seriesCount() const;
    QString seriesLabel(int series) const;  // series from 1
    // Non-empty Y values of a series with their X: the year (category charts:
    // the row number) or the X column.
    struct Point {
        double x;
        double y;
        int row;
    };
    std::vector<Point> seriesPoints(int series) const;

    SeriesStyle& style(int series);  // series from 1; grows as needed
    const SeriesStyle& style(int series) const;

    QString Title;
    QString Footnote;
    QString ValueAxisTitle;
    QString CategoryAxisTitle = QStringLiteral("Year");
    int Scale = ScaleLinear;

    // Appearance, applied with the chart type.
    bool ColorPen = true;
    int DataPoints = LabelsNone;
    int Weighting = PieByArea;
    bool Stacked = false;
    int Statistic = StatNone;  // the statistic named in the footnote
    QString StatisticName;
    ChartColours Colours;

    // Empties the chart: no rows, no columns, no series styles.
    void clear();

private:
    int m_rows = 0;
    std::vector<std::vector<std::optional<double>>> m_columns;
    QStringList m_rowLabels;
    QStringList m_columnLabels;
    std::vector<SeriesStyle> m_styles;
};

// The footnote of the chart for its type: the pie weighting (pie charts) and
// the statistic line named, as the chart window shows it.
QString ChartFootnote(const ChartDocument& chart);

}  // namespace brisden::chart
