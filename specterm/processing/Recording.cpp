#include "Recording.h"

#include "filemap/FileMap.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace specterm {
namespace {

constexpr std::size_t kVersionOffset = 8;
constexpr std::size_t kHeaderLengthOffset = 10;
constexpr std::size_t kBlockLengthOffset = 12;

template <class T>
void PutLittle(char* to, T value) {
  for (std::size_t i = 0; i < sizeof(T); ++i)
    to[i] = static_cast<char>((static_cast<std::uint64_t>(value) >> (8 * i)) & 0xFF);
}

template <class T>
T GetLittle(const unsigned char* from) {
  std::uint64_t value = 0;
  for (std::size_t i = 0; i < sizeof(T); ++i) value |= static_cast<std::uint64_t>(from[i]) << (8 * i);
  return static_cast<T>(value);
}

// Writes all of data, going on after interruptions and partial writes.
bool WriteAll(int fd, const char* data, std::size_t size) {
  while (size > 0) {
    const ssize_t n = ::write(fd, data, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

std::string Reason() { return std::strerror(errno); }

// Why the file layer could not open a file.
std::string OpenFailure(DWORD error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
      return "the file does not exist";
    case ERROR_ACCESS_DENIED:
      return "the file cannot be read (no permission, or a folder)";
    default:
      return "the file cannot be opened (error " + std::to_string(error) + ")";
  }
}

}  // namespace

bool StartsAsRecording(std::string_view bytes) { return bytes.substr(0, kRecordingMagic.size()) == kRecordingMagic; }

std::array<char, kRecordingHeaderLength> RecordingHeader() {
  std::array<char, kRecordingHeaderLength> header{};
  std::copy(kRecordingMagic.begin(), kRecordingMagic.end(), header.begin());
  PutLittle<std::uint16_t>(header.data() + kVersionOffset, kRecordingVersion);
  PutLittle<std::uint16_t>(header.data() + kHeaderLengthOffset, static_cast<std::uint16_t>(kRecordingHeaderLength));
  PutLittle<std::uint32_t>(header.data() + kBlockLengthOffset, static_cast<std::uint32_t>(kBlockLength));
  return header;
}

// --- writer -----------------------------------------------------------------

RecordingWriter::~RecordingWriter() { Close(); }

std::optional<std::string> RecordingWriter::Create(const std::string& path) {
  Close();
  fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd_ < 0) return Reason();
  const std::array<char, kRecordingHeaderLength> header = RecordingHeader();
  if (!WriteAll(fd_, header.data(), header.size())) {
    std::string reason = Reason();
    Close();
    return reason;
  }
  records_ = 0;
  return std::nullopt;
}

std::optional<std::string> RecordingWriter::Append(std::int64_t timeMs, std::string_view block) {
  if (fd_ < 0) return std::string("the recording is not open");
  record_.assign(kRecordLength, static_cast<char>(kPaddingByte));
  PutLittle<std::int64_t>(record_.data(), timeMs);
  std::copy_n(block.begin(), std::min(block.size(), kBlockLength), record_.begin() + kRecordTimeLength);
  // One write per record: whatever stops the program leaves at most the
  // last record torn.
  if (!WriteAll(fd_, record_.data(), record_.size())) return Reason();
  ++records_;
  return std::nullopt;
}

void RecordingWriter::Close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

// --- reader -----------------------------------------------------------------

RecordingReader::~RecordingReader() { Close(); }

void RecordingReader::Close() {
  if (view_ != nullptr) UnmapViewOfFile(view_);
  if (mapping_ != nullptr) CloseHandle(mapping_);
  if (file_ != nullptr) CloseHandle(file_);
  view_ = nullptr;
  mapping_ = nullptr;
  file_ = nullptr;
  count_ = 0;
  tornBytes_ = 0;
}

std::optional<std::string> RecordingReader::Open(const std::string& path) {
  Close();
  HANDLE file =
      CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return OpenFailure(GetLastError());
  file_ = file;
  DWORD high = 0;
  const DWORD low = GetFileSize(file, &high);
  const std::uint64_t size = (static_cast<std::uint64_t>(high) << 32) | low;
  if (size < kRecordingHeaderLength) {
    Close();
    return std::string("the file is no recording: it is shorter than a recording's header");
  }
  mapping_ = CreateFileMappingA(file, nullptr, PAGE_READONLY, 0, 0, nullptr);
  if (mapping_ != nullptr) view_ = static_cast<const unsigned char*>(MapViewOfFile(mapping_, FILE_MAP_READ, 0, 0, 0));
  if (view_ == nullptr) {
    Close();
    return std::string("the file cannot be mapped into memory");
  }
  const std::string_view start(reinterpret_cast<const char*>(view_), kRecordingHeaderLength);
  if (!StartsAsRecording(start)) {
    Close();
    return std::string("the file is no recording of data sets");
  }
  const auto version = GetLittle<std::uint16_t>(view_ + kVersionOffset);
  if (version != kRecordingVersion) {
    Close();
    return "the recording is of format version " + std::to_string(version) + "; this program reads version " +
           std::to_string(kRecordingVersion);
  }
  const auto headerLength = GetLittle<std::uint16_t>(view_ + kHeaderLengthOffset);
  const auto blockLength = GetLittle<std::uint32_t>(view_ + kBlockLengthOffset);
  if (headerLength < kRecordingHeaderLength || headerLength > size || blockLength != kBlockLength) {
    Close();
    return std::string("the recording's header is damaged");
  }
  headerLength_ = headerLength;
  count_ = static_cast<std::size_t>((size - headerLength) / kRecordLength);
  tornBytes_ = static_cast<std::size_t>((size - headerLength) % kRecordLength);
  return std::nullopt;
}

const unsigned char* RecordingReader::Record(std::size_t index) const {
  return view_ + headerLength_ + index * kRecordLength;
}

std::int64_t RecordingReader::TimeMs(std::size_t index) const { return GetLittle<std::int64_t>(Record(index)); }

std::string_view RecordingReader::Block(std::size_t index) const {
  return {reinterpret_cast<const char*>(Record(index) + kRecordTimeLength), kBlockLength};
}

}  // namespace specterm
