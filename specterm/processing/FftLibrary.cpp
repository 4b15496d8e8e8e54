#include "FftLibrary.h"

#include <dlfcn.h>
#include <unistd.h>

#include <mutex>
#include <vector>

namespace specterm {

void FftLibrary::HandleCloser::operator()(void* handle) const {
  if (handle) dlclose(handle);
}

FftLibrary::~FftLibrary() = default;

std::string FftLibrary::ExecutableFolder() {
  std::vector<char> buffer(4096);
  for (;;) {
    const ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (length < 0) return ".";
    if (static_cast<std::size_t>(length) < buffer.size()) {
      const std::string path(buffer.data(), static_cast<std::size_t>(length));
      const std::size_t slash = path.rfind('/');
      if (slash == std::string::npos) return ".";
      return slash == 0 ? std::string("/") : path.substr(0, slash);
    }
    buffer.resize(buffer.size() * 2);
  }
}

FftLibrary::Loaded FftLibrary::Open(const std::string& path) {
  // dlerror() is per thread in glibc; clear any stale text first.
  dlerror();
  void* raw = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!raw) {
    const char* why = dlerror();
    return {nullptr, "The FFT library " + path +
                         " could not be loaded: " + (why ? std::string(why) : std::string("unknown error")) + "."};
  }
  std::shared_ptr<FftLibrary> library(new FftLibrary());
  library->path_ = path;
  library->handle_.reset(raw);

  std::string missing;
  auto find = [&](const char* name) -> void* {
    dlerror();
    void* symbol = dlsym(raw, name);
    if (!symbol) missing += (missing.empty() ? "" : ", ") + std::string(name);
    return symbol;
  };
  library->fftFloat_ = reinterpret_cast<decltype(&fft_float)>(find("fft_float"));
  library->fftDouble_ = reinterpret_cast<decltype(&fft_double)>(find("fft_double"));
  library->indexToFrequency_ = reinterpret_cast<decltype(&Index_to_frequency)>(find("Index_to_frequency"));
  if (!missing.empty()) return {nullptr, "The FFT library " + path + " lacks the function(s) " + missing + "."};
  return {std::move(library), {}};
}

FftLibrary::Loaded FftLibrary::Shared() {
  static std::mutex mutex;
  static std::shared_ptr<const FftLibrary> shared;
  std::lock_guard lock(mutex);
  if (shared) return {shared, {}};
  Loaded loaded = Open(ExecutableFolder() + "/" + kFileName);
  if (loaded) shared = loaded.Library;
  return loaded;
}

}  // namespace specterm
