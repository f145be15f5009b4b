#pragma once
// The basis worksheet on its text-file destination (4): comma-separated
// records in the report file (slot 3).

#include "basis/BasisOutput.h"

namespace brisden {

class ReportFileWriter;

class BasisTextFileOutput final : public IBasisOutput {
public:
    explicit BasisTextFileOutput(ReportFileWriter& writer) : m_out(writer) {}

    int destination() const override { return 4; }
    void beginReport(const BasisReportInfo& info) override;
    void entry(const BasisEntryLine& line) override;
    void errorLine(const QString& text) override;
    void remainingHeading() override;
    void remainingLot(const RemainingLotLine& line) override;
    void totals(const BasisTotals& totals) override;
    void note(const QString& text) override;
    void finish() override {}

private:
    ReportFileWriter& m_out;
};

}  // namespace brisden
