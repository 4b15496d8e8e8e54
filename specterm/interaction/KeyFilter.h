#pragma once

// The keystrokes of the numeric entry fields: the character sets, chosen by
// number, and the filter every typed character passes before it reaches the
// box that has the focus. The filter reads the box's text, selection and
// maximum length; besides passing, changing or rejecting the character it
// may rewrite the box's whole text (the unit letters and the hexadecimal
// suffix are never typed as they are).

#include <string>
#include <string_view>

namespace specterm {

// The characters of set 0..14; empty for any other number. Every set also
// accepts Backspace and Esc.
std::string_view CharacterSet(int set);

// The sets of the four boxes.
inline constexpr int kPointKeys = 2;
inline constexpr int kFrequencyKeys = 5;
inline constexpr int kAmplitudeKeys = 1;
inline constexpr int kThresholdKeys = 1;

inline constexpr int kKeyBack = 8;
inline constexpr int kKeyReturn = 13;
inline constexpr int kKeyEscape = 27;
// What Ctrl with a letter types: its place in the alphabet.
inline constexpr int kCtrlA = 1;
inline constexpr int kCtrlC = 3;
inline constexpr int kCtrlV = 22;
inline constexpr int kCtrlX = 24;
inline constexpr int kCtrlZ = 26;

// What the filter reads of the box. Positions count characters of Text.
struct EntryText {
  std::string Text;
  int SelStart = 0;
  int SelLength = 0;
  int MaxLength = 0;  // 0: no limit
};

struct FilteredKey {
  int KeyAscii = 0;        // the character to type; 0: swallowed
  bool Rewritten = false;  // the box's whole text becomes Text
  std::string Text;
  int Caret = 0;  // the caret after a rewrite: where typing goes on
};

// The characters of an address box.
inline constexpr std::string_view kAddressKeys = "0123456789.:";

// Filters one typed character for a box that accepts `allowed`.
FilteredKey FilterKey(int keyAscii, std::string_view allowed, const EntryText& box);

// An address box takes the digits and the dots of an IPv4 address, and one
// ":" before a port number; it is a dialog's own box, so its editing keys
// (Ctrl+A, C, X, V and Z) pass to it.
FilteredKey FilterAddressKey(int keyAscii, const EntryText& box);

}  // namespace specterm
