#include "chart/render/ChartRender.h"

#include "chart/ChartMath.h"
#include "chart/ChartTypes.h"

#include <QAreaSeries>
#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QCoreApplication>
#include <QFileInfo>
#include <QGraphicsScene>
#include <QGraphicsSimpleTextItem>
#include <QImage>
#include <QLegendMarker>
#include <QLineSeries>
#include <QLogValueAxis>
#include <QPainter>
#include <QPdfWriter>
#include <QPieSeries>
#include <QPieSlice>
#include <QStackedBarSeries>
#include <QSvgGenerator>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

namespace brisden::chart {

QColor ToQColor(ChartColour colour)
{
    if (colour & 0x80000000u)
        return QColor(Qt::lightGray);  // a system colour: no such thing on a chart here
    return QColor(int(colour & 0xFF), int((colour >> 8) & 0xFF), int((colour >> 16) & 0xFF));
}

ChartColour FromQColor(const QColor& colour)
{
    return ChartColour(colour.red()) | (ChartColour(colour.green()) << 8) |
           (ChartColour(colour.blue()) << 16);
}

namespace {

// Automatic colours: distinct on a grey backdrop and in print.
const QColor AutomaticColours[] = {QColor(0x1f, 0x4e, 0xb4), QColor(0xc0, 0x30, 0x30),
                                   QColor(0x2e, 0x8b, 0x3e), QColor(0xe0, 0x9a, 0x10),
                                   QColor(0x7b, 0x3f, 0xa8), QColor(0x10, 0x9a, 0xa8),
                                   QColor(0x8a, 0x5a, 0x2b), QColor(0xd0, 0x50, 0xa0)};
const Qt::BrushStyle Patterns[] = {Qt::BDiagPattern, Qt::FDiagPattern,  Qt::CrossPattern,
                                   Qt::Dense5Pattern, Qt::DiagCrossPattern, Qt::HorPattern,
                                   Qt::VerPattern,    Qt::Dense3Pattern};
const Qt::PenStyle LineStyles[] = {Qt::SolidLine,   Qt::DashLine,       Qt::DotLine,
                                   Qt::DashDotLine, Qt::DashDotDotLine, Qt::SolidLine,
                                   Qt::DashLine,    Qt::DotLine};

int SlotOf(int series)
{
    return std::max(series - 1, 0) % 8;
}

QColor TextColourOn(const QColor& back)
{
    return back.lightness() < 128 ? QColor(Qt::white) : QColor(Qt::black);
}

QString ValueText(double v)
{
    return QString::number(v, 'g', 10);
}

QString PercentText(double fraction)
{
    return QString::number(fraction * 100, 'f', 1) + QLatin1Char('%');
}

// The value of a cell as drawn, 0 for an empty one.
double Drawn(const ChartDocument& chart, int row, int series)
{
    return ScaledValue(chart, row, series).value_or(0);
}

double RowTotal(const ChartDocument& chart, int row)
{
    double total = 0;
    for (int s = 1; s <= chart.seriesCount(); ++s)
        total += Drawn(chart, row, s);
    return total;
}

// Labels drawn over a chart at data positions, kept in place when the plot
// area moves.
class LabelLayer final : public QObject {
public:
    LabelLayer(QChart* chart, QAbstractSeries* anchor) : QObject(chart), m_chart(chart), m_anchor(anchor)
    {
        connect(chart, &QChart::plotAreaChanged, this, [this] { place(); });
    }
    void add(QPointF value, const QString& text, const QColor& colour)
    {
        auto* item = new QGraphicsSimpleTextItem(text, m_chart);
        item->setBrush(colour);
        item->setZValue(20);
        m_items.push_back({value, item});
    }
    void place()
    {
        for (auto& [value, item] : m_items) {
            const QPointF at = m_chart->mapToPosition(value, m_anchor);
            const QRectF box = item->boundingRect();
            item->setPos(at.x() - box.width() / 2, at.y() - box.height() - 2);
        }
    }

private:
    QChart* m_chart;
    QAbstractSeries* m_anchor;
    std::vector<std::pair<QPointF, QGraphicsSimpleTextItem*>> m_items;
};

void Tag(QAbstractSeries* s, int series, bool statistic = false)
{
    s->setProperty("chartSeries", series);
    if (statistic)
        s->setProperty("statisticLine", true);
}

QAbstractAxis* MakeValueAxis(const ChartDocument& chart, const QColor& text)
{
    QAbstractAxis* axis;
    if (chart.Scale == ScaleLog10) {
        auto* log = new QLogValueAxis;
        log->setBase(10);
        log->setLabelFormat(QStringLiteral("%g"));
        log->setMinorTickCount(-1);
        axis = log;
    } else {
        auto* value = new QValueAxis;
        value->setLabelFormat(QStringLiteral("%.6g"));
        value->setTickCount(7);
        axis = value;
    }
    axis->setTitleText(chart.ValueAxisTitle.trimmed());
    axis->setLabelsColor(text);
    axis->setTitleBrush(text);
    return axis;
}

void HideFromLegend(QChart* qchart, QAbstractSeries* series)
{
    for (QLegendMarker* marker : qchart->legend()->markers(series))
        marker->setVisible(false);
}

void AddStatisticLines(QChart* qchart, const ChartDocument& chart, int series,
                       const std::vector<ChartDocument::Point>& points, QAbstractAxis* x,
                       QAbstractAxis* y, double xOffset)
{
    const int flags = chart.style(series).StatFlags;
    if (flags == StatNone)
        return;
    for (const StatisticLine& line : StatisticLines(points, flags)) {
        auto* s = new QLineSeries;
        s->append(line.x1 + xOffset, line.y1);
        s->append(line.x2 + xOffset, line.y2);
        QPen pen = SeriesPen(chart, series, 1.5);
        pen.setStyle(line.flag == StatRegression ? Qt::DashDotLine : Qt::DashLine);
        if (chart.ColorPen)
            pen.setColor(SeriesColour(chart, series).darker(130));
        s->setPen(pen);
        s->setName(line.name);
        Tag(s, series, true);
        qchart->addSeries(s);
        s->attachAxis(x);
        s->attachAxis(y);
        HideFromLegend(qchart, s);
    }
}

// The scaled points of a category series: X = the category index (0-based).
std::vector<ChartDocument::Point> CategoryPoints(const ChartDocument& chart, int series)
{
    std::vector<ChartDocument::Point> points;
    for (int r = 1; r <= chart.rowCount(); ++r)
        if (const auto v = ScaledValue(chart, r, series))
            points.push_back({double(r - 1), *v, r});
    return points;
}

void BuildPies(QChart* qchart, const ChartDocument& chart, const QColor& text)
{
    const int rows = chart.rowCount();
    const int seriesCount = chart.seriesCount();
    if (rows == 0)
        return;
    double largest = 0;
    std::vector<double> totals(size_t(rows), 0);
    for (int r = 1; r <= rows; ++r) {
        for (int s = 1; s <= seriesCount; ++s)
            totals[size_t(r - 1)] += std::max(0.0, Drawn(chart, r, s));
        largest = std::max(largest, totals[size_t(r - 1)]);
    }
    // One pie per row, side by side in as few lines as fit.
    const int columns = int(std::ceil(std::sqrt(double(rows) * 2)));
    const int lines = (rows + columns - 1) / columns;
    const double cell = std::min(1.0 / columns, 1.0 / lines);
    for (int r = 1; r <= rows; ++r) {
        auto* pie = new QPieSeries;
        pie->setName(chart.rowLabel(r).trimmed());
        const double total = totals[size_t(r - 1)];
        double size = cell * 0.8;
        if (largest > 0 && chart.Weighting == PieByArea)
            size *= std::sqrt(total / largest);
        else if (largest > 0 && chart.Weighting == PieByDiameter)
            size *= total / largest;
        pie->setPieSize(std::max(size, 0.02));
        const int c = (r - 1) % columns;
        const int l = (r - 1) / columns;
        pie->setHorizontalPosition((c + 0.5) / columns);
        pie->setVerticalPosition((l + 0.5) / lines);
        for (int s = 1; s <= seriesCount; ++s) {
            const double v = Drawn(chart, r, s);
            if (v <= 0)
                continue;
            auto* slice = pie->append(chart.seriesLabel(s).trimmed(), v);
            slice->setBrush(SeriesBrush(chart, s));
            slice->setPen(QPen(chart.ColorPen ? SeriesColour(chart, s).darker(150) : Qt::black));
            slice->setProperty("chartSeries", s);
            if (chart.DataPoints != LabelsNone) {
                slice->setLabel(chart.DataPoints == LabelsPercent ? PercentText(v / total)
                                                                  : ValueText(v));
                slice->setLabelVisible(true);
                slice->setLabelColor(text);
            }
        }
        Tag(pie, 0);
        qchart->addSeries(pie);
        // The legend names the series once, from the first pie.
        if (r > 1) {
            HideFromLegend(qchart, pie);
        } else {
            const QList<QLegendMarker*> markers = qchart->legend()->markers(pie);
            const QList<QPieSlice*> slices = pie->slices();
            for (qsizetype i = 0; i < markers.size() && i < slices.size(); ++i)
                markers[i]->setLabel(
                    chart.seriesLabel(slices[i]->property("chartSeries").toInt()).trimmed());
        }
        // The pie's year under it.
        auto* item = new QGraphicsSimpleTextItem(chart.rowLabel(r).trimmed(), qchart);
        item->setBrush(text);
        QObject::connect(qchart, &QChart::plotAreaChanged, qchart, [=](const QRectF& area) {
            const double radius = pie->pieSize() * std::min(area.width(), area.height()) / 2;
            const double cx = area.left() + area.width() * (c + 0.5) / columns;
            const double cy = area.top() + area.height() * (l + 0.5) / lines + radius + 2;
            item->setPos(cx - item->boundingRect().width() / 2, cy);
        });
    }
}

}  // namespace

QColor SeriesColour(const ChartDocument& chart, int series)
{
    if (const auto& own = chart.style(series).Colour)
        return ToQColor(*own);
    return AutomaticColours[SlotOf(series)];
}

QBrush SeriesBrush(const ChartDocument& chart, int series)
{
    if (chart.ColorPen || chart.style(series).Colour)
        return QBrush(SeriesColour(chart, series));
    return QBrush(Qt::black, Patterns[SlotOf(series)]);
}

QPen SeriesPen(const ChartDocument& chart, int series, qreal width)
{
    if (chart.ColorPen || chart.style(series).Colour)
        return QPen(SeriesColour(chart, series), width);
    QPen pen(Qt::black, width);
    pen.setStyle(LineStyles[SlotOf(series)]);
    return pen;
}

QChart* BuildQtChart(const ChartDocument& chart, int thinBuckets)
{
    auto* qchart = new QChart;
    const QColor back = ToQColor(chart.Colours.ChartBackDrop);
    const QColor text = TextColourOn(back);
    qchart->setBackgroundBrush(back);
    qchart->setBackgroundRoundness(0);
    qchart->setPlotAreaBackgroundBrush(ToQColor(chart.Colours.PlotBackDrop));
    qchart->setPlotAreaBackgroundVisible(true);
    // The title's blanks are part of its layout.
    qchart->setTitle(chart.Title.toHtmlEscaped()
                         .replace(QLatin1Char(' '), QLatin1String("&nbsp;"))
                         .replace(QLatin1Char('\n'), QLatin1String("<br>")));
    qchart->setTitleBrush(text);
    QFont titleFont = qchart->titleFont();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.15);
    titleFont.setBold(true);
    qchart->setTitleFont(titleFont);
    qchart->legend()->setAlignment(Qt::AlignBottom);
    qchart->legend()->setLabelColor(text);
    qchart->setAnimationOptions(QChart::NoAnimation);

