#include "view/MeasurementPanel.h"

#include "base/Twips.h"
#include "forms/QtText.h"
#include "processing/Processing.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDockWidget>
#include <QEvent>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMainWindow>
#include <QScreen>
#include <QStyle>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <array>
#include <cmath>

namespace specterm {
namespace {

// The lines of the values table.
enum ValueLine {
  kTraceLine,
  kFromLine,
  kToLine,
  kWidthLine,
  kPointsLine,
  kPowerLine,
  kNoiseLine,
  kCnLine,
  kObwLine,
  kPeakLine,
  kValueLines
};
constexpr std::array<const char*, kValueLines> kValueNames = {
    "Trace",       "From", "To", "Width", "Points", "Band Power", "Noise per Point", "C/N", "Occupied Bandwidth",
    "Peak in Band"};
constexpr std::array<const char*, 5> kPeakColumns = {"Rank", "Point", "Frequency", "Level", "Below Highest"};
// The widest texts of the peak table's columns and of a value: the columns
// are sized for them once, rather than measured at every data set.
constexpr std::array<const char*, 5> kWidestPeakCells = {"Rank", "Point", "0000.000000 MHz", "000.000 dB",
                                                         "Below Highest"};
constexpr const char* kWidestValue = "2048 0000.000000 MHz 000.000 dB";
// Pixels beside a cell's text.
constexpr int kCellPadding = 12;
// Pixels between a table's lines of text.
constexpr int kRowPadding = 6;

using forms::Text;

QTableWidget* NewTable(QWidget* parent, const char* name, const QString& accessibleName, int columns) {
  auto* table = new QTableWidget(0, columns, parent);
  table->setObjectName(QString::fromLatin1(name));
  table->setAccessibleName(accessibleName);
  table->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table->setSelectionBehavior(QAbstractItemView::SelectRows);
  table->setSelectionMode(QAbstractItemView::SingleSelection);
  table->verticalHeader()->hide();
  table->horizontalHeader()->setStretchLastSection(true);
  table->setContextMenuPolicy(Qt::ActionsContextMenu);
  table->setFocusPolicy(Qt::ClickFocus);
  table->setWordWrap(false);
  // The parts of the table are named after it, for screen readers.
  table->horizontalHeader()->setAccessibleName(accessibleName + QStringLiteral(" Columns"));
  table->verticalHeader()->setAccessibleName(accessibleName + QStringLiteral(" Rows"));
  table->setCornerButtonEnabled(false);
  for (QAbstractButton* corner : table->findChildren<QAbstractButton*>())
    corner->setAccessibleName(accessibleName + QStringLiteral(" Corner"));
  table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + kRowPadding);
  return table;
}

int Width(const QTableWidget& table, const char* text) {
  return table.fontMetrics().horizontalAdvance(QString::fromLatin1(text)) + kCellPadding;
}

void SetCell(QTableWidget& table, int row, int column, const QString& text) {
  QTableWidgetItem* item = table.item(row, column);
  if (item == nullptr) {
    table.setItem(row, column, new QTableWidgetItem(text));
    return;
  }
  // Unchanged texts are left alone: nothing to repaint.
  if (item->text() != text) item->setText(text);
}

// A table's rows as tab-separated lines, headers first when shown.
QString TableText(const QTableWidget& table) {
  QStringList lines;
  const bool headers = !table.horizontalHeader()->isHidden();
  for (int row = headers ? -1 : 0; row < table.rowCount(); ++row) {
    QStringList cells;
    for (int column = 0; column < table.columnCount(); ++column) {
      const QTableWidgetItem* item = row < 0 ? table.horizontalHeaderItem(column) : table.item(row, column);
      cells << (item != nullptr ? item->text() : QString());
    }
    lines << cells.join(QLatin1Char('\t'));
  }
  return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

// The row measured: the selected one, else the current one.
int MeasuredRowOf(const MeasurementInputs& inputs) {
  return inputs.Row >= 0 && inputs.Row < static_cast<int>(kTraceRows) ? inputs.Row : kCurrentRow;
}

}  // namespace

MeasurementPanel::MeasurementPanel(MeasurementControls& controls, const Processing& spectrum)
    : c_(controls), spectrum_(spectrum) {}

void MeasurementPanel::BuildDock(QMainWindow& window) {
  window_ = &window;
  auto* dock = new QDockWidget(QStringLiteral("Measurements"), &window);
  dock->setObjectName(QStringLiteral("dockMeasurements"));
  auto* body = new QWidget(dock);
  auto* layout = new QVBoxLayout(body);
  layout->setContentsMargins(2, 2, 2, 2);

  c_.tblMeasurements = NewTable(body, "tblMeasurements", QStringLiteral("Measurements between the cursors"), 2);
  c_.tblMeasurements->horizontalHeader()->hide();
  c_.tblMeasurements->setRowCount(kValueLines);
  for (int row = 0; row < kValueLines; ++row) {
    SetCell(*c_.tblMeasurements, row, 0, QString::fromLatin1(kValueNames[static_cast<std::size_t>(row)]));
    SetCell(*c_.tblMeasurements, row, 1, QString());
  }
  c_.tblMeasurements->resizeColumnToContents(0);
  c_.tblMeasurements->setColumnWidth(1, Width(*c_.tblMeasurements, kWidestValue));
  c_.tblMeasurements->setSizeAdjustPolicy(QAbstractScrollArea::AdjustToContents);
  c_.tblMeasurements->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

  c_.tblPeaks = NewTable(body, "tblPeaks", QStringLiteral("Peaks"), static_cast<int>(kPeakColumns.size()));
  QStringList headers;
  for (const char* header : kPeakColumns) headers << QString::fromLatin1(header);
  c_.tblPeaks->setHorizontalHeaderLabels(headers);
  // A header's text may be wider than its cells (and drawn bold).
  for (std::size_t column = 0; column < kWidestPeakCells.size(); ++column) {
    const int index = static_cast<int>(column);
    c_.tblPeaks->setColumnWidth(index, std::max(Width(*c_.tblPeaks, kWidestPeakCells[column]),
                                                c_.tblPeaks->horizontalHeader()->sectionSizeHint(index)));
  }
  c_.tblPeaks->setToolTip(QStringLiteral("Click a peak to select it"));

  c_.mnuMeasurementsCopy = new QAction(QStringLiteral("&Copy\tCtrl+C"), dock);
  c_.mnuMeasurementsCopy->setObjectName(QStringLiteral("mnuMeasurementsCopy"));
  for (QTableWidget* table : {c_.tblMeasurements, c_.tblPeaks}) {
    table->addAction(c_.mnuMeasurementsCopy);
    table->installEventFilter(this);
    layout->addWidget(table);
  }
  layout->setStretch(1, 1);
  dock->setWidget(body);
  c_.dockMeasurements = dock;
  window.addDockWidget(Qt::RightDockWidgetArea, dock);
  dock->hide();

  connect(c_.mnuMeasurementsCopy, &QAction::triggered, this, &MeasurementPanel::CopyToClipboard);
  connect(dock, &QDockWidget::visibilityChanged, this, [this](bool visible) {
    c_.mnuViewMeasurements->setChecked(!c_.dockMeasurements->isHidden());
    everShown_ = everShown_ || visible;
    if (visible) Refresh();
  });
  // The selection follows once the click is over: the table may change
  // under it.
  connect(
      c_.tblPeaks, &QTableWidget::cellClicked, this,
      [this](int row, int) {
        if (shown_ && row >= 0 && row < static_cast<int>(shown_->Peaks.size()))
          emit PointChosen(shown_->Peaks[static_cast<std::size_t>(row)].Point);
      },
      Qt::QueuedConnection);
}

int MeasurementPanel::DefaultWidth() const {
  // Wide enough for every column of both tables, and the peak table's
  // scroll bar once it has more peaks than lines.
  int width = 0;
  for (const QTableWidget* table : {c_.tblMeasurements, c_.tblPeaks}) {
    int columns = 2 * table->frameWidth();
    for (int column = 0; column < table->columnCount(); ++column) columns += table->columnWidth(column);
    width = std::max(width, columns);
  }
  const QStyle& style = *c_.dockMeasurements->style();
  const QMargins margins = c_.dockMeasurements->widget()->layout()->contentsMargins();
  return width + style.pixelMetric(QStyle::PM_ScrollBarExtent) + margins.left() + margins.right() +
         2 * style.pixelMetric(QStyle::PM_DockWidgetFrameWidth);
}

bool MeasurementPanel::Shown() const { return c_.dockMeasurements != nullptr && !c_.dockMeasurements->isHidden(); }

void MeasurementPanel::mnuViewMeasurements_Click() {
  const bool show = c_.mnuViewMeasurements->isChecked();
  c_.dockMeasurements->setVisible(show);
  if (show) c_.dockMeasurements->raise();
}

MeasurementInputs MeasurementPanel::Inputs() const { return inputs_ ? inputs_() : MeasurementInputs{}; }

std::optional<Measurements> MeasurementPanel::Current() const { return MeasureWith(Inputs()); }

std::optional<Measurements> MeasurementPanel::MeasureWith(const MeasurementInputs& inputs) const {
  const TraceStore& traces = spectrum_.Traces();
  if (!traces.HaveData) return std::nullopt;
  const auto row = static_cast<std::size_t>(MeasuredRowOf(inputs));
  const double perMHz = kTenthsPerMHz * static_cast<double>(spectrum_.Block().SpanScale);
  MeasureSettings settings;
  if (inputs.CursorsPlaced && inputs.CursorsShown) {
    settings.BandFrom = static_cast<double>(inputs.Cursor1X) / perMHz;
    settings.BandTo = static_cast<double>(inputs.Cursor2X) / perMHz;
  }
  settings.Enbw = WindowEnbw(spectrum_.WindowSpectrum());
  settings.MinPeakThreshold = inputs.MinPeakThreshold;
  return Measure({traces.TraceX[row], traces.TraceY[row], spectrum_.Block().SpanScale}, settings);
}

void MeasurementPanel::Refresh() {
  if (!Shown()) return;
  const MeasurementInputs inputs = Inputs();
  ShowMeasurements(MeasureWith(inputs), inputs);
}

void MeasurementPanel::SetValue(int row, const QString& text) { SetCell(*c_.tblMeasurements, row, 1, text); }

void MeasurementPanel::ShowMeasurements(const std::optional<Measurements>& measured, const MeasurementInputs& inputs) {
  // A row chosen in the table no longer stands for its peak once the
  // table changes.
  const auto points = [](const std::optional<Measurements>& m) {
    std::vector<std::int32_t> list;
    if (m)
      for (const PointLevel& peak : m->Peaks) list.push_back(peak.Point);
    return list;
  };
  if (points(measured) != points(shown_)) c_.tblPeaks->clearSelection();
  shown_ = measured;
  SetValue(kTraceLine, measured ? Text(TraceName(MeasuredRowOf(inputs))) : QStringLiteral("No data set yet"));
  const std::optional<BandMeasurement> band = measured ? measured->Band : std::nullopt;
  if (band) {
    SetValue(kFromLine, Text(MegahertzText(band->LowMHz)));
    SetValue(kToLine, Text(MegahertzText(band->HighMHz)));
    SetValue(kWidthLine, Text(MegahertzText(band->HighMHz - band->LowMHz)));
    SetValue(kPointsLine, QString::number(band->Points));
    SetValue(kPowerLine, Text(DecibelText(band->BandPower)));
    SetValue(kNoiseLine, Text(DecibelText(band->NoisePerPoint)));
    SetValue(kCnLine, Text(DecibelText(band->CarrierToNoise)));
    SetValue(kObwLine, Text(MegahertzText(band->OccupiedBandwidth)));
    SetValue(kPeakLine, band->PeakInBand ? Text(PointLevelText(*band->PeakInBand)) : QStringLiteral("n/a"));
  } else {
    // The band lines say what is missing; the values wait for it.
    const QString missing = !inputs.CursorsPlaced  ? QStringLiteral("Place both cursors (F1, F2)")
                            : !inputs.CursorsShown ? QStringLiteral("Show the cursors (F3)")
                                                   : QString();
    for (const int line : {kFromLine, kToLine, kWidthLine}) SetValue(line, missing);
    for (const int line : {kPointsLine, kPowerLine, kNoiseLine, kCnLine, kObwLine, kPeakLine})
      SetValue(line, QString());
  }

  QTableWidget& peaks = *c_.tblPeaks;
  const std::vector<PointLevel> none;
  const std::vector<PointLevel>& table = measured ? measured->Peaks : none;
  if (peaks.rowCount() != static_cast<int>(table.size())) peaks.setRowCount(static_cast<int>(table.size()));
  for (std::size_t rank = 0; rank < table.size(); ++rank) {
    const PointLevel& peak = table[rank];
    const int row = static_cast<int>(rank);
    SetCell(peaks, row, 0, QString::number(rank + 1));
    SetCell(peaks, row, 1, QString::number(peak.Point));
    SetCell(peaks, row, 2, Text(MegahertzText(peak.MHz)));
    SetCell(peaks, row, 3, Text(DecibelText(peak.dB)));
    SetCell(peaks, row, 4, Text(DecibelText(table.front().dB - peak.dB)));
  }
}

QString MeasurementPanel::CaptionLine() const {
  const std::optional<Measurements> measured = Current();
  if (!measured) return QStringLiteral("No data set yet");
  if (!measured->Band) return QStringLiteral("Measurements need both cursors placed and shown");
  QStringList parts;
  for (const std::string& line : MeasurementLines({measured->Band, {}})) parts << Text(line);
  return parts.join(QStringLiteral("; "));
}

QString MeasurementPanel::CopyText() const { return TableText(*c_.tblMeasurements) + TableText(*c_.tblPeaks); }

void MeasurementPanel::CopyToClipboard() const { QGuiApplication::clipboard()->setText(CopyText()); }

bool MeasurementPanel::InDock(const QObject* object) const {
  for (; object != nullptr; object = object->parent())
    if (object == c_.dockMeasurements) return true;
  return false;
}

void MeasurementPanel::TakeCopyKey() {
  QApplication::instance()->removeEventFilter(this);
  QApplication::instance()->installEventFilter(this);
}

bool MeasurementPanel::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
  if (type == QEvent::FocusIn || type == QEvent::FocusOut) {
    if (watched == c_.tblMeasurements || watched == c_.tblPeaks) {
      if (type == QEvent::FocusIn) TakeCopyKey();
      // Between the two tables the keyboard stays in the dock.
      const QWidget* focus = QApplication::focusWidget();
      emit FocusChanged(type == QEvent::FocusIn || (focus != nullptr && InDock(focus)));
    }
    return false;
  }
  if ((type != QEvent::ShortcutOverride && type != QEvent::KeyPress) || !InDock(watched)) return false;
  auto* key = static_cast<QKeyEvent*>(event);
  if (key->matches(QKeySequence::Copy)) {
    // Ctrl+C is the dock's own while it has the keyboard: the window's menu
    // shortcut gives way, and the key copies the dock's text.
    key->accept();
    if (type == QEvent::KeyPress) CopyToClipboard();
    return true;
  }
  if (type == QEvent::KeyPress && watched == c_.tblPeaks &&
      (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)) {
    const int row = c_.tblPeaks->currentRow();
    if (shown_ && row >= 0 && row < static_cast<int>(shown_->Peaks.size()))
      emit PointChosen(shown_->Peaks[static_cast<std::size_t>(row)].Point);
    return true;
  }
  return false;
}

