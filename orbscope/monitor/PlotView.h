#pragma once

// The client area of the main window: shows the monitor's last drawing on
// black. For screen readers it is a chart named "Constellation" whose value
// is the reading of the title band (model, modulation and EVM), with the EVM
// in dB as its numeric value.

#include <QWidget>

#include <optional>

class CConstellationMonitor;

namespace orbscope {

class PlotView : public QWidget {
  Q_OBJECT
 public:
  explicit PlotView(QWidget* parent);
  void SetMonitor(CConstellationMonitor* monitor) { monitor_ = monitor; }

  // The title band's text, or what the monitor is doing before the first
  // drawing; empty while idle.
  QString ReadingText() const;
  // The EVM of the reading shown, when it has one.
  std::optional<double> ReadingEvm() const;
  // Tells screen readers that the reading changed (after a drawing).
  void ReadingChanged();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  CConstellationMonitor* monitor_ = nullptr;
};

}  // namespace orbscope
