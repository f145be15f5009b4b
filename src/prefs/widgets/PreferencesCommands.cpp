#include "prefs/widgets/PreferencesCommands.h"

#include "data/widgets/FileCommands.h"
#include "grid/GridLayout.h"
#include "grid/widgets/GridAppearance.h"
#include "grid/widgets/LedgerCommands.h"
#include "grid/widgets/LedgerGrid.h"
#include "grid/widgets/LedgerModel.h"
#include "prefs/Preferences.h"
#include "prefs/widgets/frmPelmarOptions.h"
#include "shell/Settings.h"
#include "ui/widgets/CommandHost.h"

namespace brisden::prefs {

PreferencesCommands::PreferencesCommands(const PreferencesCommandsContext& context,
                                         QWidget* dialogParent)
    : QObject(dialogParent), m(context), m_parent(dialogParent)
{
}

frmPelmarOptions* PreferencesCommands::dialog()
{
    if (!m_dialog) {
        grid::LedgerGrid* ledgerGrid = &m.grid;
        PreferencesContext context{
            m.settings, m.iniPath, m.messages,
            [ledgerGrid] {
                // The first data row as the grid shows it; a grid without
                // rows (or with that row hidden) has its data row height.
                const int rows = ledgerGrid->ledgerModel()->rowCount();
                const int pixels = rows > 0 ? ledgerGrid->rowHeight(0) : 0;
                return pixels > 0 ? grid::PixelsToTwips(pixels) : ledgerGrid->dataRowHeight();
            },
            [ledgerGrid] { return ledgerGrid->appearance().font; }};
        m_dialog = new frmPelmarOptions(std::move(context), m_parent);
        m_dialog->setHelp(m_help);
    }
    return m_dialog;
}

void PreferencesCommands::setHelp(ui::IHelp* help)
{
    m_help = help;
    if (m_dialog)
        m_dialog->setHelp(help);
}

void PreferencesCommands::installCommands(ui::CommandHost& host)
{
    host.command("mnuPreferencesItem", QStringLiteral("&Preferences..."),
                 QKeySequence(Qt::CTRL | Qt::Key_P), [this] { mnuPreferencesItem_Click(); });
}

void PreferencesCommands::mnuPreferencesItem_Click()
{
    frmPelmarOptions* options = dialog();
    options->Tag = tag::Fill;
    options->exec();
    applyTag(options->Tag);
}

void PreferencesCommands::applyTag(const QString& tag)
{
    if (tag == tag::MoveColumn) {
        // The columns as the user sees them now, each keeping its width on
        // the record type column's new side.
        const bool toLeft = grid::RecordTypeFirst(m.settings.RTColPos);
        const auto widths = RotateColumnWidths(m.grid.columnWidthsTwips(), toLeft);
        grid::ApplyGridSettings(m.grid, m.model, m.settings);
        m.grid.setColumnWidthsTwips(widths);
    }
    if (!tag.isEmpty()) {
        grid::ApplyGridAppearance(m.grid, m.model, m.settings);
        m.grid.applyRowHeights();
        m.ledger.Refresh();
    }
    // A new backup period takes effect at once.
    m.files.SetAutoSaveTimer(false);
}

}  // namespace brisden::prefs
