#pragma once

// The modem manager ("Select Modem"): the list of every modem, with Add,
// Remove and Properties (also on the list's right-button menu mnuEdit), and
// OK, which makes the selected modem the current one. Cancel leaves the
// current modem as it was when the manager opened.

#include <QDialog>

#include <string>

class QAction;
class QListWidget;
class QMenu;
class QPushButton;

namespace specterm {

class ModemDirectory;

class frmModemSelect : public QDialog {
  Q_OBJECT

 public:
  frmModemSelect(ModemDirectory& directory, QWidget* parent = nullptr);

  QListWidget* listModems = nullptr;
  QPushButton* cmdAdd = nullptr;
  QPushButton* cmdRemove = nullptr;
  QPushButton* cmdProps = nullptr;
  QPushButton* cmdOK = nullptr;
  QPushButton* cmdCancel = nullptr;
  QMenu* mnuEdit = nullptr;
  QAction* mnuEditAdd = nullptr;
  QAction* mnuEditRemove = nullptr;
  QAction* mnuEditProps = nullptr;
  QAction* mnuEditSep0 = nullptr;
  QAction* mnuEditDone = nullptr;

  void cmdAdd_Click();
  void cmdRemove_Click();
  void cmdProps_Click();
  void cmdOK_Click();
  void cmdCancel_Click();
  void listModems_MouseDown(int button, const QPoint& globalPos);

  // Closing by Cancel, Esc or the close box.
  void reject() override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // The selected row, which is the modem's position less one; -1 for none.
  int SelectedRow() const;
  // The list shows the modems' names in collection order.
  void FillList(int selectRow);

  ModemDirectory& directory_;
  // LastModem as the manager found it.
  std::string openedWith_;
};

}  // namespace specterm
