#pragma once

// The modem directory as the window keeps it: the collection of modems, the
// current modem (LastModem), the number of records the registry held at
// start-up, the recent-modem menu, the window title that names the current
// modem, and the Communications menu's commands with their two dialogs.
//
// The dialogs empty LastModem for a while (a new modem is being added);
// the capture cycle meanwhile keeps working with the modem that was
// current when the dialog opened, and takes the one chosen in it from its
// next cycle on.

#include "modems/Modems.h"

#include <functional>
#include <optional>
#include <string>

class QMainWindow;

namespace specterm {

struct FormControls;

// The modem a capture cycle connects to.
struct LinkModem {
  std::string Name;
  std::string Address;
  bool operator==(const LinkModem&) const = default;
};

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
  // The modem for the capture cycle: the current one, or while a dialog is
  // open the one that was current when it opened.
  LinkModem CurrentLink() const;

  void SetTitle(const std::string& title);

  // ----- The Communications menu -----
  void mnuCommAdd_Click();
  void mnuCommManage_Click();
  void mnuCommSel_Click(int Index);
  // Rebuilds the recent-modem submenu, newest first; with no modems it
  // shows its placeholder and is disabled, as at a first start.
  void UpdateModems();

  // ----- For the modem dialogs -----
  Modems& EditModemList() { return modemList_; }
  void SetLastModem(const std::string& name) { lastModem_ = name; }
  // "... [Connected to <LastModem>] ..."
  void ShowConnectedTitle();
  // Whether the capture cycle's link to the named modem is up; asked of
  // the function the window sets (the name of the linked modem, or empty).
  bool LinkUp(const std::string& name) const;
  void SetLinkQuery(std::function<std::string()> linkedModem) { linkedModem_ = std::move(linkedModem); }

 private:
  // Keeps CurrentLink() on the modem current now while a dialog is open.
  class HeldLink;

  void EnableButton(const char* key, bool enabled);

  FormControls& c_;
  QMainWindow& window_;
  Modems modemList_;
  std::string lastModem_;
  int storedModemCount_ = 0;
  std::optional<LinkModem> heldLink_;
  std::function<std::string()> linkedModem_;
};

}  // namespace specterm
