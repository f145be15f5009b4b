#pragma once
// The list order of the methods that sort the lot list before every sale
// ("Cost, Dynamic" and "Average, Double Category, Dynamic").
//
// The list is kept as "the order of the last sort, then the lots added
// since". After a sort the lots stand in the order of their keys; the gap
// sort decides only the order of lots with equal keys, and that order is kept
// only where it can still matter: for groups of equal keys that hold a lot
// the worksheet will still sell, print or pool (the policy below says which).
// The other lots of such a group, and every lot of the other groups, are
// alike for the worksheet and need no place of their own; they still count
// where they stand, because every lot fills a position of the gap sort.
//
// A sort where the list is the last sorted order with a few lots added, or
// with a few whole groups given one new key, is recorded; a followed group
// is brought through the recorded sorts (TieGroupSort.h: where one sort
// leaves the lots of one key) only when its order is asked for, so that a
// group whose lots are sold in the meantime costs nothing more. Any other
// list (the first sort after prices were restated, a change of sort order,
// keys that do not compare) is laid out and gap-sorted as written, and the
// result taken over in the same form.

#include "basis/BasisLot.h"
#include "basis/TieGroupSort.h"

#include <cstdint>
#include <map>
#include <memory>
#include <utility>
#include <vector>

namespace brisden {

// A sort key: keys compare by major, then minor. Lots with equal keys are
// never exchanged by the gap sort.
struct SortKey {
    double major = 0;
    std::int32_t minor = 0;
};

inline bool operator<(const SortKey& a, const SortKey& b)
{
    return a.major < b.major || (a.major == b.major && a.minor < b.minor);
}

inline bool operator==(const SortKey& a, const SortKey& b)
{
    return a.major == b.major && a.minor == b.minor;
}

// The key of a lot in a SortList mode: lots compare by it as LotSortsAfter
// compares them.
SortKey SortKeyOf(const BasisLot& lot, int mode);

// A lot's standing in the list; lots compare by it in list order.
struct ListRank {
    double major = 0;
    std::int32_t minor = 0;
    std::int32_t place = 0;
    std::int32_t id = 0;

    bool operator<(const ListRank& o) const
    {
        if (major != o.major)
            return major < o.major;
        if (minor != o.minor)
            return minor < o.minor;
        if (place != o.place)
            return place < o.place;
        return id < o.id;
    }
    bool operator==(const ListRank& o) const
    {
        return major == o.major && minor == o.minor && place == o.place && id == o.id;
    }
};

// What the worksheet still does with a lot, as the list order sees it.
class LotOrderPolicy {
public:
    virtual ~LotOrderPolicy() = default;
    // The order of the lot's group must be followed while it holds this lot.
    virtual bool anchors(int id) const = 0;
    // In a group that is followed, the lot's own place must be known.
    virtual bool keeps(int id) const = 0;
    // Lots may still be added with this key (and must then find their place
    // among the kept lots of the group).
    virtual bool open(const SortKey& key) const = 0;
};

class LotOrder {
public:
    LotOrder();
    ~LotOrder();
    LotOrder(LotOrder&&) noexcept;
    LotOrder& operator=(LotOrder&&) noexcept;

    void Reset();
    // A lot (the next id) was added at the end of the list.
    void Added();
    // The key of a lot may have changed since the last sort.
    void KeyMayHaveChanged(int id);
    // Every key may have changed (a split restated the prices).
    void KeysChanged();

    // Lots compare by rank in list order, except two lots of one group
    // whose places have not been settled since the last sort.
    ListRank Rank(int id) const;

    // The gap sort of the whole list in the given mode. Returns the lots
    // whose rank changed, each with its rank before the sort; `everything`
    // is set when every rank may have changed.
    std::vector<std::pair<int, ListRank>> Sort(const std::vector<BasisLot>& lots, int mode,
                                               const LotOrderPolicy& policy, bool& everything);

    // Brings the places of every group that holds two or more of `ids` up to
    // date, so that their ranks compare as the list orders them. Returns the
    // lots whose rank changed, each with its rank before.
    std::vector<std::pair<int, ListRank>> Settle(const std::vector<int>& ids);

    // For tests and the benchmark.
    int sorts() const { return m_sorts; }
    int literalSorts() const { return m_literalSorts; }
    std::int64_t followedGroups() const { return m_followedGroups; }

private:
    class KeyCounts;
    // A group followed: the places of its kept lots as of the first
    // `applied` steps, and where the group stood after them. The steps since
    // are replayed when the places are needed, and never if the group stops
    // being followed first.
    struct Group {
        std::vector<std::pair<std::int64_t, int>> kept;  // (place, id), by place
        std::size_t applied = 0;
        std::int64_t start = 0;  // lots before the group
        std::int64_t size = 0;   // lots of the group
    };
    // Sorted lots of one key that all took one new key at a sort.
    struct Block {
        SortKey from;
        SortKey to;
        std::int64_t start = 0;  // where the group stood
        std::int64_t size = 0;
    };
    // One sort computed group by group: the list had `count` lots, the first
    // `sorted` of them in the order of the previous sort; the blocks moved.
    struct Step {
        std::int64_t count = 0;
        std::int64_t sorted = 0;
        std::size_t firstBlock = 0;
        std::size_t lastBlock = 0;
    };

    bool sortByGroups(const std::vector<BasisLot>& lots, int mode, const LotOrderPolicy& policy,
                      std::vector<std::pair<int, ListRank>>& moved);
    void sortAsWritten(const std::vector<BasisLot>& lots, int mode, const LotOrderPolicy& policy);
    std::vector<int> layOut() const;
    // The places of `members` (positions before the step) after step s, for
    // the group of key v of which `staying` lots kept their key, the first
    // at `stayStart`; gives where the group stands after it.
    void throughStep(std::size_t s, const SortKey& v, std::int64_t staying, std::int64_t stayStart,
                     std::vector<TieMember>& members, std::int64_t& before, std::int64_t& equal);
    void catchUp(const SortKey& v, Group& group, std::vector<std::pair<int, ListRank>>* moved);

    int m_count = 0;        // lots in the list
    int m_sortedCount = 0;  // lots 0 .. m_sortedCount - 1 were sorted; the others follow by id
    int m_lastMode = 0;
    bool m_keysChanged = false;
    bool m_explicit = false;  // the sorted lots are ranked by their position, not their key
    std::vector<SortKey> m_sortedKey;  // by id: its key at the last sort (its position if explicit)
    std::vector<std::int32_t> m_place;    // by id: its place in its group when kept, else -1
    std::map<SortKey, Group> m_groups;    // the groups followed, by key
    std::unique_ptr<KeyCounts> m_counts;  // sorted lots per key
    std::vector<int> m_changed;           // lots whose key may have changed since the last sort
    // The sorts since the last one as written.
    std::vector<Step> m_steps;
    std::vector<Block> m_blocks;
    std::vector<SortKey> m_addedKey;  // by id: its key at the sort that placed it first

    int m_sorts = 0;
    int m_literalSorts = 0;
    std::int64_t m_followedGroups = 0;
};

}  // namespace brisden
