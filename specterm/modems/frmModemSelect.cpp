#include "modems/frmModemSelect.h"

#include "forms/Dialogs.h"
#include "forms/PictureBox.h"
#include "forms/QtText.h"
#include "modems/DateText.h"
#include "modems/ModemDirectory.h"
#include "modems/frmModem.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QVBoxLayout>

namespace specterm {
namespace {

constexpr int kListWidth = 220;
constexpr int kListHeight = 180;
using forms::kFixedDialogFlags;

using forms::Text;

QPushButton* Button(QWidget* parent, const char* name, const char* caption) {
  auto* button = new QPushButton(QString::fromLatin1(caption), parent);
  button->setObjectName(QString::fromLatin1(name));
  button->setAutoDefault(false);
  return button;
}

QAction* MenuItem(QMenu* menu, const char* name, const char* caption) {
  QAction* item = menu->addAction(QString::fromLatin1(caption));
  item->setObjectName(QString::fromLatin1(name));
  return item;
}

}  // namespace

frmModemSelect::frmModemSelect(ModemDirectory& directory, QWidget* parent) : QDialog(parent), directory_(directory) {
  setObjectName(QStringLiteral("frmModemSelect"));
  setWindowFlags(kFixedDialogFlags);
  setWindowTitle(QStringLiteral("Select Modem"));

  listModems = new QListWidget(this);
  listModems->setObjectName(QStringLiteral("listModems"));
  // No label names the list: screen readers call it after what it holds.
  listModems->setAccessibleName(QStringLiteral("Modems"));
  listModems->setSelectionMode(QAbstractItemView::SingleSelection);
  listModems->setMinimumSize(kListWidth, kListHeight);
  listModems->viewport()->installEventFilter(this);

  cmdAdd = Button(this, "cmdAdd", "Add Modem");
  cmdRemove = Button(this, "cmdRemove", "Remove Modem");
  cmdProps = Button(this, "cmdProps", "Properties");
  cmdOK = Button(this, "cmdOK", "OK");
  cmdOK->setDefault(true);
  cmdCancel = Button(this, "cmdCancel", "Cancel");

  mnuEdit = new QMenu(QStringLiteral("&Edit"), this);
  mnuEdit->setObjectName(QStringLiteral("mnuEdit"));
  mnuEditAdd = MenuItem(mnuEdit, "mnuEditAdd", "&Add New Modem");
  mnuEditRemove = MenuItem(mnuEdit, "mnuEditRemove", "&Remove Modem");
  mnuEditProps = MenuItem(mnuEdit, "mnuEditProps", "&Edit Modem Properties");
  mnuEditSep0 = mnuEdit->addSeparator();
  mnuEditSep0->setObjectName(QStringLiteral("mnuEditSep0"));
  // Only closes the menu.
  mnuEditDone = MenuItem(mnuEdit, "mnuEditDone", "&Done");

  auto* side = new QVBoxLayout;
  for (QPushButton* b : {cmdAdd, cmdRemove, cmdProps}) side->addWidget(b);
  side->addStretch(1);
  side->addWidget(cmdOK);
  side->addWidget(cmdCancel);
  auto* layout = new QHBoxLayout(this);
  layout->addWidget(listModems, 1);
  layout->addLayout(side);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  connect(cmdAdd, &QPushButton::clicked, this, &frmModemSelect::cmdAdd_Click);
  connect(cmdRemove, &QPushButton::clicked, this, &frmModemSelect::cmdRemove_Click);
  connect(cmdProps, &QPushButton::clicked, this, &frmModemSelect::cmdProps_Click);
  connect(cmdOK, &QPushButton::clicked, this, &frmModemSelect::cmdOK_Click);
  connect(cmdCancel, &QPushButton::clicked, this, &frmModemSelect::cmdCancel_Click);
  connect(mnuEditAdd, &QAction::triggered, this, &frmModemSelect::cmdAdd_Click);
  connect(mnuEditRemove, &QAction::triggered, this, &frmModemSelect::cmdRemove_Click);
  connect(mnuEditProps, &QAction::triggered, this, &frmModemSelect::cmdProps_Click);
  connect(listModems, &QListWidget::itemDoubleClicked, this, &frmModemSelect::cmdOK_Click);

  // Loading: every modem, the current one selected.
  openedWith_ = directory_.LastModem();
  int current = -1;
  const Modems& modems = directory_.ModemList();
  if (!openedWith_.empty())
    for (int i = 1; i <= modems.Count(); ++i)
      if (KeysEqual(modems.Item(i)->Name, openedWith_)) {
        current = i - 1;
        break;
      }
  FillList(current);
  listModems->setFocus();
}

void frmModemSelect::FillList(int selectRow) {
  listModems->clear();
  for (const Modems::ModemPtr& modem : directory_.ModemList()) listModems->addItem(Text(modem->Name));
  if (selectRow >= 0 && selectRow < listModems->count()) listModems->setCurrentRow(selectRow);
}

int frmModemSelect::SelectedRow() const {
  const QListWidgetItem* item = listModems->currentItem();
  return item != nullptr && item->isSelected() ? listModems->row(item) : -1;
}

void frmModemSelect::cmdAdd_Click() {
  directory_.SetLastModem(std::string());
  {
    frmModem form(directory_, this);
    forms::ShowModal(form);
  }
  directory_.SetLastModem(openedWith_);
  // New names at the end; an overwritten modem may show its name in
  // another letter case.
  FillList(SelectedRow());
}

void frmModemSelect::cmdProps_Click() {
  const int row = SelectedRow();
  if (row < 0) return;
  const std::string name = directory_.ModemList().Item(row + 1)->Name;
  directory_.SetLastModem(name);
  int result = QDialog::Rejected;
  {
    frmModem form(directory_, this);
    result = forms::ShowModal(form);
  }
  if (result != QDialog::Accepted) {
    FillList(row);
    return;
  }
  // The modem as it is called now: renamed, or gone into the modem whose
  // name it took. A current modem stays the current one by that name.
  const std::string now = directory_.LastModem();
  if (KeysEqual(openedWith_, name)) openedWith_ = now;
  FillList(directory_.ModemList().Position(now) - 1);
}

void frmModemSelect::cmdRemove_Click() {
  const int row = SelectedRow();
  if (row < 0) return;
  const Modems::ModemPtr removed = directory_.ModemList().Item(row + 1);
  const int answer =
      forms::MsgBox(QStringLiteral("Are you sure you wish to remove ") + Text(removed->Name) + QStringLiteral("?"),
                    forms::vbYesNo | forms::vbExclamation, QStringLiteral("OK to Remove"), this);
  if (answer != forms::vbYes) return;
  directory_.RemoveModem(row + 1);
  delete listModems->takeItem(row);
  directory_.UpdateModems();
  if (listModems->count() > 0) listModems->setCurrentRow(row == 0 ? 0 : row - 1);
}

void frmModemSelect::cmdOK_Click() {
  const int row = SelectedRow();
  if (row >= 0) directory_.SetLastModem(directory_.ModemList().Item(row + 1)->Name);
  const std::string& chosen = directory_.LastModem();
  if (chosen != openedWith_) {
    if (directory_.ModemList().Exists(chosen)) directory_.EditModemList().Item(chosen)->LastComm = Now();
    directory_.UpdateModems();
    directory_.ShowConnectedTitle();
  }
  accept();
}

void frmModemSelect::cmdCancel_Click() { reject(); }

void frmModemSelect::reject() {
  // Nothing chosen: the current modem is the one the manager found (a
  // Properties visit does not change it).
  directory_.SetLastModem(openedWith_);
  QDialog::reject();
}

void frmModemSelect::listModems_MouseDown(int button, const QPoint& globalPos) {
  if (button == forms::vbRightButton) mnuEdit->popup(globalPos);
}

bool frmModemSelect::eventFilter(QObject* watched, QEvent* event) {
  if (watched == listModems->viewport() && event->type() == QEvent::MouseButtonPress) {
    const auto* mouse = static_cast<QMouseEvent*>(event);
    if (mouse->button() == Qt::RightButton) {
      listModems_MouseDown(forms::vbRightButton, mouse->globalPosition().toPoint());
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

}  // namespace specterm
