#pragma once

// The About box: program icon, title, version, what the program does and
// the disclaimer.

#include <QDialog>

class QLabel;
class QPushButton;

namespace specterm {

class frmAbout : public QDialog {
  Q_OBJECT

 public:
  explicit frmAbout(QWidget* parent = nullptr);

  QLabel* picIcon = nullptr;
  QLabel* lblTitle = nullptr;
  QLabel* lblVersion = nullptr;
  QLabel* lblDescription = nullptr;
  QLabel* lblDisclaimer = nullptr;
  QPushButton* cmdOK = nullptr;

 protected:
  void showEvent(QShowEvent* event) override;
};

}  // namespace specterm
