#include "PseudoFiles.h"

#include <array>

namespace modemsim {

namespace {

constexpr PseudoFile Firmware(std::string_view name) { return {name, FileKind::Firmware, false, true}; }

constexpr std::array kFiles = {
    PseudoFile{"capt_spec:", FileKind::CaptureTrigger, false, true},
    PseudoFile{"spectrum:", FileKind::Spectrum, true, false},
    PseudoFile{"orbscope:", FileKind::Constellation, true, false},
    PseudoFile{"status:", FileKind::Status, true, false},
    PseudoFile{"control:", FileKind::Control, true, true},
    // The firmware targets, in the order the re-flash dialog offers them.
    Firmware("bulk:"),
    Firmware("app:"),
    Firmware("dmdfilt:"),
    Firmware("modfilt:"),
    Firmware("rxintf:"),
    Firmware("txintf:"),
    Firmware("turbo:"),
    Firmware("demod1:"),
    Firmware("decode1:"),
    Firmware("demod2:"),
    Firmware("decode2:"),
    Firmware("mod:"),
    Firmware("mandc:"),
    Firmware("fec2:"),
    Firmware("boot:"),
    Firmware("demod3:"),
    Firmware("fast:"),
};

}  // namespace

std::span<const PseudoFile> PseudoFiles() { return kFiles; }

const PseudoFile* FindPseudoFile(std::string_view path) {
  if (!path.empty() && path.front() == '/') path.remove_prefix(1);
  for (const PseudoFile& f : kFiles)
    if (f.name == path) return &f;
  return nullptr;
}

}  // namespace modemsim
