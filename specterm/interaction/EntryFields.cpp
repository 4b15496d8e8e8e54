#include "interaction/EntryFields.h"

#include "forms/Dialogs.h"
#include "forms/EntryBox.h"
#include "forms/QtText.h"
#include "interaction/Interaction.h"
#include "interaction/KeyFilter.h"
#include "interaction/Navigation.h"
#include "processing/Processing.h"
#include "vbformat/VbFormat.h"
#include "view/PlotView.h"
#include "view/StatusBarPresenter.h"
#include "view/ViewModel.h"

namespace specterm {
namespace {

constexpr const char* kAmplitudeFormat = "###0.000dB";
// The amplitudes a box takes, in dB: the amplitude floor and ceiling of the
// plot space at start-up.
constexpr double kLowestAmplitude = kInitialAmpFloor;
constexpr double kHighestAmplitude = kInitialAmpCeiling;
// The threshold box's length while it is edited and otherwise.
constexpr int kThresholdEditLength = 8;
constexpr int kThresholdLength = 10;

using forms::Text;

bool IsKey(const QString& key, const char* name) { return key.compare(QLatin1String(name), Qt::CaseInsensitive) == 0; }

}  // namespace

EntryFields::EntryFields(EntryControls& controls, Interaction& input, Navigation& navigation,
                         const Processing& spectrum, PlotView& view, StatusBarPresenter& status)
    : c_(controls), input_(input), navigation_(navigation), spectrum_(spectrum), view_(view), status_(status) {}

void EntryFields::ShowThreshold(float dB) { c_.txtThreshold->setText(Text(vb::Format(dB, kAmplitudeFormat))); }

// --- shared steps ---------------------------------------------------------------

double EntryFields::Value(const forms::EntryBox& box) const { return vb::Val(box.text().toStdString()); }

void EntryFields::TakeReferenceLocation() {
  const SelectionState& selection = navigation_.Selection();
  if (selection.ClickX != kNoLocation || selection.ClickY != kNoLocation) return;
  const SampleBlock& block = spectrum_.Block();
  navigation_.SetReferenceLocation(static_cast<float>(block.CenterFreq * static_cast<double>(block.SpanScale)), 0.0f);
}

QString EntryFields::ReferenceFrequency() const {
  const SampleBlock& block = spectrum_.Block();
  return Text(
      vb::Format(static_cast<double>(navigation_.Selection().ClickX) / 10.0 / static_cast<double>(block.SpanScale),
                 block.FreqFormat));
}

QString EntryFields::ReferenceAmplitude() const {
  return Text(vb::Format(-static_cast<double>(navigation_.Selection().ClickY), kAmplitudeFormat));
}

const char* EntryFields::PanelOf(const forms::EntryBox& box) const {
  if (&box == c_.txtPoint) return "CurPoint";
  if (&box == c_.txtFreq) return "Frequency";
  if (&box == c_.txtAmp) return "Amplitude";
  return nullptr;
}

void EntryFields::OpenBox(forms::EntryBox& box, const QString& text) {
  box.setText(text);
  // The box edits the panel's value: the panel's own text, of which only
  // the start would show beside the box, waits until it closes.
  status_.SetPanelCovered(QString::fromLatin1(PanelOf(box)), true);
  box.show();
  box.raise();
  // A box open already starts over as GotFocus leaves it.
  if (box.hasFocus()) box.SetSelection(0, static_cast<int>(text.size()));
  box.setFocus(Qt::OtherFocusReason);
  // Another box that keeps the focus for a correction keeps this one shut.
  if (box.window()->isActiveWindow() && !box.hasFocus()) CloseBox(box);
}

void EntryFields::CloseBox(forms::EntryBox& box) {
  box.hide();
  status_.SetPanelCovered(QString::fromLatin1(PanelOf(box)), false);
}

void EntryFields::sbStatus_PanelClick(const QString& key) {
  if (IsKey(key, "CurPoint")) {
    const std::int32_t point = navigation_.Selection().SelectedPoint;
    OpenBox(*c_.txtPoint, point != 0 ? QString::number(point) : QStringLiteral("1"));
  } else if (IsKey(key, "Frequency")) {
    TakeReferenceLocation();
    OpenBox(*c_.txtFreq, ReferenceFrequency());
  } else if (IsKey(key, "Amplitude")) {
    TakeReferenceLocation();
    OpenBox(*c_.txtAmp, ReferenceAmplitude());
  }
}

void EntryFields::GotFocus(forms::EntryBox& box, int set) {
  entry_.AllowedKeys = std::string(CharacterSet(set));
  // Typing is the box's: the window's keys wait until it loses the focus.
  input_.SetKeyPreview(false);
  entry_.EntryCancelled = false;
  box.SetSelection(0, static_cast<int>(box.text().size()));
}

void EntryFields::KeyPress(forms::EntryBox& box, int& KeyAscii) {
  if (KeyAscii == kKeyReturn || KeyAscii == kKeyEscape) {
    if (KeyAscii == kKeyEscape) entry_.EntryCancelled = true;
    KeyAscii = 0;
    // The focus moves on, and validation runs; the plot is where the
    // window's keys work again.
    box.MoveFocusTo(view_.KeyboardHome());
    return;
  }
  const QByteArray text = box.text().toLatin1();
  const EntryText shown{std::string(text.constData(), static_cast<std::size_t>(text.size())), box.SelStart(),
                        box.SelLength(), box.MaxLength()};
  const FilteredKey filtered = FilterKey(KeyAscii, entry_.AllowedKeys, shown);
  if (filtered.Rewritten) {
    box.setText(QString::fromLatin1(filtered.Text));
    box.setCursorPosition(filtered.Caret);
  }
  KeyAscii = filtered.KeyAscii;
}

void EntryFields::LostFocus(forms::EntryBox& box, bool hide) {
  if (hide) CloseBox(box);
  input_.SetKeyPreview(true);
}

void EntryFields::Refuse(const QString& notice, bool& Cancel) {
  status_.ShowStatusMessage(notice);
  forms::Beep();
  Cancel = true;
  // The box stays open for a correction: an Esc that was refused no longer
  // cancels what is typed next.
  entry_.EntryCancelled = false;
}

// --- the point box ----------------------------------------------------------------

void EntryFields::txtPoint_GotFocus() { GotFocus(*c_.txtPoint, kPointKeys); }

void EntryFields::txtPoint_KeyPress(int& KeyAscii) { KeyPress(*c_.txtPoint, KeyAscii); }

void EntryFields::txtPoint_KeyDown(int& KeyCode, int) {
  if (KeyCode != kKeyEscape) return;
  const SelectionState& s = navigation_.Selection();
  const bool selected = s.SelectedPoint != 0;
  status_.SetPanelText(QStringLiteral("CurPoint"),
                       selected ? QString::number(s.SelectedPoint) : QStringLiteral("None"));
  status_.SetPanelText(QStringLiteral("CurTrace"),
                       selected ? Text(TraceName(s.SelectedTrace)) : QStringLiteral("None"));
  entry_.EntryCancelled = true;
}

void EntryFields::txtPoint_Validate(bool& Cancel) {
  const double value = Value(*c_.txtPoint);
  if (value < 1 || value > static_cast<double>(kPointCount)) {
    Refuse(QStringLiteral("You can only select from valid points...1 through ") + QString::number(kPointCount) +
               QStringLiteral("!"),
           Cancel);
    return;
  }
  if (entry_.EntryCancelled) return;
  GoToPoint(static_cast<std::int32_t>(RoundHalfEven(value)));
}

void EntryFields::GoToPoint(std::int32_t point, bool showPoint) {
  // Without a spectrum there is no point to go to.
  if (!navigation_.MovesPossible()) return;
  navigation_.MoveSpecificPoint(point);
  const SelectionState& selection = navigation_.Selection();
  // The move centres only a view zoomed in on the amplitude; a point asked
  // for by name is shown in any view.
  if (showPoint && !view_.InRange(selection.SelectedX, selection.SelectedY)) {
    view_.CenterView(selection.SelectedX, selection.SelectedY);
    view_.MoveCursor(selection.SelectedX, selection.SelectedY);
  }
  input_.ClickAtSelectedLocation();
}

void EntryFields::txtPoint_LostFocus() { LostFocus(*c_.txtPoint, true); }

// --- the frequency box ------------------------------------------------------------

void EntryFields::txtFreq_GotFocus() { GotFocus(*c_.txtFreq, kFrequencyKeys); }

void EntryFields::txtFreq_KeyPress(int& KeyAscii) { KeyPress(*c_.txtFreq, KeyAscii); }

void EntryFields::txtFreq_KeyDown(int& KeyCode, int) {
  if (KeyCode != kKeyEscape) return;
  status_.SetPanelText(QStringLiteral("Frequency"), ReferenceFrequency());
  entry_.EntryCancelled = true;
}

void EntryFields::txtFreq_Validate(bool& Cancel) {
  const SampleBlock& block = spectrum_.Block();
  const double scale = 10.0 * static_cast<double>(block.SpanScale);
  const double x = Value(*c_.txtFreq) * scale;
  if (x < static_cast<double>(block.BandLow) || x > static_cast<double>(block.BandHigh)) {
    const auto edge = [&](float e) { return Text(vb::Format(static_cast<double>(e) / scale, block.FreqFormat)); };
    Refuse(QStringLiteral("You can only set a frequency within ") + edge(block.BandLow) + QStringLiteral(" and ") +
               edge(block.BandHigh) + QStringLiteral("!"),
           Cancel);
    return;
  }
  if (entry_.EntryCancelled) return;
  // The frequency typed, the amplitude read out.
  navigation_.MoveToLocation(
      static_cast<float>(x),
      static_cast<float>(-vb::Val(status_.PanelText(QStringLiteral("Amplitude")).toStdString())));
  input_.ClickAtSelectedLocation();
}

void EntryFields::txtFreq_LostFocus() { LostFocus(*c_.txtFreq, true); }

// --- the amplitude box ------------------------------------------------------------

void EntryFields::txtAmp_GotFocus() { GotFocus(*c_.txtAmp, kAmplitudeKeys); }

void EntryFields::txtAmp_KeyPress(int& KeyAscii) { KeyPress(*c_.txtAmp, KeyAscii); }

void EntryFields::txtAmp_KeyDown(int& KeyCode, int) {
  if (KeyCode != kKeyEscape) return;
  status_.SetPanelText(QStringLiteral("Amplitude"), ReferenceAmplitude());
  entry_.EntryCancelled = true;
}

void EntryFields::txtAmp_Validate(bool& Cancel) {
  const double value = Value(*c_.txtAmp);
  if (value < kLowestAmplitude || value > kHighestAmplitude) {
    Refuse(QStringLiteral("You can only set an amplitude value within \u00B1125dB!"), Cancel);
    return;
  }
  if (entry_.EntryCancelled) return;
  // The amplitude typed, the frequency read out.
  const SampleBlock& block = spectrum_.Block();
  navigation_.MoveToLocation(static_cast<float>(vb::Val(status_.PanelText(QStringLiteral("Frequency")).toStdString()) *
                                                10.0 * static_cast<double>(block.SpanScale)),
                             static_cast<float>(-value));
  input_.ClickAtSelectedLocation();
}

void EntryFields::txtAmp_LostFocus() { LostFocus(*c_.txtAmp, true); }

// --- the threshold box ------------------------------------------------------------

void EntryFields::txtThreshold_GotFocus() {
  c_.txtThreshold->SetMaxLength(kThresholdEditLength);
  GotFocus(*c_.txtThreshold, kThresholdKeys);
}

void EntryFields::txtThreshold_KeyPress(int& KeyAscii) { KeyPress(*c_.txtThreshold, KeyAscii); }

void EntryFields::txtThreshold_KeyDown(int& KeyCode, int) {
  if (KeyCode == kKeyEscape) entry_.EntryCancelled = true;
}

void EntryFields::txtThreshold_Validate(bool& Cancel) {
  const double value = Value(*c_.txtThreshold);
  if (value < kLowestAmplitude || value > kHighestAmplitude) {
    Refuse(QStringLiteral("You can only set a minimum peak threshold value within \u00B1125dB!"), Cancel);
    return;
  }
  // A valid threshold applies after Esc as after Enter.
  c_.txtThreshold->SetMaxLength(kThresholdLength);
  navigation_.SetMinPeakThreshold(static_cast<float>(value));
  view_.UpdateView();
}

void EntryFields::txtThreshold_LostFocus() { LostFocus(*c_.txtThreshold, false); }

}  // namespace specterm
