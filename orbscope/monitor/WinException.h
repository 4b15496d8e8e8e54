#pragma once

// The program's exception type: the last error at the moment of the throw
// and a message. Thrown by value, caught by reference; only the window
// procedure and the program entry catch it.

#include "base/WinBase.h"

#include <string>

class WinException {
 public:
  // The error code is GetLastError() of the throwing thread.
  explicit WinException(std::string message);
  WinException(DWORD code, std::string message);

  // A message formatted into a buffer first, printf-style.
  static WinException Formatted(const char* format, ...) __attribute__((format(printf, 1, 2)));

  DWORD Code() const { return code_; }
  const std::string& Message() const { return message_; }

 private:
  DWORD code_;
  std::string message_;
};

// Throws WinException("Out of memory") when an allocation fails.
void InstallOutOfMemoryHandler();
