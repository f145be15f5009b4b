#pragma once
// Where the gap sort of the lot list leaves lots with equal keys.
//
// One pass of the gap sort with gap g exchanges lots g positions apart until
// none is out of order, and it never exchanges equal lots: for every chain of
// positions r, r + g, r + 2g, ... it has the effect of a stable sort of that
// chain. So the whole sort is, gap by gap, a stable sort of each chain, and
// for the lots of one key only three things matter at each position: whether
// it holds a lot that belongs before that key, one of that key, or one that
// belongs after it.
//
// For a list that was sorted and has lots added at its end, the word of
// before/equal/after labels differs from its sorted form at a few positions
// only, and stays so gap after gap; the simulation follows those positions
// and the positions of the equal lots.

#include <cstdint>
#include <vector>

namespace brisden {

enum class TieLabel : char { Before, Equal, After };

struct TieMember {
    std::int64_t place = 0;  // 0 = the first lot of the group in list order
    int id = 0;
};

// The list holds `listSize` lots: first `before` lots that belong before the
// group, then the group's `groupSize` lots, then lots that belong after it up
// to the added lots, then the added lots with their labels. Only some lots of
// the group are followed (`members`, with their places in the group, and the
// added lots of the group whose entry in `addedIds` is not -1, one entry per
// Equal label in order); the others are alike. Returns the followed lots
// with their places in the group after the gap sort.
std::vector<TieMember> TieGroupAfterGapSort(std::int64_t listSize, std::int64_t before,
                                            std::int64_t groupSize,
                                            const std::vector<TieMember>& members,
                                            const std::vector<TieLabel>& addedLabels,
                                            const std::vector<int>& addedIds);

}  // namespace brisden
