#include "WaterfallHistory.h"

#include <algorithm>
#include <atomic>
#include <cmath>

namespace specterm {
namespace {

std::uint64_t NextSerial() {
  static std::atomic<std::uint64_t> serial{0};
  return ++serial;
}

}  // namespace

void RowFromTrace(const TraceStore::Row& xs, const TraceStore::Row& ys, float spanScale, WaterfallRow& row) {
  // The negative half of the transform holds the lower frequencies.
  std::copy(ys.begin() + kPositiveBins, ys.end(), row.Levels.begin());
  std::copy(ys.begin(), ys.begin() + kPositiveBins, row.Levels.begin() + (kPointCount - kPositiveBins));
  const double scale = spanScale > 0 ? static_cast<double>(spanScale) : 1.0;
  const double lowest = xs[kPositiveBins];
  const double highest = xs[kPositiveBins - 1];
  row.FirstFreq = lowest / scale;
  const double step = (highest - lowest) / static_cast<double>(kPointCount - 1) / scale;
  row.FreqStep = std::isfinite(step) && std::isfinite(row.FirstFreq) ? step : 0.0;
}

WaterfallHistory::WaterfallHistory(std::size_t capacity)
    : capacity_(std::max<std::size_t>(capacity, 1)), serial_(NextSerial()) {}

WaterfallRow& WaterfallHistory::PushNewest() {
  ++added_;
  if (rows_.size() < capacity_) {
    // Growing, the rows stay in push order: the newest is the last.
    rows_.emplace_back();
    newest_ = rows_.size() - 1;
    return rows_.back();
  }
  newest_ = (newest_ + 1) % capacity_;
  return rows_[newest_];
}

const WaterfallRow& WaterfallHistory::Row(std::size_t age) const {
  const std::size_t n = rows_.size();
  return rows_[(newest_ + n - age % n) % n];
}

void WaterfallHistory::Clear() {
  rows_.clear();
  newest_ = 0;
  added_ = 0;
  serial_ = NextSerial();
}

}  // namespace specterm
