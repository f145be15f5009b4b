#pragma once
// Record types: a transaction record carries no type field; its meaning is
// derived from Amount, SharePrice, Shares and Desc every time a ledger is
// analysed, and each record moves the running state of the pass.

#include "analysis/Returns.h"
#include "data/InvestmentFile.h"

#include <QString>
#include <QStringList>
#include <array>

namespace brisden {

// The one-character type of a record: "P", "S", "R", "D", "F", "A", "*", "U",
// or empty when no rule applies.
using RecordTypeCode = QString;

// The low prices start here and stay here until a price is seen.
constexpr double NoPriceSentinel = 9999999;

// True while a low price still holds the sentinel (compared in single precision).
inline bool IsNoPrice(double price)
{
    return static_cast<float>(price) == static_cast<float>(NoPriceSentinel);
}

// Running state of one pass over one investment file. The arrays are 1-based
// as the ledger arithmetic names them: ShareTotals[1] is the share balance.
struct ListingState {
    std::array<double, 4> ShareTotals{};         // 1 balance, 2 bought, 3 sold
    std::array<double, 4> CostTotals{};          // 1 period, 2 since range start, 3 purchases
    std::array<double, 3> DistributionTotals{};  // 1 period, 2 since range start
    std::array<double, 3> SaleTotals{};          // 1 period, 2 since range start
    std::array<double, 3> LowPrices{0, NoPriceSentinel, NoPriceSentinel};  // 1 buy, 2 sell
    std::array<double, 3> HighPrices{};                                    // 1 buy, 2 sell
    double LastPrice = 0;
    bool SplitRestated = false;

    double& ShareBalance() { return ShareTotals[1]; }
    double ShareBalance() const { return ShareTotals[1]; }
};

// True when the upper-cased description contains "SPLIT".
bool ContainsSplit(const TransactionRecord& record);

// Derives the record's type code and applies the record to the state. The
// record is the analysis copy: a purchase's Shares and a reinvestment's Amount
// are replaced by derived values. rowIndex is the record's slot in cashFlows;
// inRange tells whether the record is on or after the first date of the range
// (only then does its amount count as a cash flow).
RecordTypeCode ClassifyTransaction(TransactionRecord& record, ListingState& state,
                                   std::int32_t rowIndex, bool inRange, CashFlowTable& cashFlows);

// The validity rule: no code, an impossible date, or a sale whose amount does
// not match price times shares.
bool IsSuspectRecord(const TransactionRecord& record, const RecordTypeCode& code);

// The eight legend lines of the record types window, in legend order.
QStringList RecordTypesLegend();
// The legend as the window shows it: the lines joined by CR LF.
QString RecordTypesLegendText();

}  // namespace brisden