    // The footnote in the bottom margin, at the left.
    if (!chart.Footnote.isEmpty()) {
        auto* footnote = new QGraphicsSimpleTextItem(chart.Footnote, qchart);
        footnote->setBrush(text);
        QMargins margins = qchart->margins();
        margins.setBottom(margins.bottom() + int(footnote->boundingRect().height()) + 4);
        qchart->setMargins(margins);
        QObject::connect(qchart, &QGraphicsWidget::geometryChanged, qchart, [qchart, footnote] {
            const QRectF box = footnote->boundingRect();
            footnote->setPos(12, qchart->size().height() - box.height() - 8);
        });
    }

    const int seriesCount = chart.seriesCount();
    const int type = chart.ChartType;

    if (type == Chart2DPie) {
        BuildPies(qchart, chart, text);
        return qchart;
    }

    QAbstractAxis* yAxis = MakeValueAxis(chart, text);
    QAbstractAxis* xAxis = nullptr;
    if (type == Chart2DXY) {
        auto* x = new QValueAxis;
        x->setLabelFormat(QStringLiteral("%.6g"));
        x->setTickCount(7);
        xAxis = x;
    } else {
        auto* x = new QBarCategoryAxis;
        QStringList categories;
        for (int r = 1; r <= chart.rowCount(); ++r)
            categories << chart.rowLabel(r).trimmed();
        x->append(categories);
        xAxis = x;
    }
    xAxis->setTitleText(chart.CategoryAxisTitle);
    QFont axisTitleFont = xAxis->titleFont();
    axisTitleFont.setPointSize(12);
    xAxis->setTitleFont(axisTitleFont);
    xAxis->setLabelsColor(text);
    xAxis->setTitleBrush(text);
    qchart->addAxis(xAxis, Qt::AlignBottom);
    qchart->addAxis(yAxis, Qt::AlignLeft);

