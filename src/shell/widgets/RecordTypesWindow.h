#pragma once
// The record types legend (RecordTypes): a small modeless window owned by the
// main window that explains the one-character codes of the record type
// column. It keeps its place at the top right of the main window's grid when
// either changes size.

#include <QDialog>
#include <QRect>
#include <functional>

class QLabel;

namespace brisden {

class RecordTypesWindow final : public QDialog {
    Q_OBJECT
public:
    explicit RecordTypesWindow(QWidget* owner);

    // The window's tag: "A" asks the next activation to fill it.
    QString Tag;

    QLabel* label() const { return m_label; }
    // The area (global coordinates) whose top right corner it keeps to; by
    // default the owner window.
    void setAnchor(std::function<QRect()> anchor) { m_anchor = std::move(anchor); }
    void followOwner();

signals:
    // The window was closed by the user (the main window unticks its item).
    void closedByUser();

public slots:
    // Escape and the close box.
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QLabel* m_label = nullptr;
    std::function<QRect()> m_anchor;
};

}  // namespace brisden
