#include "import/widgets/ImportPreviewModel.h"

#include <QBrush>
#include <QColor>

namespace brisden {

ImportPreviewModel::ImportPreviewModel(const QLocale& locale, QObject* parent)
    : QAbstractTableModel(parent), m_locale(locale)
{
}

void ImportPreviewModel::setPreview(ImportPreview preview)
{
    beginResetModel();
    m_preview = std::move(preview);
    m_selection.lineChoice.clear();
    endResetModel();
    emit selectionChanged();
}

void ImportPreviewModel::setLeaveOutDuplicates(bool leaveOut)
{
    m_selection.leaveOutDuplicates = leaveOut;
    for (const PreviewLine& line : m_preview.lines)
        if (line.duplicate)
            m_selection.lineChoice.erase(line.lineNumber);
    if (!m_preview.lines.empty())
        emit dataChanged(index(0, ImportColumn), index(rowCount() - 1, ColumnCount - 1));
    emit selectionChanged();
}

bool ImportPreviewModel::imported(int row) const
{
    const PreviewLine& line = m_preview.lines.at(std::size_t(row));
    return !line.refused() && m_selection.imports(line.lineNumber, line.duplicate);
}

int ImportPreviewModel::importedCount() const
{
    int n = 0;
    for (int row = 0; row < rowCount(); ++row)
        n += imported(row) ? 1 : 0;
    return n;
}

int ImportPreviewModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_preview.lines.size());
}

int ImportPreviewModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QString ImportPreviewModel::number(double value) const
{
    // In full, as stored; no grouping so that the figures line up with the source.
    QLocale plain = m_locale;
    plain.setNumberOptions(QLocale::OmitGroupSeparator);
    return plain.toString(value, 'g', 12);
}

QString ImportPreviewModel::note(int row) const
{
    const PreviewLine& line = m_preview.lines.at(std::size_t(row));
    const ImportLineResult& r = line.result;
    QStringList notes;
    if (line.refused()) {
        const QString prefix = QStringLiteral("Line %1: ").arg(line.lineNumber);
        for (const QString& message : r.messages)
            if (message.startsWith(prefix)) {
                QString reason = message.mid(prefix.size());
                const QString tail = QStringLiteral(", the line was not imported");
                if (reason.endsWith(tail))
                    reason.chop(tail.size());
                notes << QStringLiteral("Refused: ") + reason;
            }
        if (r.invalidDate)
            notes << QStringLiteral("the date is not valid either");
    } else if (r.invalidDate) {
        notes << QStringLiteral("Invalid date: stored with %1 as its date").arg(line.lineNumber);
    }
    if (line.duplicate)
        notes << QStringLiteral("Probably already in the file");
    return notes.join(QStringLiteral("; "));
}

QVariant ImportPreviewModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const PreviewLine& line = m_preview.lines.at(std::size_t(index.row()));
    const TransactionRecord& rec = line.result.record;
    const int column = index.column();

    if (role == Qt::CheckStateRole && column == ImportColumn)
        return imported(index.row()) ? Qt::Checked : Qt::Unchecked;
    if (role == Qt::ToolTipRole) {
        // The note in full where the column cuts it; elsewhere the line as written.
        const QString text = column == NoteColumn ? note(index.row()) : QString();
        return text.isEmpty() ? line.text : text;
    }
    if (role == Qt::TextAlignmentRole) {
        const bool right = column == LineColumn || column == AmountColumn ||
                           column == PriceColumn || column == SharesColumn;
        return QVariant::fromValue(Qt::AlignVCenter | (right ? Qt::AlignRight : Qt::AlignLeft));
    }
    if (role == Qt::ForegroundRole) {
        if (line.refused())
            return QBrush(QColor(0x80, 0x80, 0x80));
        if (line.result.invalidDate && column == DateColumn)
            return QBrush(QColor(0xB0, 0x00, 0x00));
        return {};
    }
    if (role == Qt::BackgroundRole) {
        if (line.refused())
            return QBrush(QColor(0xF6, 0xDE, 0xDE));
        if (line.duplicate)
            return QBrush(QColor(0xFF, 0xF2, 0xC0));
        return {};
    }
    if (role != Qt::DisplayRole)
        return {};
    switch (column) {
        case LineColumn:
            return line.lineNumber;
        case DateColumn:
            return line.refused() ? QString() : PreviewDateText(line.result);
        case DescColumn:
            return line.refused() ? QString() : rec.descText();
        case AmountColumn:
            return line.refused() ? QString() : number(rec.Amount);
        case PriceColumn:
            return line.refused() ? QString() : number(rec.SharePrice);
        case SharesColumn:
            return line.refused() ? QString() : number(rec.Shares);
        case NoteColumn:
            return note(index.row());
        default:
            return {};
    }
}

bool ImportPreviewModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!index.isValid() || index.column() != ImportColumn || role != Qt::CheckStateRole)
        return false;
    const PreviewLine& line = m_preview.lines.at(std::size_t(index.row()));
    if (line.refused())
        return false;
    const bool import = value.value<Qt::CheckState>() == Qt::Checked;
    // A choice that agrees with the general rule is no choice of its own.
    if (import == !(line.duplicate && m_selection.leaveOutDuplicates))
        m_selection.lineChoice.erase(line.lineNumber);
    else
        m_selection.lineChoice[line.lineNumber] = import;
    emit dataChanged(index, index, {Qt::CheckStateRole});
    emit selectionChanged();
    return true;
}

Qt::ItemFlags ImportPreviewModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (index.column() == ImportColumn && !m_preview.lines.at(std::size_t(index.row())).refused())
        f |= Qt::ItemIsUserCheckable;
    return f;
}

QVariant ImportPreviewModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    static const char* const captions[ColumnCount] = {
        "Import", "Line", "Date", "Description", "Amount", "Price", "Shares", "Note"};
    return section >= 0 && section < ColumnCount ? QString::fromLatin1(captions[section])
                                                 : QVariant();
}

}  // namespace brisden
