// The update ("Update Spectrum"): the processing chain turns the current
// samples into a data set, and the window shows what it says, in order:
// scroll bars after a re-fit, the accumulation tool-tips, the read-outs,
// the reference location, then a fit of the view or a redraw.

#include "forms/Dialogs.h"
#include "forms/KeyedStatusBar.h"
#include "forms/KeyedToolBar.h"
#include "modems/frmMain.h"

#include <QAction>
#include <QProgressBar>
#include <QScrollBar>

namespace specterm {
namespace {

QString Text(const std::string& text) { return QString::fromStdString(text); }

// Without the transform there is nothing to show: the user learns which
// file is missing and the updates stop, until Go tries again.
void FftUnavailable(frmMain& f, const std::string& error) {
  forms::MsgBox(Text(error), forms::vbCritical, QStringLiteral("FFT Library Not Available"), &f);
  if (!f.Link.StopUpdates) {
    f.StopGo();
  } else {
    f.AbandonLink();
    f.ReleaseSession();
  }
}

}  // namespace

void frmMain::cmdUpdate_Click() {
  if (!Capture.Updater) {
    const FftLibrary::Loaded loaded = Capture.LoadFftLibrary();
    if (!loaded) {
      FftUnavailable(*this, loaded.Error);
      return;
    }
    Capture.Updater = std::make_unique<SpectrumUpdater>(loaded.Library);
  }

  UpdateOptions options;
  options.WindowSpectrum = mnuOptionsWindow->isChecked();
  options.VideoAverage = mnuToolsVideoAverage->isChecked();
  options.PeakHold = mnuToolsPeakHold->isChecked();
  // The chain takes well under a millisecond: painting the bar at every
  // percent would cost the window more than the work it reports, and no
  // one could see it. The values are still written as they come; the bar
  // paints when the event loop next runs.
  pbStatus->setUpdatesEnabled(false);
  const UpdateOutcome outcome =
      Capture.Updater->Update(*Spectrum, options, [this](int percent) { pbStatus->setValue(percent); });
  pbStatus->setUpdatesEnabled(true);
  if (!outcome.Error.empty()) {
    FftUnavailable(*this, outcome.Error);
    return;
  }

  if (outcome.Scroll) {
    // Written here, not moved by the user: the scroll handlers stay still.
    const ScrollSettings& scroll = *outcome.Scroll;
    View.ScrollSync = true;
    hScroll->setRange(scroll.HScrollMin, scroll.HScrollMax);
    hScroll->setValue(scroll.HScrollValue);
    vScroll->setRange(scroll.VScrollMin, scroll.VScrollMax);
    vScroll->setValue(scroll.VScrollValue);
    View.ScrollSync = false;
  }

  const AccumulationTexts& accumulation = outcome.Accumulation;
  tbMain->SetToolTip(QStringLiteral("VideoAverage"), Text(accumulation.VideoAverageToolTip));
  tbMain->SetToolTip(QStringLiteral("PeakHold"), Text(accumulation.PeakHoldToolTip));
  if (accumulation.Status) sbStatus->SetPanelText(QStringLiteral("Status"), Text(*accumulation.Status));
  pbStatus->setValue(0);

  sbStatus->SetPanelText(QStringLiteral("CenterFreq"), Text(outcome.CenterFreqText));
  sbStatus->SetPanelText(QStringLiteral("SampleRate"), Text(outcome.SampleRateText));
  sbStatus->SetPanelText(QStringLiteral("Amplitude"), Text(outcome.AmplitudeText));
  sbStatus->SetPanelText(QStringLiteral("Frequency"), Text(outcome.FrequencyText));
  Mouse.ClickX = outcome.ClickX;
  Mouse.ClickY = outcome.ClickY;
  // A spectrum now exists: the point moves may be possible.
  SetMoveButtons();

  if (outcome.FitView) {
    tbMain_ButtonClick(QStringLiteral("ZoomFitView"));
    return;
  }
  UpdateView();
  if (outcome.SampleCountsStatus) sbStatus->SetPanelText(QStringLiteral("Status"), Text(*outcome.SampleCountsStatus));
}

}  // namespace specterm
