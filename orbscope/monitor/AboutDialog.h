#pragma once

// The "ABOUT" dialog (no caption), centred over its parent, and the
// program's icon.

#include <QDialog>
#include <QIcon>

namespace orbscope {

class CAboutDialog : public QDialog {
  Q_OBJECT
 public:
  explicit CAboutDialog(QWidget* parent);

  // Commands 1 (OK, Enter) and 2 (Escape) end the dialog.
  void Command(int id);
  // Escape: command 2.
  void reject() override;

 protected:
  void showEvent(QShowEvent* event) override;
};

// Where a window of the given size goes so that its centre is the centre of
// the outer rectangle, halves by integer division.
QPoint CentreOver(const QRect& outer, const QSize& size);

// The "ORBSCOPE" icon: a small QPSK constellation.
QIcon OrbscopeIcon();
QPixmap OrbscopePixmap(int size);

}  // namespace orbscope
