#include "grid/widgets/LedgerGrid.h"

#include <QFontMetrics>
#include <QHeaderView>
#include <QPainter>
#include <QStyleOptionHeader>
#include <QScrollBar>
#include <QSignalBlocker>
#include <algorithm>

namespace brisden::grid {

void GridCellDelegate::initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const
{
    QStyledItemDelegate::initStyleOption(option, index);
    if (m_fixed.isValid() && option->backgroundBrush.style() == Qt::NoBrush)
        option->backgroundBrush = m_fixed;
}

void GridCellDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const
{
    QStyledItemDelegate::paint(painter, option, index);
    if (m_lineWidth <= 0)
        return;
    const QRect r = option.rect;
    const int w = m_lineWidth;
    painter->fillRect(QRect(r.right() - w + 1, r.top(), w, r.height()), m_lineColour);
    painter->fillRect(QRect(r.left(), r.bottom() - w + 1, r.width(), w), m_lineColour);
}

LedgerHeader::LedgerHeader(QWidget* parent) : QHeaderView(Qt::Horizontal, parent)
{
    setSectionsClickable(false);
}

int LedgerHeader::captionWidth(int logicalIndex) const
{
    return sectionSizeFromContents(logicalIndex).width();
}

void LedgerHeader::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const
{
    if (!rect.isValid())
        return;
    QStyleOptionHeader option;
    initStyleOption(&option);
    option.rect = rect;
    option.section = logicalIndex;
    option.text.clear();
    painter->save();
    style()->drawControl(QStyle::CE_Header, &option, painter, this);
    painter->restore();
    const QString text =
        model() ? model()->headerData(logicalIndex, orientation()).toString() : QString();
    const auto align = model()
                           ? model()
                                 ->headerData(logicalIndex, orientation(), Qt::TextAlignmentRole)
                                 .value<Qt::Alignment>()
                           : Qt::Alignment(Qt::AlignCenter);
    const int margin = style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, this);
    painter->save();
    painter->setPen(palette().color(QPalette::ButtonText));
    painter->setClipRect(rect);
    painter->drawText(
        rect.adjusted(margin, 0, -margin, 0),
        int((align & Qt::AlignHorizontal_Mask) | Qt::AlignVCenter) | Qt::TextSingleLine, text);
    painter->restore();
}

LedgerGrid::LedgerGrid(LedgerModel* model, QWidget* parent) : QTableView(parent), m_model(model)
{
    setHorizontalHeader(new LedgerHeader(this));
    setModel(model);
    setTextElideMode(Qt::ElideNone);
    setShowGrid(false);
    setWordWrap(false);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    setContextMenuPolicy(Qt::CustomContextMenu);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setMinimumSectionSize(0);
    verticalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setFixedWidth(8);
    verticalHeader()->setHighlightSections(false);
    m_delegate = new GridCellDelegate(this);
    setItemDelegate(m_delegate);
    setupFrozen();
    setAppearance(m_appearance);
}

