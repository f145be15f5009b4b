#pragma once
// The lot list of the worksheet, giving the results of the walk over the
// list (LotBook.h) without walking it for every sale:
//
// - Matching: lots before the first lot holding shares have been sold out or
//   hold negative shares, and stay so until a split; the search starts there
//   ("Cost, Dynamic" and "Average, Double Category, Dynamic" keep the lots
//   holding shares in an ordered set instead).
// - ClassifyLots and ReleaseUnpooledLots visit only the lots they can change:
//   lots with their own price, and pooled short-term lots that have aged. The
//   others are left alone by the walk as well, so the pools see the same
//   additions in the same order.
// - SortList ("Cost, Dynamic", "Average, Double Category, Dynamic"): the list
//   order is kept by a LotOrder. For it, the lots whose order can still
//   change the worksheet are those holding shares (sold, printed, pooled) and,
//   with the average method, short-term lots without shares: a pooled one is
//   still visited when it ages. A sold-out "Cost, Dynamic" lot keeps its
//   price and is never looked at again, and a sold-out long-term lot of the
//   average method is left alone by every walk.

#include "basis/LotBook.h"
#include "basis/LotOrder.h"

#include <cstdint>
#include <set>
#include <utility>
#include <vector>

namespace brisden {

class FastLotBook final : public LotBook, private LotOrderPolicy {
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

    // For tests and the benchmark: sorts, those that ran the gap sort as
    // written, and the groups of equal keys placed by following them.
    int sorts() const { return m_order.sorts(); }
    int literalSorts() const { return m_order.literalSorts(); }
    std::int64_t followedGroups() const { return m_order.followedGroups(); }

private:
    bool anchors(int id) const override;
    bool keeps(int id) const override;
    bool open(const SortKey& key) const override;

    bool sorting() const;  // methods that sort the list
    ListRank rank(int id) const;
    bool before(int a, int b) const { return rank(a) < rank(b); }
    // The lots in list order (places of equal lots settled first).
    std::vector<int> inListOrder(std::vector<int> ids);
    void settle(const std::vector<int>& ids);
    void refile(const std::vector<std::pair<int, ListRank>>& moved);
    int firstHolding();  // id of the first lot with Shares > 0, or -1
    void noteChange(int id, const BasisLot& was);
    void indexLot(int id, int sign);  // adds (+1) or removes (-1) a lot from the indexes
    void rebuildIndexes();
    void setIdle(const std::vector<std::pair<int, std::int16_t>>& moves,
                 void (*change)(BasisLot&, std::int16_t));
    bool isIdle(const BasisLot& lot) const;
    bool unpooled(const BasisLot& lot) const;

    int m_method = 1;
    std::vector<BasisLot> m_lots;  // by id: the order in which they were added

    // Methods 1, 3, 4: lots before m_hint hold no positive shares.
    std::size_t m_hint = 0;

    // Methods 3-5: lots with their own price that hold shares, in list order;
    // sold-out lots with their own price (ClassifyLot and ReleaseLot add and
    // take nothing for them, they only follow the age and the touched flags)
    // by category and date; pooled short-term lots by date.
    std::set<ListRank> m_unpooled;
    std::set<std::pair<std::int32_t, int>> m_idle[3];
    std::set<std::pair<std::int32_t, int>> m_pooledShort;

    // Methods 2 and 5: the list order, and the lots holding positive shares in it.
    LotOrder m_order;
    std::set<ListRank> m_holding;
    std::int32_t m_lastDate = 0;    // the latest purchase date so far
    bool m_datesUnordered = false;  // a lot was added with an earlier date than one before it
};

}  // namespace brisden
