#pragma once
// The "Charts..." command: asks for the chart options, lists the whole
// ledger into the grid, reads the listing rows back, extracts the series of
// the current investment and adds it to the chart on screen (or starts a new
// chart), up to eight investments. The windows it needs are behind IChartHost.

#include "chart/ChartData.h"
#include "chart/ChartDocument.h"
#include "chart/ChartOptions.h"

#include <QDateTime>
#include <QLocale>
#include <QString>
#include <functional>
#include <vector>

namespace brisden {
struct ReportState;
namespace ui {
class IMessageBox;
}
}  // namespace brisden

namespace brisden::chart {

enum class AddOrErase { Add, Erase, Cancel };

class IChartHost {
public:
    virtual ~IChartHost() = default;
    // The rows of the main grid, in order (header row left out).
    virtual std::vector<ChartRow> gridRows() = 0;
    // The ledger listed into the grid again (the Refresh command).
    virtual void refreshListing() = 0;
    // Whether the chart window is on the screen, and closing it.
    virtual bool chartVisible() = 0;
    virtual void closeChart() = 0;
    // "A chart has already been created. ..." with Yes, No and Cancel.
    virtual AddOrErase askAddOrErase(const QString& question) = 0;
    // The chart options dialog, modal; false for Cancel. On OK the dialog has
    // written ListFromDate and ListToDate.
    virtual bool chooseOptions(ChartOptions& options) = 0;
    // The chart window shows the chart (with the options of its look).
    virtual void showChart(ChartDocument& chart, const ChartOptions& options) = 0;
    // The hourglass while the ledger is listed and read.
    virtual void setBusy(bool busy) = 0;
};

struct ChartBuilderContext {
    ReportState& report;  // ListFromDate, ListToDate
    ui::IMessageBox& messages;
    IChartHost& host;
    std::function<QString()> currentFileDesc;
    QString CurrencyTag;
    QLocale locale;
    // The time the title shows; the clock unless set (tests).
    std::function<QDateTime()> now;
};

namespace chart_text {
inline QString NoEntries()
{
    return QStringLiteral("There are no entries to chart");
}
inline QString AlreadyCreated()
{
    return QStringLiteral(
        "A chart has already been created.  Click 'Yes' to add the current investment as a new "
        "series to the existing chart, or 'No' to erase it and start over.");
}
inline QString OnlyEight()
{
    return QStringLiteral("Sorry.  Only 8 investments can be charted at one time");
}
}  // namespace chart_text

class ChartBuilder {
public:
    explicit ChartBuilder(const ChartBuilderContext& context) : m(context) {}

    // The whole command.
    void mnuChartItem_Click();
    // The currency symbol of the value-axis titles, e.g. "($)".
    void setCurrencyTag(const QString& tag) { m.CurrencyTag = tag; }

    ChartSettings Settings;
    ChartDocument& chart() { return m_chart; }
    const ChartDocument& chart() const { return m_chart; }

private:
    ChartBuilderContext m;
    ChartDocument m_chart;
};

// True when the grid shows a transaction: three grid rows or more counting
// the header, or a last row linked to a record.
bool GridHasEntries(const std::vector<ChartRow>& rows);

}  // namespace brisden::chart