void LedgerGrid::setupFrozen()
{
    m_frozen = new QTableView(this);
    m_frozen->setObjectName(QStringLiteral("frozenColumns"));
    m_frozen->setHorizontalHeader(new LedgerHeader(m_frozen));
    m_frozen->setModel(m_model);
    m_frozen->setTextElideMode(Qt::ElideNone);
    m_frozen->setSelectionModel(selectionModel());
    m_frozen->setFocusPolicy(Qt::NoFocus);
    m_frozen->verticalHeader()->hide();
    m_frozen->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    m_frozen->horizontalHeader()->setHighlightSections(false);
    m_frozen->horizontalHeader()->setMinimumSectionSize(0);
    m_frozen->verticalHeader()->setMinimumSectionSize(1);
    m_frozen->setShowGrid(false);
    m_frozen->setWordWrap(false);
    m_frozen->setSelectionMode(selectionMode());
    m_frozen->setSelectionBehavior(selectionBehavior());
    m_frozen->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_frozen->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_frozen->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_frozen->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    m_frozen->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    m_frozen->setFrameShape(QFrame::NoFrame);
    m_frozen->setContextMenuPolicy(Qt::CustomContextMenu);
    m_frozenDelegate = new GridCellDelegate(m_frozen);
    m_frozen->setItemDelegate(m_frozenDelegate);
    viewport()->stackUnder(m_frozen);

    // Widths and heights follow each other in both views; so does the
    // vertical scrolling.
    connect(horizontalHeader(), &QHeaderView::sectionResized, this,
            [this](int column, int, int size) {
                if (column >= 0 && column < ColumnCount && size < m_minWidth[size_t(column)]) {
                    // Dragged narrower than its contents: it stops at the minimum.
                    setColumnWidth(column, m_minWidth[size_t(column)]);
                    return;
                }
                if (column < m_fixedColumns) {
                    if (m_frozen->columnWidth(column) != size)
                        m_frozen->setColumnWidth(column, size);
                    updateFrozenGeometry();
                }
            });
    connect(m_frozen->horizontalHeader(), &QHeaderView::sectionResized, this,
            [this](int column, int, int size) {
                if (column < m_fixedColumns && columnWidth(column) != size)
                    setColumnWidth(column, size);
            });
    connect(verticalHeader(), &QHeaderView::sectionResized, this, [this](int row, int, int size) {
        if (m_frozen->rowHeight(row) != size)
            m_frozen->setRowHeight(row, size);
    });
    connect(horizontalHeader(), &QHeaderView::geometriesChanged, this,
            &LedgerGrid::updateFrozenGeometry);
    // The fixed view lays its rows out later than the grid: while its range
    // still differs, its own clamped positions are not passed on, and once
    // the range is right it takes the grid's position again.
    QScrollBar* bar = verticalScrollBar();
    QScrollBar* frozenBar = m_frozen->verticalScrollBar();
    connect(frozenBar, &QAbstractSlider::valueChanged, this, [bar, frozenBar](int value) {
        if (frozenBar->maximum() == bar->maximum())
            bar->setValue(value);
    });
    connect(bar, &QAbstractSlider::valueChanged, frozenBar, &QAbstractSlider::setValue);
    connect(frozenBar, &QAbstractSlider::rangeChanged, this,
            [bar, frozenBar] { frozenBar->setValue(bar->value()); });
    connect(bar, &QAbstractSlider::rangeChanged, this,
            [bar, frozenBar] { frozenBar->setValue(bar->value()); });
    connect(m_frozen, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        emit customContextMenuRequested(
            viewport()->mapFromGlobal(m_frozen->viewport()->mapToGlobal(pos)));
    });
    // The column order changes by a reset of the model: lay the fixed
    // columns out again.
    connect(m_model, &QAbstractItemModel::modelReset, this, &LedgerGrid::updateFrozenColumns);
    updateFrozenColumns();
}

void LedgerGrid::updateFrozenColumns()
{
    for (int c = 0; c < ColumnCount; ++c) {
        m_frozen->setColumnHidden(c, c >= m_fixedColumns);
        if (c < m_fixedColumns)
            m_frozen->setColumnWidth(c, columnWidth(c));
    }
    m_frozen->setVisible(m_fixedColumns > 0);
    updateFrozenGeometry();
}

int LedgerGrid::frozenWidth() const
{
    int width = 0;
    for (int c = 0; c < m_fixedColumns; ++c)
        width += columnWidth(c);
    return width;
}

void LedgerGrid::updateFrozenGeometry()
{
    if (!m_frozen || m_fixedColumns <= 0)
        return;
    const int width = std::min(frozenWidth(), viewport()->width());
    m_frozen->setGeometry(verticalHeader()->width() + frameWidth(), frameWidth(), width,
                          viewport()->height() + horizontalHeader()->height());
}

void LedgerGrid::setColumnWidthsTwips(const std::array<int, ColumnCount>& widths)
{
    m_widthTwips = widths;
    updateMinimumWidths();
    for (int c = 0; c < ColumnCount; ++c)
        setColumnWidth(c, std::max(TwipsToPixels(widths[size_t(c)]), m_minWidth[size_t(c)]));
    updateFrozenColumns();
}

