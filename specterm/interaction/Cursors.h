#pragma once

// The two measurement cursors: armed for the next left click, placed (their
// dotted lines on the plot, the read-outs of both and their differences),
// shown and hidden, and the view zoomed so that both fit; beside their
// read-outs, the pointer's location.

#include "forms/ImageList.h"
#include "interaction/InteractionState.h"

#include <QObject>
#include <QString>

#include <array>

class QAction;
class QLineEdit;

namespace forms {
class KeyedToolBar;
}  // namespace forms

namespace specterm {

class PlotView;
struct ToolbarControls;
class Processing;

// The controls the cursors drive: the cursor toolbar with its read-outs, the
// View menu's cursor items and their images.
struct CursorControls {
  forms::KeyedToolBar* tbCursors = nullptr;
  // Cursor 1 and 2 frequency, their delta; cursor 1 and 2 amplitude, their
  // delta; the pointer's frequency and amplitude.
  std::array<QLineEdit*, 8> txtCursor{};
  std::array<QAction*, 2> mnuViewCursor{};
  QAction* mnuViewCursors = nullptr;
  QAction* mnuViewZoomCursors = nullptr;
  forms::ImageList imgCursorBar;
};

class Cursors : public QObject {
  Q_OBJECT

 public:
  Cursors(CursorControls& controls, ToolbarControls& toolbar, const Processing& spectrum, PlotView& view);

  const CursorState& State() const { return cursors_; }
  // "View Cursors &Display" is checked.
  bool CursorDisplay() const;
  // The stored display switch and positions, with their read-outs.
  void ApplySettings(bool display, const std::array<float, 4>& positions);

  // Cursor index (0 or 1) is armed for the next left click: the cursors are
  // shown and its item checked.
  void Arm(int index);
  // No cursor is armed any longer.
  void Disarm();
  // Places cursor 1 or 2 at a plot location.
  void Place(int cursor, float x, float y);
  // The pointer's location over the plot.
  void ShowPointerReadout(float x, float y);

  // The display switch has been toggled.
  void mnuViewCursors_Click();
  void mnuViewZoomCursors_Click();
  void tbCursors_ButtonClick(const QString& key);

 signals:
  // A cursor was placed, or the display switched.
  void CursorsChanged();

 private:
  void ShowLines();
  void ShowReadouts(int cursor);
  // "&Zoom to Fit Cursors" is there only with both cursors placed and shown.
  void ShowZoomCursorsState();

  CursorControls& c_;
  ToolbarControls& toolbar_;
  const Processing& spectrum_;
  PlotView& view_;
  CursorState cursors_;
};

}  // namespace specterm
