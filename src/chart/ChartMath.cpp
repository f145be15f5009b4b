#include "chart/ChartMath.h"

#include <algorithm>
#include <cmath>

namespace brisden::chart {

std::optional<SeriesStatistics> ComputeStatistics(const std::vector<ChartDocument::Point>& points)
{
    if (points.empty())
        return std::nullopt;
    SeriesStatistics s;
    s.count = int(points.size());
    s.minimum = points.front().y;
    s.maximum = points.front().y;
    double sumX = 0, sumY = 0;
    for (const auto& p : points) {
        s.minimum = std::min(s.minimum, p.y);
        s.maximum = std::max(s.maximum, p.y);
        sumX += p.x;
        sumY += p.y;
    }
    const double n = double(s.count);
    s.mean = sumY / n;
    const double meanX = sumX / n;
    double sxx = 0, sxy = 0, syy = 0;
    for (const auto& p : points) {
        sxx += (p.x - meanX) * (p.x - meanX);
        sxy += (p.x - meanX) * (p.y - s.mean);
        syy += (p.y - s.mean) * (p.y - s.mean);
    }
    s.stdDeviation = std::sqrt(syy / n);
    s.slope = sxx > 0 ? sxy / sxx : 0;
    s.intercept = s.mean - s.slope * meanX;
    return s;
}

std::vector<StatisticLine> StatisticLines(const std::vector<ChartDocument::Point>& points,
                                          int flags)
{
    std::vector<StatisticLine> lines;
    const auto stats = ComputeStatistics(points);
    if (!stats || flags == StatNone)
        return lines;
    const double x1 = points.front().x;
    const double x2 = points.back().x;
    auto level = [&](int flag, const QString& name, double y) {
        lines.push_back({flag, name, x1, y, x2, y});
    };
    if (flags & StatMinimum)
        level(StatMinimum, QStringLiteral("Minimum"), stats->minimum);
    if (flags & StatMaximum)
        level(StatMaximum, QStringLiteral("Maximum"), stats->maximum);
    if (flags & StatMean)
        level(StatMean, QStringLiteral("Mean"), stats->mean);
    if (flags & StatStdDeviation) {
        level(StatStdDeviation, QStringLiteral("Mean + Std Deviation"),
              stats->mean + stats->stdDeviation);
        level(StatStdDeviation, QStringLiteral("Mean - Std Deviation"),
              stats->mean - stats->stdDeviation);
    }
    if (flags & StatRegression)
        lines.push_back({StatRegression, QStringLiteral("Regression"), x1,
                         stats->intercept + stats->slope * x1, x2,
                         stats->intercept + stats->slope * x2});
    return lines;
}

namespace {

std::optional<double> Cell(const ChartDocument& chart, int row, int series)
{
    return chart.cell(row, chart.isXY() ? 2 * series : series);
}

}  // namespace

std::optional<double> ScaledValue(const ChartDocument& chart, int row, int series)
{
    const std::optional<double> value = Cell(chart, row, series);
    if (!value)
        return std::nullopt;
    if (chart.Scale == ScaleLog10)
        return *value > 0 ? value : std::nullopt;
    if (!IsPercentScale(chart.Scale))
        return value;

    const int seriesCount = chart.seriesCount();
    const int rows = chart.rowCount();
    double basis = 0;
    bool any = false;
    auto take = [&](std::optional<double> v, bool sum) {
        if (!v)
            return;
        if (sum)
            basis += *v;
        else
            basis = any ? std::max(basis, *v) : *v;
        any = true;
    };
    switch (chart.Scale) {
        case ScalePercentChartMax:
        case ScalePercentChartSum: {
            const bool sum = chart.Scale == ScalePercentChartSum;
            for (int s = 1; s <= seriesCount; ++s)
                for (int r = 1; r <= rows; ++r)
                    take(Cell(chart, r, s), sum);
            break;
        }
        case ScalePercentColumnMax:
        case ScalePercentColumnSum: {
            const bool sum = chart.Scale == ScalePercentColumnSum;
            for (int s = 1; s <= seriesCount; ++s)
                take(Cell(chart, row, s), sum);
            break;
        }
        default: {
            const bool sum = chart.Scale == ScalePercentSeriesSum;
            for (int r = 1; r <= rows; ++r)
                take(Cell(chart, r, series), sum);
            break;
        }
    }
    if (!any || basis == 0)
        return std::nullopt;
    return *value / basis * 100;
}

std::vector<ChartDocument::Point> ThinForDrawing(const std::vector<ChartDocument::Point>& points,
                                                 int buckets)
{
    buckets = std::max(buckets, 1);
    if (points.size() <= size_t(4 * buckets))
        return points;
    double lo = points.front().x, hi = points.front().x;
    for (const auto& p : points) {
        lo = std::min(lo, p.x);
        hi = std::max(hi, p.x);
    }
    const double width = hi > lo ? (hi - lo) / buckets : 1;
    std::vector<ChartDocument::Point> out;
    out.reserve(size_t(4 * buckets + 4));
    size_t i = 0;
    while (i < points.size()) {
        const long bucket = long(std::floor((points[i].x - lo) / width));
        size_t j = i;
        size_t low = i, high = i;
        while (j < points.size() && long(std::floor((points[j].x - lo) / width)) == bucket) {
            if (points[j].y < points[low].y)
                low = j;
            if (points[j].y > points[high].y)
                high = j;
            ++j;
        }
        // The first, the extremes in their order, and the last of the run.
        size_t picks[4] = {i, std::min(low, high), std::max(low, high), j - 1};
        size_t last = size_t(-1);
        for (size_t k : picks) {
            if (k != last)
                out.push_back(points[k]);
            last = k;
        }
        i = j;
    }
    return out;
}

QRectF FitToPage(QSizeF picture, const QRectF& printable)
{
    if (picture.width() <= 0 || picture.height() <= 0 || printable.width() <= 0 ||
        printable.height() <= 0)
        return QRectF(printable.topLeft(), QSizeF());
    const double pictureRatio = picture.width() / picture.height();
    const double pageRatio = printable.width() / printable.height();
    QSizeF size;
    if (pictureRatio > pageRatio)
        size = QSizeF(printable.width(), printable.width() / pictureRatio);
    else
        size = QSizeF(printable.height() * pictureRatio, printable.height());
    return QRectF(printable.topLeft(), size);
}

}  // namespace brisden::chart
