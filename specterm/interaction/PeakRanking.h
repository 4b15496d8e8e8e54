#pragma once

// The ranking behind the peak moves. There is no local-maximum test: the
// points of one trace row are ranked by amplitude, and the "peaks" are the
// points in that order, lowest to highest. Points are 1-based; 0 means
// none. Amplitudes are compared as singles, with -32000 and 32000 standing
// for minus and plus infinity.

#include <cstdint>
#include <span>

namespace specterm {

// The highest point strictly below the start point's amplitude, scanning
// from the start to the last point and on from the first; ties keep the
// first in scan order. Without a start (0) it is the highest point (the
// lowest index among equal maxima). When nothing qualifies, the start.
std::int32_t GetNextHighest(std::span<const float> amplitudes, std::int32_t start = 0);

// The lowest point strictly above the start point's amplitude, in the same
// scan order; ties keep the last in scan order. At the top, or without a
// start, the highest point.
std::int32_t GetPreviousHighest(std::span<const float> amplitudes, std::int32_t start = 0);

// The lowest point at or above the threshold; ties keep the lowest index.
// When no point reaches the threshold, the highest point.
std::int32_t GetLowest(std::span<const float> amplitudes, float minPeakThreshold);

}  // namespace specterm
