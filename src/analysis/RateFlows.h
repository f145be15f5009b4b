#pragma once
// The cash flows behind a run's internal rate of return, for checking the
// rate by hand: every flow the solver used, with its date, its amount, the
// investment file it came from and what it stands for. The listing keeps the
// table of flows and a trail of which file filled which slots; the flows are
// listed from both on demand, so a listing that nobody audits pays nothing.

#include "analysis/Returns.h"

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <utility>
#include <vector>

namespace brisden {

enum class RateFlowKind {
    Transaction,                 // a record's amount
    OpeningValue,                // the holding brought into the listing range
    OpeningValueAndTransaction,  // both on the range's first row
    TerminalValue,               // the file's holding at its valuation day, paid back
};

// "record", "opening value", "opening value + record", "terminal value".
QString RateFlowKindText(RateFlowKind kind);

struct RateFlow {
    std::int32_t Date = 0;       // YYYYMMDD
    std::int32_t DayNumber = 0;  // the date as a day number
    double Amount = 0;           // > 0 money put in, < 0 money back to the investor
    float Years = 0;             // time to the rate's end day, as the solver counted it
    QString File;                // the investment file as the run named it
    QString Description;
    RateFlowKind Kind = RateFlowKind::Transaction;
};

// The slots of the cash-flow table that one file of a run filled: its
// records from FirstSlot on, and its terminal value in TerminalSlot, the last.
struct RateFlowFile {
    QString File;
    QString Description;
    std::int32_t FirstSlot = 0;
    std::int32_t TerminalSlot = 0;
};

// What a listing run records beside the table of flows.
struct RateFlowTrail {
    std::vector<RateFlowFile> Files;
    // Slots that received the value of the holding brought into the range,
    // with that value.
    std::vector<std::pair<std::int32_t, double>> OpeningSlots;
    std::int32_t EndDay = 0;  // the day the rate's flows are carried to
    float Guess = 0;          // where the solver started
    float Rate = 0;           // its answer, IrrFailed (-2) when it failed
    bool Computed = false;    // false: no rate (a cancelled or empty run)

    void clear() { *this = RateFlowTrail{}; }
};

// Every flow the solver used (the slots with an amount), in table order.
std::vector<RateFlow> ListRateFlows(const CashFlowTable& cashFlows, const RateFlowTrail& trail);

// The flows as comma-separated text: a header line, then one flow a line
// (CR LF): Date (YYYY-MM-DD), Amount and Years in full precision, Kind, File,
// Description (texts in double quotes). UTF-8.
QByteArray RateFlowsCsv(const std::vector<RateFlow>& flows);

// The sum of the flows carried to the end day at the rate (Amount x (1 +
// rate)^Years): about 0 when the rate solves them.
double RateFlowsFutureValue(const std::vector<RateFlow>& flows, double rate);

}  // namespace brisden
