#pragma once
// The description input window of the portfolio window: one question, the
// description of an investment file, up to 100 characters.

#include "ui/Interaction.h"

#include <QDialog>
#include <QString>

class QLabel;
class QLineEdit;
class QPushButton;

namespace brisden {

class DescriptionInput : public QDialog {
    Q_OBJECT

public:
    explicit DescriptionInput(QWidget* parent = nullptr);

    // Sets the caption (empty: the window's own "Input request"), the
    // prompt and the text offered for editing.
    void prepare(const QString& caption, const QString& prompt, const QString& text);
    // "&Ok": the text without surrounding blanks; "&Cancel" (or closing the
    // window): the empty string.
    QString answer() const { return m_answer; }

    QLineEdit* textBox() const { return m_text; }
    QPushButton* okButton() const { return m_ok; }
    QPushButton* cancelButton() const { return m_cancel; }

private:
    void okClicked();
    void cancelClicked();

    QLabel* m_prompt = nullptr;
    QLineEdit* m_text = nullptr;
    QPushButton* m_ok = nullptr;
    QPushButton* m_cancel = nullptr;
    QString m_answer;
};

// The description question asked through the description input window, for
// the portfolio window's commands. A cancelled window answers "".
class DescriptionInputBox final : public ui::IInputBox {
public:
    explicit DescriptionInputBox(QWidget* parent = nullptr) : m_parent(parent) {}
    void setParent(QWidget* parent) { m_parent = parent; }
    std::optional<QString> ask(const QString& prompt, const QString& title,
                               const QString& defaultText) override;

private:
    QWidget* m_parent;
};

}  // namespace brisden
