// The main window's design: its menus and the controls of its client area,
// with their captions, shortcuts and initial states.

#include "forms/EntryBox.h"
#include "forms/KeyedStatusBar.h"
#include "forms/KeyedToolBar.h"
#include "forms/PictureBox.h"
#include "interaction/KeyFilter.h"
#include "modems/RegSettings.h"
#include "view/Icons.h"
#include "view/LayoutConstants.h"
#include "window/frmMain.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>

namespace specterm {
namespace {

// Timer intervals of the main window.
constexpr int kPollInterval = 3000;
constexpr int kConnectionDelay = 500;
constexpr int kStatusMessageTime = 5000;
constexpr int kCoordinateTime = 5000;
// The threshold box takes "-125.000dB".
constexpr int kThresholdBoxLength = 10;

struct ItemOptions {
  QKeySequence shortcut;
  bool checkable = false;
  bool checked = false;
  bool enabled = true;
};

QAction* Item(QMenu* menu, const QString& name, const QString& caption, const ItemOptions& options = {}) {
  QAction* action = menu->addAction(caption);
  action->setObjectName(name);
  if (!options.shortcut.isEmpty()) action->setShortcut(options.shortcut);
  action->setCheckable(options.checkable);
  action->setChecked(options.checked);
  action->setEnabled(options.enabled);
  return action;
}

QMenu* SubMenu(QMenu* parent, const QString& name, const QString& caption) {
  QMenu* menu = parent->addMenu(caption);
  menu->setObjectName(name + QStringLiteral("Menu"));
  menu->menuAction()->setObjectName(name);
  return menu;
}

QString ArrayName(const char* name, int index) { return QStringLiteral("%1(%2)").arg(QLatin1String(name)).arg(index); }

constexpr std::array<const char*, 10> kDbPerDivCaptions = {
    "0.0&1dB per Division", "0.0&2dB per Division", "0.0&5dB per Division", "0.&10dB per Division",
    "0.&25dB per Division", "0.&50dB per Division", "&1.00dB per Division", "&2.50dB per Division",
    "&5.00dB per Division", "&10.00dB per Division"};

// Span captions until the first capture names its own.
constexpr std::array<const char*, 10> kInitialSpanCaptions = {
    "0.02MHz Span", "0.05MHz Span", "0.10MHz Span", "0.25MHz Span",  "0.50MHz Span",
    "1.00MHz Span", "2.50MHz Span", "5.00MHz Span", "10.00MHz Span", "25.00MHz Span"};

QMenu* TopMenu(QMenuBar* bar, const QString& name, const QString& caption) {
  QMenu* menu = bar->addMenu(caption);
  menu->setObjectName(name + QStringLiteral("Menu"));
  menu->menuAction()->setObjectName(name);
  return menu;
}

}  // namespace

// Each subsystem is given its control groups (bases of the window, hence
// the *this: ToolbarControls wherever the main toolbar is passed) and the
// subsystems made before it.
frmMain::frmMain(QWidget* parent)
    : QMainWindow(parent),
      status_(*this, *this),
      view_(*this, *this, spectrum_, status_),
      pictures_(*this, this, view_, spectrum_),
      navigation_(*this, *this, spectrum_, view_, status_),
      cursors_(*this, *this, spectrum_, view_),
      modes_(*this, *this, navigation_, cursors_, spectrum_, view_, status_),
      input_(navigation_, modes_, cursors_, view_, *this),
      entries_(*this, input_, navigation_, spectrum_, view_, status_),
      traces_(*this, *this, spectrum_, view_, [this] { cycle_.cmdUpdate_Click(); }),
      measurements_(*this, spectrum_),
      exports_(this, spectrum_, status_),
      waterfall_(*this, *this, spectrum_, view_),
      recorder_(*this, this, status_),
      keysHelp_(*this, *menuBar()),
      directory_(*this, *this),
      layout_(*this, {*this, *this, *this, *this, *this, *this, *this}, view_, status_),
      cycle_(*this, *this, this, spectrum_, view_, input_, traces_, status_, directory_),
      replay_(*this, *this, cycle_, spectrum_, waterfall_, recorder_, status_) {
  setObjectName(QStringLiteral("frmMain"));
  setWindowIcon(ProgramIcon());
  BuildToolbarImages(imgToolbar);
  BuildCursorBarImages(imgCursorBar);
  BuildPointerImages(imgCursors);
  BuildMenus();
  BuildControls();
  BuildToolbars();
  WireControls();
  // The start-up view; the program's title names its settings.
  view_.Initialize();
  AppTitle = kAppTitle;
}

frmMain::~frmMain() {
  // The subsystems go before the controls: a focus change while the window
  // is taken down must not reach them.
  for (forms::EntryBox* box : {txtPoint, txtFreq, txtAmp, txtThreshold}) box->blockSignals(true);
}

void frmMain::BuildMenus() {
  QMenuBar* bar = menuBar();

  mnuFile = TopMenu(bar, QStringLiteral("mnuFile"), QStringLiteral("&File"));
  mnuFileExport = SubMenu(mnuFile, QStringLiteral("mnuFileExport"), QStringLiteral("&Export Data Set"));
  mnuFileRaw = Item(mnuFileExport, QStringLiteral("mnuFileRaw"), QStringLiteral("Export &Raw Data Set"));
  mnuFileTransformed =
      Item(mnuFileExport, QStringLiteral("mnuFileTransformed"), QStringLiteral("Export &Transformed Data Set"));
  mnuFileScaled =
      Item(mnuFileExport, QStringLiteral("mnuFileScaled"), QStringLiteral("Export Transformed && &Scaled Data Set"));
  mnuFilePeakHold =
      Item(mnuFileExport, QStringLiteral("mnuFilePeakHold"), QStringLiteral("Export Peak &Hold Data Set"));
  mnuFileVideoAverage =
      Item(mnuFileExport, QStringLiteral("mnuFileVideoAverage"), QStringLiteral("Export &Video Average Data Set"));
  mnuFileSavePicture = Item(mnuFile, QStringLiteral("mnuFileSavePicture"), QStringLiteral("Save &Picture..."),
                            {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S)});
  mnuFileCsv = Item(mnuFile, QStringLiteral("mnuFileCsv"), QStringLiteral("Save Traces as &CSV..."));
  mnuFile->addSeparator();
  mnuFileRecord = Item(mnuFile, QStringLiteral("mnuFileRecord"), QStringLiteral("&Record Data Sets..."), {{}, true});
  mnuFileOpenRecording = Item(mnuFile, QStringLiteral("mnuFileOpenRecording"), QStringLiteral("&Open Recording..."));
  mnuFile->addSeparator();
  mnuFileExit = Item(mnuFile, QStringLiteral("mnuFileExit"), QStringLiteral("E&xit Halden Spectrum Analyzer"));

