// Start-up and shutdown of the main window: the initial view, loading the
// settings and the modem directory, the titles, and saving all of it when
// the window closes.

#include "forms/KeyedStatusBar.h"
#include "forms/KeyedToolBar.h"
#include "forms/PictureBox.h"
#include "modems/ModemStore.h"
#include "modems/RegSettings.h"
#include "modems/Settings.h"
#include "modems/Titles.h"
#include "modems/frmAbout.h"
#include "modems/frmMain.h"
#include "registry/Registry.h"
#include "vbformat/VbFormat.h"
#include "view/Icons.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QScreen>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTimer>

#include "base/Twips.h"

#include <cmath>

namespace specterm {
namespace {

// The format of amplitudes in the threshold box and the cursor read-outs.
constexpr const char* kThresholdFormat = "###0.000dB";
constexpr const char* kCursorAmplitudeFormat = "0.000dB";

int TwipsToWholePixels(double twips) { return static_cast<int>(std::lround(TwipsToPixels(twips))); }

// A menu caption shows "&" only when it is doubled.
QString MenuText(const std::string& text) {
  return QString::fromStdString(text).replace(QLatin1Char('&'), QStringLiteral("&&"));
}

}  // namespace

void frmMain::SetTitle(const std::string& title) { setWindowTitle(QString::fromStdString(title)); }

void frmMain::Form_Initialize() {
  // The selection marker is the one colour that is not stored.
  Palette.Palettes = {DefaultPalette(kViewingPalette), DefaultPalette(kPrintingPalette)};
  Palette.Palettes[static_cast<std::size_t>(Palette.CurrentPalette)][kSlotSelectionMarker] = kViewingSelectionMarker;

  SampleBlock& block = Spectrum->Block;
  AmplitudeScale& amplitude = Spectrum->Amplitude;
  block.RateDivisor = kInitialRateDivisor;
  block.CenterFreq = kInitialCenterFreq;
  block.SpanScale = 1.0f;
  Selection.SelectedTrace = -1;
  Selection.LastSelectedTrace = -1;
  block.FreqFormat = kInitialFreqFormat;
  View.BandWidth = 1000.0 / block.RateDivisor;
  block.SampleRate = View.BandWidth;
  block.BandLow = static_cast<float>(block.CenterFreq - kStartupBandEdgeFraction * View.BandWidth);
  block.BandHigh = static_cast<float>(block.CenterFreq + kStartupBandEdgeFraction * View.BandWidth);
  View.MinViewWidth = 0.025;
  amplitude.AmpFloor = -125.0f;
  amplitude.AmpCeiling = 125.0f;
  amplitude.AmpRange = 250.0f;
  View.DisplayStep = (static_cast<double>(block.BandHigh) - block.BandLow) / kTransformLength;
  View.TransformStep = View.BandWidth / kTransformLength;
  Mouse.ClickX = kNoLocation;
  Mouse.ClickY = kNoLocation;

  // Until the first data set fits the view, the plot spans the initial band
  // and amplitude range.
  picSpectrum->SetScaleLeft(block.BandLow);
  picSpectrum->SetScaleTop(-amplitude.AmpCeiling);
  picSpectrum->SetScaleWidth(block.BandHigh - block.BandLow);
  picSpectrum->SetScaleHeight(amplitude.AmpRange);

  AppTitle = kAppTitle;
  SetPrevious();
  ReleaseSession();

  hScroll->setRange(0, 100);
  hScroll->setValue(50);
  vScroll->setRange(static_cast<int>(amplitude.AmpFloor), static_cast<int>(amplitude.AmpCeiling));
  vScroll->setValue(0);
}

void frmMain::ApplyPlacement(const Settings& settings) {
  const WindowPlacement& place = settings.Placement;
  QPoint topLeft(TwipsToWholePixels(place.Left), TwipsToWholePixels(place.Top));
  // A window stored on a screen that is no longer there comes back on the
  // primary screen.
  if (QGuiApplication::screenAt(topLeft) == nullptr && QGuiApplication::primaryScreen() != nullptr)
    topLeft = QGuiApplication::primaryScreen()->availableGeometry().topLeft();
  move(topLeft);
  // A stored size below the minimum (only a hand-edited one) is raised to it.
  resize(TwipsToWholePixels(std::max<double>(place.Width, kMinWindowWidth)),
         TwipsToWholePixels(std::max<double>(place.Height, kMinWindowHeight)));
}

void frmMain::ApplySettings(const Settings& s) {
  // Palettes, then the palette in use.
  Palette.Palettes = s.Palettes;
  mnuOptionsPalette_Click(s.CurrentPalette);

  Export.LastPath = s.LastPath;
  mnuOptionsSnap->setChecked(s.SnapToPoint);
  mnuOptionsWindow->setChecked(s.WindowSpectrum);
  Link.StopUpdates = s.StopUpdates;

  sbStatus->SetPanelPicture(QStringLiteral("Status"), imgToolbar.Picture(kImageNotCommunicating));
  if (Link.StopUpdates) {
    tbMain->SetPressed(QStringLiteral("StopGo"), true);
    tbMain->SetImage(QStringLiteral("Status"), imgToolbar.Icon(kImageNotCommunicating));
    mnuCommStopGo->setText(QStringLiteral("&Start Data Set Updates"));
  }

  mnuOptionsPanel->setChecked(s.SelectionPanelOn);
  mnuViewCursors->setChecked(s.CursorDisplay);
  Cursors.CursorPos = s.CursorPos;
  Selection.MoveType = static_cast<std::int16_t>(s.PointMoves);
  {
    const QSignalBlocker blocker(comboPeakPoint);
    comboPeakPoint->setCurrentIndex(Selection.MoveType);
  }
  comboPeakPoint_Click();
  Selection.MinPeakThreshold = s.PeakThreshold;
  txtThreshold->setText(QString::fromStdString(vb::Format(Selection.MinPeakThreshold, kThresholdFormat)));

  // Trace switches: current, peak hold, video average, previous.
  struct Switch {
    QAction* item;
    int row;
    const char* button;
    bool on;
  };
  const Switch switches[] = {{mnuToolsCurrentTrace, kTraceCurrent, "CurrentTrace", s.CurrentTrace},
                             {mnuToolsPeakHold, kTracePeakHold, "PeakHold", s.PeakHold},
                             {mnuToolsVideoAverage, kTraceVideoAverage, "VideoAverage", s.VideoAverage},
                             {mnuToolsLastTrace, kTracePrevious, "LastTrace", s.LastTrace}};
  Selection.SelectedTrace = -1;
  for (const Switch& sw : switches) {
    sw.item->setChecked(sw.on);
    Spectrum->Traces.TraceShown[static_cast<std::size_t>(sw.row)] = sw.on;
    tbMain->SetPressed(QString::fromLatin1(sw.button), sw.on);
    if (sw.on && Selection.SelectedTrace == -1) Selection.SelectedTrace = static_cast<std::int16_t>(sw.row);
  }
  SetMoveButtons();

  // Cursor read-outs: frequency, amplitude and, with both placed, deltas.
  const auto freqText = [this](double x) {
    return QString::fromStdString(vb::Format(x / 10.0 / Spectrum->Block.SpanScale, Spectrum->Block.FreqFormat));
  };
  const auto ampText = [](double amplitude) {
    return QString::fromStdString(vb::Format(amplitude, kCursorAmplitudeFormat));
  };
  const auto& pos = Cursors.CursorPos;
  for (int c = 0; c < 2; ++c) {
    const auto x = pos[static_cast<std::size_t>(c * 2)];
    const auto y = pos[static_cast<std::size_t>(c * 2 + 1)];
    if (x == kCursorNotPlaced) continue;
    txtCursor[static_cast<std::size_t>(c)]->setText(freqText(x));
    // The stored y is the negated amplitude; the box shows the amplitude.
    txtCursor[static_cast<std::size_t>(c + 3)]->setText(ampText(-static_cast<double>(y)));
  }
  if (Cursors.BothPlaced()) {
    txtCursor[2]->setText(freqText(static_cast<double>(pos[2]) - pos[0]));
    txtCursor[5]->setText(ampText(-(static_cast<double>(pos[3]) - pos[1])));
  }
  tbCursors->SetPressed(QStringLiteral("CursorDelta"), mnuViewCursors->isChecked());
  const bool zoomCursors = Cursors.BothPlaced() && mnuViewCursors->isChecked();
  mnuViewZoomCursors->setEnabled(zoomCursors);
  tbMain->SetEnabled(QStringLiteral("ZoomCursors"), zoomCursors);
}

void frmMain::LoadModemDirectoryIntoMenu() {
  const ModemDirectoryHeader header = LoadModemHeader();
  StoredModemCount = header.StoredModemCount;
  LastModem = header.LastModem;

  if (!LastModem.empty()) {
    SetTitle(Link.StopUpdates ? TitleLastConnected(LastModem) : TitleConnected(LastModem));
  } else {
    tbMain->SetEnabled(QStringLiteral("StopGo"), false);
    tbMain->SetEnabled(QStringLiteral("SingleStep"), false);
  }

  for (int n = 1; n <= StoredModemCount; ++n) {
    mnuCommRecent->menuAction()->setEnabled(true);
    const Modems::ModemPtr modem = LoadModemRecord(n);
    AddLoadedModem(ModemList, modem);
    if (n <= Modems::kRecentSize) {
      QAction* item = mnuCommSel[static_cast<std::size_t>(n - 1)];
      item->setText(MenuText(modem->Name));
      item->setData(QString::fromStdString(modem->Name));
      item->setVisible(true);
    }
  }
}

void frmMain::Form_Load() {
  SetTitle(TitleWithoutModem());
  const Settings settings = LoadSettings(Palette.Palettes);
  ApplyPlacement(settings);
  ApplySettings(settings);
  LoadModemDirectoryIntoMenu();

  Layout.LayoutReady = true;
  switch (settings.WindowState) {
    case kWindowMaximized:
      showMaximized();
      break;
    case kWindowMinimized:
      showMinimized();
      break;
    default:
      show();
      break;
  }
  Form_Resize();

  // The first transform plans the FFT and the first session sets up the
  // network library; done now, off this thread, neither stalls the window.
  WarmUp();
  if (!LastModem.empty() && !Link.StopUpdates) timerConnection->start();
}

Settings frmMain::CollectSettings() const {
  Settings s;
  s.WindowState = Layout.SavedWindowState;
  s.Placement.Left = static_cast<float>(PixelsToTwips(pos().x()));
  s.Placement.Top = static_cast<float>(PixelsToTwips(pos().y()));
  s.Placement.Width = static_cast<float>(WindowWidthTwips());
  s.Placement.Height = static_cast<float>(WindowHeightTwips());
  s.Palettes = Palette.Palettes;
  s.CurrentPalette = Palette.CurrentPalette;
  s.LastPath = Export.LastPath;
  s.SnapToPoint = mnuOptionsSnap->isChecked();
  s.WindowSpectrum = mnuOptionsWindow->isChecked();
  s.StopUpdates = Link.StopUpdates;
  s.SelectionPanelOn = mnuOptionsPanel->isChecked();
  s.CursorDisplay = mnuViewCursors->isChecked();
  s.CursorPos = Cursors.CursorPos;
  s.PointMoves = Selection.MoveType;
  s.PeakThreshold = Selection.MinPeakThreshold;
  s.CurrentTrace = mnuToolsCurrentTrace->isChecked();
  s.PeakHold = mnuToolsPeakHold->isChecked();
  s.VideoAverage = mnuToolsVideoAverage->isChecked();
  s.LastTrace = mnuToolsLastTrace->isChecked();
  return s;
}

void frmMain::Form_Unload() {
  if (unloaded_) return;
  unloaded_ = true;
  const bool normal = !isMinimized() && !isMaximized() && !isFullScreen();
  {
    // Every value of the settings and the directory lands in one rewrite of
    // the hive file, rather than one synced rewrite per value.
    registry::WriteBatch batch;
    SaveSettings(CollectSettings(), normal);
    SaveModemDirectory(ModemList, StoredModemCount, LastModem);
  }
  // A step still in flight is dropped with the session.
  AbandonLink();
  ReleaseSession();
  for (QTimer* timer : {timerPoll, timerConnection, timerStatus, timerCoord}) timer->stop();
}

void frmMain::closeEvent(QCloseEvent* event) {
  Form_Unload();
  event->accept();
}

// The first connection after start-up; from here the capture cycle owns
// the link.
void frmMain::timerConnection_Timer() {
  timerConnection->stop();
  pbStatus->setValue(0);
  Connect(true, false, [this] { pbStatus->setValue(0); });
}

void frmMain::mnuFileExit_Click() { close(); }

void frmMain::mnuHelpAbout_Click() {
  auto* about = new frmAbout(this);
  about->setAttribute(Qt::WA_DeleteOnClose);
  about->setWindowModality(Qt::ApplicationModal);
  about->show();
}

}  // namespace specterm
