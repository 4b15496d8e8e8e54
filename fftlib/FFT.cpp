// The FFT library on FFTW 3. One plan per size and direction, made on first
// use and kept for the life of the library. FFTW's planner is not
// thread-safe, so planning happens under a mutex; the plans are then run with
// FFTW's new-array execute functions, which any number of threads may call
// at once. The caller's split real/imaginary arrays are packed into an
// aligned per-thread interleaved buffer: FFTW's SIMD kernels want
// interleaved data, and the copy also frees the caller from FFTW's alignment
// and in-place rules. Measured for 4096 points (specterm_processing_bench):
// a split-array guru plan on the caller's arrays costs about 1.7 times the
// interleaved transform, the two copies about 0.2 times it, and an in-place
// plan on one buffer more than the out-of-place one.

#include "FFT.h"

#include <fftw3.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <limits>
#include <map>
#include <mutex>
#include <new>
#include <utility>

namespace {

// Every plan is made by estimate. A measured plan picks its algorithm by
// timing trial runs, so two processes could transform the same block with
// different algorithms and disagree in the last digit of an export; an
// estimated plan is the same in every process on a machine.
constexpr unsigned kPlannerFlags = FFTW_ESTIMATE;

// The two FFTW precisions behind one interface.
struct SingleTraits {
  using Real = float;
  using Complex = fftwf_complex;
  using Plan = fftwf_plan;
  static Complex* Alloc(std::size_t n) { return fftwf_alloc_complex(n); }
  static void Free(void* p) { fftwf_free(p); }
  static Plan MakePlan(int n, Complex* in, Complex* out, int sign, unsigned flags) {
    return fftwf_plan_dft_1d(n, in, out, sign, flags);
  }
  static void Execute(Plan p, Complex* in, Complex* out) { fftwf_execute_dft(p, in, out); }
  static void Destroy(Plan p) { fftwf_destroy_plan(p); }
  static void Cleanup() { fftwf_cleanup(); }
};

struct DoubleTraits {
  using Real = double;
  using Complex = fftw_complex;
  using Plan = fftw_plan;
  static Complex* Alloc(std::size_t n) { return fftw_alloc_complex(n); }
  static void Free(void* p) { fftw_free(p); }
  static Plan MakePlan(int n, Complex* in, Complex* out, int sign, unsigned flags) {
    return fftw_plan_dft_1d(n, in, out, sign, flags);
  }
  static void Execute(Plan p, Complex* in, Complex* out) { fftw_execute_dft(p, in, out); }
  static void Destroy(Plan p) { fftw_destroy_plan(p); }
  static void Cleanup() { fftw_cleanup(); }
};

// An FFTW-allocated (SIMD-aligned) array of complex values.
template <class T>
class ComplexBuffer {
 public:
  ComplexBuffer() = default;
  explicit ComplexBuffer(std::size_t n) : data_(T::Alloc(n)), size_(data_ ? n : 0) {}
  ~ComplexBuffer() {
    if (data_) T::Free(data_);
  }
  ComplexBuffer(ComplexBuffer&& other) noexcept
      : data_(std::exchange(other.data_, nullptr)), size_(std::exchange(other.size_, 0)) {}
  ComplexBuffer& operator=(ComplexBuffer&& other) noexcept {
    std::swap(data_, other.data_);
    std::swap(size_, other.size_);
    return *this;
  }
  ComplexBuffer(const ComplexBuffer&) = delete;
  ComplexBuffer& operator=(const ComplexBuffer&) = delete;

  typename T::Complex* Data() const { return data_; }
  std::size_t Size() const { return size_; }

 private:
  typename T::Complex* data_ = nullptr;
  std::size_t size_ = 0;
};

// Plans by (size, sign). Plans live until the library is unloaded; then
// they and FFTW's planner memory are freed, since FFTW's own library may be
// unloaded with ours and its memory would be lost for the rest of the
// process.
template <class T>
class PlanCache {
 public:
  PlanCache() = default;
  PlanCache(const PlanCache&) = delete;
  PlanCache& operator=(const PlanCache&) = delete;
  ~PlanCache() {
    std::lock_guard lock(mutex_);
    for (auto& entry : plans_) T::Destroy(entry.second);
    T::Cleanup();
  }

