#include "grid/widgets/SummaryPanel.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>
#include <QLocale>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>

namespace brisden::grid {

namespace {

QLabel* SummaryLabel(QWidget* parent, const char* name)
{
    auto* label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    label->setFrameShape(QFrame::Panel);
    label->setFrameShadow(QFrame::Sunken);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    // Room for a large amount in the system's currency; larger ones show in
    // full once the window is wider.
    const QString widest = QLocale().toCurrencyString(-999999.99, QString(), 2);
    label->setMinimumWidth(label->fontMetrics().horizontalAdvance(widest) +
                           2 * label->frameWidth() + 6);
    return label;
}

QLabel* CaptionLabel(QWidget* parent, const QString& text)
{
    auto* label = new QLabel(text, parent);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    label->setMinimumWidth(label->sizeHint().width());
    return label;
}

}  // namespace

SummaryPanel::SummaryPanel(QWidget* parent) : QGroupBox(QStringLiteral("Profit/Loss:"), parent)
{
    setObjectName(QStringLiteral("Frame3"));
    auto* summary = new QGridLayout;
    summary->setVerticalSpacing(2);
    m_labels.lblOOP = SummaryLabel(this, "lblOOP");
    m_labels.lblPurchases = SummaryLabel(this, "lblPurchases");
    m_labels.lblCashDistr = SummaryLabel(this, "lblCashDistr");
    m_labels.lblSales = SummaryLabel(this, "lblSales");
    m_labels.lblGain = SummaryLabel(this, "lblGain");
    m_labels.lblIRR = SummaryLabel(this, "lblIRR");
    m_labels.lblLowBuy = SummaryLabel(this, "lblLowBuy");
    m_labels.lblHighBuy = SummaryLabel(this, "lblHighBuy");
    m_labels.lblAvgBuy = SummaryLabel(this, "lblAvgBuy");
    m_labels.lblLowSell = SummaryLabel(this, "lblLowSell");
    m_labels.lblHiSell = SummaryLabel(this, "lblHiSell");
    m_labels.lblAvgSell = SummaryLabel(this, "lblAvgSell");
    // Three caption and value pairs a row, so that the panel fits a window
    // 800 pixels wide; each caption keeps the room of its text.
    auto place = [&](int row, int column, const QString& caption, QLabel* value) {
        summary->addWidget(CaptionLabel(this, caption), row, column * 2);
        summary->addWidget(value, row, column * 2 + 1);
    };
    place(0, 0, QStringLiteral("Out of pocket costs:"), m_labels.lblOOP);
    place(0, 1, QStringLiteral("Total purchases:"), m_labels.lblPurchases);
    place(0, 2, QStringLiteral("Cash distributions:"), m_labels.lblCashDistr);
    place(1, 0, QStringLiteral("Sales:"), m_labels.lblSales);
    place(1, 1, QStringLiteral("Realized + Unrealized Gain:"), m_labels.lblGain);
    place(1, 2, QStringLiteral("Internal Rate of Return:"), m_labels.lblIRR);
    // The caption is a link to the flows behind the rate; the value answers a
    // click too.
    auto* rateCaption = qobject_cast<QLabel*>(summary->itemAtPosition(1, 4)->widget());
    rateCaption->setObjectName(QStringLiteral("lblIRRCaption"));
    rateCaption->setTextFormat(Qt::RichText);
    rateCaption->setText(QStringLiteral("<a href=\"flows\">Internal Rate of Return:</a>"));
    rateCaption->setTextInteractionFlags(Qt::LinksAccessibleByMouse |
                                         Qt::LinksAccessibleByKeyboard);
    rateCaption->setToolTip(QStringLiteral("Show the cash flows behind the rate"));
    connect(rateCaption, &QLabel::linkActivated, this, &SummaryPanel::rateFlowsRequested);
    m_labels.lblIRR->setCursor(Qt::PointingHandCursor);
    m_labels.lblIRR->setToolTip(rateCaption->toolTip());
    m_labels.lblIRR->installEventFilter(this);
    place(2, 0, QStringLiteral("Low buy price:"), m_labels.lblLowBuy);
    place(2, 1, QStringLiteral("High buy price:"), m_labels.lblHighBuy);
    place(2, 2, QStringLiteral("Average buy price:"), m_labels.lblAvgBuy);
    place(3, 0, QStringLiteral("Low sell price:"), m_labels.lblLowSell);
    place(3, 1, QStringLiteral("High sell price:"), m_labels.lblHiSell);
    place(3, 2, QStringLiteral("Average sell price:"), m_labels.lblAvgSell);
    for (int column : {1, 3, 5})
        summary->setColumnStretch(column, 1);

    auto* prompt = new QLabel(QStringLiteral("To calculate projected values, if you were to "
                                             "liquidate today, input today's share price:"),
                              this);
    prompt->setObjectName(QStringLiteral("SharePricePrompt"));
    prompt->setWhatsThis(QStringLiteral(
        "Type today's share price and press Enter: the ledger is listed again and valued at "
        "that price, as if everything were sold today."));
    prompt->setWordWrap(true);
    prompt->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_txtSharePrice = new QLineEdit(QStringLiteral("N/A"), this);
    m_txtSharePrice->setObjectName(QStringLiteral("txtSharePrice"));
    m_txtSharePrice->setMinimumWidth(
        m_txtSharePrice->fontMetrics().horizontalAdvance(QStringLiteral("999,999.99")) + 12);
    m_txtSharePrice->setMaximumWidth(140);
    prompt->setBuddy(m_txtSharePrice);
    auto* priceRow = new QHBoxLayout;
    priceRow->addWidget(prompt, 1);
    priceRow->addWidget(m_txtSharePrice);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(summary);
    layout->addLayout(priceRow);
}

bool SummaryPanel::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_labels.lblIRR && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        emit rateFlowsRequested();
        return true;
    }
    return QGroupBox::eventFilter(watched, event);
}

void SummaryPanel::clear()
{
    for (QLabel* label :
         {m_labels.lblIRR, m_labels.lblOOP, m_labels.lblPurchases, m_labels.lblCashDistr,
          m_labels.lblSales, m_labels.lblGain, m_labels.lblLowBuy, m_labels.lblHighBuy,
          m_labels.lblAvgBuy, m_labels.lblLowSell, m_labels.lblHiSell, m_labels.lblAvgSell})
        label->clear();
}

}  // namespace brisden::grid
