#pragma once
// The listing on the screen (destination 1): the ledger grid refilled with
// the listing rows, the "Profit/Loss:" labels of the main window, and the
// share price box the listing reads today's price from.

#include "analysis/ListingOutput.h"
#include "grid/widgets/LedgerGrid.h"

#include <QElapsedTimer>
#include <QLocale>
#include <QPointer>
#include <functional>

#include <QLineEdit>

class QLabel;

namespace brisden {

// The twelve summary labels of the main window.
struct SummaryLabels {
    QLabel* lblIRR = nullptr;
    QLabel* lblOOP = nullptr;
    QLabel* lblPurchases = nullptr;
    QLabel* lblCashDistr = nullptr;
    QLabel* lblSales = nullptr;
    QLabel* lblGain = nullptr;
    QLabel* lblLowBuy = nullptr;
    QLabel* lblHighBuy = nullptr;
    QLabel* lblAvgBuy = nullptr;
    QLabel* lblLowSell = nullptr;
    QLabel* lblHiSell = nullptr;
    QLabel* lblAvgSell = nullptr;
};

// An amount as the summary shows it: the system's currency format.
QString SummaryCurrency(double value, const QLocale& locale);
// The rate of return as lblIRR shows it: three decimals, "Overflow" for -2.
QString RateText(float rate, const QLocale& locale);

class ScreenListing final : public IListingOutput {
public:
    ScreenListing(grid::LedgerGrid& grid, const SummaryLabels& labels, const QLocale& locale,
                  std::function<void()> clearSummary);

    // Rows expected in the next run (room is made for them at once).
    void expectRows(size_t rows) { m_expectedRows = rows; }

    int destination() const override { return 1; }
    void beginRun() override;
    void beginFile(const ListingFileInfo& file) override;
    int addRow(const ListingRow& row, bool suspect) override;
    void fileSummary(const ListingFileSummary& summary) override;
    void cancelled() override {}
    void portfolioSummary(const QString& portfolioPath,
                          const PortfolioTotalsArray& totals) override;
    void rateOfReturn(float rate) override;
    void finishRun(int firstSuspectRow) override;

private:
    grid::LedgerGrid& m_grid;
    SummaryLabels m_labels;
    QLocale m_locale;
    std::function<void()> m_clearSummary;
    QElapsedTimer m_sincePublish;
    size_t m_expectedRows = 0;
};

// txtSharePrice as the listing sees it.
class PriceBox final : public IPriceBox {
public:
    explicit PriceBox(QLineEdit* box) : m_box(box) {}
    QString text() const override;
    void setText(const QString& text) override;
    void setEnabled(bool enabled) override;
    void selectAll() override;

private:
    QPointer<QLineEdit> m_box;
};

}  // namespace brisden
