#pragma once
// Levels and switches as the outside filters take them: a level is the property divided by
// 100, a surround effect's switch is -1 or 0.
#include <cstdint>
#include <optional>

inline double LevelToFilter(int32_t level) { return level / 100.0; }
inline float LevelToEffect(int32_t level) { return static_cast<float>(level / 100.0); }

// The filter's value times 100, rounded to nearest with ties to even; nothing for a value
// that is no number or does not fit a 32-bit level.
std::optional<int32_t> LevelFromFilter(double value);

inline int32_t ClampLevel(int32_t value, int32_t low, int32_t high)
{
    return value < low ? low : value > high ? high : value;
}

inline int32_t SwitchToEffect(bool on) { return on ? -1 : 0; }
inline bool SwitchFromEffect(int32_t value) { return value != 0; }
