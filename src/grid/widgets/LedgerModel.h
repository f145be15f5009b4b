#pragma once
// The ledger grid's rows and columns for the table view: one compact row per
// listing row, cell texts made when a cell is drawn. Rows appended during a
// listing reach the view in batches (publish), so that a long listing does not
// announce its rows one by one.

#include "data/Dates.h"
#include "grid/GridLayout.h"
#include "grid/LedgerRows.h"

#include <QAbstractTableModel>
#include <QColor>
#include <array>
#include <vector>

namespace brisden::grid {

class LedgerModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    // Role of the row data (record number; 0 for rows without a record).
    static constexpr int RowDataRole = Qt::UserRole + 1;
    // Role of the column data (0 editable, -1 not), asked of the horizontal header.
    static constexpr int ColumnDataRole = Qt::UserRole + 2;

    LedgerModel(const Calendar& calendar, QObject* parent = nullptr);

    const Calendar& calendar() const { return m_calendar; }
    // The format of the date column (GridDateFormat of the calendar's locale).
    const QString& dateFormat() const { return m_dateFormat; }

    // The column order; resets the model.
    void setRecordTypePosition(int RTColPos);
    int recordTypePosition() const { return m_RTColPos; }
    Field fieldAt(int column) const { return m_layout[size_t(column)].field; }
    const GridColumn& gridColumn(int column) const { return m_layout[size_t(column)]; }

    struct Colours {
        QColor fore;
        QColor negative;
        QColor ambiguous;
    };
    void setColours(const Colours& colours);
    const Colours& colours() const { return m_colours; }

    // Keeps only the header row.
    void clear();
    void reserve(size_t rows) { m_rows.reserve(rows); }
    // Appends a row (not yet shown); returns its row number as the grid counts
    // rows, the header being row 0.
    int appendRow(const GridRow& row);
    // Shows the rows appended since the last publish.
    void publish();
    size_t storedRows() const { return m_rows.size(); }
    const GridRow& row(int r) const { return m_rows[size_t(r)]; }
    // Row data of a row: the record number, 0 for a row without a record
    // (and out of range), -1 for the closing row, which is no transaction.
    std::int32_t rowData(int r) const;
    // Counts the listings: rows keep their places until the next one.
    int generation() const { return m_generation; }

    // Edits between listings (never while a listing runs).
    void setRow(int r, const GridRow& row);
    // Inserts rows as they were (undo of a deletion).
    void insertGridRow(int r, const GridRow& row);
    // Inserts empty rows without records; removes rows.
    bool insertRows(int row, int count, const QModelIndex& parent = QModelIndex()) override;
    bool removeRows(int row, int count, const QModelIndex& parent = QModelIndex()) override;
    // The text a cell shows.
    QString cellText(int r, int column) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    const Calendar& m_calendar;
    QString m_dateFormat;
    int m_RTColPos = 1;
    std::array<GridColumn, ColumnCount> m_layout;
    Colours m_colours;
    std::vector<GridRow> m_rows;
    int m_shown = 0;
    int m_generation = 0;
};

}  // namespace brisden::grid
