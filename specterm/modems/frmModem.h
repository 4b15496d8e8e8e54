#pragma once

// The modem properties dialog ("Halden Modem Properties"): the name and IP
// address of a new modem, or of the current modem (LastModem) with its
// connection state and last communication. OK adds the modem, stores the
// edit (a changed name renames the record, keeping its place and history)
// or, for a name that is taken, asks to overwrite that modem; the name
// becomes the current modem and the recent menu is rebuilt.

#include "modems/Modems.h"

#include <QDialog>

#include <string>

class QLabel;
class QLineEdit;
class QPushButton;

namespace forms {
class EntryBox;
}  // namespace forms

namespace specterm {

class ModemDirectory;

// The name a form opened for a new modem keeps.
inline constexpr const char* kNewModemName = "<$$New Modem$$>";

class frmModem : public QDialog {
  Q_OBJECT

 public:
  frmModem(ModemDirectory& directory, QWidget* parent = nullptr);

  // The modem the form was opened for, or kNewModemName.
  const std::string& ModemName() const { return modemName_; }

  QLineEdit* txtModemName = nullptr;
  forms::EntryBox* txtIPA = nullptr;
  QLineEdit* txtStatus = nullptr;
  QLineEdit* txtLastComm = nullptr;
  QPushButton* cmdOK = nullptr;
  QPushButton* cmdCancel = nullptr;

  void cmdOK_Click();
  void cmdCancel_Click();
  void txtIPA_GotFocus();
  void txtIPA_KeyPress(int& KeyAscii);
  void txtIPA_Validate(bool& Cancel);

 private:
  // Shows a failed address check; false when the address passes.
  bool AddressRefused();
  // The question for a name that is taken; on OK the modem of that name
  // takes the address. False when the user cancelled.
  bool OverwriteModem(const std::string& name, const std::string& address);
  // The current modem takes the boxes' name and address; returns the name
  // it has now.
  std::string StoreEdit(const std::string& name, const std::string& address);
  // The modem keyed key takes a name (renamed in place when it differs) and
  // an address.
  Modems::ModemPtr Store(const std::string& key, const std::string& name, const std::string& address);
  void AddModem(const std::string& name, const std::string& address);

  ModemDirectory& directory_;
  std::string modemName_;
};

}  // namespace specterm
