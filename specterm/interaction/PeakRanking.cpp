#include "interaction/PeakRanking.h"

namespace specterm {
namespace {

constexpr float kMinusInfinity = -32000.0f;
constexpr float kPlusInfinity = 32000.0f;

std::int32_t Count(std::span<const float> amplitudes) { return static_cast<std::int32_t>(amplitudes.size()); }

// The amplitude of a 1-based point.
float At(std::span<const float> amplitudes, std::int32_t point) {
  return amplitudes[static_cast<std::size_t>(point - 1)];
}

// Calls visit for the points from start to the last, then from the first
// to start - 1; from the first to the last without a start.
template <class Visit>
void Scan(std::span<const float> amplitudes, std::int32_t start, Visit visit) {
  const std::int32_t n = Count(amplitudes);
  const std::int32_t first = start >= 1 && start <= n ? start : 1;
  for (std::int32_t i = first; i <= n; ++i) visit(i);
  for (std::int32_t i = 1; i < first; ++i) visit(i);
}

bool ValidStart(std::span<const float> amplitudes, std::int32_t start) {
  return start >= 1 && start <= Count(amplitudes);
}

}  // namespace

std::int32_t GetNextHighest(std::span<const float> amplitudes, std::int32_t start) {
  const bool hasStart = ValidStart(amplitudes, start);
  const float reference = hasStart ? At(amplitudes, start) : kPlusInfinity;
  std::int32_t result = hasStart ? start : 0;
  float best = kMinusInfinity;
  Scan(amplitudes, hasStart ? start : 0, [&](std::int32_t i) {
    const float a = At(amplitudes, i);
    if (a > best && a < reference) {
      best = a;
      result = i;
    }
  });
  return result;
}

std::int32_t GetPreviousHighest(std::span<const float> amplitudes, std::int32_t start) {
  if (!ValidStart(amplitudes, start)) return GetNextHighest(amplitudes);
  const float reference = At(amplitudes, start);
  const std::int32_t highest = GetNextHighest(amplitudes);
  float best = highest >= 1 ? At(amplitudes, highest) : kMinusInfinity;
  std::int32_t result = 0;
  Scan(amplitudes, start, [&](std::int32_t i) {
    const float a = At(amplitudes, i);
    if (a <= best && a > reference) {
      best = a;
      result = i;
    }
  });
  return result != 0 ? result : highest;
}

std::int32_t GetLowest(std::span<const float> amplitudes, float minPeakThreshold) {
  std::int32_t result = GetNextHighest(amplitudes);
  if (result < 1) return result;
  float best = At(amplitudes, result);
  for (std::int32_t i = 1; i <= Count(amplitudes); ++i) {
    const float a = At(amplitudes, i);
    if (a < best && a >= minPeakThreshold) {
      best = a;
      result = i;
    }
  }
  return result;
}

}  // namespace specterm
