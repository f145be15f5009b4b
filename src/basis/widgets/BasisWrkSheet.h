#pragma once
// BasisWrkSheet: the cost-basis method, the date range and the destination
// of the basis worksheet (print preview, printer or text file), with the
// printer's page setup. The worksheet is always laid out in portrait.

#include "report/widgets/ReportDialog.h"

class QListWidget;

namespace brisden {

class BasisWrkSheet final : public ReportDialog {
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

private:
    void Chosen(const QString& destination) override { Result = destination; }

    QListWidget* m_list1 = nullptr;
};

}  // namespace brisden
