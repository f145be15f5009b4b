#include "LiteralLotBook.h"

#include <utility>

namespace brisden::test {

void LiteralGapSort(std::vector<BasisLot>& a, int mode)
{
    const int n = int(a.size()) - 1;
    int gap = (n + 1) / 2;
    while (gap > 0) {
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
        gap = gap / 2;
    }
}

void LiteralLotBook::Reset(int)
{
    m_lots.assign(2, BasisLot{});
    m_blank = true;
}

void LiteralLotBook::AddLot(const BasisLot& lot)
{
    if (m_blank) {
        m_lots[1] = lot;
        m_blank = false;
    } else {
        m_lots.push_back(lot);
    }
}

void LiteralLotBook::ScaleForSplit(double newBalance, double oldBalance)
{
    for (std::size_t i = 1; i < m_lots.size(); ++i)
        ScaleLotForSplit(m_lots[i], newBalance, oldBalance);
}

void LiteralLotBook::SortList(int mode)
{
    LiteralGapSort(m_lots, mode);
}

void LiteralLotBook::MatchLots(const std::function<void(BasisLot&)>& sell,
                               const std::function<bool()>& more)
{
    bool found;
    do {
        found = false;
        for (std::size_t i = 1; i < m_lots.size(); ++i) {
            if (m_lots[i].Shares > 0) {
                sell(m_lots[i]);
                found = true;
                break;
            }
        }
    } while (more() && found);
}

void LiteralLotBook::ClassifyLots(BasisPools& pools)
{
    for (std::size_t i = 1; i < m_lots.size(); ++i)
        ClassifyLot(m_lots[i], pools);
}

void LiteralLotBook::ReleaseUnpooledLots(BasisPools& pools)
{
    for (std::size_t i = 1; i < m_lots.size(); ++i)
        ReleaseLot(m_lots[i], pools);
}

void LiteralLotBook::ForEachHeldLot(const std::function<void(BasisLot&)>& f)
{
    for (std::size_t i = 1; i < m_lots.size(); ++i)
        if (m_lots[i].Shares != 0)
            f(m_lots[i]);
}

}  // namespace brisden::test
