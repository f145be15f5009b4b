#pragma once
// "Basis worksheet...": the cost-basis worksheet of the current file to the
// print preview, the printer or a text file, after the BasisWrkSheet dialog.

#include "ui/Help.h"
#include "ui/Interaction.h"

#include <QObject>
#include <QString>
#include <functional>

class QWidget;

namespace brisden {

namespace ui {
class CommandHost;
}

struct Calendar;
class BasisWrkSheet;
class FileTable;
class InvestmentFile;
class Portfolio;
class ReportJob;
class ReportPrinting;
class Settings;
struct ReportState;

struct BasisCommandsContext {
    FileTable& files;
    InvestmentFile& file;
    const Portfolio& portfolio;
    ReportState& report;
    const Settings& settings;
    const Calendar& calendar;
    ui::ILogSink& log;
    ui::IMessageBox& messages;
    ui::IHelp* help;
    QString ProgramTitle;
};

class BasisCommands final : public QObject {
    Q_OBJECT
public:
    BasisCommands(const BasisCommandsContext& context, ReportPrinting& printing, QWidget* window);

    // "Basis worksheet...".
    void installCommands(ui::CommandHost& host);
    // mnuBasisItem_Click.
    void mnuBasisItem_Click();
    BasisWrkSheet& dialog();
    // Answers the dialog instead of showing it (tests).
    void setDialogRunner(std::function<void(BasisWrkSheet&)> runner)
    {
        m_runDialog = std::move(runner);
    }
    bool running() const { return m_running; }

private:
    void run(ReportJob* job, int method);

    BasisCommandsContext m;
    ReportPrinting& m_printing;
    QWidget* m_window;
    BasisWrkSheet* m_dialog = nullptr;
    std::function<void(BasisWrkSheet&)> m_runDialog;
    bool m_running = false;
    bool m_cancel = false;
};

}  // namespace brisden
