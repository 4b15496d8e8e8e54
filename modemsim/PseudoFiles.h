#pragma once

// The modem's FTP pseudo-files: names ending in a colon, all in the root.

#include <span>
#include <string_view>

namespace modemsim {

enum class FileKind { CaptureTrigger, Spectrum, Constellation, Status, Control, Firmware };

struct PseudoFile {
  std::string_view name;
  FileKind kind;
  bool readable;
  bool writable;
};

// Every pseudo-file, in listing order.
std::span<const PseudoFile> PseudoFiles();

// The pseudo-file a client path names: its name with or without one leading
// "/". Anything else (other names, "..", deeper paths) names none.
const PseudoFile* FindPseudoFile(std::string_view path);

}  // namespace modemsim
