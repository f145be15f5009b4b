#include "chart/widgets/ChartCommands.h"

#include "chart/widgets/ChartSelectDialog.h"
#include "chart/widgets/ChartWindow.h"
#include "data/InvestmentFile.h"
#include "grid/widgets/LedgerCommands.h"
#include "grid/widgets/LedgerModel.h"
#include "shell/Settings.h"
#include "ui/Interaction.h"
#include "ui/widgets/CommandHost.h"

#include <QApplication>
#include <QMessageBox>

namespace brisden::chart {

ChartCommands::ChartCommands(const ChartCommandsContext& context, grid::LedgerCommands& ledger,
                             grid::LedgerModel& model, QWidget* parent)
    : QObject(parent), m(context), m_ledger(ledger), m_model(model), m_parent(parent)
{
    m_builder = std::make_unique<ChartBuilder>(ChartBuilderContext{
        m.report, m.messages, *this, [this] { return m.file.CurrentFileDesc; }, m.CurrencyTag,
        m.locale, {}});
}

ChartCommands::~ChartCommands()
{
    delete m_window;
}

ChartWindow* ChartCommands::window() const
{
    return m_window;
}

void ChartCommands::setHelp(ui::IHelp* help)
{
    m_help = help;
    if (m_select)
        m_select->setHelp(help);
    if (m_window)
        m_window->setHelp(help);
}

void ChartCommands::installCommands(ui::CommandHost& host)
{
    host.command("mnuChartItem", QStringLiteral("&Charts..."), [this] { mnuChartItem_Click(); });
}

void ChartCommands::mnuChartItem_Click()
{
    m_builder->setCurrencyTag(m.CurrencyTag);
    m_builder->mnuChartItem_Click();
}

ChartSelectDialog* ChartCommands::selectDialog()
{
    if (!m_select) {
        m_select = new ChartSelectDialog(m_parent);
        m_select->setHelp(m_help);
    }
    return m_select;
}

std::vector<ChartRow> ChartCommands::gridRows()
{
    std::vector<ChartRow> rows;
    const int count = m_model.rowCount();
    rows.reserve(size_t(count));
    for (int r = 0; r < count; ++r)
        rows.push_back(ChartRowOf(m_model.row(r)));
    return rows;
}

void ChartCommands::refreshListing()
{
    m_ledger.Refresh();
}

bool ChartCommands::chartVisible()
{
    return m_window && m_window->isVisible();
}

void ChartCommands::closeChart()
{
    if (m_window)
        m_window->close();
    m_window = nullptr;  // deleted by its closing
}

AddOrErase ChartCommands::askAddOrErase(const QString& question)
{
    if (m_ask)
        return m_ask(question);
    QMessageBox box(QMessageBox::Question, m.ProgramTitle, question,
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, m_parent);
    box.setDefaultButton(QMessageBox::Yes);
    switch (box.exec()) {
        case QMessageBox::Yes:
            return AddOrErase::Add;
        case QMessageBox::No:
            return AddOrErase::Erase;
        default:
            return AddOrErase::Cancel;
    }
}

bool ChartCommands::chooseOptions(ChartOptions& options)
{
    ChartSelectDialog* dialog = selectDialog();
    if (m_choose)
        return m_choose(*dialog, m.report, options);
    return dialog->run(m.report, options);
}

void ChartCommands::showChart(ChartDocument& chart, const ChartOptions&)
{
    if (m_window && !m_window->isVisible())
        m_window = nullptr;  // closed by the user: on its way out
    if (!m_window) {
        // A closed window is gone: the next chart starts with a new one. The
        // main window owns it, so that the program ends with the main window.
        m_window = new ChartWindow(ChartWindowContext{m.settings, m.IniPath, m.ProgramTitle,
                                                      m.messages},
                                   m_parent);
        m_window->setAttribute(Qt::WA_DeleteOnClose);
        m_window->setHelp(m_help);
        if (m_windowCreated)
            m_windowCreated(*m_window);
    }
    m_window->showChart(chart);
}

void ChartCommands::setBusy(bool busy)
{
    if (busy == m_busy)
        return;
    m_busy = busy;
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

}  // namespace brisden::chart
