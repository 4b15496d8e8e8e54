#pragma once

// The numeric entry fields: a data point number, a frequency in MHz and an
// amplitude in dB typed into boxes that open over their status panels when
// the panel is clicked, and the minimum peak threshold typed into its box on
// the cursor toolbar. Each keystroke passes the key filter of the box's
// character set; Enter accepts, Esc cancels, and the box's validation either
// applies the value (a move of the selection or the threshold) or keeps the
// focus in the box with a notice in the status bar. While a box has the
// focus the window does not preview keys.

#include "interaction/InteractionState.h"

#include <QString>

namespace forms {
class EntryBox;
}  // namespace forms

namespace specterm {

class Interaction;
class Navigation;
class PlotView;
class Processing;
class StatusBarPresenter;

// The four entry boxes: three in-place editors over their status panels,
// and the threshold box on the cursor toolbar.
struct EntryControls {
  forms::EntryBox* txtPoint = nullptr;
  forms::EntryBox* txtFreq = nullptr;
  forms::EntryBox* txtAmp = nullptr;
  forms::EntryBox* txtThreshold = nullptr;
};

class EntryFields {
 public:
  EntryFields(EntryControls& controls, Interaction& input, Navigation& navigation, const Processing& spectrum,
              PlotView& view, StatusBarPresenter& status);

  const EntryState& Entry() const { return entry_; }

  // The threshold box shows the navigation's threshold.
  void ShowThreshold(float dB);

  // A click on the point, frequency or amplitude panel opens its box.
  void sbStatus_PanelClick(const QString& key);

  void txtPoint_GotFocus();
  void txtPoint_KeyPress(int& KeyAscii);
  void txtPoint_KeyDown(int& KeyCode, int Shift);
  void txtPoint_Validate(bool& Cancel);
  void txtPoint_LostFocus();

  void txtFreq_GotFocus();
  void txtFreq_KeyPress(int& KeyAscii);
  void txtFreq_KeyDown(int& KeyCode, int Shift);
  void txtFreq_Validate(bool& Cancel);
  void txtFreq_LostFocus();

  void txtAmp_GotFocus();
  void txtAmp_KeyPress(int& KeyAscii);
  void txtAmp_KeyDown(int& KeyCode, int Shift);
  void txtAmp_Validate(bool& Cancel);
  void txtAmp_LostFocus();

  void txtThreshold_GotFocus();
  void txtThreshold_KeyPress(int& KeyAscii);
  void txtThreshold_KeyDown(int& KeyCode, int Shift);
  void txtThreshold_Validate(bool& Cancel);
  void txtThreshold_LostFocus();

 private:
  void GotFocus(forms::EntryBox& box, int set);
  // Enter and Esc end the entry (the focus goes to the plot); other keys
  // pass the filter.
  void KeyPress(forms::EntryBox& box, int& KeyAscii);
  void LostFocus(forms::EntryBox& box, bool hide);
  // Fills an in-place box, shows it over its panel and gives it the focus.
  void OpenBox(forms::EntryBox& box, const QString& text);
  // Hides an in-place box; its panel shows its text again.
  void CloseBox(forms::EntryBox& box);
  // The status panel an in-place box lies over; nullptr for the threshold.
  const char* PanelOf(const forms::EntryBox& box) const;
  // A value out of range: the notice, a beep, and the focus stays.
  void Refuse(const QString& notice, bool& Cancel);
  // The reference location, set to the centre frequency and 0 dB when
  // there is none yet.
  void TakeReferenceLocation();
  QString ReferenceFrequency() const;
  QString ReferenceAmplitude() const;
  double Value(const forms::EntryBox& box) const;

  EntryControls& c_;
  Interaction& input_;
  Navigation& navigation_;
  const Processing& spectrum_;
  PlotView& view_;
  StatusBarPresenter& status_;
  EntryState entry_;
};

}  // namespace specterm
