#include "AddressDialog.h"

#include "Identifiers.h"
#include "RegistryKey.h"
#include "WinException.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace orbscope;

CAddressDialog::CAddressDialog(QDialog* window, CTextBuf& address)
    : address_(address), edit_(DlgItem<QLineEdit>(window, IDC_ADDRESS)) {}

void CAddressDialog::Init(QDialog*) {
  if (edit_ != nullptr) edit_->setText(QString::fromLocal8Bit(address_.Text()));
}

bool CAddressDialog::Command(QDialog* window, int controlId, int) {
  switch (controlId) {
    case IDOK: {
      const QByteArray typed = edit_ != nullptr ? edit_->text().toLocal8Bit() : QByteArray();
      if (typed.size() < kMaxAddressLength) address_ = typed.constData();
      EndDialog(window, 1);
      return true;
    }
    case IDCANCEL:
      EndDialog(window, 0);
      return true;
    default:
      return false;
  }
}

std::unique_ptr<CDialogHandler> CAddressDialogFactory::Create(QDialog* window) {
  return std::make_unique<CAddressDialog>(window, address_);
}

namespace orbscope {

void SelectModemTemplate(QDialog& dialog) {
  dialog.setWindowTitle(QStringLiteral("Select Modem"));
  auto* layout = new QGridLayout(&dialog);
  auto* edit = new QLineEdit(&dialog);
  SetControlId(edit, IDC_ADDRESS);
  edit->setMinimumWidth(edit->fontMetrics().horizontalAdvance(QStringLiteral("255.255.255.255:65535")) * 3 / 2);
  layout->addWidget(new QLabel(QStringLiteral("Modem IP Address:"), &dialog), 0, 0);
  layout->addWidget(edit, 0, 1);
  auto* buttons = new QHBoxLayout;
  auto* ok = new QPushButton(QStringLiteral("OK"), &dialog);
  SetControlId(ok, IDOK);
  ok->setDefault(true);
  auto* cancel = new QPushButton(QStringLiteral("Cancel"), &dialog);
  SetControlId(cancel, IDCANCEL);
  cancel->setAutoDefault(false);
  buttons->addStretch();
  buttons->addWidget(ok);
  buttons->addWidget(cancel);
  layout->addLayout(buttons, 1, 0, 1, 2);
}

int RunSelectModemDialog(QWidget* parent, CTextBuf& address) {
  CTextBuf copy(address);
  CAddressDialogFactory factory(copy);
  const int result = DialogBoxParam(SelectModemTemplate, parent, factory);
  if (result != 0 && result != -1) address = copy;
  return result;
}

std::string StoredModemAddress() {
  try {
    CRegistryKey key(0, kOrbscopeRegistryPath);
    return key.ReadText(kModemAddressValue);
  } catch (const WinException&) {
    return {};
  }
}

void StoreModemAddress(const std::string& address) {
  try {
    CRegistryKey key(0, kOrbscopeRegistryPath);
    key.WriteText(kModemAddressValue, address.c_str());
  } catch (const WinException&) {
  }
}

}  // namespace orbscope
