#pragma once
// The main window's own items: the session log, exit, starting Tickmoor,
// the record types legend (docked beside the grid, where it stood last time)
// and the grid control frame; and the pictures of the menu items.

#include "ui/Interaction.h"

#include <QObject>
#include <QString>
#include <functional>

class QMainWindow;
class QWidget;

namespace brisden {

namespace ui {
class CommandHost;
}
class RecordTypesWindow;

class WindowCommands final : public QObject {
    Q_OBJECT
public:
    // window: the main window (Exit closes it); the legend docks in
    // gridArea; showLog opens the session log.
    WindowCommands(QMainWindow& window, QMainWindow& gridArea, QWidget& gridControlFrame,
                   const QString& appFolder, ui::IMessageBox& messages,
                   std::function<void()> showLog);
    RecordTypesWindow* legend() const { return &m_legend; }

    void installCommands(ui::CommandHost& host);
    // Pictures beside the file and refresh items, once the window shows.
    void AttachMenuPictures();

    // "Start Tickmoor": started once; later the item only stays ticked.
    void startTickmoor();
    // "Show record types legend", "Show Grid control frame".
    void toggleRecordTypesLegend();
    void toggleGridControlFrame();

    // At the start: the legend where it stood (in Application.ini), then
    // the legend and the frame shown as the settings say.
    void restoreLegendPlace(const QString& iniPath);
    void showAtStart(bool legend, bool gridControlFrame);
    void saveLegendPlace(const QString& iniPath);

private:
    QWidget& m_window;
    QMainWindow& m_gridArea;
    QString m_appFolder;
    ui::IMessageBox& m_messages;
    RecordTypesWindow& m_legend;
    QWidget& m_frame2;
    std::function<void()> m_showLog;
    ui::CommandHost* m_host = nullptr;
    qint64 m_tickmoorTask = 0;
};

}  // namespace brisden