  // The plan for n points in the direction sign, made on first request;
  // null when FFTW cannot plan (for example out of memory).
  typename T::Plan Get(unsigned n, int sign) {
    std::lock_guard lock(mutex_);
    const auto key = std::make_pair(n, sign);
    if (auto it = plans_.find(key); it != plans_.end()) return it->second;
    // The planner may write to the arrays it plans on, so it gets its own.
    ComplexBuffer<T> in(n);
    ComplexBuffer<T> out(n);
    if (in.Size() != n || out.Size() != n) return nullptr;
    typename T::Plan plan = T::MakePlan(static_cast<int>(n), in.Data(), out.Data(), sign, kPlannerFlags);
    if (plan) plans_.emplace(key, plan);
    return plan;
  }

 private:
  std::mutex mutex_;
  std::map<std::pair<unsigned, int>, typename T::Plan> plans_;
};

template <class T>
PlanCache<T>& Plans() {
  static PlanCache<T> cache;
  return cache;
}

// The calling thread's interleaved input and output buffers, grown on
// demand, and the plan it used last: a block after block of one size then
// finds its plan without taking the cache's lock. Plans live as long as the
// cache, so the remembered one stays valid.
template <class T>
struct Scratch {
  ComplexBuffer<T> in;
  ComplexBuffer<T> out;
  unsigned planSize = 0;
  int planSign = 0;
  typename T::Plan plan = nullptr;

  bool Reserve(std::size_t n) {
    if (in.Size() >= n) return true;
    ComplexBuffer<T> newIn(n);
    ComplexBuffer<T> newOut(n);
    if (newIn.Size() != n || newOut.Size() != n) return false;
    in = std::move(newIn);
    out = std::move(newOut);
    return true;
  }

