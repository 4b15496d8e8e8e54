#include "modems/frmAbout.h"

#include "modems/RegSettings.h"
#include "modems/Titles.h"
#include "view/Icons.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace specterm {
namespace {

constexpr const char* kDescription =
    "This utility works with a Halden demodulator to analyse the spectrum of its I and Q sample data. "
    "The samples are downloaded by FTP through the unit's Ethernet port as byte-wide data, 2048 points per "
    "channel. The program performs the FFT and the scaling calculations and displays the results graphically.\n\n"
    "It offers the functions of a traditional spectrum analyzer: finding the highest peak and then the next "
    "lower and higher peaks, peak hold, video averaging, display of the previous trace and two measurement "
    "cursors.\n\n"
    "A monitor resolution of at least 800 x 600 pixels is required.";

constexpr const char* kDisclaimer =
    "No warranty of any kind is expressed or implied. The maker accepts no responsibility for damage to the "
    "hardware or software used with this utility.";

constexpr int kTextWidth = 380;

}  // namespace

frmAbout::frmAbout(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("frmAbout"));
  setWindowTitle(QStringLiteral("About ") + QString::fromStdString(AppTitle));

  picIcon = new QLabel(this);
  picIcon->setObjectName(QStringLiteral("picIcon"));
  picIcon->setPixmap(ProgramIcon().pixmap(48, 48));
  picIcon->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

  lblTitle = new QLabel(this);
  lblTitle->setObjectName(QStringLiteral("lblTitle"));
  QFont titleFont = lblTitle->font();
  titleFont.setPointSizeF(titleFont.pointSizeF() * 1.5);
  titleFont.setBold(true);
  lblTitle->setFont(titleFont);

  lblTitle->setText(QString::fromStdString(AppTitle));

  lblVersion = new QLabel(QStringLiteral("Version ") + QString::fromStdString(VersionText()), this);
  lblVersion->setObjectName(QStringLiteral("lblVersion"));

  lblDescription = new QLabel(QString::fromLatin1(kDescription), this);
  lblDescription->setObjectName(QStringLiteral("lblDescription"));
  lblDescription->setWordWrap(true);

  auto* line = new QFrame(this);
  line->setFrameShape(QFrame::HLine);
  line->setFrameShadow(QFrame::Sunken);

  lblDisclaimer = new QLabel(QString::fromLatin1(kDisclaimer), this);
  lblDisclaimer->setObjectName(QStringLiteral("lblDisclaimer"));
  lblDisclaimer->setWordWrap(true);
  QFont small = lblDisclaimer->font();
  small.setPointSizeF(small.pointSizeF() * 0.9);
  lblDisclaimer->setFont(small);

  cmdOK = new QPushButton(QStringLiteral("Close"), this);
  cmdOK->setObjectName(QStringLiteral("cmdOK"));
  cmdOK->setDefault(true);
  connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);

  auto* text = new QVBoxLayout;
  text->addWidget(lblTitle);
  text->addWidget(lblVersion);
  text->addSpacing(8);
  text->addWidget(lblDescription);
  auto* top = new QHBoxLayout;
  top->addWidget(picIcon);
  top->addSpacing(8);
  top->addLayout(text, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(cmdOK);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(line);
  layout->addWidget(lblDisclaimer);
  layout->addLayout(buttons);
  // Wrapped texts at a fixed width; the box takes the height they need.
  lblDescription->setFixedWidth(kTextWidth);
  lblDisclaimer->setFixedWidth(kTextWidth + picIcon->sizeHint().width() + 16);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

void frmAbout::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  cmdOK->setFocus();
}

}  // namespace specterm
