#include "SpectrumKernels.h"

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#endif

#include <cmath>
#include <cstring>

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
using D8 = double __attribute__((vector_size(64)));
using D16 = double __attribute__((vector_size(128)));
using U8 = std::uint64_t __attribute__((vector_size(64)));

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

constexpr double kLn2 = 0.69314718055994530942;
constexpr double kTenOverLn10 = 4.3429448190325182765;  // 10 / ln(10)

// The natural logarithm of eight positive normal doubles to about 1e-15
// relative: p = 2^e x m with m in [sqrt(1/2), sqrt(2)), and
// ln m = 2 atanh(s) = 2 (s + s^3/3 + s^5/5 + ...), s = (m - 1) / (m + 1),
// |s| <= 0.172. The series has no cancellation near m = 1, so levels just
// above 0 dB keep their full relative precision. Its terms are summed in
// pairs (Estrin), which keeps the chain of dependent operations short.
HALDEN_INLINE void Log(const D8& p, D8& ln) {
  // Offset that moves mantissas at or above sqrt(2) into the next exponent.
  constexpr std::uint64_t kSqrtHalfOffset = 0x00095F619980C433ull;
  constexpr std::uint64_t kMantissa = 0x000FFFFFFFFFFFFFull;
  constexpr std::uint64_t kOneBits = 0x3FF0000000000000ull;
  constexpr std::uint64_t kExponentMagic = 0x4330000000000000ull;  // 2^52 as a double
  const U8 bits = __builtin_bit_cast(U8, p) + kSqrtHalfOffset;
  const D8 e = __builtin_bit_cast(D8, (bits >> 52) | kExponentMagic) - (4503599627370496.0 + 1023.0);
  const D8 m = __builtin_bit_cast(D8, ((bits & kMantissa) - kSqrtHalfOffset) + kOneBits);
  const D8 s = (m - 1.0) / (m + 1.0);
  const D8 z = s * s;
  const D8 z2 = z * z;
  const D8 z4 = z2 * z2;
  const D8 series = (1.0 + z * (1.0 / 3)) + z2 * (1.0 / 5 + z * (1.0 / 7)) +
                    z4 * ((1.0 / 9 + z * (1.0 / 11)) + z2 * (1.0 / 13 + z * (1.0 / 15)) + z4 * (1.0 / 17));
  ln = e * kLn2 + 2.0 * s * series;
}

inline float DecibelsOne(float re, float im) {
  const double power = static_cast<double>(re) * re + static_cast<double>(im) * im;
  return power > 1.0 ? static_cast<float>(kTenOverLn10 * std::log(power)) : 0.0f;
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
  std::size_t i = 0;
  for (; i + 8 <= count; i += 8) {
    F8 re8, im8;
    Load(re8, re + i);
    Load(im8, im + i);
    const D8 r = __builtin_convertvector(re8, D8);
    const D8 q = __builtin_convertvector(im8, D8);
    const D8 power = r * r + q * q;
    // Zero bins give a large negative value here, which the floor removes.
    D8 ln;
    Log(power, ln);
    const D8 level = kTenOverLn10 * ln;
    Store(y + i, __builtin_convertvector(power > 1.0 ? level : 0.0, F8));
  }
  for (; i < count; ++i) y[i] = DecibelsOne(re[i], im[i]);
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
