#include "ReflashDialog.h"

#include "forms/Dialogs.h"
#include "monitor/ConstellationMonitor.h"
#include "monitor/Identifiers.h"
#include "monitor/RegistryKey.h"
#include "monitor/WinException.h"

#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace orbscope;

namespace {
constexpr const char* kCaption = "Modem reFLASH";
constexpr const char* kErrorCaption = "FTP";
}  // namespace

CReflashDialog::CReflashDialog(QDialog* window, CConstellationMonitor& monitor, ReflashTiming timing)
    : monitor_(monitor),
      timing_(timing),
      window_(window),
      localFile_(DlgItem<QLineEdit>(window, IDC_LOCAL_FILE)),
      remoteFile_(DlgItem<QComboBox>(window, IDC_REMOTE_FILE)),
      status_(DlgItem<QLabel>(window, IDC_STATUS)) {}

CReflashDialog::~CReflashDialog() {
  CancelFlash();
  monitor_.WaitForLink();
}

void CReflashDialog::Init(QDialog*) {
  QString dataFile;
  int imageType = 0;
  try {
    CRegistryKey key(0, kOrbscopeRegistryPath);
    dataFile = QString::fromLocal8Bit(key.ReadText(kDataFileValue));
    imageType = static_cast<int>(key.ReadDword(kImageTypeValue));
  } catch (const WinException&) {
    // Nothing remembered (first use) or unreadable: the defaults.
    dataFile.clear();
    imageType = 0;
  }
  for (const char* target : kReflashTargets) remoteFile_->addItem(QString::fromLatin1(target));
  localFile_->setText(dataFile);
  // The remembered target is selected; the list stays closed until the
  // user opens it, so that Escape closes the dialog, not a list nobody asked for.
  remoteFile_->setCurrentIndex(imageType >= 0 && imageType < remoteFile_->count() ? imageType : -1);
}

bool CReflashDialog::Command(QDialog* window, int controlId, int) {
  // While the modem is being flashed the dialog takes no commands but
  // Cancel, and that only while it is enabled (not while the image is sent).
  if (busy_) {
    if (controlId == IDCANCEL) {
      if (QWidget* cancel = GetDlgItem(window, IDCANCEL); cancel != nullptr && cancel->isEnabled()) CancelFlash();
    }
    return controlId == IDOK || controlId == IDCANCEL || controlId == IDC_BROWSE;
  }
  switch (controlId) {
    case IDC_BROWSE:
      Browse();
      return true;
    case IDOK:
      StartUpload(window);
      return true;
    case IDCANCEL:
      EndDialog(window, 0);
      return true;
    default:
      return false;
  }
}

void CReflashDialog::Browse() {
  const QString current = localFile_->text();
  const int slash = current.lastIndexOf('/');
  forms::FileDialogRequest request;
  request.kind = forms::FileDialogRequest::Kind::Open;
  request.title = QStringLiteral("File Open");
  request.initialFolder = slash < 0 ? QStringLiteral(".") : current.left(slash + 1);
  request.filter = QStringLiteral("BIN Files|*.bin");
  request.filterIndex = 1;
  request.defaultExtension = QStringLiteral("bin");
  const std::optional<QString> chosen = forms::ShowFileDialog(request, window_);
  localFile_->setText(chosen.value_or(QString()));
}

void CReflashDialog::StartUpload(QDialog* window) {
  SetStatus(QStringLiteral("Sending data file..."));
  ReflashJob job;
  job.session = monitor_.Session();
  job.address = monitor_.Address().Text();
  job.localFile = localFile_->text().toLocal8Bit().left(kLocalNameLength).toStdString();
  const QString remote = remoteFile_->currentText().left(kRemoteNameLength);
  job.remoteFile = remote.toLocal8Bit().toStdString();
  job.timing = timing_;
  job.closeConnection = [monitor = &monitor_](HINTERNET connection) { monitor->CloseAside(connection); };
  const int imageType = TargetIndex(remote);

  busy_ = true;
  SetInputEnabled(false);
  QDialog* dialog = window;
  control_ = std::make_shared<ReflashControl>();
  control_->OnStep([this, dialog](ReflashControl::Step step) {
    QMetaObject::invokeMethod(
        dialog, [this, step] { StepEntered(step); }, Qt::QueuedConnection);
  });
  StepEntered(ReflashControl::Step::Queued);
  monitor_.RunOnLink([this, dialog, job, remote, imageType, control = control_] {
    const auto showStatus = [this, dialog](const std::string& text) {
      QMetaObject::invokeMethod(
          dialog, [this, text] { SetStatus(QStringLiteral("Writing FLASH: %1").arg(QString::fromLocal8Bit(text))); },
          Qt::QueuedConnection);
    };
    const ReflashOutcome outcome = UploadFirmware(job, showStatus, *control);
    QMetaObject::invokeMethod(
        dialog,
        [this, dialog, outcome, localFile = job.localFile, remote, imageType] {
          Finish(dialog, outcome, localFile, remote, imageType);
        },
        Qt::QueuedConnection);
  });
}

void CReflashDialog::CancelFlash() {
  if (!control_) return;
  // Abandon the call in flight of the step the re-flash is in; the link
  // thread then ends the re-flash as failed.
  switch (control_->Cancel()) {
    case ReflashControl::Step::Connecting:
      monitor_.RenewSession();
      break;
    case ReflashControl::Step::Waiting:
      monitor_.CloseAside(control_->Connection());
      break;
    default:
      break;
  }
  if (QWidget* cancel = GetDlgItem(window_, IDCANCEL)) cancel->setEnabled(false);
}

