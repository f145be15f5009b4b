#include "grid/widgets/RateFlowsWindow.h"

#include "data/Dates.h"
#include "data/NumberText.h"
#include "ui/Help.h"

#include <QAbstractTableModel>
#include <QApplication>
#include <QClipboard>
#include <QDate>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>
#include <cmath>

namespace brisden::grid {

namespace {

enum Column { DateColumn, AmountColumn, YearsColumn, CarriedColumn, KindColumn, FileColumn };
constexpr int ColumnCount = 6;

QDate ToQDate(std::int32_t ymd)
{
    return QDate(ymd / 10000, ymd / 100 % 100, ymd % 100);
}

}  // namespace

class RateFlowsModel final : public QAbstractTableModel {
public:
    RateFlowsModel(QObject* parent, const QLocale& locale)
        : QAbstractTableModel(parent), m_locale(locale)
    {
    }

    void setFlows(std::vector<RateFlow> flows, float rate, bool solved)
    {
        beginResetModel();
        m_flows = std::move(flows);
        m_rate = rate;
        m_solved = solved;
        endResetModel();
    }
    const std::vector<RateFlow>& flows() const { return m_flows; }
    bool solved() const { return m_solved; }
    double carried(const RateFlow& flow) const
    {
        return flow.Amount * std::pow(1.0 + double(m_rate), double(flow.Years));
    }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override
    {
        return parent.isValid() ? 0 : int(m_flows.size());
    }
    int columnCount(const QModelIndex& parent = QModelIndex()) const override
    {
        return parent.isValid() ? 0 : ColumnCount;
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
            return QVariant();
        switch (section) {
            case DateColumn:
                return QStringLiteral("Date");
            case AmountColumn:
                return QStringLiteral("Amount");
            case YearsColumn:
                return QStringLiteral("Years to end");
            case CarriedColumn:
                return QStringLiteral("Value at end");
            case KindColumn:
                return QStringLiteral("Kind");
            case FileColumn:
                return QStringLiteral("File");
        }
        return QVariant();
    }

    QVariant data(const QModelIndex& index, int role) const override
    {
        if (!index.isValid() || index.row() >= int(m_flows.size()))
            return QVariant();
        const RateFlow& flow = m_flows[std::size_t(index.row())];
        if (role == Qt::TextAlignmentRole) {
            const bool number = index.column() == AmountColumn || index.column() == YearsColumn ||
                                index.column() == CarriedColumn;
            return QVariant::fromValue(Qt::AlignVCenter |
                                       (number ? Qt::AlignRight : Qt::AlignLeft));
        }
        if (role == Qt::ToolTipRole && index.column() == FileColumn)
            return flow.Description;
        if (role != Qt::DisplayRole)
            return QVariant();
        switch (index.column()) {
            case DateColumn:
                return m_locale.toString(ToQDate(flow.Date), QLocale::ShortFormat);
            case AmountColumn:
                return m_locale.toString(flow.Amount, 'f', 2);
            case YearsColumn:
                return m_locale.toString(double(flow.Years), 'f', 4);
            case CarriedColumn:
                return m_solved ? m_locale.toString(carried(flow), 'f', 2) : QString();
            case KindColumn:
                return RateFlowKindText(flow.Kind);
            case FileColumn:
                return flow.File;
        }
        return QVariant();
    }

private:
    QLocale m_locale;
    std::vector<RateFlow> m_flows;
    float m_rate = 0;
    bool m_solved = false;
};

RateFlowsWindow::RateFlowsWindow(QWidget* parent, ui::IHelp* help, const QLocale& locale)
    : QDialog(parent), m_locale(locale)
{
    setObjectName(QStringLiteral("frmRateFlows"));
    setWindowTitle(QStringLiteral("Internal Rate of Return - Cash Flows"));
    m_model = new RateFlowsModel(this, locale);
    m_note = new QLabel(this);
    m_note->setObjectName(QStringLiteral("lblRateFlowsNote"));
    m_note->setWordWrap(true);
    m_table = new QTableView(this);
    m_table->setObjectName(QStringLiteral("tblRateFlows"));
    m_table->setModel(m_model);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->verticalHeader()->setVisible(false);
    m_table->horizontalHeader()->setStretchLastSection(true);

    auto* buttons = new QDialogButtonBox(this);
    m_copy = buttons->addButton(QStringLiteral("&Copy"), QDialogButtonBox::ActionRole);
    m_copy->setObjectName(QStringLiteral("cmdCopy"));
    m_copy->setToolTip(QStringLiteral("Copy the cash flows to the clipboard, every digit"));
    QPushButton* close = buttons->addButton(QDialogButtonBox::Close);
    close->setObjectName(QStringLiteral("cmdClose"));
    m_help = buttons->addButton(QStringLiteral("&Help"), QDialogButtonBox::HelpRole);
    m_help->setObjectName(QStringLiteral("cmdHelp"));
    connect(m_copy, &QPushButton::clicked, this,
            [this] { QApplication::clipboard()->setText(copyText()); });
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    connect(m_help, &QPushButton::clicked, this, [this] {
        if (m_helpTarget)
            m_helpTarget->ShowHelpTopic(ui::HelpRateOfReturnFlows);
    });
    setHelp(help);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_note);
    layout->addWidget(m_table, 1);
    layout->addWidget(buttons);
    resize(720, 360);
}

