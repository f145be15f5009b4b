#pragma once
// About: the program's title and version, its web address as a link that
// opens in the browser, and the versions of Qt and the libraries in use.

#include "ui/Interaction.h"

#include <QDialog>
#include <QUrl>
#include <functional>

class QLabel;
class QPushButton;

namespace brisden::help {

// The program's web address shown in the box.
inline constexpr const char* kProjectAddress = "https://brisden.example.org/";

class About final : public QDialog {
    Q_OBJECT
public:
    About(const QString& programTitle, ui::IMessageBox& messages, QWidget* parent = nullptr);

    // What a click on the address asks the system to open. Replaced by tests.
    void setOpenUrl(std::function<bool(const QUrl&)> open) { m_openUrl = std::move(open); }

    QLabel* titleLabel() const { return m_title; }
    QLabel* label1() const { return m_label1; }
    QLabel* versionsLabel() const { return m_versions; }
    QPushButton* command1() const { return m_command1; }
    bool linkHighlighted() const { return m_highlighted; }
    // A click on the address.
    void Label1_Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void highlightLink(bool on);

    ui::IMessageBox& m_messages;
    std::function<bool(const QUrl&)> m_openUrl;
    QLabel* m_title = nullptr;
    QLabel* m_label1 = nullptr;
    QLabel* m_versions = nullptr;
    QPushButton* m_command1 = nullptr;
    bool m_highlighted = false;
};

// The versions of Qt and of the libraries the program runs with, one a line.
QString LibraryVersions();

}  // namespace brisden::help
