#include "forms/AccessibleNames.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QFormLayout>
#include <QGridLayout>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPointer>
#include <QScrollBar>
#include <QToolButton>
#include <QVariant>
#include <QWidget>

namespace forms {

namespace {

// The name this helper gave a widget, so that a later tool tip change can
// tell its own name from one the program set.
constexpr const char* kGivenName = "forms_givenAccessibleName";

QString Plain(QString text) {
  // A caption without its mnemonic: "&File" reads "File"; "&&" is a literal
  // ampersand.
  text.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
  text.remove(QLatin1Char('&'));
  text.replace(QLatin1Char('\x01'), QLatin1Char('&'));
  return text.trimmed();
}

QString NameFromAccessibility(QWidget* widget) {
  QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
  return accessible != nullptr ? accessible->text(QAccessible::Name).trimmed() : QString();
}

// The layout that holds widget directly, searched from its parent's.
QLayout* HoldingLayout(QLayout* layout, QWidget* widget) {
  if (layout == nullptr) return nullptr;
  if (layout->indexOf(widget) >= 0) return layout;
  for (int i = 0; i < layout->count(); ++i) {
    if (QLayout* found = HoldingLayout(layout->itemAt(i)->layout(), widget)) return found;
  }
  return nullptr;
}

QString LabelText(QLayoutItem* item) {
  auto* label = item != nullptr ? qobject_cast<QLabel*>(item->widget()) : nullptr;
  if (label == nullptr) return {};
  QString text = Plain(label->text());
  if (text.endsWith(QLatin1Char(':'))) text.chop(1);
  return text.trimmed();
}

// The caption of a text box or list: the label in front of it in its
// layout, as the classic dialogs name an edit after the static text before
// it.
QString LabelBeside(QWidget* widget) {
  QWidget* parent = widget->parentWidget();
  QLayout* layout = parent != nullptr ? HoldingLayout(parent->layout(), widget) : nullptr;
  if (layout == nullptr) return {};
  if (auto* form = qobject_cast<QFormLayout*>(layout)) {
    QWidget* label = form->labelForField(widget);
    return label != nullptr ? LabelText(form->itemAt(form->indexOf(label))) : QString();
  }
  const int index = layout->indexOf(widget);
  if (auto* grid = qobject_cast<QGridLayout*>(layout)) {
    int row = 0, column = 0, rowSpan = 0, columnSpan = 0;
    grid->getItemPosition(index, &row, &column, &rowSpan, &columnSpan);
    return column > 0 ? LabelText(grid->itemAtPosition(row, column - 1)) : QString();
  }
  auto* box = qobject_cast<QBoxLayout*>(layout);
  if (box != nullptr && index > 0 &&
      (box->direction() == QBoxLayout::LeftToRight || box->direction() == QBoxLayout::TopToBottom))
    return LabelText(box->itemAt(index - 1));
  return {};
}

// What the user reads on or over the control: its tool tip, else a caption.
QString VisibleName(QWidget* widget) {
  if (!widget->toolTip().isEmpty()) return widget->toolTip().trimmed();
  if (auto* tool = qobject_cast<QToolButton*>(widget); tool != nullptr && tool->defaultAction() != nullptr) {
    const QAction* action = tool->defaultAction();
    if (!action->toolTip().isEmpty()) return action->toolTip().trimmed();
    if (!action->text().isEmpty()) return Plain(action->text());
  }
  if (auto* button = qobject_cast<QAbstractButton*>(widget); button != nullptr && !Plain(button->text()).isEmpty())
    return Plain(button->text());
  if (const QString beside = LabelBeside(widget); !beside.isEmpty()) return beside;
  // The text box of an editable list is named as the list.
  if (auto* combo = qobject_cast<QComboBox*>(widget->parentWidget()); combo != nullptr && combo->lineEdit() == widget)
    return VisibleName(combo);
  if (auto* edit = qobject_cast<QLineEdit*>(widget); edit != nullptr && !edit->placeholderText().trimmed().isEmpty())
    return edit->placeholderText().trimmed();
  if (!widget->statusTip().isEmpty()) return widget->statusTip().trimmed();
  // The scroll bars of a list or text area are named after it.
  if (auto* bar = qobject_cast<QScrollBar*>(widget)) {
    for (QWidget* p = bar->parentWidget(); p != nullptr; p = p->parentWidget())
      if (auto* area = qobject_cast<QAbstractScrollArea*>(p)) {
        const QString owner = !area->accessibleName().isEmpty() ? area->accessibleName() : VisibleName(area);
        if (owner.isEmpty()) break;
        return owner + (bar->orientation() == Qt::Vertical ? QStringLiteral(" Vertical Scroll")
                                                           : QStringLiteral(" Horizontal Scroll"));
      }
  }
  // Qt's own buttons for what does not fit into a toolbar or menu bar.
  if (widget->objectName() == QLatin1String("qt_toolbar_ext_button")) return QStringLiteral("More Tools");
  if (widget->objectName() == QLatin1String("qt_menubar_ext_button")) return QStringLiteral("More Menus");
  return {};
}

void Name(QWidget* widget) {
  const QVariant given = widget->property(kGivenName);
  const bool ownName = given.isValid() && widget->accessibleName() == given.toString();
  if (ownName) {
    // Follow the tool tip or caption the name came from.
    const QString name = VisibleName(widget);
    if (name == given.toString()) return;
    widget->setAccessibleName(name);
    widget->setProperty(kGivenName, name);
    return;
  }
  if (!widget->accessibleName().isEmpty()) return;
  // Qt names a list box after its current entry, which is its value.
  if (qobject_cast<QComboBox*>(widget) == nullptr && !NameFromAccessibility(widget).isEmpty()) return;
  const QString name = VisibleName(widget);
  if (name.isEmpty()) return;
  widget->setAccessibleName(name);
  widget->setProperty(kGivenName, name);
}

class Namer : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    const QEvent::Type type = event->type();
    if ((type != QEvent::Polish && type != QEvent::ToolTipChange) || !watched->isWidgetType()) return false;
    auto* widget = static_cast<QWidget*>(watched);
    // A window names all its controls when it is first shown, hidden ones
    // too (an editor shown later, the toolbar's overflow button).
    if (type == QEvent::Polish && widget->isWindow())
      NameControls(widget);
    else
      Name(widget);
    return false;
  }
};

}  // namespace

void NameControls(QWidget* root) {
  if (root == nullptr) return;
  Name(root);
  for (QWidget* child : root->findChildren<QWidget*>()) Name(child);
}

void KeepControlsNamed() {
  static QPointer<Namer> namer;
  if (namer != nullptr || qApp == nullptr) return;
  namer = new Namer(qApp);
  qApp->installEventFilter(namer);
}

}  // namespace forms
