#include "basis/TieGroupSort.h"

#include <algorithm>
#include <cstdint>

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
    bool shared;  // another odd letter is in its chain
};

// One chain holding odd letters, in one pass: its letters in the sorted
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

// Division by the gap of one pass, by multiplication (positions below 2^51).
struct Divider {
    explicit Divider(Pos divisor) : d(divisor), inverse(1.0 / double(divisor)) {}
    Pos quotient(Pos x) const
    {
        const Pos q = Pos(double(x) * inverse);
        const Pos rest = x - q * d;
        return rest < 0 ? q - 1 : (rest >= d ? q + 1 : q);
    }
    Pos remainder(Pos x) const { return x - quotient(x) * d; }
    // Positions r, r + d, r + 2d, ... below x.
    Pos countBelow(Pos r, Pos x) const { return x > r ? quotient(x - r - 1) + 1 : 0; }
    Pos d;
    double inverse;
};

// Puts the letters that share their chain with another last, grouped by
// chain (in position order within a chain), and returns how many are alone
// in theirs. Letters are few and mostly alone in their chain.
std::size_t GroupSharedChains(std::vector<Letter>& letters, std::vector<Letter>& shared)
{
    if (letters.size() > 24) {
        std::sort(letters.begin(), letters.end(), [](const Letter& a, const Letter& b) {
            return a.chain < b.chain || (a.chain == b.chain && a.position < b.position);
        });
        for (std::size_t i = 0; i < letters.size(); ++i)
            letters[i].shared =
                (i > 0 && letters[i - 1].chain == letters[i].chain) ||
                (i + 1 < letters.size() && letters[i + 1].chain == letters[i].chain);
    } else {
        for (Letter& l : letters)
            l.shared = false;
        for (std::size_t i = 0; i < letters.size(); ++i)
            for (std::size_t j = i + 1; j < letters.size(); ++j)
                if (letters[i].chain == letters[j].chain)
                    letters[i].shared = letters[j].shared = true;
    }
    shared.clear();
    std::size_t lone = 0;
    for (const Letter& l : letters) {
        if (l.shared)
            shared.push_back(l);
        else
            letters[lone++] = l;
    }
    // An insertion sort by chain keeps each chain in position order.
    for (std::size_t i = 1; i < shared.size(); ++i) {
        const Letter x = shared[i];
        std::size_t j = i;
        for (; j > 0 && x.chain < shared[j - 1].chain; --j)
            shared[j] = shared[j - 1];
        shared[j] = x;
    }
    std::copy(shared.begin(), shared.end(), letters.begin() + std::ptrdiff_t(lone));
    return lone;
}

struct Scratch {
    std::vector<Letter> letters;
    std::vector<Letter> next;
    std::vector<Letter> shared;
    std::vector<Chain> chains;
};

}  // namespace

