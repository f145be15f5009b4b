#include "basis/LotOrder.h"

#include "basis/TieGroupSort.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <limits>
#include <numeric>

namespace brisden {

SortKey SortKeyOf(const BasisLot& lot, int mode)
{
    switch (mode) {
        case SortByPriceDescending:
            return {-(lot.CostPerShare + 0.0), 0};  // -0 and 0 are one price
        case SortLongTermFirst:
            return {double(lot.Category), lot.BuyDate};
        case SortShortTermFirst:
            return {-double(lot.Category), lot.BuyDate};
        default:
            return {};
    }
}

// How many sorted lots have each key, and how many have a smaller one: a
// tree of the keys (a treap), each node with the count of its subtree.
class LotOrder::KeyCounts {
public:
    void clear()
    {
        m_nodes.clear();
        m_root = -1;
    }

    void add(const SortKey& key, std::int64_t delta) { m_root = insert(m_root, key, delta); }

    std::int64_t before(const SortKey& key) const
    {
        std::int64_t sum = 0;
        for (int t = m_root; t >= 0;) {
            const Node& node = m_nodes[std::size_t(t)];
            if (key < node.key) {
                t = node.left;
            } else if (node.key < key) {
                sum += total(node.left) + node.count;
                t = node.right;
            } else {
                return sum + total(node.left);
            }
        }
        return sum;
    }

    std::int64_t count(const SortKey& key) const
    {
        for (int t = m_root; t >= 0;) {
            const Node& node = m_nodes[std::size_t(t)];
            if (key < node.key)
                t = node.left;
            else if (node.key < key)
                t = node.right;
            else
                return node.count;
        }
        return 0;
    }

private:
    struct Node {
        SortKey key;
        std::int64_t count = 0;
        std::int64_t total = 0;  // of the subtree
        std::uint32_t priority = 0;
        int left = -1;
        int right = -1;
    };

    std::int64_t total(int t) const { return t < 0 ? 0 : m_nodes[std::size_t(t)].total; }

    void update(int t)
    {
        Node& node = m_nodes[std::size_t(t)];
        node.total = node.count + total(node.left) + total(node.right);
    }

    std::uint32_t nextPriority()
    {
        m_seed ^= m_seed << 13;
        m_seed ^= m_seed >> 17;
        m_seed ^= m_seed << 5;
        return m_seed;
    }

    int insert(int t, const SortKey& key, std::int64_t delta)
    {
        if (t < 0) {
            m_nodes.push_back({key, delta, delta, nextPriority(), -1, -1});
            return int(m_nodes.size()) - 1;
        }
        const SortKey here = m_nodes[std::size_t(t)].key;
        if (key < here) {
            const int l = insert(m_nodes[std::size_t(t)].left, key, delta);
            m_nodes[std::size_t(t)].left = l;
            if (m_nodes[std::size_t(l)].priority > m_nodes[std::size_t(t)].priority) {
                m_nodes[std::size_t(t)].left = m_nodes[std::size_t(l)].right;
                m_nodes[std::size_t(l)].right = t;
                update(t);
                t = l;
            }
        } else if (here < key) {
            const int r = insert(m_nodes[std::size_t(t)].right, key, delta);
            m_nodes[std::size_t(t)].right = r;
            if (m_nodes[std::size_t(r)].priority > m_nodes[std::size_t(t)].priority) {
                m_nodes[std::size_t(t)].right = m_nodes[std::size_t(r)].left;
                m_nodes[std::size_t(r)].left = t;
                update(t);
                t = r;
            }
        } else {
            m_nodes[std::size_t(t)].count += delta;
        }
        update(t);
        return t;
    }

