#include "chart/ChartData.h"

#include "analysis/ListingOutput.h"
#include "chart/ChartTypes.h"
#include "data/Dates.h"
#include "data/NumberText.h"
#include "grid/LedgerRows.h"

namespace brisden::chart {

namespace {

std::int32_t ValidDate(std::int32_t ymd)
{
    return ymd != 0 && IsValidDate(SwapDateOrder(ymd)) ? ymd : 0;
}

bool InRange(std::int32_t d, const ChartSettings& s)
{
    return d != 0 && d >= s.ChartBegin && d <= s.ChartEnd;
}

double MeasureOf(const ChartRow& row, int element)
{
    switch (element) {
        case ElementSharePrice:
            return row.SharePrice;
        case ElementShareBalance:
            return row.ShareBalance;
        case ElementValue:
            return row.Value;
        default:
            return 0;
    }
}

}  // namespace

ChartRow ChartRowOf(const ListingRow& row)
{
    ChartRow c;
    c.Date = ValidDate(row.TransDate);
    c.Code = row.Code.isEmpty() ? 0 : row.Code.at(0).toLatin1();
    // The closing valuation has no amount and no shares of its own.
    c.Amount = row.Closing ? 0 : row.Amount;
    c.SharePrice = row.SharePrice;
    c.Shares = row.Closing ? 0 : row.Shares;
    c.ShareBalance = row.ShareBalance;
    c.Value = row.Value;
    c.RowData = row.Closing ? -1 : row.RecNo;
    return c;
}

ChartRow ChartRowOf(const grid::GridRow& row)
{
    ChartRow c;
    if (row.blank())
        return c;
    c.Date = ValidDate(row.TransDate);
    c.Code = row.Code;
    c.Amount = row.closing() ? 0 : row.Amount;
    c.SharePrice = row.SharePrice;
    c.Shares = row.closing() ? 0 : row.Shares;
    c.ShareBalance = row.ShareBalance;
    c.Value = row.Value;
    c.RowData = row.closing() ? -1 : row.RecNo;
    return c;
}

double FractionalYear(std::int32_t ymd)
{
    const int year = ymd / 10000;
    // The day before 1 January, so that 1 January is day 1.
    const std::int32_t dayZero = DateToDayNumber(year * 10000 + 101) - 1;
    const std::int32_t dayOfYear = DateToDayNumber(ymd) - dayZero;
    return year + double(dayOfYear) / 365.25;
}

std::vector<ChartPoint> ExtractTimeSeries(std::span<const ChartRow> rows,
                                          const ChartSettings& settings)
{
    std::vector<ChartPoint> points;
    const int element = settings.ChartElement;
    double previous = 0;
    for (const ChartRow& row : rows) {
        if (!InRange(row.Date, settings))
            continue;
        if (element == ElementSharePrice) {
            // Fees against shares, cash distributions and service fees carry
            // no market price; nor does a row without a type.
            if (row.Code == 0 || row.Code == 'A' || row.Code == 'D' || row.Code == 'F')
                continue;
        }
        const double v = MeasureOf(row, element);
        if (settings.ChangesOnly && !points.empty() && v == previous)
            continue;
        double y = v;
        if (settings.PercentChange)
            y = points.empty() ? 0 : (v - previous) / previous * 100;
        points.push_back({FractionalYear(row.Date), y});
        // A zero is kept as 0.001, so that the next percent change is finite.
        previous = v == 0 ? 0.001 : v;
    }
    return points;
}

std::vector<ChartPoint> ExtractYearlyTotals(std::span<const ChartRow> rows,
                                            const ChartSettings& settings)
{
    std::vector<ChartPoint> points;
    int year = 0;
    double total = 0;
    for (const ChartRow& row : rows) {
        if (!InRange(row.Date, settings) || row.Code == 0)
            continue;
        const int y = row.Date / 10000;
        if (year != 0 && y != year) {
            points.push_back({double(year), total});
            total = 0;
        }
        year = y;
        double value = 0;
        const char c = row.Code;
        switch (settings.ChartElement) {
            case ElementDistributions:
                if (c == 'R' || c == 'S' || c == 'D')
                    value = row.Amount;
                break;
            case ElementSharesBought:
                if (c == 'P' || c == 'R')
                    value = row.Shares;
                break;
            case ElementInvestmentCosts:
                if (c == 'P' || c == 'F' || c == 'A')
                    value = row.Amount;
                break;
            default:
                break;
        }
        if (value == 0)
            continue;
        // Cash paid out and sale proceeds are written negative in the ledger
        // but count as distributions; fees against shares reduce the costs.
        if (c == 'D' || c == 'S' || c == 'A')
            value = -value;
        total += value;
    }
    if (year != 0)
        points.push_back({double(year), total});
    return points;
}

std::vector<ChartPoint> ExtractPoints(std::span<const ChartRow> rows,
                                      const ChartSettings& settings)
{
    return IsTimeSeries(settings.ChartElement) ? ExtractTimeSeries(rows, settings)
                                               : ExtractYearlyTotals(rows, settings);
}

QString SeriesLabel(const QString& fileDescription)
{
    return QLatin1Char(' ') + fileDescription.trimmed().left(50) + QLatin1Char(' ');
}

QString YearLabel(int year)
{
    return QLatin1Char(' ') + QString::number(year);
}

void AddSeries(ChartDocument& chart, ChartSettings& settings, std::span<const ChartPoint> points,
               const QString& label, int categoryType)
{
    ++settings.SeriesCount;
    const int k = settings.SeriesCount;
    if (IsTimeSeries(settings.ChartElement)) {
        chart.ChartType = Chart2DXY;
        chart.setColumnCount(2 * k);
        const int count = int(points.size());
        if (count > settings.ChartRowCount)
            settings.ChartRowCount = count;
        chart.setRowCount(settings.ChartRowCount);
        for (int i = 1; i <= settings.ChartRowCount; ++i) {
            if (i <= count) {
                chart.setCell(i, 2 * k - 1, points[size_t(i - 1)].X);
                chart.setCell(i, 2 * k, points[size_t(i - 1)].Y);
            } else {
                chart.setNull(i, 2 * k - 1);
                chart.setNull(i, 2 * k);
            }
        }
        chart.setColumnLabel(2 * k - 1, label);
        chart.setColumnLabel(2 * k, label);
    } else {
        chart.ChartType = categoryType;
        chart.setColumnCount(k);
        for (const ChartPoint& p : points) {
            const int year = int(p.X);
            const QString rowLabel = YearLabel(year);
            int target = 0;
            for (int r = 1; r <= chart.rowCount() && target == 0; ++r) {
                const QString existing = chart.rowLabel(r);
                if (existing == rowLabel) {
                    target = r;
                } else if (Val(existing) > year) {
                    chart.insertRow(r, rowLabel);
                    target = r;
                }
            }
            if (target == 0) {
                chart.setRowCount(chart.rowCount() + 1);
                target = chart.rowCount();
                chart.setRowLabel(target, rowLabel);
            }
            chart.setCell(target, k, p.Y);
        }
        chart.setColumnLabel(k, label);
        settings.ChartRowCount = chart.rowCount();
    }
}

QString ValueAxisTitle(int element, bool percentChange, int scale, const QString& currencyTag)
{
    const QString s = percentChange ? QStringLiteral(" % Chg ") : QStringLiteral(" ");
    QString title;
    switch (element) {
        case ElementSharePrice:
            title = s + QStringLiteral("Sh. Price ") + currencyTag;
            break;
        case ElementShareBalance:
            title = s + QStringLiteral("# Shares");
            break;
        case ElementValue:
            title = s + QStringLiteral("Value ") + currencyTag;
            break;
        case ElementDistributions:
            title = QStringLiteral("Distributions ") + currencyTag;
            break;
        case ElementSharesBought:
            title = QStringLiteral("Shares bought");
            break;
        case ElementInvestmentCosts:
            title = QStringLiteral("Investment costs ") + currencyTag;
            break;
        default:
            break;
    }
    if (scale == ScaleLog10)
        title += QStringLiteral(" (Log)");
    else if (IsPercentScale(scale))
        title += QStringLiteral(" %");
    return title + QLatin1Char(' ');
}

QString ChartTitle(const QDateTime& now, const QLocale& locale, const QString& valueAxisTitle,
                   bool yearly)
{
    const QString gap(20, QLatin1Char(' '));
    QString title = QStringLiteral("  ") + locale.toString(now.date(), QLocale::ShortFormat) + gap +
                    QStringLiteral("Brisden") + gap +
                    locale.toString(now.time(), QLocale::ShortFormat) + QStringLiteral("  ") +
                    QLatin1Char('\n') + valueAxisTitle;
    if (yearly)
        title += QStringLiteral(" by year");
    return title;
}

}  // namespace brisden::chart
