#pragma once

// Dialog 108 "Modem reFLASH": the image file, the target and the progress of
// the re-flash. The upload and the wait for the flash run on the monitor's
// link thread; the dialog shows every status text as it comes and takes no
// input until the re-flash ends, but Cancel, which ends a connection attempt
// or the wait for the flash (not the sending of the image). Once the dialog
// has closed, a message box tells the outcome.

#include "FirmwareUpload.h"
#include "monitor/DialogHandler.h"

#include <QString>

#include <memory>
#include <vector>

class CConstellationMonitor;
class QComboBox;
class QLabel;
class QLineEdit;

// Registry values of the last successful re-flash.
inline constexpr const char* kDataFileValue = "DataFile";
inline constexpr const char* kImageTypeValue = "ImageType";

class CReflashDialog : public CDialogHandler {
 public:
  CReflashDialog(QDialog* window, CConstellationMonitor& monitor, orbscope::ReflashTiming timing);
  // Ends a re-flash still in progress and waits for the link thread.
  ~CReflashDialog() override;

  bool Command(QDialog* window, int controlId, int notifyCode) override;
  void Init(QDialog* window) override;

  bool Busy() const { return busy_; }
  // Every text the status line showed, in order.
  const std::vector<QString>& StatusHistory() const { return statusHistory_; }

 private:
  void Browse();
  void StartUpload(QDialog* window);
  void Finish(QDialog* window, const orbscope::ReflashOutcome& outcome, const std::string& localFile,
              const QString& target, int imageType);
  void CancelFlash();
  void StepEntered(orbscope::ReflashControl::Step step);
  void SetStatus(const QString& text);
  void SetInputEnabled(bool enabled);

  CConstellationMonitor& monitor_;
  orbscope::ReflashTiming timing_;
  QDialog* window_;
  QLineEdit* localFile_;
  QComboBox* remoteFile_;
  QLabel* status_;
  bool busy_ = false;
  std::vector<QString> statusHistory_;
  // The re-flash in progress, shared with the link thread.
  std::shared_ptr<orbscope::ReflashControl> control_;
};

class CReflashDialogFactory : public CDialogFactory {
 public:
  CReflashDialogFactory(CConstellationMonitor& monitor, orbscope::ReflashTiming timing)
      : monitor_(monitor), timing_(timing) {}
  std::unique_ptr<CDialogHandler> Create(QDialog* window) override;

 private:
  CConstellationMonitor& monitor_;
  orbscope::ReflashTiming timing_;
};

namespace orbscope {
// The controls of dialog 108.
void ReflashTemplate(QDialog& dialog);
// Runs dialog 108 modally over parent; returns its result.
int RunReflashDialog(QWidget* parent, CConstellationMonitor& monitor, const ReflashTiming& timing);
// The index of a target in the list, -1 when it is not one of them.
int TargetIndex(const QString& target);
}  // namespace orbscope
