// Real clients against the simulator: the curl command (passive and active,
// RETR, STOR, SIZE, listings) and Python's ftplib.

#include "SimTestUtil.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <map>
#include <sstream>

using namespace modemsimtest;
using testsupport::ModemSim;

namespace {

struct RunResult {
  int exitCode = -1;
  std::string output;
};

// Runs a shell command line (our own arguments only) and collects its output.
RunResult RunShell(const std::string& command) {
  RunResult r;
  std::FILE* pipe = popen((command + " 2>&1").c_str(), "r");
  if (pipe == nullptr) return r;
  char buf[4096];
  while (const std::size_t n = std::fread(buf, 1, sizeof buf, pipe)) r.output.append(buf, n);
  const int status = pclose(pipe);
  r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return r;
}

std::string Curl(const ModemSim& sim, const std::string& args, const std::string& path) {
  return "curl -sS --max-time 20 " + args + " ftp://127.0.0.1:" + std::to_string(sim.Port()) + "/" + path;
}

}  // namespace

TEST(SimThirdParty, CurlRetrievesInPassiveAndActiveMode) {
  ModemSim sim({"--centre", "654321"});
  testsupport::TempDir dir;
  for (const std::string mode : {"", "--disable-epsv", "-P -", "-P - --disable-eprt"}) {
    const std::string file = dir.File("spectrum.bin");
    const RunResult r = RunShell(Curl(sim, mode + " -o " + file, "spectrum:"));
    ASSERT_EQ(r.exitCode, 0) << mode << ": " << r.output;
    const std::string bytes = testsupport::ReadFile(file);
    ASSERT_EQ(bytes.size(), 8224u) << mode;
    EXPECT_EQ(DecodeSpectrum(bytes).centre, 654321u) << mode;
  }
  const RunResult orb = RunShell(Curl(sim, "-P - -o " + dir.File("o.bin"), "orbscope:"));
  ASSERT_EQ(orb.exitCode, 0) << orb.output;
  EXPECT_EQ(testsupport::ReadFile(dir.File("o.bin")).size(), 2050u);

  // Each mode showed up in the log as the command curl uses for it.
  const std::string log = testsupport::ReadFile(sim.LogPath());
  for (const char* cmd : {"> EPSV", "> PASV", "> EPRT |1|127.0.0.1|", "> PORT 127,0,0,1,"})
    EXPECT_NE(log.find(cmd), std::string::npos) << cmd;
}

TEST(SimThirdParty, CurlUploadsTriggerAndFirmwareAndReadsSize) {
  ModemSim sim({"--flash-blocks", "2", "--flash-step-ms", "10"});
  testsupport::TempDir dir;
  testsupport::WriteFile(dir.File("one"), std::string(1, '\x01'));
  testsupport::WriteFile(dir.File("image.bin"), std::string(200000, '\x33'));

  RunResult r = RunShell(Curl(sim, "-T " + dir.File("one"), "capt_spec:"));
  EXPECT_EQ(r.exitCode, 0) << r.output;
  r = RunShell(Curl(sim, "-P - -T " + dir.File("one"), "capt_spec:"));
  EXPECT_EQ(r.exitCode, 0) << r.output;
  EXPECT_EQ(DecodeSpectrum(*Fetch(sim.Port(), "spectrum:")).status, 2u);

  r = RunShell(Curl(sim, "-T " + dir.File("image.bin"), "demod3:"));
  EXPECT_EQ(r.exitCode, 0) << r.output;
  EXPECT_TRUE(testsupport::WaitUntil([&] { return Fetch(sim.Port(), "status:") == "2 of 2"; }));

  r = RunShell(Curl(sim, "-I", "spectrum:"));
  EXPECT_EQ(r.exitCode, 0) << r.output;
  EXPECT_NE(r.output.find("Content-Length: 8224"), std::string::npos) << r.output;
  r = RunShell(Curl(sim, "-I", "orbscope:"));
  EXPECT_NE(r.output.find("Content-Length: 2050"), std::string::npos) << r.output;

  // Control through curl: the fault shows at once.
  testsupport::WriteFile(dir.File("ctl"), "fault no-size on\n");
  r = RunShell(Curl(sim, "-u control: -T " + dir.File("ctl"), "control:"));
  EXPECT_EQ(r.exitCode, 0) << r.output;
  r = RunShell(Curl(sim, "-I", "spectrum:"));
  EXPECT_EQ(r.output.find("Content-Length"), std::string::npos) << r.output;
}

TEST(SimThirdParty, CurlListingsAndRefusedPaths) {
  ModemSim sim;
  RunResult r = RunShell(Curl(sim, "--list-only", ""));
  ASSERT_EQ(r.exitCode, 0) << r.output;
  for (const char* name : {"capt_spec:", "spectrum:", "orbscope:", "status:", "control:", "bulk:", "fast:"})
    EXPECT_NE(r.output.find(std::string(name) + "\n"), std::string::npos) << name;
  r = RunShell(Curl(sim, "-P -", ""));
  ASSERT_EQ(r.exitCode, 0) << r.output;
  EXPECT_NE(r.output.find(" spectrum:"), std::string::npos);

  // curl walks into folders with CWD (9: refused) and then asks for the
  // file (78: not found); neither gets anything outside the pseudo-files.
  EXPECT_EQ(RunShell(Curl(sim, "--path-as-is -o /dev/null", "../etc/passwd")).exitCode, 9);
  EXPECT_EQ(RunShell(Curl(sim, "-o /dev/null", "etc/passwd")).exitCode, 9);
  EXPECT_EQ(RunShell(Curl(sim, "--ftp-method nocwd -o /dev/null", "etc/passwd")).exitCode, 78);
  EXPECT_EQ(RunShell(Curl(sim, "-o /dev/null", "nothing:")).exitCode, 78);
  EXPECT_EQ(testsupport::ReadFile(sim.LogPath()).find("> RETR ../"), std::string::npos);
}

TEST(SimThirdParty, PythonFtplibInBothModes) {
  ModemSim sim({"--centre", "700000", "--flash-blocks", "3", "--flash-step-ms", "10"});
  const std::string script = std::string(MODEMSIM_TEST_SOURCE_DIR) + "/ftplib_client.py";
  const RunResult r = RunShell("/usr/bin/python3 " + script + " " + std::to_string(sim.Port()));
  ASSERT_EQ(r.exitCode, 0) << r.output;
  std::map<std::string, std::string> got;
  std::istringstream in(r.output);
  for (std::string line; std::getline(in, line);)
    if (const auto eq = line.find('='); eq != std::string::npos) got[line.substr(0, eq)] = line.substr(eq + 1);

  int capture = 0;
  for (const std::string mode : {"passive", "active"}) {
    SCOPED_TRACE(mode);
    ++capture;
    EXPECT_NE(got[mode + ".names"].find("app:,boot:,bulk:,capt_spec:,control:"), std::string::npos);
    EXPECT_EQ(got[mode + ".size"], "8224");
    EXPECT_EQ(got[mode + ".spectrum_len"], "8224");
    EXPECT_EQ(got[mode + ".centre"], "700000");
    EXPECT_EQ(got[mode + ".capture"], "226");
    EXPECT_EQ(got[mode + ".status_word"], std::to_string(capture));
    EXPECT_EQ(got[mode + ".orbscope"], "2050,0,2");
    EXPECT_EQ(got[mode + ".flash"], "226");
    EXPECT_EQ(got[mode + ".status"], "3 of 3");
    EXPECT_EQ(got[mode + ".escape"], "550");
  }
}
