#include "engine/FilterLevels.h"

#include <cmath>

std::optional<int32_t> LevelFromFilter(double value)
{
    const double scaled = value * 100.0;
    if (!std::isfinite(scaled))
        return std::nullopt;
    // Ties go to the even neighbour whatever the floating-point rounding mode is.
    double whole = std::floor(scaled);
    const double fraction = scaled - whole;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(whole, 2.0) != 0.0))
        whole += 1.0;
    if (whole < INT32_MIN || whole > INT32_MAX)
        return std::nullopt;
    return static_cast<int32_t>(whole);
}
