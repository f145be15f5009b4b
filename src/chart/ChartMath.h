#pragma once
// The arithmetic behind the drawing of a chart: statistic lines of a series,
// the values of the percent scales, thinning a long series for the screen,
// and fitting a picture to a printed page.

#include "chart/ChartDocument.h"

#include <QRectF>
#include <QSizeF>
#include <optional>
#include <vector>

namespace brisden::chart {

struct SeriesStatistics {
    int count = 0;
    double minimum = 0;
    double maximum = 0;
    double mean = 0;
    double stdDeviation = 0;  // population standard deviation
    // Least-squares line y = intercept + slope * x over the points' X.
    double slope = 0;
    double intercept = 0;
};
// Over the Y values of the points (nothing when there are none).
std::optional<SeriesStatistics> ComputeStatistics(const std::vector<ChartDocument::Point>& points);

// A statistic line as a segment from the first to the last X of the series.
struct StatisticLine {
    int flag;
    QString name;
    double x1, y1, x2, y2;
};
// The lines of the flags set on a series: minimum, maximum, mean, the mean
// plus and minus one standard deviation, the regression line.
std::vector<StatisticLine> StatisticLines(const std::vector<ChartDocument::Point>& points,
                                          int flags);

// The value drawn for a cell under the chart's scale: itself (linear,
// logarithmic) or its percentage of the scale's basis. nullopt for an empty
// cell, a zero basis, or a value the logarithmic scale cannot show (<= 0).
std::optional<double> ScaledValue(const ChartDocument& chart, int row, int series);

// The points to draw of a long series: each run of points that falls on one
// of `buckets` equal X intervals is drawn by its first, lowest, highest and
// last point, so the shape stays exact at the screen's resolution. Series of
// up to 4 x buckets points come back whole.
std::vector<ChartDocument::Point> ThinForDrawing(const std::vector<ChartDocument::Point>& points,
                                                 int buckets);

// The size of a picture stretched or shrunk to a printable area with its
// aspect ratio: relatively wider pictures take the area's width, the others
// its height. Placed at the area's top left.
QRectF FitToPage(QSizeF picture, const QRectF& printable);

}  // namespace brisden::chart
