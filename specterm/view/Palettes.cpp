#include "view/Palettes.h"

namespace specterm {

PaletteColors DefaultPalette(int index) {
  if (index == kPrintingPalette)
    return {0xFFFFFF, 0x008000, 0x000000, 0x5F5F5F, 0x000000, 0xFF00FF, 0x0000FF, 0xFFFF00, 0xFF0000};
  return {0x000000, 0x00FF00, 0x00FFFF, 0x5F5F5F, 0x000000, 0x0000FF, 0xFF00FF, 0xFFFF00, 0xFF0000};
}

int PointerImageForMouseMode(int mouseMode) {
  switch (mouseMode) {
    case 1:  // zoom window
      return 1;
    case 2:  // zoom in
      return 2;
    case 3:  // zoom out
      return 3;
    default:
      return 5;
  }
}

}  // namespace specterm
