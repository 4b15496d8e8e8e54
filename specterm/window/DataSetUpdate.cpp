// The update ("Update Spectrum"): the processing turns the current samples
// into a data set, and the window shows what it says, in order: scroll bars
// after a re-fit, the accumulation tool-tips, the read-outs, the reference
// location, then a fit of the view or a redraw.

#include "forms/Dialogs.h"
#include "forms/QtText.h"
#include "interaction/Interaction.h"
#include "processing/Processing.h"
#include "view/PlotView.h"
#include "view/StatusBarPresenter.h"
#include "view/TraceSwitches.h"
#include "window/CaptureCycle.h"

namespace specterm {
namespace {

using forms::Text;

}  // namespace

// Without the transform there is nothing to show: the user learns which
// file is missing and the updates stop, until Go tries again.
void CaptureCycle::FftUnavailable(const std::string& error) {
  forms::MsgBox(Text(error), forms::vbCritical, QStringLiteral("FFT Library Not Available"), window_);
  if (!link_.StopUpdates) {
    StopGo();
  } else {
    AbandonLink();
    ReleaseSession();
  }
}

void CaptureCycle::cmdUpdate_Click() {
  // The chain takes well under a millisecond: painting the bar at every
  // percent would cost the window more than the work it reports, and no
  // one could see it. The values are still written as they come; the bar
  // paints when the event loop next runs.
  status_.SetProgressPainted(false);
  const UpdateOutcome outcome = spectrum_.Update([this](int percent) { status_.SetProgress(percent); });
  status_.SetProgressPainted(true);
  if (!outcome.Error.empty()) {
    FftUnavailable(outcome.Error);
    return;
  }

  if (outcome.Scroll) view_.ApplyScrollSettings(*outcome.Scroll);

  const AccumulationTexts& accumulation = outcome.Accumulation;
  traces_.ShowAccumulationTips(Text(accumulation.VideoAverageToolTip), Text(accumulation.PeakHoldToolTip));
  if (accumulation.Status) status_.SetStatusText(Text(*accumulation.Status));
  status_.SetProgress(0);

  status_.SetPanelText(QStringLiteral("CenterFreq"), Text(outcome.CenterFreqText));
  status_.SetPanelText(QStringLiteral("SampleRate"), Text(outcome.SampleRateText));
  status_.ShowResolutionBandwidth(spectrum_.Block().SampleRate);
  status_.SetPanelText(QStringLiteral("Amplitude"), Text(outcome.AmplitudeText));
  status_.SetPanelText(QStringLiteral("Frequency"), Text(outcome.FrequencyText));
  // The reference location; a spectrum now exists: the point moves may be
  // possible.
  input_.NewDataSet(outcome.ClickX, outcome.ClickY);

  if (outcome.FitView) {
    input_.ViewButtonClick(QStringLiteral("ZoomFitView"));
  } else {
    view_.UpdateView();
    if (outcome.SampleCountsStatus) status_.SetStatusText(Text(*outcome.SampleCountsStatus));
  }
  emit DataSetUpdated();
}

}  // namespace specterm
