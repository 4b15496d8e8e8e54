#pragma once

// Run-time access to the FFT library (libFFT.so). The library is opened with
// dlopen from the folder of the running program, on first use; a missing
// file or function is reported as an error text naming the file, never a
// crash. Loaded libraries stay open while any FftLibrary object refers to
// them.

#include "fftlib/FFT.h"

#include <memory>
#include <string>

namespace specterm {

class FftLibrary {
 public:
  // The outcome of opening a library: Library is set on success, otherwise
  // Error says what went wrong, naming the file.
  struct Loaded {
    std::shared_ptr<const FftLibrary> Library;
    std::string Error;
    explicit operator bool() const { return Library != nullptr; }
  };

  // The file name of the library, as installed beside the programs.
  static constexpr const char* kFileName = "libFFT.so";

  // libFFT.so in the folder of the running executable, opened on the first
  // call and shared afterwards. A failed attempt is tried again by the next
  // call, so a library copied in later is found without a restart.
  // Thread-safe.
  static Loaded Shared();

  // Opens the library at path (each call opens it anew).
  static Loaded Open(const std::string& path);

  // The folder of the running executable (no trailing "/").
  static std::string ExecutableFolder();

  const std::string& Path() const { return path_; }

  // The library's functions (see fftlib/FFT.h).
  int FftFloat(unsigned n, int inverse, const float* realIn, const float* imagIn, float* realOut,
               float* imagOut) const {
    return fftFloat_(n, inverse, realIn, imagIn, realOut, imagOut);
  }
  int FftDouble(unsigned n, int inverse, const double* realIn, const double* imagIn, double* realOut,
                double* imagOut) const {
    return fftDouble_(n, inverse, realIn, imagIn, realOut, imagOut);
  }
  double IndexToFrequency(unsigned n, unsigned index) const { return indexToFrequency_(n, index); }

  ~FftLibrary();
  FftLibrary(const FftLibrary&) = delete;
  FftLibrary& operator=(const FftLibrary&) = delete;

 private:
  FftLibrary() = default;

  struct HandleCloser {
    void operator()(void* handle) const;
  };

  std::string path_;
  std::unique_ptr<void, HandleCloser> handle_;
  decltype(&fft_float) fftFloat_ = nullptr;
  decltype(&fft_double) fftDouble_ = nullptr;
  decltype(&Index_to_frequency) indexToFrequency_ = nullptr;
};

}  // namespace specterm