namespace {

// The simulation for any number of letters.
void SimulateWithVectors(Pos n, Pos beta, Pos equal, const std::vector<TieLetter>& odd,
                         std::vector<TieMember>& members)
{
    const Pos before = beta;
    const Pos firstAfter = before + equal;
    const auto sortedLabel = [beta, firstAfter](Pos p) {
        return p < beta ? kBefore : (p < firstAfter ? kEqual : kAfter);
    };
    // A letter is out of order with a neighbour that is not odd only in the
    // passes whose gap is below its reach.
    const auto reach = [beta, firstAfter](const Letter& l) -> Pos {
        if (l.label == kBefore)
            return l.position - beta + 1;  // a lot of the key or after it a gap before
        if (l.label == kAfter)
            return firstAfter - l.position;  // a lot of the key or before it a gap after
        return l.position < beta ? beta - l.position : l.position - firstAfter + 1;
    };

    thread_local Scratch scratch;
    std::vector<Letter>& letters = scratch.letters;
    std::vector<Letter>& next = scratch.next;
    std::vector<Chain>& chains = scratch.chains;
    letters.clear();
    for (const TieLetter& o : odd)
        letters.push_back({o.position, 0, char(o.label), false});

    Pos maxReach = 0;
    Pos lowest = n;
    Pos highest = 0;
    for (const Letter& l : letters) {
        maxReach = std::max(maxReach, reach(l));
        lowest = std::min(lowest, l.position);
        highest = std::max(highest, l.position);
    }
    for (Pos gap = (n + 1) / 2; gap > 0 && !letters.empty(); gap /= 2) {
        // A pass changes only chains with a letter out of order with the
        // lots a gap before and after it; with no two odd letters a gap
        // apart, none is beyond its reach.
        if (gap >= maxReach && gap > highest - lowest)
            continue;

        const Divider div(gap);
        for (Letter& l : letters)
            l.chain = div.remainder(l.position);
        const std::size_t lone = GroupSharedChains(letters, scratch.shared);

        // The chains with odd letters: what a stable sort makes of each.
        chains.clear();
        next.clear();
        for (std::size_t i = 0; i < letters.size();) {
            const Pos r = letters[i].chain;
            if (i < lone) {
                // The only odd letter of its chain, in order with the lots a
                // gap before and after it: the chain is sorted already.
                const Letter& l = letters[i];
                const char left = l.position >= gap ? sortedLabel(l.position - gap) : kBefore;
                const char right = l.position + gap < n ? sortedLabel(l.position + gap) : kAfter;
                if (left <= l.label && l.label <= right) {
                    next.push_back(l);
                    ++i;
                    continue;
                }
            }
            Chain c{r, div.countBelow(r, beta), div.countBelow(r, firstAfter), 0, 0, i, i + 1};
            if (i >= lone)
                while (c.last < letters.size() && letters[c.last].chain == r)
                    ++c.last;
            c.before = c.sortedBefore;
            c.equal = c.sortedNotAfter - c.sortedBefore;
            for (std::size_t j = i; j < c.last; ++j) {
                const Letter& l = letters[j];
                const char expected = sortedLabel(l.position);
                c.before += (l.label == kBefore) - (expected == kBefore);
                c.equal += (l.label == kEqual) - (expected == kEqual);
            }
            i = c.last;
            chains.push_back(c);
            // The sorted chain differs from the sorted form only between its
            // boundaries and those of the sorted form.
            const Pos a0 = std::min(c.before, c.sortedBefore);
            const Pos a1 = std::max(c.before, c.sortedBefore);
            const Pos b0 = std::min(c.before + c.equal, c.sortedNotAfter);
            const Pos b1 = std::max(c.before + c.equal, c.sortedNotAfter);
            const Pos firstEqual = c.before;
            const Pos firstAfterHere = c.before + c.equal;
            for (Pos j = a0; j < std::max(a1, b0 < a1 ? b1 : a1); ++j) {
                const Pos p = r + j * gap;
                const char label =
                    j < firstEqual ? kBefore : (j < firstAfterHere ? kEqual : kAfter);
                if (label != sortedLabel(p))
                    next.push_back({p, 0, label, false});
            }
            if (b0 >= a1) {
                for (Pos j = b0; j < b1; ++j) {
                    const Pos p = r + j * gap;
                    const char label =
                        j < firstEqual ? kBefore : (j < firstAfterHere ? kEqual : kAfter);
                    if (label != sortedLabel(p))
                        next.push_back({p, 0, label, false});
                }
            }
        }

        // A member keeps its rank among the Equal letters of its chain.
        for (TieMember& m : members) {
            const Pos r = div.remainder(m.place);
            const Chain* chain = nullptr;
            for (const Chain& c : chains)
                if (c.r == r)
                    chain = &c;
            if (!chain)
                continue;  // a chain that the pass leaves as it is
            Pos rank =
                div.countBelow(r, std::clamp(m.place, beta, firstAfter)) - chain->sortedBefore;
            for (std::size_t i = chain->first; i < chain->last; ++i)
                if (letters[i].position < m.place)
                    rank +=
                        (letters[i].label == kEqual) - (sortedLabel(letters[i].position) == kEqual);
            m.place = r + (chain->before + rank) * gap;
        }

        letters.swap(next);
        maxReach = 0;
        lowest = n;
        highest = 0;
        for (const Letter& l : letters) {
            maxReach = std::max(maxReach, reach(l));
            lowest = std::min(lowest, l.position);
            highest = std::max(highest, l.position);
        }
    }
}

// The same for a few letters (the usual case), on arrays; false (members
// untouched) when the letters outgrow them.
constexpr int kFew = 48;

bool SimulateFew(Pos n, Pos beta, Pos equal, const std::vector<TieLetter>& odd,
                 std::vector<TieMember>& members)
{
    const Pos firstAfter = beta + equal;
    const auto sortedLabel = [beta, firstAfter](Pos p) {
        return p < beta ? kBefore : (p < firstAfter ? kEqual : kAfter);
    };
    struct Letters {
        Pos position[kFew];
        char label[kFew];
        int count = 0;
    };
    Letters a;
    Letters b;
    Letters* letters = &a;
    Letters* next = &b;
    if (odd.size() > std::size_t(kFew))
        return false;
    for (const TieLetter& o : odd) {
        letters->position[letters->count] = o.position;
        letters->label[letters->count++] = char(o.label);
    }
    thread_local std::vector<Pos> places;
    places.clear();
    for (const TieMember& m : members)
        places.push_back(m.place);

    Pos chain[kFew];
    int chainLetters[kFew];  // letter indices of the chains that change, chain by chain
    struct Changed {
        Pos r;
        Pos sortedBefore;
        Pos before;
        Pos equal;
        int first;  // chainLetters[first, last)
        int last;
    };
    Changed changed[kFew];

    // A pass changes only chains with a letter out of order with the lots a
    // gap before and after it; with no two odd letters a gap apart, none is
    // beyond its reach (the largest gap at which a lot of the other side of a
    // boundary is a gap away).
    Pos maxReach = 0;
    Pos lowest = 0;
    Pos highest = 0;
    const auto measure = [&] {
        maxReach = 0;
        lowest = n;
        highest = 0;
        for (int i = 0; i < letters->count; ++i) {
            const Pos p = letters->position[i];
            const char l = letters->label[i];
            const Pos reach = l == kBefore  ? p - beta + 1
                              : l == kAfter ? firstAfter - p
                                            : (p < beta ? beta - p : p - firstAfter + 1);
            maxReach = std::max(maxReach, reach);
            lowest = std::min(lowest, p);
            highest = std::max(highest, p);
        }
    };
    measure();
    for (Pos gap = (n + 1) / 2; gap > 0 && letters->count > 0; gap /= 2) {
        if (gap >= maxReach && gap > highest - lowest)
            continue;

        const Divider div(gap);
        const int m = letters->count;
        for (int i = 0; i < m; ++i)
            chain[i] = div.remainder(letters->position[i]);
        std::uint64_t shared = 0;
        for (int i = 0; i < m; ++i)
            for (int j = i + 1; j < m; ++j)
                if (chain[i] == chain[j])
                    shared |= (std::uint64_t(1) << i) | (std::uint64_t(1) << j);

        next->count = 0;
        int changes = 0;
        int used = 0;
        std::uint64_t done = 0;
        for (int i = 0; i < m; ++i) {
            if (done & (std::uint64_t(1) << i))
                continue;
            const Pos p = letters->position[i];
            const char label = letters->label[i];
            if (!(shared & (std::uint64_t(1) << i))) {
                // Alone in its chain and in order with the lots a gap before
                // and after it: the chain is sorted already.
                const char left = p >= gap ? sortedLabel(p - gap) : kBefore;
                const char right = p + gap < n ? sortedLabel(p + gap) : kAfter;
                if (left <= label && label <= right) {
                    if (next->count == kFew)
                        return false;
                    next->position[next->count] = p;
                    next->label[next->count++] = label;
                    continue;
                }
            }
            // What a stable sort makes of the chain.
            const Pos r = chain[i];
            Changed c{r, div.countBelow(r, beta), 0, 0, used, used};
            const Pos sortedNotAfter = div.countBelow(r, firstAfter);
            c.before = c.sortedBefore;
            c.equal = sortedNotAfter - c.sortedBefore;
            for (int j = i; j < m; ++j) {
                if (chain[j] != r)
                    continue;
                done |= std::uint64_t(1) << j;
                chainLetters[used++] = j;
                const char expected = sortedLabel(letters->position[j]);
                c.before += (letters->label[j] == kBefore) - (expected == kBefore);
                c.equal += (letters->label[j] == kEqual) - (expected == kEqual);
            }
            c.last = used;
            changed[changes++] = c;
            // The sorted chain differs from the sorted form only between its
            // boundaries and those of the sorted form.
            const Pos endEqual = c.before + c.equal;
            const Pos a0 = std::min(c.before, c.sortedBefore);
            const Pos a1 = std::max(c.before, c.sortedBefore);
            const Pos b0 = std::min(endEqual, sortedNotAfter);
            const Pos b1 = std::max(endEqual, sortedNotAfter);
            const auto emit = [&](Pos from, Pos to) {
                for (Pos j = from; j < to; ++j) {
                    const Pos q = r + j * gap;
                    const char l = j < c.before ? kBefore : (j < endEqual ? kEqual : kAfter);
                    if (l == sortedLabel(q))
                        continue;
                    if (next->count == kFew)
                        return false;
                    next->position[next->count] = q;
                    next->label[next->count++] = l;
                }
                return true;
            };
            const bool room = b0 < a1 ? emit(a0, std::max(a1, b1)) : emit(a0, a1) && emit(b0, b1);
            if (!room)
                return false;
        }

        // A member keeps its rank among the Equal letters of its chain.
        for (Pos& place : places) {
            const Pos r = div.remainder(place);
            const Changed* c = nullptr;
            for (int k = 0; k < changes; ++k)
                if (changed[k].r == r)
                    c = &changed[k];
            if (!c)
                continue;  // a chain that the pass leaves as it is
            Pos rank = div.countBelow(r, std::clamp(place, beta, firstAfter)) - c->sortedBefore;
            for (int k = c->first; k < c->last; ++k) {
                const int j = chainLetters[k];
                if (letters->position[j] < place)
                    rank += (letters->label[j] == kEqual) -
                            (sortedLabel(letters->position[j]) == kEqual);
            }
            place = r + (c->before + rank) * gap;
        }
        std::swap(letters, next);
        measure();
    }

    for (std::size_t i = 0; i < members.size(); ++i)
        members[i].place = places[i];
    return true;
}

}  // namespace

void EqualLotsAfterGapSort(std::int64_t listSize, std::int64_t before, std::int64_t equal,
                           const std::vector<TieLetter>& odd, std::vector<TieMember>& members)
{
    if (!SimulateFew(listSize, before, equal, odd, members))
        SimulateWithVectors(listSize, before, equal, odd, members);
    for (TieMember& m : members)
        m.place -= before;
    std::sort(members.begin(), members.end(),
              [](const TieMember& a, const TieMember& b) { return a.place < b.place; });
}

}  // namespace brisden
