#pragma once

// The WinINet FTP subset that the programs use, with the Windows names,
// types and meanings. Implemented over libcurl (WinInet.cpp).
//
// Decisions of this layer:
// - InternetConnectA logs in at once: a handle means an open, logged-in
//   control connection; a refused connection or failed login gives 0.
// - Handles are table entries with generation numbers: closing twice, or
//   using a handle after it was closed, fails harmlessly with
//   ERROR_INVALID_HANDLE and never touches a newer handle.
// - Active mode (PORT/EPRT) unless INTERNET_FLAG_PASSIVE is given.
// - An empty user name logs in anonymously. The server name may end in
//   ":port", which overrides the port argument.
// - A connect gives up after 10 s, a transfer that makes no progress for
//   15 s fails, closing a connection waits at most 1 s for the server's
//   goodbye: no call blocks for ever.
// - All calls are safe from any thread; one connection handle is meant to be
//   used by one thread at a time, as on Windows.

#include "base/WinBase.h"

#include <cstddef>
#include <cstdint>

using HINTERNET = void*;
using INTERNET_PORT = WORD;

inline constexpr DWORD INTERNET_OPEN_TYPE_PRECONFIG = 0;
inline constexpr DWORD INTERNET_OPEN_TYPE_DIRECT = 1;
inline constexpr DWORD INTERNET_OPEN_TYPE_PROXY = 3;

inline constexpr INTERNET_PORT INTERNET_DEFAULT_FTP_PORT = 21;
inline constexpr INTERNET_PORT INTERNET_INVALID_PORT_NUMBER = 0;

inline constexpr DWORD INTERNET_SERVICE_FTP = 1;

inline constexpr DWORD INTERNET_FLAG_PASSIVE = 0x08000000;
inline constexpr DWORD INTERNET_FLAG_RELOAD = 0x80000000;
inline constexpr DWORD INTERNET_FLAG_NO_CACHE_WRITE = 0x04000000;

inline constexpr DWORD FTP_TRANSFER_TYPE_UNKNOWN = 0;
inline constexpr DWORD FTP_TRANSFER_TYPE_ASCII = 1;
inline constexpr DWORD FTP_TRANSFER_TYPE_BINARY = 2;

// WinINet error numbers.
inline constexpr DWORD ERROR_INTERNET_OUT_OF_HANDLES = 12001;
inline constexpr DWORD ERROR_INTERNET_TIMEOUT = 12002;
inline constexpr DWORD ERROR_INTERNET_EXTENDED_ERROR = 12003;
inline constexpr DWORD ERROR_INTERNET_INTERNAL_ERROR = 12004;
inline constexpr DWORD ERROR_INTERNET_INVALID_URL = 12005;
inline constexpr DWORD ERROR_INTERNET_NAME_NOT_RESOLVED = 12007;
inline constexpr DWORD ERROR_INTERNET_INCORRECT_HANDLE_TYPE = 12018;
inline constexpr DWORD ERROR_INTERNET_LOGIN_FAILURE = 12015;
inline constexpr DWORD ERROR_INTERNET_OPERATION_CANCELLED = 12017;
inline constexpr DWORD ERROR_INTERNET_CONNECTION_ABORTED = 12030;
inline constexpr DWORD ERROR_INTERNET_CONNECTION_RESET = 12031;
inline constexpr DWORD ERROR_INTERNET_CANNOT_CONNECT = 12029;
inline constexpr DWORD ERROR_FTP_TRANSFER_IN_PROGRESS = 12110;
inline constexpr DWORD ERROR_FTP_DROPPED = 12111;
inline constexpr DWORD ERROR_FTP_NO_PASSIVE_MODE = 12112;

struct FILETIME {
  DWORD dwLowDateTime = 0;
  DWORD dwHighDateTime = 0;
};

struct WIN32_FIND_DATAA {
  DWORD dwFileAttributes = 0;
  FILETIME ftCreationTime;
  FILETIME ftLastAccessTime;
  FILETIME ftLastWriteTime;
  DWORD nFileSizeHigh = 0;
  DWORD nFileSizeLow = 0;
  DWORD dwReserved0 = 0;
  DWORD dwReserved1 = 0;
  char cFileName[MAX_PATH] = {};
  char cAlternateFileName[14] = {};
};
using LPWIN32_FIND_DATAA = WIN32_FIND_DATAA*;

HINTERNET InternetOpenA(LPCSTR agent, DWORD accessType, LPCSTR proxy, LPCSTR proxyBypass, DWORD flags);

HINTERNET InternetConnectA(HINTERNET session, LPCSTR serverName, INTERNET_PORT serverPort, LPCSTR userName,
                           LPCSTR password, DWORD service, DWORD flags, std::uintptr_t context);

HINTERNET FtpOpenFileA(HINTERNET connection, LPCSTR fileName, DWORD access, DWORD flags, std::uintptr_t context);

BOOL InternetReadFile(HINTERNET file, LPVOID buffer, DWORD bytesToRead, LPDWORD bytesRead);

BOOL InternetWriteFile(HINTERNET file, LPCVOID buffer, DWORD bytesToWrite, LPDWORD bytesWritten);

DWORD FtpGetFileSize(HINTERNET file, LPDWORD fileSizeHigh);

BOOL InternetCloseHandle(HINTERNET handle);

BOOL FtpDeleteFileA(HINTERNET connection, LPCSTR fileName);

BOOL FtpGetFileA(HINTERNET connection, LPCSTR remoteFile, LPCSTR newFile, BOOL failIfExists, DWORD flagsAndAttributes,
                 DWORD flags, std::uintptr_t context);

BOOL FtpPutFileA(HINTERNET connection, LPCSTR localFile, LPCSTR newRemoteFile, DWORD flags, std::uintptr_t context);

BOOL FtpSetCurrentDirectoryA(HINTERNET connection, LPCSTR directory);

BOOL FtpGetCurrentDirectoryA(HINTERNET connection, LPSTR currentDirectory, LPDWORD length);

HINTERNET FtpFindFirstFileA(HINTERNET connection, LPCSTR searchFile, LPWIN32_FIND_DATAA findData, DWORD flags,
                            std::uintptr_t context);

BOOL InternetFindNextFileA(HINTERNET find, LPVOID findData);

// The last reply text of the server on this thread's last call, as WinINet
// keeps it: error receives the error number (0 for a plain reply text).
BOOL InternetGetLastResponseInfoA(LPDWORD error, LPSTR buffer, LPDWORD bufferLength);
