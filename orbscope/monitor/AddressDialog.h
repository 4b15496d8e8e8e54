#pragma once

// Dialog 101 "Select Modem": the modem's IP address (or host name) typed
// into one edit box. The handler works on a copy of the address.

#include "DialogHandler.h"
#include "TextBuf.h"

#include <string>

class QLineEdit;

class CAddressDialog : public CDialogHandler {
 public:
  // Addresses of this length or longer are not taken.
  static constexpr int kMaxAddressLength = 255;

  CAddressDialog(QDialog* window, CTextBuf& address);
  bool Command(QDialog* window, int controlId, int notifyCode) override;
  void Init(QDialog* window) override;

 private:
  CTextBuf& address_;
  QLineEdit* edit_;
};

class CAddressDialogFactory : public CDialogFactory {
 public:
  explicit CAddressDialogFactory(CTextBuf& address) : address_(address) {}
  std::unique_ptr<CDialogHandler> Create(QDialog* window) override;

 private:
  CTextBuf& address_;
};

namespace orbscope {
// The controls of dialog 101.
void SelectModemTemplate(QDialog& dialog);
// Runs dialog 101 over a copy of address; address takes the copy when the
// dialog ends with a result other than 0 and -1. Returns that result.
int RunSelectModemDialog(QWidget* parent, CTextBuf& address);

// The last modem address set or given, in the program's registry key, so
// that a start from the desktop need not ask for it again.
inline constexpr const char* kModemAddressValue = "ModemAddress";
// Empty when none is stored or it cannot be read.
std::string StoredModemAddress();
// A failure to store only costs the user typing the address again next
// time; it is not worth a message box of its own.
void StoreModemAddress(const std::string& address);
}  // namespace orbscope
