// The simulator's FTP dialogue, command by command: login, the commands
// real clients send, paths, listings, both data connection modes, captures,
// firmware uploads and the command log.

#include "SimTestUtil.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <regex>
#include <set>
#include <sstream>

using namespace modemsimtest;
using testsupport::ModemSim;
using testsupport::WaitUntil;

namespace {

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

const std::set<std::string> kAllFiles = {
    "capt_spec:", "spectrum:", "orbscope:", "status:", "control:", "bulk:",    "app:",    "dmdfilt:",
    "modfilt:",   "rxintf:",   "txintf:",   "turbo:",  "demod1:",  "decode1:", "demod2:", "decode2:",
    "mod:",       "mandc:",    "fec2:",     "boot:",   "demod3:",  "fast:"};

}  // namespace

TEST(SimProtocol, SessionCommandsAnswerAsRealClientsExpect) {
  ModemSim sim;
  FtpTestClient c(sim.Port());
  EXPECT_EQ(c.Greeting().code, 220);
  EXPECT_EQ(c.Command("RETR spectrum:").code, 530);  // not logged in yet
  EXPECT_EQ(c.Command("PASS x").code, 503);
  EXPECT_EQ(c.Command("SYST").code, 215);
  ASSERT_TRUE(c.Login("melgar", ""));
  const FtpReply feat = c.Command("FEAT");
  EXPECT_EQ(feat.code, 211);
  for (const char* f : {" SIZE", " EPSV", " EPRT", " PASV"}) EXPECT_NE(feat.text.find(f), std::string::npos) << f;
  EXPECT_EQ(c.Command("PWD").text, "257 \"/\" is the current directory.");
  EXPECT_EQ(c.Command("CWD /").code, 250);
  EXPECT_EQ(c.Command("CWD ..").code, 550);
  EXPECT_EQ(c.Command("CWD /etc").code, 550);
  EXPECT_EQ(c.Command("CDUP").code, 550);
  EXPECT_EQ(c.Command("TYPE I").code, 200);
  EXPECT_EQ(c.Command("TYPE A").code, 200);
  EXPECT_EQ(c.Command("type i").code, 200);  // verbs are case-insensitive
  EXPECT_EQ(c.Command("TYPE E").code, 504);
  EXPECT_EQ(c.Command("MODE S").code, 200);
  EXPECT_EQ(c.Command("MODE B").code, 504);
  EXPECT_EQ(c.Command("STRU F").code, 200);
  EXPECT_EQ(c.Command("STRU R").code, 504);
  EXPECT_EQ(c.Command("NOOP").code, 200);
  EXPECT_EQ(c.Command("XYZZY now").code, 502);
  EXPECT_EQ(c.Command("DELE spectrum:").code, 502);
  EXPECT_EQ(c.Command("QUIT").code, 221);
  EXPECT_TRUE(PeerClosed(c.Control()));
}

TEST(SimProtocol, OnlyThePseudoFilesExist) {
  ModemSim sim;
  FtpTestClient c(sim.Port());
  ASSERT_TRUE(c.Login());
  EXPECT_EQ(c.Command("SIZE spectrum:").text, "213 8224");
  EXPECT_EQ(c.Command("SIZE /spectrum:").text, "213 8224");
  EXPECT_EQ(c.Command("SIZE orbscope:").text, "213 2050");
  EXPECT_EQ(c.Command("SIZE status:").text, "213 6");  // "0 of 0"
  for (const char* bad : {"../spectrum:", "/etc/passwd", "spectrum", "//spectrum:", "..", "/", "a/../spectrum:"}) {
    EXPECT_EQ(c.Command(std::string("SIZE ") + bad).code, 550) << bad;
    EXPECT_EQ(c.Command(std::string("RETR ") + bad).code, 550) << bad;
    EXPECT_EQ(c.Command(std::string("STOR ") + bad).code, 550) << bad;
  }
  // Direction matters: triggers and targets are written, data files read.
  EXPECT_EQ(c.Command("RETR capt_spec:").code, 550);
  EXPECT_EQ(c.Command("RETR bulk:").code, 550);
  EXPECT_EQ(c.Command("SIZE bulk:").text, "213 0");
  EXPECT_EQ(c.Command("STOR spectrum:").code, 550);
  EXPECT_EQ(c.Command("STOR status:").code, 550);
  // Without a data connection set up, a transfer is refused before it starts.
  EXPECT_EQ(c.Command("RETR spectrum:").code, 425);
}

