#pragma once

// The FFT library's C interface. Specterm loads libFFT.so at run time and
// looks these three functions up by name, so their names and signatures are
// fixed.
//
// fft_float / fft_double: complex discrete Fourier transform of n samples
// given as separate real and imaginary arrays. Forward (inverse = 0) uses
// the kernel e^(-j*2*pi*n*k/N); inverse (inverse != 0) uses e^(+j*2*pi*n*k/N).
// Neither direction is normalised. Output bin k holds the component at k
// cycles per N samples. Input and output arrays may be the same (in place).
// Returns 0 on success, and a non-zero value (leaving the outputs untouched)
// when n is 0, a pointer is null or memory runs out. Safe to call from any
// thread at any time.
//
// Index_to_frequency: the frequency of bin `index` of an n-point transform as
// a signed fraction of the sampling rate: index / n for index <= n / 2, else
// -(n - index) / n. Returns 0 for n = 0.

#if defined(FFT_BUILDING_LIBRARY)
#define FFT_API __attribute__((visibility("default")))
#else
#define FFT_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

FFT_API int fft_float(unsigned n, int inverse, const float* realIn, const float* imagIn, float* realOut,
                      float* imagOut);
FFT_API int fft_double(unsigned n, int inverse, const double* realIn, const double* imagIn, double* realOut,
                       double* imagOut);
FFT_API double Index_to_frequency(unsigned n, unsigned index);

#ifdef __cplusplus
}
#endif
