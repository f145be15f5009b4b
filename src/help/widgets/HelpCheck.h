#pragma once
// frmHelpCheck, "Program Notice": shown when the user manual cannot be
// opened. It says what is missing and how to install it; "Install Help
// Engine" asks the system's package installer for the help components.
// Either button records its index in Tag and hides the window.

#include "ui/Interaction.h"

#include <QDialog>
#include <QString>
#include <QUrl>
#include <functional>

class QLabel;
class QPushButton;

namespace brisden::help {

class HelpCheck final : public QDialog {
    Q_OBJECT
public:
    // reason: why the manual could not be opened, naming the file.
    HelpCheck(const QString& reason, ui::IMessageBox& messages, QWidget* parent = nullptr);

    // What the install button asks the system to open (packages through the
    // apt: address). Replaced by the tests.
    void setOpenUrl(std::function<bool(const QUrl&)> open) { m_openUrl = std::move(open); }
    static QUrl InstallUrl();

    QString Tag;
    QLabel* label() const { return m_label; }
    QPushButton* command1(int index) const { return m_command1[index]; }

private:
    void Command1_Click(int index);

    ui::IMessageBox& m_messages;
    std::function<bool(const QUrl&)> m_openUrl;
    QLabel* m_label = nullptr;
    QPushButton* m_command1[2] = {};
};

// The notice's text, three paragraphs separated by an empty line.
QString HelpCheckText(const QString& reason);

}  // namespace brisden::help
