// Loading the FFT library at run time: found beside the program, and clear
// errors naming the file when it or one of its functions is missing.

#include "TestSupport.h"
#include "processing/FftLibrary.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace {

using specterm::FftLibrary;

TEST(FftLibrary, SharedLibraryComesFromTheProgramFolder) {
  const FftLibrary::Loaded loaded = FftLibrary::Shared();
  ASSERT_TRUE(loaded) << loaded.Error;
  EXPECT_EQ(loaded.Library->Path(), testsupport::BinDir() + "/libFFT.so");
  EXPECT_EQ(FftLibrary::ExecutableFolder(), testsupport::BinDir());
  EXPECT_EQ(loaded.Library->IndexToFrequency(4096, 4095), -1.0 / 4096);
  float re[4] = {1, 0, 0, 0}, im[4] = {0, 0, 0, 0}, outRe[4], outIm[4];
  EXPECT_EQ(loaded.Library->FftFloat(4, 0, re, im, outRe, outIm), 0);
  EXPECT_EQ(outRe[3], 1.0f);
}

TEST(FftLibrary, SharedIsLoadedOnceForAllThreads) {
  std::vector<const FftLibrary*> seen(8, nullptr);
  std::vector<std::thread> threads;
  for (std::size_t t = 0; t < seen.size(); ++t)
    threads.emplace_back([&, t] { seen[t] = FftLibrary::Shared().Library.get(); });
  for (std::thread& thread : threads) thread.join();
  ASSERT_NE(seen[0], nullptr);
  for (const FftLibrary* library : seen) EXPECT_EQ(library, seen[0]);
}

TEST(FftLibrary, UnloadedAndLoadedAgainItStillTransforms) {
  // Each unload frees the plans and FFTW's planner memory (a leak checker
  // reports them otherwise); the next load plans afresh.
  for (int round = 0; round < 3; ++round) {
    const FftLibrary::Loaded loaded = FftLibrary::Open(testsupport::BinDir() + "/libFFT.so");
    ASSERT_TRUE(loaded) << loaded.Error;
    std::vector<double> re(4096, 1.0), im(4096, 0.0), outRe(4096), outIm(4096);
    ASSERT_EQ(loaded.Library->FftDouble(4096, 0, re.data(), im.data(), outRe.data(), outIm.data()), 0);
    EXPECT_EQ(outRe[0], 4096.0) << "round " << round;
    EXPECT_EQ(outRe[1], 0.0) << "round " << round;
  }
}

TEST(FftLibrary, MissingFileIsAnErrorNamingIt) {
  testsupport::TempDir dir;
  const std::string path = dir.File("libFFT.so");
  const FftLibrary::Loaded loaded = FftLibrary::Open(path);
  EXPECT_FALSE(loaded);
  EXPECT_NE(loaded.Error.find(path), std::string::npos) << loaded.Error;
}

TEST(FftLibrary, NotALibraryIsAnErrorNamingIt) {
  testsupport::TempDir dir;
  const std::string path = dir.File("libFFT.so");
  testsupport::WriteFile(path, "this is not a shared object");
  const FftLibrary::Loaded loaded = FftLibrary::Open(path);
  EXPECT_FALSE(loaded);
  EXPECT_NE(loaded.Error.find(path), std::string::npos) << loaded.Error;
}

TEST(FftLibrary, MissingFunctionIsAnErrorNamingFileAndFunction) {
  const std::string incomplete = testsupport::BinDir() + "/testlibs/libFFTIncomplete.so";
  const FftLibrary::Loaded loaded = FftLibrary::Open(incomplete);
  EXPECT_FALSE(loaded);
  EXPECT_NE(loaded.Error.find(incomplete), std::string::npos) << loaded.Error;
  EXPECT_NE(loaded.Error.find("Index_to_frequency"), std::string::npos) << loaded.Error;
  EXPECT_EQ(loaded.Error.find("fft_float"), std::string::npos) << loaded.Error;
}

}  // namespace
