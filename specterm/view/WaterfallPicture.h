#pragma once

// The widgets of the waterfall: the picture below the plot, which shows what
// its owner paints and a tool tip its owner words, and takes clicks without
// doing anything with them; and the handle between the plot and the
// picture that drags the split.

#include <QWidget>

#include <optional>

namespace specterm {

class WaterfallPicture : public QWidget {
  Q_OBJECT

 public:
  // What the picture shows, handed in by its owner.
  class Source {
   public:
    virtual void PaintPicture(QPainter& painter) = 0;
    // The tool tip for a pixel of the picture; empty for none.
    virtual QString ToolTipAt(const QPoint& pixel) = 0;

   protected:
    ~Source() = default;
  };

  explicit WaterfallPicture(QWidget* parent = nullptr);
  void SetSource(Source* source) { source_ = source; }

 protected:
  bool event(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  // A click in the waterfall changes nothing, nor does it reach the window
  // behind it.
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  Source* source_ = nullptr;
};

// A bar across the window that is dragged up or down.
class SplitHandle : public QWidget {
  Q_OBJECT

 public:
  explicit SplitHandle(QWidget* parent = nullptr);

 signals:
  void DragStarted();
  // Pixels down from where the drag started (negative: up).
  void Dragged(int pixels);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  std::optional<double> pressY_;
};

}  // namespace specterm
