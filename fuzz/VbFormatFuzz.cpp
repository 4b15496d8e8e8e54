// Val() of what the user types, and Format() of any value with any pattern
// (patterns come from code, values from the modem and the user).

#include "FuzzInput.h"
#include "vbformat/VbFormat.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text = fuzz::Text(data, size);
  const double typed = vb::Val(text);
  if (std::isnan(typed)) std::abort();

  // The first eight bytes are a value, the rest a pattern.
  double value = typed;
  std::string_view pattern = text;
  if (size >= sizeof value) {
    std::memcpy(&value, data, sizeof value);
    pattern.remove_prefix(sizeof value);
  }
  (void)vb::Format(value, pattern);
  (void)vb::FormatSingle(static_cast<float>(value), pattern);
  (void)vb::FormatText(pattern, pattern);
  vb::DateTime date;
  if (size >= 6) {
    date.year = 1900 + data[0] * 2;
    date.month = 1 + data[1] % 12;
    date.day = 1 + data[2] % 28;
    date.hour = data[3] % 24;
    date.minute = data[4] % 60;
    date.second = data[5] % 60;
  }
  (void)vb::FormatDate(date, pattern);
  const std::string shortForm = vb::ShortSingle(static_cast<float>(value));
  if (shortForm.empty()) std::abort();
  (void)vb::StrSingle(static_cast<float>(typed));
  (void)vb::StrLong(static_cast<std::int32_t>(size) - 100);
  return 0;
}