void CReflashDialog::StepEntered(ReflashControl::Step step) {
  if (!busy_ || control_->Cancelled()) return;
  const bool cancellable = step == ReflashControl::Step::Queued || step == ReflashControl::Step::Connecting ||
                           step == ReflashControl::Step::Waiting;
  if (QWidget* cancel = GetDlgItem(window_, IDCANCEL)) cancel->setEnabled(cancellable);
}

void CReflashDialog::Finish(QDialog* window, const ReflashOutcome& outcome, const std::string& localFile,
                            const QString& target, int imageType) {
  busy_ = false;
  control_.reset();
  SetInputEnabled(true);
  switch (outcome.result) {
    case ReflashOutcome::Result::Error:
      forms::MsgBox(QString::fromLatin1(outcome.message.c_str()), forms::vbCritical, QString::fromLatin1(kErrorCaption),
                    window);
      break;
    case ReflashOutcome::Result::Complete:
      SetStatus(QStringLiteral("reFLASH is complete!"));
      try {
        CRegistryKey key(0, kOrbscopeRegistryPath);
        key.WriteText(kDataFileValue, localFile.c_str());
        key.WriteDword(kImageTypeValue, static_cast<DWORD>(imageType));
      } catch (const WinException& error) {
        // The modem is flashed; only remembering the choice failed.
        forms::MsgBox(QString::fromLocal8Bit(error.Message().c_str()), forms::vbExclamation,
                      QString::fromLatin1(kCaption), window);
      }
      break;
    case ReflashOutcome::Result::Failed:
      SetStatus(QStringLiteral("reFLASH failed!"));
      break;
  }
  EndDialog(window, 1);
  // The status line went with the dialog: the outcome is told once more,
  // where it stays until the user has read it.
  QWidget* owner = window->parentWidget();
  if (outcome.result == ReflashOutcome::Result::Complete) {
    forms::MsgBox(QStringLiteral("reFLASH is complete!\n\n%1 was written to \"%2\".")
                      .arg(QString::fromLocal8Bit(localFile.c_str()), target),
                  forms::vbInformation, QString::fromLatin1(kCaption), owner);
  } else if (outcome.result == ReflashOutcome::Result::Failed) {
    forms::MsgBox(QStringLiteral("reFLASH failed!\n\n%1").arg(QString::fromLocal8Bit(outcome.message.c_str())),
                  forms::vbCritical, QString::fromLatin1(kCaption), owner);
  }
}

void CReflashDialog::SetStatus(const QString& text) {
  statusHistory_.push_back(text);
  status_->setText(text);
}

void CReflashDialog::SetInputEnabled(bool enabled) {
  for (const int id : {IDC_LOCAL_FILE, IDC_BROWSE, IDC_REMOTE_FILE, IDOK, IDCANCEL})
    if (QWidget* control = GetDlgItem(window_, id)) control->setEnabled(enabled);
}

std::unique_ptr<CDialogHandler> CReflashDialogFactory::Create(QDialog* window) {
  return std::make_unique<CReflashDialog>(window, monitor_, timing_);
}

namespace orbscope {

void ReflashTemplate(QDialog& dialog) {
  dialog.setWindowTitle(QString::fromLatin1(kCaption));
  auto* layout = new QGridLayout(&dialog);
  auto* localFile = new QLineEdit(&dialog);
  SetControlId(localFile, IDC_LOCAL_FILE);
  localFile->setMinimumWidth(localFile->fontMetrics().averageCharWidth() * 48);
  auto* browse = new QPushButton(QStringLiteral("Browse"), &dialog);
  SetControlId(browse, IDC_BROWSE);
  browse->setAutoDefault(false);
  auto* remoteFile = new QComboBox(&dialog);
  SetControlId(remoteFile, IDC_REMOTE_FILE);
  remoteFile->setEditable(true);
  remoteFile->setInsertPolicy(QComboBox::NoInsert);
  remoteFile->setMaxVisibleItems(kReflashTargetCount);
  auto* status = new QLabel(&dialog);
  SetControlId(status, IDC_STATUS);
  status->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  status->setMinimumHeight(status->fontMetrics().height() + 6);
  auto* ok = new QPushButton(QStringLiteral("OK"), &dialog);
  SetControlId(ok, IDOK);
  ok->setDefault(true);
  auto* cancel = new QPushButton(QStringLiteral("Cancel"), &dialog);
  SetControlId(cancel, IDCANCEL);
  cancel->setAutoDefault(false);

  layout->addWidget(new QLabel(QStringLiteral("Local Filename:"), &dialog), 0, 0);
  layout->addWidget(localFile, 0, 1);
  layout->addWidget(browse, 0, 2);
  layout->addWidget(new QLabel(QStringLiteral("Remote Filename:"), &dialog), 1, 0);
  layout->addWidget(remoteFile, 1, 1);
  layout->addWidget(status, 2, 0, 1, 3);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(ok);
  buttons->addWidget(cancel);
  layout->addLayout(buttons, 3, 0, 1, 3);
}

int RunReflashDialog(QWidget* parent, CConstellationMonitor& monitor, const ReflashTiming& timing) {
  CReflashDialogFactory factory(monitor, timing);
  return DialogBoxParam(ReflashTemplate, parent, factory);
}

int TargetIndex(const QString& target) {
  for (int i = 0; i < kReflashTargetCount; ++i)
    if (target == QLatin1String(kReflashTargets[i])) return i;
  return -1;
}

}  // namespace orbscope
