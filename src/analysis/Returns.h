#pragma once
// Return measures: the three returns shown on listing rows (period,
// cumulative, average annual), the annualised return of the closing
// valuation, and the internal rate of return of a run, solved over a table of
// dated cash flows. Returns are held in single precision; the arithmetic is
// done in double precision and rounded on storing.

#include <cstdint>
#include <vector>

namespace brisden {

// One dated cash flow: money into the investments (> 0) or back to the
// investor (< 0); an Amount of 0 marks an unused slot.
struct CashFlow {
    double Amount = 0;
    std::int32_t DayNumber = 0;
    float Years = 0;  // (end day - DayNumber) / 365.25, filled in by the solver
};

// 1-based: element 0 is never used. One slot per record read by a run and one
// terminal slot per file.
using CashFlowTable = std::vector<CashFlow>;

// 365.25 / (day - firstDay) in single precision; 0 when the days coincide.
float ExponentFactorFor(std::int32_t dayNumber, std::int32_t firstDay);

// (V - D1 - S1 - SV - C1) / (SV + C1); callers test SV + C1 != 0 first.
float PeriodROI(double V, double D1, double S1, double SV, double C1);
// (V - D2 - S2 - C2) / (C2 + D2); callers test C2 + D2 != 0 first.
float CumulativeROI(double V, double D2, double S2, double C2);
// ((V - D2 - S2) / (C2 + D2)) ^ ExponentFactor - 1. A negative base (more
// paid out than put in) or a result beyond single precision gives 0.
float AnnualROI(double V, double D2, double S2, double C2, float ExponentFactor);
// ((V - D2 - S2) / C2) ^ ExponentFactor - 1, the closing measure; same guards.
float ValuationAnnualROI(double V, double D2, double S2, double C2, float ExponentFactor);

// The failure value of the rate solver, shown as "Overflow".
constexpr float IrrFailed = -2.0f;

// Newton iteration on the continuously compounded rate for the rate r with
// sum Amount * (1 + r)^Years = 0, Years counted back from endDay. guess is
// raised to -0.999 when it is -1 or less (written back). Returns the rate or
// -2 when 25 rounds do not converge. Sets *overflow (when given) instead of
// failing when a value leaves the range of the arithmetic.
float SolveIRR(CashFlowTable& cashFlows, float& guess, std::int32_t& endDay,
               bool* overflow = nullptr);

// SolveIRR with overflow and domain errors turned into -2.
class RateOfReturn {
public:
    float ComputeIRR(CashFlowTable& cashFlows, float& guess, std::int32_t& endDay);
    bool IrrErrorFlag = false;
};

// The same without keeping the flag.
float ComputeIRR(CashFlowTable& cashFlows, float& guess, std::int32_t& endDay);

}  // namespace brisden
