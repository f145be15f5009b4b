#pragma once
// The record types legend (RecordTypes): explains the one-character codes of
// the record type column. It is docked beside the grid, so that it hides no
// ledger data; the user may move it to another side or float it, and the main
// window remembers where it was. Below the grid it takes little height.

#include <QDockWidget>

class QLabel;
class QStackedWidget;

namespace brisden {

class RecordTypesWindow final : public QDockWidget {
    Q_OBJECT
public:
    explicit RecordTypesWindow(QWidget* owner);

    // The window's tag: "A" asks the next showing to fill it.
    QString Tag;

    QLabel* label() const { return m_label; }
    // Docked above or below the grid the legend lies in four columns of two
    // lines; at a side, or floating, in one column.
    void setWide(bool wide);
    bool wide() const;

signals:
    // The window was closed by the user (the main window unticks its item).
    void closedByUser();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    QStackedWidget* m_pages = nullptr;
    QLabel* m_label = nullptr;
    QLabel* m_columns[4] = {};
};

}  // namespace brisden
