#include "ConstellationMonitor.h"

#include "ConstellationPlot.h"
#include "Evm.h"

#include <utility>

namespace orbscope {

namespace {
constexpr int kModelCount = 3;
constexpr int kModulationCount = 7;

// Closes a WinINet handle when the scope ends.
class InternetHandle {
 public:
  explicit InternetHandle(HINTERNET handle) : handle_(handle) {}
  InternetHandle(const InternetHandle&) = delete;
  InternetHandle& operator=(const InternetHandle&) = delete;
  ~InternetHandle() {
    if (handle_ != nullptr) InternetCloseHandle(handle_);
  }
  HINTERNET Get() const { return handle_; }

 private:
  HINTERNET handle_;
};
}  // namespace

HINTERNET OpenModemConnection(HINTERNET session, const std::string& address) {
  if (session == nullptr) return nullptr;
  return InternetConnectA(session, address.c_str(), INTERNET_DEFAULT_FTP_PORT, kModemUser, kModemPassword,
                          INTERNET_SERVICE_FTP, 0, 0);
}

std::optional<std::string> FetchConstellation(HINTERNET connection) {
  if (connection == nullptr) return std::nullopt;
  const InternetHandle file(FtpOpenFileA(connection, kConstellationFile, GENERIC_READ, kModemFileFlags, 0));
  if (file.Get() == nullptr) return std::nullopt;
  std::string reply(kConstellationFileSize, '\0');
  std::size_t total = 0;
  while (total < reply.size()) {
    DWORD got = 0;
    if (!InternetReadFile(file.Get(), reply.data() + total, static_cast<DWORD>(reply.size() - total), &got))
      return std::nullopt;
    if (got == 0) break;  // end of file
    total += got;
  }
  reply.resize(total);
  return reply;
}

}  // namespace orbscope

using namespace orbscope;

CConstellationMonitor::CConstellationMonitor(const CTextBuf& address)
    : address_(address),
      whitePen_(Qt::white, 0),
      blackPen_(Qt::black, 0),
      greyPen_(QColor(kBandGrey, kBandGrey, kBandGrey), 0),
      whiteBrush_(Qt::white),
      blackBrush_(Qt::black),
      greyBrush_(QColor(kBandGrey, kBandGrey, kBandGrey)) {
  linkThread_.setMaxThreadCount(1);
  closingThread_.setMaxThreadCount(1);
  session_ = InternetOpenA(kInternetAgent, INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
}

CConstellationMonitor::~CConstellationMonitor() { Shutdown(); }

void CConstellationMonitor::Shutdown() {
  // The session takes its connections and their open files with it, and
  // every call still running on them gives up.
  if (session_ != nullptr) InternetCloseHandle(std::exchange(session_, nullptr));
  connection_ = nullptr;
  connected_ = false;
  linkThread_.waitForDone();
  closingThread_.waitForDone();
}

void CConstellationMonitor::RenewSession() {
  if (session_ != nullptr) InternetCloseHandle(session_);
  session_ = InternetOpenA(kInternetAgent, INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
}

void CConstellationMonitor::CloseAside(HINTERNET handle) {
  if (handle != nullptr) closingThread_.start([handle] { InternetCloseHandle(handle); });
}

bool CConstellationMonitor::Connect() {
  if (connected_) return true;
  PrepareConnect();
  return AttachConnection(OpenModemConnection(session_, address_.Text()));
}

void CConstellationMonitor::PrepareConnect() {
  iSamples_.Empty();
  qSamples_.Empty();
  xAxis_.minimum = 0.0;
  xAxis_.maximum = xMaximumAtConnect_;
}

bool CConstellationMonitor::AttachConnection(HINTERNET connection) {
  if (connection == nullptr) return false;
  connection_ = connection;
  connected_ = true;
  return true;
}

bool CConstellationMonitor::ReadConstellation() {
  if (!connected_) return false;
  return ApplyConstellation(FetchConstellation(connection_));
}

bool CConstellationMonitor::ApplyConstellation(const std::optional<std::string>& reply) {
  iSamples_.Empty();
  qSamples_.Empty();
  if (!connected_ || !reply || reply->size() < static_cast<std::size_t>(kConstellationSamplesSize)) return false;
  const auto* bytes = reinterpret_cast<const unsigned char*>(reply->data());
  for (int k = 0; k < kConstellationPairs; ++k) {
    iSamples_.Add(bytes[2 * k]);
    qSamples_.Add(bytes[2 * k + 1]);
  }
  if (reply->size() == static_cast<std::size_t>(kConstellationFileSize)) {
    int model = bytes[kConstellationSamplesSize];
    int modulation = bytes[kConstellationSamplesSize + 1];
    if (model >= kModelCount) model = 0;
    if (modulation >= kModulationCount) modulation = 0;
    status_ = static_cast<ConstellationStatus>(model * 256 + modulation);
  } else {
    status_ = kStatusSamplesOnly;
  }
  if (Modulation() == 0) return true;  // no EVM without a modulation; the last one stays
  evm_ = EvmForModel(Model(), Modulation() - 1, iSamples_.Count(), iSamples_.Data(), qSamples_.Data());
  if (statisticsOn_) {
    if (evm_ < minimum_) minimum_ = evm_;
    if (evm_ > maximum_) maximum_ = evm_;
    average_ = average_ - (average_ - evm_) / 256;
  }
  return true;
}

void CConstellationMonitor::Disconnect() {
  CloseAside(std::exchange(connection_, nullptr));
  connected_ = false;
}

bool CConstellationMonitor::ToggleStatistics() {
  if (statisticsOn_) {
    statisticsOn_ = false;
  } else if (connected_) {
    statisticsOn_ = true;
    average_ = minimum_ = maximum_ = evm_;
  }
  return statisticsOn_;
}

void CConstellationMonitor::RunOnLink(std::function<void()> job) { linkThread_.start(std::move(job)); }

void CConstellationMonitor::WaitForLink() { linkThread_.waitForDone(); }

void CConstellationMonitor::SetClientSize(int width, int height) {
  clientWidth_ = width;
  clientHeight_ = height;
  DrawProgress();
}
