#pragma once
// "Profit/Loss:": the listing's summary under the grid (Frame3), with the
// box where today's share price is typed. The rate of return's caption is a
// link to the cash flows behind the rate.

#include "grid/widgets/ScreenListing.h"

#include <QGroupBox>

class QLineEdit;

namespace brisden::grid {

class SummaryPanel final : public QGroupBox {
    Q_OBJECT
public:
    explicit SummaryPanel(QWidget* parent = nullptr);

    const SummaryLabels& labels() const { return m_labels; }
    QLineEdit* sharePriceBox() const { return m_txtSharePrice; }
    // Empties the twelve summary labels.
    void clear();

signals:
    // The rate of return's caption (a link) or its value was clicked: the
    // cash flows behind the rate are wanted.
    void rateFlowsRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    SummaryLabels m_labels;
    QLineEdit* m_txtSharePrice = nullptr;
};

}  // namespace brisden::grid
