#pragma once

// One modem of the directory: its name (also its key in the collection), the
// address of its Ethernet port and when it was last chosen for monitoring.

#include "vbformat/VbFormat.h"

#include <cstdint>
#include <string>

namespace specterm {

struct Modem {
  std::string Name;
  std::string IP_Address;
  bool IsThere = false;  // shown by the properties dialog; never stored
  vb::DateTime LastComm;
  std::int32_t Index = 0;   // position under which the record is stored: "Modem" + Index
  std::int32_t Recent = 0;  // spare number carried by Add; never stored
};

}  // namespace specterm
