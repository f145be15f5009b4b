// The 3D chart types drawn in an oblique projection: categories run to the
// right, values up, and each series has a row of its own going back into the
// picture (series 1 in front), or one row for stacked data. The plot stands
// on a floor (the plot base colour) before two walls (the plot wall colour).

#include "chart/ChartMath.h"
#include "chart/ChartTypes.h"
#include "chart/render/ChartRender.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

namespace brisden::chart {

namespace {

struct ValueScale {
    bool log = false;
    double low = 0, high = 1;  // in drawn units (log10 of the value for the log scale)
    std::vector<double> ticks;  // in drawn units
    double unit(double v) const { return log ? std::log10(std::max(v, 1e-300)) : v; }
};

double NiceStep(double span, int steps)
{
    const double raw = span / std::max(steps, 1);
    const double power = std::pow(10, std::floor(std::log10(raw)));
    const double f = raw / power;
    const double nice = f <= 1 ? 1 : f <= 2 ? 2 : f <= 2.5 ? 2.5 : f <= 5 ? 5 : 10;
    return nice * power;
}

ValueScale MakeScale(double lowest, double highest, bool log)
{
    ValueScale s;
    s.log = log;
    if (log) {
        s.low = std::floor(std::log10(std::max(lowest, 1e-300)));
        s.high = std::ceil(std::log10(std::max(highest, 1e-300)) + 1e-9);
        if (s.high <= s.low)
            s.high = s.low + 1;
        for (double t = s.low; t <= s.high + 1e-9; t += 1)
            s.ticks.push_back(t);
        return s;
    }
    lowest = std::min(lowest, 0.0);
    highest = std::max(highest, 0.0);
    if (highest == lowest)
        highest = lowest + 1;
    const double step = NiceStep(highest - lowest, 6);
    s.low = std::floor(lowest / step) * step;
    s.high = std::ceil(highest / step) * step;
    for (double t = s.low; t <= s.high + step * 1e-6; t += step)
        s.ticks.push_back(std::fabs(t) < step * 1e-9 ? 0 : t);
    return s;
}

QString TickText(const ValueScale& s, double t)
{
    return QString::number(s.log ? std::pow(10, t) : t, 'g', 6);
}

class Projection {
public:
    QRectF front;  // the front plane of the plot
    double dx = 0, dy = 0;  // one depth row back
    int categories = 1;
    ValueScale scale;

    double xAt(double category) const  // category from 0; edges at -0.5 and n - 0.5
    {
        return front.left() + (category + 0.5) / categories * front.width();
    }
    double yAt(double unit) const
    {
        const double f = (unit - scale.low) / (scale.high - scale.low);
        return front.bottom() - std::clamp(f, -0.02, 1.02) * front.height();
    }
    QPointF at(double category, double unit, double depth) const
    {
        return QPointF(xAt(category) + depth * dx, yAt(unit) + depth * dy);
    }
};

QColor Shade(const QColor& c, int factor)
{
    return factor > 100 ? c.lighter(factor) : c.darker(200 - factor);
}

struct Painter3D {
    QPainter& p;
    const ChartDocument& chart;
    const Projection& proj;
    std::vector<SeriesRegion>* regions;

    void face(const QPolygonF& polygon, int series, int shade)
    {
        QBrush brush = SeriesBrush(chart, series);
        if (brush.style() == Qt::SolidPattern) {
            brush.setColor(Shade(brush.color(), shade));
        } else {
            // Patterns on white, so that the faces behind do not show through.
            p.setBrush(Qt::white);
            p.setPen(Qt::NoPen);
            p.drawPolygon(polygon);
        }
        p.setBrush(brush);
        p.setPen(QPen(chart.ColorPen ? Shade(SeriesColour(chart, series), 60) : QColor(Qt::black),
                      0.8));
        p.drawPolygon(polygon);
        if (regions)
            regions->push_back({polygon, series});
    }

