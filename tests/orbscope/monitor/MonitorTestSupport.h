#pragma once

// Helpers of the monitor tests that need a monitor with a read behind it but
// no modem: a connection handle that no server stands behind.

#include "monitor/ConstellationMonitor.h"

#include <cstdint>

namespace orbscope::test {

// Not a handle the FTP layer ever gave out: closing it fails harmlessly.
inline HINTERNET UnusedHandle() { return reinterpret_cast<HINTERNET>(static_cast<std::uintptr_t>(0x7ffe0001u)); }

// Marks the monitor connected without a modem, so replies can be applied.
inline void AttachWithoutModem(CConstellationMonitor& monitor) { monitor.AttachConnection(UnusedHandle()); }

}  // namespace orbscope::test
