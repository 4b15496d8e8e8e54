#pragma once

// A pyftpdlib server on loopback and a WinINet session for each test.

#include "PyFtpServer.h"
#include "WinInetTestUtil.h"
#include "wininet/WinInet.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

class FtpTest : public ::testing::Test {
 protected:
  void SetUp() override {
    session_ = InternetOpenA("Halden tests", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
    ASSERT_NE(session_, nullptr);
    StartServer({});
  }
  void TearDown() override { InternetCloseHandle(session_); }

  void StartServer(testsupport::PyFtpServer::Options options) {
    server_.reset();
    server_ = std::make_unique<testsupport::PyFtpServer>(std::move(options));
  }

  testsupport::PyFtpServer& Server() { return *server_; }

  // A connection to the test server; the port travels in the server name.
  HINTERNET Connect(const std::string& user = "", const std::string& password = "", DWORD flags = 0) {
    return InternetConnectA(session_, server_->Address().c_str(), INTERNET_DEFAULT_FTP_PORT, user.c_str(),
                            password.c_str(), INTERNET_SERVICE_FTP, flags, 0);
  }

  HINTERNET session_ = nullptr;
  std::unique_ptr<testsupport::PyFtpServer> server_;
};
