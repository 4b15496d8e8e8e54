#pragma once

// An image list in the manner of the classic control: pictures addressed by
// 1-based index or by text key.

#include <QCursor>
#include <QIcon>
#include <QPixmap>
#include <QString>

#include <vector>

namespace forms {

class ImageList {
 public:
  // Appends a picture; returns its 1-based index. A cursor hot spot may be
  // given for pictures used as mouse pointers (default: the centre).
  int Add(const QPixmap& picture, const QString& key = QString(), QPoint hotSpot = QPoint(-1, -1));
  int Count() const { return static_cast<int>(items_.size()); }
  bool Exists(int index) const { return index >= 1 && index <= Count(); }
  bool Exists(const QString& key) const { return IndexOf(key) != 0; }
  int IndexOf(const QString& key) const;  // 0 when missing
  QPixmap Picture(int index) const;
  QPixmap Picture(const QString& key) const;
  QIcon Icon(int index) const { return QIcon(Picture(index)); }
  QIcon Icon(const QString& key) const { return QIcon(Picture(key)); }
  // The picture as a mouse pointer.
  QCursor Cursor(int index) const;
  QCursor Cursor(const QString& key) const { return Cursor(IndexOf(key)); }
  QString Key(int index) const;

 private:
  struct Item {
    QPixmap picture;
    QString key;
    QPoint hotSpot;
  };
  std::vector<Item> items_;
};

}  // namespace forms
