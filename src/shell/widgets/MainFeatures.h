#pragma once
// The features the main window hosts, made over its controls and wired to
// one another: files and backups, the ledger on the screen and its editing,
// preferences, import, help, the printed listing and basis worksheet, and
// charts.

#include <functional>
#include <memory>

class QMainWindow;

namespace brisden {

struct MainControls;
struct Program;
class BasisCommands;
class FileCommands;
class ImportCommands;
class ListCommands;
class ReportPrinting;
namespace ui {
class IInputBox;
class IMessageBox;
}  // namespace ui
namespace help {
class HelpCommands;
}
namespace chart {
class ChartCommands;
}
namespace grid {
class GridEditor;
class LedgerCommands;
}  // namespace grid
namespace prefs {
class PreferencesCommands;
}

class MainFeatures {
public:
    // window: the parent of the features and their dialogs;
    // formEnableToggle freezes the window while a cell is edited.
    MainFeatures(QMainWindow& window, Program& program, const MainControls& controls,
                 ui::IMessageBox& messages, ui::IInputBox& input,
                 std::function<void(bool)> formEnableToggle);
    ~MainFeatures();

    // A listing, an import or a printed report runs.
    bool busy() const;
    // No command runs while busy or while a cell is edited.
    bool mayRun() const;

    FileCommands* files = nullptr;
    grid::LedgerCommands* ledger = nullptr;
    grid::GridEditor* editor = nullptr;
    prefs::PreferencesCommands* prefs = nullptr;
    ImportCommands* import = nullptr;
    help::HelpCommands* help = nullptr;
    std::unique_ptr<ReportPrinting> printing;
    ListCommands* list = nullptr;
    BasisCommands* basis = nullptr;
    chart::ChartCommands* charts = nullptr;
};

}  // namespace brisden
