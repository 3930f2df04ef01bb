// What the stages check before a call to the host: every number finite.
// Input from the reader is finite; scaling can still overflow it.
#pragma once

#include "Convert.h"

#include <cmath>
#include <cstddef>

// The counts the stages add to (ConversionError.cpp).
ConversionCounts& ConversionCountsToFill();

inline bool AllFinite(const double* v, std::size_t n) {
    for (std::size_t i = 0; i < n; i++)
        if (!std::isfinite(v[i])) return false;
    return true;
}

// True when v holds only finite numbers; otherwise counts one thing left out.
inline bool SendableOrCounted(const double* v, std::size_t n) {
    if (AllFinite(v, n)) return true;
    ConversionCountsToFill().nonFinite++;
    return false;
}
