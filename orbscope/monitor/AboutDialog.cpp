#include "AboutDialog.h"

#include "ConstellationPlot.h"
#include "DialogHandler.h"
#include "Identifiers.h"

#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace orbscope {

namespace {
constexpr int kAboutIconSize = 32;
}

CAboutDialog::CAboutDialog(QWidget* parent) : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint) {
  setObjectName(QStringLiteral("ABOUT"));
  setFont(DialogFont());
  auto* frame = new QFrame(this);
  frame->setFrameStyle(QFrame::Box | QFrame::Raised);
  auto* outer = new QVBoxLayout(this);
  outer->setContentsMargins(0, 0, 0, 0);
  outer->addWidget(frame);

  auto* layout = new QHBoxLayout(frame);
  auto* icon = new QLabel(frame);
  icon->setPixmap(OrbscopePixmap(kAboutIconSize));
  icon->setAlignment(Qt::AlignTop);
  layout->addWidget(icon);
  auto* texts = new QVBoxLayout;
  for (const char* text : {"Orbscope", "The Generic IQ Monitor Program", "03/05/2009"}) {
    auto* label = new QLabel(QString::fromLatin1(text), frame);
    label->setAlignment(Qt::AlignHCenter);
    texts->addWidget(label);
  }
  auto* ok = new QPushButton(QStringLiteral("OK"), frame);
  SetControlId(ok, IDOK);
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, [this] { Command(IDOK); });
  texts->addWidget(ok, 0, Qt::AlignHCenter);
  layout->addLayout(texts);
}

void CAboutDialog::Command(int id) {
  if (id == IDOK || id == IDCANCEL) done(id);
}

void CAboutDialog::reject() { Command(IDCANCEL); }

void CAboutDialog::showEvent(QShowEvent* event) {
  // Centred over the parent window, or over the desktop without one; the
  // size stays as it is.
  adjustSize();
  QRect outer;
  if (parentWidget() != nullptr) {
    outer = parentWidget()->window()->frameGeometry();
  } else if (QScreen* screen = QGuiApplication::primaryScreen()) {
    outer = screen->geometry();
  }
  move(CentreOver(outer, frameGeometry().size()));
  QDialog::showEvent(event);
}

QPoint CentreOver(const QRect& outer, const QSize& size) {
  return {outer.left() + (outer.width() - size.width()) / 2, outer.top() + (outer.height() - size.height()) / 2};
}

QPixmap OrbscopePixmap(int size) {
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::black);
  QPainter painter(&pixmap);
  painter.setPen(QColor(kBandGrey, kBandGrey, kBandGrey));
  painter.drawLine(size / 2, 0, size / 2, size - 1);
  painter.drawLine(0, size / 2, size - 1, size / 2);
  const int dot = std::max(2, size / 8);
  for (const int cx : {size / 4, 3 * size / 4})
    for (const int cy : {size / 4, 3 * size / 4}) painter.fillRect(cx - dot / 2, cy - dot / 2, dot, dot, Qt::white);
  return pixmap;
}

QIcon OrbscopeIcon() {
  QIcon icon;
  for (const int size : {16, 32, 48}) icon.addPixmap(OrbscopePixmap(size));
  return icon;
}

}  // namespace orbscope