  mnuView = TopMenu(bar, QStringLiteral("mnuView"), QStringLiteral("&View"));
  mnuViewSelect = Item(mnuView, QStringLiteral("mnuViewSelect"), QStringLiteral("&Select Mode"));
  mnuViewZoomWin = Item(mnuView, QStringLiteral("mnuViewZoomWin"), QStringLiteral("Zoom &Window"),
                        {QKeySequence(Qt::CTRL | Qt::Key_W), true});
  mnuViewZoomIn = Item(mnuView, QStringLiteral("mnuViewZoomIn"), QStringLiteral("Zoom &In"),
                       {QKeySequence(Qt::CTRL | Qt::Key_I), true});
  mnuViewZoomOut = Item(mnuView, QStringLiteral("mnuViewZoomOut"), QStringLiteral("Zoom &Out"),
                        {QKeySequence(Qt::CTRL | Qt::Key_O), true});
  mnuViewPan =
      Item(mnuView, QStringLiteral("mnuViewPan"), QStringLiteral("&Pan"), {QKeySequence(Qt::CTRL | Qt::Key_R), true});
  mnuViewEnd = Item(mnuView, QStringLiteral("mnuViewEnd"), QStringLiteral("&End Zoom Mode"), {{}, false, false, false});
  mnuView->addSeparator();
  mnuViewFitView = Item(mnuView, QStringLiteral("mnuViewFitView"), QStringLiteral("&Fit View"),
                        {QKeySequence(Qt::CTRL | Qt::Key_F)});
  mnuViewPrevious = Item(mnuView, QStringLiteral("mnuViewPrevious"), QStringLiteral("Previous &View"),
                         {QKeySequence(Qt::CTRL | Qt::Key_V)});
  mnuViewDBBMenu = SubMenu(mnuView, QStringLiteral("mnuViewDBBs"), QStringLiteral("Zoom by &dB per Division"));
  for (int i = 0; i < 10; ++i)
    mnuViewDBB[static_cast<std::size_t>(i)] =
        Item(mnuViewDBBMenu, ArrayName("mnuViewDBB", i),
             QString::fromLatin1(kDbPerDivCaptions[static_cast<std::size_t>(i)]), {{}, true});
  mnuViewFBMenu = SubMenu(mnuView, QStringLiteral("mnuViewFBs"), QStringLiteral("Zoom by &Frequency Span"));
  for (int i = 0; i < 10; ++i)
    mnuViewFB[static_cast<std::size_t>(i)] =
        Item(mnuViewFBMenu, ArrayName("mnuViewFB", i),
             QString::fromLatin1(kInitialSpanCaptions[static_cast<std::size_t>(i)]), {{}, true});
  mnuViewZoomCursors = Item(mnuView, QStringLiteral("mnuViewZoomCursors"), QStringLiteral("&Zoom to Fit Cursors"),
                            {QKeySequence(Qt::CTRL | Qt::Key_Z), false, false, false});
  mnuView->addSeparator();
  mnuViewFirstPoint = Item(mnuView, QStringLiteral("mnuViewFirstPoint"), QStringLiteral("Go to First (&Bottom) Point"),
                           {QKeySequence(Qt::CTRL | Qt::Key_B)});
  mnuViewNextPoint = Item(mnuView, QStringLiteral("mnuViewNextPoint"), QStringLiteral("Go to &Next Point"),
                          {QKeySequence(Qt::CTRL | Qt::Key_N)});
  mnuViewPreviousPoint = Item(mnuView, QStringLiteral("mnuViewPreviousPoint"), QStringLiteral("Go to &Previous Point"),
                              {QKeySequence(Qt::CTRL | Qt::Key_P)});
  mnuViewLastPoint = Item(mnuView, QStringLiteral("mnuViewLastPoint"), QStringLiteral("Go to Last (&Top) Point"),
                          {QKeySequence(Qt::CTRL | Qt::Key_T)});
  mnuViewCurPoint = Item(mnuView, QStringLiteral("mnuViewCurPoint"), QStringLiteral("Go to &Last Selected Point"),
                         {QKeySequence(Qt::CTRL | Qt::Key_L), false, false, false});
  mnuViewPeakPoint = Item(mnuView, QStringLiteral("mnuViewPeakPoint"), QStringLiteral("Select &Move by Peak Points"));
  mnuViewThreshold = Item(mnuView, QStringLiteral("mnuViewThreshold"), QStringLiteral("Set &Minimum Peak Threshold"),
                          {QKeySequence(Qt::CTRL | Qt::Key_M)});
  mnuView->addSeparator();
  mnuViewCursor[0] = Item(mnuView, ArrayName("mnuViewCursor", 0), QStringLiteral("Set Cursor &1 Location"),
                          {QKeySequence(Qt::Key_F1), true});
  mnuViewCursor[1] = Item(mnuView, ArrayName("mnuViewCursor", 1), QStringLiteral("Set Cursor &2 Location"),
                          {QKeySequence(Qt::Key_F2), true});
  mnuViewCursors = Item(mnuView, QStringLiteral("mnuViewCursors"), QStringLiteral("View Cursors &Display"),
                        {QKeySequence(Qt::Key_F3), true});
  mnuViewMeasurements = Item(mnuView, QStringLiteral("mnuViewMeasurements"), QStringLiteral("Meas&urements"),
                             {QKeySequence(Qt::Key_F6), true});
  mnuView->addSeparator();
  mnuViewWaterfall =
      Item(mnuView, QStringLiteral("mnuViewWaterfall"), QStringLiteral("Wate&rfall"), {QKeySequence(Qt::Key_F7), true});
  mnuView->addSeparator();
  mnuViewCopy = Item(mnuView, QStringLiteral("mnuViewCopy"), QStringLiteral("&Copy/Capture Current View"),
                     {QKeySequence(Qt::CTRL | Qt::Key_C)});
  // Shown only in the plot's pop-up menu.
  mnuViewSep1 = mnuView->addSeparator();
  mnuViewSep1->setObjectName(QStringLiteral("mnuViewSep1"));
  mnuViewSep1->setVisible(false);
  mnuViewDone = Item(mnuView, QStringLiteral("mnuViewDone"), QStringLiteral("&Done"));
  mnuViewDone->setVisible(false);

