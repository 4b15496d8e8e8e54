#pragma once

// A status bar of keyed panels, as the classic status bar control: each panel
// has a key, a text, an optional picture, a width in twips and a description
// (shown as its tool tip). Panels sit left to right in the order they were
// added; clicks and double clicks report the panel's key.
//
// Screen readers see each panel as a text named by its description, with
// its text as the value; an announced panel tells them of each new text
// (the others change as the pointer moves, too often to be read out).

#include <QPixmap>
#include <QString>
#include <QWidget>

#include <vector>

namespace forms {

class StatusPanel;

class KeyedStatusBar : public QWidget {
  Q_OBJECT

 public:
  explicit KeyedStatusBar(QWidget* parent = nullptr);
  ~KeyedStatusBar() override;

  void AddPanel(const QString& key, int widthTwips, const QString& description, const QString& text = QString());

  bool Exists(const QString& key) const;
  QStringList Keys() const;
  QString PanelText(const QString& key) const;
  void SetPanelText(const QString& key, const QString& text);
  void SetPanelAnnounced(const QString& key, bool announced);
  QPixmap PanelPicture(const QString& key) const;
  qint64 PanelPictureKey(const QString& key) const;
  void SetPanelPicture(const QString& key, const QPixmap& picture);
  int PanelWidth(const QString& key) const;  // twips
  void SetPanelWidth(const QString& key, int widthTwips);
  int PanelLeft(const QString& key) const;  // twips from the bar's left edge
  // Keeps the panel's text clear of its right end, for a control laid over
  // it (pixels; 0 for none).
  void SetPanelTextInset(const QString& key, int pixels);
  // A control laid over the panel (an editor of its value) hides its text
  // until uncovered; the text is still kept and set as usual.
  void SetPanelCovered(const QString& key, bool covered);
  // The panel's description: its tool tip while its text fits.
  void SetPanelDescription(const QString& key, const QString& description);
  bool PanelCovered(const QString& key) const;
  QWidget* PanelWidget(const QString& key) const;

  QSize sizeHint() const override;

 signals:
  void PanelClick(const QString& key);
  void PanelDblClick(const QString& key);

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  StatusPanel* Find(const QString& key) const;
  void Relayout();

  std::vector<StatusPanel*> panels_;
};

}  // namespace forms
