#pragma once
// The controls of the main window around the ledger grid: the three buttons
// and the portfolio, file and date labels above it, the grid with the grid
// control buttons (Frame2) in an area whose sides take the record types
// legend, and the summary with the share price box below.

#include <QtGlobal>

class QGroupBox;
class QLabel;
class QMainWindow;
class QPushButton;

namespace brisden {

struct Calendar;

namespace grid {
class GridEditor;
class LedgerGrid;
class LedgerModel;
class SummaryPanel;
}  // namespace grid

struct MainControls {
    grid::LedgerModel* model = nullptr;
    grid::LedgerGrid* grid = nullptr;
    grid::SummaryPanel* summary = nullptr;
    QMainWindow* gridArea = nullptr;  // the grid and Frame2, with the legend at a side
    QGroupBox* frame2 = nullptr;
    // Edit, clear, delete, refresh.
    QPushButton* command1[4] = {};
    // Open a portfolio, open an investment, list.
    QPushButton* command7[3] = {};
    QLabel* portfolioValue = nullptr;
    QLabel* fileValue = nullptr;
    QLabel* dateValue = nullptr;
};

// Makes the controls as the central widget of window.
MainControls BuildMainControls(QMainWindow& window, const Calendar& calendar);

// A right click on the grid, on Frame2 or on the share price prompt opens the
// editor's right-click menu for that control.
void RouteRightClicks(const MainControls& controls, grid::GridEditor& editor);

}  // namespace brisden
