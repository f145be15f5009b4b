#pragma once
// The main window's "Charts..." command: the chart builder with the screen
// it needs (the ledger grid and its listing, the chart options dialog, the
// chart window and the add-or-start-over question).

#include "chart/ChartBuilder.h"

#include <QLocale>
#include <QObject>
#include <QPointer>
#include <functional>
#include <memory>

class QWidget;

namespace brisden {
class InvestmentFile;
class Settings;
struct ReportState;
namespace grid {
class LedgerCommands;
class LedgerModel;
}  // namespace grid
namespace ui {
class CommandHost;
class IHelp;
class IMessageBox;
}  // namespace ui

namespace chart {

class ChartSelectDialog;
class ChartWindow;

struct ChartCommandsContext {
    InvestmentFile& file;  // CurrentFileDesc
    ReportState& report;
    Settings& settings;
    ui::IMessageBox& messages;
    QString IniPath;
    QString ProgramTitle;
    const QString& CurrencyTag;  // learnt at start, after the window is made
    const QLocale& locale;
};

class ChartCommands final : public QObject, private IChartHost {
    Q_OBJECT
public:
    ChartCommands(const ChartCommandsContext& context, grid::LedgerCommands& ledger,
                  grid::LedgerModel& model, QWidget* parent);
    ~ChartCommands() override;

    // "Charts...".
    void installCommands(ui::CommandHost& host);

    void setHelp(ui::IHelp* help);

    // "Charts...".
    void mnuChartItem_Click();

    ChartBuilder& builder() { return *m_builder; }
    ChartSelectDialog* selectDialog();
    // The chart window while a chart is open (null otherwise).
    ChartWindow* window() const;

    // --- what the tests replace -------------------------------------
    // The Yes/No/Cancel question (default: a message box).
    void setAskAddOrErase(std::function<AddOrErase(const QString&)> ask)
    {
        m_ask = std::move(ask);
    }
    // The options dialog's run (default: modal).
    void setChooseOptions(std::function<bool(ChartSelectDialog&, ReportState&, ChartOptions&)> run)
    {
        m_choose = std::move(run);
    }
    // Called with every new chart window (tests configure it).
    void setWindowCreated(std::function<void(ChartWindow&)> created)
    {
        m_windowCreated = std::move(created);
    }

private:
    std::vector<ChartRow> gridRows() override;
    void refreshListing() override;
    bool chartVisible() override;
    void closeChart() override;
    AddOrErase askAddOrErase(const QString& question) override;
    bool chooseOptions(ChartOptions& options) override;
    void showChart(ChartDocument& chart, const ChartOptions& options) override;
    void setBusy(bool busy) override;

    ChartCommandsContext m;
    grid::LedgerCommands& m_ledger;
    grid::LedgerModel& m_model;
    QWidget* m_parent;
    ui::IHelp* m_help = nullptr;
    std::unique_ptr<ChartBuilder> m_builder;
    ChartSelectDialog* m_select = nullptr;
    QPointer<ChartWindow> m_window;
    std::function<AddOrErase(const QString&)> m_ask;
    std::function<bool(ChartSelectDialog&, ReportState&, ChartOptions&)> m_choose;
    std::function<void(ChartWindow&)> m_windowCreated;
    bool m_busy = false;
};

}  // namespace chart
}  // namespace brisden
