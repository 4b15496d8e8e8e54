#pragma once

// The modem directory as the window keeps it: the collection of modems, the
// current modem (LastModem), the number of records the registry held at
// start-up, the recent-modem menu and the window title that names the
// current modem.

#include "modems/Modems.h"

#include <string>

class QMainWindow;

namespace specterm {

struct FormControls;

class ModemDirectory {
 public:
  ModemDirectory(FormControls& controls, QMainWindow& window);

  // Reads the directory and fills the recent-modem menu in stored order;
  // sets the title for the current modem, or disables "StopGo" and
  // "SingleStep" when there is none.
  void Load(bool updatesStopped);
  // Writes the directory back, deleting what loading counted first.
  void Save() const;

  const Modems& ModemList() const { return modemList_; }
  const std::string& LastModem() const { return lastModem_; }
  int StoredModemCount() const { return storedModemCount_; }
  // The address of the current modem; empty when the directory lacks it.
  std::string Address() const;

  void SetTitle(const std::string& title);

 private:
  FormControls& c_;
  QMainWindow& window_;
  Modems modemList_;
  std::string lastModem_;
  int storedModemCount_ = 0;
};

}  // namespace specterm
