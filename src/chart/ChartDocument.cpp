#include "chart/ChartDocument.h"

#include "chart/ChartTypes.h"
#include "shell/Settings.h"

#include <algorithm>

namespace brisden::chart {

ChartColours ColoursFromSettings(const QString& chartBackDrop, const QString& plotBackDrop,
                                 const QString& plotWall, const QString& plotBase)
{
    const ChartColours builtIn;
    // A value is read as the text with a trailing "&" (a literal of 32 bits).
    auto read = [](const QString& text, ChartColour fallback) {
        if (text.trimmed().isEmpty())
            return fallback;
        return ChartColour(Settings::ParseColour(text + QLatin1Char('&'), fallback));
    };
    return ChartColours{read(chartBackDrop, builtIn.ChartBackDrop),
                        read(plotBackDrop, builtIn.PlotBackDrop), read(plotWall, builtIn.PlotWall),
                        read(plotBase, builtIn.PlotBase)};
}

void ChartDocument::setRowCount(int rows)
{
    rows = std::max(rows, 0);
    m_rows = rows;
    for (auto& column : m_columns)
        column.resize(size_t(rows));
    while (m_rowLabels.size() < rows)
        m_rowLabels.append(QString());
    while (m_rowLabels.size() > rows)
        m_rowLabels.removeLast();
}

void ChartDocument::setColumnCount(int columns)
{
    columns = std::max(columns, 0);
    m_columns.resize(size_t(columns));
    for (auto& column : m_columns)
        column.resize(size_t(m_rows));
    while (m_columnLabels.size() < columns)
        m_columnLabels.append(QString());
    while (m_columnLabels.size() > columns)
        m_columnLabels.removeLast();
}

std::optional<double> ChartDocument::cell(int row, int column) const
{
    if (row < 1 || row > m_rows || column < 1 || column > columnCount())
        return std::nullopt;
    return m_columns[size_t(column - 1)][size_t(row - 1)];
}

void ChartDocument::setCell(int row, int column, double value)
{
    if (row < 1 || row > m_rows || column < 1 || column > columnCount())
        return;
    m_columns[size_t(column - 1)][size_t(row - 1)] = value;
}

void ChartDocument::setNull(int row, int column)
{
    if (row < 1 || row > m_rows || column < 1 || column > columnCount())
        return;
    m_columns[size_t(column - 1)][size_t(row - 1)].reset();
}

void ChartDocument::insertRow(int row, const QString& label)
{
    row = std::clamp(row, 1, m_rows + 1);
    for (auto& column : m_columns)
        column.insert(column.begin() + (row - 1), std::nullopt);
    m_rowLabels.insert(row - 1, label);
    ++m_rows;
}

QString ChartDocument::rowLabel(int row) const
{
    return row >= 1 && row <= m_rows ? m_rowLabels[row - 1] : QString();
}

void ChartDocument::setRowLabel(int row, const QString& label)
{
    if (row >= 1 && row <= m_rows)
        m_rowLabels[row - 1] = label;
}

QString ChartDocument::columnLabel(int column) const
{
    return column >= 1 && column <= columnCount() ? m_columnLabels[column - 1] : QString();
}

void ChartDocument::setColumnLabel(int column, const QString& label)
{
    if (column >= 1 && column <= columnCount())
        m_columnLabels[column - 1] = label;
}

int ChartDocument::seriesCount() const
{
    return isXY() ? columnCount() / 2 : columnCount();
}

QString ChartDocument::seriesLabel(int series) const
{
    return columnLabel(isXY() ? 2 * series - 1 : series);
}

std::vector<ChartDocument::Point> ChartDocument::seriesPoints(int series) const
{
    std::vector<Point> points;
    if (series < 1 || series > seriesCount())
        return points;
    points.reserve(size_t(m_rows));
    if (isXY()) {
        const auto& xs = m_columns[size_t(2 * series - 2)];
        const auto& ys = m_columns[size_t(2 * series - 1)];
        for (int r = 0; r < m_rows; ++r)
            if (xs[size_t(r)] && ys[size_t(r)])
                points.push_back({*xs[size_t(r)], *ys[size_t(r)], r + 1});
    } else {
        const auto& ys = m_columns[size_t(series - 1)];
        for (int r = 0; r < m_rows; ++r)
            if (ys[size_t(r)])
                points.push_back({double(r + 1), *ys[size_t(r)], r + 1});
    }
    return points;
}

SeriesStyle& ChartDocument::style(int series)
{
    if (series < 1)
        series = 1;
    if (size_t(series) > m_styles.size())
        m_styles.resize(size_t(series));
    return m_styles[size_t(series - 1)];
}

const SeriesStyle& ChartDocument::style(int series) const
{
    static const SeriesStyle none;
    return series >= 1 && size_t(series) <= m_styles.size() ? m_styles[size_t(series - 1)] : none;
}

void ChartDocument::clear()
{
    m_rows = 0;
    m_columns.clear();
    m_rowLabels.clear();
    m_columnLabels.clear();
    m_styles.clear();
}

QString ChartFootnote(const ChartDocument& chart)
{
    QString footnote;
    if (chart.ChartType == Chart2DPie) {
        if (chart.Weighting == PieByArea)
            footnote += QStringLiteral(", weighted by area");
        else if (chart.Weighting == PieByDiameter)
            footnote += QStringLiteral(", weighted by diameter");
    }
    if (chart.Statistic != StatNone) {
        if (!footnote.isEmpty())
            footnote += QLatin1Char('\n');
        footnote += QStringLiteral("Additional line(s) represent ") + chart.StatisticName;
    }
    return footnote;
}

}  // namespace brisden::chart
