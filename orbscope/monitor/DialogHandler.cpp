#include "DialogHandler.h"

#include "Identifiers.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QFontDatabase>
#include <QLineEdit>
#include <QPushButton>
#include <QVariant>

namespace {
constexpr const char* kControlIdProperty = "controlId";
constexpr int kDialogFontPointSize = 8;
}  // namespace

bool CDialogHandler::Notify(QDialog*, int, const NMHDR*) { return false; }

namespace orbscope {

CHandlerDialog::CHandlerDialog(DialogTemplate layout, CDialogFactory& factory, QWidget* parent) : QDialog(parent) {
  setFont(DialogFont());
  layout(*this);
  WireControls();
  handler_ = factory.Create(this);
  if (handler_) handler_->Init(this);
}

CHandlerDialog::~CHandlerDialog() {
  // The handler goes first, while the controls it points at still exist.
  handler_.reset();
}

bool CHandlerDialog::SendCommand(int controlId, int notifyCode) {
  if (!handler_) return false;
  return handler_->Command(this, controlId, notifyCode);
}

void CHandlerDialog::reject() {
  // Escape meant for an open drop-down list closes only the list.
  for (QComboBox* combo : findChildren<QComboBox*>()) {
    if (combo->view() != nullptr && combo->view()->isVisible()) {
      combo->hidePopup();
      return;
    }
  }
  SendCommand(IDCANCEL, BN_CLICKED);
}

void CHandlerDialog::WireControls() {
  for (QWidget* control : findChildren<QWidget*>()) {
    const int id = ControlId(control);
    if (id == 0) continue;
    if (auto* button = qobject_cast<QPushButton*>(control)) {
      connect(button, &QPushButton::clicked, this, [this, id] { SendCommand(id, BN_CLICKED); });
    } else if (auto* combo = qobject_cast<QComboBox*>(control)) {
      connect(combo, &QComboBox::activated, this, [this, id] { SendCommand(id, CBN_SELCHANGE); });
      connect(combo, &QComboBox::editTextChanged, this, [this, id] { SendCommand(id, CBN_EDITCHANGE); });
    } else if (auto* edit = qobject_cast<QLineEdit*>(control)) {
      connect(edit, &QLineEdit::textEdited, this, [this, id] { SendCommand(id, EN_CHANGE); });
    }
  }
}

void SetControlId(QWidget* control, int id) { control->setProperty(kControlIdProperty, id); }

int ControlId(const QWidget* control) {
  const QVariant id = control->property(kControlIdProperty);
  return id.isValid() ? id.toInt() : 0;
}

QWidget* GetDlgItem(const QWidget* dialog, int id) {
  for (QWidget* control : dialog->findChildren<QWidget*>())
    if (ControlId(control) == id) return control;
  return nullptr;
}

void EndDialog(QDialog* dialog, int result) { dialog->done(result); }

int DialogBoxParam(DialogTemplate layout, QWidget* parent, CDialogFactory& factory) {
  CHandlerDialog dialog(layout, factory, parent);
  return dialog.exec();
}

QFont DialogFont() {
  QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
  font.setPointSize(kDialogFontPointSize);
  return font;
}

}  // namespace orbscope
