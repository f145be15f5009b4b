#pragma once
// The lot list BasisLots of the worksheet, with the operations the replay
// performs on it. A lot list keeps the lots in list order: the order in which
// they were added, as rearranged by every SortList. Each operation must act
// exactly as a walk over that order would, lot by lot, so that the pools see
// the same additions in the same order.

#include "basis/BasisLot.h"

#include <functional>
#include <memory>

namespace brisden {

class LotBook {
public:
    virtual ~LotBook() = default;

    // An empty list for a run of the given method.
    virtual void Reset(int method) = 0;
    virtual void AddLot(const BasisLot& lot) = 0;
    // ScaleLotForSplit on every lot.
    virtual void ScaleForSplit(double newBalance, double oldBalance) = 0;
    virtual void SortList(int mode) = 0;
    // Repeatedly finds the first lot in list order with Shares > 0 and calls
    // sell on it, while more() is true after the call and such a lot exists.
    virtual void MatchLots(const std::function<void(BasisLot&)>& sell,
                           const std::function<bool()>& more) = 0;
    // ClassifyLot / ReleaseLot on every lot in list order.
    virtual void ClassifyLots(BasisPools& pools) = 0;
    virtual void ReleaseUnpooledLots(BasisPools& pools) = 0;
    // Calls f on every lot with Shares != 0, in list order.
    virtual void ForEachHeldLot(const std::function<void(BasisLot&)>& f) = 0;
};

// The list used by the worksheet: the same results as the walk over the list,
// with work that grows gently with the number of lots.
std::unique_ptr<LotBook> MakeLotBook();

}  // namespace brisden
