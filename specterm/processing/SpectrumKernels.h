#pragma once

// The inner loops of a block's processing, vectorised: sample decoding,
// windowing, the conversion of bins to dB, the frequencies of the points,
// the extremes of a row and the video average and peak hold. Each gives
// exactly the result of its plain scalar form; on x86-64 an AVX2 variant is
// chosen at load time where the processor has it.

#include <cstddef>
#include <cstdint>

namespace specterm {

// out[i] = the sample value of bytes[i]: b for b < 128, else b - 255.5.
void DecodeSamples(const std::uint8_t* bytes, float* out, std::size_t count);

// outI[i] = inI[i] x weights[i] and outQ[i] = inQ[i] x weights[i], formed
// in double and stored as singles; both sections in one pass over the
// weights.
void ApplyWeights(const float* inI, const float* inQ, const double* weights, float* outI, float* outQ,
                  std::size_t count);

// y[i] = 10 x log10(re[i]^2 + im[i]^2), the power summed in double
// precision, with 0 for a zero bin and for any level below 0 dB. The result
// is the straightforward double computation rounded to a single.
void PowerToDecibels(const float* re, const float* im, float* y, std::size_t count);

// x[i] = (fractions[i] x rate + centre) x scale, in double, stored as a
// single.
void ScaleFrequencies(const double* fractions, double rate, double centre, double scale, float* x, std::size_t count);

// The smallest and largest of count >= 1 values, none of them NaN.
void MinMax(const float* values, std::size_t count, float& lowest, float& highest);

// average[i] = keep x average[i] + add x y[i], in double, stored as a single.
void BlendInto(float* average, const float* y, double keep, double add, std::size_t count);

// peak[i] = y[i] where it is greater.
void MaxInto(float* peak, const float* y, std::size_t count);

}  // namespace specterm
