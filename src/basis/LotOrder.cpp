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

// The list as the walk sees it: sorted lots by rank, a followed group's kept
// lots at their places and its other lots in the places left, then the lots
// added since.
std::vector<int> LotOrder::layOut() const
{
    std::vector<int> order(static_cast<std::size_t>(m_count));
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(), [this](int a, int b) { return Rank(a) < Rank(b); });
    if (m_explicit)
        return order;
    std::vector<int> block;
    for (const auto& [key, group] : m_groups) {
        const std::size_t start = std::size_t(m_counts->before(key));
        const std::size_t size = std::size_t(m_counts->count(key));
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
    std::vector<SortKey> tailKey(std::size_t(n - sorted));
    for (std::int64_t j = 0; j < n - sorted; ++j) {
        tailKey[std::size_t(j)] = SortKeyOf(lots[std::size_t(sorted + j)], mode);
        if (!std::isfinite(tailKey[std::size_t(j)].major))
            return false;
    }

    // Sorted lots with a new key: whole groups that all take one new key
    // ("blocks", each where its group stands in the list).
    struct Block {
        SortKey from;
        SortKey to;
        std::int64_t start = 0;
        std::int64_t size = 0;
        std::vector<int> ids;
        const Group* group = nullptr;  // when the group was followed
    };
    std::sort(m_changed.begin(), m_changed.end());
    m_changed.erase(std::unique(m_changed.begin(), m_changed.end()), m_changed.end());
    std::map<SortKey, Block> blocksByKey;
    for (const int id : m_changed) {
        const SortKey key = SortKeyOf(lots[std::size_t(id)], mode);
        if (!std::isfinite(key.major))
            return false;
        const SortKey& was = m_sortedKey[std::size_t(id)];
        if (key == was)
            continue;
        const auto [it, fresh] = blocksByKey.try_emplace(was);
        Block& block = it->second;
        if (fresh) {
            block.from = was;
            block.to = key;
        } else if (!(block.to == key)) {
            return false;
        }
        ++block.size;
        block.ids.push_back(id);
    }
    std::vector<Block> blocks;
    for (auto& [key, block] : blocksByKey) {
        if (block.size != m_counts->count(key))
            return false;
        block.start = m_counts->before(key);
        const auto found = m_groups.find(key);
        block.group = found != m_groups.end() ? &found->second : nullptr;
        blocks.push_back(std::move(block));
    }

    // The groups to place, by their new key: followed groups that keep
    // their key, groups that blocks join, groups that added lots join.
    struct Work {
        const Group* stays = nullptr;
        std::vector<std::size_t> blocks;
        std::vector<int> added;
    };
    std::map<SortKey, Work> work;
    for (const auto& [key, group] : m_groups)
        if (!blocksByKey.count(key))
            work[key].stays = &group;
    for (std::size_t b = 0; b < blocks.size(); ++b)
        work[blocks[b].to].blocks.push_back(b);
    for (std::int64_t j = 0; j < n - sorted; ++j)
        work[tailKey[std::size_t(j)]].added.push_back(int(sorted + j));

    const auto labelOf = [](const SortKey& key, const SortKey& v) {
        return key < v ? TieLabel::Before : (key == v ? TieLabel::Equal : TieLabel::After);
    };
    // Beyond this many odd letters in all, the sort as written is cheaper.
    const std::int64_t oddLimit = std::max<std::int64_t>(256, n / 8);
    std::int64_t oddTotal = 0;

    std::map<SortKey, Group> placed;
    std::vector<TieLetter> odd;
    std::vector<TieMember> members;
    for (const auto& [v, w] : work) {
        // Is the group still followed?
        bool anchored = false;
        bool kept = false;
        const auto look = [&](int id) {
            anchored = anchored || policy.anchors(id);
            kept = kept || policy.keeps(id);
        };
        if (w.stays)
            for (const auto& entry : w.stays->kept)
                look(entry.second);
        for (const std::size_t b : w.blocks)
            if (blocks[b].group)
                for (const auto& entry : blocks[b].group->kept)
                    look(entry.second);
        for (const int id : w.added)
            look(id);
        if (!anchored && !(kept && policy.open(v)))
            continue;

        // The word of the list for this key.
        const bool stayed = !blocksByKey.count(v);
        const std::int64_t staying = stayed ? m_counts->count(v) : 0;
        const std::int64_t stayStart = m_counts->before(v);
        std::int64_t unmovedBefore = stayStart;  // sorted lots before v that keep their key
        std::int64_t before = 0;
        std::int64_t equal = staying;
        for (const Block& block : blocks) {
            if (block.from < v)
                unmovedBefore -= block.size;
            const TieLabel label = labelOf(block.to, v);
            before += label == TieLabel::Before ? block.size : 0;
            equal += label == TieLabel::Equal ? block.size : 0;
        }
        for (const SortKey& key : tailKey) {
            const TieLabel label = labelOf(key, v);
            before += label == TieLabel::Before;
            equal += label == TieLabel::Equal;
        }
        before += unmovedBefore;

        odd.clear();
        const auto sortedLabel = [&](std::int64_t p) {
            return p < before ? TieLabel::Before
                              : (p < before + equal ? TieLabel::Equal : TieLabel::After);
        };
        // Positions [x, y), all with one letter: those outside its sorted range are odd.
        const auto addRun = [&](std::int64_t x, std::int64_t y, TieLabel label) {
            if (x >= y)
                return;
            const std::int64_t lo = label == TieLabel::Before  ? 0
                                    : label == TieLabel::Equal ? before
                                                               : before + equal;
            const std::int64_t hi = label == TieLabel::Before  ? before
                                    : label == TieLabel::Equal ? before + equal
                                                               : n;
            for (std::int64_t p = x; p < std::min(y, lo); ++p)
                odd.push_back({p, label});
            for (std::int64_t p = std::max(x, hi); p < y; ++p)
                odd.push_back({p, label});
        };
        // The lots that keep their key, in order, between the blocks.
        const auto addUnmoved = [&](std::int64_t x, std::int64_t y, std::int64_t firstIndex) {
            const std::int64_t e0 = unmovedBefore - firstIndex + x;  // first Equal position
            const std::int64_t e1 = e0 + staying;
            addRun(x, std::min(y, e0), TieLabel::Before);
            addRun(std::max(x, e0), std::min(y, e1), TieLabel::Equal);
            addRun(std::max(x, e1), y, TieLabel::After);
        };
        std::int64_t position = 0;
        std::int64_t unmovedIndex = 0;
        for (const Block& block : blocks) {
            addUnmoved(position, block.start, unmovedIndex);
            unmovedIndex += block.start - position;
            addRun(block.start, block.start + block.size, labelOf(block.to, v));
            position = block.start + block.size;
        }
        addUnmoved(position, sorted, unmovedIndex);
        for (std::int64_t j = 0; j < n - sorted; ++j) {
            const TieLabel label = labelOf(tailKey[std::size_t(j)], v);
            if (label != sortedLabel(sorted + j))
                odd.push_back({sorted + j, label});
        }
        oddTotal += std::int64_t(odd.size());
        if (oddTotal > oddLimit)
            return false;

        // The lots whose places are kept, at their positions before the sort.
        members.clear();
        if (w.stays)
            for (const auto& [place, id] : w.stays->kept)
                if (policy.keeps(id))
                    members.push_back({stayStart + place, id});
        for (const std::size_t b : w.blocks)
            if (blocks[b].group)
                for (const auto& [place, id] : blocks[b].group->kept)
                    if (policy.keeps(id))
                        members.push_back({blocks[b].start + place, id});
        for (const int id : w.added)
            if (policy.keeps(id))
                members.push_back({id, id});

        Group& group = placed[v];
        if (odd.empty() || equal == 1) {
            // In order already, or the only lot of its key.
            for (TieMember& m : members)
                m.place -= before;
            if (equal == 1)
                members.front().place = 0;
            std::sort(members.begin(), members.end(),
                      [](const TieMember& a, const TieMember& b) { return a.place < b.place; });
        } else {
            ++m_followedGroups;
            members = EqualLotsAfterGapSort(n, before, equal, odd, members);
        }
        for (const TieMember& m : members)
            group.kept.push_back({m.place, m.id});
    }

    // Commit: the ranks before, the new keys, counts and places, the ranks after.
    std::vector<int> touched;
    for (const auto& [key, group] : m_groups)
        for (const auto& entry : group.kept)
            touched.push_back(entry.second);
    for (const Block& block : blocks)
        touched.insert(touched.end(), block.ids.begin(), block.ids.end());
    std::sort(touched.begin(), touched.end());
    touched.erase(std::unique(touched.begin(), touched.end()), touched.end());
    std::vector<std::pair<int, ListRank>> before;
    before.reserve(touched.size() + std::size_t(n - sorted));
    for (const int id : touched)
        before.push_back({id, Rank(id)});
    for (std::int64_t id = sorted; id < n; ++id)
        before.push_back({int(id), Rank(int(id))});

    for (const Block& block : blocks) {
        m_counts->add(block.from, -block.size);
        m_counts->add(block.to, block.size);
        for (const int id : block.ids)
            m_sortedKey[std::size_t(id)] = block.to;
    }
    for (std::int64_t j = 0; j < n - sorted; ++j) {
        m_counts->add(tailKey[std::size_t(j)], 1);
        m_sortedKey[std::size_t(sorted + j)] = tailKey[std::size_t(j)];
    }
    for (const auto& [key, group] : m_groups)
        for (const auto& entry : group.kept)
            m_place[std::size_t(entry.second)] = -1;
    m_groups.swap(placed);
    for (const auto& [key, group] : m_groups)
        for (const auto& [place, id] : group.kept)
            m_place[std::size_t(id)] = std::int32_t(place);
    m_sortedCount = int(n);
    m_lastMode = mode;
    m_changed.clear();

    for (const auto& [id, rank] : before)
        if (!(Rank(id) == rank))
            moved.push_back({id, rank});
    // Lots newly kept in groups that did not move are among the added ones
    // or were kept before; nothing else changed its rank.
    return true;
}

}  // namespace brisden
