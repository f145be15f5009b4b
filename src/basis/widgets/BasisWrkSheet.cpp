#include "basis/widgets/BasisWrkSheet.h"

#include "basis/BasisLot.h"
#include "report/ReportState.h"
#include "report/widgets/ReportPrinting.h"
#include "shell/Settings.h"

#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPrinter>
#include <QRadioButton>
#include <QVBoxLayout>

namespace brisden {

BasisWrkSheet::BasisWrkSheet(ReportPrinting& printing, const Settings& settings,
                             ReportState& report, ui::IHelp* help, QWidget* parent)
    : ReportDialog(QStringLiteral("Basis worksheet"), printing, settings, report, help, parent)
{
    setObjectName(QStringLiteral("BasisWrkSheet"));
    setWindowTitle(QStringLiteral("Basis worksheet"));
    if (parent)
        setWindowIcon(parent->windowIcon());
    auto* layout = new QVBoxLayout(this);

    auto* methods = new QGroupBox(QStringLiteral("Cost basis method"), this);
    auto* methodLayout = new QVBoxLayout(methods);
    m_list1 = new QListWidget(methods);
    m_list1->setObjectName(QStringLiteral("List1"));
    for (int code = 1; code <= 5; ++code)
        m_list1->addItem(BasisMethodName(code));
    m_list1->setCurrentRow(0);
    m_list1->setMaximumHeight(m_list1->sizeHintForRow(0) * 5 + 8);
    methodLayout->addWidget(m_list1);
    layout->addWidget(methods);

    AddDateRange(layout);
    AddDestination(layout);
    AddButtons(layout, QStringLiteral("Page &setup..."), ui::HelpBasisWorksheet);
}

int BasisWrkSheet::method() const
{
    return m_list1->currentRow() + 1;
}

void BasisWrkSheet::Activate()
{
    Result.clear();
    if (!m_settings.TextDevice.isEmpty() && label3()->text().isEmpty())
        label3()->setText(m_settings.TextDevice);
    const bool printer = !m_settings.TextDevice.isEmpty() ||
                         (!label3()->text().isEmpty() &&
                          label3()->text() != QLatin1String("None Selected"));
    if (!printer)
        label3()->setText(QStringLiteral("None Selected"));
    EnableDestinations(printer);
    option(printer ? 1 : 3)->setChecked(true);
    m_printing.Margins = {0, 0, 0, 0};
    // The worksheet is prepared in portrait.
    if (!m_printing.printer().setPageOrientation(QPageLayout::Portrait))
        m_orientation = 1;
    m_report.ReportDestination = 0;
    m_printing.FileMode = QStringLiteral("O");
    m_printing.FileAccess = QStringLiteral("W");
}

}  // namespace brisden
