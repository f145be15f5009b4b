#pragma once
// "Program Notices": the small window that shows logged messages to the user
// while the program goes on, with "OK" (hides it) and "Display Log" (opens
// the session log in the system's text editor). It is hidden, never
// destroyed, when closed.

#include "ui/Interaction.h"

#include <QDialog>
#include <QString>
#include <functional>

class QPlainTextEdit;
class QPushButton;

namespace brisden {

class NoticesWindow final : public QDialog, public ui::INoticeDisplay {
    Q_OBJECT
public:
    NoticesWindow(const QString& programTitle, QWidget* owner);

    // Opens the log; the main window's "Display &Session log" command.
    void setDisplayLog(std::function<void()> displayLog) { m_displayLog = std::move(displayLog); }

    // A message: it replaces the text when the window is hidden and is
    // appended on a line of its own while it shows. The buttons show when
    // wait or showButtons; with wait the caller waits until it is closed.
    void showNotice(const QString& message, bool wait, bool showButtons) override;

    QString text() const;
    QPushButton* okButton() const { return m_ok; }
    QPushButton* displayLogButton() const { return m_displayLogButton; }

private:
    QPlainTextEdit* m_text = nullptr;
    QPushButton* m_ok = nullptr;
    QPushButton* m_displayLogButton = nullptr;
    std::function<void()> m_displayLog;
};

}  // namespace brisden
