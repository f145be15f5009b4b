#include "analysis/RecordTypes.h"

#include "analysis/RoundTo.h"
#include "data/Dates.h"

#include <cmath>

namespace brisden {

namespace {

int Sign(double x)
{
    return (x > 0) - (x < 0);
}

char AsciiUpper(char c)
{
    return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c;
}

}  // namespace

bool ContainsSplit(const TransactionRecord& record)
{
    // Upper-casing can only make ASCII letters of ASCII letters here, so the
    // test compares letter by letter without building the upper-cased copy.
    static constexpr char Split[] = "SPLIT";
    constexpr qsizetype length = sizeof Split - 1;
    const QByteArray& desc = record.Desc;
    for (qsizetype start = 0; start + length <= desc.size(); ++start) {
        qsizetype k = 0;
        while (k < length && AsciiUpper(desc[start + k]) == Split[k])
            ++k;
        if (k == length)
            return true;
    }
    return false;
}

RecordTypeCode ClassifyTransaction(TransactionRecord& record, ListingState& state,
                                   std::int32_t rowIndex, bool inRange, CashFlowTable& cashFlows)
{
    RecordTypeCode code;
    const bool split = ContainsSplit(record);
    double& balance = state.ShareBalance();

    // 1. Money in: a purchase when priced (its share count is derived), else a fee.
    if (record.Amount > 0) {
        state.CostTotals[1] += record.Amount;
        state.CostTotals[2] += record.Amount;
        if (record.SharePrice != 0) {
            record.Shares = RoundTo(record.Amount / record.SharePrice, 3);
            code = QStringLiteral("P");
        } else {
            code = QStringLiteral("F");
        }
    }

    // 2. Shares without money are reinvested at the price; money moved as read is a cash flow.
    if (record.Amount == 0) {
        if (record.Shares != 0 && !split) {
            record.Amount = record.SharePrice * record.Shares;
            code = QStringLiteral("R");
        }
    } else if (inRange && rowIndex >= 1 && static_cast<std::size_t>(rowIndex) < cashFlows.size()) {
        cashFlows[static_cast<std::size_t>(rowIndex)].Amount += record.Amount;
    }

    // 3. Purchase statistics.
    if (record.Amount > 0 && record.Shares != 0) {
        state.CostTotals[3] += record.Amount;
        if (record.SharePrice != 0)
            state.ShareTotals[2] += record.Shares;
        if (record.SharePrice < state.LowPrices[1])
            state.LowPrices[1] = record.SharePrice;
        if (record.SharePrice > state.HighPrices[1])
            state.HighPrices[1] = record.SharePrice;
    }

    // 4. Shares moved: fees paid in shares, and sales (a positive count with a negative amount).
    if (record.Shares != 0) {
        if (record.Shares < 0) {
            balance += record.Shares;
            code = QStringLiteral("A");
        } else if (record.Amount != 0) {
            balance += record.Shares * Sign(record.Amount);
        }
        if (record.Amount < 0) {
            code = QStringLiteral("S");
            state.SaleTotals[1] += record.Amount;
            state.SaleTotals[2] += record.Amount;
            state.ShareTotals[3] += record.Shares;
            if (record.SharePrice < state.LowPrices[2])
                state.LowPrices[2] = record.SharePrice;
            if (record.SharePrice > state.HighPrices[2])
                state.HighPrices[2] = record.SharePrice;
        }
    }

    // 5. A split gives the new balance; share counts and prices are restated to it.
    if (split) {
        code = QStringLiteral("*");
        state.SplitRestated = true;
        const double oldBalance = balance;
        const double newBalance = record.Shares;
        if (oldBalance != 0) {
            state.ShareTotals[2] = RoundTo(newBalance * state.ShareTotals[2] / oldBalance, 3);
            state.ShareTotals[3] = RoundTo(newBalance * state.ShareTotals[3] / oldBalance, 3);
        }
        if (newBalance != 0) {
            for (int k = 1; k <= 2; ++k) {
                if (!IsNoPrice(state.LowPrices[k]))
                    state.LowPrices[k] = RoundTo(state.LowPrices[k] * oldBalance / newBalance, 2);
                state.HighPrices[k] = RoundTo(state.HighPrices[k] * oldBalance / newBalance, 2);
            }
        }
        balance = newBalance;
    }

    // 6. Money out without a price is a cash distribution.
    if (record.Amount < 0 && record.SharePrice == 0) {
        state.DistributionTotals[1] += record.Amount;
        state.DistributionTotals[2] += record.Amount;
        code = QStringLiteral("D");
    }

    // 7. Dust and negative balances are cleared.
    if (balance < 0.001)
        balance = 0;

    // 8. Any price values the holding; a price alone is a price update.
    if (record.SharePrice != 0) {
        state.LastPrice = record.SharePrice;
        if (code.isEmpty())
            code = QStringLiteral("U");
    }
    return code;
}

bool IsSuspectRecord(const TransactionRecord& record, const RecordTypeCode& code)
{
    if (code.isEmpty())
        return true;
    if (!IsValidDate(SwapDateOrder(record.TransDate)))
        return true;
    if (code == QLatin1String("S")) {
        const double priced = RoundTo(record.SharePrice * record.Shares, 2);
        const double amount = RoundTo(std::fabs(record.Amount), 2);
        if (std::fabs(priced - amount) > 0.01)
            return true;
    }
    return false;
}

QStringList RecordTypesLegend()
{
    return {
        QStringLiteral("* = Share split"),
        QStringLiteral("A = Service fee Against shares"),
        QStringLiteral("D = Cash Distribution"),
        QStringLiteral("F = Service Fee"),
        QStringLiteral("P = Purchase"),
        QStringLiteral("R = Reinvestment of dividends"),
        QStringLiteral("S = Sale"),
        QStringLiteral("U = Price Update"),
    };
}

QString RecordTypesLegendText()
{
    return RecordTypesLegend().join(QStringLiteral("\r\n"));
}

}  // namespace brisden
