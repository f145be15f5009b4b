#include "chart/ChartBuilder.h"

#include "chart/ChartTypes.h"
#include "data/Dates.h"
#include "report/ReportState.h"
#include "ui/Interaction.h"

#include <algorithm>

namespace brisden::chart {

bool GridHasEntries(const std::vector<ChartRow>& rows)
{
    const int gridRows = int(rows.size()) + 1;  // with the header row
    if (gridRows >= 3)
        return true;
    return !rows.empty() && rows.back().RowData >= 1;
}

void ChartBuilder::mnuChartItem_Click()
{
    if (!GridHasEntries(m.host.gridRows())) {
        m.messages.show(chart_text::NoEntries(), ui::Icon::Information);
        return;
    }

    bool addMode = false;
    if (m.host.chartVisible()) {
        switch (m.host.askAddOrErase(chart_text::AlreadyCreated())) {
            case AddOrErase::Cancel:
                return;
            case AddOrErase::Erase:
                m.host.closeChart();
                break;
            case AddOrErase::Add:
                addMode = true;
                break;
        }
    }

    ChartOptions options;
    if (!m.host.chooseOptions(options))
        return;

    ChartSettings& s = Settings;
    if (IsValidDate(m.report.ListFromDate)) {
        s.ChartBegin = SwapDateOrder(m.report.ListFromDate);
    } else {
        m.report.ListFromDate = 0;
        s.ChartBegin = 0;
    }
    if (IsValidDate(m.report.ListToDate)) {
        s.ChartEnd = SwapDateOrder(m.report.ListToDate);
    } else {
        m.report.ListToDate = 99999999;
        s.ChartEnd = 99999999;
    }
    if (!options.YearlyMode) {
        s.ChartElement = std::int16_t(ElementSharePrice + std::clamp(options.Element, 0, 2));
        s.ChangesOnly = options.ChangesOnly;
        s.PercentChange = options.PercentChange;
    } else {
        s.ChartElement = std::int16_t(ElementDistributions + std::clamp(options.Annual, 0, 2));
        // Yearly totals are never percent changes (the title says so too).
        s.PercentChange = false;
        s.ChangesOnly = false;
    }
    s.ColorPen = options.ColorPen;
    s.ShowMarkers = options.ShowMarkers;
    if (!addMode) {
        s.SeriesCount = 0;
        s.ChartRowCount = 0;
        m_chart.clear();
    }

    if (s.SeriesCount >= MaxChartSeries) {
        m.messages.show(chart_text::OnlyEight(), ui::Icon::Exclamation);
        return;
    }

    m.host.setBusy(true);
    m.host.refreshListing();
    const std::vector<ChartRow> rows = m.host.gridRows();
    const std::vector<ChartPoint> points = ExtractPoints(rows, s);
    if (points.empty()) {
        s.NoChartData = true;
        m.host.setBusy(false);
        m.messages.show(chart_text::NoEntries(), ui::Icon::Information);
        return;
    }
    s.NoChartData = false;

    const int categoryType = options.YearlyMode ? options.ChartType : Chart2DXY;
    AddSeries(m_chart, s, points, SeriesLabel(m.currentFileDesc ? m.currentFileDesc() : QString()),
              categoryType);
    const int k = s.SeriesCount;

    const QString axisTitle =
        ValueAxisTitle(s.ChartElement, s.PercentChange, options.Scale, m.CurrencyTag);
    m_chart.ValueAxisTitle = axisTitle;
    m_chart.CategoryAxisTitle = QStringLiteral("Year");
    m_chart.Title = ChartTitle(m.now ? m.now() : QDateTime::currentDateTime(), m.locale,
                               axisTitle, !IsTimeSeries(s.ChartElement));

    SeriesStyle& style = m_chart.style(k);
    style.ShowMarkers = s.ShowMarkers;
    style.StatFlags = IsTimeSeries(s.ChartElement) ? StatNone : options.Statistic;
    m_chart.Scale = options.Scale;
    m_chart.ColorPen = options.ColorPen;
    m_chart.DataPoints = options.DataPoints;
    m_chart.Weighting = options.Weighting;
    m_chart.Stacked = options.Stack;
    m_chart.Statistic = IsTimeSeries(s.ChartElement) ? StatNone : options.Statistic;
    m_chart.StatisticName = options.StatisticName;
    m_chart.Footnote = ChartFootnote(m_chart);

    m.host.showChart(m_chart, options);
    m.host.setBusy(false);
}

}  // namespace brisden::chart
