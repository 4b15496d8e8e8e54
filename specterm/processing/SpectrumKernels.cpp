#include "SpectrumKernels.h"

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#endif

#include <cmath>
#include <cstring>
#include <limits>

// Each kernel is compiled three times (AVX-512, AVX2 and baseline) and one
// is chosen at load time. The loops work on eight or sixteen values at a
// time, so that the AVX-512 variant fills its registers; the narrower
// variants split the same operations, which gives the same results: nothing
// is contracted into fused multiply-adds and every operation rounds as its
// scalar form does.
//
// Vector values never cross a call: an unoptimised build calls helpers out
// of line, and a helper compiled for the baseline passes a vector
// differently from the vector code that calls it (Debug builds computed
// garbage and crashed that way). The helpers take and give vectors through
// references only and are always inlined, and bit casts use the builtin
// (std::bit_cast is a function); the compiler's -Wpsabi warning stays on to
// catch a vector passed by value.

#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
#define HALDEN_SIMD_CLONES __attribute__((target_clones("avx512f", "avx2", "default")))
// AVX-512 brings fused multiply-adds, which GCC would otherwise form from
// a x b + c in C++ and so round differently from the other variants.
#pragma GCC optimize("fp-contract=off")
#else
#define HALDEN_SIMD_CLONES
#endif

namespace specterm {

namespace {

using F8 = float __attribute__((vector_size(32)));
using F16 = float __attribute__((vector_size(64)));
using D16 = double __attribute__((vector_size(128)));
using U16 = std::uint32_t __attribute__((vector_size(64)));
using I16 = std::int32_t __attribute__((vector_size(64)));

#define HALDEN_INLINE [[gnu::always_inline]] inline

template <class V>
HALDEN_INLINE void Load(V& v, const void* p) {
  std::memcpy(&v, p, sizeof v);
}

template <class V>
HALDEN_INLINE void Store(void* p, const V& v) {
  std::memcpy(p, &v, sizeof v);
}

inline float DecodeOne(std::uint8_t b) {
  // b - 255.5 for b >= 128 is (b - 256) + 0.5: the signed byte plus a half.
  const float v = static_cast<float>(static_cast<std::int8_t>(b));
  return v < 0.0f ? v + 0.5f : v;
}

// 10 x log10(2), split so that an exponent (at most 9 bits) times the high
// part is exact in single precision.
constexpr float kDecibelsPerOctaveHigh = 3.01025390625f;  // 0x4040A800: 11 low mantissa bits clear
constexpr float kDecibelsPerOctaveLow = static_cast<float>(3.0102999566398119521 - 3.01025390625);
constexpr float kTwentyOverLn10 = 8.6858896380650365530f;  // 2 x 10 / ln(10)

// 10 x log10(p) for sixteen positive normal singles, to a few units in the
// last place of the result: p = 2^e x m with m in [sqrt(1/2), sqrt(2)), and
// ln m = 2 atanh(s) = 2 (s + s^3/3 + s^5/5 + ...), s = (m - 1) / (m + 1),
// |s| <= 0.172, whose terms from s^11 on are below a single's precision. The
// series has no cancellation near m = 1, so levels just above 0 dB keep
// their relative precision. Other inputs give some finite value.
HALDEN_INLINE void Decibels(const F16& p, F16& level) {
  constexpr std::uint32_t kSqrtHalfBits = 0x3F3504F3u;
  constexpr std::uint32_t kOffset = 0x3F800000u - kSqrtHalfBits;  // mantissas >= sqrt(2) to the next exponent
  constexpr std::uint32_t kMantissa = 0x007FFFFFu;
  const U16 bits = __builtin_bit_cast(U16, p) + kOffset;
  const F16 e = __builtin_convertvector(__builtin_bit_cast(I16, bits >> 23) - 127, F16);
  const F16 m = __builtin_bit_cast(F16, (bits & kMantissa) + kSqrtHalfBits);
  const F16 s = (m - 1.0f) / (m + 1.0f);
  const F16 z = s * s;
  const F16 z2 = z * z;
  const F16 series = (1.0f + z * (1.0f / 3)) + z2 * ((1.0f / 5 + z * (1.0f / 7)) + z2 * (1.0f / 9));
  level = e * kDecibelsPerOctaveHigh + (e * kDecibelsPerOctaveLow + s * (kTwentyOverLn10 * series));
}

// Sixteen bins' levels, with 0 dB for a zero bin and below 0 dB; peak
// keeps the largest power seen.
HALDEN_INLINE void DecibelsOf(const float* re, const float* im, float* y, F16& peak) {
  F16 r, q;
  Load(r, re);
  Load(q, im);
  const F16 power = r * r + q * q;
  F16 level;
  Decibels(power, level);
  Store(y, power > 1.0f ? level : 0.0f);
  peak = power > peak ? power : peak;
}

void DecodeSamplesPlain(const std::uint8_t* bytes, float* out, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) out[i] = DecodeOne(bytes[i]);
}

#if defined(__x86_64__) && defined(__GNUC__)
// The compiler widens bytes to 32-bit lanes poorly from portable vector
// code, so the decoder is written with the processor's own instructions.
__attribute__((target("avx512f"))) void DecodeSamplesAvx512(const std::uint8_t* bytes, float* out, std::size_t count) {
  const __m512 zero = _mm512_setzero_ps();
  const __m512 half = _mm512_set1_ps(0.5f);
  std::size_t i = 0;
  for (; i + 16 <= count; i += 16) {
    const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + i));
    // The zero-masked forms: GCC 12 warns of an uninitialised operand in the
    // plain ones.
    const __m512 v = _mm512_maskz_cvtepi32_ps(0xFFFF, _mm512_maskz_cvtepi8_epi32(0xFFFF, b));
    const __mmask16 negative = _mm512_cmp_ps_mask(v, zero, _CMP_LT_OQ);
    _mm512_storeu_ps(out + i, _mm512_mask_add_ps(v, negative, v, half));
  }
  DecodeSamplesPlain(bytes + i, out + i, count - i);
}