    std::vector<Node> m_nodes;
    int m_root = -1;
    std::uint32_t m_seed = 2463534242u;
};

LotOrder::LotOrder() : m_counts(std::make_unique<KeyCounts>()) {}
LotOrder::~LotOrder() = default;
LotOrder::LotOrder(LotOrder&&) noexcept = default;
LotOrder& LotOrder::operator=(LotOrder&&) noexcept = default;

void LotOrder::Reset()
{
    *this = LotOrder();
}

void LotOrder::Added()
{
    ++m_count;
    m_sortedKey.emplace_back();
    m_addedKey.emplace_back();
    m_place.push_back(-1);
}

void LotOrder::KeyMayHaveChanged(int id)
{
    if (id < m_sortedCount)
        m_changed.push_back(id);
}

void LotOrder::KeysChanged()
{
    m_keysChanged = true;
}

ListRank LotOrder::Rank(int id) const
{
    if (id >= m_sortedCount)
        return {std::numeric_limits<double>::infinity(), 0, 0, id};
    const SortKey& key = m_sortedKey[std::size_t(id)];
    const std::int32_t place = m_place[std::size_t(id)];
    return {key.major, key.minor, place >= 0 ? place : INT32_MAX, id};
}

std::vector<std::pair<int, ListRank>> LotOrder::Sort(const std::vector<BasisLot>& lots, int mode,
                                                     const LotOrderPolicy& policy, bool& everything)
{
    ++m_sorts;
    everything = false;
    std::vector<std::pair<int, ListRank>> moved;
    const bool fromSortedOrder =
        !m_explicit && !m_keysChanged && (m_sortedCount == 0 || mode == m_lastMode);
    if (fromSortedOrder && sortByGroups(lots, mode, policy, moved))
        return moved;
    sortAsWritten(lots, mode, policy);
    everything = true;
    return {};
}

std::vector<std::pair<int, ListRank>> LotOrder::Settle(const std::vector<int>& ids)
{
    std::vector<std::pair<int, ListRank>> moved;
    if (m_explicit || m_steps.empty())
        return moved;
    std::vector<SortKey> keys;
    for (const int id : ids)
        if (id < m_sortedCount && m_place[std::size_t(id)] >= 0)
            keys.push_back(m_sortedKey[std::size_t(id)]);
    std::sort(keys.begin(), keys.end());
    for (std::size_t i = 0; i + 1 < keys.size(); ++i) {
        if (!(keys[i] == keys[i + 1]) || (i > 0 && keys[i - 1] == keys[i]))
            continue;
        const auto found = m_groups.find(keys[i]);
        if (found != m_groups.end())
            catchUp(found->first, found->second, &moved);
    }
    return moved;
}

void LotOrder::throughStep(std::size_t s, const SortKey& v, std::int64_t staying,
                           std::int64_t stayStart, std::vector<TieMember>& members,
                           std::int64_t& before, std::int64_t& equal)
{
    const Step& step = m_steps[s];
    const std::int64_t n = step.count;
    const std::int64_t sorted = step.sorted;
    const auto labelOf = [&v](const SortKey& key) {
        return key < v ? TieLabel::Before : (key == v ? TieLabel::Equal : TieLabel::After);
    };

    // The word of the list for this key.
    std::int64_t unmovedBefore = stayStart;  // sorted lots before v that keep their key
    before = 0;
    equal = staying;
    for (std::size_t b = step.firstBlock; b < step.lastBlock; ++b) {
        const Block& block = m_blocks[b];
        if (block.from < v)
            unmovedBefore -= block.size;
        const TieLabel label = labelOf(block.to);
        before += label == TieLabel::Before ? block.size : 0;
        equal += label == TieLabel::Equal ? block.size : 0;
    }
    for (std::int64_t id = sorted; id < n; ++id) {
        const TieLabel label = labelOf(m_addedKey[std::size_t(id)]);
        before += label == TieLabel::Before;
        equal += label == TieLabel::Equal;
    }
    before += unmovedBefore;

    // The positions whose letter differs from the sorted form.
    thread_local std::vector<TieLetter> odd;
    odd.clear();
    const std::int64_t firstAfter = before + equal;
    // Positions [x, y), all with one letter: those outside its sorted range.
    const auto addRun = [&](std::int64_t x, std::int64_t y, TieLabel label) {
        const std::int64_t lo = label == TieLabel::Before  ? 0
                                : label == TieLabel::Equal ? before
                                                           : firstAfter;
        const std::int64_t hi = label == TieLabel::Before  ? before
                                : label == TieLabel::Equal ? firstAfter
                                                           : n;
        for (std::int64_t p = x; p < std::min(y, lo); ++p)
            odd.push_back({p, label});
        for (std::int64_t p = std::max(x, hi); p < y; ++p)
            odd.push_back({p, label});
    };
    // The lots that keep their key, in order, between the blocks.
    const auto addUnmoved = [&](std::int64_t x, std::int64_t y, std::int64_t firstIndex) {
        const std::int64_t e0 = unmovedBefore - firstIndex + x;  // the first of v
        const std::int64_t e1 = e0 + staying;
        addRun(x, std::min(y, e0), TieLabel::Before);
        addRun(std::max(x, e0), std::min(y, e1), TieLabel::Equal);
        addRun(std::max(x, e1), y, TieLabel::After);
    };
    std::int64_t position = 0;
    std::int64_t unmovedIndex = 0;
    for (std::size_t b = step.firstBlock; b < step.lastBlock; ++b) {
        const Block& block = m_blocks[b];
        addUnmoved(position, block.start, unmovedIndex);
        unmovedIndex += block.start - position;
        addRun(block.start, block.start + block.size, labelOf(block.to));
        position = block.start + block.size;
    }
    addUnmoved(position, sorted, unmovedIndex);
    for (std::int64_t id = sorted; id < n; ++id)
        addRun(id, id + 1, labelOf(m_addedKey[std::size_t(id)]));

    if (!odd.empty() && equal > 1) {
        ++m_followedGroups;
        EqualLotsAfterGapSort(n, before, equal, odd, members);
        return;
    }
    // In order already, or the only lot of its key.
    for (TieMember& m : members)
        m.place = equal > 1 ? m.place - before : 0;
    std::sort(members.begin(), members.end(),
              [](const TieMember& a, const TieMember& b) { return a.place < b.place; });
}

void LotOrder::catchUp(const SortKey& v, Group& group, std::vector<std::pair<int, ListRank>>* moved)
{
    if (group.applied >= m_steps.size())
        return;
    if (moved)
        for (const auto& [place, id] : group.kept)
            moved->push_back({id, Rank(id)});
    thread_local std::vector<TieMember> members;
    members.clear();
    for (const auto& [place, id] : group.kept)
        members.push_back({group.start + place, id});
    for (std::size_t s = group.applied; s < m_steps.size(); ++s) {
        std::int64_t before = 0;
        std::int64_t equal = 0;
        throughStep(s, v, group.size, group.start, members, before, equal);
        group.start = before;
        group.size = equal;
        for (TieMember& m : members)
            m.place += before;
    }
    group.kept.clear();
    for (const TieMember& m : members) {
        group.kept.push_back({m.place - group.start, m.id});
        m_place[std::size_t(m.id)] = std::int32_t(m.place - group.start);
    }
    group.applied = m_steps.size();
    if (moved) {
        // Keep only the lots whose rank changed.
        std::size_t out = moved->size() - group.kept.size();
        for (std::size_t i = out; i < moved->size(); ++i)
            if (!(Rank((*moved)[i].first) == (*moved)[i].second))
                (*moved)[out++] = (*moved)[i];
        moved->resize(out);
    }
}

// The list as the walk sees it: sorted lots by rank, a followed group's kept
// lots at their places and its other lots in the places left, then the lots
// added since. Every followed group must be up to date.
std::vector<int> LotOrder::layOut() const
{
    std::vector<int> order(static_cast<std::size_t>(m_count));
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(), [this](int a, int b) { return Rank(a) < Rank(b); });
    if (m_explicit)
        return order;
    std::vector<int> block;
    for (const auto& [key, group] : m_groups) {
        const std::size_t start = std::size_t(group.start);
        const std::size_t size = std::size_t(group.size);
        block.assign(size, -1);
        for (const auto& [place, id] : group.kept)
            block[std::size_t(place)] = id;
        // The kept lots come first in rank order, the others after them.
        std::size_t next = 0;
        for (std::size_t i = start + group.kept.size(); i < start + size; ++i) {
            while (block[next] >= 0)
                ++next;
            block[next] = order[i];
        }
        std::copy(block.begin(), block.end(), order.begin() + std::ptrdiff_t(start));
    }
    return order;
}

