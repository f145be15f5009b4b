#include "basis/TieGroupSort.h"

#include <algorithm>

namespace brisden {

namespace {

using Pos = std::int64_t;
constexpr char kBefore = 0;
constexpr char kEqual = 1;
constexpr char kAfter = 2;

struct Letter {
    Pos position;
    Pos chain;
    char label;
};

// One chain holding odd positions, in one pass: its letters in the sorted
// form and after the stable sort of the chain.
struct Chain {
    Pos r;
    Pos sortedBefore;    // Before letters of the sorted form in this chain
    Pos sortedNotAfter;  // Before and Equal letters of the sorted form
    Pos before;          // Before letters the chain holds
    Pos equal;           // Equal letters the chain holds
    std::size_t first;   // its odd letters: letters[first, last)
    std::size_t last;
};

// Positions r, r + g, r + 2g, ... below x.
inline Pos CountBelow(Pos r, Pos g, Pos x)
{
    return x > r ? (x - r - 1) / g + 1 : 0;
}

struct Scratch {
    std::vector<Letter> letters;
    std::vector<Letter> next;
    std::vector<Chain> chains;
};

}  // namespace

std::vector<TieMember> EqualLotsAfterGapSort(std::int64_t listSize, std::int64_t before,
                                             std::int64_t equal, std::vector<TieLetter> odd,
                                             std::vector<TieMember> members)
{
    const Pos n = listSize;
    const Pos beta = before;
    const Pos tau = equal;
    const auto sortedLabel = [beta, tau](Pos p) {
        return p < beta ? kBefore : (p < beta + tau ? kEqual : kAfter);
    };

    thread_local Scratch scratch;
    std::vector<Letter>& letters = scratch.letters;
    std::vector<Letter>& next = scratch.next;
    std::vector<Chain>& chains = scratch.chains;
    letters.clear();
    for (const TieLetter& o : odd)
        letters.push_back({o.position, 0, char(o.label)});

    for (Pos gap = (n + 1) / 2; gap > 0 && !letters.empty(); gap /= 2) {
        for (Letter& l : letters)
            l.chain = l.position % gap;
        std::sort(letters.begin(), letters.end(), [](const Letter& a, const Letter& b) {
            return a.chain < b.chain || (a.chain == b.chain && a.position < b.position);
        });

        // The chains with odd letters: what a stable sort makes of each.
        chains.clear();
        for (std::size_t i = 0; i < letters.size();) {
            const Pos r = letters[i].chain;
            Chain c{r, CountBelow(r, gap, beta), CountBelow(r, gap, beta + tau), 0, 0, i, i};
            c.before = c.sortedBefore;
            c.equal = c.sortedNotAfter - c.sortedBefore;
            for (; c.last < letters.size() && letters[c.last].chain == r; ++c.last) {
                const Letter& l = letters[c.last];
                const char expected = sortedLabel(l.position);
                c.before += (l.label == kBefore) - (expected == kBefore);
                c.equal += (l.label == kEqual) - (expected == kEqual);
            }
            i = c.last;
            chains.push_back(c);
        }

        // A member keeps its rank among the Equal letters of its chain.
        for (TieMember& m : members) {
            const Pos r = m.place % gap;
            const auto it = std::lower_bound(chains.begin(), chains.end(), r,
                                             [](const Chain& c, Pos x) { return c.r < x; });
            if (it == chains.end() || it->r != r)
                continue;  // a chain in its sorted form: nothing moves
            Pos rank = CountBelow(r, gap, std::clamp(m.place, beta, beta + tau)) - it->sortedBefore;
            for (std::size_t i = it->first; i < it->last && letters[i].position < m.place; ++i)
                rank += (letters[i].label == kEqual) - (sortedLabel(letters[i].position) == kEqual);
            m.place = r + (it->before + rank) * gap;
        }

        // The sorted chain differs from the sorted form only between its
        // boundaries and those of the sorted form.
        next.clear();
        for (const Chain& c : chains) {
            const auto emit = [&](Pos from, Pos to) {
                for (Pos j = from; j < to; ++j) {
                    const Pos p = c.r + j * gap;
                    const char label =
                        j < c.before ? kBefore : (j < c.before + c.equal ? kEqual : kAfter);
                    if (label != sortedLabel(p))
                        next.push_back({p, 0, label});
                }
            };
            const Pos a0 = std::min(c.before, c.sortedBefore);
            const Pos a1 = std::max(c.before, c.sortedBefore);
            const Pos b0 = std::min(c.before + c.equal, c.sortedNotAfter);
            const Pos b1 = std::max(c.before + c.equal, c.sortedNotAfter);
            if (b0 < a1) {
                emit(a0, std::max(a1, b1));
            } else {
                emit(a0, a1);
                emit(b0, b1);
            }
        }
        letters.swap(next);
    }

    for (TieMember& m : members)
        m.place -= beta;
    std::sort(members.begin(), members.end(),
              [](const TieMember& a, const TieMember& b) { return a.place < b.place; });
    return members;
}

}  // namespace brisden
