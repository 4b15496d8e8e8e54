#pragma once

// A growable array of doubles that keeps the minimum and maximum of its
// elements. Emptying keeps the buffer, so a constellation read refills the
// same memory every second.

#include <memory>

class CDblArray {
 public:
  static constexpr int kInitialCapacity = 16;

  CDblArray();
  CDblArray(const CDblArray&) = delete;
  CDblArray& operator=(const CDblArray&) = delete;
  virtual ~CDblArray() = default;

  // Appends value and returns its position.
  int Add(double value);
  // Throws WinException "CDblArray: %d out of bounds, max = %d" outside 0..count-1.
  double Item(int index) const;
  double operator[](int index) const { return Item(index); }
  // Throws WinException on an empty array.
  virtual void DeleteLast();
  void Empty() { count_ = 0; }

  int Count() const { return count_; }
  int Capacity() const { return capacity_; }
  double Minimum() const { return minimum_; }
  double Maximum() const { return maximum_; }
  // The elements, Count() of them, for routines that walk the whole array.
  const double* Data() const { return data_.get(); }

 private:
  int capacity_ = kInitialCapacity;
  int count_ = 0;
  std::unique_ptr<double[]> data_;
  double minimum_ = 0.0;
  double maximum_ = 0.0;
};
