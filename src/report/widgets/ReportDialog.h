#pragma once
// What the report dialogs share: the date range, the destination (print
// preview, printer or text file) with the printer's name, and the buttons
// OK, Cancel, page setup and Help. A dialog builds its own controls in
// between, in the order the keyboard goes through them.

#include "ui/Help.h"

#include <QDialog>
#include <cstdint>

class QHBoxLayout;
class QLabel;
class QPrinter;
class QPushButton;
class QRadioButton;
class QVBoxLayout;

namespace brisden {

class DateBox;
class ReportPrinting;
class Settings;
struct ReportState;

class ReportDialog : public QDialog {
    Q_OBJECT
public:
    DateBox* beginDate() const { return m_begin; }
    DateBox* endDate() const { return m_end; }
    QRadioButton* option(int index) const;  // 1 preview, 2 printer, 3 file
    QLabel* label3() const { return m_label3; }
    QPushButton* command(int index) const;  // 1 OK, 2 Cancel, 3 page setup
    std::int16_t orientation() const { return m_orientation; }

    // OK: the report is started at the chosen destination; when it can be,
    // the dates are kept for the next report and the dialog closes.
    void Command1_Click();
    // Page setup on the printer named in the dialog.
    void Command3_Click();

protected:
    ReportDialog(const QString& reportTitle, ReportPrinting& printing, const Settings& settings,
                 ReportState& report, ui::IHelp* help, QWidget* parent);

    void AddDateRange(QVBoxLayout* layout);
    // Returns the row of the printer's name, for what a dialog shows beside it.
    QHBoxLayout* AddDestination(QVBoxLayout* layout);
    void AddButtons(QVBoxLayout* layout, const QString& setupCaption, ui::HelpTopic topic);
    // Preview and printer only with a printer; without one, the text file.
    void EnableDestinations(bool printer);

    // The destination chosen (its number as text), or empty after Cancel.
    virtual void Chosen(const QString& destination) = 0;
    // After a confirmed page setup, with the printer as set up.
    virtual void PageSetUp(const QPrinter&) {}

    ReportPrinting& m_printing;
    const Settings& m_settings;
    ReportState& m_report;
    std::int16_t m_orientation = 1;

private:
    QString m_reportTitle;
    ui::IHelp* m_help;
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