    // A box from x0 to x1 (categories), v0 to v1 (units), depth d0 to d1.
    void box(double x0, double x1, double v0, double v1, double d0, double d1, int series)
    {
        const double top = std::max(v0, v1), bottom = std::min(v0, v1);
        face(QPolygonF({proj.at(x1, bottom, d0), proj.at(x1, top, d0), proj.at(x1, top, d1),
                        proj.at(x1, bottom, d1)}),
             series, 70);
        face(QPolygonF({proj.at(x0, top, d0), proj.at(x1, top, d0), proj.at(x1, top, d1),
                        proj.at(x0, top, d1)}),
             series, 125);
        face(QPolygonF({proj.at(x0, bottom, d0), proj.at(x0, top, d0), proj.at(x1, top, d0),
                        proj.at(x1, bottom, d0)}),
             series, 100);
    }

    // A ribbon through the points (category, unit), depth d0 to d1.
    void ribbon(const std::vector<QPointF>& points, double d0, double d1, int series)
    {
        for (size_t i = 0; i + 1 < points.size(); ++i) {
            const QPointF a = points[i], b = points[i + 1];
            face(QPolygonF({proj.at(a.x(), a.y(), d0), proj.at(b.x(), b.y(), d0),
                            proj.at(b.x(), b.y(), d1), proj.at(a.x(), a.y(), d1)}),
                 series, b.y() >= a.y() ? 120 : 85);
        }
        if (points.size() == 1)
            box(points[0].x() - 0.1, points[0].x() + 0.1, points[0].y(), points[0].y(), d0, d1,
                series);
    }

