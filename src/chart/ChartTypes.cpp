#include "chart/ChartTypes.h"

namespace brisden::chart {

QString ChartTypeName(int type)
{
    switch (type) {
        case Chart3DBar:
            return QStringLiteral("3D Bar");
        case Chart2DBar:
            return QStringLiteral("2D Bar");
        case Chart3DLine:
            return QStringLiteral("3D Line");
        case Chart2DLine:
            return QStringLiteral("2D Line");
        case Chart3DArea:
            return QStringLiteral("3D Area");
        case Chart2DArea:
            return QStringLiteral("2D Area");
        case Chart3DStep:
            return QStringLiteral("3D Step");
        case Chart2DStep:
            return QStringLiteral("2D Step");
        case Chart3DCombination:
            return QStringLiteral("3D Combination");
        case Chart2DCombination:
            return QStringLiteral("2D Combination");
        case Chart2DPie:
            return QStringLiteral("2D Pie");
        case Chart2DXY:
            return QStringLiteral("2D X-Y");
        default:
            return QString();
    }
}

bool IsChartType(int type)
{
    return !ChartTypeName(type).isEmpty();
}

bool IsThreeD(int type)
{
    return type >= 0 && type <= 8 && type % 2 == 0;
}

int NextChartType(int type)
{
    int t = type + 1;
    if (t == 10)
        t = 14;
    if (t == 15)
        t = 0;
    return t;
}

int PreviousChartType(int type)
{
    int t = type - 1;
    if (t == 13)
        t = 9;
    if (t == -1)
        t = 14;
    return t;
}

}  // namespace brisden::chart
