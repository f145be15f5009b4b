#include "basis/widgets/BasisCommands.h"

#include "basis/BasisPrinter.h"
#include "basis/BasisTextFile.h"
#include "basis/BasisWorksheet.h"
#include "basis/widgets/BasisWrkSheet.h"
#include "data/FileTable.h"
#include "data/InvestmentFile.h"
#include "data/Portfolio.h"
#include "data/widgets/PathEllipsis.h"
#include "report/ReportFile.h"
#include "report/ReportState.h"
#include "report/widgets/PrintPreview.h"
#include "report/widgets/ReportPrinting.h"
#include "shell/Settings.h"
#include "ui/widgets/CommandHost.h"
#include "ui/widgets/EscapeWatch.h"
#include "ui/widgets/WidgetInteraction.h"

#include <QApplication>
#include <QKeyEvent>
#include <memory>

namespace brisden {

using ui::EscapeWatch;

BasisCommands::BasisCommands(const BasisCommandsContext& context, ReportPrinting& printing,
                             QWidget* window)
    : QObject(window), m(context), m_printing(printing), m_window(window)
{
}

BasisWrkSheet& BasisCommands::dialog()
{
    if (!m_dialog)
        m_dialog = new BasisWrkSheet(m_printing, m.settings, m.report, m.help, m_window);
    return *m_dialog;
}

void BasisCommands::installCommands(ui::CommandHost& host)
{
    host.command("mnuBasisItem", QStringLiteral("&Basis worksheet..."),
                 QKeySequence(Qt::CTRL | Qt::Key_B), [this] { mnuBasisItem_Click(); });
}

void BasisCommands::mnuBasisItem_Click()
{
    if (!m.file.isOpen())
        return;
    BasisWrkSheet& d = dialog();
    d.Activate();
    if (m_runDialog)
        m_runDialog(d);
    else
        d.exec();
    const int destination = d.Result.toInt();
    if (destination == 0)
        return;
    const int method = d.method();
    m_printing.RunReport(destination, m.settings.TextBasisLines, m.report,
                         [this, method](ReportJob* job) { run(job, method); });
}

void BasisCommands::run(ReportJob* job, int method)
{
    m_running = true;
    m_cancel = false;
    EscapeWatch escape(m_cancel);
    m.report.ReportTitle = QStringLiteral("Portfolio: ") +
                           PathWithEllipses(*m_window, m.portfolio.CurrentPortfolio, 180);
    std::unique_ptr<ReportFileWriter> writer;
    std::unique_ptr<IBasisOutput> output;
    if (job) {
        output = std::make_unique<BasisPrinter>(job->composer(), m.settings.TextBasisLines,
                                                m.settings.TextBasisTopMargin);
    } else {
        m.report.ReportDestination = DestinationFile;
        writer = std::make_unique<ReportFileWriter>(m.files, ShortSlot);
        output = std::make_unique<BasisTextFileOutput>(*writer);
    }
    ui::WidgetCancelPoll cancel([this] { return m_cancel; });
    BasisWorksheet worksheet(BasisContext{m.file, m.report, m.calendar, m.log, *output,
                                          m.messages, cancel, m.ProgramTitle});
    worksheet.Run(method);
    if (!job)
        m.files.CloseFile(ShortSlot);
    m_running = false;
    if (job)
        job->finish();
}

}  // namespace brisden
