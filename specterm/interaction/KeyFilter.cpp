#include "interaction/KeyFilter.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace specterm {
namespace {

constexpr std::array<std::string_view, 15> kCharacterSets = {
    ".0123456789",               // 0
    "-.0123456789",              // 1
    "0123456789",                // 2
    "-0123456789",               // 3
    ".0123456789kKmM",           // 4
    ".0123456789mM",             // 5
    ".0123456789kK",             // 6
    "0123456789aAbBcCdDeEfFhH",  // 7
    "01hH",                      // 8
    "0123hH",                    // 9
    "01234567hH",                // 10
    "01",                        // 11
    "0123",                      // 12
    "01234567",                  // 13
    "9876543210.",               // 14
};

bool Contains(std::string_view text, char c) { return text.find(c) != std::string_view::npos; }

bool ContainsEither(std::string_view text, char c) {
  return Contains(text, static_cast<char>(std::toupper(static_cast<unsigned char>(c)))) ||
         Contains(text, static_cast<char>(std::tolower(static_cast<unsigned char>(c))));
}

// The box's text without the part the selection covers (which the typed
// character replaces).
std::string Outside(const EntryText& box) {
  const int size = static_cast<int>(box.Text.size());
  const int start = std::clamp(box.SelStart, 0, size);
  const int end = std::clamp(box.SelStart + box.SelLength, start, size);
  return box.Text.substr(0, static_cast<std::size_t>(start)) + box.Text.substr(static_cast<std::size_t>(end));
}

FilteredKey Pass(int keyAscii) { return {keyAscii, false, {}, 0}; }

FilteredKey Reject() { return {}; }

FilteredKey Rewrite(std::string text, int caret) { return {0, true, std::move(text), caret}; }

// "m" or "M" writes " MHz" after the number, "k" or "K" " KHz"; a unit
// already there of the other kind is exchanged. Typing goes on at the end
// of the number.
FilteredKey UnitLetter(char key, const EntryText& box) {
  const char unit = static_cast<char>(std::toupper(static_cast<unsigned char>(key)));
  const char other = unit == 'M' ? 'K' : 'M';
  if (ContainsEither(box.Text, unit)) return Reject();
  std::string text;
  std::size_t unitAt = 0;
  const std::size_t otherAt = box.Text.find_first_of(std::string{other, static_cast<char>(std::tolower(other))});
  if (otherAt != std::string::npos) {
    text = box.Text.substr(0, otherAt);
    unitAt = otherAt;
  } else {
    text = box.Text + ' ';
    unitAt = text.size();
  }
  text += unit;
  text += "Hz";
  std::size_t numberEnd = unitAt;
  while (numberEnd > 0 && text[numberEnd - 1] == ' ') --numberEnd;
  return Rewrite(std::move(text), static_cast<int>(numberEnd));
}

// Hexadecimal entry: upper-case digits, and an "h" suffix that is appended
// rather than typed, with the last place of the box kept for it.
FilteredKey HexKey(char key, const EntryText& box) {
  const bool hasSuffix = ContainsEither(box.Text, 'h');
  if (key == 'h' || key == 'H') {
    if (hasSuffix) return Reject();
    return Rewrite(box.Text + 'h', static_cast<int>(box.Text.size()));
  }
  if (key >= 'a' && key <= 'f') key = static_cast<char>(key - 'a' + 'A');
  const int length = static_cast<int>(Outside(box).size()) + 1;
  if (box.MaxLength > 0 && length >= box.MaxLength && !hasSuffix) return Reject();
  return Pass(static_cast<unsigned char>(key));
}

}  // namespace

std::string_view CharacterSet(int set) {
  if (set < 0 || set >= static_cast<int>(kCharacterSets.size())) return {};
  return kCharacterSets[static_cast<std::size_t>(set)];
}

FilteredKey FilterKey(int keyAscii, std::string_view allowed, const EntryText& box) {
  if (keyAscii == kKeyBack || keyAscii == kKeyEscape) return Pass(keyAscii);
  if (keyAscii <= 0 || keyAscii > 255) return Reject();
  const char key = static_cast<char>(keyAscii);
  if (!Contains(allowed, key)) return Reject();
  const std::string outside = Outside(box);
  if (key == '.' && Contains(outside, '.')) return Reject();
  if (key == '-' && (box.SelStart != 0 || Contains(outside, '-'))) return Reject();
  if (key == 'm' || key == 'M' || key == 'k' || key == 'K') return UnitLetter(key, box);
  if (ContainsEither(allowed, 'h')) return HexKey(key, box);
  return Pass(keyAscii);
}

FilteredKey FilterAddressKey(int keyAscii, const EntryText& box) {
  if (keyAscii == kKeyBack || keyAscii == kKeyEscape) return Pass(keyAscii);
  for (const int editing : {kCtrlA, kCtrlC, kCtrlV, kCtrlX, kCtrlZ})
    if (keyAscii == editing) return Pass(keyAscii);
  if (keyAscii <= 0 || keyAscii > 255) return Reject();
  const char key = static_cast<char>(keyAscii);
  if (!Contains(kAddressKeys, key)) return Reject();
  const std::string outside = Outside(box);
  if (key == ':' && Contains(outside, ':')) return Reject();
  return Pass(keyAscii);
}

}  // namespace specterm
