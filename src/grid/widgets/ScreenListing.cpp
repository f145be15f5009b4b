#include "grid/widgets/ScreenListing.h"

#include <QLabel>
#include <QLineEdit>

namespace brisden {

namespace {

// New rows reach the grid in batches this far apart, so that a long listing
// shows its progress without announcing every row.
constexpr int PublishIntervalMs = 250;

void SetLabel(QLabel* label, const QString& text)
{
    if (label)
        label->setText(text);
}

}  // namespace

QString SummaryCurrency(double value, const QLocale& locale)
{
    return locale.toCurrencyString(value, QString(), 2);
}

QString RateText(float rate, const QLocale& locale)
{
    if (rate == -2.0f)
        return QStringLiteral("Overflow");
    return locale.toString(double(rate), 'f', 3);
}

ScreenListing::ScreenListing(grid::LedgerGrid& grid, const SummaryLabels& labels,
                             const QLocale& locale, std::function<void()> clearSummary)
    : m_grid(grid), m_labels(labels), m_locale(locale), m_clearSummary(std::move(clearSummary))
{
}

void ScreenListing::beginRun()
{
    if (m_clearSummary)
        m_clearSummary();
    grid::LedgerModel* model = m_grid.ledgerModel();
    model->clear();
    model->reserve(m_expectedRows + 2);
    m_sincePublish.start();
}

void ScreenListing::beginFile(const ListingFileInfo&) {}

int ScreenListing::addRow(const ListingRow& row, bool suspect)
{
    grid::LedgerModel* model = m_grid.ledgerModel();
    const int number = model->appendRow(grid::MakeGridRow(row, suspect));
    if (m_sincePublish.elapsed() >= PublishIntervalMs) {
        model->publish();
        m_sincePublish.restart();
    }
    return number;
}

void ScreenListing::fileSummary(const ListingFileSummary& s)
{
    // The rows listed so far go to the grid now: a message may follow.
    m_grid.ledgerModel()->publish();
    auto money = [this](double v) { return SummaryCurrency(v, m_locale); };
    auto average = [&money](const std::optional<double>& v) {
        return v ? money(*v) : QStringLiteral("N/A");
    };
    SetLabel(m_labels.lblOOP, money(s.OutOfPocketCosts));
    SetLabel(m_labels.lblPurchases, money(s.TotalPurchases));
    SetLabel(m_labels.lblCashDistr, money(s.CashDistributions));
    SetLabel(m_labels.lblSales, money(s.Sales));
    SetLabel(m_labels.lblGain, money(s.Gain));
    SetLabel(m_labels.lblLowBuy, money(s.LowBuy));
    SetLabel(m_labels.lblHighBuy, money(s.HighBuy));
    SetLabel(m_labels.lblAvgBuy, average(s.AverageBuy));
    SetLabel(m_labels.lblLowSell, money(s.LowSell));
    SetLabel(m_labels.lblHiSell, money(s.HighSell));
    SetLabel(m_labels.lblAvgSell, average(s.AverageSell));
}

void ScreenListing::portfolioSummary(const QString&, const PortfolioTotalsArray&)
{
    // The screen lists one file at a time; a portfolio summary goes to the
    // printer or a file.
}

void ScreenListing::rateOfReturn(float rate)
{
    SetLabel(m_labels.lblIRR, RateText(rate, m_locale));
}

void ScreenListing::finishRun(int firstSuspectRow)
{
    grid::LedgerModel* model = m_grid.ledgerModel();
    model->appendRow(grid::BlankGridRow());
    model->publish();
    m_grid.applyRowHeights();
    // Grid rows count the header as row 0.
    const int current = firstSuspectRow >= 1 ? firstSuspectRow - 1 : model->rowCount() - 1;
    m_grid.setCurrentRow(current);
}

QString PriceBox::text() const
{
    return m_box ? m_box->text() : QString();
}

void PriceBox::setText(const QString& text)
{
    if (m_box)
        m_box->setText(text);
}

void PriceBox::setEnabled(bool enabled)
{
    if (m_box)
        m_box->setEnabled(enabled);
}

void PriceBox::selectAll()
{
    if (m_box) {
        m_box->setFocus();
        m_box->selectAll();
    }
}

}  // namespace brisden
