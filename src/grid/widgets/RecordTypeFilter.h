#pragma once
// "Select record types to display": the record types with tick boxes, all
// ticked each time the window opens.

#include <QDialog>
#include <QStringList>
#include <optional>

class QListWidget;
class QPushButton;

namespace brisden::grid {

// The entries of the list, in order; the first character is the code.
QStringList HideableRecordTypes();

class RecordTypeFilter final : public QDialog {
    Q_OBJECT
public:
    explicit RecordTypeFilter(QWidget* parent = nullptr);

    // Shows the window modally; the codes of the ticked entries in list
    // order, or nullopt for "&Cancel".
    std::optional<QString> choose();

    QListWidget* list() const { return m_list; }
    QPushButton* okButton() const { return m_ok; }
    // The codes ticked now.
    QString tickedCodes() const;

private:
    QListWidget* m_list = nullptr;
    QPushButton* m_ok = nullptr;
    QPushButton* m_cancel = nullptr;
};

}  // namespace brisden::grid