    auto attach = [&](QAbstractSeries* s) {
        qchart->addSeries(s);
        s->attachAxis(xAxis);
        s->attachAxis(yAxis);
    };
    double lowest = 0, highest = 0;  // the value range (category charts start at zero)
    bool anyValue = false;
    auto seen = [&](double v) {
        lowest = anyValue ? std::min(lowest, v) : v;
        highest = anyValue ? std::max(highest, v) : v;
        anyValue = true;
    };

    if (type == Chart2DXY) {
        double xLow = 0, xHigh = 0;
        bool anyX = false;
        for (int s = 1; s <= seriesCount; ++s) {
            std::vector<ChartDocument::Point> points;
            for (const auto& p : chart.seriesPoints(s))
                if (const auto v = ScaledValue(chart, p.row, s))
                    points.push_back({p.x, *v, p.row});
            const auto drawn = ThinForDrawing(points, thinBuckets);
            auto* line = new QLineSeries;
            QList<QPointF> list;
            list.reserve(qsizetype(drawn.size()));
            for (const auto& p : drawn) {
                list.append(QPointF(p.x, p.y));
                seen(p.y);
                xLow = anyX ? std::min(xLow, p.x) : p.x;
                xHigh = anyX ? std::max(xHigh, p.x) : p.x;
                anyX = true;
            }
            line->replace(list);
            line->setName(chart.seriesLabel(s).trimmed());
            line->setPen(SeriesPen(chart, s));
            line->setColor(line->pen().color());
            if (chart.style(s).ShowMarkers) {
                line->setPointsVisible(true);
                line->setMarkerSize(6);
            }
            if (chart.DataPoints == LabelsValues && drawn.size() <= 400) {
                line->setPointLabelsFormat(QStringLiteral("@yPoint"));
                line->setPointLabelsVisible(true);
                line->setPointLabelsColor(text);
                line->setPointLabelsClipping(false);
            }
            Tag(line, s);
            attach(line);
        }
        if (anyX) {
            // Whole years on the time axis, at most a dozen labels.
            double from = std::floor(xLow), to = std::ceil(xHigh);
            if (to <= from)
                to = from + 1;
            double step = 1;
            for (double candidate : {1.0, 2.0, 5.0, 10.0, 20.0, 50.0, 100.0}) {
                step = candidate;
                if ((to - from) / step <= 12)
                    break;
            }
            from = std::floor(from / step) * step;
            to = std::ceil(to / step) * step;
            auto* x = static_cast<QValueAxis*>(xAxis);
            x->setRange(from, to);
            x->setTickCount(int(std::lround((to - from) / step)) + 1);
            x->setLabelFormat(QStringLiteral("%.0f"));
        }
    } else {
        const int rows = chart.rowCount();
        // Which series are bars: all of a bar chart, every other one of a combination.
        auto isBar = [&](int s) {
            return type == Chart2DBar || (type == Chart2DCombination && s % 2 == 1);
        };
        std::vector<double> stackBase(size_t(rows), 0);
        QAbstractBarSeries* bars = nullptr;
        int barCount = 0;
        for (int s = 1; s <= seriesCount; ++s)
            barCount += isBar(s) ? 1 : 0;
        if (barCount > 0) {
            if (chart.Stacked)
                bars = new QStackedBarSeries;
            else
                bars = new QBarSeries;
            bars->setBarWidth(0.8);
            // Bars first, so that the lines of a combination are drawn over them.
            Tag(bars, 0);
            attach(bars);
        }
        LabelLayer* labels = nullptr;
        QAbstractSeries* anchor = nullptr;
        std::vector<std::tuple<QPointF, QString, QColor>> pendingLabels;
        int barIndex = 0;
        for (int s = 1; s <= seriesCount; ++s) {
            const auto points = CategoryPoints(chart, s);
            if (isBar(s)) {
                auto* set = new QBarSet(chart.seriesLabel(s).trimmed());
                set->setBrush(SeriesBrush(chart, s));
                set->setPen(QPen(chart.ColorPen ? SeriesColour(chart, s).darker(150)
                                                : QColor(Qt::black)));
                set->setProperty("chartSeries", s);
                for (int r = 1; r <= rows; ++r) {
                    const double v = Drawn(chart, r, s);
                    set->append(v);
                    const double top = chart.Stacked ? stackBase[size_t(r - 1)] + v : v;
                    seen(top);
                    if (chart.DataPoints != LabelsNone && ScaledValue(chart, r, s)) {
                        const double total = RowTotal(chart, r);
                        const double offset =
                            chart.Stacked ? 0 : -0.4 + (barIndex + 0.5) * 0.8 / barCount;
                        pendingLabels.emplace_back(
                            QPointF(r - 1 + offset, top),
                            chart.DataPoints == LabelsPercent
                                ? (total != 0 ? PercentText(v / total) : QString())
                                : ValueText(v),
                            text);
                    }
                    if (chart.Stacked)
                        stackBase[size_t(r - 1)] += v;
                }
                bars->append(set);
                ++barIndex;
            } else {
                // Lines, areas and steps: stacked ones stand on the series before them.
                std::vector<double> lower(size_t(rows), 0), upper(size_t(rows), 0);
                for (int r = 1; r <= rows; ++r) {
                    const double v = Drawn(chart, r, s);
                    lower[size_t(r - 1)] = chart.Stacked ? stackBase[size_t(r - 1)] : 0;
                    upper[size_t(r - 1)] = lower[size_t(r - 1)] + v;
                    if (chart.Stacked)
                        stackBase[size_t(r - 1)] = upper[size_t(r - 1)];
                    seen(upper[size_t(r - 1)]);
                    if (chart.DataPoints != LabelsNone && ScaledValue(chart, r, s)) {
                        const double total = RowTotal(chart, r);
                        pendingLabels.emplace_back(
                            QPointF(r - 1, upper[size_t(r - 1)]),
                            chart.DataPoints == LabelsPercent
                                ? (total != 0 ? PercentText(v / total) : QString())
                                : ValueText(v),
                            text);
                    }
                }
                auto* line = new QLineSeries;
                auto* base = type == Chart2DArea ? new QLineSeries : nullptr;
                for (int r = 1; r <= rows; ++r) {
                    if (!chart.Stacked && type != Chart2DArea && !ScaledValue(chart, r, s))
                        continue;  // an empty cell is no point of a line
                    const double x = r - 1;
                    if (type == Chart2DStep) {
                        line->append(x - 0.5, upper[size_t(r - 1)]);
                        line->append(x + 0.5, upper[size_t(r - 1)]);
                    } else {
                        line->append(x, upper[size_t(r - 1)]);
                        if (base)
                            base->append(x, lower[size_t(r - 1)]);
                    }
                }
                const QString name = chart.seriesLabel(s).trimmed();
                if (base) {
                    auto* area = new QAreaSeries(line, base);
                    // The area does not own its two lines.
                    line->setParent(area);
                    base->setParent(area);
                    area->setName(name);
                    QBrush brush = SeriesBrush(chart, s);
                    if (chart.ColorPen && !chart.Stacked) {
                        QColor c = brush.color();
                        c.setAlpha(170);
                        brush.setColor(c);
                    }
                    area->setBrush(brush);
                    area->setPen(QPen(chart.ColorPen ? SeriesColour(chart, s).darker(150)
                                                     : QColor(Qt::black),
                                      1.5));
                    area->setPointsVisible(chart.style(s).ShowMarkers);
                    Tag(area, s);
                    attach(area);
                    anchor = anchor ? anchor : area;
                } else {
                    line->setName(name);
                    line->setPen(SeriesPen(chart, s, type == Chart2DStep ? 2.5 : 2));
                    if (chart.style(s).ShowMarkers && type != Chart2DStep) {
                        line->setPointsVisible(true);
                        line->setMarkerSize(7);
                    }
                    Tag(line, s);
                    attach(line);
                    anchor = anchor ? anchor : line;
                }
            }
        }
        if (bars)
            anchor = anchor ? anchor : bars;
        for (int s = 1; s <= seriesCount; ++s)
            AddStatisticLines(qchart, chart, s, CategoryPoints(chart, s), xAxis, yAxis, 0);
        if (!pendingLabels.empty() && anchor) {
            labels = new LabelLayer(qchart, anchor);
            for (const auto& [at, label, colour] : pendingLabels)
                labels->add(at, label, colour);
        }
        if (chart.Scale != ScaleLog10)
            seen(0);  // bars and areas stand on zero
    }
    if (type == Chart2DXY) {
        for (int s = 1; s <= seriesCount; ++s) {
            std::vector<ChartDocument::Point> points;
            for (const auto& p : chart.seriesPoints(s))
                if (const auto v = ScaledValue(chart, p.row, s))
                    points.push_back({p.x, *v, p.row});
            AddStatisticLines(qchart, chart, s, points, xAxis, yAxis, 0);
        }
    }

