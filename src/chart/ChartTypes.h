#pragma once
// The chart types by their numbers (the numbers are kept in the settings of a
// chart and stepped through by the chart window), their names, and the
// stepping order of the "Previous chart" and "Next chart" commands.

#include <QString>
#include <array>

namespace brisden::chart {

enum ChartTypeCode : int {
    Chart3DBar = 0,
    Chart2DBar = 1,
    Chart3DLine = 2,
    Chart2DLine = 3,
    Chart3DArea = 4,
    Chart2DArea = 5,
    Chart3DStep = 6,
    Chart2DStep = 7,
    Chart3DCombination = 8,
    Chart2DCombination = 9,
    Chart2DPie = 14,
    Chart2DXY = 16,
};

// The category chart types in the order of the chart options' list.
inline constexpr std::array<int, 11> CategoryChartTypes = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 14};

// "3D Bar", ..., "2D Pie", "2D X-Y"; empty for a number that is no type.
QString ChartTypeName(int type);
bool IsChartType(int type);
bool IsThreeD(int type);  // 0, 2, 4, 6, 8

// Next: 0, 1, ..., 9, 14, 0, ...; Previous the other way round.
int NextChartType(int type);
int PreviousChartType(int type);

}  // namespace brisden::chart
