#include "grid/widgets/LedgerCommands.h"

#include "analysis/Listing.h"
#include "data/FileTable.h"
#include "data/InvestmentFile.h"
#include "grid/widgets/GridAppearance.h"
#include "grid/widgets/LedgerGrid.h"
#include "grid/widgets/LedgerModel.h"
#include "grid/widgets/RateFlowsWindow.h"
#include "grid/widgets/RecordTypeFilter.h"
#include "grid/widgets/ScreenListing.h"
#include "grid/widgets/SummaryPanel.h"
#include "report/ReportState.h"
#include "ui/widgets/CommandHost.h"

#include <QAction>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>

namespace brisden::grid {

namespace {

// The listing's messages and questions, with the rows listed so far shown in
// the grid behind them.
class ShowRowsFirst final : public ui::IMessageBox {
public:
    ShowRowsFirst(ui::IMessageBox& target, LedgerModel& model) : m_target(target), m_model(model) {}
    void show(const QString& text, ui::Icon icon) override
    {
        m_model.publish();
        m_target.show(text, icon);
    }
    bool askYesNo(const QString& text, bool defaultNo) override
    {
        m_model.publish();
        return m_target.askYesNo(text, defaultNo);
    }
    bool askOkCancel(const QString& text) override
    {
        m_model.publish();
        return m_target.askOkCancel(text);
    }
    void beep() override { m_target.beep(); }

private:
    ui::IMessageBox& m_target;
    LedgerModel& m_model;
};

}  // namespace

LedgerCommands::LedgerCommands(const LedgerContext& context, LedgerGrid& grid, LedgerModel& model,
                               SummaryPanel& summary, QWidget* dialogParent)
    : QObject(dialogParent),
      m(context),
      m_grid(grid),
      m_model(model),
      m_summary(summary),
      m_dialogParent(dialogParent)
{
    m_screen = std::make_unique<ScreenListing>(m_grid, m_summary.labels(), m.calendar.locale,
                                               [this] { m_summary.clear(); });
    m_priceBox = std::make_unique<PriceBox>(m_summary.sharePriceBox());
    m_cancelPoll = std::make_unique<ui::WidgetCancelPoll>([this] { return m_cancelRequested; });
    connect(&m_summary, &SummaryPanel::rateFlowsRequested, this, &LedgerCommands::ShowRateFlows);
}

LedgerCommands::~LedgerCommands() = default;

void LedgerCommands::ListLedger()
{
    if (m_listing || !m.file.isOpen())
        return;
    m_listing = true;
    m_cancelRequested = false;
    m.report.ReportDestination = DestinationScreen;
    ApplyGridAppearance(m_grid, m_model, m.settings);
    m_screen->expectRows(
        size_t(std::max<std::int64_t>(0, m.file.files().length(InvestmentSlot) / RecordLength)));
    ShowRowsFirst messages(m.messages, m_model);
    ListingContext context{m.file,           m.report, m.calendar, m.log,         *m_screen,
                           m_priceBox.get(), messages, m.input,    *m_cancelPoll, m.ProgramTitle};
    TransactionListing listing(context);
    listing.ListTrans(nullptr);
    m_rateCashFlows = std::move(listing.CashFlows);
    m_rateTrail = std::move(listing.RateTrail);
    m_listing = false;
    if (m_rateFlowsWindow && m_rateFlowsWindow->isVisible())
        m_rateFlowsWindow->setFlows(ListRateFlows(m_rateCashFlows, m_rateTrail), m_rateTrail);
}

void LedgerCommands::ShowRateFlows()
{
    // A closed file leaves no listing behind.
    if (!m.file.isOpen()) {
        m_rateCashFlows.clear();
        m_rateTrail.clear();
    }
    if (!m_rateFlowsWindow)
        m_rateFlowsWindow = new RateFlowsWindow(m_dialogParent, m_help, m.calendar.locale);
    m_rateFlowsWindow->setFlows(ListRateFlows(m_rateCashFlows, m_rateTrail), m_rateTrail);
    m_rateFlowsWindow->show();
    m_rateFlowsWindow->raise();
    m_rateFlowsWindow->activateWindow();
}

void LedgerCommands::setHelp(ui::IHelp* help)
{
    m_help = help;
    if (m_rateFlowsWindow)
        m_rateFlowsWindow->setHelp(help);
}

void LedgerCommands::installCommands(ui::CommandHost& host, QPushButton* refreshButton,
                                     std::int16_t heightAtStart)
{
    host.command("mnuRTHide", QStringLiteral("&Select record types to display..."),
                 [this] { ChooseRecordTypes(); });
    QAction* refresh = host.command("mnuRefreshItem", QStringLiteral("&Refresh/Recalc grid"),
                                    QKeySequence(Qt::Key_F5), [this] { Refresh(); });
    ui::CommandHost::twin(refresh, refreshButton);
    host.onCommand(refreshButton, [this] { Refresh(); });
    host.command("mnuRowHeightSet", QStringLiteral("&Make same as selected row"),
                 [this] { SetRowHeightFromCurrent(); });
    host.command("mnuRCRowHeightSet", QStringLiteral("&Make same as this row"),
                 [this] { SetRowHeightFromCurrent(); });
    for (const char* reset : {"mnuRowHeightReset", "mnuRCRowHeightReset"})
        host.command(reset, QStringLiteral("&Reset to default"),
                     [this, heightAtStart] { ResetRowHeight(heightAtStart); });
    // Enter in the share price box lists again with the typed price.
    connect(m_summary.sharePriceBox(), &QLineEdit::returnPressed, this, [this, refresh, &host] {
        if (refresh->isEnabled() && host.mayRun())
            Refresh();
    });
}

void LedgerCommands::Refresh()
{
    if (m_listing || m.file.CurrentFile.isEmpty())
        return;
    m.report.ListFromDate = 0;
    m.report.ListToDate = 99999999;
    ListLedger();
}

void LedgerCommands::ChooseRecordTypes()
{
    std::optional<QString> types;
    if (m_chooseRecordTypes) {
        types = m_chooseRecordTypes();
    } else {
        if (!m_recordTypeFilter)
            m_recordTypeFilter = new RecordTypeFilter(m_dialogParent);
        types = m_recordTypeFilter->choose();
    }
    if (!types)
        return;
    if (types->size() >= HideableRecordTypes().size()) {
        Refresh();
        return;
    }
    m_grid.showRecordTypes(*types);
}

void LedgerCommands::SetRowHeightFromCurrent()
{
    // Only the heights change: the rows are not listed again.
    m_grid.setDataRowHeight(m_grid.currentRowHeightTwips());
    m_grid.applyUniformRowHeight();
}

void LedgerCommands::ResetRowHeight(std::int16_t heightAtStart)
{
    m_grid.setDataRowHeight(heightAtStart);
    m_grid.applyUniformRowHeight();
}

int LedgerCommands::listedRows() const
{
    const int rows = m_model.rowCount();
    return rows > 0 ? rows - 1 : 0;
}

}  // namespace brisden::grid
