#include "basis/FastLotBook.h"

#include <algorithm>
#include <cmath>
#include <tuple>

namespace brisden {

std::unique_ptr<LotBook> MakeLotBook()
{
    return std::make_unique<FastLotBook>();
}

namespace {

// What the indexes of a lot depend on.
auto IndexState(const BasisLot& lot)
{
    return std::make_tuple(lot.Category, lot.BuyDate, lot.CostPerShare != 0,
                           std::isfinite(lot.CostPerShare), lot.Shares > 0, lot.Shares != 0);
}

}  // namespace

bool FastLotBook::sorting() const
{
    return m_method == MethodCostDynamic || m_method == MethodAverageDoubleDynamic;
}

ListRank FastLotBook::rank(int id) const
{
    return sorting() ? m_order.Rank(id) : ListRank{0, 0, 0, id};
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
    m_datesUnordered = m_datesUnordered || (id > 0 && lot.BuyDate < m_lastDate);
    m_lastDate = id > 0 ? std::max(m_lastDate, lot.BuyDate) : lot.BuyDate;
    if (sorting())
        m_order.Added();
    indexLot(id, +1);
}

// Lots holding shares, lots of unknown price or category: their group's
// order matters for as long as they are in it.
bool FastLotBook::anchors(int id) const
{
    const BasisLot& lot = m_lots[std::size_t(id)];
    if (lot.Shares != 0)
        return true;
    if (m_method == MethodCostDynamic)
        return false;
    return !std::isfinite(lot.CostPerShare) || (lot.Category != 1 && lot.Category != 2);
}

// A sold-out short-term lot of the average method is visited when it ages
// (pooled) or may be pooled by a sale: its place among the lots of its day
// still counts.
bool FastLotBook::keeps(int id) const
{
    return anchors(id) ||
           (m_method == MethodAverageDoubleDynamic && m_lots[std::size_t(id)].Category == 2);
}

// Lots are added in date order: only the latest day can still get lots.
bool FastLotBook::open(const SortKey& key) const
{
    return m_method == MethodAverageDoubleDynamic && (m_datesUnordered || key.minor == m_lastDate);
}

bool FastLotBook::isIdle(const BasisLot& lot) const
{
    return lot.Shares == 0 && lot.CostPerShare != 0 && std::isfinite(lot.CostPerShare) &&
           lot.Category >= 0 && lot.Category <= 2;
}

bool FastLotBook::unpooled(const BasisLot& lot) const
{
    return m_method >= MethodAverageSingle && !isIdle(lot) && lot.CostPerShare != 0;
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
            if (sign > 0)
                m_unpooled.insert(rank(id));
            else
                m_unpooled.erase(rank(id));
        } else if (lot.Category == 2) {
            if (sign > 0)
                m_pooledShort.insert({lot.BuyDate, id});
            else
                m_pooledShort.erase({lot.BuyDate, id});
        }
    }
    if (sorting() && lot.Shares > 0) {
        if (sign > 0)
            m_holding.insert(rank(id));
        else
            m_holding.erase(rank(id));
    }
}

void FastLotBook::noteChange(int id, const BasisLot& was)
{
    BasisLot& now = m_lots[std::size_t(id)];
    if (sorting() && now.Category != was.Category)
        m_order.KeyMayHaveChanged(id);
    if (IndexState(now) == IndexState(was))
        return;
    const BasisLot current = now;
    now = was;
    indexLot(id, -1);
    now = current;
    indexLot(id, +1);
}

void FastLotBook::rebuildIndexes()
{
    m_unpooled.clear();
    for (auto& idle : m_idle)
        idle.clear();
    m_pooledShort.clear();
    m_holding.clear();
    for (int id = 0; id < int(m_lots.size()); ++id)
        indexLot(id, +1);
}

void FastLotBook::ScaleForSplit(double newBalance, double oldBalance)
{
    for (BasisLot& lot : m_lots)
        ScaleLotForSplit(lot, newBalance, oldBalance);
    if (m_method == MethodCostDynamic)
        m_order.KeysChanged();  // the prices were restated
    rebuildIndexes();
    m_hint = 0;
}

void FastLotBook::refile(const std::vector<std::pair<int, ListRank>>& moved)
{
    for (const auto& [id, was] : moved) {
        const BasisLot& lot = m_lots[std::size_t(id)];
        if (sorting() && lot.Shares > 0) {
            m_holding.erase(was);
            m_holding.insert(rank(id));
        }
        if (unpooled(lot)) {
            m_unpooled.erase(was);
            m_unpooled.insert(rank(id));
        }
    }
}

void FastLotBook::settle(const std::vector<int>& ids)
{
    if (sorting())
        refile(m_order.Settle(ids));
}

void FastLotBook::SortList(int mode)
{
    if (!sorting())
        return;
    bool everything = false;
    const std::vector<std::pair<int, ListRank>> moved =
        m_order.Sort(m_lots, mode, *this, everything);
    if (everything)
        rebuildIndexes();
    else
        refile(moved);
}

std::vector<int> FastLotBook::inListOrder(std::vector<int> ids)
{
    if (sorting()) {
        settle(ids);
        std::sort(ids.begin(), ids.end(), [this](int a, int b) { return before(a, b); });
    } else {
        std::sort(ids.begin(), ids.end());
    }
    return ids;
}

int FastLotBook::firstHolding()
{
    if (sorting()) {
        if (m_holding.empty())
            return -1;
        // Lots of the first key: their places are settled only when needed.
        const ListRank first = *m_holding.begin();
        const auto second = std::next(m_holding.begin());
        if (second != m_holding.end() && second->major == first.major &&
            second->minor == first.minor) {
            std::vector<int> tied;
            for (auto it = m_holding.begin();
                 it != m_holding.end() && it->major == first.major && it->minor == first.minor;
                 ++it)
                tied.push_back(it->id);
            settle(tied);
        }
        return m_holding.begin()->id;
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
    std::vector<int> visit;
    visit.reserve(m_unpooled.size());
    for (const ListRank& r : m_unpooled)
        visit.push_back(r.id);
    for (const auto& [date, id] : m_pooledShort) {
        if (date >= pools.LongTermCutoff)
            break;
        visit.push_back(id);
    }
    visit = inListOrder(std::move(visit));
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
    std::vector<int> visit;
    visit.reserve(m_unpooled.size());
    for (const ListRank& r : m_unpooled)
        visit.push_back(r.id);
    visit = inListOrder(std::move(visit));
    for (const int id : visit) {
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
    for (int id = 0; id < int(m_lots.size()); ++id)
        if (m_lots[std::size_t(id)].Shares != 0)
            held.push_back(id);
    for (const int id : inListOrder(std::move(held))) {
        const BasisLot was = m_lots[std::size_t(id)];
        f(m_lots[std::size_t(id)]);
        noteChange(id, was);
    }
}

}  // namespace brisden
