#pragma once

// Recordings of the data sets a modem sent: a short header, then one record
// per data set (its time of arrival and the raw "spectrum:" block). Records
// are appended one whole write at a time, so a recording cut short by a
// crash holds every data set before the last, and a reader takes every
// whole record and leaves out a torn last one. The layout is described in
// docs/recording-format.md.
//
// A reader maps the file rather than reading it: a day's recording of some
// 240 MB opens at once and any record is a view into the mapping.

#include "SpectrumConstants.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace specterm {

// The header: the magic text, the format's version, the header's length and
// the length of the block in each record (little-endian numbers).
inline constexpr std::string_view kRecordingMagic = "HALDNREC";
inline constexpr std::uint16_t kRecordingVersion = 1;
inline constexpr std::size_t kRecordingHeaderLength = 16;
// A record: the time of arrival (milliseconds since 1970-01-01 UTC, a signed
// 64-bit little-endian number), then the block.
inline constexpr std::size_t kRecordTimeLength = 8;
inline constexpr std::size_t kRecordLength = kRecordTimeLength + kBlockLength;

// The file name extension the analyzer offers for recordings.
inline constexpr const char* kRecordingExtension = "REC";

// Whether bytes (the start of a file) begin as a recording does.
bool StartsAsRecording(std::string_view bytes);

// The header of a recording of this version.
std::array<char, kRecordingHeaderLength> RecordingHeader();

// Appends data sets to a new recording.
class RecordingWriter {
 public:
  RecordingWriter() = default;
  ~RecordingWriter();
  RecordingWriter(const RecordingWriter&) = delete;
  RecordingWriter& operator=(const RecordingWriter&) = delete;

  // Creates the file (an existing one is replaced) and writes the header;
  // the reason when that fails.
  std::optional<std::string> Create(const std::string& path);
  // Appends one record in one write. A block of another length than the
  // block's is stored as the parser reads it: cut, or padded with spaces.
  // The reason when the record could not be written whole.
  std::optional<std::string> Append(std::int64_t timeMs, std::string_view block);
  void Close();
  bool IsOpen() const { return fd_ >= 0; }
  // Records written since the file was created.
  std::int64_t Records() const { return records_; }

 private:
  int fd_ = -1;
  std::int64_t records_ = 0;
  std::string record_;  // reused for each record
};

// Reads a recording through a read-only mapping of the file.
class RecordingReader {
 public:
  RecordingReader() = default;
  ~RecordingReader();
  RecordingReader(const RecordingReader&) = delete;
  RecordingReader& operator=(const RecordingReader&) = delete;

  // Opens and maps the file; the reason when it is not a recording this
  // program reads (no recording, another version, cut in its header).
  std::optional<std::string> Open(const std::string& path);
  void Close();
  bool IsOpen() const { return view_ != nullptr; }

  // The whole records; a torn last record is not counted.
  std::size_t Count() const { return count_; }
  // The bytes of a torn last record that were left out (0 when none).
  std::size_t TornBytes() const { return tornBytes_; }
  std::int64_t TimeMs(std::size_t index) const;
  // The block of a record: a view into the mapping, valid while open.
  std::string_view Block(std::size_t index) const;

 private:
  const unsigned char* Record(std::size_t index) const;

  void* file_ = nullptr;
  void* mapping_ = nullptr;
  const unsigned char* view_ = nullptr;
  std::size_t headerLength_ = 0;
  std::size_t count_ = 0;
  std::size_t tornBytes_ = 0;
};

}  // namespace specterm
