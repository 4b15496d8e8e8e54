#include "SpectrumKernels.h"

#include <cmath>
#include <cstring>

// Each kernel is compiled twice (AVX2 and baseline) and one is chosen at load
// time. Vector values therefore never cross a call: an unoptimised build
// calls helpers out of line, and a helper compiled for the baseline passes a
// vector differently from the AVX2 code that calls it (Debug builds computed
// garbage and crashed that way). The helpers take and give vectors through
// references only and are always inlined, and bit casts use the builtin
// (std::bit_cast is a function); the compiler's -Wpsabi warning stays on to
// catch a vector passed by value.

#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
#define HALDEN_SIMD_CLONES __attribute__((target_clones("avx2", "default")))
#else
#define HALDEN_SIMD_CLONES
#endif

namespace specterm {

namespace {

using F4 = float __attribute__((vector_size(16)));
using D4 = double __attribute__((vector_size(32)));
using U4 = std::uint64_t __attribute__((vector_size(32)));
using U8x16 = std::uint8_t __attribute__((vector_size(16)));
using U32x4 = std::uint32_t __attribute__((vector_size(16)));
using F8 = float __attribute__((vector_size(32)));
using D8 = double __attribute__((vector_size(64)));

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

// The natural logarithm of four positive normal doubles to about 1e-15
// relative: p = 2^e x m with m in [sqrt(1/2), sqrt(2)), and
// ln m = 2 atanh(s) = 2 (s + s^3/3 + s^5/5 + ...), s = (m - 1) / (m + 1),
// |s| <= 0.172. The series has no cancellation near m = 1, so levels just
// above 0 dB keep their full relative precision.
HALDEN_INLINE void Log(const D4& p, D4& ln) {
  // Offset that moves mantissas at or above sqrt(2) into the next exponent.
  constexpr std::uint64_t kSqrtHalfOffset = 0x00095F619980C433ull;
  constexpr std::uint64_t kMantissa = 0x000FFFFFFFFFFFFFull;
  constexpr std::uint64_t kOneBits = 0x3FF0000000000000ull;
  constexpr std::uint64_t kExponentMagic = 0x4330000000000000ull;  // 2^52 as a double
  const U4 bits = __builtin_bit_cast(U4, p) + kSqrtHalfOffset;
  const D4 e = __builtin_bit_cast(D4, (bits >> 52) | kExponentMagic) - (4503599627370496.0 + 1023.0);
  const D4 m = __builtin_bit_cast(D4, ((bits & kMantissa) - kSqrtHalfOffset) + kOneBits);
  const D4 s = (m - 1.0) / (m + 1.0);
  const D4 z = s * s;
  const D4 series =
      1.0 +
      z * (1.0 / 3 +
           z * (1.0 / 5 + z * (1.0 / 7 + z * (1.0 / 9 + z * (1.0 / 11 + z * (1.0 / 13 + z * (1.0 / 15 + z / 17)))))));
  ln = e * kLn2 + 2.0 * s * series;
}

inline float DecibelsOne(float re, float im) {
  const double power = static_cast<double>(re) * re + static_cast<double>(im) * im;
  return power > 1.0 ? static_cast<float>(kTenOverLn10 * std::log(power)) : 0.0f;
}

// Four bytes zero-extended to 32 bits become floats through the mantissa of
// 2^23: the bits 0x4B0000bb are the float 8388608 + bb.
HALDEN_INLINE void DecodeFour(const U8x16& widened, float* out) {
  constexpr std::uint32_t kTwoTo23Bits = 0x4B000000u;
  constexpr float kTwoTo23 = 8388608.0f;
  const F4 b = __builtin_bit_cast(F4, __builtin_bit_cast(U32x4, widened) | kTwoTo23Bits) - kTwoTo23;
  Store(out, b < 128.0f ? b : b - 255.5f);
}

}  // namespace

HALDEN_SIMD_CLONES void DecodeSamples(const std::uint8_t* bytes, float* out, std::size_t count) {
  const U8x16 zero{};
  std::size_t i = 0;
  for (; i + 16 <= count; i += 16) {
    U8x16 v;
    Load(v, bytes + i);
    DecodeFour(__builtin_shufflevector(v, zero, 0, 16, 16, 16, 1, 16, 16, 16, 2, 16, 16, 16, 3, 16, 16, 16), out + i);
    DecodeFour(__builtin_shufflevector(v, zero, 4, 16, 16, 16, 5, 16, 16, 16, 6, 16, 16, 16, 7, 16, 16, 16),
               out + i + 4);
    DecodeFour(__builtin_shufflevector(v, zero, 8, 16, 16, 16, 9, 16, 16, 16, 10, 16, 16, 16, 11, 16, 16, 16),
               out + i + 8);
    DecodeFour(__builtin_shufflevector(v, zero, 12, 16, 16, 16, 13, 16, 16, 16, 14, 16, 16, 16, 15, 16, 16, 16),
               out + i + 12);
  }
  for (; i < count; ++i) out[i] = DecodeOne(bytes[i]);
}

HALDEN_SIMD_CLONES void ApplyWeights(const float* in, const double* weights, float* out, std::size_t count) {
  std::size_t i = 0;
  for (; i + 8 <= count; i += 8) {
    F8 samples;
    D8 w;
    Load(samples, in + i);
    Load(w, weights + i);
    const D8 product = __builtin_convertvector(samples, D8) * w;
    Store(out + i, __builtin_convertvector(product, F8));
  }
  for (; i < count; ++i) out[i] = static_cast<float>(static_cast<double>(in[i]) * weights[i]);
}

HALDEN_SIMD_CLONES void PowerToDecibels(const float* re, const float* im, float* y, std::size_t count) {
  std::size_t i = 0;
  for (; i + 4 <= count; i += 4) {
    F4 re4, im4;
    Load(re4, re + i);
    Load(im4, im + i);
    const D4 r = __builtin_convertvector(re4, D4);
    const D4 q = __builtin_convertvector(im4, D4);
    const D4 power = r * r + q * q;
    // Zero bins give a large negative value here, which the floor removes.
    D4 ln;
    Log(power, ln);
    const D4 level = kTenOverLn10 * ln;
    Store(y + i, __builtin_convertvector(power > 1.0 ? level : 0.0, F4));
  }
  for (; i < count; ++i) y[i] = DecibelsOne(re[i], im[i]);
}

}  // namespace specterm
