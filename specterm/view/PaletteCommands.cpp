// The palette commands of the Options menu: choosing the palette in use and
// editing one colour of either palette through the colour dialog.

#include "forms/Dialogs.h"
#include "forms/PictureBox.h"
#include "view/PlotView.h"

#include <QAction>

namespace specterm {

void PlotView::mnuOptionsPalette_Click(int index) {
  if (index != kViewingPalette && index != kPrintingPalette) index = kViewingPalette;
  palette_.CurrentPalette = static_cast<std::int16_t>(index);
  c_.mnuOptionsPalette[static_cast<std::size_t>(index)]->setChecked(true);
  c_.mnuOptionsPalette[static_cast<std::size_t>(index == 0 ? 1 : 0)]->setChecked(false);
  UpdateView();
}

bool PlotView::EditPaletteColor(int palette, int slot) {
  const ColorMenuItem* item = nullptr;
  for (const ColorMenuItem& candidate : kColorMenuItems)
    if (candidate.slot == slot) item = &candidate;
  if (item == nullptr || (palette != kViewingPalette && palette != kPrintingPalette)) return false;
  auto& colours = palette_.Palettes[static_cast<std::size_t>(palette)];
  const auto chosen = forms::ShowColorDialog(QString::fromLatin1(item->dialogTitle),
                                             colours[static_cast<std::size_t>(slot)], c_.picSpectrum->window());
  if (!chosen) return false;
  colours[static_cast<std::size_t>(slot)] = *chosen & 0xFFFFFF;
  // Redrawn whichever palette was edited: the plot shows the palette in use,
  // never a picture blanked by the other palette's background.
  UpdateView();
  return slot == kSlotBackground && palette == palette_.CurrentPalette;
}

}  // namespace specterm
