// The controls of the waterfall, the recorder and the replay, and their
// wiring: the waterfall's picture and split handle below the plot, the
// recorder's count on the status bar, the replay bar above the toolbars.

#include "forms/KeyedStatusBar.h"
#include "window/frmMain.h"

#include <QAction>
#include <QHBoxLayout>
#include <QLabel>
#include <QSlider>
#include <QStyle>
#include <QToolBar>

#include <string>

namespace specterm {
namespace {

// The replay bar's slider is as wide as this many pixels at the least.
constexpr int kReplaySliderWidth = 240;

}  // namespace

void frmMain::BuildHistoryControls() {
  picWaterfall = new WaterfallPicture(client);
  picWaterfall->setObjectName(QStringLiteral("picWaterfall"));
  picWaterfall->setAccessibleName(QStringLiteral("Waterfall"));
  picWaterfall->hide();
  splitWaterfall = new SplitHandle(client);
  splitWaterfall->setObjectName(QStringLiteral("splitWaterfall"));
  splitWaterfall->setAccessibleName(QStringLiteral("Waterfall Split"));
  splitWaterfall->hide();

  // The count sits at the right end of the "Status" panel.
  QWidget* statusPanel = sbStatus->PanelWidget(QStringLiteral("Status"));
  auto* row = new QHBoxLayout(statusPanel);
  row->setContentsMargins(0, 0, 4, 0);
  row->addStretch();
  lblRecording = new QLabel(statusPanel);
  lblRecording->setObjectName(QStringLiteral("lblRecording"));
  row->addWidget(lblRecording);
  lblRecording->hide();

  tbReplay = new QToolBar(QStringLiteral("Replay"), this);
  tbReplay->setObjectName(QStringLiteral("tbReplay"));
  tbReplay->setMovable(false);
  tbReplay->setFloatable(false);
  addToolBar(Qt::TopToolBarArea, tbReplay);
  const auto button = [this](const char* name, QStyle::StandardPixmap icon, const char* text, QKeySequence key) {
    QAction* action = tbReplay->addAction(style()->standardIcon(icon), QString::fromLatin1(text));
    action->setObjectName(QString::fromLatin1(name));
    if (!key.isEmpty()) {
      action->setShortcut(key);
      action->setToolTip(QStringLiteral("%1 (%2)").arg(QString::fromLatin1(text), key.toString()));
    }
    return action;
  };
  cmdReplayFirst = button("cmdReplayFirst", QStyle::SP_MediaSkipBackward, "First Data Set", {});
  cmdReplayPrevious = button("cmdReplayPrevious", QStyle::SP_MediaSeekBackward, "Previous Data Set", Qt::Key_F8);
  sldReplay = new QSlider(Qt::Horizontal);
  sldReplay->setObjectName(QStringLiteral("sldReplay"));
  sldReplay->setAccessibleName(QStringLiteral("Replay Position"));
  sldReplay->setMinimumWidth(kReplaySliderWidth);
  // A data set is shown where the slider is let go; the keys of the window
  // stay the plot's.
  sldReplay->setTracking(false);
  sldReplay->setFocusPolicy(Qt::NoFocus);
  tbReplay->addWidget(sldReplay);
  cmdReplayNext = button("cmdReplayNext", QStyle::SP_MediaSeekForward, "Next Data Set", Qt::Key_F9);
  cmdReplayLast = button("cmdReplayLast", QStyle::SP_MediaSkipForward, "Last Data Set", {});
  lblReplay = new QLabel;
  lblReplay->setObjectName(QStringLiteral("lblReplay"));
  lblReplay->setContentsMargins(8, 0, 8, 0);
  tbReplay->addWidget(lblReplay);
  cmdReplayClose = button("cmdReplayClose", QStyle::SP_DialogCloseButton, "Close Replay", {});
  tbReplay->hide();
}

void frmMain::WireHistory() {
  waterfall_.Attach();
  layout_.SetWaterfall(waterfall_, *this);
  connect(mnuViewWaterfall, &QAction::triggered, this, &frmMain::mnuViewWaterfall_Click);
  connect(&waterfall_, &Waterfall::LayoutChanged, this, [this] { layout_.Form_Resize(); });
  // Each data set from the modem is a row, at its time of arrival.
  connect(&cycle_, &CaptureCycle::DataSetShown, this, [this] { waterfall_.TakeDataSet(cycle_.LastArrival()); });

  connect(mnuFileRecord, &QAction::triggered, this, &frmMain::mnuFileRecord_Click);
  connect(&cycle_, &CaptureCycle::BlockArrived, this,
          [this](const std::string& block, std::int64_t arrivalMs) { recorder_.BlockArrived(block, arrivalMs); });

  connect(mnuFileOpenRecording, &QAction::triggered, this, &frmMain::mnuFileOpenRecording_Click);
  connect(cmdReplayFirst, &QAction::triggered, this, [this] { replay_.First(); });
  connect(cmdReplayPrevious, &QAction::triggered, this, [this] { replay_.Previous(); });
  connect(cmdReplayNext, &QAction::triggered, this, [this] { replay_.Next(); });
  connect(cmdReplayLast, &QAction::triggered, this, [this] { replay_.Last(); });
  connect(cmdReplayClose, &QAction::triggered, this, [this] { replay_.Close(); });
  connect(sldReplay, &QSlider::valueChanged, this,
          [this](int value) { replay_.MoveTo(static_cast<std::size_t>(std::max(value, 0))); });
  connect(&replay_, &Replay::LayoutChanged, this, [this] { layout_.Form_Resize(); });
}

}  // namespace specterm
