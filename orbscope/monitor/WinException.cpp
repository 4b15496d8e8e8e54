#include "WinException.h"

#include <cstdarg>
#include <cstdio>
#include <new>
#include <utility>

namespace {
// Room for the longest message the program formats (registry paths and
// value names are far shorter).
constexpr int kFormatBufferSize = 1024;

[[noreturn]] void OutOfMemory() { throw WinException("Out of memory"); }
}  // namespace

WinException::WinException(std::string message) : code_(GetLastError()), message_(std::move(message)) {}

WinException::WinException(DWORD code, std::string message) : code_(code), message_(std::move(message)) {}

WinException WinException::Formatted(const char* format, ...) {
  const DWORD code = GetLastError();
  char buffer[kFormatBufferSize];
  va_list args;
  va_start(args, format);
  std::vsnprintf(buffer, sizeof buffer, format, args);
  va_end(args);
  return WinException(code, buffer);
}

void InstallOutOfMemoryHandler() { std::set_new_handler(OutOfMemory); }
