// The chart builder's extraction and filling of the chart grid, its command
// sequence against a fake screen, and the arithmetic the drawing relies on.

#include "analysis/ListingHarness.h"
#include "chart/ChartBuilder.h"
#include "chart/ChartData.h"
#include "chart/ChartMath.h"
#include "chart/ChartTypes.h"

#include <gtest/gtest.h>

namespace brisden::chart {
namespace {

ChartRow Row(std::int32_t ymd, char code, double price, double amount = 0, double shares = 0,
             double balance = 0, double value = 0)
{
    return {ymd, code, amount, price, shares, balance, value, 1};
}

std::vector<double> Ys(const std::vector<ChartPoint>& points)
{
    std::vector<double> ys;
    for (const auto& p : points)
        ys.push_back(p.Y);
    return ys;
}

std::vector<ChartPoint> Series(const std::vector<ChartRow>& rows, const ChartSettings& s)
{
    return ExtractTimeSeries(rows, s);
}

ChartSettings Element(int element)
{
    ChartSettings s;
    s.ChartElement = std::int16_t(element);
    return s;
}

TEST(ChartTimeSeries, PointsPercentChangeAndDateWindow)
{
    // X is the year plus the day of the year.
    ChartSettings s = Element(ElementSharePrice);
    const auto points = Series({Row(20040101, 'U', 10), Row(20041231, 'U', 11)}, s);
    ASSERT_EQ(points.size(), 2u);
    EXPECT_DOUBLE_EQ(points[0].X, 2004 + 1 / 365.25);
    EXPECT_DOUBLE_EQ(points[1].X, 2004 + 366 / 365.25);  // a leap year

    // Prices leave out the rows without a market price and those without a date.
    const std::vector<ChartRow> rows = {Row(20040105, 'P', 10, 100),
                                        Row(20040110, 'D', 55, -20),
                                        Row(20040111, 'F', 56, 5),
                                        Row(20040112, 'A', 57, 0, -1),
                                        Row(20040113, 0, 58),
                                        Row(20040120, 'U', 11),
                                        Row(0, 'U', 99)};
    EXPECT_EQ(Ys(ExtractTimeSeries(rows, s)), (std::vector<double>{10, 11}));
    s.ChartBegin = 20040106;
    s.ChartEnd = 20040119;
    EXPECT_TRUE(ExtractTimeSeries(rows, s).empty());
    // The share balance takes every dated row, the closing valuation included.
    s = Element(ElementShareBalance);
    EXPECT_EQ(ExtractTimeSeries(rows, s).size(), 6u);

    // Percent change from the previous point, a zero kept as one thousandth.
    s = Element(ElementSharePrice);
    s.PercentChange = true;
    EXPECT_EQ(
        Ys(Series({Row(20040105, 'U', 10), Row(20040205, 'U', 12), Row(20040305, 'U', 9)}, s)),
        (std::vector<double>{0, 20, -25}));
    s.ChartElement = ElementValue;
    const auto fromZero = Series({Row(20040105, 'U', 1), Row(20040205, 'U', 1, 0, 0, 5, 5)}, s);
    ASSERT_EQ(fromZero.size(), 2u);
    EXPECT_DOUBLE_EQ(fromZero[1].Y, (5 - 0.001) / 0.001 * 100);
}

TEST(ChartYearlyTotals, FromTheListingOfAKnownLedger)
{
    test::ListingHarness h{DestinationFile, 20070110};
    h.useLedger(QStringLiteral("fund.dat"), {{20040105, "buy", 1000, 10, 0},
                                             {20040630, "reinv", 0, 10, 5},
                                             {20041220, "cash", -20, 0, 0},
                                             {20050105, "buy", 500, 12.5, 0},
                                             {20050701, "sell", -240, 12, 20},
                                             {20051231, "price", 0, 13, 0},
                                             {20060301, "fee", 25, 0, 0}});
    h.run();
    ASSERT_EQ(h.output.files.size(), 1u);
    std::vector<ChartRow> rows;
    for (const ListingRow& row : h.output.files[0].rows)
        rows.push_back(ChartRowOf(row));

    using Points = std::vector<std::pair<double, double>>;
    auto totals = [&](int element, std::int32_t from = 0) {
        ChartSettings s = Element(element);
        s.ChartBegin = from;
        Points out;
        for (const auto& p : ExtractYearlyTotals(rows, s))
            out.emplace_back(p.X, p.Y);
        return out;
    };
    // The closing valuation (a price row dated today) opens a year of its own.
    EXPECT_EQ(totals(ElementDistributions),
              (Points{{2004, 70}, {2005, 240}, {2006, 0}, {2007, 0}}));
    EXPECT_EQ(totals(ElementSharesBought), (Points{{2004, 105}, {2005, 40}, {2006, 0}, {2007, 0}}));
    EXPECT_EQ(totals(ElementInvestmentCosts),
              (Points{{2004, 1000}, {2005, 500}, {2006, 25}, {2007, 0}}));
    EXPECT_EQ(totals(ElementInvestmentCosts, 20050101),
              (Points{{2005, 500}, {2006, 25}, {2007, 0}}));

    // The price series: the purchase, the reinvestment, the sale, the price
    // update and today's valuation; not the cash distribution nor the fee.
    ChartSettings price = Element(ElementSharePrice);
    EXPECT_EQ(Ys(ExtractTimeSeries(rows, price)), (std::vector<double>{10, 10, 12.5, 12, 13, 13}));
    price.ChartElement = ElementValue;
    EXPECT_DOUBLE_EQ(ExtractTimeSeries(rows, price).back().Y, 13 * (100 + 5 + 40 - 20));

    // A fee against shares adds to the costs and buys no shares; a row
    // without a type counts for no year.
    rows = {Row(20050110, 'F', 0, 15), Row(20050301, 'A', 10, -3, -0.3), Row(20070101, 0, 0, 500)};
    EXPECT_EQ(totals(ElementInvestmentCosts), (Points{{2005, 18}}));
    EXPECT_EQ(totals(ElementSharesBought), (Points{{2005, 0}}));
    EXPECT_EQ(totals(ElementDistributions), (Points{{2005, 0}}));
}

TEST(ChartGrid, ASecondShorterTimeSeriesEndsInEmptyCells)
{
    ChartDocument chart;
    ChartSettings s = Element(ElementSharePrice);
    const std::vector<ChartPoint> first = {{2004.1, 10}, {2004.2, 11}, {2004.3, 12}};
    const std::vector<ChartPoint> second = {{2004.15, 20}};
    AddSeries(chart, s, first, SeriesLabel(QStringLiteral("  First fund ")), Chart3DBar);
    AddSeries(chart, s, second, SeriesLabel(QStringLiteral("Second")), Chart3DBar);

    EXPECT_EQ(chart.ChartType, Chart2DXY);
    EXPECT_EQ(s.SeriesCount, 2);
    EXPECT_EQ(chart.rowCount(), 3);
    EXPECT_EQ(chart.columnCount(), 4);
    EXPECT_EQ(chart.seriesLabel(1), QStringLiteral(" First fund "));
    for (int r = 1; r <= 3; ++r) {
        EXPECT_EQ(chart.cell(r, 1), first[size_t(r - 1)].X);
        EXPECT_EQ(chart.cell(r, 2), first[size_t(r - 1)].Y);
    }
    EXPECT_EQ(chart.cell(1, 4), 20.0);
    EXPECT_FALSE(chart.cell(2, 3));
    EXPECT_FALSE(chart.cell(3, 4));
    EXPECT_EQ(chart.seriesPoints(2).size(), 1u);

    // A longer third series adds rows; the earlier series stay empty there.
    const std::vector<ChartPoint> third = {{1, 1}, {2, 2}, {3, 3}, {4, 4}};
    AddSeries(chart, s, third, SeriesLabel(QStringLiteral("Third")), Chart3DBar);
    EXPECT_EQ(chart.rowCount(), 4);
    EXPECT_FALSE(chart.cell(4, 2));
    EXPECT_EQ(chart.seriesPoints(1).size(), 3u);
}

TEST(ChartTitles, AxisTitlesChartTitleAndColours)
{
    const QString tag = QStringLiteral("($)");
    EXPECT_EQ(ValueAxisTitle(ElementSharePrice, false, ScaleLinear, tag),
              QStringLiteral(" Sh. Price ($) "));
    EXPECT_EQ(ValueAxisTitle(ElementValue, true, ScaleLog10, tag),
              QStringLiteral(" % Chg Value ($) (Log) "));
    EXPECT_EQ(ValueAxisTitle(ElementShareBalance, false, ScalePercentSeriesMax, tag),
              QStringLiteral(" # Shares % "));
    EXPECT_EQ(ValueAxisTitle(ElementSharesBought, false, ScaleLinear, tag),
              QStringLiteral("Shares bought "));
    const QString title = ChartTitle(QDateTime(QDate(2024, 3, 5), QTime(14, 30)),
                                     QLocale(QLocale::English, QLocale::UnitedStates),
                                     QStringLiteral("Distributions ($) "), true);
    EXPECT_TRUE(title.startsWith(QStringLiteral("  3/5/24") + QString(20, u' ') +
                                 QStringLiteral("Brisden") + QString(20, u' ')));
    EXPECT_TRUE(title.endsWith(QStringLiteral("  \nDistributions ($)  by year")));

    // Colours as the settings hold them, a blank text or none the built-in one.
    const ChartColours c = ColoursFromSettings(QStringLiteral("&HFF"), QString(),
                                               QStringLiteral("&HC0C0C0"), QStringLiteral("  "));
    EXPECT_EQ(c.ChartBackDrop, 0x0000FFu);
    EXPECT_EQ(c.PlotBackDrop, 0xC0C0C0u);
    EXPECT_EQ(c.PlotWall, 0xC0C0C0u);
    EXPECT_EQ(c.PlotBase, 0xE1FFFFu);
}

// The screen as the builder sees it: a grid of rows, a chart window that is
// shown or not, and scripted answers.
class FakeHost final : public IChartHost {
public:
    std::vector<ChartRow> rows;
    bool visible = false;
    AddOrErase answer = AddOrErase::Add;
    bool okOptions = true;
    ChartOptions options;
    int refreshes = 0, closes = 0, shows = 0, questions = 0;
    std::int32_t fromMdy = 0, toMdy = 99999999;
    ReportState* report = nullptr;

