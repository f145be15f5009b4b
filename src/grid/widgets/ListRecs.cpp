#include "grid/widgets/ListRecs.h"

#include "report/ReportState.h"
#include "report/widgets/DateBox.h"
#include "report/widgets/ReportPrinting.h"
#include "report/widgets/PrintPreview.h"
#include "report/widgets/TextPrinter.h"
#include "shell/Settings.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <cmath>

namespace brisden {

ListRecs::ListRecs(ReportPrinting& printing, const Settings& settings, ReportState& report,
                   ui::IHelp* help, QWidget* parent)
    : QDialog(parent), m_printing(printing), m_settings(settings), m_report(report), m_help(help)
{
    setObjectName(QStringLiteral("ListRecs"));
    setWindowTitle(QStringLiteral("List transactions"));
    auto* layout = new QVBoxLayout(this);

    auto* dates = new QGroupBox(QStringLiteral("Date range (MM/DD/YYYY)"), this);
    auto* form = new QFormLayout(dates);
    m_begin = new DateBox(dates);
    m_begin->setObjectName(QStringLiteral("BeginDate"));
    m_end = new DateBox(dates);
    m_end->setObjectName(QStringLiteral("EndDate"));
    form->addRow(QStringLiteral("&Beginning date:"), m_begin);
    form->addRow(QStringLiteral("&Ending date:"), m_end);
    layout->addWidget(dates);

    m_check1 = new QCheckBox(QStringLiteral("List &all files in the portfolio"), this);
    m_check1->setObjectName(QStringLiteral("Check1"));
    layout->addWidget(m_check1);

    auto* destination = new QGroupBox(QStringLiteral("Output to"), this);
    auto* options = new QVBoxLayout(destination);
    m_option1 = new QRadioButton(QStringLiteral("Print pre&view"), destination);
    m_option2 = new QRadioButton(QStringLiteral("&Printer"), destination);
    m_option3 = new QRadioButton(QStringLiteral("&Text file"), destination);
    m_option1->setObjectName(QStringLiteral("Option1"));
    m_option2->setObjectName(QStringLiteral("Option2"));
    m_option3->setObjectName(QStringLiteral("Option3"));
    options->addWidget(m_option1);
    options->addWidget(m_option2);
    options->addWidget(m_option3);
    auto* printerRow = new QHBoxLayout;
    printerRow->addWidget(new QLabel(QStringLiteral("Printer:"), destination));
    m_label3 = new QLabel(destination);
    m_label3->setObjectName(QStringLiteral("Label3"));
    printerRow->addWidget(m_label3, 1);
    m_label4 = new QLabel(destination);
    m_label4->setObjectName(QStringLiteral("Label4"));
    printerRow->addWidget(m_label4);
    options->addLayout(printerRow);
    layout->addWidget(destination);

    auto* buttons = new QHBoxLayout;
    m_command1 = new QPushButton(QStringLiteral("&OK"), this);
    m_command2 = new QPushButton(QStringLiteral("&Cancel"), this);
    m_command3 = new QPushButton(QStringLiteral("Printer &setup..."), this);
    auto* helpButton = new QPushButton(QStringLiteral("&Help"), this);
    m_command1->setObjectName(QStringLiteral("Command1"));
    m_command2->setObjectName(QStringLiteral("Command2"));
    m_command3->setObjectName(QStringLiteral("Command3"));
    helpButton->setObjectName(QStringLiteral("cmdHelp"));
    m_command1->setDefault(true);
    for (QPushButton* b : {m_command1, m_command2, m_command3, helpButton})
        buttons->addWidget(b);
    layout->addLayout(buttons);

    connect(m_command1, &QPushButton::clicked, this, &ListRecs::Command1_Click);
    connect(m_command2, &QPushButton::clicked, this, [this] {
        Tag.clear();
        reject();
    });
    connect(m_command3, &QPushButton::clicked, this, &ListRecs::Command3_Click);
    connect(helpButton, &QPushButton::clicked, this, [this] {
        if (m_help)
            m_help->ShowHelpTopic(ui::HelpListTransactions);
    });

    // Made once: the dates of the shared window, the listing printer and
    // its orientation.
    m_begin->setDate(m_report.ListFromDate);
    m_end->setDate(m_report.ListToDate);
    m_label3->setText(m_settings.TextDevice.isEmpty() ? QStringLiteral("None Selected")
                                                      : m_settings.TextDevice);
    m_orientation = m_settings.TextOrientation == 2 ? 2 : 1;
    SetOrientationImage();
}

QRadioButton* ListRecs::option(int index) const
{
    return index == 1 ? m_option1 : index == 2 ? m_option2 : m_option3;
}

QPushButton* ListRecs::command(int index) const
{
    return index == 1 ? m_command1 : index == 2 ? m_command2 : m_command3;
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
    const bool printer = m_label3->text() != QLatin1String("None Selected");
    m_option1->setEnabled(printer);
    m_option2->setEnabled(printer);
    m_command3->setEnabled(printer);
    if (!printer)
        m_option3->setChecked(true);
    else if (!m_option1->isChecked() && !m_option2->isChecked() && !m_option3->isChecked())
        m_option1->setChecked(true);
}

void ListRecs::Command3_Click()
{
    QPrinter& printer = m_printing.printer();
    SelectPrinterByName(printer, m_label3->text(), m_orientation);
    if (PageSetup(printer, m_printing.Margins, this)) {
        m_label3->setText(printer.printerName());
        m_orientation =
            printer.pageLayout().orientation() == QPageLayout::Landscape ? 2 : 1;
        SetOrientationImage();
    }
}

void ListRecs::Command1_Click()
{
    const int choice = m_option1->isChecked() ? 1 : m_option2->isChecked() ? 2 : 3;
    const int destination =
        m_printing.StartReport(choice, QStringLiteral("Listing"), m_label3->text(), m_orientation);
    if (destination == 0)
        return;
    m_report.ListFromDate = m_begin->date();
    m_report.ListToDate = m_end->date();
    Tag = QString::number(destination);
    accept();
}

}  // namespace brisden
