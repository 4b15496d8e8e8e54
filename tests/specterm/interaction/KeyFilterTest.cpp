// The keystroke filter as a table: set, text, selection, maximum length and
// key; the character passed (0: rejected) or the text rewritten.

#include "interaction/KeyFilter.h"

#include <gtest/gtest.h>

namespace specterm {
namespace {

struct Case {
  const char* what;
  int set;  // -1: the address box
  const char* text;
  int selStart, selLength, maxLength;
  char key;
  int passed;             // the character typed; 0 when swallowed
  const char* rewritten;  // the box's new text, or nullptr
  int caret;
};

TEST(KeyFilterTest, Table) {
  EXPECT_EQ(CharacterSet(kFrequencyKeys), ".0123456789mM");
  EXPECT_EQ(CharacterSet(14), "9876543210.");
  EXPECT_EQ(CharacterSet(15), "");
  const Case cases[] = {
      {"digit", 2, "12", 2, 0, 0, '3', '3', nullptr, 0},
      {"outside the set", 2, "12", 2, 0, 0, '.', 0, nullptr, 0},
      {"Backspace always", 15, "12", 2, 0, 0, '\b', '\b', nullptr, 0},
      {"Esc always", 15, "", 0, 0, 0, '\x1b', '\x1b', nullptr, 0},
      {"second point", 0, "1.2", 3, 0, 0, '.', 0, nullptr, 0},
      {"point over the point", 0, "1.2", 1, 1, 0, '.', '.', nullptr, 0},
      {"point, other part selected", 0, "1.2", 2, 1, 0, '.', 0, nullptr, 0},
      {"minus first", 1, "12", 0, 0, 0, '-', '-', nullptr, 0},
      {"minus later", 1, "12", 1, 0, 0, '-', 0, nullptr, 0},
      {"second minus", 1, "-12", 0, 0, 0, '-', 0, nullptr, 0},
      {"minus over the minus", 1, "-12", 0, 1, 0, '-', '-', nullptr, 0},
      {"m adds MHz", 5, "12.5", 4, 0, 0, 'm', 0, "12.5 MHz", 4},
      {"M adds MHz", 5, "12.5", 1, 0, 0, 'M', 0, "12.5 MHz", 4},
      {"second m", 5, "12.5 MHz", 8, 0, 0, 'm', 0, nullptr, 0},
      {"k outside the MHz set", 5, "12.5", 4, 0, 0, 'k', 0, nullptr, 0},
      {"m exchanges KHz", 4, "12.5 KHz", 8, 0, 0, 'm', 0, "12.5 MHz", 4},
      {"k exchanges MHz", 4, "7 MHz", 5, 0, 0, 'K', 0, "7 KHz", 1},
      {"hex upper-cased", 7, "1", 1, 0, 4, 'a', 'A', nullptr, 0},
      {"hex keeps the last place", 7, "1AB", 3, 0, 4, 'C', 0, nullptr, 0},
      {"hex suffix", 7, "1AB", 1, 0, 4, 'H', 0, "1ABh", 3},
      {"hex second suffix", 8, "101h", 4, 0, 8, 'h', 0, nullptr, 0},
      {"hex last place after the suffix", 9, "12h", 2, 0, 4, '3', '3', nullptr, 0},
      {"address dots", -1, "127.0.0.", 8, 0, 0, '.', '.', nullptr, 0},
      {"address port", -1, "127.0.0.1", 9, 0, 0, ':', ':', nullptr, 0},
      {"address second colon", -1, "127.0.0.2:21", 12, 0, 0, ':', 0, nullptr, 0},
      {"address letter", -1, "127", 3, 0, 0, 'a', 0, nullptr, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const EntryText box{c.text, c.selStart, c.selLength, c.maxLength};
    const int key = static_cast<unsigned char>(c.key);
    const FilteredKey out = c.set < 0 ? FilterAddressKey(key, box) : FilterKey(key, CharacterSet(c.set), box);
    EXPECT_EQ(out.KeyAscii, static_cast<unsigned char>(c.passed));
    EXPECT_EQ(out.Rewritten, c.rewritten != nullptr);
    if (c.rewritten != nullptr) {
      EXPECT_EQ(out.Text, c.rewritten);
      EXPECT_EQ(out.Caret, c.caret);
    }
  }
}

}  // namespace
}  // namespace specterm