TEST(SimProtocol, ListingsNameEveryPseudoFileInBothModes) {
  ModemSim sim;
  FtpTestClient c(sim.Port());
  ASSERT_TRUE(c.Login());
  for (const bool passive : {true, false}) {
    const auto names = c.List("NLST", passive);
    ASSERT_TRUE(names) << passive;
    const std::vector<std::string> lines = Lines(*names);
    EXPECT_EQ(std::set<std::string>(lines.begin(), lines.end()), kAllFiles);
    EXPECT_EQ(lines.size(), kAllFiles.size());

    const auto long_ = c.List("LIST -l", passive);
    ASSERT_TRUE(long_);
    std::set<std::string> listed;
    for (const std::string& line : Lines(*long_)) listed.insert(line.substr(line.rfind(' ') + 1));
    EXPECT_EQ(listed, kAllFiles);
  }
  const auto one = c.List("LIST /spectrum:");
  ASSERT_TRUE(one);
  EXPECT_TRUE(std::regex_search(*one, std::regex(R"(^-r--r--r-- .* 8224 .* spectrum:\r\n$)"))) << *one;
  EXPECT_FALSE(c.List("LIST nothing:"));
  EXPECT_EQ(c.Last().code, 550);
}

TEST(SimProtocol, ActiveAndPassiveModesWithEveryCommand) {
  ModemSim sim;
  FtpTestClient c(sim.Port());
  ASSERT_TRUE(c.Login());
  const auto viaEpsv = c.Retr("spectrum:", true);
  const auto viaEprt = c.Retr("spectrum:", false);
  ASSERT_TRUE(viaEpsv && viaEprt);
  EXPECT_EQ(viaEpsv->size(), 8224u);
  EXPECT_EQ(*viaEpsv, *viaEprt);

  // PASV: the classic six numbers of the address we listen on.
  const FtpReply pasv = c.Command("PASV");
  std::smatch m;
  ASSERT_TRUE(std::regex_search(pasv.text, m, std::regex(R"(227 .*\(127,0,0,1,(\d+),(\d+)\))"))) << pasv.text;
  Socket data = ConnectLoopback(std::stoi(m[1]) * 256 + std::stoi(m[2]));
  ASSERT_TRUE(data.Valid());
  EXPECT_EQ(c.Command("RETR status:").code, 150);
  EXPECT_EQ(ReadToEnd(data), "0 of 0");
  EXPECT_EQ(c.ReadReply().code, 226);

  // Each transfer needs its own PORT/PASV.
  EXPECT_EQ(c.Command("RETR status:").code, 425);
  EXPECT_EQ(c.Command("PORT 127,0,0,1,4,1").code, 200);
  EXPECT_EQ(c.Command("PORT 127,0,0,2,200,10").code, 500);  // not the client's address
  EXPECT_EQ(c.Command("PORT 127,0,0,1,0,21").code, 500);    // privileged port
  EXPECT_EQ(c.Command("PORT 127,0,0,1,300,1").code, 501);
  EXPECT_EQ(c.Command("PORT garbage").code, 501);
  EXPECT_EQ(c.Command("EPRT |1|127.0.0.2|5000|").code, 500);
  EXPECT_EQ(c.Command("EPRT |9|x|1|").code, 501);
  EXPECT_EQ(c.Command("EPSV 3").code, 522);

  // An active connection nobody accepts: the transfer fails cleanly.
  const int closedPort = testsupport::FreeLoopbackPort();
  EXPECT_EQ(c.Command("EPRT |1|127.0.0.1|" + std::to_string(closedPort) + "|").code, 200);
  EXPECT_EQ(c.Command("RETR spectrum:").code, 150);
  EXPECT_EQ(c.ReadReply().code, 425);
  EXPECT_EQ(c.Command("NOOP").code, 200);
}

TEST(SimProtocol, RestartOffsetAppliesToTheNextDownload) {
  ModemSim sim;
  FtpTestClient c(sim.Port());
  ASSERT_TRUE(c.Login());
  const auto whole = c.Retr("spectrum:");
  EXPECT_EQ(c.Command("REST 8000").code, 350);
  const auto tail = c.Retr("spectrum:");
  ASSERT_TRUE(whole && tail);
  EXPECT_EQ(*tail, whole->substr(8000));
  EXPECT_EQ(c.Retr("spectrum:")->size(), 8224u);  // used once only
  EXPECT_EQ(c.Command("REST x").code, 501);
}

