#include "TestSupport.h"
#include "filemap/FileMap.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>

namespace {

using testsupport::ReadFile;
using testsupport::TempDir;
using testsupport::WriteFile;

HANDLE OpenForReading(const std::string& path) {
  return CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                     nullptr);
}

// A firmware-sized image with every byte value, several pages long.
std::string Image() {
  std::string bytes(3 * 65536 + 123, '\0');
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>((i * 7 + i / 256) & 0xFF);
  return bytes;
}

TEST(FileMapTest, MapsAWholeFileReadOnly) {
  TempDir dir;
  const std::string image = Image();
  WriteFile(dir.File("image.bin"), image);

  const HANDLE file = OpenForReading(dir.File("image.bin"));
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  DWORD high = 99;
  EXPECT_EQ(GetFileSize(file, &high), image.size());
  EXPECT_EQ(high, 0u);
  const HANDLE mapping = CreateFileMappingA(file, nullptr, PAGE_READONLY, 0, 0, nullptr);
  ASSERT_NE(mapping, nullptr);
  // The mapping outlives the file handle, as on Windows.
  EXPECT_EQ(CloseHandle(file), TRUE);
  const void* view = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0);
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(std::memcmp(view, image.data(), image.size()), 0);
  // The view outlives the mapping handle too, until it is unmapped.
  EXPECT_EQ(CloseHandle(mapping), TRUE);
  EXPECT_EQ(static_cast<const char*>(view)[image.size() - 1], image.back());
  EXPECT_EQ(UnmapViewOfFile(view), TRUE);
  EXPECT_EQ(UnmapViewOfFile(view), FALSE);
}

TEST(FileMapTest, PartialViewsAndTheirLimits) {
  TempDir dir;
  const std::string image = Image();
  WriteFile(dir.File("image.bin"), image);
  const HANDLE file = OpenForReading(dir.File("image.bin"));
  const HANDLE mapping = CreateFileMappingA(file, nullptr, PAGE_READONLY, 0, 0, nullptr);
  ASSERT_NE(mapping, nullptr);

  const char* view = static_cast<const char*>(MapViewOfFile(mapping, FILE_MAP_READ, 0, 65536, 100));
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(std::memcmp(view, image.data() + 65536, 100), 0);
  EXPECT_EQ(UnmapViewOfFile(view), TRUE);

  EXPECT_EQ(MapViewOfFile(mapping, FILE_MAP_READ, 0, 100, 0), nullptr);  // not on a 64 KiB boundary
  EXPECT_EQ(GetLastError(), 1132u);
  EXPECT_EQ(MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, image.size() + 1), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
  EXPECT_EQ(MapViewOfFile(mapping, FILE_MAP_READ, 1, 0, 0), nullptr);
  EXPECT_EQ(MapViewOfFile(mapping, 0x0002 /* write */, 0, 0, 0), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
  // A view needs a mapping handle, not a file handle.
  EXPECT_EQ(MapViewOfFile(file, FILE_MAP_READ, 0, 0, 0), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
  EXPECT_EQ(GetFileSize(mapping, nullptr), INVALID_FILE_SIZE);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
  // A read-only mapping cannot be larger than its file.
  EXPECT_EQ(CreateFileMappingA(file, nullptr, PAGE_READONLY, 0, static_cast<DWORD>(image.size() + 1), nullptr),
            nullptr);
  CloseHandle(mapping);
  CloseHandle(file);
}

TEST(FileMapTest, EmptyFileCannotBeMapped) {
  TempDir dir;
  WriteFile(dir.File("empty.bin"), "");
  const HANDLE file = OpenForReading(dir.File("empty.bin"));
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetFileSize(file, nullptr), 0u);
  EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
  EXPECT_EQ(CreateFileMappingA(file, nullptr, PAGE_READONLY, 0, 0, nullptr), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_FILE_INVALID);
  EXPECT_EQ(CloseHandle(file), TRUE);
}

TEST(FileMapTest, MissingFilesAndFolders) {
  TempDir dir;
  EXPECT_EQ(OpenForReading(dir.File("missing.bin")), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(OpenForReading(dir.File("no/such/folder.bin")), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
  EXPECT_EQ(OpenForReading(""), INVALID_HANDLE_VALUE);
  // A folder is not a file.
  EXPECT_EQ(OpenForReading(dir.Path()), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
}

TEST(FileMapTest, HandlesCloseOnce) {
  TempDir dir;
  WriteFile(dir.File("a.bin"), "abc");
  const HANDLE file = OpenForReading(dir.File("a.bin"));
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  EXPECT_EQ(CloseHandle(file), TRUE);
  EXPECT_EQ(CloseHandle(file), FALSE);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
  EXPECT_EQ(CloseHandle(INVALID_HANDLE_VALUE), FALSE);
  EXPECT_EQ(CloseHandle(nullptr), FALSE);
  // A stale handle stays dead even after new handles are made.
  const HANDLE second = OpenForReading(dir.File("a.bin"));
  EXPECT_NE(second, file);
  EXPECT_EQ(GetFileSize(file, nullptr), INVALID_FILE_SIZE);
  EXPECT_EQ(GetFileSize(second, nullptr), 3u);
  EXPECT_EQ(CreateFileMappingA(file, nullptr, PAGE_READONLY, 0, 0, nullptr), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
  EXPECT_EQ(CloseHandle(second), TRUE);
}

TEST(FileMapTest, CreationDispositions) {
  TempDir dir;
  const std::string path = dir.File("new.bin");
  const DWORD readWrite = GENERIC_READ | GENERIC_WRITE;
  HANDLE file = CreateFileA(path.c_str(), readWrite, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  EXPECT_EQ(file, INVALID_HANDLE_VALUE);
  file = CreateFileA(path.c_str(), readWrite, 0, nullptr, CREATE_NEW, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  CloseHandle(file);
  EXPECT_EQ(CreateFileA(path.c_str(), readWrite, 0, nullptr, CREATE_NEW, 0, nullptr), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_FILE_EXISTS);

  WriteFile(path, "contents");
  file = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_ALWAYS, 0, nullptr);
  EXPECT_EQ(GetFileSize(file, nullptr), 8u);
  CloseHandle(file);
  file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetFileSize(file, nullptr), 0u);
  // Mapping for reading needs a handle opened for reading.
  WriteFile(path, "contents");
  EXPECT_EQ(CreateFileMappingA(file, nullptr, PAGE_READONLY, 0, 0, nullptr), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
  CloseHandle(file);
  EXPECT_EQ(CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, TRUNCATE_EXISTING, 0, nullptr), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);

  file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  CloseHandle(file);
  EXPECT_EQ(ReadFile(path), "");
  EXPECT_EQ(CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, 42, 0, nullptr), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

}  // namespace
