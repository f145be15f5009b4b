#pragma once
// Where the gap sort of the lot list leaves the lots of one key.
//
// One pass of the gap sort with gap g exchanges lots g positions apart until
// none is out of order, and it never exchanges equal lots: for every chain of
// positions r, r + g, r + 2g, ... it has the effect of a stable sort of that
// chain. So the whole sort is, gap by gap, a stable sort of each chain, and
// for the lots of one key only three things matter at each position: whether
// it holds a lot that belongs before that key, one of that key, or one that
// belongs after it. The list is then a word of three letters whose sorted form
// is `before` letters Before, `equal` letters Equal and the rest After.
//
// A list that was sorted and then had a few lots added at its end, or a few
// groups of lots given a new key, differs from that sorted form at a few
// positions only: around the lots that moved and where the boundaries of the
// key shifted. A stable sort of one chain changes the chain only if it holds
// such a position, and then only moves the chain's two boundaries by the
// letters it had in excess, so the word stays close to its sorted form pass
// after pass. The simulation follows those positions and the equal lots asked
// for, and never visits the rest of the list.

#include <cstdint>
#include <vector>

namespace brisden {

enum class TieLabel : char { Before, Equal, After };

// A position whose letter differs from the sorted form of the word.
struct TieLetter {
    std::int64_t position = 0;
    TieLabel label = TieLabel::Before;
};

struct TieMember {
    std::int64_t place = 0;  // see EqualLotsAfterGapSort
    int id = 0;
};

// The gap sort of a list of `listSize` lots (the passes of the sort as
// written for a list of that length), seen from one key: `before` lots
// belong before it, `equal` lots have it. `odd` lists every position (0 =
// the first lot) whose letter differs from the sorted form, each once;
// `members` are lots of the key with their positions as `place` (each at a
// position whose letter is Equal). On return the members hold their places
// among the lots of the key after the sort (0 = the first of them), ordered
// by place.
void EqualLotsAfterGapSort(std::int64_t listSize, std::int64_t before, std::int64_t equal,
                           const std::vector<TieLetter>& odd, std::vector<TieMember>& members);

}  // namespace brisden