    std::vector<ChartRow> gridRows() override { return rows; }
    void refreshListing() override { ++refreshes; }
    bool chartVisible() override { return visible; }
    void closeChart() override { ++closes, visible = false; }
    AddOrErase askAddOrErase(const QString& question) override
    {
        EXPECT_EQ(question, chart_text::AlreadyCreated());
        return ++questions, answer;
    }
    bool chooseOptions(ChartOptions& chosen) override
    {
        chosen = options;
        report->ListFromDate = fromMdy;
        report->ListToDate = toMdy;
        return okOptions;
    }
    void showChart(ChartDocument&, const ChartOptions&) override { ++shows, visible = true; }
    void setBusy(bool) override {}
};

struct BuilderRig {
    BuilderRig()
    {
        host.report = &report;
        host.rows = {Row(20040105, 'P', 10, 100), Row(20040205, 'U', 11), Row(20040305, 'U', 12)};
    }
    ReportState report;
    test::FakeMessages messages;
    FakeHost host;
    ChartBuilder builder{ChartBuilderContext{report,
                                             messages,
                                             host,
                                             [] { return QStringLiteral("Fund"); },
                                             QStringLiteral("($)"),
                                             QLocale::c(),
                                             {}}};
};

TEST(ChartBuilder, EightSeriesAtMostAndANinthLeavesThem)
{
    BuilderRig rig;
    for (int i = 0; i < 8; ++i)
        rig.builder.mnuChartItem_Click();
    EXPECT_EQ(rig.builder.Settings.SeriesCount, 8);
    EXPECT_EQ(rig.host.questions, 7);
    EXPECT_TRUE(rig.messages.shown.empty());

    rig.builder.mnuChartItem_Click();
    EXPECT_EQ(rig.builder.Settings.SeriesCount, 8);
    EXPECT_EQ(rig.builder.chart().seriesCount(), 8);
    ASSERT_EQ(rig.messages.shown.size(), 1u);
    EXPECT_EQ(rig.messages.shown[0].text, chart_text::OnlyEight());
    EXPECT_EQ(rig.messages.shown[0].icon, ui::Icon::Exclamation);
    EXPECT_EQ(rig.host.refreshes, 8);

    // "No" starts over with one series; "Cancel" changes nothing.
    rig.host.answer = AddOrErase::Erase;
    rig.builder.mnuChartItem_Click();
    EXPECT_EQ(rig.host.closes, 1);
    EXPECT_EQ(rig.builder.chart().seriesCount(), 1);
    rig.host.answer = AddOrErase::Cancel;
    rig.builder.mnuChartItem_Click();
    EXPECT_EQ(rig.builder.chart().seriesCount(), 1);
    EXPECT_EQ(rig.host.refreshes, 9);
}

TEST(ChartBuilder, NoEntriesDatesAndOptions)
{
    BuilderRig rig;
    // An empty ledger: the header and the empty row for new entries.
    rig.host.rows = {ChartRow{}};
    rig.builder.mnuChartItem_Click();
    ASSERT_EQ(rig.messages.shown.size(), 1u);
    EXPECT_EQ(rig.messages.shown[0].text, chart_text::NoEntries());
    EXPECT_EQ(rig.messages.shown[0].icon, ui::Icon::Information);
    EXPECT_EQ(rig.host.shows, 0);

    // Nothing inside the date window: no chart, the same message.
    rig.host.rows = {Row(20040105, 'P', 10, 100), Row(20040205, 'U', 11), Row(20040305, 'U', 12)};
    rig.host.fromMdy = 1012010;  // 01/01/2010
    rig.builder.mnuChartItem_Click();
    EXPECT_TRUE(rig.builder.Settings.NoChartData);
    EXPECT_EQ(rig.builder.Settings.ChartBegin, 20100101);
    EXPECT_EQ(rig.messages.shown.size(), 2u);
    EXPECT_EQ(rig.host.shows, 0);

    // An invalid date is no limit, and is set back to the open value.
    rig.host.fromMdy = 13452004;
    rig.host.toMdy = 2152004;  // 02/15/2004
    rig.host.options.ShowMarkers = true;
    rig.builder.mnuChartItem_Click();
    EXPECT_EQ(rig.report.ListFromDate, 0);
    EXPECT_EQ(rig.builder.Settings.ChartEnd, 20040215);
    EXPECT_EQ(rig.builder.chart().seriesPoints(1).size(), 2u);
    EXPECT_TRUE(rig.builder.chart().style(1).ShowMarkers);

    // Yearly mode: the chosen type, the statistic on the new series and in the footnote.
    rig.host.fromMdy = 0;
    rig.host.toMdy = 0;
    rig.host.answer = AddOrErase::Erase;
    rig.host.options.YearlyMode = true;
    rig.host.options.Annual = 2;
    rig.host.options.ChartType = Chart3DArea;
    rig.host.options.Statistic = StatMean;
    rig.host.options.StatisticName = QStringLiteral("Mean");
    rig.builder.mnuChartItem_Click();
    const ChartDocument& chart = rig.builder.chart();
    EXPECT_EQ(chart.ChartType, Chart3DArea);
    EXPECT_EQ(chart.style(1).StatFlags, StatMean);
    EXPECT_EQ(chart.cell(1, 1), 100.0);
    EXPECT_TRUE(chart.Title.endsWith(QStringLiteral("Investment costs ($)  by year")));
}

TEST(ChartDrawing, StatisticsPercentScalesThinningAndPageFit)
{
    ChartDocument chart;
    ChartSettings s = Element(ElementDistributions);
    AddSeries(chart, s, std::vector<ChartPoint>{{2004, 10}, {2005, 30}}, QStringLiteral(" A "), 1);
    AddSeries(chart, s, std::vector<ChartPoint>{{2004, 40}, {2005, 20}}, QStringLiteral(" B "), 1);

    const auto stats = ComputeStatistics(chart.seriesPoints(1));
    ASSERT_TRUE(stats);
    EXPECT_DOUBLE_EQ(stats->mean, 20);
    EXPECT_DOUBLE_EQ(stats->stdDeviation, 10);
    EXPECT_DOUBLE_EQ(stats->slope, 20);  // rows 1 and 2
    const auto lines = StatisticLines(chart.seriesPoints(1), StatMinimum | StatRegression);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_DOUBLE_EQ(lines[0].y1, 10);
    EXPECT_DOUBLE_EQ(lines[1].y2, 30);

    chart.Scale = ScalePercentChartMax;
    EXPECT_DOUBLE_EQ(*ScaledValue(chart, 1, 1), 25);
    chart.Scale = ScalePercentColumnSum;
    EXPECT_DOUBLE_EQ(*ScaledValue(chart, 1, 1), 20);
    chart.Scale = ScalePercentSeriesSum;
    EXPECT_DOUBLE_EQ(*ScaledValue(chart, 2, 2), 100.0 / 3);
    chart.Scale = ScaleLog10;
    chart.setCell(1, 1, -5);
    EXPECT_FALSE(ScaledValue(chart, 1, 1));

    // 100,000 points thinned to what 500 columns can show, the extremes kept.
    std::vector<ChartDocument::Point> many;
    for (int i = 0; i < 100000; ++i)
        many.push_back({double(i), i == 54321 ? 1e6 : double(i % 7), i + 1});
    const auto thin = ThinForDrawing(many, 500);
    EXPECT_LE(thin.size(), 2000u);
    EXPECT_TRUE(std::any_of(thin.begin(), thin.end(), [](auto& p) { return p.y == 1e6; }));
    EXPECT_EQ(thin.front().x, 0);
    EXPECT_EQ(thin.back().x, 99999);

    // A picture twice as wide as high on a portrait page fills the width.
    const QRectF fit = FitToPage(QSizeF(800, 400), QRectF(10, 20, 600, 900));
    EXPECT_EQ(fit, QRectF(10, 20, 600, 300));
    EXPECT_EQ(FitToPage(QSizeF(100, 400), QRectF(0, 0, 600, 900)), QRectF(0, 0, 225, 900));
}

}  // namespace
}  // namespace brisden::chart
