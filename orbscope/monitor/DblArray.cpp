#include "DblArray.h"

#include "WinException.h"

#include <algorithm>

CDblArray::CDblArray() : data_(std::make_unique<double[]>(kInitialCapacity)) {}

int CDblArray::Add(double value) {
  if (count_ >= capacity_) {
    // Grow by half plus one: 16, 25, 38, 58, 88, ...
    const int grown = static_cast<int>(capacity_ * 1.5 + 1);
    auto bigger = std::make_unique<double[]>(grown);
    std::copy(data_.get(), data_.get() + count_, bigger.get());
    data_ = std::move(bigger);
    capacity_ = grown;
  }
  data_[count_] = value;
  if (count_ == 0) {
    minimum_ = maximum_ = value;
  } else {
    minimum_ = std::min(minimum_, value);
    maximum_ = std::max(maximum_, value);
  }
  return count_++;
}

double CDblArray::Item(int index) const {
  if (index < 0 || index >= count_)
    throw WinException::Formatted("CDblArray: %d out of bounds, max = %d", index, count_);
  return data_[index];
}

void CDblArray::DeleteLast() {
  if (count_ == 0) throw WinException("CDblArray: DeleteLast() on empty array");
  data_[--count_] = 0.0;
  minimum_ = maximum_ = 0.0;
  if (count_ > 0) {
    const auto [lo, hi] = std::minmax_element(data_.get(), data_.get() + count_);
    minimum_ = *lo;
    maximum_ = *hi;
  }
}
