#pragma once
// The ledger grid of the main window: a table view over LedgerModel with the
// fixed (non-scrolling) columns at its left drawn by a second view laid over
// it, the colours, line width and font of the settings, the data row height,
// remembered column widths and rows hidden by record type.

#include "grid/GridLayout.h"
#include "grid/widgets/LedgerModel.h"

#include <QColor>
#include <QFont>
#include <QHeaderView>
#include <QStyledItemDelegate>
#include <QTableView>
#include <array>

namespace brisden::grid {

struct GridAppearance {
    QColor fore = Qt::black;
    QColor back = Qt::white;
    QColor fixed = Qt::lightGray;
    QColor line = Qt::lightGray;
    QColor current = QColor(0x80, 0xFF, 0x80);
    int lineWidth = 1;  // pixels; 0 draws no lines
    QFont font;
};

// Draws a cell on its background (the fixed colour in fixed columns unless
// the cell has its own) and the grid lines at its right and bottom edges.
class GridCellDelegate final : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void setFixedBackground(const QColor& colour) { m_fixed = colour; }
    void setLines(const QColor& colour, int width)
    {
        m_lineColour = colour;
        m_lineWidth = width;
    }
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;

private:
    QColor m_fixed;
    QColor m_lineColour = Qt::lightGray;
    int m_lineWidth = 1;
};

// The column captions, on one line, in the colours of the fixed cells.
class LedgerHeader final : public QHeaderView {
    Q_OBJECT
public:
    explicit LedgerHeader(QWidget* parent = nullptr);
    // The width a section needs for its caption.
    int captionWidth(int logicalIndex) const;

protected:
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;
};

class LedgerGrid final : public QTableView {
    Q_OBJECT
public:
    explicit LedgerGrid(LedgerModel* model, QWidget* parent = nullptr);

    LedgerModel* ledgerModel() const { return m_model; }
    QTableView* frozenView() const { return m_frozen; }

    // Columns: their order comes from the model; widths in twips, grid order.
    // A column is never narrower than its caption and its widest value in the
    // grid's font and the locale (minimumColumnWidth); a wider width is kept
    // as given, so remembered widths come back as they were written.
    void setColumnWidthsTwips(const std::array<int, ColumnCount>& widths);
    std::array<int, ColumnCount> columnWidthsTwips() const;
    int minimumColumnWidth(int column) const { return m_minWidth[size_t(column)]; }
    void setFixedColumns(int count);
    int fixedColumns() const { return m_fixedColumns; }

    void setAppearance(const GridAppearance& appearance);
    const GridAppearance& appearance() const { return m_appearance; }

    // Height of the data rows in twips, -1 for the grid's own default. Applied
    // to every row by applyRowHeights (after each listing, which also shows
    // the rows hidden by record type again) or applyUniformRowHeight (the
    // heights only, through the row header: no work row by row).
    void setDataRowHeight(int twips) { m_dataRowHeight = twips; }
    int dataRowHeight() const { return m_dataRowHeight; }
    int defaultRowHeightPixels() const;
    int dataRowHeightPixels() const;
    void applyRowHeights();
    void applyUniformRowHeight();
    // Height of the current row in twips.
    int currentRowHeightTwips() const;

    // Hides the data rows whose record type code is not among types (letter
    // case ignored); rows without a code stay shown.
    void showRecordTypes(const QString& types);
    // Makes row r (model row) the current row.
    void setCurrentRow(int r);
    int currentRow() const;

protected:
    void resizeEvent(QResizeEvent* event) override;
    QModelIndex moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) override;
    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;
    // Scroll bars come and go with the rows and widths: the fixed columns follow.
    void updateGeometries() override;

private:
    void setupFrozen();
    void updateFrozenColumns();
    void updateFrozenGeometry();
    int frozenWidth() const;
    void applyPalette(QTableView* view);
    // Measures the captions and widest values; widens columns that fall short.
    void updateMinimumWidths();
    int cellPadding() const;

    LedgerModel* m_model;
    QTableView* m_frozen = nullptr;
    GridCellDelegate* m_delegate = nullptr;
    GridCellDelegate* m_frozenDelegate = nullptr;
    // The widths as given in twips: a column the user did not resize keeps
    // its width exactly, although pixels are coarser than twips.
    std::array<int, ColumnCount> m_widthTwips{};
    std::array<int, ColumnCount> m_minWidth{};
    int m_fixedColumns = 1;
    int m_dataRowHeight = -1;
    GridAppearance m_appearance;
};

}  // namespace brisden::grid
