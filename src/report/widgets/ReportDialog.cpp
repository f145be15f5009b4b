#include "report/widgets/ReportDialog.h"

#include "report/ReportState.h"
#include "report/widgets/DateBox.h"
#include "report/widgets/ReportPrinting.h"
#include "report/widgets/TextPrinter.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace brisden {

ReportDialog::ReportDialog(const QString& reportTitle, ReportPrinting& printing,
                           const Settings& settings, ReportState& report, ui::IHelp* help,
                           QWidget* parent)
    : QDialog(parent), m_printing(printing), m_settings(settings), m_report(report),
      m_reportTitle(reportTitle), m_help(help)
{
}

void ReportDialog::AddDateRange(QVBoxLayout* layout)
{
    auto* dates = new QGroupBox(QStringLiteral("Date range (MM/DD/YYYY)"), this);
    auto* form = new QFormLayout(dates);
    m_begin = new DateBox(dates);
    m_begin->setObjectName(QStringLiteral("BeginDate"));
    m_end = new DateBox(dates);
    m_end->setObjectName(QStringLiteral("EndDate"));
    form->addRow(QStringLiteral("&Beginning date:"), m_begin);
    form->addRow(QStringLiteral("&Ending date:"), m_end);
    layout->addWidget(dates);
    m_begin->setDate(m_report.ListFromDate);
    m_end->setDate(m_report.ListToDate);
}

QHBoxLayout* ReportDialog::AddDestination(QVBoxLayout* layout)
{
    auto* destination = new QGroupBox(QStringLiteral("Output to"), this);
    auto* options = new QVBoxLayout(destination);
    m_option1 = new QRadioButton(QStringLiteral("Print pre&view"), destination);
    m_option2 = new QRadioButton(QStringLiteral("&Printer"), destination);
    m_option3 = new QRadioButton(QStringLiteral("&Text file"), destination);
    m_option1->setObjectName(QStringLiteral("Option1"));
    m_option2->setObjectName(QStringLiteral("Option2"));
    m_option3->setObjectName(QStringLiteral("Option3"));
    for (QRadioButton* o : {m_option1, m_option2, m_option3})
        options->addWidget(o);
    auto* printerRow = new QHBoxLayout;
    printerRow->addWidget(new QLabel(QStringLiteral("Printer:"), destination));
    m_label3 = new QLabel(destination);
    m_label3->setObjectName(QStringLiteral("Label3"));
    printerRow->addWidget(m_label3, 1);
    options->addLayout(printerRow);
    layout->addWidget(destination);
    return printerRow;
}

void ReportDialog::AddButtons(QVBoxLayout* layout, const QString& setupCaption,
                              ui::HelpTopic topic)
{
    auto* buttons = new QHBoxLayout;
    m_command1 = new QPushButton(QStringLiteral("&OK"), this);
    m_command2 = new QPushButton(QStringLiteral("&Cancel"), this);
    m_command3 = new QPushButton(setupCaption, this);
    auto* helpButton = new QPushButton(QStringLiteral("&Help"), this);
    m_command1->setObjectName(QStringLiteral("Command1"));
    m_command2->setObjectName(QStringLiteral("Command2"));
    m_command3->setObjectName(QStringLiteral("Command3"));
    helpButton->setObjectName(QStringLiteral("cmdHelp"));
    m_command1->setDefault(true);
    for (QPushButton* b : {m_command1, m_command2, m_command3, helpButton})
        buttons->addWidget(b);
    layout->addLayout(buttons);

    connect(m_command1, &QPushButton::clicked, this, &ReportDialog::Command1_Click);
    connect(m_command2, &QPushButton::clicked, this, [this] {
        Chosen(QString());
        reject();
    });
    connect(m_command3, &QPushButton::clicked, this, &ReportDialog::Command3_Click);
    connect(helpButton, &QPushButton::clicked, this, [this, topic] {
        if (m_help)
            m_help->ShowHelpTopic(topic);
    });
}

QRadioButton* ReportDialog::option(int index) const
{
    return index == 1 ? m_option1 : index == 2 ? m_option2 : m_option3;
}

QPushButton* ReportDialog::command(int index) const
{
    return index == 1 ? m_command1 : index == 2 ? m_command2 : m_command3;
}

void ReportDialog::EnableDestinations(bool printer)
{
    m_option1->setEnabled(printer);
    m_option2->setEnabled(printer);
    m_command3->setEnabled(printer);
}

void ReportDialog::Command3_Click()
{
    QPrinter& printer = m_printing.printer();
    SelectPrinterByName(printer, m_label3->text(), m_orientation);
    if (PageSetup(printer, m_printing.Margins, this)) {
        m_label3->setText(printer.printerName());
        PageSetUp(printer);
    }
}

void ReportDialog::Command1_Click()
{
    const int choice = m_option1->isChecked() ? 1 : m_option2->isChecked() ? 2 : 3;
    const int destination =
        m_printing.StartReport(choice, m_reportTitle, m_label3->text(), m_orientation);
    if (destination == 0)
        return;
    m_report.ListFromDate = m_begin->date();
    m_report.ListToDate = m_end->date();
    Chosen(QString::number(destination));
    accept();
}

}  // namespace brisden
