#pragma once
// "Internal Rate of Return - Cash Flows": the flows the rate of the listing
// on the screen was solved over, each with its date, amount, time to the
// rate's end day, its value carried there at the rate, what it stands for and
// its file. Their carried values add up to about 0 when the rate solves them.
// "Copy" puts the table on the clipboard (tab-separated, every digit).

#include "analysis/RateFlows.h"

#include <QDialog>
#include <QLocale>
#include <vector>

class QLabel;
class QPushButton;
class QTableView;

namespace brisden {

namespace ui {
class IHelp;
}

namespace grid {

class RateFlowsModel;

class RateFlowsWindow final : public QDialog {
    Q_OBJECT
public:
    // help may be null: the Help button is then disabled.
    RateFlowsWindow(QWidget* parent, ui::IHelp* help, const QLocale& locale);
    ~RateFlowsWindow() override;

    // Shows the flows of a run (none when no rate was computed).
    void setFlows(std::vector<RateFlow> flows, const RateFlowTrail& trail);
    void setHelp(ui::IHelp* help);

    QTableView* table() const { return m_table; }
    QLabel* note() const { return m_note; }
    QPushButton* copyButton() const { return m_copy; }
    QPushButton* helpButton() const { return m_help; }
    // The table as "Copy" puts it on the clipboard.
    QString copyText() const;

private:
    RateFlowsModel* m_model = nullptr;
    QTableView* m_table = nullptr;
    QLabel* m_note = nullptr;
    QPushButton* m_copy = nullptr;
    QPushButton* m_help = nullptr;
    ui::IHelp* m_helpTarget = nullptr;
    QLocale m_locale;
};

}  // namespace grid
}  // namespace brisden
