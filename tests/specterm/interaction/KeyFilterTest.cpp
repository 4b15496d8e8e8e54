// The keystroke filter of the numeric entry fields, as a table: a set, the
// box's text, selection and maximum length, and a key; the result is the
// character typed (what the box then shows), a rewritten text, or nothing.

#include "interaction/KeyFilter.h"

#include <gtest/gtest.h>

namespace specterm {
namespace {

TEST(KeyFilterTest, CharacterSetsByNumber) {
  EXPECT_EQ(CharacterSet(0), ".0123456789");
  EXPECT_EQ(CharacterSet(kPointKeys), "0123456789");
  EXPECT_EQ(CharacterSet(kFrequencyKeys), ".0123456789mM");
  EXPECT_EQ(CharacterSet(kAmplitudeKeys), "-.0123456789");
  EXPECT_EQ(CharacterSet(7), "0123456789aAbBcCdDeEfFhH");
  EXPECT_EQ(CharacterSet(14), "9876543210.");
  EXPECT_EQ(CharacterSet(15), "");
  EXPECT_EQ(CharacterSet(-1), "");
}

struct FilterCase {
  const char* what;
  int set;
  const char* text;
  int selStart;
  int selLength;
  int maxLength;
  char key;
  // The text after the key, as the box would show it; nullptr: rejected
  // with the text unchanged.
  const char* result;
  int caret;  // after a rewrite
};

// What the box shows after the filter's answer, as a text box applies it.
std::string Apply(const EntryText& box, const FilteredKey& out, int& caret) {
  if (out.Rewritten) {
    caret = out.Caret;
    return out.Text;
  }
  if (out.KeyAscii == 0) return box.Text;
  std::string text = box.Text;
  if (out.KeyAscii == kKeyBack) {
    if (box.SelLength > 0)
      text.erase(static_cast<std::size_t>(box.SelStart), static_cast<std::size_t>(box.SelLength));
    else if (box.SelStart > 0)
      text.erase(static_cast<std::size_t>(box.SelStart - 1), 1);
    return text;
  }
  if (out.KeyAscii == kKeyEscape) return text;
  text.replace(static_cast<std::size_t>(box.SelStart), static_cast<std::size_t>(box.SelLength), 1,
               static_cast<char>(out.KeyAscii));
  caret = box.SelStart + 1;
  return text;
}

TEST(KeyFilterTest, Table) {
  const FilterCase cases[] = {
      {"digit", 2, "12", 2, 0, 0, '3', "123", 3},
      {"letter outside the set", 2, "12", 2, 0, 0, 'x', nullptr, 0},
      {"point outside the point set", 2, "12", 2, 0, 0, '.', nullptr, 0},
      {"Backspace always", 2, "12", 2, 0, 0, '\b', "1", 0},
      {"Esc always", 11, "", 0, 0, 0, '\x1b', "", 0},
      {"empty set rejects digits", 15, "", 0, 0, 0, '1', nullptr, 0},
      {"first point", 0, "12", 2, 0, 0, '.', "12.", 3},
      {"second point", 0, "1.2", 3, 0, 0, '.', nullptr, 0},
      {"second point over the first", 0, "1.2", 1, 1, 0, '.', "1.2", 2},
      {"second point, another part selected", 0, "1.2", 2, 1, 0, '.', nullptr, 0},
      {"minus first", 1, "12", 0, 0, 0, '-', "-12", 1},
      {"minus later", 1, "12", 1, 0, 0, '-', nullptr, 0},
      {"minus at the end", 1, "12", 2, 0, 0, '-', nullptr, 0},
      {"second minus", 1, "-12", 0, 0, 0, '-', nullptr, 0},
      {"minus over the selected minus", 1, "-12", 0, 1, 0, '-', "-12", 1},
      {"minus over the whole text", 1, "-12.5", 0, 5, 0, '-', "-", 1},
      {"minus not in the set", 0, "12", 0, 0, 0, '-', nullptr, 0},
      {"m adds MHz", 5, "12.5", 4, 0, 0, 'm', "12.5 MHz", 4},
      {"M adds MHz", 5, "12.5", 1, 0, 0, 'M', "12.5 MHz", 4},
      {"a second m changes nothing", 5, "12.5 MHz", 8, 0, 0, 'm', nullptr, 0},
      {"m on an empty box", 5, "", 0, 0, 0, 'm', " MHz", 0},
      {"k not in the MHz set", 5, "12.5", 4, 0, 0, 'k', nullptr, 0},
      {"m exchanges KHz", 4, "12.5 KHz", 8, 0, 0, 'm', "12.5 MHz", 4},
      {"k exchanges MHz", 4, "7 MHz", 5, 0, 0, 'K', "7 KHz", 1},
      {"k adds KHz", 6, "300", 3, 0, 0, 'k', "300 KHz", 3},
      {"digit after the unit", 5, "12.5 MHz", 4, 0, 0, '3', "12.53 MHz", 5},
      {"hex digit upper-cased", 7, "1", 1, 0, 4, 'a', "1A", 2},
      {"hex digit as typed", 7, "1", 1, 0, 4, 'F', "1F", 2},
      {"hex keeps the last place for h", 7, "1AB", 3, 0, 4, 'C', nullptr, 0},
      {"hex h appended", 7, "1AB", 3, 0, 4, 'H', "1ABh", 3},
      {"hex h appended at the end", 8, "101", 1, 0, 8, 'h', "101h", 3},
      {"hex second h", 8, "101h", 4, 0, 8, 'h', nullptr, 0},
      {"hex last place with the suffix", 9, "12h", 2, 0, 4, '3', "123h", 3},
      {"hex digit over a selection", 7, "1AB", 0, 3, 4, 'C', "C", 1},
      {"octal digit", 13, "7", 1, 0, 0, '8', nullptr, 0},
      {"set 14 point", 14, "9", 1, 0, 0, '.', "9.", 2},
  };
  for (const FilterCase& c : cases) {
    SCOPED_TRACE(c.what);
    const EntryText box{c.text, c.selStart, c.selLength, c.maxLength};
    const FilteredKey out = FilterKey(static_cast<unsigned char>(c.key), CharacterSet(c.set), box);
    int caret = 0;
    const std::string shown = Apply(box, out, caret);
    if (c.result == nullptr) {
      EXPECT_EQ(out.KeyAscii, 0);
      EXPECT_EQ(shown, c.text);
    } else {
      EXPECT_EQ(shown, c.result);
      if (out.Rewritten || out.KeyAscii >= ' ') {
        EXPECT_EQ(caret, c.caret);
      }
    }
  }
}

TEST(KeyFilterTest, AddressBoxTakesDotsAndOnePort) {
  const FilterCase cases[] = {
      {"digit", 0, "192", 3, 0, 0, '1', "1921", 4},
      {"dots", 0, "192.168.", 8, 0, 0, '.', "192.168..", 9},
      {"colon", 0, "127.0.0.1", 9, 0, 0, ':', "127.0.0.1:", 10},
      {"second colon", 0, "127.0.0.1:21", 12, 0, 0, ':', nullptr, 0},
      {"colon over the colon", 0, "127.0.0.1:21", 9, 1, 0, ':', "127.0.0.1:21", 10},
      {"letter", 0, "127", 3, 0, 0, 'a', nullptr, 0},
      {"minus", 0, "", 0, 0, 0, '-', nullptr, 0},
      {"Backspace", 0, "127", 3, 0, 0, '\b', "12", 0},
  };
  for (const FilterCase& c : cases) {
    SCOPED_TRACE(c.what);
    const EntryText box{c.text, c.selStart, c.selLength, c.maxLength};
    int caret = 0;
    const FilteredKey out = FilterAddressKey(static_cast<unsigned char>(c.key), box);
    EXPECT_EQ(Apply(box, out, caret), c.result == nullptr ? c.text : c.result);
  }
}

}  // namespace
}  // namespace specterm
