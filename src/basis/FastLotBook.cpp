#include "basis/FastLotBook.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>

namespace brisden {

std::unique_ptr<LotBook> MakeLotBook()
{
    return std::make_unique<FastLotBook>();
}

namespace {

bool Finite(const BasisLot& lot)
{
    return std::isfinite(lot.CostPerShare) && std::isfinite(lot.Shares);
}

}  // namespace

std::uint64_t FastLotBook::priceKey(double price)
{
    const double normalized = price + 0.0;  // -0 and 0 are one price
    std::uint64_t bits = 0;
    std::memcpy(&bits, &normalized, sizeof bits);
    return bits;
}

std::uint64_t FastLotBook::categoryKey(const BasisLot& lot)
{
    return (std::uint64_t(std::uint16_t(lot.Category)) << 32) | std::uint32_t(lot.BuyDate);
}

bool FastLotBook::sorting() const
{
    return m_method == MethodCostDynamic || m_method == MethodAverageDoubleDynamic;
}

void FastLotBook::Reset(int method)
{
    *this = FastLotBook();
    m_method = method;
}

void FastLotBook::AddLot(const BasisLot& lot)
{
    const int id = int(m_lots.size());
    m_lots.push_back(lot);
    if (sorting()) {
        m_slot.push_back(-1);
        m_sortedPrice.push_back(0);
        m_sortedCategory.push_back(0);
        if (m_laidOut) {
            m_order.push_back(id);
            m_pos.push_back(id);
        }
    }
    if (!Finite(lot))
        m_unorderedKeys = true;
    indexLot(id, +1);
}

void FastLotBook::indexLot(int id, int sign)
{
    const BasisLot& lot = m_lots[std::size_t(id)];
    if (m_method >= MethodAverageSingle) {
        if (isIdle(lot)) {
            if (sign > 0)
                m_idle[lot.Category].insert({lot.BuyDate, id});
            else
                m_idle[lot.Category].erase({lot.BuyDate, id});
        } else if (lot.CostPerShare != 0) {
            if (sign > 0) {
                m_unpooled.insert(id);
                blockInsert(id);
            } else {
                m_unpooled.erase(id);
                blockErase(id);
            }
        } else if (lot.Category == 2) {
            if (sign > 0)
                m_pooledShort.insert({lot.BuyDate, id});
            else
                m_pooledShort.erase({lot.BuyDate, id});
        }
    }
    if (m_method == MethodCostDynamic) {
        if (lot.Shares > 0 && !std::isnan(lot.CostPerShare)) {
            if (sign > 0)
                m_holdingByPrice.insert(holdingKey(id));
            else
                m_holdingByPrice.erase(holdingKey(id));
        }
    } else if (m_method == MethodAverageDoubleDynamic) {
        int& count = m_keyCounts[categoryKey(lot)];
        const bool sharedBefore = count >= 2;
        count += sign;
        m_sharedKeys += int(count >= 2) - int(sharedBefore);
        if (lot.Shares > 0 && lot.Category >= 0 && lot.Category <= 2) {
            auto& holding = m_holdingByCategory[lot.Category];
            if (sign > 0)
                holding.insert({lot.BuyDate, id});
            else
                holding.erase({lot.BuyDate, id});
        }
    }
}

void FastLotBook::blockInsert(int id)
{
    if (m_method != MethodAverageDoubleDynamic || m_laidOut)
        return;
    if (id < m_sortedCount)
        m_unpooledBlock[m_sortedCategory[std::size_t(id)]].insert(
            {m_lots[std::size_t(id)].BuyDate, id});
    else
        m_unpooledTail.insert(id);
}

void FastLotBook::blockErase(int id)
{
    if (m_method != MethodAverageDoubleDynamic || m_laidOut)
        return;
    if (id < m_sortedCount)
        m_unpooledBlock[m_sortedCategory[std::size_t(id)]].erase(
            {m_lots[std::size_t(id)].BuyDate, id});
    else
        m_unpooledTail.erase(id);
}

std::vector<int> FastLotBook::unpooledInListOrder() const
{
    std::vector<int> ids;
    ids.reserve(m_unpooled.size());
    if (!sorting() || m_laidOut) {
        ids.assign(m_unpooled.begin(), m_unpooled.end());
        if (m_laidOut)
            std::sort(ids.begin(), ids.end(), [this](int a, int b) {
                return m_pos[std::size_t(a)] < m_pos[std::size_t(b)];
            });
        return ids;
    }
    static constexpr int longFirst[3] = {0, 1, 2};
    static constexpr int shortFirst[3] = {2, 1, 0};
    const int* categories = m_lastMode == SortLongTermFirst ? longFirst : shortFirst;
    for (int k = 0; k < 3; ++k)
        for (const auto& entry : m_unpooledBlock[categories[k]])
            ids.push_back(entry.second);
    ids.insert(ids.end(), m_unpooledTail.begin(), m_unpooledTail.end());
    return ids;
}

bool FastLotBook::isIdle(const BasisLot& lot) const
{
    return lot.Shares == 0 && lot.CostPerShare != 0 && std::isfinite(lot.CostPerShare) &&
           lot.Category >= 0 && lot.Category <= 2;
}

void FastLotBook::noteChange(int id, const BasisLot& was)
{
    BasisLot& now = m_lots[std::size_t(id)];
    const bool same =
        now.Category == was.Category && now.BuyDate == was.BuyDate &&
        (now.CostPerShare == was.CostPerShare ||
         (m_method != MethodCostDynamic && (now.CostPerShare != 0) == (was.CostPerShare != 0))) &&
        (now.Shares > 0) == (was.Shares > 0) && (now.Shares != 0) == (was.Shares != 0);
    if (!Finite(now))
        m_unorderedKeys = true;
    if (same)
        return;
    const BasisLot current = now;
    now = was;
    indexLot(id, -1);
    now = current;
    indexLot(id, +1);
    if (m_method == MethodAverageDoubleDynamic && now.Category != was.Category)
        m_categoryChanged.push_back(id);
}

void FastLotBook::rebuildIndexes()
{
    m_unpooled.clear();
    for (auto& block : m_unpooledBlock)
        block.clear();
    m_unpooledTail.clear();
    for (auto& idle : m_idle)
        idle.clear();
    m_pooledShort.clear();
    m_holdingByPrice.clear();
    m_keyCounts.clear();
    m_sharedKeys = 0;
    for (auto& holding : m_holdingByCategory)
        holding.clear();
    for (int id = 0; id < int(m_lots.size()); ++id)
        indexLot(id, +1);
}

void FastLotBook::ScaleForSplit(double newBalance, double oldBalance)
{
    for (BasisLot& lot : m_lots) {
        ScaleLotForSplit(lot, newBalance, oldBalance);
        if (!Finite(lot))
            m_unorderedKeys = true;
    }
    if (!std::isfinite(newBalance) || !std::isfinite(oldBalance))
        m_unorderedKeys = true;
    rebuildIndexes();
    m_hint = 0;
    m_keysChanged = true;
}

bool FastLotBook::keysDistinct() const
{
    return m_sharedKeys == 0;
}

void FastLotBook::SortList(int mode)
{
    if (!sorting())
        return;
    ++m_sorts;
    if (m_method == MethodCostDynamic) {
        m_followedGroups += std::int64_t(m_tieGroups.size());
        sortByPrice();
        return;
    }
    const int n = int(m_lots.size());
    if (keysDistinct()) {
        // The sorted order is the only result: record the keys it used.
        if (m_laidOut) {
            for (int id = 0; id < n; ++id)
                m_sortedCategory[std::size_t(id)] = m_lots[std::size_t(id)].Category;
            m_sortedCount = n;
            m_laidOut = false;
            for (const int id : m_unpooled)
                blockInsert(id);
        } else {
            std::vector<int> moved = m_categoryChanged;
            for (int id = m_sortedCount; id < n; ++id)
                moved.push_back(id);
            for (const int id : moved)
                if (m_unpooled.contains(id))
                    blockErase(id);
            for (const int id : moved)
                m_sortedCategory[std::size_t(id)] = m_lots[std::size_t(id)].Category;
            m_sortedCount = n;
            for (const int id : moved)
                if (m_unpooled.contains(id))
                    blockInsert(id);
        }
        m_categoryChanged.clear();
        m_sortedCount = n;
        m_lastMode = mode;
        m_keysChanged = false;
        m_laidOut = false;
        m_order.clear();
        m_pos.clear();
        return;
    }
    if (!m_laidOut)
        layOut();
    m_categoryChanged.clear();
    gapSort(mode);
    m_hint = 0;
}

void FastLotBook::layOut()
{
    const int n = int(m_lots.size());
    m_order.resize(std::size_t(n));
    for (int id = 0; id < n; ++id)
        m_order[std::size_t(id)] = id;
    std::sort(m_order.begin(), m_order.end(), [this](int a, int b) { return before(a, b); });
    if (m_method == MethodCostDynamic) {
        // A followed group: its lots at their places, the alike ones between.
        std::vector<int> block;
        for (const auto& [price, group] : m_tieGroups) {
            block.assign(std::size_t(group.size), -1);
            for (const TieMember& m : group.followed)
                block[std::size_t(m.place)] = m.id;
            std::size_t next = 0;
            for (const int id : m_idsByPrice[priceKey(price)]) {
                if (m_slot[std::size_t(id)] >= 0)
                    continue;
                while (block[next] >= 0)
                    ++next;
                block[next] = id;
            }
            std::copy(block.begin(), block.end(), m_order.begin() + group.before);
        }
    }
    m_pos.assign(std::size_t(n), 0);
    for (int p = 0; p < n; ++p)
        m_pos[std::size_t(m_order[std::size_t(p)])] = p;
    m_laidOut = true;
    for (auto& block : m_unpooledBlock)
        block.clear();
    m_unpooledTail.clear();
    m_hint = 0;
}

void FastLotBook::gapSort(int mode)
{
    const int n = int(m_order.size());
    const auto after = [&](int p, int q) {
        return LotSortsAfter(m_lots[std::size_t(m_order[std::size_t(p)])],
                             m_lots[std::size_t(m_order[std::size_t(q)])], mode);
    };
    // A list in order has no pair to exchange at any distance (when the keys
    // compare as numbers do).
    if (mode != SortByPriceDescending || !m_unorderedKeys) {
        bool inOrder = true;
        for (int p = 0; p + 1 < n && inOrder; ++p)
            inOrder = !after(p, p + 1);
        if (inOrder)
            return;
    }
    ++m_literalSorts;
    int gap = (n + 1) / 2;
    while (gap > 0) {
        int limit = n - gap;
        int last = 0;
        do {
            last = 0;
            for (int i = 1; i <= limit; ++i) {
                if (after(i - 1, i - 1 + gap)) {
                    std::swap(m_order[std::size_t(i - 1)], m_order[std::size_t(i - 1 + gap)]);
                    m_pos[std::size_t(m_order[std::size_t(i - 1)])] = i - 1;
                    m_pos[std::size_t(m_order[std::size_t(i - 1 + gap)])] = i - 1 + gap;
                    last = i;
                }
            }
            limit = last - gap;
        } while (last > 0);
        gap /= 2;
    }
}

// Lots of one price: the followed ones by place, the others (alike) after.
int FastLotBook::placeKey(int id) const
{
    const int slot = m_slot[std::size_t(id)];
    return slot >= 0 ? slot : INT_MAX;
}

std::tuple<double, int, int> FastLotBook::holdingKey(int id) const
{
    return {-m_lots[std::size_t(id)].CostPerShare, placeKey(id), id};
}

void FastLotBook::clearTieGroups()
{
    for (auto& [price, group] : m_tieGroups)
        for (const TieMember& m : group.followed)
            m_slot[std::size_t(m.id)] = -1;
    m_tieGroups.clear();
    m_idsByPrice.clear();
}

// Gives the group's followed lots their new places; a lot holding positive
// shares is filed again when its place changed. (Lots no longer followed have
// sold out and are not filed.)
void FastLotBook::placeTieGroup(TieGroup& group, std::vector<TieMember> placed)
{
    for (const TieMember& m : placed) {
        const std::size_t id = std::size_t(m.id);
        if (m_slot[id] == int(m.place))
            continue;
        const bool filed = m_lots[id].Shares > 0;
        if (filed)
            m_holdingByPrice.erase(holdingKey(m.id));
        m_slot[id] = int(m.place);
        if (filed)
            m_holdingByPrice.insert(holdingKey(m.id));
    }
    group.followed = std::move(placed);
}

void FastLotBook::sortByPrice()
{
    if (m_unorderedKeys || m_keysChanged) {
        // Prices changed (a split) or do not compare: the gap sort as written.
        if (!m_laidOut)
            layOut();
        clearTieGroups();
        gapSort(SortByPriceDescending);
        m_laidSortedCount = int(m_order.size());
        m_keysChanged = false;
        m_hint = 0;
        return;
    }
    if (m_laidOut)
        takeOverLaidOutList();
    addToSortedPrices();
}

// The laid-out list was gap-sorted and has had lots added since: keep it
// implicitly, with its groups of equal prices in their present order.
void FastLotBook::takeOverLaidOutList()
{
    const int sortedCount = m_laidSortedCount;
    clearTieGroups();
    for (int id = 0; id < sortedCount; ++id) {
        m_sortedPrice[std::size_t(id)] = m_lots[std::size_t(id)].CostPerShare;
        m_idsByPrice[priceKey(m_sortedPrice[std::size_t(id)])].push_back(id);
    }
    for (int p = 0; p < sortedCount;) {
        int q = p + 1;
        const double price = m_lots[std::size_t(m_order[std::size_t(p)])].CostPerShare;
        while (q < sortedCount &&
               m_lots[std::size_t(m_order[std::size_t(q)])].CostPerShare == price)
            ++q;
        bool held = false;
        for (int i = p; i < q; ++i)
            held = held || holdsShares(m_lots[std::size_t(m_order[std::size_t(i)])]);
        if (q - p >= 2 && held) {
            TieGroup& group = m_tieGroups[price + 0.0];
            group.before = p;
            group.size = q - p;
            for (int i = p; i < q; ++i)
                if (holdsShares(m_lots[std::size_t(m_order[std::size_t(i)])]))
                    group.followed.push_back({i - p, m_order[std::size_t(i)]});
        }
        p = q;
    }
    m_sortedCount = sortedCount;
    m_laidOut = false;
    m_order.clear();
    m_pos.clear();
    for (auto& [price, group] : m_tieGroups)
        for (const TieMember& m : group.followed)
            m_slot[std::size_t(m.id)] = int(m.place);
    m_holdingByPrice.clear();
    for (int id = 0; id < int(m_lots.size()); ++id)
        if (m_lots[std::size_t(id)].Shares > 0)
            m_holdingByPrice.insert(holdingKey(id));
}

// The sorted list with the lots added since: every lot goes to its price;
// the groups of equal prices that matter get the order the gap sort gives.
void FastLotBook::addToSortedPrices()
{
    const int n = int(m_lots.size());
    const int sorted = m_sortedCount;
    if (n == sorted)
        return;
    double maxAdded = m_lots[std::size_t(sorted)].CostPerShare;
    for (int id = sorted; id < n; ++id)
        maxAdded = std::max(maxAdded, m_lots[std::size_t(id)].CostPerShare);
    const auto labelsFor = [&](double v, std::vector<TieLabel>& labels, std::vector<int>& equal,
                               std::int64_t& higher) {
        labels.clear();
        equal.clear();
        higher = 0;
        for (int id = sorted; id < n; ++id) {
            const double price = m_lots[std::size_t(id)].CostPerShare;
            if (price > v) {
                labels.push_back(TieLabel::Before);
                ++higher;
            } else if (price == v) {
                labels.push_back(TieLabel::Equal);
                equal.push_back(id);
            } else {
                labels.push_back(TieLabel::After);
            }
        }
    };
    std::vector<TieLabel> labels;
    std::vector<int> equal;
    std::int64_t higher = 0;
    std::vector<int> addedIds;
    std::vector<TieMember> followed;
    // Sold-out lots of one price are alike: only the others are followed.
    const auto held = [this](int id) { return holdsShares(m_lots[std::size_t(id)]); };
    const auto addedToFollow = [&] {
        addedIds.clear();
        bool any = false;
        for (const int id : equal) {
            addedIds.push_back(held(id) ? id : -1);
            any = any || held(id);
        }
        return any;
    };

    // Groups already followed: those that an added lot overtakes or joins.
    for (auto it = m_tieGroups.begin(); it != m_tieGroups.end() && it->first <= maxAdded;) {
        TieGroup& group = it->second;
        labelsFor(it->first, labels, equal, higher);
        followed.clear();
        for (const TieMember& m : group.followed) {
            if (held(m.id))
                followed.push_back(m);
            else
                m_slot[std::size_t(m.id)] = -1;
        }
        group.followed.clear();
        const bool addedHeld = addedToFollow();
        if (followed.empty() && !addedHeld) {
            // Sold out: its lots are alike from now on.
            it = m_tieGroups.erase(it);
            continue;
        }
        group.followed = followed;
        std::vector<TieMember> placed =
            TieGroupAfterGapSort(n, group.before, group.size, followed, labels, addedIds);
        group.before += higher;
        group.size += std::int64_t(equal.size());
        placeTieGroup(group, std::move(placed));
        ++it;
    }
    // Added lots that make a new group that matters.
    for (int id = sorted; id < n; ++id) {
        const double price = m_lots[std::size_t(id)].CostPerShare + 0.0;
        if (m_tieGroups.count(price))
            continue;
        labelsFor(price, labels, equal, higher);
        if (equal.front() != id)
            continue;  // the group was looked at with its first added lot
        const auto found = m_idsByPrice.find(priceKey(price));
        const std::size_t sortedOfPrice = found != m_idsByPrice.end() ? found->second.size() : 0;
        if (sortedOfPrice + equal.size() < 2)
            continue;
        followed.clear();
        if (found != m_idsByPrice.end())
            for (std::size_t i = 0; i < sortedOfPrice; ++i)
                if (held(found->second[i]))
                    followed.push_back({std::int64_t(i), found->second[i]});
        const bool addedHeld = addedToFollow();
        if (followed.empty() && !addedHeld)
            continue;
        std::int64_t before = 0;
        for (int other = 0; other < sorted; ++other)
            before += m_sortedPrice[std::size_t(other)] > price;
        TieGroup& group = m_tieGroups[price];
        group.followed = followed;
        std::vector<TieMember> placed = TieGroupAfterGapSort(n, before, std::int64_t(sortedOfPrice),
                                                             followed, labels, addedIds);
        group.before = before + higher;
        group.size = std::int64_t(sortedOfPrice + equal.size());
        placeTieGroup(group, std::move(placed));
    }
    for (int id = sorted; id < n; ++id) {
        m_sortedPrice[std::size_t(id)] = m_lots[std::size_t(id)].CostPerShare;
        m_idsByPrice[priceKey(m_sortedPrice[std::size_t(id)])].push_back(id);
    }
    m_sortedCount = n;
    m_lastMode = SortByPriceDescending;
}

bool FastLotBook::before(int a, int b) const
{
    if (m_laidOut)
        return m_pos[std::size_t(a)] < m_pos[std::size_t(b)];
    if (!sorting())
        return a < b;
    const bool aSorted = a < m_sortedCount;
    const bool bSorted = b < m_sortedCount;
    if (aSorted != bSorted)
        return aSorted;
    if (!aSorted)
        return a < b;
    if (m_method == MethodCostDynamic) {
        const double pa = m_sortedPrice[std::size_t(a)];
        const double pb = m_sortedPrice[std::size_t(b)];
        if (pa != pb)
            return pa > pb;
        const int sa = placeKey(a);
        const int sb = placeKey(b);
        if (sa != sb)
            return sa < sb;
        return a < b;
    }
    const int ca = m_sortedCategory[std::size_t(a)];
    const int cb = m_sortedCategory[std::size_t(b)];
    if (ca != cb)
        return m_lastMode == SortLongTermFirst ? ca < cb : ca > cb;
    const std::int32_t da = m_lots[std::size_t(a)].BuyDate;
    const std::int32_t db = m_lots[std::size_t(b)].BuyDate;
    if (da != db)
        return da < db;
    return a < b;
}

std::vector<int> FastLotBook::inListOrder(std::vector<int> ids) const
{
    if (sorting())
        std::sort(ids.begin(), ids.end(), [this](int a, int b) { return before(a, b); });
    else
        std::sort(ids.begin(), ids.end());
    return ids;
}

int FastLotBook::firstHolding()
{
    if (m_laidOut) {
        while (m_hint < m_order.size() && !(m_lots[std::size_t(m_order[m_hint])].Shares > 0))
            ++m_hint;
        return m_hint < m_order.size() ? m_order[m_hint] : -1;
    }
    if (m_method == MethodCostDynamic)
        return m_holdingByPrice.empty() ? -1 : std::get<2>(*m_holdingByPrice.begin());
    if (m_method == MethodAverageDoubleDynamic) {
        static constexpr int longFirst[3] = {0, 1, 2};
        static constexpr int shortFirst[3] = {2, 1, 0};
        const int* categories = m_lastMode == SortLongTermFirst ? longFirst : shortFirst;
        for (int k = 0; k < 3; ++k) {
            const auto& holding = m_holdingByCategory[categories[k]];
            if (!holding.empty())
                return holding.begin()->second;
        }
        return -1;
    }
    while (m_hint < m_lots.size() && !(m_lots[m_hint].Shares > 0))
        ++m_hint;
    return m_hint < m_lots.size() ? int(m_hint) : -1;
}

void FastLotBook::MatchLots(const std::function<void(BasisLot&)>& sell,
                            const std::function<bool()>& more)
{
    do {
        const int id = firstHolding();
        if (id < 0)
            break;
        const BasisLot was = m_lots[std::size_t(id)];
        sell(m_lots[std::size_t(id)]);
        noteChange(id, was);
    } while (more());
}

void FastLotBook::ClassifyLots(BasisPools& pools)
{
    // Lots with their own price join a pool; pooled short lots that have aged
    // leave the short pool. Every other lot is left as it is.
    std::vector<int> visit = unpooledInListOrder();
    std::vector<int> aged;
    for (const auto& [date, id] : m_pooledShort) {
        if (date >= pools.LongTermCutoff)
            break;
        aged.push_back(id);
    }
    for (const int id : inListOrder(std::move(aged)))
        visit.insert(std::lower_bound(visit.begin(), visit.end(), id,
                                      [this](int a, int b) { return before(a, b); }),
                     id);
    for (const int id : visit) {
        const BasisLot was = m_lots[std::size_t(id)];
        ClassifyLot(m_lots[std::size_t(id)], pools);
        noteChange(id, was);
    }
    // Sold-out lots with their own price only take the category of their age.
    std::vector<std::pair<int, std::int16_t>> moves;
    for (const auto& [date, id] : m_idle[0])
        moves.push_back({id, std::int16_t(date < pools.LongTermCutoff ? 1 : 2)});
    for (const auto& [date, id] : m_idle[2]) {
        if (date >= pools.LongTermCutoff)
            break;
        moves.push_back({id, std::int16_t(1)});
    }
    for (auto it = m_idle[1].lower_bound({pools.LongTermCutoff, -1}); it != m_idle[1].end(); ++it)
        moves.push_back({it->second, std::int16_t(2)});
    setIdle(moves, [](BasisLot& lot, std::int16_t category) { lot.Category = category; });
}

void FastLotBook::setIdle(const std::vector<std::pair<int, std::int16_t>>& moves,
                          void (*change)(BasisLot&, std::int16_t))
{
    for (const auto& [id, value] : moves) {
        const BasisLot was = m_lots[std::size_t(id)];
        change(m_lots[std::size_t(id)], value);
        noteChange(id, was);
    }
}

void FastLotBook::ReleaseUnpooledLots(BasisPools& pools)
{
    for (const int id : unpooledInListOrder()) {
        const BasisLot was = m_lots[std::size_t(id)];
        ReleaseLot(m_lots[std::size_t(id)], pools);
        noteChange(id, was);
    }
    // Sold-out lots with their own price are pooled when their category was
    // touched (every one with the single category); the others give back nothing.
    const bool anyTouched = pools.LongPoolTouched || pools.ShortPoolTouched;
    const bool single = m_method == MethodAverageSingle;
    std::vector<std::pair<int, std::int16_t>> pooled;
    for (int category = 0; category < 3; ++category) {
        const bool touched =
            single ? anyTouched : (category == 2 ? pools.ShortPoolTouched : pools.LongPoolTouched);
        if (touched)
            for (const auto& entry : m_idle[category])
                pooled.push_back({entry.second, std::int16_t(0)});
    }
    setIdle(pooled, [](BasisLot& lot, std::int16_t) { lot.CostPerShare = 0; });
}

void FastLotBook::ForEachHeldLot(const std::function<void(BasisLot&)>& f)
{
    std::vector<int> held;
    if (m_laidOut) {
        for (const int id : m_order)
            if (holdsShares(m_lots[std::size_t(id)]))
                held.push_back(id);
    } else {
        for (int id = 0; id < int(m_lots.size()); ++id)
            if (holdsShares(m_lots[std::size_t(id)]))
                held.push_back(id);
        held = inListOrder(std::move(held));
    }
    for (const int id : held) {
        const BasisLot was = m_lots[std::size_t(id)];
        f(m_lots[std::size_t(id)]);
        noteChange(id, was);
    }
}

}  // namespace brisden
