// The modem's replies to orbscope: "orbscope:" (I/Q pairs, then the model
// and modulation bytes, of any length a server may send) and the re-flash
// progress in "status:".

#include "FuzzInput.h"
#include "monitor/ConstellationMonitor.h"
#include "reflash/FirmwareUpload.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // One monitor for the whole run, connected in name only: no read reaches
  // the network, the reply is applied as a fetch would hand it over.
  static CConstellationMonitor* monitor = [] {
    auto* m = new CConstellationMonitor(CTextBuf("127.0.0.1"));
    m->AttachConnection(reinterpret_cast<HINTERNET>(static_cast<std::uintptr_t>(1)));
    return m;
  }();
  const std::string reply(fuzz::Text(data, size));
  if (size > 0 && data[0] == 's') monitor->ToggleStatistics();
  if (monitor->ApplyConstellation(reply) != (reply.size() >= 2048)) std::abort();
  if (monitor->Model() > 2 || monitor->Modulation() > 6) std::abort();
  (void)monitor->TitleText();

  if (const auto progress = orbscope::ParseFlashStatus(reply)) (void)(progress->first == progress->second);
  return 0;
}
