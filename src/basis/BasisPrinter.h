#pragma once
// The basis worksheet on the printer surface or a preview page
// (destination 2): the page header and the worksheet heading on every page,
// entries, remaining lots and totals in their column layouts (fixed character
// columns on a text device), with the worksheet's own page filling.

#include "basis/BasisOutput.h"
#include "report/PageFill.h"

#include <QLocale>

namespace brisden {

class PageComposer;

class BasisPrinter final : public IBasisOutput {
public:
    // linesPerPage: "TextBasisLines" (0 = measure the page); topMargin:
    // "TextBasisTopMargin".
    BasisPrinter(PageComposer& composer, int linesPerPage, int topMargin);

    int destination() const override { return 2; }
    void beginReport(const BasisReportInfo& info) override;
    void entry(const BasisEntryLine& line) override;
    void errorLine(const QString& text) override;
    void remainingHeading() override;
    void remainingLot(const RemainingLotLine& line) override;
    void totals(const BasisTotals& totals) override;
    void note(const QString& text) override;
    void finish() override {}

private:
    void newPage();
    void printHeading();
    QString format(double value, const char* mask) const;
    // A number placed so that it ends where the full-width mask would end.
    void printFixedNumber(int w, double value, const char* mask);
    QString dateCell(const QString& digits) const;

    PageComposer& m_c;
    BasisPageFill m_fill;
    int m_topMargin;
    BasisReportInfo m_info;
    bool m_notes = false;
};

}  // namespace brisden
