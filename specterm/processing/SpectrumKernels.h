#pragma once

// The three inner loops of a block's processing, vectorised: sample
// decoding, windowing and the conversion of bins to dB. Each gives exactly
// the result of its plain scalar form; on x86-64 an AVX2 variant is chosen
// at load time where the processor has it.

#include <cstddef>
#include <cstdint>

namespace specterm {

// out[i] = the sample value of bytes[i]: b for b < 128, else b - 255.5.
void DecodeSamples(const std::uint8_t* bytes, float* out, std::size_t count);

// out[i] = in[i] x weights[i], formed in double and stored as a single.
void ApplyWeights(const float* in, const double* weights, float* out, std::size_t count);

// y[i] = 10 x log10(re[i]^2 + im[i]^2), the power summed in double
// precision, with 0 for a zero bin and for any level below 0 dB. The result
// is the straightforward double computation rounded to a single.
void PowerToDecibels(const float* re, const float* im, float* y, std::size_t count);

}  // namespace specterm
