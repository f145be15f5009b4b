#pragma once
// The lot list walked exactly as written: a 1-based array with one blank slot
// before the first lot, every operation a walk from the first lot, SortList the
// gap sort over positions 1..n. The reference the worksheet's own list is
// compared with.

#include "basis/LotBook.h"

#include <utility>
#include <vector>

namespace brisden::test {

// The gap sort of the lot list as written (positions 1..n of a 1-based array).
inline void LiteralGapSort(std::vector<BasisLot>& a, int mode)
{
    const int n = int(a.size()) - 1;
    for (int gap = (n + 1) / 2; gap > 0; gap /= 2) {
        int limit = n - gap;
        int lastSwap;
        do {
            lastSwap = 0;
            for (int i = 1; i <= limit; ++i) {
                if (LotSortsAfter(a[std::size_t(i)], a[std::size_t(i + gap)], mode)) {
                    std::swap(a[std::size_t(i)], a[std::size_t(i + gap)]);
                    lastSwap = i;
                }
            }
            limit = lastSwap - gap;
        } while (lastSwap != 0);
    }
}

class LiteralLotBook final : public LotBook {
public:
    void Reset(int) override
    {
        m_lots.assign(2, BasisLot{});
        m_blank = true;
    }
    void AddLot(const BasisLot& lot) override
    {
        if (m_blank)
            m_lots[1] = lot;
        else
            m_lots.push_back(lot);
        m_blank = false;
    }
    void ScaleForSplit(double newBalance, double oldBalance) override
    {
        for (std::size_t i = 1; i < m_lots.size(); ++i)
            ScaleLotForSplit(m_lots[i], newBalance, oldBalance);
    }
    void SortList(int mode) override { LiteralGapSort(m_lots, mode); }
    void MatchLots(const std::function<void(BasisLot&)>& sell,
                   const std::function<bool()>& more) override
    {
        bool found;
        do {
            found = false;
            for (std::size_t i = 1; i < m_lots.size() && !found; ++i)
                if (m_lots[i].Shares > 0) {
                    sell(m_lots[i]);
                    found = true;
                }
        } while (more() && found);
    }
    void ClassifyLots(BasisPools& pools) override
    {
        for (std::size_t i = 1; i < m_lots.size(); ++i)
            ClassifyLot(m_lots[i], pools);
    }
    void ReleaseUnpooledLots(BasisPools& pools) override
    {
        for (std::size_t i = 1; i < m_lots.size(); ++i)
            ReleaseLot(m_lots[i], pools);
    }
    void ForEachHeldLot(const std::function<void(BasisLot&)>& f) override
    {
        for (std::size_t i = 1; i < m_lots.size(); ++i)
            if (m_lots[i].Shares != 0)
                f(m_lots[i]);
    }

private:
    std::vector<BasisLot> m_lots;  // [0] unused
    bool m_blank = true;           // slot 1 is still the blank slot
};

}  // namespace brisden::test
