#include "modems/ModemDirectory.h"

#include "forms/KeyedToolBar.h"
#include "modems/ModemStore.h"
#include "modems/Titles.h"
#include "window/FormControls.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>

namespace specterm {
namespace {

// A menu caption shows "&" only when it is doubled.
QString MenuText(const std::string& text) {
  return QString::fromStdString(text).replace(QLatin1Char('&'), QStringLiteral("&&"));
}

}  // namespace

ModemDirectory::ModemDirectory(FormControls& controls, QMainWindow& window) : c_(controls), window_(window) {}

void ModemDirectory::SetTitle(const std::string& title) { window_.setWindowTitle(QString::fromStdString(title)); }

std::string ModemDirectory::Address() const {
  if (lastModem_.empty() || !modemList_.Exists(lastModem_)) return {};
  return modemList_.Item(lastModem_)->IP_Address;
}

void ModemDirectory::Load(bool updatesStopped) {
  ModemDirectoryHeader header = LoadModemHeader();
  const std::vector<Modems::ModemPtr> records = LoadModemRecords(header);
  storedModemCount_ = header.StoredModemCount;
  lastModem_ = header.LastModem;

  for (const Modems::ModemPtr& modem : records) {
    c_.mnuCommRecent->menuAction()->setEnabled(true);
    AddLoadedModem(modemList_, modem);
    if (modem->Index <= Modems::kRecentSize) {
      QAction* item = c_.mnuCommSel[static_cast<std::size_t>(modem->Index - 1)];
      item->setText(MenuText(modem->Name));
      item->setData(QString::fromStdString(modem->Name));
      item->setVisible(true);
    }
  }

  // A last modem that the directory no longer holds has no address to
  // connect to: it counts as none.
  if (!lastModem_.empty() && !modemList_.Exists(lastModem_)) lastModem_.clear();

  if (!lastModem_.empty()) {
    SetTitle(updatesStopped ? TitleLastConnected(lastModem_) : TitleConnected(lastModem_));
  } else {
    c_.tbMain->SetEnabled(QStringLiteral("StopGo"), false);
    c_.tbMain->SetEnabled(QStringLiteral("SingleStep"), false);
  }
}

void ModemDirectory::Save() const { SaveModemDirectory(modemList_, storedModemCount_, lastModem_); }

}  // namespace specterm
