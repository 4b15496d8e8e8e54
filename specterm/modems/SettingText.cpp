#include "modems/SettingText.h"

#include <QLocale>
#include <QString>

#include <charconv>
#include <cmath>
#include <limits>

namespace specterm {
namespace {

// Every single the settings write reads back, the largest included.
constexpr double kLargestSingle = std::numeric_limits<float>::max();

std::string Trimmed(const std::string& text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return std::string();
  const auto last = text.find_last_not_of(" \t");
  return text.substr(first, last - first + 1);
}

bool ParseNeutralDouble(const std::string& text, double& value) {
  const std::string t = Trimmed(text);
  if (t.empty()) return false;
  const char* begin = t.data();
  if (*begin == '+') ++begin;
  const auto [end, ec] = std::from_chars(begin, t.data() + t.size(), value);
  return ec == std::errc() && end == t.data() + t.size() && std::isfinite(value);
}

}  // namespace

int IntegerSetting(const std::string& text, int defaultValue) {
  double value = 0;
  if (!ParseNeutralDouble(text, value) || value != std::floor(value) || std::abs(value) > 2147483647.0)
    return defaultValue;
  return static_cast<int>(value);
}

float SingleSetting(const std::string& text, float defaultValue) {
  double value = 0;
  if (!ParseNeutralDouble(text, value) || std::abs(value) > kLargestSingle) return defaultValue;
  return static_cast<float>(value);
}

bool BooleanSetting(const std::string& text, bool defaultValue) {
  const QString t = QString::fromStdString(Trimmed(text));
  if (t.compare(QStringLiteral("True"), Qt::CaseInsensitive) == 0) return true;
  if (t.compare(QStringLiteral("False"), Qt::CaseInsensitive) == 0) return false;
  double value = 0;
  if (ParseNeutralDouble(text, value)) return value != 0;
  return defaultValue;
}

std::uint32_t ColorSetting(const std::string& text, std::uint32_t defaultValue) {
  double value = 0;
  if (!ParseNeutralDouble(text, value) || value != std::floor(value) || value < 0 || value > 0xFFFFFF)
    return defaultValue;
  return static_cast<std::uint32_t>(value);
}

float LocaleSingleSetting(const std::string& text, float defaultValue) {
  bool ok = false;
  const double value = QLocale::system().toDouble(QString::fromStdString(Trimmed(text)), &ok);
  if (ok && std::isfinite(value) && std::abs(value) <= kLargestSingle) return static_cast<float>(value);
  return SingleSetting(text, defaultValue);
}

std::string BooleanText(bool value) { return value ? "True" : "False"; }

std::string SingleText(float value) {
  char buffer[64];
  const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
  if (ec != std::errc()) return "0";
  return std::string(buffer, end);
}

std::string LocaleNumberText(float value) {
  QLocale locale = QLocale::system();
  locale.setNumberOptions(QLocale::OmitGroupSeparator);
  return locale.toString(static_cast<double>(value), 'f', QLocale::FloatingPointShortest).toStdString();
}

std::string ColorText(std::uint32_t color) { return std::to_string(color & 0xFFFFFF); }

}  // namespace specterm
