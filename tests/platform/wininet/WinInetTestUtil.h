#pragma once

// Helpers of the WinINet layer tests.

#include "wininet/WinInet.h"

#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace wininettest {

// Closes a handle at the end of a test unless it was released.
class Handle {
 public:
  explicit Handle(HINTERNET h = nullptr) : h_(h) {}
  ~Handle() {
    if (h_ != nullptr) InternetCloseHandle(h_);
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  HINTERNET get() const { return h_; }
  HINTERNET release() {
    HINTERNET h = h_;
    h_ = nullptr;
    return h;
  }
  explicit operator bool() const { return h_ != nullptr; }

 private:
  HINTERNET h_;
};

// The 64-bit size of a found file.
inline std::uint64_t SizeOf(const WIN32_FIND_DATAA& d) { return (std::uint64_t{d.nFileSizeHigh} << 32) | d.nFileSizeLow; }

inline std::string RandomBytes(std::size_t n, unsigned seed = 7) {
  std::mt19937 gen(seed);
  std::string s(n, '\0');
  for (char& c : s) c = static_cast<char>(gen() & 0xFF);
  return s;
}

// Reads a file handle to its end with reads of the given size; the size of
// each non-empty piece goes to pieces. Bytes that come with a failed read
// are kept too.
inline bool ReadAll(HINTERNET file, DWORD chunk, std::string& data, std::vector<DWORD>* pieces = nullptr) {
  std::vector<char> buffer(chunk);
  for (;;) {
    DWORD got = 0;
    const BOOL ok = InternetReadFile(file, buffer.data(), chunk, &got);
    data.append(buffer.data(), got);
    if (!ok) return false;
    if (got == 0) return true;
    if (pieces != nullptr) pieces->push_back(got);
  }
}

inline std::string LastResponse(DWORD* error = nullptr) {
  DWORD code = 0;
  char buffer[4096];
  DWORD length = sizeof buffer;
  if (!InternetGetLastResponseInfoA(&code, buffer, &length)) return "<failed>";
  if (error != nullptr) *error = code;
  return std::string(buffer, length);
}

}  // namespace wininettest
