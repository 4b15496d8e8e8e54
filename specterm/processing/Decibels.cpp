#include "Decibels.h"

#include <cmath>

namespace specterm {

void PowerToDecibels(const float* re, const float* im, float* y, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) {
    const double power = static_cast<double>(re[i]) * re[i] + static_cast<double>(im[i]) * im[i];
    // Below 1 the level is negative and the floor applies; this also covers
    // the zero bins, which have no logarithm.
    y[i] = power > 1.0 ? static_cast<float>(10.0 * (std::log(power) / std::log(10.0))) : 0.0f;
  }
}

}  // namespace specterm
