#include "TextBuf.h"

#include <algorithm>
#include <cstring>
#include <string_view>

namespace {
std::size_t BoundedLength(const char* text, int maxLength) {
  if (text == nullptr || maxLength <= 0) return 0;
  const void* end = std::memchr(text, '\0', static_cast<std::size_t>(maxLength));
  return end == nullptr ? static_cast<std::size_t>(maxLength)
                        : static_cast<std::size_t>(static_cast<const char*>(end) - text);
}
}  // namespace

CTextBuf::CTextBuf() : capacity_(1), buffer_(std::make_unique<char[]>(1)) {}

CTextBuf::CTextBuf(const char* text) : CTextBuf(text, text == nullptr ? 0 : static_cast<int>(std::strlen(text))) {}

CTextBuf::CTextBuf(const char* text, int maxLength) {
  length_ = BoundedLength(text, maxLength);
  capacity_ = length_ + 1;
  buffer_ = std::make_unique<char[]>(capacity_);
  if (length_ > 0) std::memcpy(buffer_.get(), text, length_);
  buffer_[length_] = '\0';
}

CTextBuf::CTextBuf(const CTextBuf& other) : CTextBuf(other.Text(), other.Length()) {}

void CTextBuf::Assign(const char* text, std::size_t length) {
  if (length + 1 > capacity_) {
    auto bigger = std::make_unique<char[]>(length + 1);
    std::memcpy(bigger.get(), text, length);
    buffer_ = std::move(bigger);
    capacity_ = length + 1;
  } else {
    // memmove: the text may be a part of this buffer.
    std::memmove(buffer_.get(), text, length);
  }
  length_ = length;
  buffer_[length_] = '\0';
}

CTextBuf& CTextBuf::operator=(const char* text) {
  Assign(text == nullptr ? "" : text, text == nullptr ? 0 : std::strlen(text));
  return *this;
}

CTextBuf& CTextBuf::operator=(const CTextBuf& other) {
  if (this != &other) Assign(other.Text(), other.length_);
  return *this;
}

CTextBuf& CTextBuf::operator+=(const char* text) {
  if (text == nullptr) return *this;
  const std::size_t added = std::strlen(text);
  if (length_ + added + 1 > capacity_) {
    auto bigger = std::make_unique<char[]>(length_ + added + 1);
    std::memcpy(bigger.get(), buffer_.get(), length_);
    std::memcpy(bigger.get() + length_, text, added);
    buffer_ = std::move(bigger);
    capacity_ = length_ + added + 1;
  } else {
    std::memmove(buffer_.get() + length_, text, added);
  }
  length_ += added;
  buffer_[length_] = '\0';
  return *this;
}

CTextBuf operator+(const CTextBuf& left, const char* right) {
  CTextBuf result(left);
  result += right;
  return result;
}

CTextBuf operator+(const CTextBuf& left, const CTextBuf& right) { return left + right.Text(); }

CTextBuf CTextBuf::Left(int n) const {
  if (n <= 0) return CTextBuf();
  return CTextBuf(Text(), std::min(n, Length()));
}

CTextBuf CTextBuf::Right(int n) const {
  if (n <= 0) return CTextBuf();
  const int count = std::min(n, Length());
  return CTextBuf(Text() + (Length() - count), count);
}

CTextBuf CTextBuf::Mid(int pos, int count) const {
  if (pos < 0 || pos > Length() || count <= 0) return CTextBuf();
  return CTextBuf(Text() + pos, std::min(count, Length() - pos));
}

int CTextBuf::Find(const char* text) const {
  if (text == nullptr) return -1;
  const std::size_t at = std::string_view(Text(), length_).find(text);
  return at == std::string_view::npos ? -1 : static_cast<int>(at);
}

int CTextBuf::ReverseFind(char c) const {
  const std::size_t at = std::string_view(Text(), length_).rfind(c);
  return at == std::string_view::npos ? -1 : static_cast<int>(at);
}
