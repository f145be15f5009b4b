#pragma once
// "List to printer or file...": the listing of the current file or of every
// file of the portfolio to the print preview, the printer or a text file,
// after the ListRecs dialog. The file shown in the window stays current.

#include "ui/Help.h"
#include "ui/Interaction.h"

#include <QObject>
#include <QString>
#include <functional>
#include <memory>

class QLineEdit;
class QPushButton;
class QWidget;

namespace brisden {

namespace ui {
class CommandHost;
}

struct Calendar;
class FileTable;
class InvestmentFile;
class ListRecs;
class Portfolio;
class ReportJob;
class ReportPrinting;
class Settings;
struct ReportState;

struct ListCommandsContext {
    FileTable& files;
    InvestmentFile& file;
    Portfolio& portfolio;
    ReportState& report;
    const Settings& settings;
    const Calendar& calendar;
    ui::ILogSink& log;
    ui::IMessageBox& messages;
    ui::IInputBox& input;
    ui::IHelp* help;
    QString ProgramTitle;
};

class ListCommands final : public QObject {
    Q_OBJECT
public:
    ListCommands(const ListCommandsContext& context, ReportPrinting& printing,
                 QLineEdit* priceBox, QWidget* window);
    ~ListCommands() override;

    // "List to printer or file..." and the button that twins it.
    void installCommands(ui::CommandHost& host, QPushButton* listButton);

    // mnuListItem_Click.
    void mnuListItem_Click();
    // The dialog (made on first use, kept for the program run).
    ListRecs& dialog();
    // The dialog's answer instead of showing it (tests): it fills the
    // dialog and presses its buttons.
    void setDialogRunner(std::function<void(ListRecs&)> runner) { m_runDialog = std::move(runner); }

    bool running() const { return m_running; }
    void requestCancel() { m_cancel = true; }

private:
    // One listing run on a job (printer, preview or PDF), or on the report
    // file when job is null.
    void run(ReportJob* job, bool portfolio);

    ListCommandsContext m;
    ReportPrinting& m_printing;
    QLineEdit* m_priceBox;
    QWidget* m_window;
    ListRecs* m_dialog = nullptr;
    std::function<void(ListRecs&)> m_runDialog;
    bool m_running = false;
    bool m_cancel = false;
};

}  // namespace brisden
