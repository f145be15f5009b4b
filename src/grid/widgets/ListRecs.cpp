#include "grid/widgets/ListRecs.h"

#include "report/ReportState.h"
#include "report/widgets/ReportPrinting.h"
#include "shell/Settings.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPrinter>
#include <QRadioButton>
#include <QVBoxLayout>
#include <cmath>

namespace brisden {

ListRecs::ListRecs(ReportPrinting& printing, const Settings& settings, ReportState& report,
                   ui::IHelp* help, QWidget* parent)
    : ReportDialog(QStringLiteral("Listing"), printing, settings, report, help, parent)
{
    setObjectName(QStringLiteral("ListRecs"));
    setWindowTitle(QStringLiteral("List transactions"));
    auto* layout = new QVBoxLayout(this);
    AddDateRange(layout);

    m_check1 = new QCheckBox(QStringLiteral("List &all files in the portfolio"), this);
    m_check1->setObjectName(QStringLiteral("Check1"));
    layout->addWidget(m_check1);

    QHBoxLayout* printerRow = AddDestination(layout);
    m_label4 = new QLabel(this);
    m_label4->setObjectName(QStringLiteral("Label4"));
    printerRow->addWidget(m_label4);
    AddButtons(layout, QStringLiteral("Printer &setup..."), ui::HelpListTransactions);

    // Made once: the listing printer and its orientation.
    label3()->setText(m_settings.TextDevice.isEmpty() ? QStringLiteral("None Selected")
                                                      : m_settings.TextDevice);
    m_orientation = m_settings.TextOrientation == 2 ? 2 : 1;
    SetOrientationImage();
}

bool ListRecs::listPortfolio() const
{
    return m_check1->isChecked();
}

void ListRecs::SetOrientationImage()
{
    m_label4->setText(m_orientation == 2 ? QStringLiteral("Landscape")
                                         : QStringLiteral("Portrait"));
}

void ListRecs::Activate()
{
    Tag.clear();
    m_check1->setChecked(false);
    m_report.ReportDestination = 0;
    // The listing's margins (the worksheet sets its own to 0).
    m_printing.Margins = {0, 0, 0, 0};
    for (std::size_t i = 0; i < 4 && i < m_settings.ListMargins.size(); ++i)
        m_printing.Margins[i] = static_cast<int>(std::lround(m_settings.ListMargins[i]));
    const bool printer = label3()->text() != QLatin1String("None Selected");
    EnableDestinations(printer);
    if (!printer)
        option(3)->setChecked(true);
    else if (!option(1)->isChecked() && !option(2)->isChecked() && !option(3)->isChecked())
        option(1)->setChecked(true);
}

void ListRecs::PageSetUp(const QPrinter& printer)
{
    m_orientation = printer.pageLayout().orientation() == QPageLayout::Landscape ? 2 : 1;
    SetOrientationImage();
}

}  // namespace brisden