    if (anyValue) {
        if (auto* value = qobject_cast<QValueAxis*>(yAxis)) {
            const double span = highest - lowest;
            const double pad = span > 0 ? span * 0.05 : std::max(1.0, std::fabs(highest) * 0.1);
            value->setRange(lowest < 0 || type == Chart2DXY ? lowest - pad : lowest,
                            highest + pad);
            value->applyNiceNumbers();
        } else if (auto* log = qobject_cast<QLogValueAxis*>(yAxis)) {
            if (lowest > 0)
                log->setRange(std::pow(10, std::floor(std::log10(lowest))),
                              std::pow(10, std::ceil(std::log10(highest) + 1e-9)));
        }
    }
    return qchart;
}

void RenderChart(QPainter& painter, const QRectF& target, const ChartDocument& chart,
                 QSize layout)
{
    if (IsThreeD(chart.ChartType)) {
        painter.save();
        painter.translate(target.topLeft());
        painter.scale(target.width() / layout.width(), target.height() / layout.height());
        Paint3DChart(painter, QRectF(QPointF(0, 0), QSizeF(layout)), chart);
        painter.restore();
        return;
    }
    QGraphicsScene scene;
    QChart* qchart = BuildQtChart(chart);
    scene.addItem(qchart);
    const QRectF source(QPointF(0, 0), QSizeF(layout));
    qchart->setGeometry(source);
    // The chart lays itself out on posted events.
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(target, ToQColor(chart.Colours.ChartBackDrop));
    scene.render(&painter, target, source, Qt::IgnoreAspectRatio);
    painter.restore();
}

