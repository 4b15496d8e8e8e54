// The download loop of the FTP session (ReadFromFile) against a transfer
// source that the input drives: pieces of any length, a failure at any
// point, a count larger than what was asked, a source that never ends.
// What is kept is a prefix of what came, never more than the limit, and
// the limit is reported exactly when more came.

#include "FuzzInput.h"
#include "link/FTP_Server.h"

#include <algorithm>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 4) return 0;
  // Buffer size (as SIZE reported it, possibly negative or huge) and limit.
  const std::int32_t bufferSize = static_cast<std::int8_t>(data[0]) * 1031;
  const std::int32_t limit = data[1] << 8 | data[2];
  std::size_t next = 4;
  std::size_t sent = 0;  // bytes the source put into buffers
  const bool endless = data[3] & 0x80;

  const auto source = [&](char* buffer, DWORD asked, DWORD& count) -> BOOL {
    count = 0;
    if (asked == 0) std::abort();  // a read must ask for something
    if (next >= size) {
      if (!endless) return TRUE;  // the end of the file
      count = asked;              // a source that never ends
    } else {
      const std::uint8_t step = data[next++];
      if (step == 0xFF) return FALSE;  // a failed read
      count = step & 0x80 ? asked + step : step * 37 % (asked + 1);
    }
    const DWORD written = std::min<DWORD>(count, asked);
    for (DWORD i = 0; i < written; ++i) buffer[i] = static_cast<char>((sent + i) * 131 >> 3);
    sent += written;
    return TRUE;
  };

  std::string kept = "x";  // what was read before stays
  const bool reached = FTP_Server::ReadPieces(source, bufferSize, limit, kept);
  const std::size_t taken = kept.size() - 1;
  if (kept[0] != 'x' || taken > static_cast<std::size_t>(std::max(limit, 0))) std::abort();
  for (std::size_t i = 0; i < taken; ++i)
    if (kept[1 + i] != static_cast<char>(i * 131 >> 3)) std::abort();
  if (reached ? sent <= taken : sent != taken) std::abort();
  return 0;
}
