#include "basis/TieGroupSort.h"

#include <algorithm>
#include <cstdint>

namespace brisden {

namespace {

using Pos = std::int64_t;
constexpr char kBefore = 0;
constexpr char kEqual = 1;
constexpr char kAfter = 2;
// Up to this many letters a pass finds their chains without the hash table.
constexpr std::size_t SmallPass = 24;

__extension__ typedef unsigned __int128 Wide;

// Division by the gap of one pass, by multiplication. Positions and gaps
// below 2^32 take the exact multiply-high form (the quotient is the high
// word of x times the rounded-up 2^64 / d); larger ones, which no ledger
// reaches, a corrected floating-point quotient (exact below 2^51).
struct Divider {
    explicit Divider(Pos divisor)
        : d(divisor),
          inverse(1.0 / double(divisor)),
          magic(divisor > 1 && divisor < Small ? ~std::uint64_t(0) / std::uint64_t(divisor) + 1 : 0)
    {
    }
    Pos quotient(Pos x) const
    {
        if (magic != 0 && x >= 0 && x < Small)
            return Pos((Wide(magic) * std::uint64_t(x)) >> 64);
        if (d == 1)
            return x;
        const Pos q = Pos(double(x) * inverse);
        const Pos rest = x - q * d;
        return rest < 0 ? q - 1 : (rest >= d ? q + 1 : q);
    }
    Pos remainder(Pos x) const { return x - quotient(x) * d; }
    // Positions r, r + d, r + 2d, ... below x.
    Pos countBelow(Pos r, Pos x) const { return x > r ? quotient(x - r - 1) + 1 : 0; }
    static constexpr Pos Small = Pos(1) << 32;
    Pos d;
    double inverse;
    std::uint64_t magic;
};

// The odd letters, in buffers that grow to what a pass can make of them.
struct Letters {
    std::vector<Pos> position;
    std::vector<char> label;
    int size = 0;
    // Empty, with room for `room` letters.
    void reset(int room)
    {
        if (int(position.size()) < room) {
            position.resize(std::size_t(room));
            label.resize(std::size_t(room));
        }
        size = 0;
    }
    void add(Pos p, char l)
    {
        position[std::size_t(size)] = p;
        label[std::size_t(size++)] = l;
    }
    int count() const { return size; }
};

// A chain with several odd letters: its Before and Equal letters in the
// sorted form and after the stable sort of the chain.
struct Chain {
    Pos r;
    Pos sortedBefore;
    Pos before;
    Pos equal;
    int first;  // its letters: chainLetters[first, last)
    int last;
};

// A chain whose only odd letter is out of order.
struct Lone {
    Pos r;
    Pos p;   // the letter's position
    Pos s0;  // the chain's first position at or after the first lot of the key
    Pos s1;  // its first position at or after the first lot after the key
    char label;
    char was;  // the letter of the sorted form at p
};

// A small hash table of the chains of one pass.
struct Slot {
    Pos chain = 0;
    int last = 0;  // the last letter of the chain so far
    unsigned stamp = 0;
};

// Working lists, kept between calls.
struct Scratch {
    Letters a;
    Letters b;
    std::vector<Pos> places;
    std::vector<Pos> chain;    // by letter
    std::vector<int> inChain;  // by letter: the next letter of its chain, -1 for none
    std::vector<char> head;    // by letter: the first letter of its chain
    std::vector<int> chainLetters;
    std::vector<Chain> chains;
    std::vector<Lone> lones;
    std::vector<Slot> slots;
    unsigned stamp = 0;
};

}  // namespace

void EqualLotsAfterGapSort(std::int64_t listSize, std::int64_t before, std::int64_t equal,
                           const std::vector<TieLetter>& odd, std::vector<TieMember>& members)
{
    const Pos n = listSize;
    const Pos beta = before;
    const Pos firstAfter = before + equal;
    const auto sortedLabel = [beta, firstAfter](Pos p) {
        return p < beta ? kBefore : (p < firstAfter ? kEqual : kAfter);
    };

    thread_local Scratch w;
    Letters* letters = &w.a;
    Letters* next = &w.b;
    letters->reset(int(odd.size()));
    for (const TieLetter& o : odd)
        letters->add(o.position, char(o.label));
    w.places.clear();
    for (const TieMember& m : members)
        w.places.push_back(m.place);

    // A pass changes only chains with a letter out of order with the lots a
    // gap before and after it. A letter whose neighbours are not odd is out
    // of order only in the passes whose gap is below its reach (the largest
    // gap at which a lot of the other side of a boundary is a gap away); with
    // no two letters a gap apart, a pass with a larger gap changes nothing.
    Pos maxReach = 0;
    Pos lowest = n;
    Pos highest = 0;
    const auto reachOf = [beta, firstAfter](Pos p, char l) {
        return l == kBefore  ? p - beta + 1
               : l == kAfter ? firstAfter - p
                             : (p < beta ? beta - p : p - firstAfter + 1);
    };
    for (int i = 0; i < letters->count(); ++i) {
        const Pos p = letters->position[std::size_t(i)];
        maxReach = std::max(maxReach, reachOf(p, letters->label[std::size_t(i)]));
        lowest = std::min(lowest, p);
        highest = std::max(highest, p);
    }

    for (Pos gap = (n + 1) / 2; gap > 0 && letters->count() > 0; gap /= 2) {
        if (gap >= maxReach && gap > highest - lowest)
            continue;
        const Divider div(gap);
        const int m = letters->count();
        const std::size_t size = std::size_t(m);

        // The letters of each chain, linked through a hash table of chains.
        w.chain.resize(size);
        w.inChain.resize(size);
        w.head.resize(size);
        const Pos* position = letters->position.data();
        const char* labels = letters->label.data();
        Pos* chainOf = w.chain.data();
        int* inChain = w.inChain.data();
        char* head = w.head.data();
        const auto link = [&](std::size_t i, Pos r, int* last, bool known) {
            chainOf[i] = r;
            inChain[i] = -1;
            if (!known) {
                head[i] = 1;
            } else {
                inChain[*last] = int(i);
                head[i] = 0;
            }
            *last = int(i);
        };
        if (size <= SmallPass) {
            // A few letters: their chains are found by comparing them.
            Pos chainR[SmallPass];
            int chainLast[SmallPass];
            std::size_t chainCount = 0;
            for (std::size_t i = 0; i < size; ++i) {
                const Pos r = div.remainder(position[i]);
                std::size_t k = 0;
                while (k < chainCount && chainR[k] != r)
                    ++k;
                const bool known = k < chainCount;
                if (!known) {
                    chainR[k] = r;
                    ++chainCount;
                }
                link(i, r, &chainLast[k], known);
            }
        } else {
            std::size_t slotCount = 64;
            while (slotCount < 2 * size)
                slotCount *= 2;
            if (w.slots.size() < slotCount) {
                w.slots.assign(slotCount, Slot{});
                w.stamp = 0;
            }
            if (++w.stamp == 0) {
                std::fill(w.slots.begin(), w.slots.end(), Slot{});
                w.stamp = 1;
            }
            const std::size_t mask = slotCount - 1;
            Slot* slots = w.slots.data();
            const unsigned stamp = w.stamp;
            for (std::size_t i = 0; i < size; ++i) {
                const Pos r = div.remainder(position[i]);
                std::size_t h = std::size_t((std::uint64_t(r) * 0x9E3779B97F4A7C15u) >> 40) & mask;
                while (slots[h].stamp == stamp && slots[h].chain != r)
                    h = (h + 1) & mask;
                Slot& slot = slots[h];
                const bool known = slot.stamp == stamp;
                if (!known)
                    slot = {r, 0, stamp};
                link(i, r, &slot.last, known);
            }
        }

        next->reset(2 * m);  // a chain of k letters makes at most 2k
        Pos* nextPosition = next->position.data();
        char* nextLabel = next->label.data();
        int nextCount = 0;
        // The reach and span of the new letters, for the passes that follow.
        Pos nextReach = 0;
        Pos nextLowest = n;
        Pos nextHighest = 0;
        const auto add = [&](Pos q, char l) {
            nextPosition[nextCount] = q;
            nextLabel[nextCount++] = l;
            nextReach = std::max(nextReach, reachOf(q, l));
            nextLowest = std::min(nextLowest, q);
            nextHighest = std::max(nextHighest, q);
        };
        w.lones.clear();
        w.chains.clear();
        w.chainLetters.clear();
        for (std::size_t i = 0; i < size; ++i) {
            if (!head[i])
                continue;
            const Pos p = position[i];
            const char label = labels[i];
            const Pos r = chainOf[i];
            if (inChain[i] < 0) {
                // Alone in its chain and in order with the lots a gap before
                // and after it: the chain is sorted already.
                const char left = p >= gap ? sortedLabel(p - gap) : kBefore;
                const char right = p + gap < n ? sortedLabel(p + gap) : kAfter;
                if (left <= label && label <= right) {
                    add(p, label);
                    continue;
                }
                // Alone and out of order: the chain's boundaries s0 and s1
                // shift by the one letter, which gives the chain's new odd
                // letters directly.
                const Lone move{r,
                                p,
                                r + div.countBelow(r, beta) * gap,
                                r + div.countBelow(r, firstAfter) * gap,
                                label,
                                sortedLabel(p)};
                w.lones.push_back(move);
                if (label == kBefore) {
                    add(move.s0, kBefore);
                    if (move.was == kAfter && move.s1 > move.s0)
                        add(move.s1, kEqual);
                } else if (move.was == kBefore) {
                    if (label == kEqual) {
                        add(move.s0 - gap, kEqual);
                    } else if (move.s1 > move.s0) {
                        add(move.s0 - gap, kEqual);
                        add(move.s1 - gap, kAfter);
                    } else {
                        add(move.s0 - gap, kAfter);
                    }
                } else if (move.was == kEqual) {  // an After letter
                    add(move.s1 - gap, kAfter);
                } else {  // an Equal letter where After lots belong
                    add(move.s1, kEqual);
                }
                continue;
            }

            // Several letters: count what the chain holds; the stable sort
            // leaves its Before letters first, then its Equal ones in order.
            Chain c{r, div.countBelow(r, beta), 0, 0, int(w.chainLetters.size()), 0};
            const Pos sortedNotAfter = div.countBelow(r, firstAfter);
            c.before = c.sortedBefore;
            c.equal = sortedNotAfter - c.sortedBefore;
            for (int j = int(i); j >= 0; j = inChain[j]) {
                w.chainLetters.push_back(j);
                const char expected = sortedLabel(position[j]);
                const char held = labels[j];
                c.before += (held == kBefore) - (expected == kBefore);
                c.equal += (held == kEqual) - (expected == kEqual);
            }
            c.last = int(w.chainLetters.size());
            w.chains.push_back(c);
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
                    if (l != sortedLabel(q))
                        add(q, l);
                }
            };
            if (b0 < a1) {
                emit(a0, std::max(a1, b1));
            } else {
                emit(a0, a1);
                emit(b0, b1);
            }
        }