void LotOrder::sortAsWritten(const std::vector<BasisLot>& lots, int mode,
                             const LotOrderPolicy& policy)
{
    for (auto& [key, group] : m_groups)
        catchUp(key, group, nullptr);
    std::vector<int> order = layOut();
    const int n = int(order.size());
    std::vector<SortKey> keys(order.size());
    bool finite = true;
    for (int i = 0; i < n; ++i) {
        keys[std::size_t(i)] = SortKeyOf(lots[std::size_t(order[std::size_t(i)])], mode);
        finite = finite && std::isfinite(keys[std::size_t(i)].major);
    }
    const auto after = [&](int p, int q) {
        return LotSortsAfter(lots[std::size_t(order[std::size_t(p)])],
                             lots[std::size_t(order[std::size_t(q)])], mode);
    };
    // A list in order has no pair to exchange at any distance (when the keys
    // compare as numbers do).
    bool inOrder = finite;
    for (int p = 0; p + 1 < n && inOrder; ++p)
        inOrder = !after(p, p + 1);
    if (!inOrder) {
        ++m_literalSorts;
        int gap = (n + 1) / 2;
        while (gap > 0) {
            int limit = n - gap;
            int last = 0;
            do {
                last = 0;
                for (int i = 1; i <= limit; ++i) {
                    if (after(i - 1, i - 1 + gap)) {
                        std::swap(order[std::size_t(i - 1)], order[std::size_t(i - 1 + gap)]);
                        last = i;
                    }
                }
                limit = last - gap;
            } while (last > 0);
            gap /= 2;
        }
    }

    // Take the sorted list over: by key where the keys compare, else by position.
    for (int i = 0; i < n; ++i)
        keys[std::size_t(i)] = SortKeyOf(lots[std::size_t(order[std::size_t(i)])], mode);
    bool byKey = finite;
    for (int i = 0; i + 1 < n && byKey; ++i)
        byKey = !(keys[std::size_t(i + 1)] < keys[std::size_t(i)]);
    m_groups.clear();
    m_counts->clear();
    m_steps.clear();
    m_blocks.clear();
    m_place.assign(std::size_t(n), -1);
    m_sortedKey.assign(std::size_t(n), SortKey{});
    m_explicit = !byKey;
    if (m_explicit) {
        for (int i = 0; i < n; ++i)
            m_sortedKey[std::size_t(order[std::size_t(i)])] = {double(i), 0};
    } else {
        for (int i = 0; i < n;) {
            const SortKey key = keys[std::size_t(i)];
            int j = i;
            bool anchored = false;
            bool kept = false;
            for (; j < n && keys[std::size_t(j)] == key; ++j) {
                const int id = order[std::size_t(j)];
                m_sortedKey[std::size_t(id)] = key;
                anchored = anchored || policy.anchors(id);
                kept = kept || policy.keeps(id);
            }
            m_counts->add(key, j - i);
            if (anchored || (kept && policy.open(key))) {
                Group& group = m_groups.emplace_hint(m_groups.end(), key, Group{})->second;
                group.start = i;
                group.size = j - i;
                for (int q = i; q < j; ++q) {
                    const int id = order[std::size_t(q)];
                    if (!policy.keeps(id))
                        continue;
                    group.kept.push_back({q - i, id});
                    m_place[std::size_t(id)] = q - i;
                }
            }
            i = j;
        }
    }
    m_sortedCount = n;
    m_lastMode = mode;
    m_keysChanged = false;
    m_changed.clear();
}

