// The settings texts of the analyzer's settings file and the dates of its
// modem directory: whatever a user or another program left there reads as
// a value in range or as the default, and what is written reads back.

#include "FuzzInput.h"
#include "modems/DateText.h"
#include "modems/SettingText.h"

#include <QCoreApplication>
#include <QLocale>

#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

bool SameBits(float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace specterm;
  const std::string text(fuzz::Text(data, size));

  constexpr float kDefault = 12.5F;
  const int integer = IntegerSetting(text, -3);
  if (integer != -3 && IntegerSetting(std::to_string(integer), 0) != integer) std::abort();
  for (const float single : {SingleSetting(text, kDefault), LocaleSingleSetting(text, kDefault)})
    if (!std::isfinite(single)) std::abort();
  if (ColorSetting(text, 0x123456) > 0xFFFFFF) std::abort();
  (void)BooleanSetting(text, true);

  // The first four bytes as a number: its text reads back as the same number.
  if (size >= sizeof(float)) {
    float value = 0;
    std::memcpy(&value, data, sizeof value);
    if (std::isfinite(value)) {
      if (!SameBits(SingleSetting(SingleText(value), kDefault), value)) std::abort();
      if (LocaleSingleSetting(LocaleNumberText(value), kDefault) != value) std::abort();
    }
  }

  // Any text reads as a date, and the text of that date reads back as it.
  static const QLocale locales[] = {QLocale::c(), QLocale(QLocale::German, QLocale::Germany),
                                    QLocale(QLocale::English, QLocale::UnitedStates)};
  const QLocale& locale = locales[size % std::size(locales)];
  const vb::DateTime date = DateFromText(text, locale);
  if (!SameDate(DateFromText(DateToText(date, locale), locale), date)) std::abort();
  return 0;
}
