#include "chart/ChartOptions.h"

namespace brisden::chart {

bool IsPercentScale(int scale)
{
    return scale >= ScalePercentChartMax && scale <= ScalePercentSeriesSum;
}

const std::vector<ListEntry>& StatisticEntries()
{
    static const std::vector<ListEntry> entries = {
        {QStringLiteral("*None"), StatNone},
        {QStringLiteral("Minimum"), StatMinimum},
        {QStringLiteral("Maximum"), StatMaximum},
        {QStringLiteral("Mean"), StatMean},
        {QStringLiteral("Std Deviation"), StatStdDeviation},
        {QStringLiteral("Regression"), StatRegression},
    };
    return entries;
}

std::vector<ListEntry> YScaleEntries(bool yearlyMode)
{
    std::vector<ListEntry> entries = {
        {QStringLiteral("Linear"), ScaleLinear},
        {QStringLiteral("Logarithmic base 10"), ScaleLog10},
        {QStringLiteral("% of chart max"), ScalePercentChartMax},
        {QStringLiteral("% of column max"), ScalePercentColumnMax},
        {QStringLiteral("% of series max"), ScalePercentSeriesMax},
        {QStringLiteral("% of chart sum"), ScalePercentChartSum},
        {QStringLiteral("% of column sum"), ScalePercentColumnSum},
        {QStringLiteral("% of series sum"), ScalePercentSeriesSum},
    };
    if (!yearlyMode) {
        // The points of an X-Y chart share no columns.
        std::erase_if(entries, [](const ListEntry& e) {
            return e.code == ScalePercentColumnMax || e.code == ScalePercentColumnSum;
        });
    }
    return entries;
}

std::vector<ListEntry> DataPointEntries(bool yearlyMode)
{
    std::vector<ListEntry> entries = {{QStringLiteral("*None"), LabelsNone},
                                      {QStringLiteral("As values"), LabelsValues}};
    if (yearlyMode)
        entries.push_back({QStringLiteral("As percentage"), LabelsPercent});
    return entries;
}

const std::vector<ListEntry>& PieWeightingEntries()
{
    static const std::vector<ListEntry> entries = {{QStringLiteral("*None"), PieNoWeighting},
                                                   {QStringLiteral("By area"), PieByArea},
                                                   {QStringLiteral("By diameter"), PieByDiameter}};
    return entries;
}

}  // namespace brisden::chart
