#pragma once
// Truncation of host values toward zero that is defined for every input: not-a-number gives 0, and
// values beyond the target type stop at its limits.

#include <cmath>
#include <cstdint>
#include <limits>

inline std::int32_t truncateToInt32(double value) {
    if (std::isnan(value)) return 0;
    if (value >= 2147483648.0) return std::numeric_limits<std::int32_t>::max();
    if (value <= -2147483649.0) return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(value);
}

inline std::uint32_t truncateToUint32(float value) {
    if (std::isnan(value) || value <= -1.0f) return 0;
    if (value >= 4294967296.0f) return std::numeric_limits<std::uint32_t>::max();
    return static_cast<std::uint32_t>(value);
}
