#include "modems/StartModem.h"

#include "modems/IpAddress.h"

namespace specterm {
namespace {

StartModemChoice Stored(const Modem& modem) { return {modem.Name, modem.IP_Address, false, {}}; }

}  // namespace

StartModemChoice ChooseStartModem(const Modems& modems, const StartModemRequest& request) {
  const std::string& wanted = request.Modem;
  if (wanted.empty()) return {{}, {}, false, "no modem was named"};
  // A name already in use names that modem, which must be the one meant.
  if (!request.Name.empty() && modems.Exists(request.Name)) {
    const Modems::ModemPtr named = modems.Item(request.Name);
    if (KeysEqual(named->Name, wanted) || named->IP_Address == wanted) return Stored(*named);
    return {{}, {}, false, "the modem \"" + named->Name + "\" is stored with the address " + named->IP_Address};
  }
  if (request.Name.empty() && modems.Exists(wanted)) return Stored(*modems.Item(wanted));
  if (CheckIpAddress(wanted) != AddressCheck::Valid)
    return {{}, {}, false, "\"" + wanted + "\" is neither a stored modem nor an address (ADDRESS[:PORT])"};
  if (request.Name.empty())
    for (const Modems::ModemPtr& modem : modems)
      if (modem->IP_Address == wanted) return Stored(*modem);
  return {request.Name.empty() ? wanted : request.Name, wanted, true, {}};
}

}  // namespace specterm
