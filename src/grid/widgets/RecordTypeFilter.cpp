#include "grid/widgets/RecordTypeFilter.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace brisden::grid {

QStringList HideableRecordTypes()
{
    return {QStringLiteral("* - Share split"),
            QStringLiteral("A - service fee Against shares"),
            QStringLiteral("D - cash Distribution"),
            QStringLiteral("F - service Fee"),
            QStringLiteral("P - Purchase"),
            QStringLiteral("R - Reinvestment of dividends"),
            QStringLiteral("S - Sale"),
            QStringLiteral("U - price Update")};
}

RecordTypeFilter::RecordTypeFilter(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("RecordTypeFilter"));
    setWindowTitle(QStringLiteral("Select record types to display"));
    m_list = new QListWidget(this);
    for (const QString& entry : HideableRecordTypes()) {
        auto* item = new QListWidgetItem(entry, m_list);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsSelectable);
        item->setCheckState(Qt::Checked);
    }
    m_list->setMinimumWidth(260);
    m_ok = new QPushButton(QStringLiteral("&Ok"), this);
    m_cancel = new QPushButton(QStringLiteral("&Cancel"), this);
    m_ok->setDefault(true);
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_list);
    layout->addLayout(buttons);
}

QString RecordTypeFilter::tickedCodes() const
{
    QString codes;
    for (int i = 0; i < m_list->count(); ++i) {
        const QListWidgetItem* item = m_list->item(i);
        if (item->checkState() == Qt::Checked)
            codes += item->text().left(1);
    }
    return codes;
}

std::optional<QString> RecordTypeFilter::choose()
{
    for (int i = 0; i < m_list->count(); ++i)
        m_list->item(i)->setCheckState(Qt::Checked);
    if (exec() != QDialog::Accepted)
        return std::nullopt;
    return tickedCodes();
}

}  // namespace brisden::grid
