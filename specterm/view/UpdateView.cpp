// Drawing of the plot. For now the picture shows its background in the
// palette in use; the traces, grids and labels are drawn on top of it by the
// live spectrum.

#include "forms/KeyedStatusBar.h"
#include "forms/PictureBox.h"
#include "modems/frmMain.h"

namespace specterm {

void frmMain::UpdateView() {
  Selection.MarkerErased = true;
  const PaletteColors& colours = Palette.Palettes[static_cast<std::size_t>(Palette.CurrentPalette)];
  picSpectrum->SetBackColor(colours[kSlotBackground]);
  picSpectrum->Cls();
  sbStatus->SetPanelText(QStringLiteral("Status"), QString());
  SetMoveButtons();
}

void frmMain::SetPrevious() {
  View.PreviousView = {picSpectrum->ScaleLeft(), picSpectrum->ScaleTop(), picSpectrum->ScaleWidth(),
                       picSpectrum->ScaleHeight()};
}

}  // namespace specterm
