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
#include "modems/StartModem.h"

#include <array>
#include <optional>
#include <string>

class QAction;
class QMainWindow;
class QMenu;

namespace specterm {

// The Communications menu's directory part: the two commands and the
// recent-modem submenu.
struct ModemMenuControls {
  QMenu* mnuComm = nullptr;
  QAction* mnuCommAdd = nullptr;
  QAction* mnuCommManage = nullptr;
  QMenu* mnuCommRecent = nullptr;
  std::array<QAction*, 10> mnuCommSel{};
  QAction* mnuCommSep0 = nullptr;
};

// What the directory asks of the capture cycle, which owns the link and its
// commands: whose link is up, and whether "StopGo" and "SingleStep" can be
// used, as modems come and go.
class DirectoryLink {
 public:
  // The name of the modem whose link is up; empty when there is none.
  virtual std::string LinkedModem() const = 0;
  virtual void EnableStopGo(bool enabled) = 0;
  virtual void EnableSingleStep(bool enabled) = 0;

 protected:
  ~DirectoryLink() = default;
};

// The modem a capture cycle connects to.
struct LinkModem {
  std::string Name;
  std::string Address;
  bool operator==(const LinkModem&) const = default;
};

class ModemDirectory {
 public:
  ModemDirectory(ModemMenuControls& controls, QMainWindow& window);

  // Reads the directory and fills the recent-modem menu in stored order;
  // takes the start request's modem as the current one; sets the title for
  // the current modem, or disables "StopGo" and "SingleStep" when there is
  // none. False when the start request cannot be met (StartError).
  bool Load(bool updatesStopped);
  // The modem the command line asks for (before Load): Load makes it the
  // current one, adding it when it is a new address.
  void SetStartRequest(const StartModemRequest& request) { startRequest_ = request; }
  bool HasStartRequest() const { return startRequest_.has_value(); }
  // Why the start request could not be met; empty when it was (or none).
  const std::string& StartError() const { return startError_; }
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
  // Removes a modem; the ones stored after it move up a place, so the
  // records stay numbered 1..Count.
  void RemoveModem(int position);
  void SetLastModem(const std::string& name) { lastModem_ = name; }
  // "... [Connected to <LastModem>] ..."
  void ShowConnectedTitle();
  // Whether the capture cycle's link to the named modem is up.
  bool LinkUp(const std::string& name) const;
  // The capture cycle, once the window has made it.
  void SetLink(DirectoryLink& link) { link_ = &link; }

 private:
  // Keeps CurrentLink() on the modem current now while a dialog is open.
  class HeldLink;

  void EnableStopGo(bool enabled);
  void EnableSingleStep(bool enabled);
  // Makes the start request's modem current, as a choice from the recent
  // menu does; false with StartError set when it cannot be.
  bool ApplyStartRequest();

  ModemMenuControls& c_;
  QMainWindow& window_;
  Modems modemList_;
  std::string lastModem_;
  int storedModemCount_ = 0;
  std::optional<LinkModem> heldLink_;
  DirectoryLink* link_ = nullptr;
  std::optional<StartModemRequest> startRequest_;
  std::string startError_;
};

}  // namespace specterm
