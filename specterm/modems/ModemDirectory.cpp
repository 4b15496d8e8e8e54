#include "modems/ModemDirectory.h"

#include "forms/Dialogs.h"
#include "modems/DateText.h"
#include "modems/ModemStore.h"
#include "modems/Titles.h"
#include "modems/frmModem.h"
#include "modems/frmModemSelect.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>

#include <algorithm>

namespace specterm {
namespace {

constexpr const char* kNoRecentModem = "<No Recent Modem Monitored>";

// A menu caption shows "&" only when it is doubled.
QString MenuText(const std::string& text) {
  return QString::fromStdString(text).replace(QLatin1Char('&'), QStringLiteral("&&"));
}

void ShowRecentItem(QAction* item, const std::string& name) {
  item->setText(MenuText(name));
  item->setData(QString::fromStdString(name));
  item->setVisible(true);
}

}  // namespace

class ModemDirectory::HeldLink {
 public:
  explicit HeldLink(ModemDirectory& directory) : directory_(directory), outer_(!directory.heldLink_) {
    if (outer_) directory_.heldLink_ = directory_.CurrentLink();
  }
  ~HeldLink() {
    if (outer_) directory_.heldLink_.reset();
  }
  HeldLink(const HeldLink&) = delete;
  HeldLink& operator=(const HeldLink&) = delete;

 private:
  ModemDirectory& directory_;
  bool outer_;
};

ModemDirectory::ModemDirectory(ModemMenuControls& controls, QMainWindow& window) : c_(controls), window_(window) {}

void ModemDirectory::SetTitle(const std::string& title) { window_.setWindowTitle(QString::fromStdString(title)); }

void ModemDirectory::ShowConnectedTitle() { SetTitle(TitleConnected(lastModem_)); }

std::string ModemDirectory::Address() const {
  if (lastModem_.empty() || !modemList_.Exists(lastModem_)) return {};
  return modemList_.Item(lastModem_)->IP_Address;
}

LinkModem ModemDirectory::CurrentLink() const {
  if (heldLink_) return *heldLink_;
  if (lastModem_.empty() || !modemList_.Exists(lastModem_)) return {};
  return {modemList_.Item(lastModem_)->Name, Address()};
}

bool ModemDirectory::LinkUp(const std::string& name) const {
  if (link_ == nullptr) return false;
  const std::string linked = link_->LinkedModem();
  return !linked.empty() && KeysEqual(linked, name);
}

void ModemDirectory::EnableStopGo(bool enabled) {
  if (link_ != nullptr) link_->EnableStopGo(enabled);
}

void ModemDirectory::EnableSingleStep(bool enabled) {
  if (link_ != nullptr) link_->EnableSingleStep(enabled);
}

bool ModemDirectory::Load(bool updatesStopped) {
  ModemDirectoryHeader header = LoadModemHeader();
  const std::vector<Modems::ModemPtr> records = LoadModemRecords(header);
  storedModemCount_ = header.StoredModemCount;
  lastModem_ = header.LastModem;

  for (const Modems::ModemPtr& modem : records) {
    c_.mnuCommRecent->menuAction()->setEnabled(true);
    AddLoadedModem(modemList_, modem);
    if (modem->Index <= Modems::kRecentSize)
      ShowRecentItem(c_.mnuCommSel[static_cast<std::size_t>(modem->Index - 1)], modem->Name);
  }

  // A last modem that the directory no longer holds has no address to
  // connect to: it counts as none.
  if (!lastModem_.empty() && !modemList_.Exists(lastModem_)) lastModem_.clear();
  if (startRequest_ && !ApplyStartRequest()) return false;

  if (!lastModem_.empty()) {
    SetTitle(updatesStopped ? TitleLastConnected(lastModem_) : TitleConnected(lastModem_));
  } else {
    EnableStopGo(false);
    EnableSingleStep(false);
  }
  return true;
}

bool ModemDirectory::ApplyStartRequest() {
  const StartModemChoice choice = ChooseStartModem(modemList_, *startRequest_);
  startError_ = choice.Error;
  if (!choice.Error.empty()) return false;
  if (choice.Add) modemList_.Add(choice.Name, choice.Address, false, Now(), modemList_.Count() + 1, 0, choice.Name);
  lastModem_ = choice.Name;
  modemList_.Item(choice.Name)->LastComm = Now();
  UpdateModems();
  return true;
}

void ModemDirectory::RemoveModem(int position) {
  const Modems::ModemPtr removed = modemList_.Item(position);
  for (const Modems::ModemPtr& modem : modemList_)
    if (modem->Index > removed->Index) --modem->Index;
  modemList_.Remove(position);
}

void ModemDirectory::Save() const { SaveModemDirectory(modemList_, storedModemCount_, lastModem_); }

void ModemDirectory::UpdateModems() {
  modemList_.SetRecent();
  const int shown = std::min(modemList_.Count(), Modems::kRecentSize);
  for (int i = 0; i < Modems::kRecentSize; ++i) {
    QAction* item = c_.mnuCommSel[static_cast<std::size_t>(i)];
    if (i < shown)
      ShowRecentItem(item, modemList_.GetRecent(i + 1));
    else
      item->setVisible(false);
  }
  if (shown == 0) {
    QAction* placeholder = c_.mnuCommSel[0];
    placeholder->setText(QString::fromLatin1(kNoRecentModem));
    placeholder->setData(QVariant());
    placeholder->setVisible(true);
  }
  c_.mnuCommRecent->menuAction()->setEnabled(shown > 0);
}

void ModemDirectory::mnuCommAdd_Click() {
  const std::string remembered = lastModem_;
  {
    const HeldLink held(*this);
    lastModem_.clear();
    frmModem form(*this, &window_);
    forms::ShowModal(form);
  }
  if (!lastModem_.empty()) {
    ShowConnectedTitle();
    EnableStopGo(true);
  } else if (!remembered.empty()) {
    lastModem_ = remembered;
    EnableStopGo(true);
  } else {
    EnableStopGo(false);
    EnableSingleStep(false);
  }
}

void ModemDirectory::mnuCommManage_Click() {
  const std::string before = lastModem_;
  {
    const HeldLink held(*this);
    frmModemSelect form(*this, &window_);
    forms::ShowModal(form);
  }
  if (!modemList_.Exists(lastModem_)) {
    if (modemList_.Count() == 0) {
      lastModem_.clear();
      SetTitle(TitleWithoutModem());
      EnableStopGo(false);
    } else {
      lastModem_ = modemList_.Item(1)->Name;
      ShowConnectedTitle();
      EnableStopGo(true);
    }
  } else if (lastModem_ != before) {
    // Chosen where there was none, or the current modem renamed: the
    // title names it, and it can be started.
    ShowConnectedTitle();
    EnableStopGo(true);
  }
}

void ModemDirectory::mnuCommSel_Click(int Index) {
  if (Index < 0 || Index >= Modems::kRecentSize) return;
  // The item carries the modem's real name; its caption may differ.
  const std::string name = c_.mnuCommSel[static_cast<std::size_t>(Index)]->data().toString().toStdString();
  if (name.empty() || !modemList_.Exists(name)) return;
  const Modems::ModemPtr modem = modemList_.Item(name);
  lastModem_ = modem->Name;
  modem->LastComm = Now();
  UpdateModems();
  ShowConnectedTitle();
  EnableStopGo(true);
}

}  // namespace specterm
