#pragma once
// The ledger on the screen: the listing of the current file into the grid
// and the summary, and the commands that work on what the grid shows
// (refresh, record types to display, row heights). The listing can be
// stopped with Escape (requestCancel).

#include "analysis/RateFlows.h"
#include "ui/Interaction.h"
#include "ui/widgets/WidgetInteraction.h"

#include <QObject>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

class QPushButton;
class QWidget;

namespace brisden {

struct Calendar;
class InvestmentFile;
class PriceBox;
class ScreenListing;
class Settings;
struct ReportState;

namespace ui {
class CommandHost;
class IHelp;
}

namespace grid {

class LedgerGrid;
class RateFlowsWindow;
class LedgerModel;
class RecordTypeFilter;
class SummaryPanel;

// What the listing on the screen reads and talks to.
struct LedgerContext {
    InvestmentFile& file;
    ReportState& report;
    const Settings& settings;
    const Calendar& calendar;
    ui::ILogSink& log;
    ui::IMessageBox& messages;
    ui::IInputBox& input;
    QString ProgramTitle;
};

class LedgerCommands final : public QObject {
    Q_OBJECT
public:
    LedgerCommands(const LedgerContext& context, LedgerGrid& grid, LedgerModel& model,
                   SummaryPanel& summary, QWidget* dialogParent);
    ~LedgerCommands() override;

    // The items on what the grid shows (refresh, record types, row heights,
    // also in the right-click menu) and the refresh button; Enter in the
    // share price box lists again with the typed price. The row heights
    // reset to heightAtStart.
    void installCommands(ui::CommandHost& host, QPushButton* refreshButton,
                         std::int16_t heightAtStart);

    // Lists the current file into the grid (destination 1). The grid's look
    // follows the settings at every listing.
    void ListLedger();
    // "Refresh/Recalc grid": the whole ledger listed again.
    void Refresh();
    // "Select record types to display...".
    void ChooseRecordTypes();
    // "Make same as selected row" and "Reset to default" (to the height read
    // at start): every row takes the height at once, without a new listing.
    void SetRowHeightFromCurrent();
    void ResetRowHeight(std::int16_t heightAtStart);

    bool listing() const { return m_listing; }
    void requestCancel() { m_cancelRequested = true; }
    bool cancelRequested() const { return m_cancelRequested; }
    // Rows listed by the last listing (without the empty last row).
    int listedRows() const;

    // "Select record types to display": the ticked codes, nullopt for Cancel.
    void setChooseRecordTypes(std::function<std::optional<QString>()> chooser)
    {
        m_chooseRecordTypes = std::move(chooser);
    }
    RecordTypeFilter* recordTypeFilter() const { return m_recordTypeFilter; }

    // The cash flows behind the rate of return of the last listing, in their
    // window (opened from the summary's rate of return; kept up to date by
    // every listing while it is shown).
    void ShowRateFlows();
    RateFlowsWindow* rateFlowsWindow() const { return m_rateFlowsWindow; }
    // The help behind the windows' Help buttons (may be null).
    void setHelp(ui::IHelp* help);

private:
    LedgerContext m;
    LedgerGrid& m_grid;
    LedgerModel& m_model;
    SummaryPanel& m_summary;
    QWidget* m_dialogParent;
    std::unique_ptr<ScreenListing> m_screen;
    std::unique_ptr<PriceBox> m_priceBox;
    std::unique_ptr<ui::WidgetCancelPoll> m_cancelPoll;
    RecordTypeFilter* m_recordTypeFilter = nullptr;
    RateFlowsWindow* m_rateFlowsWindow = nullptr;
    ui::IHelp* m_help = nullptr;
    // The last listing's cash flows and where they came from.
    CashFlowTable m_rateCashFlows;
    RateFlowTrail m_rateTrail;
    std::function<std::optional<QString>()> m_chooseRecordTypes;
    bool m_listing = false;
    bool m_cancelRequested = false;
};

}  // namespace grid
}  // namespace brisden