__attribute__((target("avx2"))) void DecodeSamplesAvx2(const std::uint8_t* bytes, float* out, std::size_t count) {
  const __m256 zero = _mm256_setzero_ps();
  const __m256 half = _mm256_set1_ps(0.5f);
  std::size_t i = 0;
  for (; i + 8 <= count; i += 8) {
    const __m128i b = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(bytes + i));
    const __m256 v = _mm256_cvtepi32_ps(_mm256_cvtepi8_epi32(b));
    _mm256_storeu_ps(out + i, _mm256_blendv_ps(v, _mm256_add_ps(v, half), _mm256_cmp_ps(v, zero, _CMP_LT_OQ)));
  }
  DecodeSamplesPlain(bytes + i, out + i, count - i);
}
#endif

}  // namespace

void DecodeSamples(const std::uint8_t* bytes, float* out, std::size_t count) {
#if defined(__x86_64__) && defined(__GNUC__)
  static const bool avx512 = __builtin_cpu_supports("avx512f");
  static const bool avx2 = __builtin_cpu_supports("avx2");
  if (avx512) return DecodeSamplesAvx512(bytes, out, count);
  if (avx2) return DecodeSamplesAvx2(bytes, out, count);
#endif
  DecodeSamplesPlain(bytes, out, count);
}

HALDEN_SIMD_CLONES void ApplyWeights(const float* inI, const float* inQ, const double* weights, float* outI,
                                     float* outQ, std::size_t count) {
  std::size_t i = 0;
  for (; i + 16 <= count; i += 16) {
    F16 a, b;
    D16 w;
    Load(a, inI + i);
    Load(b, inQ + i);
    Load(w, weights + i);
    Store(outI + i, __builtin_convertvector(__builtin_convertvector(a, D16) * w, F16));
    Store(outQ + i, __builtin_convertvector(__builtin_convertvector(b, D16) * w, F16));
  }
  for (; i < count; ++i) {
    outI[i] = static_cast<float>(static_cast<double>(inI[i]) * weights[i]);
    outQ[i] = static_cast<float>(static_cast<double>(inQ[i]) * weights[i]);
  }
}

