#pragma once
// ListRecs ("List transactions"): the date range, one file or the whole
// portfolio, and the destination of the listing (print preview, printer or
// text file), with the printer's page setup.

#include "ui/Help.h"

#include <QDialog>
#include <cstdint>

class QCheckBox;
class QLabel;
class QPushButton;
class QRadioButton;

namespace brisden {

class DateBox;
class ReportPrinting;
class Settings;
struct ReportState;

class ListRecs final : public QDialog {
    Q_OBJECT
public:
    ListRecs(ReportPrinting& printing, const Settings& settings, ReportState& report,
             ui::IHelp* help, QWidget* parent);

    // Before each showing: the list of all files cleared, no destination yet.
    void Activate();
    // The destination chosen with OK (1..4 as text); empty after Cancel.
    QString Tag;
    bool listPortfolio() const;
    std::int16_t orientation() const { return m_orientation; }

    DateBox* beginDate() const { return m_begin; }
    DateBox* endDate() const { return m_end; }
    QCheckBox* check1() const { return m_check1; }
    QRadioButton* option(int index) const;  // 1 preview, 2 printer, 3 file
    QLabel* label3() const { return m_label3; }
    QLabel* label4() const { return m_label4; }
    QPushButton* command(int index) const;  // 1 OK, 2 Cancel, 3 page setup

    void Command1_Click();
    void Command3_Click();

private:
    void SetOrientationImage();

    ReportPrinting& m_printing;
    const Settings& m_settings;
    ReportState& m_report;
    ui::IHelp* m_help;
    std::int16_t m_orientation = 1;
    DateBox* m_begin = nullptr;
    DateBox* m_end = nullptr;
    QCheckBox* m_check1 = nullptr;
    QRadioButton* m_option1 = nullptr;
    QRadioButton* m_option2 = nullptr;
    QRadioButton* m_option3 = nullptr;
    QLabel* m_label3 = nullptr;
    QLabel* m_label4 = nullptr;
    QPushButton* m_command1 = nullptr;
    QPushButton* m_command2 = nullptr;
    QPushButton* m_command3 = nullptr;
};

}  // namespace brisden
