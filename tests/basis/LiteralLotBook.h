#pragma once
// The lot list walked exactly as written: a 1-based array with one blank slot
// before the first lot, every operation a walk from the first lot, SortList the
// gap sort over positions 1..n. The reference the worksheet's own list is
// compared with.

#include "basis/LotBook.h"

#include <vector>

namespace brisden::test {

class LiteralLotBook final : public LotBook {
public:
    void Reset(int method) override;
    void AddLot(const BasisLot& lot) override;
    void ScaleForSplit(double newBalance, double oldBalance) override;
    void SortList(int mode) override;
    void MatchLots(const std::function<void(BasisLot&)>& sell,
                   const std::function<bool()>& more) override;
    void ClassifyLots(BasisPools& pools) override;
    void ReleaseUnpooledLots(BasisPools& pools) override;
    void ForEachHeldLot(const std::function<void(BasisLot&)>& f) override;

    const std::vector<BasisLot>& lots() const { return m_lots; }  // [0] unused

private:
    std::vector<BasisLot> m_lots;
    bool m_blank = true;  // slot 1 is still the blank slot
};

// The gap sort of the lot list as written (positions 1..n of a 1-based array).
void LiteralGapSort(std::vector<BasisLot>& lots, int mode);

}  // namespace brisden::test
