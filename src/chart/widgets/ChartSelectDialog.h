#pragma once
// frmChartSelect, "Chart options": the date range, the kind of chart (a time
// series as an X-Y chart, or yearly totals by category), the measure and how
// it is shown, the chart type, a statistic line, the value-axis scale, labels,
// pie weighting, stacking, colours or patterns, and markers. The dialog is
// kept (hidden) between charts, so every choice stays until the program ends.

#include "chart/ChartOptions.h"

#include <QDialog>
#include <QString>
#include <cstdint>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace brisden {
struct ReportState;
namespace ui {
class IHelp;
}
}  // namespace brisden

namespace brisden::chart {

class ChartSelectDialog final : public QDialog {
    Q_OBJECT
public:
    explicit ChartSelectDialog(QWidget* parent = nullptr);

    void setHelp(ui::IHelp* help) { m_help = help; }

    // Shows the dialog modally. The first time the date boxes take the
    // listing window of report. On OK the typed dates go to ListFromDate
    // and ListToDate and options receives the choices; false for Cancel.
    bool run(ReportState& report, ChartOptions& options);

    // "0" after OK, "1" after Cancel or closing the window.
    QString Tag;

    // The choices as they stand.
    ChartOptions options() const;
    bool yearlyMode() const;
    // The digits typed in a date box as a number (no digits: 0).
    static std::int32_t DateBoxValue(const QString& text);

    // Controls, by their names (tests).
    QLineEdit* BeginDate = nullptr;
    QLineEdit* EndDate = nullptr;
    QCheckBox* chkFrame7 = nullptr;
    QCheckBox* chkFrame8 = nullptr;
    QGroupBox* Frame7 = nullptr;
    QGroupBox* Frame8 = nullptr;
    QRadioButton* optElement[3] = {};
    QRadioButton* optYaxis[2] = {};
    QRadioButton* optDensity[2] = {};
    QRadioButton* optAnn[3] = {};
    QCheckBox* chkStack = nullptr;
    QComboBox* Combo1 = nullptr;  // chart type
    QLabel* Label3 = nullptr;
    QComboBox* Combo2 = nullptr;  // statistic
    QComboBox* Combo3 = nullptr;  // Y-scale
    QComboBox* Combo4 = nullptr;  // data-point labels
    QComboBox* Combo5 = nullptr;  // pie weighting
    QRadioButton* optPen[2] = {};
    QCheckBox* chkMarkers = nullptr;
    QPushButton* Command1[2] = {};
    QPushButton* cmdHelp = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void selectClicked(QCheckBox* box, bool on);
    void setMode(bool yearly);
    void refillLists(bool yearly);
    void accept() override;

    ui::IHelp* m_help = nullptr;
    bool m_loaded = false;
    bool m_guard = false;
};

}  // namespace brisden::chart
