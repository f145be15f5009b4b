#pragma once
// The import dialog's preview as a table: one row per line of the source,
// with a check box that says whether the line will be imported, the line's
// number, the five stored fields and a note (why a line would be refused,
// that its date is invalid, that it repeats a record already in the file).

#include "import/ImportPreview.h"

#include <QAbstractTableModel>
#include <QLocale>

namespace brisden {

class ImportPreviewModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { ImportColumn, LineColumn, DateColumn, DescColumn, AmountColumn, PriceColumn,
                  SharesColumn, NoteColumn, ColumnCount };

    explicit ImportPreviewModel(const QLocale& locale, QObject* parent = nullptr);

    // A new preview: the choices made on single lines are forgotten (the
    // lines may now be read differently); "leave out duplicates" stays.
    void setPreview(ImportPreview preview);
    const ImportPreview& preview() const { return m_preview; }

    // Every repeated line follows the switch again.
    void setLeaveOutDuplicates(bool leaveOut);
    const ImportSelection& selection() const { return m_selection; }
    // Whether the line in row will be imported.
    bool imported(int row) const;
    // Lines of the preview that will be imported.
    int importedCount() const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // The note of a row: the reason a line is refused, an invalid date, a repeat.
    QString note(int row) const;

signals:
    void selectionChanged();

private:
    QString number(double value) const;

    QLocale m_locale;
    ImportPreview m_preview;
    ImportSelection m_selection;
};

}  // namespace brisden
