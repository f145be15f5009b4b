#include "grid/widgets/LedgerModel.h"

#include <QBrush>

namespace brisden::grid {

namespace {

Qt::Alignment ToQt(Align align)
{
    switch (align) {
        case Align::Left:
            return Qt::AlignLeft | Qt::AlignVCenter;
        case Align::Centre:
            return Qt::AlignHCenter | Qt::AlignVCenter;
        case Align::Right:
            return Qt::AlignRight | Qt::AlignVCenter;
    }
    return Qt::AlignLeft | Qt::AlignVCenter;
}

}  // namespace

LedgerModel::LedgerModel(const Calendar& calendar, QObject* parent)
    : QAbstractTableModel(parent),
      m_calendar(calendar),
      m_dateFormat(GridDateFormat(calendar.locale)),
      m_layout(ColumnLayout(1))
{
    m_colours.fore = Qt::black;
    m_colours.negative = Qt::red;
    m_colours.ambiguous = QColor(0xFF, 0xFF, 0xB4);
}

void LedgerModel::setRecordTypePosition(int RTColPos)
{
    beginResetModel();
    m_RTColPos = RecordTypeFirst(RTColPos) ? 1 : 0;
    m_layout = ColumnLayout(m_RTColPos);
    endResetModel();
}

void LedgerModel::setColours(const Colours& colours)
{
    m_colours = colours;
    if (m_shown > 0)
        emit dataChanged(index(0, 0), index(m_shown - 1, ColumnCount - 1),
                         {Qt::ForegroundRole, Qt::BackgroundRole});
}

void LedgerModel::clear()
{
    // Rows are removed rather than the model reset, so that the views keep
    // their column widths.
    ++m_generation;
    if (m_shown > 0) {
        beginRemoveRows(QModelIndex(), 0, m_shown - 1);
        std::vector<GridRow>().swap(m_rows);
        m_shown = 0;
        endRemoveRows();
    } else {
        std::vector<GridRow>().swap(m_rows);
    }
}

int LedgerModel::appendRow(const GridRow& row)
{
    m_rows.push_back(row);
    return int(m_rows.size());
}

void LedgerModel::publish()
{
    const int total = int(m_rows.size());
    if (total <= m_shown)
        return;
    beginInsertRows(QModelIndex(), m_shown, total - 1);
    m_shown = total;
    endInsertRows();
}

std::int32_t LedgerModel::rowData(int r) const
{
    if (r < 0 || r >= m_shown)
        return 0;
    const GridRow& row = m_rows[size_t(r)];
    return row.closing() ? -1 : row.RecNo;
}

void LedgerModel::setRow(int r, const GridRow& row)
{
    if (r < 0 || r >= m_shown)
        return;
    m_rows[size_t(r)] = row;
    emit dataChanged(index(r, 0), index(r, ColumnCount - 1));
}

void LedgerModel::insertGridRow(int r, const GridRow& row)
{
    if (!insertRows(r, 1))
        return;
    m_rows[size_t(r)] = row;
}

bool LedgerModel::insertRows(int row, int count, const QModelIndex& parent)
{
    if (parent.isValid() || count < 1 || row < 0 || row > m_shown || m_shown != int(m_rows.size()))
        return false;
    beginInsertRows(QModelIndex(), row, row + count - 1);
    m_rows.insert(m_rows.begin() + row, size_t(count), BlankGridRow());
    m_shown += count;
    endInsertRows();
    return true;
}

bool LedgerModel::removeRows(int row, int count, const QModelIndex& parent)
{
    if (parent.isValid() || count < 1 || row < 0 || row + count > m_shown ||
        m_shown != int(m_rows.size()))
        return false;
    beginRemoveRows(QModelIndex(), row, row + count - 1);
    m_rows.erase(m_rows.begin() + row, m_rows.begin() + row + count);
    m_shown -= count;
    endRemoveRows();
    return true;
}

QString LedgerModel::cellText(int r, int column) const
{
    if (r < 0 || r >= int(m_rows.size()) || column < 0 || column >= ColumnCount)
        return QString();
    return CellText(m_rows[size_t(r)], fieldAt(column), m_calendar, m_dateFormat);
}

int LedgerModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_shown;
}

int LedgerModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant LedgerModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_shown || index.column() >= ColumnCount)
        return QVariant();
    const GridRow& r = m_rows[size_t(index.row())];
    const Field field = fieldAt(index.column());
    switch (role) {
        case Qt::DisplayRole:
            return CellText(r, field, m_calendar, m_dateFormat);
        case Qt::TextAlignmentRole:
            return QVariant::fromValue(ToQt(m_layout[size_t(index.column())].align));
        case Qt::ForegroundRole:
            if (CellIsNegative(r, field))
                return QBrush(m_colours.negative);
            return QVariant();
        case Qt::BackgroundRole:
            if (r.suspect() && IsMarkedField(field))
                return QBrush(m_colours.ambiguous);
            return QVariant();
        case RowDataRole:
            return rowData(index.row());
        default:
            return QVariant();
    }
}

QVariant LedgerModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Vertical) {
        // The row headers are only a handle for changing a row's height.
        if (role == Qt::DisplayRole)
            return QString();
        return QVariant();
    }
    if (section < 0 || section >= ColumnCount)
        return QVariant();
    const GridColumn& column = m_layout[size_t(section)];
    switch (role) {
        case Qt::DisplayRole:
            return QString::fromLatin1(column.header);
        case Qt::TextAlignmentRole:
            return QVariant::fromValue(ToQt(column.align));
        case ColumnDataRole:
            return column.editable ? 0 : -1;
        default:
            return QVariant();
    }
}

Qt::ItemFlags LedgerModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    // The cell editor writes the record itself; the flag tells which cells it takes.
    if (gridColumn(index.column()).editable && rowData(index.row()) >= 0)
        f |= Qt::ItemIsEditable;
    return f;
}

}  // namespace brisden::grid
