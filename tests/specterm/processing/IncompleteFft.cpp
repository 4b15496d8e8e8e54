// An FFT library missing one of its functions (Index_to_frequency).

extern "C" {

__attribute__((visibility("default"))) int fft_float(unsigned, int, const float*, const float*, float*, float*) {
  return 0;
}

__attribute__((visibility("default"))) int fft_double(unsigned, int, const double*, const double*, double*, double*) {
  return 0;
}

}  // extern "C"
