#pragma once

// The small framework of modal dialogs with handlers. A dialog is built from
// its template (the controls, each tagged with its identifier), then a
// factory creates the handler for it; the handler initialises the controls
// and receives every control's command with its identifier and notification
// code. The handler lives exactly as long as the dialog window.

#include <QDialog>

#include <memory>

class QWidget;

// The header of a control notification.
struct NMHDR {
  QWidget* hwndFrom = nullptr;
  int idFrom = 0;
  int code = 0;
};

class CDialogHandler {
 public:
  CDialogHandler() = default;
  CDialogHandler(const CDialogHandler&) = delete;
  CDialogHandler& operator=(const CDialogHandler&) = delete;
  virtual ~CDialogHandler() = default;
  // Returns whether the command was handled.
  virtual bool Command(QDialog* window, int controlId, int notifyCode) = 0;
  virtual void Init(QDialog* window) = 0;
  virtual bool Notify(QDialog* window, int controlId, const NMHDR* header);
};

class CDialogFactory {
 public:
  virtual ~CDialogFactory() = default;
  virtual std::unique_ptr<CDialogHandler> Create(QDialog* window) = 0;
};

namespace orbscope {

// A dialog resource: adds the controls to an empty dialog.
using DialogTemplate = void (*)(QDialog& dialog);

// The shared dialog procedure over a Qt dialog.
class CHandlerDialog : public QDialog {
  Q_OBJECT
 public:
  CHandlerDialog(DialogTemplate layout, CDialogFactory& factory, QWidget* parent);
  ~CHandlerDialog() override;

  CDialogHandler* Handler() const { return handler_.get(); }
  // A control's command as the dialog procedure passes it on; returns
  // whether the handler took it.
  bool SendCommand(int controlId, int notifyCode);
  // Escape and the close box send the Cancel command; the handler decides.
  // While a drop-down list of the dialog is open, Escape closes only it.
  void reject() override;

 private:
  void WireControls();

  std::unique_ptr<CDialogHandler> handler_;
};

// Tags a control with its identifier; GetDlgItem finds it again.
void SetControlId(QWidget* control, int id);
int ControlId(const QWidget* control);
QWidget* GetDlgItem(const QWidget* dialog, int id);
template <typename T>
T* DlgItem(const QWidget* dialog, int id) {
  return qobject_cast<T*>(GetDlgItem(dialog, id));
}

// Ends a modal dialog with a result.
void EndDialog(QDialog* dialog, int result);

// Builds the dialog, runs it modally over parent and returns its result.
int DialogBoxParam(DialogTemplate layout, QWidget* parent, CDialogFactory& factory);

// The dialogs' font: the platform's sans font at the size of the classic
// 8-point dialog font.
QFont DialogFont();

}  // namespace orbscope