  mnuTools = TopMenu(bar, QStringLiteral("mnuTools"), QStringLiteral("&Tools"));
  mnuToolsCurrentTrace =
      Item(mnuTools, QStringLiteral("mnuToolsCurrentTrace"), QStringLiteral("&Current Spectrum Trace"),
           {QKeySequence(Qt::CTRL | Qt::Key_U), true, true});
  mnuToolsLastTrace = Item(mnuTools, QStringLiteral("mnuToolsLastTrace"), QStringLiteral("&Previous Spectrum Trace"),
                           {QKeySequence(Qt::CTRL | Qt::Key_D), true});
  mnuToolsVideoAverage = Item(mnuTools, QStringLiteral("mnuToolsVideoAverage"), QStringLiteral("&Video Average Trace"),
                              {QKeySequence(Qt::CTRL | Qt::Key_A), true});
  mnuToolsPeakHold = Item(mnuTools, QStringLiteral("mnuToolsPeakHold"), QStringLiteral("Peak &Hold Trace"),
                          {QKeySequence(Qt::CTRL | Qt::Key_H), true});

  mnuOptions = TopMenu(bar, QStringLiteral("mnuOptions"), QStringLiteral("&Options"));
  mnuOptionsWindow =
      Item(mnuOptions, QStringLiteral("mnuOptionsWindow"), QStringLiteral("&Window Spectrum Trace"), {{}, true, true});
  mnuOptionsSnap =
      Item(mnuOptions, QStringLiteral("mnuOptionsSnap"), QStringLiteral("&Snap to Nearest Point"), {{}, true, true});
  mnuOptionsPanel =
      Item(mnuOptions, QStringLiteral("mnuOptionsPanel"), QStringLiteral("Display Selection &Panel"), {{}, true, true});
  mnuOptions->addSeparator();
  mnuOptionsPalette[0] = Item(mnuOptions, ArrayName("mnuOptionsPalette", 0),
                              QStringLiteral("Select Color Palette for &Viewing"), {{}, true, true});
  mnuOptionsPalette[1] = Item(mnuOptions, ArrayName("mnuOptionsPalette", 1),
                              QStringLiteral("Select Color Palette for &Printing"), {{}, true});
  mnuOptions->addSeparator();
  const std::array<QString, 2> colorMenus = {QStringLiteral("Configure Viewer Palette &Colors"),
                                             QStringLiteral("Configure Printer Palette &Colors")};
  for (int p = 0; p < 2; ++p) {
    QMenu* menu = SubMenu(mnuOptions, ArrayName("mnuViewColors", p), colorMenus[static_cast<std::size_t>(p)]);
    mnuViewColors[static_cast<std::size_t>(p)] = menu;
    for (std::size_t i = 0; i < kColorMenuItems.size(); ++i) {
      const ColorMenuItem& item = kColorMenuItems[i];
      mnuOptionsColor[static_cast<std::size_t>(p)][i] =
          Item(menu, QString::fromLatin1(item.namePrefix) + QString::number(p),
               QString::fromLatin1(p == 0 ? item.caption : item.printingCaption));
    }
  }

