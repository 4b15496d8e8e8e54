#pragma once

// What the simulated modem holds behind its pseudo-files: the last spectrum
// capture, the constellation source, the firmware flash in progress and the
// active faults. One instance, shared by all sessions on the event loop.

#include "CommandLog.h"
#include "Faults.h"
#include "Options.h"
#include "PseudoFiles.h"

#include <QByteArray>
#include <QObject>
#include <QTimer>

#include <cstdint>
#include <string>
#include <vector>

namespace modemsim {

// Bytes kept of an upload, per kind; the rest is only counted.
inline constexpr qsizetype kMaxControlUpload = 64 * 1024;
inline constexpr qsizetype kMaxTriggerUpload = 16;

struct StoreResult {
  bool ok = false;
  std::string reply;  // the complete reply line, code first
};

class ModemState : public QObject {
 public:
  ModemState(const Options& options, CommandLog& log, QObject* parent = nullptr);

  FaultSet& Faults() { return faults_; }
  const FaultSet& Faults() const { return faults_; }
  bool IsDenied(const PseudoFile& file) const;

  // The bytes a read of a readable file delivers now; reading "orbscope:"
  // advances to the next constellation. withFaults: apply short-spectrum
  // (sessions exempt from faults read the whole block).
  QByteArray Read(const PseudoFile& file, int session, bool withFaults);
  // The size SIZE reports, without side effects.
  qint64 Size(const PseudoFile& file, bool withFaults) const;
  // How many bytes of an upload to this file are kept for Store.
  static qsizetype KeptBytes(const PseudoFile& file);
  // A finished upload: the kept bytes and the total count.
  StoreResult Store(const PseudoFile& file, const QByteArray& kept, qint64 total, int session);

  std::uint64_t Captures() const { return captures_; }
  std::string StatusText() const;
  // What reading "control:" returns: the active faults, then the signal.
  std::string ControlText() const;

 private:
  void Capture(int session);
  void FlashTick();

  Options options_;
  CommandLog& log_;
  FaultSet faults_;
  std::uint64_t captures_ = 0;
  QByteArray spectrum_;
  std::uint64_t constellationReads_ = 0;
  int flashDone_ = 0;
  int flashTotal_ = 0;
  QTimer flashTimer_;
};

}  // namespace modemsim