std::array<int, ColumnCount> LedgerGrid::columnWidthsTwips() const
{
    std::array<int, ColumnCount> widths{};
    for (int c = 0; c < ColumnCount; ++c) {
        // A column the user left alone keeps the width it was given, even
        // where the minimum showed it wider.
        const int given = m_widthTwips[size_t(c)];
        const int shown = std::max(TwipsToPixels(given), m_minWidth[size_t(c)]);
        widths[size_t(c)] = shown == columnWidth(c) ? given : PixelsToTwips(columnWidth(c));
    }
    return widths;
}

int LedgerGrid::cellPadding() const
{
    // The item delegate's text margins at both sides, and the grid line.
    const int margin = style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1;
    return 2 * margin + std::max(0, m_appearance.lineWidth) + 2;
}

void LedgerGrid::updateMinimumWidths()
{
    const QFontMetrics metrics(m_appearance.font);
    // The widest digit stands for every digit of a sample value.
    QChar widestDigit = QLatin1Char('0');
    for (char d = '0'; d <= '9'; ++d) {
        if (metrics.horizontalAdvance(QLatin1Char(d)) > metrics.horizontalAdvance(widestDigit))
            widestDigit = QLatin1Char(d);
    }
    // A description may hold any character of the files' character set.
    int widestCharacter = 0;
    for (int c = 0x20; c <= 0xFF; ++c) {
        if (c >= 0x7F && c < 0xA0)
            continue;
        widestCharacter = std::max(widestCharacter, metrics.horizontalAdvance(QChar(c)));
    }
    auto* header = static_cast<LedgerHeader*>(horizontalHeader());
    const QLocale& locale = m_model->calendar().locale;
    for (int c = 0; c < ColumnCount; ++c) {
        const QStringList texts =
            WidestCellTexts(m_model->fieldAt(c), locale, m_model->dateFormat());
        int text = 0;
        if (texts.isEmpty()) {
            text = DescriptionLength * widestCharacter;
        } else {
            for (QString sample : texts) {
                for (QChar& ch : sample) {
                    if (ch.isDigit())
                        ch = widestDigit;
                }
                text = std::max(text, metrics.horizontalAdvance(sample));
            }
        }
        m_minWidth[size_t(c)] = std::max(text + cellPadding(), header->captionWidth(c));
    }
    for (int c = 0; c < ColumnCount; ++c) {
        if (columnWidth(c) < m_minWidth[size_t(c)])
            setColumnWidth(c, m_minWidth[size_t(c)]);
    }
}

void LedgerGrid::setFixedColumns(int count)
{
    m_fixedColumns = std::clamp(count, 0, ColumnCount - 1);
    updateFrozenColumns();
}

void LedgerGrid::applyPalette(QTableView* view)
{
    QPalette p = view->palette();
    for (auto group : {QPalette::Active, QPalette::Inactive}) {
        p.setColor(group, QPalette::Base, m_appearance.back);
        p.setColor(group, QPalette::Text, m_appearance.fore);
        p.setColor(group, QPalette::Highlight, m_appearance.current);
        p.setColor(group, QPalette::HighlightedText, m_appearance.fore);
    }
    view->setPalette(p);
    for (QHeaderView* header : {view->horizontalHeader(), view->verticalHeader()}) {
        QPalette hp = header->palette();
        for (auto group : {QPalette::Active, QPalette::Inactive}) {
            hp.setColor(group, QPalette::Button, m_appearance.fixed);
            hp.setColor(group, QPalette::Window, m_appearance.fixed);
            hp.setColor(group, QPalette::ButtonText, m_appearance.fore);
        }
        header->setPalette(hp);
    }
    view->setFont(m_appearance.font);
}

void LedgerGrid::setAppearance(const GridAppearance& appearance)
{
    m_appearance = appearance;
    applyPalette(this);
    applyPalette(m_frozen);
    m_delegate->setLines(appearance.line, appearance.lineWidth);
    m_frozenDelegate->setLines(appearance.line, appearance.lineWidth);
    m_frozenDelegate->setFixedBackground(appearance.fixed);
    updateMinimumWidths();
    viewport()->update();
    m_frozen->viewport()->update();
}

