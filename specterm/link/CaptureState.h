#pragma once

// The capture cycle's own bookkeeping in the main window, beside the link
// fields of the design (LinkState), and the window's handle on the modem
// session (link/ModemSession.h, kept out of this header).

#include "processing/FftLibrary.h"
#include "processing/SpectrumUpdate.h"

#include <chrono>
#include <functional>
#include <memory>

class QObject;

namespace specterm {

class ModemSession;

struct ModemSessionDeleter {
  void operator()(ModemSession* session) const;
};
using ModemSessionPtr = std::unique_ptr<ModemSession, ModemSessionDeleter>;
// A session whose results come back through context's event loop.
ModemSessionPtr NewModemSession(QObject* context);

// The pause between the capture request and the read of the capture.
inline constexpr std::chrono::milliseconds kCapturePause{200};
// The capture request: one byte of value 1 written to the trigger file.
inline constexpr const char* kCaptureFile = "capt_spec:";
inline constexpr char kCaptureRequest = '\x01';
inline constexpr const char* kSpectrumFile = "spectrum:";

struct CaptureState {
  bool CycleRunning = false;  // a capture cycle is between its tick and its end
  bool Connecting = false;    // a Connect waits for its connection
  bool BusyCursor = false;    // Connect's hourglass is shown
  int DataSets = 0;           // data sets shown since start-up

  // Opens the FFT library for the update; tests point it elsewhere.
  std::function<FftLibrary::Loaded()> LoadFftLibrary = &FftLibrary::Shared;
  // The update, made once the library is open.
  std::unique_ptr<SpectrumUpdater> Updater;
};

}  // namespace specterm
