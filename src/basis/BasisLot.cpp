#include "basis/BasisLot.h"

#include "analysis/RoundTo.h"

#include <limits>

namespace brisden {

QString BasisMethodName(int method)
{
    switch (method) {
        case MethodCostFifo:
            return QStringLiteral("Cost, FIFO");
        case MethodCostDynamic:
            return QStringLiteral("Cost, Dynamic");
        case MethodAverageSingle:
            return QStringLiteral("Average, Single Category");
        case MethodAverageDoubleFifo:
            return QStringLiteral("Average, Double Category, FIFO");
        case MethodAverageDoubleDynamic:
            return QStringLiteral("Average, Double Category, Dynamic");
        default:
            return QString();
    }
}

std::int32_t LongTermCutoffFor(std::int32_t ymd)
{
    // A damaged file may hold any number as a date: the earliest one has
    // nothing before it.
    if (ymd < std::numeric_limits<std::int32_t>::min() + 10000)
        return std::numeric_limits<std::int32_t>::min();
    std::int32_t cutoff = ymd - 10000;
    if (cutoff % 10000 == 229)
        cutoff = (cutoff / 10000) * 10000 + 301;
    return cutoff;
}

void BasisPools::ComputeAverages()
{
    ShortAverage = PoolShares[4] != 0 ? RoundTo(PoolCost[4] / PoolShares[4], 2) : 0;
    LongAverage = PoolShares[3] != 0 ? RoundTo(PoolCost[3] / PoolShares[3], 2) : 0;
    const double shares = PoolShares[3] + PoolShares[4];
    OverallAverage = shares != 0 ? RoundTo((PoolCost[3] + PoolCost[4]) / shares, 2) : 0;
}

void ClassifyLot(BasisLot& lot, BasisPools& p)
{
    if (lot.BuyDate < p.LongTermCutoff && lot.Category == 2 && lot.CostPerShare == 0) {
        p.PoolShares[4] -= lot.Shares;
        lot.CostPerShare = p.method == MethodAverageSingle ? p.OverallAverage : p.ShortAverage;
        p.PoolCost[4] -= lot.Shares * lot.CostPerShare;
        if (p.PoolCost[4] < 0 || p.PoolShares[4] == 0) {
            p.PoolCost[3] += p.PoolCost[4];
            p.PoolCost[4] = 0;
        }
    }
    if (lot.CostPerShare != 0) {
        const int index = lot.BuyDate < p.LongTermCutoff ? 3 : 4;
        p.PoolShares[index] += lot.Shares;
        p.PoolCost[index] += lot.Shares * lot.CostPerShare;
        lot.Category = index == 3 ? 1 : 2;
    }
}

void ReleaseLot(BasisLot& lot, BasisPools& p)
{
    if (p.method == MethodAverageSingle && (p.LongPoolTouched || p.ShortPoolTouched))
        lot.CostPerShare = 0;
    const bool shortLot = lot.Category == 2;
    const bool touched = shortLot ? p.ShortPoolTouched : p.LongPoolTouched;
    const int index = shortLot ? 4 : 3;
    if (touched) {
        lot.CostPerShare = 0;
    } else if (lot.CostPerShare != 0) {
        p.PoolShares[index] -= lot.Shares;
        p.PoolCost[index] -= lot.Shares * lot.CostPerShare;
    }
}

void ScaleLotForSplit(BasisLot& lot, double newBalance, double oldBalance)
{
    const double oldCost = lot.Shares * lot.CostPerShare;
    if (oldBalance != 0)
        lot.Shares = RoundTo(newBalance * lot.Shares / oldBalance, 3);
    if (lot.Shares != 0)
        lot.CostPerShare = RoundTo(oldCost / lot.Shares, 2);
}

}  // namespace brisden
