#pragma once
// The lot list of the worksheet, giving the results of the walk over the
// list (LotBook.h) without walking it for every sale:
//
// - Matching: lots before the first lot holding shares have been sold out or
//   hold negative shares, and stay so until a split; the search starts there
//   ("Cost, Dynamic" and "Average, Double Category, Dynamic" keep the lots
//   holding shares in ordered sets instead).
// - ClassifyLots and ReleaseUnpooledLots visit only the lots they can change:
//   lots with their own price, and pooled short-term lots that have aged. The
//   others are left alone by the walk as well, so the pools see the same
//   additions in the same order.
// - SortList: the list is kept implicitly, as "sorted by the keys of the last
//   sort, then the lots added since". A sort ends in the sorted order; only
//   where lots share a key does the gap sort decide their order, and that
//   order depends on the whole list.
//   "Cost, Dynamic": a lot's price changes only at a split, and a sold-out
//   lot keeps its price for good, so sold-out lots of one price are alike.
//   Groups of equal prices with a lot still holding shares are followed
//   through each sort (TieGroupSort.h); after a split the list is laid out
//   and gap-sorted as written once.
//   "Average, Double Category, Dynamic": while no two lots share category
//   and date, the sorted order is the only result; otherwise the list is laid
//   out and gap-sorted as written.

#include "basis/LotBook.h"
#include "basis/TieGroupSort.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <set>
#include <tuple>
#include <unordered_map>
#include <utility>
#include <vector>

namespace brisden {

// A set kept as a sorted vector: cheap to walk in order; insertions and
// removals move the elements behind them (the sets here are a few thousand).
template <typename T>
class SortedVector {
public:
    void insert(const T& v)
    {
        const auto it = std::lower_bound(m_items.begin(), m_items.end(), v);
        if (it == m_items.end() || *it != v)
            m_items.insert(it, v);
    }
    void erase(const T& v)
    {
        const auto it = std::lower_bound(m_items.begin(), m_items.end(), v);
        if (it != m_items.end() && *it == v)
            m_items.erase(it);
    }
    bool contains(const T& v) const
    {
        return std::binary_search(m_items.begin(), m_items.end(), v);
    }
    void clear() { m_items.clear(); }
    std::size_t size() const { return m_items.size(); }
    auto begin() const { return m_items.begin(); }
    auto end() const { return m_items.end(); }

private:
    std::vector<T> m_items;
};

class FastLotBook final : public LotBook {
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
    // written, and the equal-key groups followed, summed over the sorts.
    int literalSorts() const { return m_literalSorts; }
    int sorts() const { return m_sorts; }
    std::int64_t followedGroups() const { return m_followedGroups; }

private:
    bool sorting() const;             // methods that sort the list
    bool before(int a, int b) const;  // a comes before b in list order
    std::vector<int> inListOrder(std::vector<int> ids) const;
    int firstHolding();  // id of the first lot with Shares > 0, or -1
    void noteChange(int id, const BasisLot& was);
    void indexLot(int id, int sign);  // adds (+1) or removes (-1) a lot from the indexes
    void rebuildIndexes();
    void setIdle(const std::vector<std::pair<int, std::int16_t>>& moves,
                 void (*change)(BasisLot&, std::int16_t));
    bool keysDistinct() const;
    void layOut();  // implicit list -> m_order / m_pos
    void gapSort(int mode);

    static std::uint64_t priceKey(double price);
    static std::uint64_t categoryKey(const BasisLot& lot);
    bool holdsShares(const BasisLot& lot) const { return lot.Shares != 0; }

    int m_method = 1;
    std::vector<BasisLot> m_lots;  // by id: the order in which they were added

    // Methods 1, 3, 4 (and the laid-out list): lots before m_hint hold no
    // positive shares.
    std::size_t m_hint = 0;

    // Methods 3-5: lots with their own price that hold shares; sold-out lots
    // with their own price (ClassifyLot and ReleaseLot add and take nothing
    // for them, they only follow the age and the touched flags) by category
    // and date; pooled short-term lots by date.
    SortedVector<int> m_unpooled;
    std::set<std::pair<std::int32_t, int>> m_idle[3];
    std::set<std::pair<std::int32_t, int>> m_pooledShort;
    bool isIdle(const BasisLot& lot) const;
    // Method 5 while the list is implicit: the lots of m_unpooled in list
    // order, by the category of the last sort and date, then those added since.
    SortedVector<std::pair<std::int32_t, int>> m_unpooledBlock[3];
    SortedVector<int> m_unpooledTail;
    void blockInsert(int id);
    void blockErase(int id);
    std::vector<int> unpooledInListOrder() const;

    // Methods 2 and 5.
    bool m_laidOut = false;  // the list is held in m_order (list position -> id)
    std::vector<int> m_order;
    std::vector<int> m_pos;  // id -> list position while laid out
    int m_sortedCount = 0;   // implicit list: lots 0..m_sortedCount-1 were sorted
    int m_lastMode = 0;
    bool m_keysChanged = false;                  // a split changed prices since the last sort
    std::vector<double> m_sortedPrice;           // method 2: the price at the last sort
    std::vector<std::int16_t> m_sortedCategory;  // method 5: the category at the last sort
    std::vector<int> m_categoryChanged;          // method 5: lots re-categorised since
    bool m_unorderedKeys = false;  // method 2: a price or split value that does not compare

    // Method 2 while the list is implicit. Lots of one price keep the order the
    // gap sort gives them only where it matters: groups of two or more lots
    // with a lot holding shares ("tie groups", in list order, with the count
    // of sorted lots before them). Sold-out lots of one price are alike; they
    // are ordered by id. Lots holding positive shares by (-price, place, id).
    struct TieGroup {
        std::int64_t size = 0;            // sorted lots of this price
        std::int64_t before = 0;          // sorted lots with a higher price
        std::vector<TieMember> followed;  // those holding shares, with their places
    };
    std::map<double, TieGroup> m_tieGroups;
    std::vector<int> m_slot;  // id -> place in its tie group, -1 when in none
    std::unordered_map<std::uint64_t, std::vector<int>> m_idsByPrice;  // sorted lots
    int m_laidSortedCount = 0;  // lots in m_order that the last gap sort sorted
    std::set<std::tuple<double, int, int>> m_holdingByPrice;
    std::tuple<double, int, int> holdingKey(int id) const;
    void sortByPrice();
    void takeOverLaidOutList();
    void addToSortedPrices();
    void clearTieGroups();
    void placeTieGroup(TieGroup& group, std::vector<TieMember> placed);
    int placeKey(int id) const;

    // Method 5: lots per (category, date); lots holding positive shares per category.
    std::unordered_map<std::uint64_t, int> m_keyCounts;
    int m_sharedKeys = 0;
    std::set<std::pair<std::int32_t, int>> m_holdingByCategory[3];

    std::int64_t m_followedGroups = 0;
    int m_literalSorts = 0;
    int m_sorts = 0;
};

}  // namespace brisden
