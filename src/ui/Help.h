#pragma once
// The program's help as every window sees it: the whole manual, one topic of
// it by number, or a short pop-up text at a point of the screen. The desktop
// program answers with its help window; tests record what was asked.

#include <QPoint>

namespace brisden::ui {

// Topic numbers of the user manual. Every dialog's "Help" button and every
// what's-this text names one of these; the manual has a topic for each (a test
// walks this list against the built help collection).
enum HelpTopic : int {
    HelpManualContents = 1000,
    HelpMainWindow = 1001,
    HelpDataEntry = 1002,        // the grid's "Data entry help"
    HelpRecordTypes = 1003,
    HelpPortfolio = 1004,
    HelpBackup = 1005,
    // What's-this texts of the main window's controls.
    HelpWhatsThisGrid = 1101,
    HelpWhatsThisGridControls = 1102,
    HelpWhatsThisSharePrice = 1103,
    HelpListTransactions = 2001,  // the "List transactions" dialog
    HelpBasisWorksheet = 2002,    // the basis worksheet dialog
    HelpAppendOverwrite = 2003,
    HelpPrintPreview = 2004,
    HelpPreviewColours = 2005,
    HelpRateOfReturnFlows = 2006,
    HelpChartOptions = 3001,
    HelpChartWindow = 3002,
    HelpChartColours = 3003,
    HelpChartPrint = 3004,
    HelpImport = 4001,
    HelpPreferences = 5001,
    HelpPreferencesGeneral = 5002,
    HelpPreferencesDataGrid = 5003,
    HelpPreferencesTextPrinter = 5004,
    HelpPreferencesReportLayouts = 5005,
    HelpPreferencesGraphicsPrinter = 5006,
    HelpAbout = 6001,
    HelpDragDrop = 9055,  // "Drag/drop help", always this text
};

class IHelp {
public:
    virtual ~IHelp() = default;
    // Opens the manual at its contents; false when the help collection cannot
    // be opened (the caller then explains what is missing).
    virtual bool ShowManual() = 0;
    // Opens the manual at one topic. Fails silently.
    virtual void ShowHelpTopic(int id) = 0;
    // A short text of the manual at a point of the screen (global coordinates).
    virtual void ShowHelpPopup(int id, QPoint globalPos) = 0;
};

}  // namespace brisden::ui
