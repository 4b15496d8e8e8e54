#pragma once

// The modem a start from the command line asks for (specterm --modem
// ADDRESS[:PORT] or --modem NAME, with --name for an address not yet
// stored): a stored modem by name or address, or a new record to add.

#include "modems/Modems.h"

#include <string>

namespace specterm {

struct StartModemRequest {
  std::string Modem;  // a stored modem's name, or an address with an optional port
  std::string Name;   // the name of a new record; empty: the address
};

struct StartModemChoice {
  std::string Name;
  std::string Address;
  bool Add = false;   // a new record of Name and Address
  std::string Error;  // non-empty: the request cannot be met, and why
};

StartModemChoice ChooseStartModem(const Modems& modems, const StartModemRequest& request);

}  // namespace specterm
