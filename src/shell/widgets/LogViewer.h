#pragma once
// "Display Session log": the session log opens in the desktop's program for
// plain text when one is registered, else in a window of Brisden's own, a
// read-only text that follows the file as lines are added.

#include <QDialog>
#include <QObject>
#include <QString>
#include <functional>

class QPlainTextEdit;
class QTimer;

namespace brisden {

class LogViewer final : public QDialog {
    Q_OBJECT
public:
    LogViewer(const QString& path, const QString& programTitle, QWidget* owner);

    // Reads what was added to the file since the last look (all of it when
    // the file was emptied or replaced).
    void follow();
    QString text() const;
    QPlainTextEdit* textArea() const { return m_text; }

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    QString m_path;
    QPlainTextEdit* m_text = nullptr;
    QTimer* m_poll = nullptr;
    qint64 m_offset = 0;
};

// True when the desktop names a program for plain text files.
bool DesktopHasTextViewer();

class LogDisplay final : public QObject {
    Q_OBJECT
public:
    LogDisplay(const QString& path, const QString& programTitle, QWidget* owner);

    // Shows the log; the own window when the desktop has no viewer or fails
    // to start one.
    void show();
    // The own window, made at its first use.
    LogViewer* viewer();
    LogViewer* viewerIfMade() const { return m_viewer; }
    // What the tests replace: whether to hand the log to the desktop, and how.
    void setDesktopViewer(std::function<bool()> available, std::function<bool(const QString&)> open)
    {
        m_desktopAvailable = std::move(available);
        m_desktopOpen = std::move(open);
    }

private:
    QString m_path;
    QString m_title;
    QWidget* m_owner;
    LogViewer* m_viewer = nullptr;
    std::function<bool()> m_desktopAvailable;
    std::function<bool(const QString&)> m_desktopOpen;
};

}  // namespace brisden