  mnuComm = TopMenu(bar, QStringLiteral("mnuComm"), QStringLiteral("&Communications"));
  mnuCommAdd = Item(mnuComm, QStringLiteral("mnuCommAdd"), QStringLiteral("&Add Halden Modem"));
  mnuCommManage = Item(mnuComm, QStringLiteral("mnuCommManage"), QStringLiteral("&Manage Modems/Select Modem"));
  mnuCommRecent = SubMenu(mnuComm, QStringLiteral("mnuCommRecent"), QStringLiteral("&Recently Monitored Modems"));
  mnuCommRecent->menuAction()->setEnabled(false);
  for (int i = 0; i < 10; ++i) {
    QAction* item = Item(mnuCommRecent, ArrayName("mnuCommSel", i),
                         i == 0 ? QStringLiteral("<No Recent Modem Monitored>") : QString());
    item->setVisible(i == 0);
    mnuCommSel[static_cast<std::size_t>(i)] = item;
  }
  mnuCommSep0 = mnuComm->addSeparator();
  mnuCommSep0->setObjectName(QStringLiteral("mnuCommSep0"));
  mnuCommStopGo = Item(mnuComm, QStringLiteral("mnuCommStopGo"), QStringLiteral("&Stop Data Set Updates"),
                       {QKeySequence(Qt::CTRL | Qt::Key_S)});
  mnuCommSingleStep = Item(mnuComm, QStringLiteral("mnuCommSingleStep"), QStringLiteral("Perform a Single &Update"),
                           {QKeySequence(Qt::Key_F5)});

