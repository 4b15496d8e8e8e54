#include "ModemState.h"

#include "ConstellationSynth.h"
#include "SpectrumSynth.h"

namespace modemsim {

namespace {

QByteArray ToBytes(const std::vector<std::uint8_t>& v) {
  return QByteArray(reinterpret_cast<const char*>(v.data()), static_cast<qsizetype>(v.size()));
}

// Control lines as one log line, separated by ';'.
std::string OneLine(std::string lines, const char* whenEmpty) {
  if (lines.empty()) return whenEmpty;
  for (char& c : lines)
    if (c == '\n') c = ';';
  return lines;
}

}  // namespace

ModemState::ModemState(const Options& options, CommandLog& log, QObject* parent)
    : QObject(parent), options_(options), log_(log) {
  for (const FaultChange& change : options_.faults) {
    std::string error;
    ApplyFault(faults_, change, &error);  // validated when the options were parsed
  }
  if (faults_.Any()) log_.Write(0, "faults at start: " + OneLine(faults_.Describe(), ""));
  // Until the first capture request "spectrum:" serves capture 0.
  spectrum_ = ToBytes(SynthesizeSpectrumBlock(options_.spectrum, 0));
  flashTimer_.setInterval(options_.flashStepMs);
  connect(&flashTimer_, &QTimer::timeout, this, &ModemState::FlashTick);
}

bool ModemState::IsDenied(const PseudoFile& file) const { return faults_.denied.contains(std::string(file.name)); }

QByteArray ModemState::Read(const PseudoFile& file, int session, bool withFaults) {
  switch (file.kind) {
    case FileKind::Spectrum:
      if (withFaults && faults_.shortSpectrum) return spectrum_.left(static_cast<qsizetype>(*faults_.shortSpectrum));
      return spectrum_;
    case FileKind::Constellation: {
      const std::uint64_t read = constellationReads_++;
      log_.Write(session, "constellation " + std::to_string(read));
      return ToBytes(SynthesizeConstellation(options_.constellation, read));
    }
    case FileKind::Status:
      return QByteArray::fromStdString(StatusText());
    case FileKind::Control:
      return QByteArray::fromStdString(ControlText());
    default:
      return {};
  }
}

qint64 ModemState::Size(const PseudoFile& file, bool withFaults) const {
  switch (file.kind) {
    case FileKind::Spectrum:
      return withFaults && faults_.shortSpectrum ? static_cast<qint64>(*faults_.shortSpectrum) : spectrum_.size();
    case FileKind::Constellation:
      return static_cast<qint64>(options_.constellation.shortFile ? kShortConstellationFileSize
                                                                  : kConstellationFileSize);
    case FileKind::Status:
      return static_cast<qint64>(StatusText().size());
    case FileKind::Control:
      return static_cast<qint64>(ControlText().size());
    default:
      return 0;
  }
}

qsizetype ModemState::KeptBytes(const PseudoFile& file) {
  switch (file.kind) {
    case FileKind::Control:
      return kMaxControlUpload;
    case FileKind::CaptureTrigger:
      return kMaxTriggerUpload;
    default:
      return 0;
  }
}

StoreResult ModemState::Store(const PseudoFile& file, const QByteArray& kept, qint64 total, int session) {
  switch (file.kind) {
    case FileKind::CaptureTrigger:
      if (total != 1 || kept.size() != 1 || kept[0] != 1) {
        log_.Write(session, "capture not started: " + std::to_string(total) + " bytes written");
        return {false, "451 Capture not started: write one byte of value 1."};
      }
      Capture(session);
      return {true, "226 Transfer complete; capture " + std::to_string(captures_) + " taken."};
    case FileKind::Control: {
      if (total > kMaxControlUpload)
        return {false,
                "552 Control text longer than " + std::to_string(kMaxControlUpload) + " bytes; nothing changed."};
      std::string error;
      const auto requests = ParseControlRequests(kept.toStdString(), &error);
      if (!requests) {
        log_.Write(session, "control rejected: " + error);
        return {false, "451 control: " + error + "; nothing changed."};
      }
      bool signalChanged = false;
      for (const ControlRequest& request : *requests) {
        if (const auto* fault = std::get_if<FaultChange>(&request)) {
          ApplyFault(faults_, *fault, &error);
        } else {
          ApplySignal(options_.spectrum, std::get<SignalChange>(request));
          signalChanged = true;
        }
      }
      log_.Write(session, "faults now: " + OneLine(faults_.Describe(), "none"));
      std::string reply = "226 Transfer complete; " + std::to_string(requests->size()) + " control request(s) applied";
      if (signalChanged) {
        // The block of the capture already taken stays as it is.
        log_.Write(session, "signal from capture " + std::to_string(captures_ + 1) + ": " +
                                OneLine(DescribeSignal(options_.spectrum), ""));
        reply += "; the signal changes apply from capture " + std::to_string(captures_ + 1);
      }
      return {true, reply + "."};
    }
    case FileKind::Firmware:
      if (total == 0) {
        log_.Write(session, "flash not started: empty image for " + std::string(file.name));
        return {false, "451 Empty image; nothing to flash."};
      }
      flashDone_ = 0;
      flashTotal_ = options_.flashBlocks;
      log_.Write(session, "flash " + std::string(file.name) + " " + std::to_string(total) + " bytes, " +
                              std::to_string(flashTotal_) + " blocks");
      if (flashTotal_ > 0)
        flashTimer_.start();
      else
        flashTimer_.stop();
      return {true, "226 Transfer complete; flashing " + std::to_string(flashTotal_) + " blocks."};
    default:
      return {false, "550 Permission denied."};
  }
}

std::string ModemState::ControlText() const { return faults_.Describe() + DescribeSignal(options_.spectrum); }

std::string ModemState::StatusText() const { return std::to_string(flashDone_) + " of " + std::to_string(flashTotal_); }

void ModemState::Capture(int session) {
  ++captures_;
  spectrum_ = ToBytes(SynthesizeSpectrumBlock(options_.spectrum, captures_));
  log_.Write(session, "capture " + std::to_string(captures_));
}

void ModemState::FlashTick() {
  if (faults_.flashStall) return;
  if (flashDone_ < flashTotal_) ++flashDone_;
  if (flashDone_ >= flashTotal_) {
    flashTimer_.stop();
    log_.Write(0, "flash complete: " + StatusText());
  }
}

}  // namespace modemsim
