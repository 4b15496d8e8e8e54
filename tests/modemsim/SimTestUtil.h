#pragma once

// Helpers shared by the simulator's tests: switching faults through the
// "control:" pseudo-file, and the test's own decoding of the data files
// (written from the block formats, not taken from the simulator).

#include "FtpTestClient.h"

#include <complex>
#include <cstdint>
#include <string>
#include <vector>

namespace modemsimtest {

// Writes control lines as the fault-exempt "control" user; the final reply.
FtpReply WriteControl(int port, const std::string& text);

// Reads a pseudo-file as an ordinary anonymous client (passive mode).
std::optional<std::string> Fetch(int port, const std::string& name);

// Writes one byte of value 1 to "capt_spec:"; true on 226.
bool TriggerCapture(int port);

// The log lines of one session, in order, without time and session fields.
std::vector<std::string> SessionLog(const std::vector<std::string>& lines, int session);
// The session number of the last "open" line in the log, or -1.
int LastSession(const std::vector<std::string>& lines);

struct SpectrumBlock {
  unsigned status = 0;
  std::uint32_t centre = 0;
  unsigned rateExponent = 0;
  std::vector<double> i, q;
};

// The receiver's decoding of a sample byte: b below 128 is b, else b - 255.5.
double DecodeSample(unsigned char b);
SpectrumBlock DecodeSpectrum(const std::string& bytes);
// Sample rate of a block, in Hz: 100 MHz / 2^(min(k, 12) + 1).
double BlockRateHz(unsigned k);
// Power per bin of the unnormalised forward transform of I + jQ (plain DFT).
std::vector<double> PowerSpectrum(const SpectrumBlock& block);
// The bin of a frequency offset from the centre.
int BinOf(double offsetHz, double rateHz, int n = 4096);

}  // namespace modemsimtest
