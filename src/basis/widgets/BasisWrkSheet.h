#pragma once
// BasisWrkSheet: the cost-basis method, the date range and the destination
// of the basis worksheet (print preview, printer or text file), with the
// printer's page setup. The worksheet is always laid out in portrait.

#include "ui/Help.h"

#include <QDialog>
#include <cstdint>

class QLabel;
class QListWidget;
class QPushButton;
class QRadioButton;

namespace brisden {

class DateBox;
class ReportPrinting;
class Settings;
struct ReportState;

class BasisWrkSheet final : public QDialog {
    Q_OBJECT
public:
    BasisWrkSheet(ReportPrinting& printing, const Settings& settings, ReportState& report,
                  ui::IHelp* help, QWidget* parent);

    // Activation when freshly opened: result empty, the printer label and the
    // destinations it allows, margins 0, portrait.
    void Activate();
    // The destination chosen with OK (2..4 as text); empty after Cancel.
    QString Result;
    int method() const;  // 1..5

    QListWidget* list1() const { return m_list1; }
    DateBox* beginDate() const { return m_begin; }
    DateBox* endDate() const { return m_end; }
    QRadioButton* option(int index) const;  // 1 preview, 2 printer, 3 file
    QLabel* label3() const { return m_label3; }
    QPushButton* command(int index) const;  // 1 OK, 2 Cancel, 3 page setup

    void Command1_Click();
    void Command3_Click();

private:
    ReportPrinting& m_printing;
    const Settings& m_settings;
    ReportState& m_report;
    ui::IHelp* m_help;
    std::int16_t m_orientation = 1;
    QListWidget* m_list1 = nullptr;
    DateBox* m_begin = nullptr;
    DateBox* m_end = nullptr;
    QRadioButton* m_option1 = nullptr;
    QRadioButton* m_option2 = nullptr;
    QRadioButton* m_option3 = nullptr;
    QLabel* m_label3 = nullptr;
    QPushButton* m_command1 = nullptr;
    QPushButton* m_command2 = nullptr;
    QPushButton* m_command3 = nullptr;
};

}  // namespace brisden
