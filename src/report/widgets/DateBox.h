#pragma once
// A date box of the report dialogs: eight digits MMDDYYYY shown as
// ##/##/####; focusing it selects its whole text.

#include <QLineEdit>
#include <cstdint>

namespace brisden {

class DateBox final : public QLineEdit {
    Q_OBJECT
public:
    explicit DateBox(QWidget* parent = nullptr);
    // The date as MMDDYYYY, left-padded with "0" to eight digits.
    void setDate(std::int32_t mdy);
    // The digits typed, as a number (Val of the digits).
    std::int32_t date() const;

protected:
    void focusInEvent(QFocusEvent* event) override;
};

}  // namespace brisden
