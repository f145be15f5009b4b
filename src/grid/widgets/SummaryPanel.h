#pragma once
// "Profit/Loss:": the listing's summary under the grid (Frame3), with the
// box where today's share price is typed.

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

private:
    SummaryLabels m_labels;
    QLineEdit* m_txtSharePrice = nullptr;
};

}  // namespace brisden::grid
