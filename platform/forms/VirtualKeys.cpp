#include "forms/VirtualKeys.h"

#include <QKeyEvent>

namespace forms {
namespace {

struct KeyPair {
  int qt;
  int vk;
};

constexpr KeyPair kSpecialKeys[] = {
    {Qt::Key_Backspace, vbKeyBack},
    {Qt::Key_Tab, vbKeyTab},
    {Qt::Key_Return, vbKeyReturn},
    {Qt::Key_Enter, vbKeyReturn},
    {Qt::Key_Shift, vbKeyShift},
    {Qt::Key_Control, vbKeyControl},
    {Qt::Key_Alt, vbKeyMenu},
    {Qt::Key_Escape, vbKeyEscape},
    {Qt::Key_Space, vbKeySpace},
    {Qt::Key_PageUp, vbKeyPageUp},
    {Qt::Key_PageDown, vbKeyPageDown},
    {Qt::Key_End, vbKeyEnd},
    {Qt::Key_Home, vbKeyHome},
    {Qt::Key_Left, vbKeyLeft},
    {Qt::Key_Up, vbKeyUp},
    {Qt::Key_Right, vbKeyRight},
    {Qt::Key_Down, vbKeyDown},
    {Qt::Key_Insert, vbKeyInsert},
    {Qt::Key_Delete, vbKeyDelete},
    {Qt::Key_Pause, 19},
    {Qt::Key_CapsLock, 20},
};

}  // namespace

int VirtualKeyFromQt(int qtKey) {
  if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) return 'A' + (qtKey - Qt::Key_A);
  if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) return '0' + (qtKey - Qt::Key_0);
  if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24) return vbKeyF1 + (qtKey - Qt::Key_F1);
  for (const KeyPair& k : kSpecialKeys)
    if (k.qt == qtKey) return k.vk;
  return 0;
}

int QtKeyFromVirtual(int virtualKey) {
  if (virtualKey >= 'A' && virtualKey <= 'Z') return Qt::Key_A + (virtualKey - 'A');
  if (virtualKey >= '0' && virtualKey <= '9') return Qt::Key_0 + (virtualKey - '0');
  if (virtualKey >= vbKeyF1 && virtualKey < vbKeyF1 + 24) return Qt::Key_F1 + (virtualKey - vbKeyF1);
  for (const KeyPair& k : kSpecialKeys)
    if (k.vk == virtualKey) return k.qt;
  return 0;
}

int ShiftFromQt(Qt::KeyboardModifiers modifiers) {
  int shift = 0;
  if (modifiers & Qt::ShiftModifier) shift |= 1;
  if (modifiers & Qt::ControlModifier) shift |= 2;
  if (modifiers & Qt::AltModifier) shift |= 4;
  return shift;
}

int KeyAsciiFromEvent(const QKeyEvent& event) {
  switch (event.key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      return vbKeyReturn;
    case Qt::Key_Escape:
      return vbKeyEscape;
    case Qt::Key_Backspace:
      return vbKeyBack;
    default:
      break;
  }
  const Qt::KeyboardModifiers chord = event.modifiers() & (Qt::ControlModifier | Qt::AltModifier);
  if (chord == Qt::ControlModifier && event.key() >= Qt::Key_A && event.key() <= Qt::Key_Z)
    return event.key() - Qt::Key_A + 1;
  const QString text = event.text();
  if (text.size() != 1) return 0;
  const char16_t c = text.at(0).unicode();
  return c < 256 ? static_cast<int>(c) : 0;
}

}  // namespace forms
