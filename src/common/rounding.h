#pragma once

#include <cmath>
#include <cstdint>

// Rounds to the nearest whole number, halves to the even neighbour (2.5 -> 2, 3.5 -> 4).
// std::nearbyint rounds so in the default rounding mode, which the program never changes.
inline std::int64_t roundHalfEven(double value)
{
    return static_cast<std::int64_t>(std::nearbyint(value));
}
