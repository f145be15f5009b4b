#pragma once
// "Import data...": the import dialog, then the import of the chosen file
// into the current investment file with a progress window that can cancel
// it, the lines in error shown once it is over, and the ledger listed again.
// A file dropped on the grid starts the same command a moment later, with
// its path already in the dialog.

#include "ui/Help.h"
#include "ui/Interaction.h"

#include <QObject>
#include <QPoint>
#include <QString>
#include <functional>

class QTimer;
class QWidget;

namespace brisden {

namespace ui {
class CommandHost;
}

struct Calendar;
class ImportDialog;
class InvestmentFile;
class SessionLog;
class Settings;

struct ImportContext {
    InvestmentFile& file;
    Settings& settings;
    const Calendar& calendar;
    SessionLog& log;
    ui::IMessageBox& messages;
    QString IniPath;
};

// What the import asks of the window it runs in.
struct ImportHooks {
    // Stops (true) or restarts (false) the automatic backup.
    std::function<void(bool stop)> SetAutoSaveTimer;
    // Lists the whole ledger into the grid again.
    std::function<void()> Refresh;
    // True (after telling the user) when the current file cannot be written.
    std::function<bool()> refuseReadOnly;
    // False while the window is busy with something else (a listing, an edit);
    // a dropped file waits for nothing and is then not imported.
    std::function<bool()> canRun;
};

class ImportCommands final : public QObject {
    Q_OBJECT
public:
    ImportCommands(const ImportContext& context, const ImportHooks& hooks, QWidget* window);
    ~ImportCommands() override;

    // "Import data...", and files dropped on dropArea.
    void installCommands(ui::CommandHost& host, QWidget* dropArea);

    // The menu command: the dialog, and on OK the import.
    void mnuImportItem_Click();
    // A file dropped on the grid: its path goes into the dialog and Timer3
    // runs the command once the drop is over.
    void FileDropped(const QString& path);

    bool importing() const { return m_importing; }
    void requestCancel() { m_cancelRequested = true; }

    void setHelp(ui::IHelp* help);
    ImportDialog* dialog();  // made at its first use
    QTimer* Timer3() const { return m_timer3; }

signals:
    // Bytes of the source read so far, every few hundred lines of a run.
    void progressed(qint64 done, qint64 total);

private:
    void Timer3_Timer();
    void RunImport();

    ImportContext m;
    ImportHooks m_hooks;
    QWidget* m_window;
    ImportDialog* m_dialog = nullptr;
    QTimer* m_timer3 = nullptr;
    ui::IHelp* m_help = nullptr;
    bool m_importing = false;
    bool m_cancelRequested = false;
};

// Takes files dropped on a widget (the grid): a drop that offers a file and
// allows copying is accepted as a copy, so the source is never moved, and
// the first file's path is handed on.
class FileDropTarget final : public QObject {
    Q_OBJECT
public:
    FileDropTarget(QWidget* target, std::function<void(const QString&)> dropped);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::function<void(const QString&)> m_dropped;
};

}  // namespace brisden
