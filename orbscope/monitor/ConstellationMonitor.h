#pragma once

// Everything the IQ monitor knows about the modem it watches: its address,
// the FTP connection, the last constellation read, the model and modulation
// the modem reported, the EVM and its statistics, and the picture of the
// last drawing.
//
// FTP calls block, so the window runs them on the monitor's link thread:
// one worker thread that takes jobs in order, which keeps reads from ever
// overlapping. Connections are closed on a thread of their own: closing
// abandons a read still in flight on the link thread at once, and the
// goodbye to the modem never delays the next connection.

#include "DblArray.h"
#include "TextBuf.h"
#include "wininet/WinInet.h"

#include <QBrush>
#include <QFont>
#include <QImage>
#include <QPen>
#include <QThreadPool>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

class QPainter;

// Model byte * 256 + modulation code of the last read.
using ConstellationStatus = std::uint16_t;

inline constexpr const char* ModelNames[] = {"Melgar", "Halden", "Torvik"};
inline constexpr const char* ModulationNames[] = {"NONE", "BPSK", "QPSK", "OQPSK", "8PSK", "16QAM", "8QAM"};

namespace orbscope {

inline constexpr int kDefaultPollInterval = 1000;  // ms: timer period and the start sequence's pause
inline constexpr int kConstellationPairs = 1024;
inline constexpr int kConstellationSamplesSize = 2 * kConstellationPairs;     // bytes of I/Q pairs
inline constexpr int kConstellationFileSize = kConstellationSamplesSize + 2;  // with model and modulation
// The status of a reply without its two trailing bytes: model 0, QPSK.
inline constexpr ConstellationStatus kStatusSamplesOnly = 2;
inline constexpr const char* kConstellationFile = "orbscope:";
inline constexpr const char* kInternetAgent = "Orbscope";
inline constexpr const char* kModemUser = "melgar";
inline constexpr const char* kModemPassword = "";
// Binary, always from the server, never into a cache.
inline constexpr DWORD kModemFileFlags = FTP_TRANSFER_TYPE_BINARY | INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE;

// Opens a logged-in FTP connection to the modem (port 21 unless the address
// names one); 0 on failure. Blocks.
HINTERNET OpenModemConnection(HINTERNET session, const std::string& address);

// Reads "orbscope:" whole: up to 2050 bytes or the end of the file, so a
// reply split across network reads still counts as one. Nothing when the
// file cannot be opened or a read fails. Blocks.
std::optional<std::string> FetchConstellation(HINTERNET connection);

struct Axis {
  double minimum = 0.0;
  double maximum = 255.0;
  double divisions = 5.0;
};

}  // namespace orbscope

class CConstellationMonitor {
 public:
  // Opens the internet session; SessionOpen() tells whether that worked.
  explicit CConstellationMonitor(const CTextBuf& address);
  ~CConstellationMonitor();
  CConstellationMonitor(const CConstellationMonitor&) = delete;
  CConstellationMonitor& operator=(const CConstellationMonitor&) = delete;

  bool SessionOpen() const { return session_ != nullptr; }
  HINTERNET Session() const { return session_; }

  // Blocking link operations, for callers already off the window thread.
  bool Connect();
  bool ReadConstellation();

  // The connect in halves: PrepareConnect on the window thread, the FTP
  // call on the link thread, AttachConnection with its result (0 fails).
  void PrepareConnect();
  bool AttachConnection(HINTERNET connection);
  // The read's own steps over a fetched reply (nothing: the fetch failed):
  // fills the samples, the status, the EVM and the statistics.
  bool ApplyConstellation(const std::optional<std::string>& reply);

  // Closes the connection aside; a read still in flight on it is abandoned.
  void Disconnect();
  // Closes a handle on the closing thread.
  void CloseAside(HINTERNET handle);
  // Closes the internet session, which abandons a connection attempt in
  // progress on it at once, and opens a fresh one for what comes next.
  void RenewSession();
  // Closes everything: calls in flight are abandoned, and the link and
  // closing threads have ended when it returns.
  void Shutdown();

  // Statistics: switching on starts average, minimum and maximum at the
  // current EVM, and only while connected. Returns the new state.
  bool ToggleStatistics();
  void StatisticsOff() { statisticsOn_ = false; }

  // Draws the plot of the last read into the picture (client size).
  void Draw(const QFont& font);
  const QImage& Picture() const { return picture_; }
  // Erases the picture to black, as an invalidated client area.
  void ClearPicture();
  // Until the first drawing after a start: the empty plot, frame and grid,
  // with text in the title band telling what the monitor is doing; drawn
  // again at every size change. Draw and ClearPicture end it.
  void ShowProgress(const QFont& font, const std::string& text);
  const std::string& ProgressText() const { return progressText_; }

  // Runs job on the link thread, after the jobs before it.
  void RunOnLink(std::function<void()> job);
  void WaitForLink();

  const CTextBuf& Address() const { return address_; }
  void SetAddress(const CTextBuf& address) { address_ = address; }
  HINTERNET Connection() const { return connection_; }
  bool IsConnected() const { return connected_; }
  const CDblArray& ISamples() const { return iSamples_; }
  const CDblArray& QSamples() const { return qSamples_; }
  ConstellationStatus Status() const { return status_; }
  int Model() const { return status_ / 256; }
  int Modulation() const { return status_ % 256; }
  double Evm() const { return evm_; }
  bool StatisticsOn() const { return statisticsOn_; }
  double Average() const { return average_; }
  double Minimum() const { return minimum_; }
  double Maximum() const { return maximum_; }
  int PollInterval() const { return pollInterval_; }
  void SetPollInterval(int milliseconds) { pollInterval_ = milliseconds; }
  void SetClientSize(int width, int height);
  int ClientWidth() const { return clientWidth_; }
  int ClientHeight() const { return clientHeight_; }
  const orbscope::Axis& XAxis() const { return xAxis_; }
  const orbscope::Axis& YAxis() const { return yAxis_; }
  // The title text of the plot for the last read.
  std::string TitleText() const;

 private:
  QImage& PictureOfClientSize();
  void DrawProgress();
  // Black client area, grey title band with its title, white frame and grid.
  void DrawFrame(QPainter& painter, const QFont& font, const QString& title);
  static void FillCorners(QPainter& painter, int x0, int y0, int x1, int y1, const QBrush& brush);

  CTextBuf address_;
  CDblArray iSamples_;
  CDblArray qSamples_;
  int clientWidth_ = 0;
  int clientHeight_ = 0;
  int pollInterval_ = orbscope::kDefaultPollInterval;
  orbscope::Axis xAxis_;
  double xMaximumAtConnect_ = 255.0;
  orbscope::Axis yAxis_;
  HINTERNET session_ = nullptr;
  HINTERNET connection_ = nullptr;
  bool connected_ = false;
  ConstellationStatus status_ = 0;
  double evm_ = 0.0;
  bool statisticsOn_ = false;
  double average_ = 0.0;
  double minimum_ = 0.0;
  double maximum_ = 0.0;

  // Drawing objects.
  QPen whitePen_;
  QPen blackPen_;
  QPen greyPen_;
  QBrush whiteBrush_;
  QBrush blackBrush_;
  QBrush greyBrush_;
  QImage picture_;
  std::string progressText_;
  QFont progressFont_;

  // Last members: destroyed first, after their jobs have ended.
  QThreadPool closingThread_;
  QThreadPool linkThread_;
};
