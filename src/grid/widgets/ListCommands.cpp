#include "grid/widgets/ListCommands.h"

#include "analysis/Listing.h"
#include "analysis/ListingPrinter.h"
#include "analysis/ListingTextFile.h"
#include "data/FileTable.h"
#include "data/InvestmentFile.h"
#include "data/Portfolio.h"
#include "data/widgets/PathEllipsis.h"
#include "grid/widgets/ListRecs.h"
#include "grid/widgets/ScreenListing.h"
#include "report/ReportFile.h"
#include "report/ReportState.h"
#include "report/widgets/PrintPreview.h"
#include "report/widgets/ReportPrinting.h"
#include "shell/Settings.h"
#include "ui/widgets/CommandHost.h"
#include "ui/widgets/EscapeWatch.h"
#include "ui/widgets/WidgetInteraction.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>

namespace brisden {

using ui::EscapeWatch;

ListCommands::ListCommands(const ListCommandsContext& context, ReportPrinting& printing,
                           QLineEdit* priceBox, QWidget* window)
    : QObject(window), m(context), m_printing(printing), m_priceBox(priceBox), m_window(window)
{
}

ListCommands::~ListCommands() = default;

ListRecs& ListCommands::dialog()
{
    if (!m_dialog)
        m_dialog = new ListRecs(m_printing, m.settings, m.report, m.help, m_window);
    return *m_dialog;
}

void ListCommands::installCommands(ui::CommandHost& host, QPushButton* listButton)
{
    QAction* item =
        host.command("mnuListItem", QStringLiteral("&List to printer or file..."),
                     QKeySequence(Qt::CTRL | Qt::Key_L), [this] { mnuListItem_Click(); });
    ui::CommandHost::twin(item, listButton);
    host.onCommand(listButton, [this] { mnuListItem_Click(); });
}

void ListCommands::mnuListItem_Click()
{
    if (m.report.ListToDate == 0)
        m.report.ListToDate = 99999999;
    ListRecs& d = dialog();
    d.Activate();
    if (m_runDialog)
        m_runDialog(d);
    else
        d.exec();
    const int destination = d.Tag.toInt();
    if (destination == 0)
        return;
    const bool portfolio = d.listPortfolio();
    m_printing.RunReport(destination, m.settings.TextListLines, m.report,
                         [this, portfolio](ReportJob* job) { run(job, portfolio); });
}

void ListCommands::run(ReportJob* job, bool portfolio)
{
    m_running = true;
    m_cancel = false;
    EscapeWatch escape(m_cancel);
    const QString shownFile = m.file.CurrentFile;
    const QString shownDesc = m.file.CurrentFileDesc;
    m.report.ReportTitle = QStringLiteral("Portfolio: ") +
                           PathWithEllipses(*m_window, m.portfolio.CurrentPortfolio, 180);

    std::unique_ptr<ReportFileWriter> writer;
    std::unique_ptr<IListingOutput> output;
    if (job) {
        output = std::make_unique<ListingPrinter>(job->composer(), m.calendar,
                                                  m.settings.TextListLines,
                                                  m.settings.TextListTopMargin);
    } else {
        m.report.ReportDestination = DestinationFile;
        writer = std::make_unique<ReportFileWriter>(m.files, ShortSlot);
        output = std::make_unique<ListingFileOutput>(*writer, m.calendar, m.ProgramTitle);
    }
    PriceBox priceBox(m_priceBox);
    ui::WidgetCancelPoll cancel([this] { return m_cancel; });
    TransactionListing listing(ListingContext{m.file, m.report, m.calendar, m.log, *output,
                                              m_priceBox ? &priceBox : nullptr, m.messages,
                                              m.input, cancel, m.ProgramTitle});
    listing.ListTrans(portfolio ? &m.portfolio : nullptr);
    if (!job)
        m.files.CloseFile(ShortSlot);

    // The file shown in the window is current again.
    if (portfolio && m.file.CurrentFile.compare(shownFile, Qt::CaseInsensitive) != 0) {
        m.file.CurrentFile = shownFile;
        m.file.CurrentFileDesc = shownDesc;
        if (!shownFile.isEmpty())
            m.file.open(shownFile);
    }
    m.log.LogSession(QStringLiteral("Listing created"));
    m_running = false;
    if (job)
        job->finish();
}

}  // namespace brisden
