#pragma once
// From listing rows to chart series: a time series of one measure (share
// price, share balance or value, X in fractional years) or yearly totals of
// one flow (distributions, shares bought, investment costs), and the series
// added to the chart grid with its label and the chart's titles.

#include "chart/ChartDocument.h"

#include <QDateTime>
#include <QLocale>
#include <QString>
#include <cstdint>
#include <span>
#include <vector>

namespace brisden {
struct ListingRow;
namespace grid {
struct GridRow;
}
}  // namespace brisden

namespace brisden::chart {

enum ChartElement : std::int16_t {
    ElementSharePrice = 1,
    ElementShareBalance = 2,
    ElementValue = 3,
    ElementDistributions = 4,
    ElementSharesBought = 5,
    ElementInvestmentCosts = 6,
};
inline bool IsTimeSeries(int element)
{
    return element >= ElementSharePrice && element <= ElementValue;
}

// The chart state kept by the main window from one chart to the next.
struct ChartSettings {
    std::int32_t ChartBegin = 0;         // YMD; 0 = no lower limit
    std::int32_t ChartEnd = 99999999;    // YMD; 99999999 = no upper limit
    std::int16_t ChartElement = ElementSharePrice;
    bool ChangesOnly = false;
    bool PercentChange = false;
    bool ColorPen = true;
    bool ShowMarkers = false;
    std::int16_t SeriesCount = 0;        // 0..8
    std::int32_t ChartRowCount = 0;      // rows of the chart grid
    bool NoChartData = false;
};

constexpr int MaxChartSeries = 8;

// What the charts read of one listing row.
struct ChartRow {
    std::int32_t Date = 0;  // YMD; 0 when the row has no valid date
    char Code = 0;          // the record type, 0 when empty
    double Amount = 0;
    double SharePrice = 0;
    double Shares = 0;  // shares of this transaction
    double ShareBalance = 0;
    double Value = 0;
    std::int32_t RowData = 0;  // record number; 0 without a record, -1 for no transaction
};
ChartRow ChartRowOf(const ListingRow& row);
ChartRow ChartRowOf(const grid::GridRow& row);

struct ChartPoint {
    double X;
    double Y;
};

// The time series of ChartElement 1 to 3 within ChartBegin..ChartEnd.
std::vector<ChartPoint> ExtractTimeSeries(std::span<const ChartRow> rows,
                                          const ChartSettings& settings);
// The yearly totals of ChartElement 4 to 6: one point per year (X = the year).
std::vector<ChartPoint> ExtractYearlyTotals(std::span<const ChartRow> rows,
                                            const ChartSettings& settings);
// Either, by ChartElement.
std::vector<ChartPoint> ExtractPoints(std::span<const ChartRow> rows,
                                      const ChartSettings& settings);
// The X of a date: the year plus the day of the year over 365.25.
double FractionalYear(std::int32_t ymd);

// " " + the first 50 characters of the trimmed description + " ".
QString SeriesLabel(const QString& fileDescription);
// " 2004": the label of a year's row.
QString YearLabel(int year);

// Adds the points as series SeriesCount + 1 (SeriesCount is increased):
// X-Y charts in columns 2k-1 and 2k (type 16), yearly totals in column k on
// the rows of their years (type categoryType). ChartRowCount follows the
// chart's rows.
void AddSeries(ChartDocument& chart, ChartSettings& settings, std::span<const ChartPoint> points,
               const QString& label, int categoryType);

// The value-axis title for the element, the percent change and the scale.
QString ValueAxisTitle(int element, bool percentChange, int scale, const QString& currencyTag);
// The chart title: the date and time of the chart around the product name,
// then the value-axis title ("by year" for yearly totals).
QString ChartTitle(const QDateTime& now, const QLocale& locale, const QString& valueAxisTitle,
                   bool yearly);

}  // namespace brisden::chart