        // The members: a lot of the key keeps its rank among the Equal
        // letters of its chain.
        for (Pos& place : w.places) {
            const Pos r = div.remainder(place);
            const Lone* move = nullptr;
            for (const Lone& l : w.lones)
                if (l.r == r)
                    move = &l;
            if (move) {
                // The lots of the key between the letter and the boundary it
                // crosses move one step; the letter itself, when it is a lot
                // of the key, goes to that boundary.
                if (move->label == kBefore) {
                    if (place < move->p)
                        place += gap;
                } else if (move->was == kBefore) {
                    if (move->label == kAfter)
                        place -= gap;
                    else if (place == move->p)
                        place = move->s0 - gap;
                } else if (move->was == kEqual) {
                    if (place > move->p)
                        place -= gap;
                } else if (place == move->p) {
                    place = move->s1;
                }
                continue;
            }
            const Chain* c = nullptr;
            for (const Chain& k : w.chains)
                if (k.r == r)
                    c = &k;
            if (!c)
                continue;  // a chain that the pass leaves as it is
            Pos rank = div.countBelow(r, std::clamp(place, beta, firstAfter)) - c->sortedBefore;
            for (int k = c->first; k < c->last; ++k) {
                const std::size_t j = std::size_t(w.chainLetters[std::size_t(k)]);
                if (position[j] < place)
                    rank += (labels[j] == kEqual) - (sortedLabel(position[j]) == kEqual);
            }
            place = r + (c->before + rank) * gap;
        }
        next->size = nextCount;
        std::swap(letters, next);
        maxReach = nextReach;
        lowest = nextLowest;
        highest = nextHighest;
    }

    for (std::size_t i = 0; i < members.size(); ++i)
        members[i].place = w.places[i] - beta;
    std::sort(members.begin(), members.end(),
              [](const TieMember& a, const TieMember& b) { return a.place < b.place; });
}

}  // namespace brisden
