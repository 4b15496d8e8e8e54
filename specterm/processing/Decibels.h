#pragma once

// Power of transform bins in dB.

#include <cstddef>

namespace specterm {

// y[i] = 10 x log10(re[i]^2 + im[i]^2), the power summed in double
// precision, with 0 for a zero bin and for any value below 0 dB. The result
// equals the straightforward double computation rounded to a single.
void PowerToDecibels(const float* re, const float* im, float* y, std::size_t count);

}  // namespace specterm