bool LotOrder::sortByGroups(const std::vector<BasisLot>& lots, int mode,
                            const LotOrderPolicy& policy,
                            std::vector<std::pair<int, ListRank>>& moved)
{
    const std::int64_t n = m_count;
    const std::int64_t sorted = m_sortedCount;

    // The lots added since the last sort.
    for (std::int64_t id = sorted; id < n; ++id) {
        m_addedKey[std::size_t(id)] = SortKeyOf(lots[std::size_t(id)], mode);
        if (!std::isfinite(m_addedKey[std::size_t(id)].major))
            return false;
    }

    // Sorted lots with a new key: whole groups that all take one new key.
    std::sort(m_changed.begin(), m_changed.end());
    m_changed.erase(std::unique(m_changed.begin(), m_changed.end()), m_changed.end());
    std::map<SortKey, std::pair<Block, std::vector<int>>> blocksByKey;  // with their lots
    for (const int id : m_changed) {
        const SortKey key = SortKeyOf(lots[std::size_t(id)], mode);
        if (!std::isfinite(key.major))
            return false;
        const SortKey& was = m_sortedKey[std::size_t(id)];
        if (key == was)
            continue;
        const auto [it, fresh] = blocksByKey.try_emplace(was);
        Block& block = it->second.first;
        if (fresh) {
            block.from = was;
            block.to = key;
        } else if (!(block.to == key)) {
            return false;
        }
        ++block.size;
        it->second.second.push_back(id);
    }
    std::int64_t moving = n - sorted;
    for (auto& [key, entry] : blocksByKey) {
        Block& block = entry.first;
        if (block.size != m_counts->count(key))
            return false;
        block.start = m_counts->before(key);
        moving += block.size;
    }

    // The groups that lots join at this sort, by key.
    struct Target {
        std::vector<const Block*> blocks;
        std::vector<int> added;
    };
    std::map<SortKey, Target> targets;
    for (const auto& [key, entry] : blocksByKey)
        targets[entry.first.to].blocks.push_back(&entry.first);
    for (std::int64_t id = sorted; id < n; ++id)
        targets[m_addedKey[std::size_t(id)]].added.push_back(int(id));

    // Every lot that moves puts a few odd letters into the word of every
    // group that is placed through this sort, now or later: beyond some
    // point the sort as written is cheaper.
    const std::int64_t groups = std::int64_t(m_groups.size() + targets.size()) + 1;
    if (moving * groups > 2 * n + 4096)
        return false;

    // Groups that lots leave or join take part with their places of now.
    // (`was` collects ranks before the sort; a lot's first entry is its
    // rank before anything changed.)
    // The followed groups that lots leave or join, in key order.
    std::vector<std::map<SortKey, Group>::iterator> takingPart;
    {
        auto b = blocksByKey.begin();
        auto t = targets.begin();
        while (b != blocksByKey.end() || t != targets.end()) {
            SortKey key;
            if (t == targets.end() || (b != blocksByKey.end() && b->first < t->first)) {
                key = (b++)->first;
            } else {
                key = t->first;
                if (b != blocksByKey.end() && b->first == key)
                    ++b;
                ++t;
            }
            const auto found = m_groups.find(key);
            if (found != m_groups.end())
                takingPart.push_back(found);
        }
    }
    std::vector<std::pair<int, ListRank>> was;
    for (const auto& it : takingPart)
        catchUp(it->first, it->second, &was);

    // Record the sort.
    Step step;
    step.count = n;
    step.sorted = sorted;
    step.firstBlock = m_blocks.size();
    for (const auto& [key, entry] : blocksByKey)
        m_blocks.push_back(entry.first);
    step.lastBlock = m_blocks.size();
    m_steps.push_back(step);
    const std::size_t s = m_steps.size() - 1;

    // Place the groups that lots join.
    std::map<SortKey, Group> placed;
    std::vector<TieMember> members;
    for (const auto& [v, target] : targets) {
        const auto stays = blocksByKey.count(v) ? m_groups.end() : m_groups.find(v);
        const Group* group = stays != m_groups.end() ? &stays->second : nullptr;
        bool anchored = false;
        bool kept = false;
        members.clear();
        const auto consider = [&](std::int64_t position, int id) {
            anchored = anchored || policy.anchors(id);
            const bool keeps = policy.keeps(id);
            kept = kept || keeps;
            if (keeps)
                members.push_back({position, id});
        };
        const std::int64_t stayStart = m_counts->before(v);
        if (group)
            for (const auto& [place, id] : group->kept)
                consider(stayStart + place, id);
        for (const Block* block : target.blocks) {
            const auto from = m_groups.find(block->from);
            if (from != m_groups.end())
                for (const auto& [place, id] : from->second.kept)
                    consider(block->start + place, id);
        }
        for (const int id : target.added)
            consider(id, id);
        if (!anchored && !(kept && policy.open(v)))
            continue;
        const std::int64_t staying = blocksByKey.count(v) ? 0 : m_counts->count(v);
        Group& result = placed[v];
        throughStep(s, v, staying, stayStart, members, result.start, result.size);
        for (const TieMember& m : members)
            result.kept.push_back({m.place, m.id});
        result.applied = m_steps.size();
    }

    // The ranks before, then the new keys, counts and places.
    for (const auto& it : takingPart)
        for (const auto& entry : it->second.kept)
            was.push_back({entry.second, Rank(entry.second)});
    for (const auto& [key, entry] : blocksByKey)
        for (const int id : entry.second)
            was.push_back({id, Rank(id)});
    for (std::int64_t id = sorted; id < n; ++id)
        was.push_back({int(id), Rank(int(id))});

    for (const auto& [key, entry] : blocksByKey) {
        const Block& block = entry.first;
        m_counts->add(block.from, -block.size);
        m_counts->add(block.to, block.size);
        for (const int id : entry.second)
            m_sortedKey[std::size_t(id)] = block.to;
    }
    for (std::int64_t id = sorted; id < n; ++id) {
        m_counts->add(m_addedKey[std::size_t(id)], 1);
        m_sortedKey[std::size_t(id)] = m_addedKey[std::size_t(id)];
    }
    for (const auto& it : takingPart) {
        for (const auto& entry : it->second.kept)
            m_place[std::size_t(entry.second)] = -1;
        m_groups.erase(it);
    }
    for (auto it = m_groups.begin(); it != m_groups.end();) {
        Group& group = it->second;
        // A group no lot joined: its places wait until they are needed, or
        // until it is no longer followed.
        bool anchored = false;
        std::size_t out = 0;
        for (const auto& entry : group.kept) {
            anchored = anchored || policy.anchors(entry.second);
            if (policy.keeps(entry.second)) {
                group.kept[out++] = entry;
            } else {
                was.push_back({entry.second, Rank(entry.second)});
                m_place[std::size_t(entry.second)] = -1;
            }
        }
        group.kept.resize(out);
        if (!anchored && !(out > 0 && policy.open(it->first))) {
            for (const auto& entry : group.kept) {
                was.push_back({entry.second, Rank(entry.second)});
                m_place[std::size_t(entry.second)] = -1;
            }
            it = m_groups.erase(it);
            continue;
        }
        ++it;
    }
    for (auto& [key, group] : placed) {
        for (const auto& [place, id] : group.kept)
            m_place[std::size_t(id)] = std::int32_t(place);
        m_groups.insert_or_assign(key, std::move(group));
    }
    m_sortedCount = int(n);
    m_lastMode = mode;
    m_changed.clear();

    std::stable_sort(was.begin(), was.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (std::size_t i = 0; i < was.size(); ++i) {
        if (i > 0 && was[i].first == was[i - 1].first)
            continue;
        if (!(Rank(was[i].first) == was[i].second))
            moved.push_back(was[i]);
    }
    return true;
}

}  // namespace brisden