  typename T::Plan PlanFor(unsigned n, int sign) {
    if (plan && planSize == n && planSign == sign) return plan;
    plan = Plans<T>().Get(n, sign);
    planSize = n;
    planSign = sign;
    return plan;
  }
};

template <class T>
Scratch<T>& ThreadScratch() {
  thread_local Scratch<T> scratch;
  return scratch;
}

// Packing of split arrays into interleaved complex values and back, eight
// (single) or four (double) at a time.
//
// The loops are compiled twice (AVX2 and baseline) and one is chosen at load
// time. Vector values therefore never cross a call: an unoptimised build
// calls helpers out of line, and a helper compiled for the baseline passes a
// 32-byte vector differently from the AVX2 code that calls it (Debug builds
// computed garbage that way). The helpers move vectors through memory only
// and are always inlined; the compiler's -Wpsabi warning stays on to catch a
// vector passed by value.

#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
#define FFT_SIMD_CLONES __attribute__((target_clones("avx2", "default")))
#else
#define FFT_SIMD_CLONES
#endif

using F8 = float __attribute__((vector_size(32)));
using D4 = double __attribute__((vector_size(32)));

template <class V>
[[gnu::always_inline]] inline void Load(V& v, const void* p) {
  std::memcpy(&v, p, sizeof v);
}

template <class V>
[[gnu::always_inline]] inline void Store(void* p, const V& v) {
  std::memcpy(p, &v, sizeof v);
}

FFT_SIMD_CLONES void Pack(const float* re, const float* im, fftwf_complex* out, std::size_t n) {
  float* o = &out[0][0];
  std::size_t i = 0;
  for (; i + 8 <= n; i += 8) {
    F8 r, q;
    Load(r, re + i);
    Load(q, im + i);
    Store(o + 2 * i, __builtin_shufflevector(r, q, 0, 8, 1, 9, 2, 10, 3, 11));
    Store(o + 2 * i + 8, __builtin_shufflevector(r, q, 4, 12, 5, 13, 6, 14, 7, 15));
  }
  for (; i < n; ++i) {
    out[i][0] = re[i];
    out[i][1] = im[i];
  }
}

FFT_SIMD_CLONES void Unpack(const fftwf_complex* in, float* re, float* im, std::size_t n) {
  const float* p = &in[0][0];
  std::size_t i = 0;
  for (; i + 8 <= n; i += 8) {
    F8 a, b;
    Load(a, p + 2 * i);
    Load(b, p + 2 * i + 8);
    Store(re + i, __builtin_shufflevector(a, b, 0, 2, 4, 6, 8, 10, 12, 14));
    Store(im + i, __builtin_shufflevector(a, b, 1, 3, 5, 7, 9, 11, 13, 15));
  }
  for (; i < n; ++i) {
    re[i] = in[i][0];
    im[i] = in[i][1];
  }
}

FFT_SIMD_CLONES void Pack(const double* re, const double* im, fftw_complex* out, std::size_t n) {
  double* o = &out[0][0];
  std::size_t i = 0;
  for (; i + 4 <= n; i += 4) {
    D4 r, q;
    Load(r, re + i);
    Load(q, im + i);
    Store(o + 2 * i, __builtin_shufflevector(r, q, 0, 4, 1, 5));
    Store(o + 2 * i + 4, __builtin_shufflevector(r, q, 2, 6, 3, 7));
  }
  for (; i < n; ++i) {
    out[i][0] = re[i];
    out[i][1] = im[i];
  }
}

FFT_SIMD_CLONES void Unpack(const fftw_complex* in, double* re, double* im, std::size_t n) {
  const double* p = &in[0][0];
  std::size_t i = 0;
  for (; i + 4 <= n; i += 4) {
    D4 a, b;
    Load(a, p + 2 * i);
    Load(b, p + 2 * i + 4);
    Store(re + i, __builtin_shufflevector(a, b, 0, 2, 4, 6));
    Store(im + i, __builtin_shufflevector(a, b, 1, 3, 5, 7));
  }
  for (; i < n; ++i) {
    re[i] = in[i][0];
    im[i] = in[i][1];
  }
}

template <class T>
int Transform(unsigned n, int inverse, const typename T::Real* realIn, const typename T::Real* imagIn,
              typename T::Real* realOut, typename T::Real* imagOut) noexcept {
  if (n == 0 || !realIn || !imagIn || !realOut || !imagOut) return -1;
  // FFTW takes the size as an int.
  if (n > static_cast<unsigned>(std::numeric_limits<int>::max())) return -1;
  try {
    Scratch<T>& scratch = ThreadScratch<T>();
    typename T::Plan plan = scratch.PlanFor(n, inverse ? FFTW_BACKWARD : FFTW_FORWARD);
    if (!plan || !scratch.Reserve(n)) return -2;
    typename T::Complex* in = scratch.in.Data();
    typename T::Complex* out = scratch.out.Data();
    Pack(realIn, imagIn, in, n);
    T::Execute(plan, in, out);
    Unpack(out, realOut, imagOut, n);
    return 0;
  } catch (...) {
    // Nothing may cross the C boundary as an exception.
    return -2;
  }
}

}  // namespace

extern "C" {

int fft_float(unsigned n, int inverse, const float* realIn, const float* imagIn, float* realOut, float* imagOut) {
  return Transform<SingleTraits>(n, inverse, realIn, imagIn, realOut, imagOut);
}

int fft_double(unsigned n, int inverse, const double* realIn, const double* imagIn, double* realOut, double* imagOut) {
  return Transform<DoubleTraits>(n, inverse, realIn, imagIn, realOut, imagOut);
}

double Index_to_frequency(unsigned n, unsigned index) {
  if (n == 0) return 0.0;
  const double size = static_cast<double>(n);
  if (index <= n / 2) return static_cast<double>(index) / size;
  return -(size - static_cast<double>(index)) / size;
}

}  // extern "C"
