#pragma once
// The program's own sort of its 1-based lists: the gap starts at n + 1 and is
// halved until it is below 1; for each gap, passes over i = 1 .. n - gap
// exchange items i and i + gap when item i sorts after item i + gap, until a
// pass exchanges nothing. Equal items are never exchanged, so the order in
// which equal items end up is part of what this sort does.

#include <cstdint>

namespace brisden {

// sortsAfter(i, j): item i belongs after item j; exchange(i, j) swaps them.
template <typename SortsAfter, typename Exchange>
void GapSort(std::int64_t n, SortsAfter sortsAfter, Exchange exchange)
{
    std::int64_t gap = n + 1;
    for (;;) {
        gap /= 2;
        if (gap < 1)
            break;
        bool exchanged;
        do {
            exchanged = false;
            for (std::int64_t i = 1; i <= n - gap; ++i) {
                if (sortsAfter(i, i + gap)) {
                    exchange(i, i + gap);
                    exchanged = true;
                }
            }
        } while (exchanged);
    }
}

}  // namespace brisden