TEST(SimProtocol, CaptureTriggerTakesExactlyOneByteOfValueOne) {
  ModemSim sim;
  FtpTestClient c(sim.Port());
  ASSERT_TRUE(c.Login());
  EXPECT_EQ(c.Stor("capt_spec:", std::string(1, '\x02')).code, 451);
  EXPECT_EQ(c.Stor("capt_spec:", std::string("\x01\x01", 2)).code, 451);
  EXPECT_EQ(c.Stor("/capt_spec:", std::string(1, '\x01'), false).code, 226);
  EXPECT_EQ(DecodeSpectrum(*c.Retr("spectrum:")).status, 1u);
  EXPECT_EQ(c.Stor("capt_spec:", std::string(1, '\x01'), true).code, 226);
  EXPECT_EQ(DecodeSpectrum(*c.Retr("spectrum:")).status, 2u);
  const auto log = sim.LogLines();
  const std::regex captureLine(R"( capture \d+$)");
  EXPECT_EQ(
      std::count_if(log.begin(), log.end(), [&](const std::string& l) { return std::regex_search(l, captureLine); }),
      2);
}

TEST(SimProtocol, FirmwareUploadThenStatusCountsUpToTheTotal) {
  ModemSim sim({"--flash-blocks", "4", "--flash-step-ms", "20"});
  FtpTestClient c(sim.Port());
  ASSERT_TRUE(c.Login("melgar", ""));
  EXPECT_EQ(c.Retr("status:"), "0 of 0");
  EXPECT_EQ(c.Stor("bulk:", "").code, 451);  // an empty image is refused
  EXPECT_EQ(c.Retr("status:"), "0 of 0");
  EXPECT_EQ(c.Stor("nosuchtarget:", "x").code, 550);

  EXPECT_EQ(c.Stor("fast:", std::string(300000, '\x5A')).code, 226);
  std::vector<int> seen;
  ASSERT_TRUE(WaitUntil([&] {
    const auto s = c.Retr("status:");
    int done = -1, total = -1;
    if (!s || std::sscanf(s->c_str(), "%d of %d", &done, &total) != 2 || total != 4) return true;  // fail below
    seen.push_back(done);
    return done == total;
  }));
  ASSERT_FALSE(seen.empty());
  EXPECT_EQ(seen.back(), 4);
  EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));

  // Every target of the re-flash list takes an image.
  for (const char* target : {"bulk:", "app:", "dmdfilt:", "modfilt:", "rxintf:", "txintf:", "turbo:", "demod1:",
                             "decode1:", "demod2:", "decode2:", "mod:", "mandc:", "fec2:", "boot:", "demod3:", "fast:"})
    EXPECT_EQ(c.Stor(std::string("/") + target, "image").code, 226) << target;
}

TEST(SimProtocol, LogRecordsEachCommandInOrderWithThePasswordMasked) {
  ModemSim sim;
  {
    FtpTestClient c(sim.Port());
    ASSERT_TRUE(c.Login("engineer", "s3cret-pw"));
    c.Command("TYPE I");
    c.Stor("capt_spec:", std::string(1, '\x01'));
    c.Retr("spectrum:", false);
    c.Command("QUIT");
    EXPECT_TRUE(PeerClosed(c.Control()));
  }
  std::vector<std::string> mine;
  ASSERT_TRUE(WaitUntil([&] {
    const auto lines = sim.LogLines();
    mine = SessionLog(lines, LastSession(lines));
    return !mine.empty() && mine.back().rfind("close", 0) == 0;
  }));
  const std::vector<std::string> expected = {"> USER engineer", "> PASS ****",       "> TYPE I",
                                             "> EPSV",          "> STOR capt_spec:", "capture 1",
                                             "> EPRT",          "> RETR spectrum:",  "sent spectrum: 8224 bytes",
                                             "> QUIT",          "close (quit)"};
  ASSERT_GE(mine.size(), expected.size() + 1);
  EXPECT_EQ(mine.front().rfind("open 127.0.0.1:", 0), 0u) << mine.front();
  for (std::size_t k = 0; k < expected.size(); ++k)
    EXPECT_EQ(mine[k + 1].rfind(expected[k], 0), 0u) << mine[k + 1] << " / " << expected[k];
  EXPECT_EQ(testsupport::ReadFile(sim.LogPath()).find("s3cret-pw"), std::string::npos);
}
