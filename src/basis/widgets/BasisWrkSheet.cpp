#include "basis/widgets/BasisWrkSheet.h"

#include "basis/BasisLot.h"
#include "report/ReportState.h"
#include "report/widgets/DateBox.h"
#include "report/widgets/ReportPrinting.h"
#include "report/widgets/TextPrinter.h"
#include "shell/Settings.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace brisden {

BasisWrkSheet::BasisWrkSheet(ReportPrinting& printing, const Settings& settings,
                             ReportState& report, ui::IHelp* help, QWidget* parent)
    : QDialog(parent), m_printing(printing), m_settings(settings), m_report(report), m_help(help)
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

    auto* dates = new QGroupBox(QStringLiteral("Date range (MM/DD/YYYY)"), this);
    auto* form = new QFormLayout(dates);
    m_begin = new DateBox(dates);
    m_begin->setObjectName(QStringLiteral("BeginDate"));
    m_end = new DateBox(dates);
    m_end->setObjectName(QStringLiteral("EndDate"));
    form->addRow(QStringLiteral("&Beginning date:"), m_begin);
    form->addRow(QStringLiteral("&Ending date:"), m_end);
    layout->addWidget(dates);

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

    auto* buttons = new QHBoxLayout;
    m_command1 = new QPushButton(QStringLiteral("&OK"), this);
    m_command2 = new QPushButton(QStringLiteral("&Cancel"), this);
    m_command3 = new QPushButton(QStringLiteral("Page &setup..."), this);
    auto* helpButton = new QPushButton(QStringLiteral("&Help"), this);
    m_command1->setObjectName(QStringLiteral("Command1"));
    m_command2->setObjectName(QStringLiteral("Command2"));
    m_command3->setObjectName(QStringLiteral("Command3"));
    helpButton->setObjectName(QStringLiteral("cmdHelp"));
    m_command1->setDefault(true);
    for (QPushButton* b : {m_command1, m_command2, m_command3, helpButton})
        buttons->addWidget(b);
    layout->addLayout(buttons);

    connect(m_command1, &QPushButton::clicked, this, &BasisWrkSheet::Command1_Click);
    connect(m_command2, &QPushButton::clicked, this, [this] { reject(); });
    connect(m_command3, &QPushButton::clicked, this, &BasisWrkSheet::Command3_Click);
    connect(helpButton, &QPushButton::clicked, this, [this] {
        if (m_help)
            m_help->ShowHelpTopic(ui::HelpBasisWorksheet);
    });

    m_begin->setDate(m_report.ListFromDate);
    m_end->setDate(m_report.ListToDate);
    m_orientation = 1;
}

QRadioButton* BasisWrkSheet::option(int index) const
{
    return index == 1 ? m_option1 : index == 2 ? m_option2 : m_option3;
}

QPushButton* BasisWrkSheet::command(int index) const
{
    return index == 1 ? m_command1 : index == 2 ? m_command2 : m_command3;
}

int BasisWrkSheet::method() const
{
    return m_list1->currentRow() + 1;
}

void BasisWrkSheet::Activate()
{
    Result.clear();
    if (!m_settings.TextDevice.isEmpty() && m_label3->text().isEmpty())
        m_label3->setText(m_settings.TextDevice);
    const bool printer = !m_settings.TextDevice.isEmpty() || (!m_label3->text().isEmpty() &&
                                                              m_label3->text() != QLatin1String("None Selected"));
    if (printer) {
        m_option1->setEnabled(true);
        m_option2->setEnabled(true);
        m_command3->setEnabled(true);
        m_option1->setChecked(true);
    } else {
        m_label3->setText(QStringLiteral("None Selected"));
        m_option1->setEnabled(false);
        m_option2->setEnabled(false);
        m_command3->setEnabled(false);
        m_option3->setChecked(true);
    }
    m_printing.Margins = {0, 0, 0, 0};
    // The worksheet is prepared in portrait.
    if (!m_printing.printer().setPageOrientation(QPageLayout::Portrait))
        m_orientation = 1;
    m_report.ReportDestination = 0;
    m_printing.FileMode = QStringLiteral("O");
    m_printing.FileAccess = QStringLiteral("W");
}

void BasisWrkSheet::Command3_Click()
{
    QPrinter& printer = m_printing.printer();
    SelectPrinterByName(printer, m_label3->text(), m_orientation);
    if (PageSetup(printer, m_printing.Margins, this))
        m_label3->setText(printer.printerName());
}

void BasisWrkSheet::Command1_Click()
{
    const int choice = m_option1->isChecked() ? 1 : m_option2->isChecked() ? 2 : 3;
    const int destination = m_printing.StartReport(choice, QStringLiteral("Basis worksheet"),
                                                   m_label3->text(), m_orientation);
    if (destination == 0)
        return;
    m_report.ListFromDate = m_begin->date();
    m_report.ListToDate = m_end->date();
    Result = QString::number(destination);
    accept();
}

}  // namespace brisden