RateFlowsWindow::~RateFlowsWindow() = default;

void RateFlowsWindow::setHelp(ui::IHelp* help)
{
    m_helpTarget = help;
    m_help->setEnabled(help != nullptr);
}

void RateFlowsWindow::setFlows(std::vector<RateFlow> flows, const RateFlowTrail& trail)
{
    const bool solved = trail.Computed && trail.Rate != IrrFailed;
    m_model->setFlows(std::move(flows), trail.Rate, solved);
    const auto count = qsizetype(m_model->flows().size());
    const QString endDate =
        m_locale.toString(ToQDate(DayNumberToDate(trail.EndDay)), QLocale::ShortFormat);
    if (!trail.Computed) {
        m_note->setText(QStringLiteral("No rate of return was computed for this listing."));
    } else if (!solved) {
        m_note->setText(QStringLiteral("The rate of return could not be solved (\"Overflow\") "
                                       "over these %1 cash flows, counted to %2.")
                            .arg(count)
                            .arg(endDate));
    } else {
        double sum = 0;
        for (const RateFlow& flow : m_model->flows())
            sum += m_model->carried(flow);
        m_note->setText(QStringLiteral("The internal rate of return %1 solves these %2 cash "
                                       "flows: carried to %3 at that rate, they add up to %4. "
                                       "Money put in is positive, money paid back negative.")
                            .arg(m_locale.toString(double(trail.Rate), 'f', 6))
                            .arg(count)
                            .arg(endDate, m_locale.toString(sum, 'f', 2)));
    }
    m_table->resizeColumnsToContents();
}

QString RateFlowsWindow::copyText() const
{
    QString text = QStringLiteral("Date\tAmount\tYears\tValue at end\tKind\tFile\tDescription\n");
    for (const RateFlow& flow : m_model->flows()) {
        text += ToQDate(flow.Date).toString(Qt::ISODate) + QLatin1Char('\t') +
                QString::fromLatin1(PlainNumber(flow.Amount)) + QLatin1Char('\t') +
                QString::fromLatin1(PlainSingle(flow.Years)) + QLatin1Char('\t') +
                (m_model->solved() ? QString::fromLatin1(PlainNumber(m_model->carried(flow)))
                                   : QString()) +
                QLatin1Char('\t') + RateFlowKindText(flow.Kind) + QLatin1Char('\t') + flow.File +
                QLatin1Char('\t') + flow.Description + QLatin1Char('\n');
    }
    return text;
}

}  // namespace brisden::grid
