#pragma once
// What the chart options dialog hands to the chart builder and the chart
// window: the kind of chart, the measure, how values are shown and how the
// chart looks. The lists of the dialog carry codes with their entries, so the
// entries can be shown or left out without shifting meanings.

#include <QString>
#include <QStringList>
#include <vector>

namespace brisden::chart {

// Value-axis scales. The percent scales show each value as a percentage of a
// basis: the largest value or the sum of the chart, of one category (a
// column of bars) or of one series.
enum ScaleCode : int {
    ScaleLinear = 0,
    ScaleLog10 = 1,
    ScalePercentChartMax = 10,
    ScalePercentColumnMax = 11,
    ScalePercentSeriesMax = 12,
    ScalePercentChartSum = 13,
    ScalePercentColumnSum = 14,
    ScalePercentSeriesSum = 15,
};
bool IsPercentScale(int scale);

// Statistic lines drawn over a series (flags that may combine).
enum StatisticFlag : int {
    StatNone = 0,
    StatMinimum = 1,
    StatMaximum = 2,
    StatMean = 4,
    StatStdDeviation = 8,
    StatRegression = 16,
};

enum DataPointLabels : int { LabelsNone = 0, LabelsValues = 1, LabelsPercent = 2 };
enum PieWeighting : int { PieNoWeighting = 0, PieByArea = 1, PieByDiameter = 2 };

struct ListEntry {
    QString text;
    int code;
};

// "*None", "Minimum", ..., "Regression" with their flags.
const std::vector<ListEntry>& StatisticEntries();
// The "Y-scale" entries for a mode: eight in the yearly mode; the time-series
// mode leaves out the two per-column ones.
std::vector<ListEntry> YScaleEntries(bool yearlyMode);
// The "Show datapoints" entries: "As percentage" only in the yearly mode.
std::vector<ListEntry> DataPointEntries(bool yearlyMode);
// "*None", "By area", "By diameter".
const std::vector<ListEntry>& PieWeightingEntries();

struct ChartOptions {
    bool YearlyMode = false;  // "Charts categorized by year" instead of the X-Y charts
    int Element = 0;          // optElement: 0 share price, 1 share balance, 2 value
    bool PercentChange = false;  // optYaxis 1
    bool ChangesOnly = false;    // optDensity 1
    int Annual = 0;              // optAnn: 0 distributions, 1 shares bought, 2 investment costs
    bool Stack = false;
    int ChartType = 0;  // a category chart type (yearly mode)
    int Statistic = StatNone;
    QString StatisticName = QStringLiteral("*None");
    int Scale = ScaleLinear;
    int DataPoints = LabelsNone;
    int Weighting = PieByArea;
    bool ColorPen = true;  // false: black-and-white patterns
    bool ShowMarkers = false;
};

}  // namespace brisden::chart
