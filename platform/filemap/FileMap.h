#pragma once

// File handles and read-only file mappings with the Windows names, over
// POSIX open and mmap. As on Windows, mapping an empty file fails.

#include "base/WinBase.h"

#include <cstddef>

inline constexpr DWORD FILE_SHARE_READ = 0x00000001;
inline constexpr DWORD FILE_SHARE_WRITE = 0x00000002;

inline constexpr DWORD CREATE_NEW = 1;
inline constexpr DWORD CREATE_ALWAYS = 2;
inline constexpr DWORD OPEN_EXISTING = 3;
inline constexpr DWORD OPEN_ALWAYS = 4;
inline constexpr DWORD TRUNCATE_EXISTING = 5;

inline constexpr DWORD PAGE_READONLY = 0x02;
inline constexpr DWORD FILE_MAP_READ = 0x0004;

inline constexpr DWORD INVALID_FILE_SIZE = 0xFFFFFFFF;

// Returns INVALID_HANDLE_VALUE on failure (GetLastError tells why).
HANDLE CreateFileA(LPCSTR fileName, DWORD desiredAccess, DWORD shareMode, void* securityAttributes,
                   DWORD creationDisposition, DWORD flagsAndAttributes, HANDLE templateFile);

// The file size, low 32 bits; the high 32 bits go to *sizeHigh when given.
DWORD GetFileSize(HANDLE file, LPDWORD sizeHigh);

// Returns 0 (nullptr) on failure; a file of size 0 cannot be mapped.
HANDLE CreateFileMappingA(HANDLE file, void* securityAttributes, DWORD protect, DWORD maximumSizeHigh,
                          DWORD maximumSizeLow, LPCSTR name);

// Returns nullptr on failure. A byte count of 0 maps the whole file.
LPVOID MapViewOfFile(HANDLE mapping, DWORD desiredAccess, DWORD offsetHigh, DWORD offsetLow, std::size_t bytes);

BOOL UnmapViewOfFile(LPCVOID baseAddress);

// Closes a file or mapping handle; a handle closed twice fails harmlessly.
BOOL CloseHandle(HANDLE handle);
