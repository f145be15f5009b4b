#pragma once
// ListRecs ("List transactions"): the date range, one file or the whole
// portfolio, and the destination of the listing (print preview, printer or
// text file), with the printer's page setup.

#include "report/widgets/ReportDialog.h"

class QCheckBox;

namespace brisden {

class ListRecs final : public ReportDialog {
    Q_OBJECT
public:
    ListRecs(ReportPrinting& printing, const Settings& settings, ReportState& report,
             ui::IHelp* help, QWidget* parent);

    // Before each showing: the list of all files cleared, no destination yet.
    void Activate();
    // The destination chosen with OK (1..4 as text); empty after Cancel.
    QString Tag;
    bool listPortfolio() const;

    QCheckBox* check1() const { return m_check1; }
    QLabel* label4() const { return m_label4; }

private:
    void Chosen(const QString& destination) override { Tag = destination; }
    void PageSetUp(const QPrinter& printer) override;
    void SetOrientationImage();

    QCheckBox* m_check1 = nullptr;
    QLabel* m_label4 = nullptr;
};

}  // namespace brisden
