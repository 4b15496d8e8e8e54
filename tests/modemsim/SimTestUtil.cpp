#include "SimTestUtil.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <sstream>

namespace modemsimtest {

FtpReply WriteControl(int port, const std::string& text) {
  FtpTestClient c(port);
  if (c.Greeting().code != 220 || !c.Login("control", "")) return c.Last();
  FtpReply r = c.Stor("control:", text);
  c.Command("QUIT");
  return r;
}

std::optional<std::string> Fetch(int port, const std::string& name) {
  FtpTestClient c(port);
  if (c.Greeting().code != 220 || !c.Login()) return std::nullopt;
  std::optional<std::string> data = c.Retr(name);
  c.Command("QUIT");
  return data;
}

bool TriggerCapture(int port) {
  FtpTestClient c(port);
  return c.Greeting().code == 220 && c.Login() && c.Stor("capt_spec:", std::string(1, '\x01')).code == 226;
}

std::vector<std::string> SessionLog(const std::vector<std::string>& lines, int session) {
  const std::string tag = " #" + std::to_string(session) + " ";
  std::vector<std::string> out;
  for (const std::string& line : lines) {
    const auto at = line.find(tag);
    if (at != std::string::npos) out.push_back(line.substr(at + tag.size()));
  }
  return out;
}

int LastSession(const std::vector<std::string>& lines) {
  int session = -1;
  for (const std::string& line : lines) {
    const auto open = line.find(" open ");
    const auto hash = line.find(" #");
    if (open != std::string::npos && hash != std::string::npos && hash < open)
      session = std::atoi(line.c_str() + hash + 2);
  }
  return session;
}

double DecodeSample(unsigned char b) { return b < 128 ? b : b - 255.5; }

SpectrumBlock DecodeSpectrum(const std::string& bytes) {
  auto at = [&](std::size_t i) { return i < bytes.size() ? static_cast<unsigned char>(bytes[i]) : 32u; };
  SpectrumBlock b;
  b.status = at(0) * 256u + at(1);
  b.centre = (static_cast<std::uint32_t>(at(2)) << 24) | (at(3) << 16) | (at(4) << 8) | at(5);
  b.rateExponent = at(6) * 256u + at(7);
  for (std::size_t k = 0; k < 4096; ++k) {
    b.i.push_back(DecodeSample(static_cast<unsigned char>(at(30 + k))));
    b.q.push_back(DecodeSample(static_cast<unsigned char>(at(30 + 4096 + k))));
  }
  return b;
}

double BlockRateHz(unsigned k) { return 100e6 / std::pow(2.0, std::min(k, 12u) + 1); }

std::vector<double> PowerSpectrum(const SpectrumBlock& block) {
  const std::size_t n = block.i.size();
  std::vector<std::complex<double>> twiddle(n);
  for (std::size_t k = 0; k < n; ++k)
    twiddle[k] = std::polar(1.0, -2.0 * std::numbers::pi * static_cast<double>(k) / static_cast<double>(n));
  std::vector<double> power(n);
  for (std::size_t bin = 0; bin < n; ++bin) {
    std::complex<double> acc = 0.0;
    for (std::size_t t = 0; t < n; ++t) acc += std::complex<double>(block.i[t], block.q[t]) * twiddle[(bin * t) % n];
    power[bin] = std::norm(acc);
  }
  return power;
}

int BinOf(double offsetHz, double rateHz, int n) {
  const int bin = static_cast<int>(std::lround(offsetHz / rateHz * n));
  return ((bin % n) + n) % n;
}

}  // namespace modemsimtest
