#include "forms/ImageList.h"

namespace forms {

int ImageList::Add(const QPixmap& picture, const QString& key, QPoint hotSpot) {
  items_.push_back({picture, key, hotSpot});
  return Count();
}

int ImageList::IndexOf(const QString& key) const {
  if (key.isEmpty()) return 0;
  for (std::size_t i = 0; i < items_.size(); ++i)
    if (items_[i].key.compare(key, Qt::CaseInsensitive) == 0) return static_cast<int>(i) + 1;
  return 0;
}

QPixmap ImageList::Picture(int index) const {
  return Exists(index) ? items_[static_cast<std::size_t>(index - 1)].picture : QPixmap();
}

QPixmap ImageList::Picture(const QString& key) const { return Picture(IndexOf(key)); }

QCursor ImageList::Cursor(int index) const {
  if (!Exists(index)) return QCursor(Qt::ArrowCursor);
  const Item& item = items_[static_cast<std::size_t>(index - 1)];
  return QCursor(item.picture, item.hotSpot.x(), item.hotSpot.y());
}

QString ImageList::Key(int index) const {
  return Exists(index) ? items_[static_cast<std::size_t>(index - 1)].key : QString();
}

}  // namespace forms
