#pragma once
// Purchase lots of the cost-basis worksheet, the share and cost pools of the
// average methods, and the per-lot rules that every lot list applies in list
// order (classification into the holding-period pools, release after a sale,
// the rescaling at a share split).

#include <QString>
#include <array>
#include <cstdint>

namespace brisden {

// Cost-basis methods: the dialog's list position plus one.
enum BasisMethod : std::int16_t {
    MethodCostFifo = 1,
    MethodCostDynamic = 2,
    MethodAverageSingle = 3,
    MethodAverageDoubleFifo = 4,
    MethodAverageDoubleDynamic = 5,
};

// "Cost, FIFO" ... "Average, Double Category, Dynamic"; empty outside 1..5.
QString BasisMethodName(int method);

// Lot orders of SortList.
enum LotSortMode : int {
    SortByPriceDescending = 3,  // highest CostPerShare first
    SortLongTermFirst = 4,      // ascending Category, then ascending BuyDate
    SortShortTermFirst = 5,     // descending Category, then ascending BuyDate
};

struct BasisLot {
    std::int16_t Category = 0;  // 0 not yet classified, 1 long term, 2 short term
    std::int32_t BuyDate = 0;   // YMD
    double CostPerShare = 0;    // methods 3-5: 0 = pooled
    double Shares = 0;          // shares still held from this lot
};

// True when lot a belongs after lot b in the given order (the gap sort
// exchanges them); lots that compare equal are never exchanged.
inline bool LotSortsAfter(const BasisLot& a, const BasisLot& b, int mode)
{
    switch (mode) {
        case SortByPriceDescending:
            return a.CostPerShare < b.CostPerShare;
        case SortLongTermFirst:
            return a.Category > b.Category || (a.Category == b.Category && a.BuyDate > b.BuyDate);
        case SortShortTermFirst:
            return a.Category < b.Category || (a.Category == b.Category && a.BuyDate > b.BuyDate);
        default:
            return false;
    }
}

// The one-year boundary: the same day a year earlier, March 1 for February 29.
std::int32_t LongTermCutoffFor(std::int32_t ymd);

// Shares and costs of the replay. Index 1 holds the running share balance
// during the replay and the long-term remainder in the closing section; index
// 2 the short-term remainder; 3 and 4 the long- and short-term pools of the
// average methods. Index 0 is unused.
struct BasisPools {
    int method = MethodCostFifo;
    std::array<double, 5> PoolShares{};
    std::array<double, 5> PoolCost{};
    double ShortAverage = 0;
    double LongAverage = 0;
    double OverallAverage = 0;
    std::int32_t LongTermCutoff = 0;
    bool LongPoolTouched = false;
    bool ShortPoolTouched = false;

    // The three averages, each rounded to cents, 0 when its share count is 0.
    void ComputeAverages();
};

// One lot's part of ClassifyLots: an aged pooled short lot leaves the short
// pool; a lot with its own price joins the pool of its age.
void ClassifyLot(BasisLot& lot, BasisPools& pools);
// One lot's part of ReleaseUnpooledLots: lots of a touched category are
// pooled, others leave their pool again.
void ReleaseLot(BasisLot& lot, BasisPools& pools);
// One lot's part of a share split from balance oldBalance to newBalance.
void ScaleLotForSplit(BasisLot& lot, double newBalance, double oldBalance);

}  // namespace brisden
