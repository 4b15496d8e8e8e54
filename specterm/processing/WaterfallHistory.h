#pragma once

// The waterfall's memory: the current trace of the last data sets, newest
// first, each with its time. Rows hold their levels in frequency order on an
// even frequency axis of their own, in units of 0.1 MHz, so that a data set
// of another band or scale keeps its place when the view's scale changes.
// Older rows scroll out when the history is full.

#include "SpectrumConstants.h"
#include "TraceStore.h"

#include <array>
#include <cstdint>
#include <vector>

namespace specterm {

// An hour of data sets at one per 3 s; about 9.6 MB of rows.
inline constexpr std::size_t kWaterfallHistoryRows = 1200;

struct WaterfallRow {
  std::int64_t TimeMs = 0;                  // arrival, milliseconds since 1970-01-01 UTC
  std::int64_t Source = -1;                 // the record of a recording it was made from; -1 for the modem
  double FirstFreq = 0;                     // frequency of the lowest point, 0.1 MHz units
  double FreqStep = 0;                      // between neighbouring points; not above 0 for a row without data
  std::array<float, kPointCount> Levels{};  // dB, lowest frequency first
};

// Fills a row from the x and dB of a trace row in transform order (the
// positive-frequency points first, then the negative ones) whose x carries
// spanScale.
void RowFromTrace(const TraceStore::Row& xs, const TraceStore::Row& ys, float spanScale, WaterfallRow& row);

class WaterfallHistory {
 public:
  explicit WaterfallHistory(std::size_t capacity = kWaterfallHistoryRows);

  std::size_t Capacity() const { return capacity_; }
  std::size_t Size() const { return rows_.size(); }
  bool Empty() const { return rows_.empty(); }

  // The place of a new newest row, to be filled by the caller; when the
  // history is full it is the oldest row's place.
  WaterfallRow& PushNewest();
  // By age: 0 is the newest row, Size() - 1 the oldest.
  const WaterfallRow& Row(std::size_t age) const;
  const WaterfallRow& Newest() const { return Row(0); }
  void Clear();

  // Rows pushed since this history was made or cleared.
  std::uint64_t Added() const { return added_; }
  // Different for every history made or cleared in the program's run: a
  // picture of the rows tells by it that it was handed other rows.
  std::uint64_t Serial() const { return serial_; }

 private:
  std::vector<WaterfallRow> rows_;  // grows to the capacity, then a ring
  std::size_t capacity_;
  std::size_t newest_ = 0;  // index of the newest row in rows_
  std::uint64_t added_ = 0;
  std::uint64_t serial_;
};

}  // namespace specterm
