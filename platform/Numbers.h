#pragma once
// Integer arithmetic as the program's layout rules need it.

#include <cmath>

namespace Numbers {

// Nearest integer, halves to the even neighbour (2.5 -> 2, 3.5 -> 4, -2.5 -> -2).
inline int Round_Half_Even(double value)
{
    return int(std::nearbyint(value)); // the default rounding mode rounds halves to even
}

// Division truncating toward zero; a zero divisor gives fallback instead of a fault.
constexpr int Div_Trunc(int a, int b, int fallback = 0)
{
    return b == 0 ? fallback : a / b;
}

} // namespace Numbers
