// The FFT library on FFTW 3. One plan per size and direction, made on first
// use and kept for the life of the library. FFTW's planner is not
// thread-safe, so planning happens under a mutex; the plans are then run with
// FFTW's new-array execute functions, which any number of threads may call
// at once. The caller's split real/imaginary arrays are packed into an
// aligned per-thread interleaved buffer: FFTW's SIMD kernels want
// interleaved data, and the copy also frees the caller from FFTW's alignment
// and in-place rules.

#include "FFT.h"

#include <fftw3.h>

#include <algorithm>
#include <cstddef>
#include <limits>
#include <map>
#include <mutex>
#include <new>
#include <utility>

namespace {

// Sizes up to this are planned with FFTW_MEASURE (a one-off cost of a few
// hundred milliseconds for 4096 points, repaid on every later call); larger
// or unusual sizes are planned by estimate so a first call never stalls.
constexpr unsigned kMeasureLimit = 1u << 16;

bool IsPowerOfTwo(unsigned n) { return n != 0 && (n & (n - 1)) == 0; }

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

// Plans by (size, sign). Plans live until the library is unloaded.
template <class T>
class PlanCache {
 public:
  PlanCache() = default;
  PlanCache(const PlanCache&) = delete;
  PlanCache& operator=(const PlanCache&) = delete;
  ~PlanCache() {
    std::lock_guard lock(mutex_);
    for (auto& entry : plans_) T::Destroy(entry.second);
  }

  // The plan for n points in the direction sign, made on first request;
  // null when FFTW cannot plan (for example out of memory).
  typename T::Plan Get(unsigned n, int sign) {
    std::lock_guard lock(mutex_);
    const auto key = std::make_pair(n, sign);
    if (auto it = plans_.find(key); it != plans_.end()) return it->second;
    // FFTW_MEASURE overwrites the arrays it plans on, so it plans on its own.
    ComplexBuffer<T> in(n);
    ComplexBuffer<T> out(n);
    if (in.Size() != n || out.Size() != n) return nullptr;
    const unsigned flags = (n <= kMeasureLimit && IsPowerOfTwo(n)) ? FFTW_MEASURE : FFTW_ESTIMATE;
    typename T::Plan plan = T::MakePlan(static_cast<int>(n), in.Data(), out.Data(), sign, flags);
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

// The calling thread's interleaved input and output buffers, grown on demand.
template <class T>
struct Scratch {
  ComplexBuffer<T> in;
  ComplexBuffer<T> out;

  bool Reserve(std::size_t n) {
    if (in.Size() >= n) return true;
    ComplexBuffer<T> newIn(n);
    ComplexBuffer<T> newOut(n);
    if (newIn.Size() != n || newOut.Size() != n) return false;
    in = std::move(newIn);
    out = std::move(newOut);
    return true;
  }
};

template <class T>
Scratch<T>& ThreadScratch() {
  thread_local Scratch<T> scratch;
  return scratch;
}

template <class T>
int Transform(unsigned n, int inverse, const typename T::Real* realIn, const typename T::Real* imagIn,
              typename T::Real* realOut, typename T::Real* imagOut) noexcept {
  if (n == 0 || !realIn || !imagIn || !realOut || !imagOut) return -1;
  // FFTW takes the size as an int.
  if (n > static_cast<unsigned>(std::numeric_limits<int>::max())) return -1;
  try {
    typename T::Plan plan = Plans<T>().Get(n, inverse ? FFTW_BACKWARD : FFTW_FORWARD);
    Scratch<T>& scratch = ThreadScratch<T>();
    if (!plan || !scratch.Reserve(n)) return -2;
    typename T::Complex* in = scratch.in.Data();
    typename T::Complex* out = scratch.out.Data();
    for (unsigned i = 0; i < n; ++i) {
      in[i][0] = realIn[i];
      in[i][1] = imagIn[i];
    }
    T::Execute(plan, in, out);
    for (unsigned i = 0; i < n; ++i) {
      realOut[i] = out[i][0];
      imagOut[i] = out[i][1];
    }
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