int LedgerGrid::defaultRowHeightPixels() const
{
    return QFontMetrics(m_appearance.font).height() + 4;
}

int LedgerGrid::dataRowHeightPixels() const
{
    return m_dataRowHeight < 0 ? defaultRowHeightPixels()
                               : std::max(1, TwipsToPixels(m_dataRowHeight));
}

void LedgerGrid::applyRowHeights()
{
    // Rows hidden by record type are shown again (they are few next to the
    // ledger), then every row takes the data row height.
    if (verticalHeader()->hiddenSectionCount() > 0) {
        const int rows = m_model->rowCount();
        for (int r = 0; r < rows; ++r) {
            if (isRowHidden(r)) {
                setRowHidden(r, false);
                m_frozen->setRowHidden(r, false);
            }
        }
    }
    applyUniformRowHeight();
}

void LedgerGrid::applyUniformRowHeight()
{
    // The headers give every shown row their default size in one pass of
    // their own, rows the user made taller included. The views are told
    // once at the end rather than row by row.
    const int height = dataRowHeightPixels();
    for (QTableView* view : {static_cast<QTableView*>(this), m_frozen}) {
        QHeaderView* header = view->verticalHeader();
        {
            const QSignalBlocker quiet(header);
            header->setDefaultSectionSize(height);
        }
        view->doItemsLayout();
    }
}

int LedgerGrid::currentRowHeightTwips() const
{
    const int r = currentIndex().isValid() ? currentIndex().row() : -1;
    if (r < 0)
        return m_dataRowHeight;
    return PixelsToTwips(rowHeight(r));
}

void LedgerGrid::showRecordTypes(const QString& types)
{
    setUpdatesEnabled(false);
    m_frozen->setUpdatesEnabled(false);
    const int rows = m_model->rowCount();
    for (int r = 0; r < rows; ++r) {
        const char code = m_model->row(r).Code;
        bool hide = false;
        if (code != 0)
            hide = !types.contains(QChar(QLatin1Char(code)), Qt::CaseInsensitive);
        if (hide != isRowHidden(r)) {
            setRowHidden(r, hide);
            m_frozen->setRowHidden(r, hide);
            // A row shown again comes back at the data row height.
            if (!hide && rowHeight(r) != dataRowHeightPixels())
                setRowHeight(r, dataRowHeightPixels());
        }
    }
    m_frozen->setUpdatesEnabled(true);
    setUpdatesEnabled(true);
}

void LedgerGrid::setCurrentRow(int r)
{
    if (r < 0 || r >= m_model->rowCount())
        return;
    const int column = ColumnOf(Field::Date, m_model->recordTypePosition());
    const QModelIndex index = m_model->index(r, column);
    selectionModel()->setCurrentIndex(
        index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    scrollTo(index);
}

int LedgerGrid::currentRow() const
{
    return currentIndex().isValid() ? currentIndex().row() : -1;
}

void LedgerGrid::updateGeometries()
{
    QTableView::updateGeometries();
    updateFrozenGeometry();
}

void LedgerGrid::resizeEvent(QResizeEvent* event)
{
    QTableView::resizeEvent(event);
    updateFrozenGeometry();
}

QModelIndex LedgerGrid::moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers)
{
    const QModelIndex current = QTableView::moveCursor(cursorAction, modifiers);
    if (cursorAction == MoveLeft && current.column() >= m_fixedColumns &&
        visualRect(current).topLeft().x() < frozenWidth()) {
        const int newValue =
            horizontalScrollBar()->value() + visualRect(current).topLeft().x() - frozenWidth();
        horizontalScrollBar()->setValue(newValue);
    }
    return current;
}

void LedgerGrid::scrollTo(const QModelIndex& index, ScrollHint hint)
{
    if (index.column() >= m_fixedColumns) {
        QTableView::scrollTo(index, hint);
        return;
    }
    // A fixed column never scrolls sideways: only bring its row into view.
    const int keep = horizontalScrollBar()->value();
    QTableView::scrollTo(index, hint);
    horizontalScrollBar()->setValue(keep);
}

}  // namespace brisden::grid
