#pragma once
// Rounding half up on the binary value: m = 1 / 10^n; Int(x / m + 0.5) * m,
// Int being the floor. RoundTo(2.5, 0) = 3, RoundTo(-2.5, 0) = -2 and, since
// 1.005 is stored slightly below itself, RoundTo(1.005, 2) = 1.

#include <cmath>

namespace brisden {

inline double RoundTo(double x, int n)
{
    const double m = 1.0 / std::pow(10.0, n);
    return std::floor(x / m + 0.5) * m;
}

}  // namespace brisden
