#pragma once
// Drawing a chart: the flat types with Qt Charts, the 3D types as a projected
// drawing of our own (bars, ribbons, areas and steps with depth, on a floor
// and walls), and a chart put on any paint device (a printed page, an image,
// a PDF or SVG file). The chart's data stays exact; only long X-Y series are
// thinned for drawing.
//
// This folder is its own library (brisden_chartrender, QtGui + Qt Charts) so
// that the desktop program and brisden-cli draw charts the same way while
// the engines stay on QtCore alone.

#include "chart/ChartDocument.h"

#include <QBrush>
#include <QColor>
#include <QPen>
#include <QPolygonF>
#include <QRectF>
#include <QSize>
#include <QString>
#include <vector>

class QPainter;
QT_BEGIN_NAMESPACE
class QChart;
QT_END_NAMESPACE

namespace brisden::chart {

QColor ToQColor(ChartColour colour);
ChartColour FromQColor(const QColor& colour);

// The colour of a series: the one the user chose, else the automatic one.
QColor SeriesColour(const ChartDocument& chart, int series);
// Fill and line of a series: its colour, or black and white with a fill
// pattern (and a line style) of its own.
QBrush SeriesBrush(const ChartDocument& chart, int series);
QPen SeriesPen(const ChartDocument& chart, int series, qreal width = 2);

// The Qt Charts chart of a flat type (1, 3, 5, 7, 9, 14, 16). Every series
// that stands for a series of the chart carries its number in the property
// "chartSeries"; statistic lines carry it too, with "statisticLine" set.
// The caller owns the chart.
QChart* BuildQtChart(const ChartDocument& chart, int thinBuckets = 2000);

// A part of a 3D drawing that belongs to a series (for right clicks).
struct SeriesRegion {
    QPolygonF polygon;
    int series;
};
// Paints a 3D type (0, 2, 4, 6, 8) into the rectangle; regions (optional)
// receive the faces drawn for each series, in drawing order.
void Paint3DChart(QPainter& painter, const QRectF& rect, const ChartDocument& chart,
                  std::vector<SeriesRegion>* regions = nullptr);
// The series drawn on top at a point, 0 when none.
int SeriesAt(const std::vector<SeriesRegion>& regions, QPointF point);

// Draws the chart of any type into target, laid out for the size `layout`
// (the chart as it looks at that size, scaled to the target). Needs a
// QApplication.
void RenderChart(QPainter& painter, const QRectF& target, const ChartDocument& chart,
                 QSize layout);
// Writes the chart to a PNG, PDF or SVG file (by the name's ending) at the
// given size in pixels; false with the reason otherwise.
bool SaveChart(const ChartDocument& chart, const QString& path, QSize size, QString* error);

}  // namespace brisden::chart