    // An area between the lower and the upper line, depth d0 to d1.
    void area(const std::vector<QPointF>& upper, const std::vector<QPointF>& lower, double d0,
              double d1, int series)
    {
        if (upper.empty())
            return;
        ribbon(upper, d0, d1, series);
        const QPointF last = upper.back(), lastLow = lower.back();
        face(QPolygonF({proj.at(last.x(), lastLow.y(), d0), proj.at(last.x(), last.y(), d0),
                        proj.at(last.x(), last.y(), d1), proj.at(last.x(), lastLow.y(), d1)}),
             series, 70);
        QPolygonF front;
        for (const QPointF& u : upper)
            front << proj.at(u.x(), u.y(), d0);
        for (auto it = lower.rbegin(); it != lower.rend(); ++it)
            front << proj.at(it->x(), it->y(), d0);
        face(front, series, 100);
    }
};

}  // namespace

void Paint3DChart(QPainter& p, const QRectF& rect, const ChartDocument& chart,
                  std::vector<SeriesRegion>* regions)
{
    if (regions)
        regions->clear();
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const QColor back = ToQColor(chart.Colours.ChartBackDrop);
    const QColor text = back.lightness() < 128 ? QColor(Qt::white) : QColor(Qt::black);
    p.fillRect(rect, back);

    const int rows = std::max(chart.rowCount(), 1);
    const int seriesCount = chart.seriesCount();
    const int type = chart.ChartType;
    const bool stacked = chart.Stacked;
    const bool log = chart.Scale == ScaleLog10;

    // Values as drawn: stacked series stand on the ones before them.
    std::vector<std::vector<double>> lower(size_t(seriesCount + 1), std::vector<double>(size_t(rows), 0));
    std::vector<std::vector<double>> upper = lower;
    std::vector<std::vector<bool>> present(size_t(seriesCount + 1), std::vector<bool>(size_t(rows), false));
    double lowest = 0, highest = 0;
    bool any = false;
    for (int r = 1; r <= chart.rowCount(); ++r) {
        double base = 0;
        for (int s = 1; s <= seriesCount; ++s) {
            const auto v = ScaledValue(chart, r, s);
            present[size_t(s)][size_t(r - 1)] = v.has_value();
            const double value = v.value_or(0);
            const double from = stacked ? base : 0;
            lower[size_t(s)][size_t(r - 1)] = from;
            upper[size_t(s)][size_t(r - 1)] = from + value;
            if (stacked)
                base += value;
            if (v) {
                const double top = from + value;
                lowest = any ? std::min(lowest, top) : top;
                highest = any ? std::max(highest, top) : top;
                any = true;
            }
        }
    }
    if (log && (!any || lowest <= 0)) {
        lowest = 1;
        highest = std::max(highest, 10.0);
    }

    // The layout: title on top, legend on the right, footnote below.
    QFont font = p.font();
    const QFontMetricsF fm(font);
    const double line = fm.height();
    double top = rect.top() + 8;
    const QStringList titleLines = chart.Title.split(QLatin1Char('\n'));
    QFont titleFont = font;
    titleFont.setBold(true);
    titleFont.setPointSizeF(font.pointSizeF() * 1.15);
    p.setFont(titleFont);
    p.setPen(text);
    const double titleLine = QFontMetricsF(titleFont).height();
    for (const QString& t : titleLines) {
        if (!chart.Title.isEmpty())
            p.drawText(QRectF(rect.left(), top, rect.width(), titleLine), Qt::AlignCenter, t);
        top += chart.Title.isEmpty() ? 0 : titleLine;
    }
    p.setFont(font);
    const QStringList footLines =
        chart.Footnote.isEmpty() ? QStringList() : chart.Footnote.split(QLatin1Char('\n'));
    double bottom = rect.bottom() - 6 - footLines.size() * line;
    for (int i = 0; i < footLines.size(); ++i)
        p.drawText(QRectF(rect.left() + 10, bottom + i * line, rect.width() - 20, line),
                   Qt::AlignLeft | Qt::AlignVCenter, footLines[i]);

    double legendWidth = 0;
    for (int s = 1; s <= seriesCount; ++s)
        legendWidth = std::max(legendWidth, fm.horizontalAdvance(chart.seriesLabel(s).trimmed()));
    legendWidth = std::min(legendWidth + 34, rect.width() * 0.35);
    const double legendLeft = rect.right() - legendWidth - 6;
    for (int s = 1; s <= seriesCount; ++s) {
        const QRectF swatch(legendLeft, top + 10 + (s - 1) * (line + 4), 14, line - 2);
        p.setBrush(Qt::white);
        p.setPen(Qt::NoPen);
        p.drawRect(swatch);
        p.setBrush(SeriesBrush(chart, s));
        p.setPen(QPen(Qt::black, 0.8));
        p.drawRect(swatch);
        p.setPen(text);
        p.drawText(QRectF(swatch.right() + 6, swatch.top() - 1, legendWidth - 20, line),
                   Qt::AlignLeft | Qt::AlignVCenter,
                   fm.elidedText(chart.seriesLabel(s).trimmed(), Qt::ElideRight, legendWidth - 20));
    }

    Projection proj;
    proj.categories = rows;
    proj.scale = MakeScale(lowest, highest, log);
    double tickWidth = 0;
    for (double t : proj.scale.ticks)
        tickWidth = std::max(tickWidth, fm.horizontalAdvance(TickText(proj.scale, t)));
    const QRectF plot(rect.left() + 2 * line + tickWidth + 12, top + line,
                      legendLeft - (rect.left() + 2 * line + tickWidth + 12) - 12,
                      bottom - top - 3 * line - 10);
    if (plot.width() < 40 || plot.height() < 40) {
        p.restore();
        return;
    }
    p.fillRect(plot.adjusted(-4, -4, 4, 4), ToQColor(chart.Colours.PlotBackDrop));

    const int depthRows = stacked ? 1 : std::max(seriesCount, 1);
    // The depth takes at most a third of the width and of the height.
    const double depthX = std::min(plot.width() * 0.3, plot.width() / rows * 0.6 * depthRows);
    proj.dx = depthX / depthRows;
    proj.dy = -proj.dx * 0.6;
    proj.front = QRectF(plot.left(), plot.top() - proj.dy * depthRows, plot.width() - depthX,
                        plot.height() + proj.dy * depthRows);

    // Floor and walls with the value grid.
    const double lo = proj.scale.low, hi = proj.scale.high;
    const double floorUnit = log ? lo : std::max(lo, std::min(0.0, hi));
    const double D = depthRows;
    p.setPen(QPen(QColor(80, 80, 80), 0.8));
    p.setBrush(ToQColor(chart.Colours.PlotWall));
    p.drawPolygon(QPolygonF({proj.at(-0.5, lo, D), proj.at(-0.5, hi, D),
                             proj.at(rows - 0.5, hi, D), proj.at(rows - 0.5, lo, D)}));
    p.drawPolygon(QPolygonF({proj.at(-0.5, lo, 0), proj.at(-0.5, hi, 0), proj.at(-0.5, hi, D),
                             proj.at(-0.5, lo, D)}));
    p.setBrush(ToQColor(chart.Colours.PlotBase));
    p.drawPolygon(QPolygonF({proj.at(-0.5, lo, 0), proj.at(rows - 0.5, lo, 0),
                             proj.at(rows - 0.5, lo, D), proj.at(-0.5, lo, D)}));
    for (double t : proj.scale.ticks) {
        p.setPen(QPen(QColor(120, 120, 120), 0.6, Qt::DotLine));
        p.drawPolyline(QPolygonF({proj.at(-0.5, t, 0), proj.at(-0.5, t, D),
                                  proj.at(rows - 0.5, t, D)}));
        p.setPen(text);
        const QPointF at = proj.at(-0.5, t, 0);
        p.drawText(QRectF(at.x() - tickWidth - 8, at.y() - line / 2, tickWidth + 2, line),
                   Qt::AlignRight | Qt::AlignVCenter, TickText(proj.scale, t));
    }
    // Category labels along the front edge, thinned when they would collide.
    double labelWidth = 0;
    for (int r = 1; r <= chart.rowCount(); ++r)
        labelWidth = std::max(labelWidth, fm.horizontalAdvance(chart.rowLabel(r).trimmed()));
    const int every = std::max(1, int(std::ceil((labelWidth + 6) / (proj.front.width() / rows))));
    p.setPen(text);
    for (int r = 1; r <= chart.rowCount(); r += every) {
        const QPointF at = proj.at(r - 1, lo, 0);
        p.drawText(QRectF(at.x() - labelWidth, at.y() + 3, 2 * labelWidth, line), Qt::AlignCenter,
                   chart.rowLabel(r).trimmed());
    }
    QFont axisFont = font;
    axisFont.setPointSize(12);
    p.setFont(axisFont);
    p.drawText(QRectF(proj.front.left(), proj.front.bottom() + line + 4, proj.front.width(),
                      QFontMetricsF(axisFont).height()),
               Qt::AlignCenter, chart.CategoryAxisTitle);
    p.setFont(font);
    p.save();
    p.translate(rect.left() + 4, proj.front.center().y());
    p.rotate(-90);
    p.drawText(QRectF(-proj.front.height() / 2, 0, proj.front.height(), line), Qt::AlignCenter,
               chart.ValueAxisTitle.trimmed());
    p.restore();

    // The series, back rows first.
    Painter3D draw{p, chart, proj, regions};
    auto unit = [&](double v) { return proj.scale.unit(v); };
    auto isBar = [&](int s) {
        return type == Chart3DBar || type == Chart3DStep ||
               (type == Chart3DCombination && s % 2 == 1);
    };
    std::vector<int> order;
    for (int s = 1; s <= seriesCount; ++s)
        order.push_back(s);
    if (!stacked)
        std::reverse(order.begin(), order.end());
    std::vector<std::pair<QPointF, QString>> labels;
    for (int s : order) {
        const double row = stacked ? 0 : s - 1;
        const double d0 = row + 0.15, d1 = row + 0.85;
        if (isBar(s)) {
            const double half = type == Chart3DStep ? 0.5 : 0.32;
            for (int r = 0; r < chart.rowCount(); ++r) {
                if (!present[size_t(s)][size_t(r)])
                    continue;
                const double from = log && !stacked ? lo : unit(lower[size_t(s)][size_t(r)]);
                draw.box(r - half, r + half, log && !stacked ? lo : from,
                         unit(upper[size_t(s)][size_t(r)]), d0, d1, s);
            }
        } else {
            std::vector<QPointF> up, down;
            for (int r = 0; r < chart.rowCount(); ++r) {
                if (!present[size_t(s)][size_t(r)] && !stacked)
                    continue;
                up.emplace_back(r, unit(upper[size_t(s)][size_t(r)]));
                down.emplace_back(r, stacked ? unit(lower[size_t(s)][size_t(r)]) : floorUnit);
            }
            if (type == Chart3DArea)
                draw.area(up, down, d0, d1, s);
            else
                draw.ribbon(up, d0, d1, s);
        }
        // Markers on the front edge of lines and areas.
        if (chart.style(s).ShowMarkers && !isBar(s)) {
            p.setBrush(SeriesColour(chart, s));
            p.setPen(QPen(Qt::black, 0.8));
            for (int r = 0; r < chart.rowCount(); ++r)
                if (present[size_t(s)][size_t(r)])
                    p.drawRect(QRectF(proj.at(r, unit(upper[size_t(s)][size_t(r)]), d0) -
                                          QPointF(3, 3),
                                      QSizeF(6, 6)));
        }
        // Statistic lines across the series' row.
        if (const int flags = chart.style(s).StatFlags) {
            std::vector<ChartDocument::Point> points;
            for (int r = 0; r < chart.rowCount(); ++r)
                if (present[size_t(s)][size_t(r)])
                    points.push_back({double(r), upper[size_t(s)][size_t(r)], r + 1});
            for (const StatisticLine& l : StatisticLines(points, flags)) {
                QPen pen(chart.ColorPen ? Shade(SeriesColour(chart, s), 55) : QColor(Qt::black), 2,
                         l.flag == StatRegression ? Qt::DashDotLine : Qt::DashLine);
                p.setPen(pen);
                const double dm = (d0 + d1) / 2;
                p.drawLine(proj.at(l.x1 - 0.45, unit(l.y1), dm), proj.at(l.x2 + 0.45, unit(l.y2), dm));
            }
        }
        // Data-point labels above each value, drawn over every series.
        if (chart.DataPoints != LabelsNone) {
            for (int r = 1; r <= chart.rowCount(); ++r) {
                const auto v = ScaledValue(chart, r, s);
                if (!v)
                    continue;
                double total = 0;
                for (int t = 1; t <= seriesCount; ++t)
                    total += ScaledValue(chart, r, t).value_or(0);
                const QString label = chart.DataPoints == LabelsPercent
                                          ? (total != 0 ? QString::number(*v / total * 100, 'f', 1) +
                                                              QLatin1Char('%')
                                                        : QString())
                                          : QString::number(*v, 'g', 10);
                labels.emplace_back(proj.at(r - 1, unit(upper[size_t(s)][size_t(r - 1)]), d0),
                                    label);
            }
        }
    }
    p.setPen(text);
    for (const auto& [at, label] : labels)
        p.drawText(QRectF(at.x() - 60, at.y() - line - 2, 120, line), Qt::AlignCenter, label);
    p.restore();
}

int SeriesAt(const std::vector<SeriesRegion>& regions, QPointF point)
{
    for (auto it = regions.rbegin(); it != regions.rend(); ++it)
        if (it->polygon.containsPoint(point, Qt::OddEvenFill))
            return it->series;
    return 0;
}

}  // namespace brisden::chart
