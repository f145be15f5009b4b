#include "basis/TieGroupSort.h"

#include <algorithm>
#include <utility>

namespace brisden {

namespace {

using Pos = std::int64_t;
constexpr char kBefore = 0;
constexpr char kEqual = 1;
constexpr char kAfter = 2;

// Division by the gap of one pass, by multiplication (positions < 2^52).
struct Divider {
    explicit Divider(Pos divisor) : d(divisor), inverse(1.0 / double(divisor)) {}
    Pos quotient(Pos p) const
    {
        Pos q = Pos(double(p) * inverse);
        while (q * d > p)
            --q;
        while ((q + 1) * d <= p)
            ++q;
        return q;
    }
    Pos remainder(Pos p) const { return p - quotient(p) * d; }
    // Positions r, r + d, ... below x.
    Pos countBelow(Pos r, Pos x) const { return x > r ? quotient(x - r - 1) + 1 : 0; }
    Pos d;
    double inverse;
};

struct Odd {
    Pos position;
    char label;
    Pos chain;
};

struct Followed {
    Pos position;
    int id;
    Pos chain;
};

// Working lists, kept between calls.
struct Scratch {
    std::vector<Followed> followed;
    std::vector<Odd> odd;
    std::vector<Odd> next;
    std::vector<Pos> unsorted;
};

Scratch& ThreadScratch()
{
    thread_local Scratch scratch;
    return scratch;
}

}  // namespace

std::vector<TieMember> TieGroupAfterGapSort(std::int64_t listSize, std::int64_t before,
                                            std::int64_t groupSize,
                                            const std::vector<TieMember>& members,
                                            const std::vector<TieLabel>& addedLabels,
                                            const std::vector<int>& addedIds)
{
    const Pos n = listSize;
    const Pos b = before;
    const Pos t = groupSize;
    const Pos k = Pos(addedLabels.size());
    Pos addedBefore = 0;
    Pos addedEqual = 0;
    for (const TieLabel label : addedLabels) {
        addedBefore += label == TieLabel::Before;
        addedEqual += label == TieLabel::Equal;
    }
    // The sorted word: Before up to beta, Equal up to beta + tau, After to the end.
    const Pos beta = b + addedBefore;
    const Pos tau = t + addedEqual;
    const auto sortedLabel = [&](Pos p) {
        return p < beta ? kBefore : (p < beta + tau ? kEqual : kAfter);
    };
    const auto startLabel = [&](Pos p) {
        if (p >= n - k)
            return char(addedLabels[std::size_t(p - (n - k))]);
        return p < b ? kBefore : (p < b + t ? kEqual : kAfter);
    };

    // The followed lots with their positions.
    Scratch& scratch = ThreadScratch();
    std::vector<Followed>& followed = scratch.followed;
    followed.clear();
    for (const TieMember& m : members)
        followed.push_back({b + m.place, m.id, 0});
    std::size_t nextAdded = 0;
    for (Pos j = 0; j < k; ++j) {
        if (addedLabels[std::size_t(j)] != TieLabel::Equal)
            continue;
        const int id = addedIds[nextAdded++];
        if (id >= 0)
            followed.push_back({n - k + j, id, 0});
    }

    // The positions whose label differs from the sorted word: only where the
    // group and the added lots were.
    std::vector<Odd>& odd = scratch.odd;
    odd.clear();
    const auto addOddAt = [&](Pos p, char label) {
        for (const Odd& o : odd)
            if (o.position == p)
                return;
        odd.push_back({p, label, 0});
    };
    const auto addStart = [&](Pos from, Pos to) {
        for (Pos p = std::max<Pos>(from, 0); p < std::min(to, n); ++p)
            if (startLabel(p) != sortedLabel(p))
                addOddAt(p, startLabel(p));
    };
    addStart(b, beta);
    addStart(b + t, beta + tau);
    addStart(n - k, n);

    std::vector<Odd>& next = scratch.next;
    std::vector<Pos>& unsorted = scratch.unsorted;
    const auto labelAt = [&](Pos p) {
        for (const Odd& o : odd)
            if (o.position == p)
                return o.label;
        return sortedLabel(p);
    };
    // Every odd position lies at b or later and everything before b belongs
    // before the group: a pass whose gap is wider than that span only
    // compares lots that are in order.
    Pos span = 0;
    for (const Odd& o : odd)
        span = std::max(span, o.position - b);
    Pos gap = (n + 1) / 2;
    while (gap > span)
        gap /= 2;
    for (; gap > 0 && !odd.empty(); gap /= 2) {
        // A chain is in order when every odd position in it is in order with
        // its neighbours in the chain (the sorted word is in order); such
        // chains are left as they are.
        const Divider div(gap);
        unsorted.clear();
        Pos lowest = odd.front().position;
        Pos highest = lowest;
        for (const Odd& o : odd) {
            lowest = std::min(lowest, o.position);
            highest = std::max(highest, o.position);
        }
        // Odd positions further apart than the gap are not each other's neighbours.
        const bool apart = highest - lowest < gap;
        for (Odd& o : odd) {
            o.chain = -1;
            const Pos below = o.position - gap;
            const Pos above = o.position + gap;
            const char left = below < 0 ? kBefore : (apart ? sortedLabel(below) : labelAt(below));
            const char right = above >= n ? kAfter : (apart ? sortedLabel(above) : labelAt(above));
            if (left <= o.label && o.label <= right)
                continue;
            const Pos r = div.remainder(o.position);
            if (std::find(unsorted.begin(), unsorted.end(), r) == unsorted.end())
                unsorted.push_back(r);
        }
        if (unsorted.empty())
            continue;
        for (Odd& o : odd)
            o.chain = div.remainder(o.position);
        for (Followed& f : followed)
            f.chain = -2;
        next.clear();
        for (const Odd& o : odd)
            if (std::find(unsorted.begin(), unsorted.end(), o.chain) == unsorted.end())
                next.push_back(o);
        for (const Pos r : unsorted) {
            const Pos sortedBefore = div.countBelow(r, beta);
            const Pos sortedNotAfter = div.countBelow(r, beta + tau);
            Pos countBefore = sortedBefore;
            Pos countEqual = sortedNotAfter - sortedBefore;
            for (const Odd& o : odd) {
                if (o.chain != r)
                    continue;
                const char expected = sortedLabel(o.position);
                countBefore += (o.label == kBefore) - (expected == kBefore);
                countEqual += (o.label == kEqual) - (expected == kEqual);
            }
            // The stable sort of the chain: Before, then Equal in chain order,
            // then After. A followed lot keeps its rank among the Equal ones.
            for (Followed& f : followed) {
                if (f.chain == -2)
                    f.chain = div.remainder(f.position);
                if (f.chain != r)
                    continue;
                Pos rank = div.countBelow(r, std::min(std::max(f.position, beta), beta + tau)) -
                           sortedBefore;
                for (const Odd& o : odd)
                    if (o.chain == r && o.position < f.position)
                        rank += (o.label == kEqual) - (sortedLabel(o.position) == kEqual);
                f.position = r + (countBefore + rank) * gap;
                f.chain = -1;  // placed for this pass
            }
            // Where the sorted chain differs from the sorted word.
            const std::size_t firstOfChain = next.size();
            const auto addOdd = [&](Pos from, Pos to) {
                for (Pos j = std::min(from, to); j < std::max(from, to); ++j) {
                    const Pos p = r + j * gap;
                    const char label = j < countBefore
                                           ? kBefore
                                           : (j < countBefore + countEqual ? kEqual : kAfter);
                    if (label == sortedLabel(p))
                        continue;
                    bool known = false;
                    for (std::size_t i = firstOfChain; i < next.size(); ++i)
                        known = known || next[i].position == p;
                    if (!known)
                        next.push_back({p, label, r});
                }
            };
            addOdd(countBefore, sortedBefore);
            addOdd(countBefore + countEqual, sortedNotAfter);
        }
        odd.swap(next);
    }

    // Every Equal lot now lies in beta .. beta + tau - 1.
    std::vector<TieMember> result;
    result.reserve(followed.size());
    for (const Followed& f : followed)
        result.push_back({f.position - beta, f.id});
    std::sort(result.begin(), result.end(),
              [](const TieMember& x, const TieMember& y) { return x.place < y.place; });
    return result;
}

}  // namespace brisden
