#pragma once
// "&Preferences...": shows the preferences dialog and, when it closes, brings
// the main window up to date: the grid's look again after a change of its
// colours, line width or font, the record type column on its new side with
// every column keeping its width, the ledger listed again, and the backup
// timer at its new period.

#include "ui/Help.h"
#include "ui/Interaction.h"

#include <QObject>
#include <QString>

class QWidget;

namespace brisden {

class FileCommands;
class Settings;

namespace ui {
class CommandHost;
}
namespace grid {
class LedgerCommands;
class LedgerGrid;
class LedgerModel;
}  // namespace grid

namespace prefs {

class frmPelmarOptions;

struct PreferencesCommandsContext {
    Settings& settings;
    QString iniPath;
    ui::IMessageBox& messages;
    grid::LedgerGrid& grid;
    grid::LedgerModel& model;
    grid::LedgerCommands& ledger;
    FileCommands& files;
};

class PreferencesCommands final : public QObject {
    Q_OBJECT
public:
    PreferencesCommands(const PreferencesCommandsContext& context, QWidget* dialogParent);

    // Shows the dialog modally and applies what it hands back.
    void mnuPreferencesItem_Click();
    // "Preferences...".
    void installCommands(ui::CommandHost& host);
    // The dialog, made on first use and kept hidden between uses.
    frmPelmarOptions* dialog();
    frmPelmarOptions* dialogIfMade() const { return m_dialog; }
    // The manual for the dialog's "Help" button; may be null.
    void setHelp(ui::IHelp* help);

    // What the main window does with the dialog's tag when it closes.
    void applyTag(const QString& tag);

private:
    PreferencesCommandsContext m;
    QWidget* m_parent;
    frmPelmarOptions* m_dialog = nullptr;
    ui::IHelp* m_help = nullptr;
};

}  // namespace prefs
}  // namespace brisden
