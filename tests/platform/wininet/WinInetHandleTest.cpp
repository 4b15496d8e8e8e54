// The handle table seen through the API: no server needed.

#include "WinInetTestUtil.h"
#include "wininet/WinInet.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

using wininettest::Handle;

TEST(WinInetHandles, ZeroAndDoubleCloseAreHarmless) {
  EXPECT_FALSE(InternetCloseHandle(nullptr));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);

  HINTERNET session = InternetOpenA("test", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
  ASSERT_NE(session, nullptr);
  EXPECT_TRUE(InternetCloseHandle(session));
  EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
  EXPECT_FALSE(InternetCloseHandle(session));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
  // A value that never was a handle.
  EXPECT_FALSE(InternetCloseHandle(reinterpret_cast<HINTERNET>(static_cast<std::uintptr_t>(0x7FFFFFFF))));
  EXPECT_FALSE(InternetCloseHandle(reinterpret_cast<HINTERNET>(~std::uintptr_t{0})));
}

TEST(WinInetHandles, StaleHandleNeverReachesTheObjectReusingItsSlot) {
  HINTERNET stale = InternetOpenA("test", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
  ASSERT_NE(stale, nullptr);
  ASSERT_TRUE(InternetCloseHandle(stale));

  // Fill the whole table, so that the stale handle's slot is reused too.
  std::vector<HINTERNET> live;
  for (int i = 0; i < 100000; ++i) {
    HINTERNET h = InternetOpenA("test", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
    if (h == nullptr) {
      EXPECT_EQ(GetLastError(), ERROR_INTERNET_OUT_OF_HANDLES);
      break;
    }
    EXPECT_NE(h, stale);
    EXPECT_GT(reinterpret_cast<std::uintptr_t>(h), 0u);
    EXPECT_LE(reinterpret_cast<std::uintptr_t>(h), 0x7FFFFFFFu);  // positive as a 32-bit value
    live.push_back(h);
  }
  ASSERT_GT(live.size(), 1000u);
  ASSERT_LT(live.size(), 100000u);

  EXPECT_FALSE(InternetCloseHandle(stale));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
  EXPECT_FALSE(InternetConnectA(stale, "127.0.0.1", 21, "", "", INTERNET_SERVICE_FTP, 0, 0));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);

  // Every newer handle is still open: each closes exactly once.
  for (HINTERNET h : live) EXPECT_TRUE(InternetCloseHandle(h));
  for (HINTERNET h : live) EXPECT_FALSE(InternetCloseHandle(h));
}

TEST(WinInetHandles, HandleOfTheWrongKindIsRefused) {
  Handle session(InternetOpenA("test", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0));
  ASSERT_TRUE(session);
  EXPECT_EQ(FtpOpenFileA(session.get(), "x", GENERIC_READ, FTP_TRANSFER_TYPE_BINARY, 0), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_INTERNET_INCORRECT_HANDLE_TYPE);
  DWORD got = 0;
  char byte = 0;
  EXPECT_FALSE(InternetReadFile(session.get(), &byte, 1, &got));
  EXPECT_EQ(GetLastError(), ERROR_INTERNET_INCORRECT_HANDLE_TYPE);
  DWORD high = 0;
  EXPECT_EQ(FtpGetFileSize(session.get(), &high), 0xFFFFFFFFu);
  WIN32_FIND_DATAA data;
  EXPECT_FALSE(InternetFindNextFileA(session.get(), &data));
  EXPECT_EQ(GetLastError(), ERROR_INTERNET_INCORRECT_HANDLE_TYPE);
}

TEST(WinInetHandles, BadArgumentsFailCleanly) {
  EXPECT_EQ(InternetOpenA("test", 99, nullptr, nullptr, 0), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(InternetOpenA("test", INTERNET_OPEN_TYPE_PROXY, nullptr, nullptr, 0), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);

  Handle session(InternetOpenA("test", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0));
  ASSERT_TRUE(session);
  const struct {
    const char* server;
    DWORD error;
  } cases[] = {
      {"", ERROR_INVALID_PARAMETER},
      {"127.0.0.1:99999", ERROR_INTERNET_INVALID_URL},
      {"127.0.0.1:", ERROR_INTERNET_INVALID_URL},
      {"127.0.0.1:2x", ERROR_INTERNET_INVALID_URL},
      {"host/path", ERROR_INTERNET_INVALID_URL},
      {"user@host", ERROR_INTERNET_INVALID_URL},
      {"[::1", ERROR_INTERNET_INVALID_URL},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(InternetConnectA(session.get(), c.server, 21, "", "", INTERNET_SERVICE_FTP, 0, 0), nullptr) << c.server;
    EXPECT_EQ(GetLastError(), c.error) << c.server;
  }
  EXPECT_EQ(InternetConnectA(session.get(), "127.0.0.1", 21, "a\r\nDELE x", "", INTERNET_SERVICE_FTP, 0, 0), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(InternetConnectA(session.get(), "127.0.0.1", 21, "", "", 3 /* HTTP */, 0, 0), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);

  DWORD error = 0;
  DWORD length = 0;
  EXPECT_FALSE(InternetGetLastResponseInfoA(nullptr, nullptr, &length));
  EXPECT_FALSE(InternetGetLastResponseInfoA(&error, nullptr, nullptr));
}

TEST(WinInetHandles, ManyThreadsOpenAndCloseWithoutLosingHandles) {
  std::vector<std::thread> threads;
  std::atomic<int> failures{0};
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&failures] {
      for (int i = 0; i < 2000; ++i) {
        HINTERNET h = InternetOpenA("test", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
        if (h == nullptr || !InternetCloseHandle(h) || InternetCloseHandle(h)) ++failures;
      }
    });
  }
  for (auto& t : threads) t.join();
  EXPECT_EQ(failures.load(), 0);
}
