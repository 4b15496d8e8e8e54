// What the user types into the modem's address box and the numeric entry
// boxes: the address check, and the key filter over a whole typing session
// (the box's text, selection and limit follow what the filter let through).

#include "FuzzInput.h"
#include "interaction/KeyFilter.h"
#include "modems/IpAddress.h"

#include <algorithm>
#include <cstdlib>

namespace {

using namespace specterm;

// A box that takes what the filter hands it, as the entry box does.
void Type(EntryText& box, int key, const FilteredKey& result) {
  const int size = static_cast<int>(box.Text.size());
  if (result.Rewritten) {
    if (result.KeyAscii != 0 || result.Caret < 0 || result.Caret > static_cast<int>(result.Text.size())) std::abort();
    box.Text = result.Text;
    box.SelStart = result.Caret;
    box.SelLength = 0;
    return;
  }
  if (result.KeyAscii == 0) return;
  const int start = std::clamp(box.SelStart, 0, size);
  const int end = std::clamp(box.SelStart + box.SelLength, start, size);
  if (result.KeyAscii == kKeyBack) {
    const int from = end > start ? start : std::max(start - 1, 0);
    box.Text.erase(static_cast<std::size_t>(from), static_cast<std::size_t>(end - from));
    box.SelStart = from;
  } else if (result.KeyAscii != kKeyEscape) {
    if (result.KeyAscii != key && !(key >= 'a' && key <= 'f' && result.KeyAscii == key - 'a' + 'A')) std::abort();
    box.Text.replace(static_cast<std::size_t>(start), static_cast<std::size_t>(end - start), 1,
                     static_cast<char>(result.KeyAscii));
    box.SelStart = start + 1;
  }
  box.SelLength = 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text = fuzz::Text(data, size);
  const AddressCheck check = CheckIpAddress(text);
  if ((check == AddressCheck::Valid) != (*AddressCheckMessage(check) == '\0')) std::abort();
  if (check == AddressCheck::Valid &&
      std::count(text.begin(), text.begin() + std::min(text.find(':'), text.size()), '.') != 3)
    std::abort();
  if (size < 3) return 0;

  // Then a typing session: the set, the box's limit, and per key a byte of
  // the key and a byte that may move the selection.
  const int set = data[0] % 16;  // 15 is no set: nothing passes but editing keys
  EntryText box;
  box.MaxLength = data[1] % 24;
  EntryText address;
  for (std::size_t i = 2; i + 1 < size; i += 2) {
    const int key = data[i] == 0xFF ? 300 : data[i];
    const std::uint8_t move = data[i + 1];
    if (move & 0x80) {
      box.SelStart = (move & 0x1F) - 2;
      box.SelLength = ((move >> 5) & 3) - 1;
    }
    const FilteredKey result = FilterKey(key, CharacterSet(set), box);
    if (result.KeyAscii != 0 && key != kKeyBack && key != kKeyEscape && !result.Rewritten &&
        CharacterSet(set).find(static_cast<char>(key)) == std::string_view::npos)
      std::abort();
    Type(box, key, result);
    Type(address, key, FilterAddressKey(key, address));
  }
  if (std::count(address.Text.begin(), address.Text.end(), ':') > 1) std::abort();
  (void)CheckIpAddress(address.Text);
  return 0;
}