bool SaveChart(const ChartDocument& chart, const QString& path, QSize size, QString* error)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    const QRectF area(QPointF(0, 0), QSizeF(size));
    if (suffix == QLatin1String("png")) {
        QImage image(size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::white);
        {
            QPainter painter(&image);
            painter.setRenderHint(QPainter::Antialiasing);
            RenderChart(painter, area, chart, size);
        }
        if (!image.save(path, "PNG")) {
            if (error)
                *error = QStringLiteral("cannot write \"%1\"").arg(path);
            return false;
        }
        return true;
    }
    if (suffix == QLatin1String("pdf")) {
        QPdfWriter writer(path);
        writer.setPageSize(QPageSize(QSizeF(size) * 72.0 / 96.0, QPageSize::Point));
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        writer.setResolution(96);
        writer.setTitle(QStringLiteral("Brisden chart"));
        QPainter painter;
        if (!painter.begin(&writer)) {
            if (error)
                *error = QStringLiteral("cannot write \"%1\"").arg(path);
            return false;
        }
        RenderChart(painter, QRectF(QPointF(0, 0), QSizeF(writer.width(), writer.height())),
                    chart, size);
        painter.end();
        return true;
    }
    if (suffix == QLatin1String("svg")) {
        QSvgGenerator generator;
        generator.setFileName(path);
        generator.setSize(size);
        generator.setViewBox(area);
        generator.setTitle(QStringLiteral("Brisden chart"));
        QPainter painter;
        if (!painter.begin(&generator)) {
            if (error)
                *error = QStringLiteral("cannot write \"%1\"").arg(path);
            return false;
        }
        RenderChart(painter, area, chart, size);
        painter.end();
        return true;
    }
    if (error)
        *error = QStringLiteral("\"%1\": the chart is written as .png, .pdf or .svg").arg(path);
    return false;
}

}  // namespace brisden::chart
