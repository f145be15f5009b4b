// The gap sort of the lot list: its orders, how it leaves equal lots, and the
// shortcut that computes where it leaves the lots of one key.

#include "LiteralLotBook.h"
#include "basis/TieGroupSort.h"

#include <gtest/gtest.h>
#include <algorithm>
#include <random>

namespace brisden::test {
namespace {

// Lots identified by BuyDate, priced by CostPerShare, 1-based.
std::vector<BasisLot> Lots(std::initializer_list<std::pair<double, int>> priceAndId)
{
    std::vector<BasisLot> lots(1);
    for (const auto& [price, id] : priceAndId)
        lots.push_back(BasisLot{0, id, price, 1});
    return lots;
}

std::vector<int> Ids(const std::vector<BasisLot>& lots)
{
    std::vector<int> ids;
    for (std::size_t i = 1; i < lots.size(); ++i)
        ids.push_back(lots[i].BuyDate);
    return ids;
}

TEST(BasisGapSort, OrdersByPriceCategoryAndDateAndNeverExchangesEqualLots)
{
    std::vector<BasisLot> lots = Lots({{10, 1}, {30, 2}, {20, 3}, {30, 4}});
    LiteralGapSort(lots, SortByPriceDescending);
    EXPECT_EQ(Ids(lots), (std::vector<int>{2, 4, 3, 1}));

    const std::vector<BasisLot> aged = {
        {}, {2, 20030105, 5, 1}, {1, 20030301, 5, 1}, {2, 20030101, 5, 1}, {1, 20020101, 5, 1}};
    std::vector<BasisLot> longFirst = aged;
    LiteralGapSort(longFirst, SortLongTermFirst);
    std::vector<BasisLot> shortFirst = aged;
    LiteralGapSort(shortFirst, SortShortTermFirst);
    EXPECT_EQ(Ids(longFirst), (std::vector<int>{20020101, 20030301, 20030101, 20030105}));
    EXPECT_EQ(Ids(shortFirst), (std::vector<int>{20030101, 20030105, 20020101, 20030301}));

    // Gap 2 exchanges the 5 with the last 9, which jumps over the first 9:
    // the two lots priced 9 end in the reverse of their first order.
    std::vector<BasisLot> overtaken = Lots({{5, 1}, {9, 2}, {9, 3}});
    LiteralGapSort(overtaken, SortByPriceDescending);
    EXPECT_EQ(Ids(overtaken), (std::vector<int>{3, 2, 1}));
    // Already in order: nothing moves, equal lots included.
    std::vector<BasisLot> sorted = Lots({{9, 1}, {9, 2}, {7, 3}, {7, 4}, {7, 5}});
    LiteralGapSort(sorted, SortByPriceDescending);
    EXPECT_EQ(Ids(sorted), (std::vector<int>{1, 2, 3, 4, 5}));
}

// Lists that differ from their sorted form at a few places (lots added at the
// end, runs of lots given another key, single lots changed): the shortcut must
// put the lots of one key where the gap sort puts them.
TEST(BasisGapSort, TieGroupShortcutAgreesWithTheGapSort)
{
    std::mt19937 rng(4);
    const auto pick = [&rng](int n) { return int(rng() % unsigned(n)); };
    for (int trial = 0; trial < 20000; ++trial) {
        const int n = 1 + pick(trial % 100 == 0 ? 2500 : 90);
        // Letters 0 (before the key), 1 (the key), 2 (after it), as prices 2, 1, 0.
        const int before = pick(n + 1);
        const int equal = pick(n - before + 1);
        std::vector<int> word(static_cast<std::size_t>(n));
        const auto at = [&word](int p) -> int& { return word[std::size_t(p)]; };
        for (int p = 0; p < n; ++p)
            at(p) = p < before ? 0 : (p < before + equal ? 1 : 2);
        // Now and then many changes and long runs: more odd places than the
        // shortcut keeps in its small arrays.
        const bool many = trial % 7 == 0;
        for (int change = pick(many ? 14 : 6); change > 0; --change) {
            const int letter = pick(3);
            const int p = pick(n);
            const int kind = pick(3);
            if (kind == 0)  // one lot
                at(p) = letter;
            else if (kind == 1)  // a run of lots
                for (int q = p; q < std::min(n, p + 1 + pick(many ? 30 : 8)); ++q)
                    at(q) = letter;
            else  // lots at the end
                for (int q = std::max(0, n - 1 - pick(4)); q < n; ++q)
                    at(q) = pick(3);
        }
        std::vector<BasisLot> lots(1);
        const std::int64_t beta = std::count(word.begin(), word.end(), 0);
        const std::int64_t tau = std::count(word.begin(), word.end(), 1);
        std::vector<TieLetter> odd;
        for (int p = 0; p < n; ++p) {
            lots.push_back(BasisLot{0, p, double(2 - at(p)), 1});
            if (at(p) != (p < beta ? 0 : (p < beta + tau ? 1 : 2)))
                odd.push_back({p, TieLabel(at(p))});
        }
        std::vector<BasisLot> sorted = lots;
        LiteralGapSort(sorted, SortByPriceDescending);
        // Following every lot of the key gives its whole order; following
        // some of them puts those in the same places.
        for (const int every : {1, 2}) {
            std::vector<TieMember> members;
            for (int p = 0; p < n; ++p)
                if (at(p) == 1 && p % every == 0)
                    members.push_back({p, p});
            const std::size_t followed = members.size();
            EqualLotsAfterGapSort(n, beta, tau, odd, members);
            ASSERT_EQ(followed, members.size());
            for (std::size_t i = 0; i < members.size(); ++i) {
                const TieMember& m = members[i];
                ASSERT_EQ(sorted[std::size_t(beta + m.place + 1)].BuyDate, m.id)
                    << "trial " << trial << " every " << every;
                if (i > 0) {
                    ASSERT_LT(members[i - 1].place, m.place);
                }
            }
        }
    }
}

}  // namespace
}  // namespace brisden::test
