#pragma once

// The Windows virtual-key codes that key handlers take, mapped from Qt's key
// codes, and the classic shift state of key and mouse events.

#include <Qt>

class QKeyEvent;

namespace forms {

inline constexpr int vbKeyBack = 8;
inline constexpr int vbKeyTab = 9;
inline constexpr int vbKeyReturn = 13;
inline constexpr int vbKeyShift = 16;
inline constexpr int vbKeyControl = 17;
inline constexpr int vbKeyMenu = 18;
inline constexpr int vbKeyEscape = 27;
inline constexpr int vbKeySpace = 32;
inline constexpr int vbKeyPageUp = 33;
inline constexpr int vbKeyPageDown = 34;
inline constexpr int vbKeyEnd = 35;
inline constexpr int vbKeyHome = 36;
inline constexpr int vbKeyLeft = 37;
inline constexpr int vbKeyUp = 38;
inline constexpr int vbKeyRight = 39;
inline constexpr int vbKeyDown = 40;
inline constexpr int vbKeyInsert = 45;
inline constexpr int vbKeyDelete = 46;
inline constexpr int vbKeyF1 = 112;

// The virtual-key code of a Qt key (letters as upper-case 65..90, digits
// 48..57, F1..F24 as 112..135); 0 for keys without one.
int VirtualKeyFromQt(int qtKey);

// The Qt key of a virtual-key code (the inverse of the above); 0 when none.
int QtKeyFromVirtual(int virtualKey);

// Shift state: 1 Shift, 2 Ctrl, 4 Alt.
int ShiftFromQt(Qt::KeyboardModifiers modifiers);

// The character code a key press types (KeyAscii): Enter 13, Esc 27,
// Backspace 8, Ctrl with a letter its control character (Ctrl+A 1 ...
// Ctrl+Z 26, whatever text the platform gives it), otherwise the first
// character of the text when it is a single 8-bit character; 0 when the key
// types nothing or a character beyond 8 bits.
int KeyAsciiFromEvent(const QKeyEvent& event);

}  // namespace forms