void MeasurementPanel::ApplyPlacement(const DockPlacement& place) {
  QDockWidget& dock = *c_.dockMeasurements;
  const auto pixels = [](float twips) {
    return std::isfinite(twips) ? static_cast<int>(std::lround(std::clamp(TwipsToPixels(twips), 0.0, 1.0e5))) : 0;
  };
  applied_ = place;
  const int width = place.Width > 0 ? pixels(place.Width) : DefaultWidth();
  const int height = pixels(place.Height);
  if (place.Area == DockArea::Floating) {
    dock.setFloating(true);
    // A place off every screen comes back on the primary one.
    QRect frame(static_cast<int>(std::lround(TwipsToPixels(std::isfinite(place.Left) ? place.Left : 0))),
                static_cast<int>(std::lround(TwipsToPixels(std::isfinite(place.Top) ? place.Top : 0))), width,
                std::max(height, 1));
    const QScreen* screen = QGuiApplication::screenAt(frame.topLeft());
    if (screen == nullptr) screen = QGuiApplication::primaryScreen();
    if (screen != nullptr) {
      const QRect area = screen->availableGeometry();
      frame.setSize(frame.size().boundedTo(area.size()));
      if (!area.contains(frame.topLeft())) frame.moveTopLeft(area.topLeft());
    }
    dock.setGeometry(frame);
  } else {
    static constexpr std::array<Qt::DockWidgetArea, 4> kAreas = {Qt::RightDockWidgetArea, Qt::LeftDockWidgetArea,
                                                                 Qt::TopDockWidgetArea, Qt::BottomDockWidgetArea};
    dock.setFloating(false);
    window_->addDockWidget(kAreas[static_cast<std::size_t>(place.Area)], &dock);
    const bool sideways = place.Area == DockArea::Right || place.Area == DockArea::Left;
    if (sideways || height > 0)
      window_->resizeDocks({&dock}, {sideways ? width : height}, sideways ? Qt::Horizontal : Qt::Vertical);
  }
  c_.mnuViewMeasurements->setChecked(place.Shown);
  dock.setVisible(place.Shown);
}

DockPlacement MeasurementPanel::Placement() const {
  const QDockWidget& dock = *c_.dockMeasurements;
  DockPlacement place;
  place.Shown = !dock.isHidden();
  if (dock.isFloating()) {
    place.Area = DockArea::Floating;
    place.Left = static_cast<float>(PixelsToTwips(dock.x()));
    place.Top = static_cast<float>(PixelsToTwips(dock.y()));
  } else {
    switch (window_->dockWidgetArea(const_cast<QDockWidget*>(&dock))) {
      case Qt::LeftDockWidgetArea:
        place.Area = DockArea::Left;
        break;
      case Qt::TopDockWidgetArea:
        place.Area = DockArea::Top;
        break;
      case Qt::BottomDockWidgetArea:
        place.Area = DockArea::Bottom;
        break;
      default:
        place.Area = DockArea::Right;
        break;
    }
  }
  // A dock that never showed has no size of its own yet.
  place.Width = everShown_ ? static_cast<float>(PixelsToTwips(dock.width())) : applied_.Width;
  place.Height = everShown_ ? static_cast<float>(PixelsToTwips(dock.height())) : applied_.Height;
  return place;
}

}  // namespace specterm
