#include "shell/widgets/MainFeatures.h"

#include "basis/widgets/BasisCommands.h"
#include "chart/widgets/ChartCommands.h"
#include "data/widgets/FileCommands.h"
#include "grid/widgets/GridEditor.h"
#include "grid/widgets/LedgerCommands.h"
#include "grid/widgets/LedgerGrid.h"
#include "grid/widgets/ListCommands.h"
#include "grid/widgets/SummaryPanel.h"
#include "help/widgets/HelpCommands.h"
#include "import/widgets/ImportCommands.h"
#include "prefs/widgets/PreferencesCommands.h"
#include "report/widgets/ReportPrinting.h"
#include "shell/widgets/MainControls.h"
#include "shell/widgets/Program.h"

#include <QMainWindow>

namespace brisden {

MainFeatures::MainFeatures(QMainWindow& window, Program& p, const MainControls& c,
                           ui::IMessageBox& messages, ui::IInputBox& input,
                           std::function<void(bool)> formEnableToggle)
{
    QWidget* w = &window;
    grid::LedgerGrid& grid = *c.grid;
    grid::LedgerModel& model = *c.model;
    files =
        new FileCommands(FileCommandsContext{p.portfolio, p.file, p.settings, p.log, messages}, w);
    ledger = new grid::LedgerCommands(grid::LedgerContext{p.file, p.report, p.settings, p.calendar,
                                                          p.log, messages, input, p.ProgramTitle},
                                      grid, model, *c.summary, w);
    // The editor lies over the grid in the central widget, which stays
    // enabled while the rest of the window is frozen.
    editor = new grid::GridEditor(
        grid::GridEditorContext{p.file, p.settings, messages, input, p.ProgramTitle, &p.log}, grid,
        model, window.centralWidget(), std::move(formEnableToggle),
        [this] { ledger->ListLedger(); }, [this] { return busy(); });
    // New rows take today's date until the first entry.
    editor->setLastDate(p.calendar.TodayYMD);
    prefs = new prefs::PreferencesCommands(
        prefs::PreferencesCommandsContext{p.settings, p.IniPath, messages, grid, model, *ledger,
                                          *files},
        w);
    import = new ImportCommands(
        ImportContext{p.file, p.settings, p.calendar, p.log, messages, p.IniPath},
        ImportHooks{[this](bool stop) { files->SetAutoSaveTimer(stop);
}
,
    [this] {
        ledger->Refresh();
        editor->resetUndo();
    },
    [this] { return files->refuseReadOnly(QStringLiteral("import into")); },
    [this] { return mayRun(); }
}  // namespace brisden
,
        w);

help = new help::HelpCommands(w, p.HelpFilePath, p.ProgramTitle, messages);
ui::IHelp* manual = &help->help();
import->setHelp(manual);
ledger->setHelp(manual);
prefs->setHelp(manual);

// The printed reports: the listing and the basis worksheet.
printing = std::make_unique<ReportPrinting>(
    ReportPrintingContext{p.files, p.settings, p.report, messages, p.log, manual, p.ProgramTitle,
                          p.IniPath},
    w);
list = new ListCommands(
    ListCommandsContext{p.files, p.file, p.portfolio, p.report, p.settings, p.calendar, p.log,
                        messages, input, manual, p.ProgramTitle},
    *printing, c.summary->sharePriceBox(), w);
basis = new BasisCommands(BasisCommandsContext{p.files, p.file, p.portfolio, p.report, p.settings,
                                               p.calendar, p.log, messages, manual, p.ProgramTitle},
                          *printing, w);
charts = new chart::ChartCommands(
    chart::ChartCommandsContext{p.file, p.report, p.settings, messages, p.IniPath, p.ProgramTitle,
                                p.CurrencyTag, p.calendar.locale},
    *ledger, model, w);
charts->setHelp(manual);
}

MainFeatures::~MainFeatures() = default;

bool MainFeatures::busy() const
{
    return ledger->listing() || (import && import->importing()) || (list && list->running()) ||
           (basis && basis->running());
}

bool MainFeatures::mayRun() const
{
    return !busy() && !editor->editing();
}

}  // namespace brisden
