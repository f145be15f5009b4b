#include "analysis/Returns.h"

#include <cfloat>
#include <cmath>
#include <limits>

namespace brisden {

namespace {

// A measure that does not fit a single-precision value is left at 0.
float StoreSingle(double value)
{
    if (!std::isfinite(value) || std::fabs(value) > FLT_MAX)
        return 0.0f;
    return static_cast<float>(value);
}

float AnnualPower(double base, float exponentFactor)
{
    // A negative base has no real power here; the measure stays 0.
    if (std::isnan(base) || base < 0)
        return 0.0f;
    return StoreSingle(std::pow(base, static_cast<double>(exponentFactor)) - 1);
}

int Sign(double x)
{
    return (x > 0) - (x < 0);
}

}  // namespace

float ExponentFactorFor(std::int32_t dayNumber, std::int32_t firstDay)
{
    const std::int32_t days = dayNumber - firstDay;
    if (days == 0)
        return 0.0f;
    return static_cast<float>(365.25 / days);
}

float PeriodROI(double V, double D1, double S1, double SV, double C1)
{
    return StoreSingle((V - D1 - S1 - SV - C1) / (SV + C1));
}

float CumulativeROI(double V, double D2, double S2, double C2)
{
    return StoreSingle((V - D2 - S2 - C2) / (C2 + D2));
}

float AnnualROI(double V, double D2, double S2, double C2, float ExponentFactor)
{
    return AnnualPower((V - D2 - S2) / (C2 + D2), ExponentFactor);
}

float ValuationAnnualROI(double V, double D2, double S2, double C2, float ExponentFactor)
{
    return AnnualPower((V - D2 - S2) / C2, ExponentFactor);
}

float SolveIRR(CashFlowTable& cashFlows, float& guess, std::int32_t& endDay, bool* overflow)
{
    // Every used slot gets its time to the end day.
    for (std::size_t i = 1; i < cashFlows.size(); ++i) {
        CashFlow& flow = cashFlows[i];
        if (flow.Amount != 0)
            flow.Years = static_cast<float>((endDay - flow.DayNumber) / 365.25);
    }

    auto fail = [overflow]() {
        if (overflow)
            *overflow = true;
        return IrrFailed;
    };

    if (guess <= -1)
        guess = -0.999f;
    double delta = std::log(static_cast<double>(guess + 1.0f));
    const CashFlow* flows = cashFlows.data();
    const std::size_t n = cashFlows.size();
    for (int k = 1;; ++k) {
        double f = 0;
        double g = 0;
        // Flows of one day share their growth: it is computed once a day.
        float lastYears = std::numeric_limits<float>::quiet_NaN();
        double growth = 0;
        for (std::size_t i = 1; i < n; ++i) {
            const double amount = flows[i].Amount;
            if (amount == 0)
                continue;
            const double years = flows[i].Years;
            if (!(flows[i].Years == lastYears)) {
                lastYears = flows[i].Years;
                const double exponent = delta * years;
                // Far below the smallest double the growth is 0; skip the
                // library's slow underflow path.
                growth = exponent < -746.0 ? 0.0 : std::exp(exponent);
            }
            f += amount * growth;
            g += years * amount * growth;
        }
        if (!std::isfinite(f) || !std::isfinite(g))
            return fail();

        double step;
        if (std::fabs(g) >= 0.1)
            step = f / g;
        else
            step = 0.03 * Sign(f) * Sign(g);
        delta -= step;
        const double rate = std::exp(delta) - 1;
        if (!std::isfinite(rate) || std::fabs(rate) > FLT_MAX)
            return fail();
        if (std::fabs(step) < 0.00005 && g != 0)
            return static_cast<float>(rate);
        if (k == 25)
            return IrrFailed;
    }
}

float RateOfReturn::ComputeIRR(CashFlowTable& cashFlows, float& guess, std::int32_t& endDay)
{
    IrrErrorFlag = false;
    const float rate = SolveIRR(cashFlows, guess, endDay, &IrrErrorFlag);
    return IrrErrorFlag ? IrrFailed : rate;
}

float ComputeIRR(CashFlowTable& cashFlows, float& guess, std::int32_t& endDay)
{
    RateOfReturn solver;
    return solver.ComputeIRR(cashFlows, guess, endDay);
}

}  // namespace brisden
