#include "modems/frmModem.h"

#include "forms/Dialogs.h"
#include "forms/EntryBox.h"
#include "forms/QtText.h"
#include "interaction/KeyFilter.h"
#include "modems/DateText.h"
#include "modems/IpAddress.h"
#include "modems/ModemDirectory.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace specterm {
namespace {

constexpr int kBoxWidth = 220;
using forms::kFixedDialogFlags;

using forms::Text;

// A box the user reads but does not type into: it looks as the form does.
QLineEdit* ReadOnlyBox(QWidget* parent, const char* name) {
  auto* box = new QLineEdit(parent);
  box->setObjectName(QString::fromLatin1(name));
  box->setReadOnly(true);
  box->setFocusPolicy(Qt::NoFocus);
  QPalette palette = box->palette();
  palette.setColor(QPalette::Base, palette.color(QPalette::Window));
  box->setPalette(palette);
  return box;
}

bool Blank(const QString& text) { return text.trimmed().isEmpty(); }

}  // namespace

frmModem::frmModem(ModemDirectory& directory, QWidget* parent) : QDialog(parent), directory_(directory) {
  setObjectName(QStringLiteral("frmModem"));
  setWindowFlags(kFixedDialogFlags);
  setWindowTitle(QStringLiteral("Halden Modem Properties"));

  txtModemName = new QLineEdit(this);
  txtModemName->setObjectName(QStringLiteral("txtModemName"));
  txtIPA = new forms::EntryBox(this);
  txtIPA->setObjectName(QStringLiteral("txtIPA"));
  txtIPA->SetAllowedCharacters(QString::fromLatin1(kAddressKeys.data(), static_cast<qsizetype>(kAddressKeys.size())));
  txtStatus = ReadOnlyBox(this, "txtStatus");
  txtLastComm = ReadOnlyBox(this, "txtLastComm");
  txtModemName->setMinimumWidth(kBoxWidth);

  cmdOK = new QPushButton(QStringLiteral("OK"), this);
  cmdOK->setObjectName(QStringLiteral("cmdOK"));
  cmdOK->setDefault(true);
  cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
  cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
  // Cancelling needs no valid address.
  forms::EntryBox::SetCausesValidation(cmdCancel, false);

  auto* fields = new QFormLayout;
  fields->addRow(QStringLiteral("Modem Name"), txtModemName);
  fields->addRow(QStringLiteral("IP Address"), txtIPA);
  fields->addRow(QStringLiteral("Status"), txtStatus);
  fields->addRow(QStringLiteral("Last Communication"), txtLastComm);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(cmdOK);
  buttons->addWidget(cmdCancel);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(fields);
  layout->addSpacing(6);
  layout->addLayout(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  connect(cmdOK, &QPushButton::clicked, this, &frmModem::cmdOK_Click);
  connect(cmdCancel, &QPushButton::clicked, this, &frmModem::cmdCancel_Click);
  connect(txtIPA, &forms::EntryBox::GotFocus, this, &frmModem::txtIPA_GotFocus);
  connect(txtIPA, &forms::EntryBox::KeyPress, this, &frmModem::txtIPA_KeyPress);
  connect(txtIPA, &forms::EntryBox::Validate, this, &frmModem::txtIPA_Validate);

  // Loading: the current modem, or a new one.
  const std::string& lastModem = directory_.LastModem();
  const Modems& modems = directory_.ModemList();
  if (!lastModem.empty() && modems.Exists(lastModem)) {
    const Modems::ModemPtr modem = modems.Item(lastModem);
    modemName_ = lastModem;
    modem->IsThere = directory_.LinkUp(modem->Name);
    txtModemName->setText(Text(modem->Name));
    txtIPA->setText(Text(modem->IP_Address));
    txtStatus->setText(modem->IsThere ? QStringLiteral("Connected") : QStringLiteral("Not Connected"));
    // A modem never communicated with carries the earliest date.
    if (!SameDate(modem->LastComm, EarliestDate())) txtLastComm->setText(Text(DateToText(modem->LastComm)));
  } else {
    modemName_ = kNewModemName;
    txtStatus->setText(QStringLiteral("Not Connected"));
  }
  txtModemName->setFocus();
}

void frmModem::txtIPA_GotFocus() { txtIPA->SetSelection(0, static_cast<int>(txtIPA->text().size())); }

void frmModem::txtIPA_KeyPress(int& KeyAscii) {
  // Enter is the OK button's.
  if (KeyAscii == kKeyReturn) return;
  const QByteArray text = txtIPA->text().toLatin1();
  const EntryText shown{std::string(text.constData(), static_cast<std::size_t>(text.size())), txtIPA->SelStart(),
                        txtIPA->SelLength(), txtIPA->MaxLength()};
  KeyAscii = FilterAddressKey(KeyAscii, shown).KeyAscii;
}

bool frmModem::AddressRefused() {
  const AddressCheck check = CheckIpAddress(txtIPA->text().toStdString());
  if (check == AddressCheck::Valid) return false;
  forms::MsgBox(QString::fromLatin1(AddressCheckMessage(check)), forms::vbExclamation,
                QString::fromLatin1(kInvalidAddressTitle), this);
  return true;
}

void frmModem::txtIPA_Validate(bool& Cancel) {
  // An empty box may be left; OK asks for the address.
  if (txtIPA->text().isEmpty()) return;
  if (AddressRefused()) Cancel = true;
}

void frmModem::AddModem(const std::string& name, const std::string& address) {
  Modems& modems = directory_.EditModemList();
  modems.Add(name, address, false, Now(), modems.Count() + 1, 0, name);
}

bool frmModem::OverwriteModem(const std::string& name, const std::string& address) {
  const int answer = forms::MsgBox(
      QStringLiteral("A modem already exists with this name!  Is it okay to overwrite the previous modem?"),
      forms::vbOKCancel | forms::vbExclamation, QStringLiteral("OK to Overwrite"), this);
  if (answer != forms::vbOK) return false;
  // The name as typed now (its letter case may differ); its place stays.
  const Modems::ModemPtr modem = Store(name, name, address);
  modem->LastComm = Now();
  return true;
}

std::string frmModem::StoreEdit(const std::string& name, const std::string& address) {
  return Store(modemName_, name, address)->Name;
}

Modems::ModemPtr frmModem::Store(const std::string& key, const std::string& name, const std::string& address) {
  Modems& modems = directory_.EditModemList();
  const Modems::ModemPtr modem = modems.Item(key);
  if (modem->Name != name) {
    try {
      modems.RenameKey(modem->Name, name);
    } catch (const std::invalid_argument&) {
      // A hand-edited directory that names two modems alike keeps its names.
    }
  }
  modem->IP_Address = address;
  modem->IsThere = false;
  return modem;
}

void frmModem::cmdOK_Click() {
  if (Blank(txtModemName->text())) {
    forms::MsgBox(QStringLiteral("You cannot add a modem without a name!"), forms::vbExclamation,
                  QStringLiteral("Unnamed Modem"), this);
    txtModemName->setFocus();
    return;
  }
  if (Blank(txtIPA->text())) {
    forms::MsgBox(QStringLiteral("You cannot add a modem without an IP address!"), forms::vbExclamation,
                  QStringLiteral("Missing IP Address"), this);
    txtIPA->setFocus();
    return;
  }
  // Enter presses OK without leaving the address box: it is checked here.
  if (AddressRefused()) {
    txtIPA->setFocus();
    return;
  }
  std::string name = txtModemName->text().toStdString();
  const std::string address = txtIPA->text().toStdString();
  const Modems& modems = directory_.ModemList();
  const bool editing = modemName_ == directory_.LastModem() && modems.Exists(modemName_);
  // A name is taken when another modem has it (letter case aside).
  const bool taken = modems.Exists(name) && !(editing && KeysEqual(name, modemName_));
  if (editing && !taken) {
    name = StoreEdit(name, address);
  } else if (!taken) {
    AddModem(name, address);
  } else if (!OverwriteModem(name, address)) {
    return;
  } else if (editing) {
    // Renamed onto another modem: that record takes the edit, and the
    // modem that was edited is gone into it, so no name is stored twice
    // and no address is lost.
    directory_.RemoveModem(directory_.ModemList().Position(modemName_));
  }
  directory_.SetLastModem(name);
  directory_.UpdateModems();
  accept();
}

void frmModem::cmdCancel_Click() { reject(); }

}  // namespace specterm