  mnuHelp = TopMenu(bar, QStringLiteral("mnuHelp"), QStringLiteral("&Help"));
  mnuHelpKeys = Item(mnuHelp, QStringLiteral("mnuHelpKeys"), QStringLiteral("&Keyboard and Mouse"),
                     {QKeySequence(Qt::SHIFT | Qt::Key_F1)});
  mnuHelpAbout = Item(mnuHelp, QStringLiteral("mnuHelpAbout"), QStringLiteral("&About Halden Spectrum Analyzer"));
}

void frmMain::BuildControls() {
  client = new QWidget(this);
  client->setObjectName(QStringLiteral("client"));
  client->setFont(QFont(QString::fromLatin1(kFormFontFamily), kFormFontPoints));
  setCentralWidget(client);

  picSpectrum = new forms::PictureBox(client);
  picSpectrum->setObjectName(QStringLiteral("picSpectrum"));
  picSpectrum->SetMousePointer(forms::vbCrosshair);

  hScroll = new QScrollBar(Qt::Horizontal, client);
  hScroll->setObjectName(QStringLiteral("hScroll"));
  vScroll = new QScrollBar(Qt::Vertical, client);
  vScroll->setObjectName(QStringLiteral("vScroll"));
  for (QScrollBar* bar : {hScroll, vScroll}) {
    bar->setSingleStep(1);
    bar->setPageStep(10);
  }

  // The update runs from the capture cycle; the button is not shown.
  cmdUpdate = new QPushButton(QStringLiteral("Update Spectrum"), client);
  cmdUpdate->setObjectName(QStringLiteral("cmdUpdate"));
  cmdUpdate->hide();

  // A floating label over the plot for the selection read-out.
  cmdCoord = new QPushButton(QStringLiteral("Freq Offset = -0.500 Amplitude = -99.999dB"), client);
  cmdCoord->setObjectName(QStringLiteral("cmdCoord"));
  cmdCoord->setFocusPolicy(Qt::NoFocus);
  cmdCoord->adjustSize();
  cmdCoord->hide();

  sbStatus = new forms::KeyedStatusBar(client);
  sbStatus->setObjectName(QStringLiteral("sbStatus"));
  for (const PanelDesign& panel : kStatusPanels)
    sbStatus->AddPanel(QString::fromLatin1(panel.key), panel.width, QString::fromLatin1(panel.description),
                       QString::fromLatin1(panel.text));
  // Screen readers read out what the program reports there.
  sbStatus->SetPanelAnnounced(QStringLiteral("Status"), true);

  pbStatus = new QProgressBar(client);
  pbStatus->setObjectName(QStringLiteral("pbStatus"));
  pbStatus->setRange(0, 100);
  pbStatus->setValue(0);
  pbStatus->setTextVisible(false);
  // Shown while a long operation reports progress.
  pbStatus->hide();
  connect(pbStatus, &QProgressBar::valueChanged, this, [this](int value) { status_.ProgressChanged(value); });

  // In-place editors over the status panels, shown when a panel is clicked.
  auto editor = [this](const char* name) {
    auto* edit = new forms::EntryBox(client);
    edit->setObjectName(QString::fromLatin1(name));
    edit->hide();
    return edit;
  };
  txtPoint = editor("txtPoint");
  txtFreq = editor("txtFreq");
  txtAmp = editor("txtAmp");
  const auto keys = [](int set) {
    const std::string_view characters = CharacterSet(set);
    return QString::fromLatin1(characters.data(), static_cast<qsizetype>(characters.size()));
  };
  txtPoint->SetAllowedCharacters(keys(kPointKeys));
  txtFreq->SetAllowedCharacters(keys(kFrequencyKeys));
  txtAmp->SetAllowedCharacters(keys(kAmplitudeKeys));

  // Controls without a tool tip or caption, named for screen readers after
  // what they show or edit (the editors after their status panels).
  picSpectrum->setAccessibleName(QStringLiteral("Spectrum"));
  hScroll->setAccessibleName(QStringLiteral("Frequency Scroll"));
  vScroll->setAccessibleName(QStringLiteral("Amplitude Scroll"));
  txtPoint->setAccessibleName(QStringLiteral("Current Data Point"));
  txtFreq->setAccessibleName(QStringLiteral("Frequency"));
  txtAmp->setAccessibleName(QStringLiteral("Amplitude"));

  txtThreshold = new forms::EntryBox(QStringLiteral("0.00dB"), client);
  txtThreshold->setObjectName(QStringLiteral("txtThreshold"));
  txtThreshold->SetMaxLength(kThresholdBoxLength);
  txtThreshold->SetAllowedCharacters(keys(kThresholdKeys));
  txtThreshold->setToolTip(QStringLiteral("Minimum Peak Threshold"));
  txtThreshold->setAlignment(Qt::AlignRight);

  const std::array<const char*, 8> cursorTips = {
      "Cursor 1 Frequency", "Cursor 2 Frequency", "Cursor Delta in Frequency", "Cursor 1 Amplitude",
      "Cursor 2 Amplitude", "Cursor Delta in dB", "Current Frequency",         "Current Amplitude"};
  for (std::size_t i = 0; i < txtCursor.size(); ++i) {
    auto* edit = new QLineEdit(client);
    edit->setObjectName(ArrayName("txtCursor", static_cast<int>(i)));
    edit->setToolTip(QString::fromLatin1(cursorTips[i]));
    edit->setReadOnly(true);
    edit->setAlignment(Qt::AlignRight);
    edit->setFocusPolicy(Qt::NoFocus);
    txtCursor[i] = edit;
  }

  comboPeakPoint = new QComboBox;
  comboPeakPoint->setObjectName(QStringLiteral("comboPeakPoint"));
  comboPeakPoint->addItems({QStringLiteral("All Points"), QStringLiteral("Peak Points")});
  comboPeakPoint->setToolTip(QStringLiteral("Select Move Type"));
  comboPeakPoint->setFocusPolicy(Qt::NoFocus);

  auto timer = [this](const char* name, int interval) {
    auto* t = new QTimer(this);
    t->setObjectName(QString::fromLatin1(name));
    t->setInterval(interval);
    // A coarse timer may fire 5 % early: a poll every 2.85 s instead of 3.
    t->setTimerType(Qt::PreciseTimer);
    return t;
  };
  timerPoll = timer("timerPoll", kPollInterval);
  timerConnection = timer("timerConnection", kConnectionDelay);
  timerStatus = timer("timerStatus", kStatusMessageTime);
  timerCoord = timer("timerCoord", kCoordinateTime);

  // Right of the plot, hidden until the View menu shows it.
  measurements_.BuildDock(*this);
  BuildHistoryControls();
  // A saved picture holds what the window shows: the waterfall when it is
  // shown, and the dock's band values when the dock is open.
  pictures_.SetUnderPlot(picWaterfall);
  pictures_.SetCaptionSource(
      [this] { return measurements_.Shown() ? QStringList{measurements_.CaptionLine()} : QStringList{}; });
}

}  // namespace specterm
