#pragma once

// A growable 8-bit text, always NUL-terminated. Its buffer is exactly as
// large as a new text needs and is reused by assignments that fit.

#include <cstddef>
#include <memory>

class CTextBuf {
 public:
  CTextBuf();
  explicit CTextBuf(const char* text);
  // At most maxLength characters of text.
  CTextBuf(const char* text, int maxLength);
  CTextBuf(const CTextBuf& other);
  ~CTextBuf() = default;

  CTextBuf& operator=(const char* text);
  CTextBuf& operator=(const CTextBuf& other);
  CTextBuf& operator+=(const char* text);
  CTextBuf& operator+=(const CTextBuf& other) { return *this += other.Text(); }

  friend CTextBuf operator+(const CTextBuf& left, const char* right);
  friend CTextBuf operator+(const CTextBuf& left, const CTextBuf& right);

  // Positions count from 0.
  CTextBuf Left(int n) const;
  CTextBuf Right(int n) const;
  CTextBuf Mid(int pos, int count) const;
  // Position of the first occurrence, or -1; an empty text is found at 0.
  int Find(const char* text) const;
  // Position of the last occurrence of c, or -1.
  int ReverseFind(char c) const;

  const char* Text() const { return buffer_.get(); }
  int Length() const { return static_cast<int>(length_); }
  // Buffer size including the terminator.
  int Capacity() const { return static_cast<int>(capacity_); }
  bool IsEmpty() const { return length_ == 0; }

 private:
  void Assign(const char* text, std::size_t length);

  std::size_t length_ = 0;
  std::size_t capacity_ = 0;
  std::unique_ptr<char[]> buffer_;
};