HALDEN_SIMD_CLONES void PowerToDecibels(const float* re, const float* im, float* y, std::size_t count) {
  F16 peak = {};
  std::size_t i = 0;
  for (; i + 16 <= count; i += 16) DecibelsOf(re + i, im + i, y + i, peak);
  if (i < count) {
    // The tail through the same arithmetic, padded with zero bins.
    float tailRe[16] = {}, tailIm[16] = {}, tailY[16];
    std::memcpy(tailRe, re + i, (count - i) * sizeof(float));
    std::memcpy(tailIm, im + i, (count - i) * sizeof(float));
    DecibelsOf(tailRe, tailIm, tailY, peak);
    std::memcpy(y + i, tailY, (count - i) * sizeof(float));
  }
  // A power beyond the single range (no transform of the modem's samples
  // comes near it) is taken in double precision.
  float highest = 0;
  for (int k = 0; k < 16; ++k) highest = peak[k] > highest ? peak[k] : highest;
  if (highest <= std::numeric_limits<float>::max()) return;
  for (i = 0; i < count; ++i) {
    if (re[i] * re[i] + im[i] * im[i] > std::numeric_limits<float>::max())
      y[i] = static_cast<float>(10.0 *
                                std::log10(static_cast<double>(re[i]) * re[i] + static_cast<double>(im[i]) * im[i]));
  }
}

HALDEN_SIMD_CLONES void ScaleFrequencies(const double* fractions, double rate, double centre, double scale, float* x,
                                         std::size_t count) {
  std::size_t i = 0;
  for (; i + 16 <= count; i += 16) {
    D16 f;
    Load(f, fractions + i);
    Store(x + i, __builtin_convertvector((f * rate + centre) * scale, F16));
  }
  for (; i < count; ++i) x[i] = static_cast<float>((fractions[i] * rate + centre) * scale);
}

HALDEN_SIMD_CLONES void MinMax(const float* values, std::size_t count, float& lowest, float& highest) {
  float low = values[0];
  float high = values[0];
  std::size_t i = 0;
  if (count >= 16) {
    F16 lo, hi;
    Load(lo, values);
    hi = lo;
    for (i = 16; i + 16 <= count; i += 16) {
      F16 v;
      Load(v, values + i);
      lo = v < lo ? v : lo;
      hi = v > hi ? v : hi;
    }
    for (int k = 0; k < 16; ++k) {
      low = lo[k] < low ? lo[k] : low;
      high = hi[k] > high ? hi[k] : high;
    }
  }
  for (; i < count; ++i) {
    low = values[i] < low ? values[i] : low;
    high = values[i] > high ? values[i] : high;
  }
  lowest = low;
  highest = high;
}

HALDEN_SIMD_CLONES void BlendInto(float* average, const float* y, double keep, double add, std::size_t count) {
  std::size_t i = 0;
  for (; i + 16 <= count; i += 16) {
    F16 a, v;
    Load(a, average + i);
    Load(v, y + i);
    const D16 blend = keep * __builtin_convertvector(a, D16) + add * __builtin_convertvector(v, D16);
    Store(average + i, __builtin_convertvector(blend, F16));
  }
  for (; i < count; ++i)
    average[i] = static_cast<float>(keep * static_cast<double>(average[i]) + add * static_cast<double>(y[i]));
}

HALDEN_SIMD_CLONES void MaxInto(float* peak, const float* y, std::size_t count) {
  std::size_t i = 0;
  for (; i + 16 <= count; i += 16) {
    F16 p, v;
    Load(p, peak + i);
    Load(v, y + i);
    Store(peak + i, v > p ? v : p);
  }
  for (; i < count; ++i) peak[i] = y[i] > peak[i] ? y[i] : peak[i];
}

}  // namespace specterm
