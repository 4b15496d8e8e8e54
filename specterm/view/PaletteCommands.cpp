// The palette commands of the Options menu: choosing the palette in use and
// editing one colour of either palette through the colour dialog.

#include "forms/Dialogs.h"
#include "forms/PictureBox.h"
#include "modems/frmMain.h"
#include "view/Icons.h"

#include <QAction>

namespace specterm {

void frmMain::mnuOptionsPalette_Click(int index) {
  if (index != kViewingPalette && index != kPrintingPalette) index = kViewingPalette;
  Palette.CurrentPalette = static_cast<std::int16_t>(index);
  mnuOptionsPalette[static_cast<std::size_t>(index)]->setChecked(true);
  mnuOptionsPalette[static_cast<std::size_t>(index == 0 ? 1 : 0)]->setChecked(false);
  UpdateView();
}

void frmMain::EditPaletteColor(int palette, int slot) {
  const ColorMenuItem* item = nullptr;
  for (const ColorMenuItem& candidate : kColorMenuItems)
    if (candidate.slot == slot) item = &candidate;
  if (item == nullptr || (palette != kViewingPalette && palette != kPrintingPalette)) return;
  auto& colours = Palette.Palettes[static_cast<std::size_t>(palette)];
  const auto chosen =
      forms::ShowColorDialog(QString::fromLatin1(item->dialogTitle), colours[static_cast<std::size_t>(slot)], this);
  if (!chosen) return;
  colours[static_cast<std::size_t>(slot)] = *chosen & 0xFFFFFF;

  if (slot == kSlotBackground) {
    // The picture takes the new background at once, whichever palette it
    // belongs to; the next redraw repaints it with the palette in use.
    picSpectrum->SetBackColor(colours[kSlotBackground]);
    if (palette == Palette.CurrentPalette && picSpectrum->MousePointer() == forms::vbCustom)
      picSpectrum->SetMouseIcon(imgCursors.Cursor(PointerImageForMouseMode(Mouse.MouseMode)));
  }
  if (palette == Palette.CurrentPalette) UpdateView();
}

}  // namespace specterm
