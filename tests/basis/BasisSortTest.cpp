// The gap sort of the lot list: its orders, how it leaves equal lots, and the
// shortcut that computes where it leaves the lots of one key.

#include "LiteralLotBook.h"
#include "basis/TieGroupSort.h"

#include <gtest/gtest.h>
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

TEST(BasisGapSort, OrdersByPriceCategoryAndDate)
{
    std::vector<BasisLot> lots = Lots({{10, 1}, {30, 2}, {20, 3}, {30, 4}});
    LiteralGapSort(lots, SortByPriceDescending);
    EXPECT_EQ(Ids(lots), (std::vector<int>{2, 4, 3, 1}));

    std::vector<BasisLot> aged(1);
    aged.push_back({2, 20030105, 5, 1});
    aged.push_back({1, 20030301, 5, 1});
    aged.push_back({2, 20030101, 5, 1});
    aged.push_back({1, 20020101, 5, 1});
    std::vector<BasisLot> longFirst = aged;
    LiteralGapSort(longFirst, SortLongTermFirst);
    std::vector<BasisLot> shortFirst = aged;
    LiteralGapSort(shortFirst, SortShortTermFirst);
    EXPECT_EQ(Ids(longFirst), (std::vector<int>{20020101, 20030301, 20030101, 20030105}));
    EXPECT_EQ(Ids(shortFirst), (std::vector<int>{20030101, 20030105, 20020101, 20030301}));
}

TEST(BasisGapSort, EqualLotsAreNeverExchangedButCanBeOvertaken)
{
    // Gap 2 exchanges the 5 with the last 9, which jumps over the first 9:
    // the two lots priced 9 end in the reverse of their first order.
    std::vector<BasisLot> lots = Lots({{5, 1}, {9, 2}, {9, 3}});
    LiteralGapSort(lots, SortByPriceDescending);
    EXPECT_EQ(Ids(lots), (std::vector<int>{3, 2, 1}));
    // Already in order: nothing moves, equal lots included.
    std::vector<BasisLot> sorted = Lots({{9, 1}, {9, 2}, {7, 3}, {7, 4}, {7, 5}});
    LiteralGapSort(sorted, SortByPriceDescending);
    EXPECT_EQ(Ids(sorted), (std::vector<int>{1, 2, 3, 4, 5}));
}

// A sorted list (descending prices, many equal) with lots added at its end:
// the shortcut must give the order the gap sort leaves each price in.
TEST(BasisGapSort, TieGroupShortcutAgreesWithTheGapSort)
{
    std::mt19937 rng(4);
    for (int trial = 0; trial < 3000; ++trial) {
        const int n = 1 + int(rng() % (trial % 50 == 0 ? 2500 : 90));
        const int added = std::min<int>(n, int(rng() % 5));
        const int prices = 1 + int(rng() % 8);
        std::vector<double> sortedPrices;
        for (int i = 0; i < n - added; ++i)
            sortedPrices.push_back(double(rng() % prices));
        std::sort(sortedPrices.rbegin(), sortedPrices.rend());
        std::vector<BasisLot> lots(1);
        for (int i = 0; i < n; ++i) {
            const double price =
                i < n - added ? sortedPrices[std::size_t(i)] : double(rng() % prices);
            lots.push_back(BasisLot{0, i, price, 1});
        }
        std::vector<BasisLot> sorted = lots;
        LiteralGapSort(sorted, SortByPriceDescending);
        for (int p = 0; p < prices; ++p) {
            const double v = p;
            std::int64_t before = 0;
            std::vector<int> members;
            std::vector<TieLabel> labels;
            std::vector<int> addedMembers;
            for (int i = 0; i < n; ++i) {
                const BasisLot& lot = lots[std::size_t(i + 1)];
                if (i < n - added) {
                    before += lot.CostPerShare > v;
                    if (lot.CostPerShare == v)
                        members.push_back(lot.BuyDate);
                } else {
                    labels.push_back(lot.CostPerShare > v    ? TieLabel::Before
                                     : lot.CostPerShare == v ? TieLabel::Equal
                                                             : TieLabel::After);
                    if (lot.CostPerShare == v)
                        addedMembers.push_back(lot.BuyDate);
                }
            }
            std::vector<int> expected;
            for (std::size_t i = 1; i < sorted.size(); ++i)
                if (sorted[i].CostPerShare == v)
                    expected.push_back(sorted[i].BuyDate);
            // Following every lot gives the whole order; following some of
            // them puts those in the same places.
            for (const int every : {1, 2}) {
                std::vector<TieMember> followed;
                for (std::size_t i = 0; i < members.size(); ++i)
                    if (members[i] % every == 0)
                        followed.push_back({std::int64_t(i), members[i]});
                std::vector<int> addedIds;
                for (const int id : addedMembers)
                    addedIds.push_back(id % every == 0 ? id : -1);
                const std::vector<TieMember> placed = TieGroupAfterGapSort(
                    n, before, std::int64_t(members.size()), followed, labels, addedIds);
                for (const TieMember& m : placed)
                    ASSERT_EQ(expected[std::size_t(m.place)], m.id)
                        << "trial " << trial << " price " << p << " every " << every;
                std::size_t count = 0;
                for (const int id : expected)
                    count += id % every == 0;
                ASSERT_EQ(count, placed.size());
            }
        }
    }
}

}  // namespace
}  // namespace brisden::test
